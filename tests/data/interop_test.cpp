// Stream files against an independent reader and writer in Python.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TempDir.h"
#include "framework/data/qStreamFile.h"

namespace zol {
namespace {

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>((i * 31 + i / 7) % 251);
    return out;
}

int RunScript(const std::string& args) {
    const std::string cmd =
        "python3 " + std::string(ZOL_SOURCE_DIR) + "/tests/data/streamfile_interop.py " + args;
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

TEST(StreamFileInterop, PythonReadsOursAndWeReadPythons) {
    if (std::system("python3 -c 'import zlib, struct' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 with zlib is not available; interop not checked";
    test::TempDir dir;
    for (size_t n : {1u, 1000u, 70000u}) {
        const std::string ours = dir.File("ours.qrt");
        ASSERT_TRUE(FileWriteData(ours, Pattern(n), true, ""));
        EXPECT_EQ(RunScript("check " + ours + " " + std::to_string(n)), 0) << n;

        const std::string theirs = dir.File("theirs.qrt");
        ASSERT_EQ(RunScript("write " + theirs + " " + std::to_string(n)), 0);
        std::vector<uint8_t> data;
        ASSERT_TRUE(FileReadData(theirs, data, "")) << n;
        EXPECT_EQ(data, Pattern(n));
    }
}

}  // namespace
}  // namespace zol

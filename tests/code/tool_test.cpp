// The command-line companions, run as a user would run them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace zol {
namespace {

struct ToolRun {
    int Exit = -1;
    std::string Out;
};

ToolRun Tool(const std::string& name, const std::string& args) {
    ToolRun r;
    const std::string cmd = std::string(ZOL_BINARY_DIR) + "/" + name + " " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.Out.append(buf, n);
    const int status = pclose(p);
    r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool Built(const std::string& name) {
    return std::filesystem::exists(std::string(ZOL_BINARY_DIR) + "/" + name);
}

TEST(Tools, ZolCodeMakesAndVerifies) {
    if (!Built("zol-code")) GTEST_SKIP() << "zol-code is not built";
    const ToolRun made = Tool("zol-code", "make Ann 1520 4 3 1 9000");
    ASSERT_EQ(made.Exit, 0);
    const std::string code = made.Out.substr(0, made.Out.find('\n'));
    EXPECT_EQ(code.substr(0, 5), "DFA4-");
    EXPECT_EQ(made.Out, code + "\n1,520 [" + code + "]\n");

    const ToolRun ok = Tool("zol-code", "verify '1,520 [" + code + "]'");
    EXPECT_EQ(ok.Exit, 0);
    EXPECT_EQ(ok.Out.substr(0, 24), "Code from:         Ann\r\n");
    const ToolRun piped = Tool("zol-code", "verify < /dev/null");
    EXPECT_EQ(piped.Exit, 1);
    EXPECT_EQ(piped.Out, "Invalid code! Please check your input!\n");
    EXPECT_EQ(Tool("zol-code", "verify 7-4g1p3i1K0Q3X4YV0A").Exit, 2);
    EXPECT_EQ(Tool("zol-code", "make Ann x 4 3 1 9000").Exit, 3);
    EXPECT_EQ(Tool("zol-code", "make x -36 0 0 0 5").Exit, 1);
}

TEST(Tools, ZolStreamPacksAndRejects) {
    if (!Built("zol-stream")) GTEST_SKIP() << "zol-stream is not built";
    const auto dir = std::filesystem::temp_directory_path() / "zol-tool-test";
    std::filesystem::create_directories(dir);
    const std::string in = (dir / "in.txt").string(), packed = (dir / "p.qrt").string(),
                      out = (dir / "out.txt").string();
    FILE* f = fopen(in.c_str(), "wb");
    fputs("some bytes to keep", f);
    fclose(f);
    EXPECT_EQ(Tool("zol-stream", "pack --zip --password pw " + in + " " + packed).Exit, 0);
    EXPECT_EQ(Tool("zol-stream", "unpack --password bad " + packed + " " + out).Exit, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(Tool("zol-stream", "unpack --password pw " + packed + " " + out).Exit, 0);
    EXPECT_EQ(std::filesystem::file_size(out), 18u);
    EXPECT_EQ(Tool("zol-stream", "unpack " + in + " " + out + "2").Exit, 1);
    EXPECT_EQ(Tool("zol-stream", "pack").Exit, 3);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zol

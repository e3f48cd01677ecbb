// The trace tool: replays are exact, the format carries what a bug report needs, bad
// scripts are refused.
#include <gtest/gtest.h>

#include <sstream>

#include "../../tools/zol-trace/Trace.h"

namespace zol::trace {
namespace {

struct TraceRun {
    int code;
    std::string out, err;
};

TraceRun Trace(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out, err;
    const int code = RunTrace(in, out, err);
    return {code, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

const char* kScript =
    "seed 42\n"
    "# a piece comes, is moved and pushed left\n"
    "tick 21\n"
    "down 40\n"
    "tick 2\n"
    "down 37\n"
    "tick 30\n"
    "up 37\n"
    "down 80\n"
    "tick 2\n"
    "down 80\n"
    "tick 1\n"
    "tick 60\n";

TEST(Trace, ReplaysAreIdenticalAndCarryTheGame) {
    const TraceRun a = Trace(kScript);
    const TraceRun b = Trace(kScript);
    ASSERT_EQ(a.code, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    const auto lines = Lines(a.out);
    ASSERT_EQ(lines.size(), 116u);
    EXPECT_EQ(lines[0].rfind("{\"t\":1,\"frames\":1,\"phase\":1,\"paused\":false,", 0), 0u) << lines[0];
    EXPECT_NE(lines[19].find("\"edit\":{\"x\":0,\"y\":0,\"blocks\":[]}"), std::string::npos);
    EXPECT_NE(lines[20].find("\"edit\":{\"x\":10,\"y\":0,\"blocks\":[["), std::string::npos) << lines[20];
    EXPECT_NE(lines[21].find("\"y\":1,"), std::string::npos) << "moved down";
    EXPECT_NE(lines[53].find("\"paused\":true"), std::string::npos) << lines[53];
    EXPECT_NE(lines[53].find("\"sounds\":[\"pause.wav\"]"), std::string::npos);
    EXPECT_NE(lines[55].find("\"paused\":false"), std::string::npos);
    EXPECT_NE(a.out.find("\"hit.wav\""), std::string::npos) << "the piece was placed";

    const TraceRun c = Trace(std::string(kScript).replace(5, 2, "43"));
    EXPECT_NE(a.out, c.out) << "another seed, another game";
}

TEST(Trace, BadScriptsAreRefusedWithALineNumber) {
    for (const char* bad : {"tick 1\nfly away\n", "seed x\n", "tick 1\nseed 3\n", "down 300\n",
                            "tick -4\n", "mouse now\n", "up\n"}) {
        const TraceRun r = Trace(bad);
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_NE(r.err.find("zol-trace: line "), std::string::npos) << bad;
    }
    const TraceRun esc = Trace("seed 1\ntick 2\ndown 27\ntick 5\ntick 5\n");
    EXPECT_EQ(esc.code, 0);
    EXPECT_EQ(Lines(esc.out).size(), 3u) << "Escape closes the window and ends the run";
    const TraceRun empty = Trace("");
    EXPECT_EQ(empty.code, 0);
    EXPECT_TRUE(empty.out.empty());
}

}  // namespace
}  // namespace zol::trace

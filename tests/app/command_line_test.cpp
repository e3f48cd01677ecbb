// The command line: what each set of arguments asks for and what it prints, and the built
// program answering --help, --version and a mistake without opening a window.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "data/TempDir.h"

namespace zol::app {
namespace {

TEST(CommandLine, ReadsEveryOptionAndRefusesMistakes) {
    const std::string usage(Usage());
    const std::string version = "zol " ZOL_VERSION "\n";
    struct Case {
        std::vector<std::string_view> Args;
        bool Run;
        int Code;
        std::optional<bool> Fullscreen;
        bool NoSave;
        std::string Out, Err;
    };
    const Case cases[] = {
        {{}, true, 0, std::nullopt, false, "", ""},
        {{"--fullscreen"}, true, 0, true, false, "", ""},
        {{"--windowed"}, true, 0, false, false, "", ""},
        {{"--fullscreen", "--windowed"}, true, 0, false, false, "", ""},
        {{"--windowed", "--no-save", "--fullscreen"}, true, 0, true, true, "", ""},
        {{"--no-save"}, true, 0, std::nullopt, true, "", ""},
        {{"--help"}, false, 0, std::nullopt, false, usage, ""},
        {{"--version"}, false, 0, std::nullopt, false, version, ""},
        // The first of help, version or a mistake decides.
        {{"--fullscreen", "--version", "--bogus"}, false, 0, std::nullopt, false, version, ""},
        {{"--bogus", "--help"}, false, 2, std::nullopt, false, "",
         "zol: unknown option '--bogus'\n" + usage},
        {{"--no-save", "level9"}, false, 2, std::nullopt, false, "",
         "zol: unexpected argument 'level9'\n" + usage},
        // Near misses are mistakes too: no abbreviations, values or single dashes.
        {{"--full"}, false, 2, std::nullopt, false, "", "zol: unknown option '--full'\n" + usage},
        {{"--fullscreen=yes"}, false, 2, std::nullopt, false, "",
         "zol: unknown option '--fullscreen=yes'\n" + usage},
        {{"-h"}, false, 2, std::nullopt, false, "", "zol: unknown option '-h'\n" + usage},
        {{"-"}, false, 2, std::nullopt, false, "", "zol: unexpected argument '-'\n" + usage},
    };
    for (const Case& c : cases) {
        std::string name;
        for (auto a : c.Args) name += std::string(a) + " ";
        SCOPED_TRACE(name);
        std::ostringstream out, err;
        const CommandLine line = ParseCommandLine(c.Args, out, err);
        EXPECT_EQ(line.Run, c.Run);
        EXPECT_EQ(line.ExitCode, c.Code);
        if (c.Run) {
            EXPECT_EQ(line.Fullscreen, c.Fullscreen);
            EXPECT_EQ(line.NoSave, c.NoSave);
        }
        EXPECT_EQ(out.str(), c.Out);
        EXPECT_EQ(err.str(), c.Err);
    }

    // main's form skips the program's name.
    const char* argv[] = {"/usr/games/zol", "--windowed", nullptr};
    std::ostringstream out, err;
    const CommandLine line = ParseCommandLine(2, argv, out, err);
    EXPECT_TRUE(line.Run);
    EXPECT_EQ(line.Fullscreen, false);
}

struct Result {
    int Code = -1;
    std::string Out, Err;
};

// Runs the built game with Arg and an SDL video driver that does not exist: were it to
// start the game, it would fail to open its window and end with 1 (or, at worst, be
// stopped after 10 s).
Result RunGame(const std::string& arg, const test::TempDir& dir) {
    const std::string command = "SDL_VIDEODRIVER=no-such-driver timeout -s KILL 10 " +
                                std::string(ZOL_BINARY_DIR) + "/zol " + arg + " >" +
                                dir.File("out") + " 2>" + dir.File("err");
    const int status = std::system(command.c_str());
    const auto out = test::ReadAll(dir.File("out")), err = test::ReadAll(dir.File("err"));
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, {out.begin(), out.end()},
            {err.begin(), err.end()}};
}

TEST(CommandLine, TheProgramAnswersWithoutOpeningAWindow) {
    const test::TempDir dir;
    const Result help = RunGame("--help", dir);
    EXPECT_EQ(help.Code, 0);
    EXPECT_EQ(help.Out, Usage());
    EXPECT_EQ(help.Err, "");
    const Result version = RunGame("--version", dir);
    EXPECT_EQ(version.Code, 0);
    EXPECT_EQ(version.Out, "zol " ZOL_VERSION "\n");
    EXPECT_EQ(version.Err, "");
    const Result bogus = RunGame("--bogus", dir);
    EXPECT_EQ(bogus.Code, 2);
    EXPECT_EQ(bogus.Out, "");
    EXPECT_EQ(bogus.Err, "zol: unknown option '--bogus'\n" + std::string(Usage()));
}

}  // namespace
}  // namespace zol::app

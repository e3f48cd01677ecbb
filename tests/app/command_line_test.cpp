// The command line: what each set of arguments asks for and what it prints, and the built
// program answering --help, --version, --scores and a mistake without opening a window.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/SavedStore.h"
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
        {{"--scores", "--no-save"}, true, 0, std::nullopt, true, "", ""},
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
            EXPECT_EQ(line.ShowScores, c.Args.size() > 0 && c.Args[0] == "--scores");
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
Result RunGame(const std::string& arg, const test::TempDir& dir, const std::string& env = "") {
    const std::string command = env + " SDL_VIDEODRIVER=no-such-driver timeout -s KILL 10 " +
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

    // --scores prints the kept table (the tests keep nothing unless a folder is given).
    const std::string data = "env -u ZOL_NO_SAVE XDG_DATA_HOME=" + dir.Folder() + "share";
    const Result none = RunGame("--scores", dir, data);
    EXPECT_EQ(none.Code, 0);
    EXPECT_EQ(none.Out, "No results yet.\n");
    std::filesystem::create_directories(dir.Folder() + "share/zol");
    const ScoreList table = {{"Ann", 12345, 5, 3, 1, 4000, 45000.75, "1F-Ab"},
                             {"Bo", 7, 1, 0, 0, 90, 45001, "2-x"}};
    test::WriteAll(dir.Folder() + "share/zol/scores", EncodeScores(table));
    const Result listed = RunGame("--scores", dir, data);
    EXPECT_EQ(listed.Code, 0);
    EXPECT_EQ(listed.Out, ScoresText(table));
    EXPECT_NE(listed.Out.find("  1  Ann                       12,345      5       3         1"
                              "      4000  2023-03-15 18:00  1F-Ab\n"),
              std::string::npos)
        << listed.Out;
    EXPECT_EQ(RunGame("--scores", dir, data + " ZOL_NO_SAVE=1").Out, "No results yet.\n");
    test::WriteAll(dir.Folder() + "share/zol/scores", {1, 2, 3});
    const Result damaged = RunGame("--scores", dir, data);
    EXPECT_EQ(damaged.Code, 1);
    EXPECT_NE(damaged.Err.find("damaged"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.Folder() + "share/zol/scores")) << "only read";
}

}  // namespace
}  // namespace zol::app

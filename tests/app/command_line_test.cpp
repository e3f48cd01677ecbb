// The command line: what each set of arguments asks for and what it prints, and the built
// program answering --help, --version and a mistake without opening a window.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/CommandLine.h"
#include "data/TempDir.h"

extern char** environ;

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

std::string ReadText(const std::string& path) {
    const auto bytes = test::ReadAll(path);
    return {bytes.begin(), bytes.end()};
}

struct Result {
    int Code = -1;  // -1: did not start or did not end within 10 s
    std::string Out, Err;
};

// Runs the built game with Arg and an SDL video driver that does not exist: were it to
// start the game, it would fail to open its window and end with 1.
Result RunGame(const std::string& arg, const std::string& folder) {
    const std::string game = std::string(ZOL_BINARY_DIR) + "/zol";
    const std::string outFile = folder + "out", errFile = folder + "err";
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("SDL_VIDEODRIVER=", 0) != 0) env.emplace_back(*e);
    env.push_back("SDL_VIDEODRIVER=no-such-driver");
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(game.c_str()), const_cast<char*>(arg.c_str()), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int started = posix_spawn(&pid, game.c_str(), &files, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&files);
    Result r;
    if (started != 0) return r;
    for (int i = 0; i < 200 && r.Code == -1; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (r.Code == -1) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    r.Out = ReadText(outFile);
    r.Err = ReadText(errFile);
    return r;
}

TEST(CommandLine, TheProgramAnswersWithoutOpeningAWindow) {
    const test::TempDir dir;
    const std::string folder = dir.Folder();
    const Result help = RunGame("--help", folder);
    EXPECT_EQ(help.Code, 0);
    EXPECT_EQ(help.Out, Usage());
    EXPECT_EQ(help.Err, "");
    const Result version = RunGame("--version", folder);
    EXPECT_EQ(version.Code, 0);
    EXPECT_EQ(version.Out, "zol " ZOL_VERSION "\n");
    EXPECT_EQ(version.Err, "");
    const Result bogus = RunGame("--bogus", folder);
    EXPECT_EQ(bogus.Code, 2);
    EXPECT_EQ(bogus.Out, "");
    EXPECT_EQ(bogus.Err, "zol: unknown option '--bogus'\n" + std::string(Usage()));
}

}  // namespace
}  // namespace zol::app

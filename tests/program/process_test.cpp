// The program as a separate process: without its resource folders, and under valgrind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "data/TempDir.h"

extern char** environ;

namespace zol::test {
namespace {

// Starts Argv[0] with the environment plus Extra, its output into OutputFile; -1 on failure.
pid_t Spawn(const std::vector<std::string>& Argv, const std::vector<std::string>& Extra,
            const std::string& OutputFile) {
    std::vector<std::string> env(Extra);
    for (char** e = environ; *e; ++e) env.emplace_back(*e);  // the first of a name wins
    std::vector<char*> envp, argv;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args(Argv);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, OutputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    return rc == 0 ? pid : -1;
}

// The exit status after at most Seconds (128 + signal when killed by one), or -1 while
// the process still runs.
int WaitFor(pid_t pid, int Seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

// Ends a process that is still running after a failed expectation.
void Reap(pid_t pid) {
    if (WaitFor(pid, 0) == -1) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
}

std::string Tail(const std::string& path, size_t bytes = 3000) {
    const auto all = ReadAll(path);
    const size_t from = all.size() > bytes ? all.size() - bytes : 0;
    return std::string(all.begin() + static_cast<ptrdiff_t>(from), all.end());
}

bool OnPath(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    for (size_t at = 0; at <= dirs.size();) {
        const size_t end = std::min(dirs.find(':', at), dirs.size());
        if (access((dirs.substr(at, end - at) + "/" + tool).c_str(), X_OK) == 0) return true;
        at = end + 1;
    }
    return false;
}

TEST(ProgramProcess, WithoutImagesSoundsAndMusicTheGameStillRunsAndEndsCleanly) {
    const std::string built = std::string(ZOL_BINARY_DIR) + "/zol";
    if (access(built.c_str(), X_OK) != 0) GTEST_SKIP() << "the game is not built: " << built;
    TempDir dir;
    // The program alone, with none of img/, wave/ or midi/ beside it.
    const std::string exe = dir.File("zol");
    std::filesystem::copy_file(built, exe);
    const std::string log = dir.File("output.txt");
    const pid_t game = Spawn({exe}, {"SDL_VIDEODRIVER=offscreen", "ALSOFT_DRIVERS=null"}, log);
    ASSERT_GT(game, 0);
    const int early = WaitFor(game, 2);
    if (early != -1) FAIL() << "ended early with " << early << ":\n" << Tail(log);
    kill(game, SIGTERM);  // SDL turns it into a quit request, like the close button
    const int status = WaitFor(game, 10);
    Reap(game);
    EXPECT_EQ(status, 0) << Tail(log);
    const std::string output = Tail(log, 100000);
    EXPECT_NE(output.find("window art"), std::string::npos) << output;
    EXPECT_EQ(output.find("Create D3D"), std::string::npos) << output;
}

// The scripted game of program_test.cpp under valgrind's memcheck: no leak of ours and no
// invalid access. Leaks inside the libraries are listed, with reasons, in valgrind.supp.
TEST(ProgramProcess, PlaysWithoutLeaksUnderValgrind) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a sanitizer build cannot run under valgrind";
#endif
    if (std::getenv("ZOL_UNDER_VALGRIND")) GTEST_SKIP() << "already under valgrind";
    if (!OnPath("valgrind")) GTEST_SKIP() << "valgrind is not installed; nothing checked";
    TempDir dir;
    const std::string log = dir.File("valgrind.txt");
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const pid_t run = Spawn(
        {"/bin/sh", "-c",
         "exec valgrind --leak-check=full --errors-for-leak-kinds=definite,possible "
         "--keep-debuginfo=yes --num-callers=40 --error-exitcode=1 --suppressions=" +
             std::string(ZOL_SOURCE_DIR) + "/tests/program/valgrind.supp \"$0\" "
             "--gtest_filter=Program.PlaysScriptedKeysPausesAndEndsOnEscape",
         self},
        // One rendering thread: valgrind runs threads one at a time anyway.
        {"ZOL_UNDER_VALGRIND=1", "LP_NUM_THREADS=0", "SDL_VIDEODRIVER=offscreen",
         "ALSOFT_DRIVERS=null", "SDL_AUDIODRIVER=dummy"},
        log);
    ASSERT_GT(run, 0);
    const int status = WaitFor(run, 300);
    Reap(run);
    EXPECT_EQ(status, 0) << Tail(log, 20000);
    const std::string output = Tail(log, 1000000);
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << Tail(log);
}

}  // namespace
}  // namespace zol::test

// The program as a whole: its exit code after a normal close and without any display.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

const std::string kGame = std::string(ZOL_BINARY_DIR) + "/zol";

// Starts the game with the environment's SDL_VIDEODRIVER and every variable named in Drop
// removed and Add added, standard error on ErrFd when it is not -1; its process id, or -1.
pid_t StartGame(const std::vector<std::string>& Add, const std::vector<std::string>& Drop = {},
                int ErrFd = -1) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        bool dropped = entry.rfind("SDL_VIDEODRIVER=", 0) == 0;
        for (const std::string& name : Drop) dropped = dropped || entry.rfind(name + "=", 0) == 0;
        if (!dropped) env.push_back(entry);
    }
    env.insert(env.end(), Add.begin(), Add.end());
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(kGame.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (ErrFd >= 0) posix_spawn_file_actions_adddup2(&actions, ErrFd, STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, kGame.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// Waits up to Seconds for the process; its exit status, or -1 when it is still running.
int WaitFor(pid_t pid, int Seconds) {
    for (int i = 0; i < Seconds * 20; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

TEST(Program, EndsWithZeroWhenClosedAndWithOneWithoutADisplay) {
    if (access(kGame.c_str(), X_OK) != 0) GTEST_SKIP() << "the game is not built: " << kGame;
    const pid_t running = StartGame({"SDL_VIDEODRIVER=offscreen"});
    ASSERT_GT(running, 0);
    // The game runs until its window is closed; the desktop's close request arrives as a
    // quit event, like the close button.
    EXPECT_EQ(WaitFor(running, 1), -1);
    kill(running, SIGTERM);
    const int closed = WaitFor(running, 10);
    if (closed == -1) kill(running, SIGKILL), waitpid(running, nullptr, 0);
    EXPECT_EQ(closed, 0);

    const pid_t headless = StartGame({"SDL_VIDEODRIVER=no-such-driver"});
    ASSERT_GT(headless, 0);
    const int failed = WaitFor(headless, 10);
    if (failed == -1) kill(headless, SIGKILL), waitpid(headless, nullptr, 0);
    EXPECT_EQ(failed, 1);
}

// Faults of the desktop the program must answer with a clear exit, not a hang or a signal.
TEST(Program, NoDisplayOrAClosedErrorPipeEndsWithOne) {
    if (access(kGame.c_str(), X_OK) != 0) GTEST_SKIP() << "the game is not built: " << kGame;
    // No display named and no driver asked for: SDL would fall back to its offscreen
    // driver and the game would run where nobody sees it.
    const std::vector<std::string> noDisplay = {"DISPLAY", "WAYLAND_DISPLAY"};
    const pid_t invisible = StartGame({}, noDisplay);
    ASSERT_GT(invisible, 0);
    const int code = WaitFor(invisible, 10);
    if (code == -1) kill(invisible, SIGKILL), waitpid(invisible, nullptr, 0);
    EXPECT_EQ(code, 1);
    // The same with standard error a pipe nobody reads: the message is lost, the exit is not
    // a SIGPIPE.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    const pid_t piped = StartGame({}, noDisplay, fds[1]);
    close(fds[1]);
    ASSERT_GT(piped, 0);
    const int pipedCode = WaitFor(piped, 10);
    if (pipedCode == -1) kill(piped, SIGKILL), waitpid(piped, nullptr, 0);
    EXPECT_EQ(pipedCode, 1);
}

}  // namespace

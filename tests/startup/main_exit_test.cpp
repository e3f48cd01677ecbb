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

// Starts the game with one extra environment entry; its process id, or -1.
pid_t StartGame(const std::string& extraEnv) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("SDL_VIDEODRIVER=", 0) != 0) env.emplace_back(*e);
    env.push_back(extraEnv);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(kGame.c_str()), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, kGame.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    return pid;
}

// Waits up to Seconds for the process; its exit status, or -1 when it is still running.
int WaitFor(pid_t pid, int Seconds) {
    for (int i = 0; i < Seconds * 20; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
}

TEST(Program, EndsWithZeroWhenClosedAndWithOneWithoutADisplay) {
    if (access(kGame.c_str(), X_OK) != 0) GTEST_SKIP() << "the game is not built: " << kGame;
    const pid_t running = StartGame("SDL_VIDEODRIVER=offscreen");
    ASSERT_GT(running, 0);
    // The game runs until its window is closed; the desktop's close request arrives as a
    // quit event, like the close button.
    EXPECT_EQ(WaitFor(running, 1), -1);
    kill(running, SIGTERM);
    const int closed = WaitFor(running, 10);
    if (closed == -1) kill(running, SIGKILL), waitpid(running, nullptr, 0);
    EXPECT_EQ(closed, 0);

    const pid_t headless = StartGame("SDL_VIDEODRIVER=no-such-driver");
    ASSERT_GT(headless, 0);
    const int failed = WaitFor(headless, 10);
    if (failed == -1) kill(headless, SIGKILL), waitpid(headless, nullptr, 0);
    EXPECT_EQ(failed, 1);
}

}  // namespace

#include "support/GameProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace zol::test {

std::string GamePath() { return std::string(ZOL_BINARY_DIR) + "/zol"; }

pid_t StartGame(const std::vector<std::string>& Add, const std::vector<std::string>& Drop, int ErrFd) {
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
    const std::string game = GamePath();
    char* argv[] = {const_cast<char*>(game.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (ErrFd >= 0) posix_spawn_file_actions_adddup2(&actions, ErrFd, STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, game.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

int WaitForExit(pid_t Pid, int Seconds) {
    for (int i = 0; i < Seconds * 20; ++i) {
        int status = 0;
        if (waitpid(Pid, &status, WNOHANG) == Pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
    return -1;
}

}  // namespace zol::test

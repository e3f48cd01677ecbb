// The built game as a separate process, for tests of how the whole program starts and ends.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zol::test {

// The game program of this build.
std::string GamePath();

// Starts the game with the test's environment, less SDL_VIDEODRIVER and every variable
// named in Drop, plus Add; standard error on ErrFd when it is not -1. Its process id, or -1.
pid_t StartGame(const std::vector<std::string>& Add, const std::vector<std::string>& Drop = {},
                int ErrFd = -1);

// Waits up to Seconds for the process: its exit code (128 + the signal when a signal ended
// it), or -1 when it still runs, in which case it is killed and reaped.
int WaitForExit(pid_t Pid, int Seconds);

}  // namespace zol::test

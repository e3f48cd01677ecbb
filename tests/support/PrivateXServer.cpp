#include "support/PrivateXServer.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace zol::test {

PrivateXServer::PrivateXServer() {
    if (access("/usr/bin/Xvfb", X_OK) == 0) Start();
}

PrivateXServer::~PrivateXServer() {
    if (pid_ > 0) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
}

void PrivateXServer::Kill() {
    if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

bool PrivateXServer::Start() {
    display_.clear();
    // The server picks a free display itself and writes its number to the pipe once it
    // listens, so test programs running side by side never share one.
    int ready[2];
    if (pipe(ready) != 0) return false;
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        // The server goes with the test program, however the program ends.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        close(ready[0]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        const std::string fd = std::to_string(ready[1]);
        // -noreset: otherwise the server resets whenever its last client leaves and
        // refuses connections for that moment.
        execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0",
              "1280x800x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    // The number and its line end may come in two writes; the server gives up when the
    // second finds the pipe closed, so the whole line is read before the pipe is.
    std::string number;
    char c = 0;
    while (number.size() < 8 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (!number.empty() && c == '\n') {
        const std::string display = ":" + number;
        for (int i = 0; i < 40; ++i) {
            if (::Display* d = XOpenDisplay(display.c_str())) {
                XCloseDisplay(d);
                pid_ = pid;
                display_ = display;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    return false;
}

}  // namespace zol::test

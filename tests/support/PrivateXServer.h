// A private X server (Xvfb) for tests that need a real X11 display: started on a free
// display of its own, ended with the test program however that ends.
#pragma once

#include <sys/types.h>

#include <string>

namespace zol::test {

class PrivateXServer {
public:
    // Starts the server; Display() is empty when Xvfb is missing or never took a connection.
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    const std::string& Display() const { return display_; }
    // Ends the server at once, as a crashed or killed X server would end.
    void Kill();

private:
    bool Start();
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace zol::test

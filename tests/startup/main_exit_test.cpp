// The program as a whole: its exit code after a normal close and without any display.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/GameProcess.h"
#include "support/PrivateXServer.h"

// Xlib last: its macros would clash with the headers above.
#include <X11/Xlib.h>

namespace zol::test {
namespace {

const std::string kGame = GamePath();

TEST(Program, EndsWithZeroWhenClosedAndWithOneWithoutADisplay) {
    if (access(kGame.c_str(), X_OK) != 0) GTEST_SKIP() << "the game is not built: " << kGame;
    const pid_t running = StartGame({"SDL_VIDEODRIVER=offscreen"});
    ASSERT_GT(running, 0);
    // The game runs until its window is closed; the desktop's close request arrives as a
    // quit event, like the close button.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_EQ(kill(running, 0), 0) << "the game ended by itself";
    kill(running, SIGTERM);
    const int closed = WaitForExit(running, 10);
    EXPECT_EQ(closed, 0);

    const pid_t headless = StartGame({"SDL_VIDEODRIVER=no-such-driver"});
    ASSERT_GT(headless, 0);
    const int failed = WaitForExit(headless, 10);
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
    const int code = WaitForExit(invisible, 10);
    EXPECT_EQ(code, 1);
    // The same with standard error a pipe nobody reads: the message is lost, the exit is not
    // a SIGPIPE.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    const pid_t piped = StartGame({}, noDisplay, fds[1]);
    close(fds[1]);
    ASSERT_GT(piped, 0);
    const int pipedCode = WaitForExit(piped, 10);
    EXPECT_EQ(pipedCode, 1);
}

// Whether the X server shows any top-level window (the game's, or a box before it).
bool SomethingShown(const std::string& Display) {
    ::Display* x = XOpenDisplay(Display.c_str());
    if (!x) return false;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    bool shown = false;
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !shown; ++i) {
            XWindowAttributes a;
            shown = XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable;
        }
        if (children) XFree(children);
    }
    XCloseDisplay(x);
    return shown;
}

// The X server going away, with the game or a box of it on the screen: the game ends at
// once with 1, never with a signal from a library's exit handlers.
TEST(Program, ALostDisplayEndsWithOne) {
    if (access(kGame.c_str(), X_OK) != 0) GTEST_SKIP() << "the game is not built: " << kGame;
    PrivateXServer server;
    if (server.Display().empty()) GTEST_SKIP() << "no Xvfb";
    const pid_t game = StartGame({"SDL_VIDEODRIVER=x11", "DISPLAY=" + server.Display()});
    ASSERT_GT(game, 0);
    bool shown = false;
    for (int i = 0; i < 200 && !shown; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        shown = SomethingShown(server.Display());
    }
    EXPECT_TRUE(shown);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    server.Kill();
    EXPECT_EQ(WaitForExit(game, 10), 1);
}

}  // namespace
}  // namespace zol::test

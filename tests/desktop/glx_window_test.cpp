// The window on a real X server (Xvfb) through GLX and Mesa's software renderer, where
// only the changed parts of a frame are copied to the screen: the window resized from
// outside, and partial copies that must equal whole frames in both scale modes.
#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "platform/WindowScale.h"
#include "platform/sdl/GlWindowPresenter.h"

// Xlib last: its macros (None, Bool) would clash with the headers above.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace zol::sdl {
namespace {

constexpr int kClientW = 580, kClientH = 388, kScreenW = 480, kScreenH = 288;

class GlxWindow : public ::testing::Test {
protected:
    // A private X server for this test program. Two servers starting at the same moment can
    // both try one display number and leave the winner unreachable, so a server that does
    // not take a connection is replaced by a new one.
    static void SetUpTestSuite() {
        if (access("/usr/bin/Xvfb", X_OK) != 0) return;
        for (int attempt = 0; attempt < 4 && server_ < 0; ++attempt) StartServer();
    }
    static void StartServer() {
        // The server picks a free display itself and writes its number to the pipe once it
        // listens, so test programs running side by side never share one.
        int ready[2];
        if (pipe(ready) != 0) return;
        const pid_t pid = fork();
        if (pid < 0) return;
        if (pid == 0) {
            // The server goes with this test program, however the program ends.
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
        char number[16] = {};
        const ssize_t n = read(ready[0], number, sizeof number - 1);
        close(ready[0]);
        if (n > 0) {
            display_ = ":" + std::string(number, static_cast<size_t>(n - (number[n - 1] == '\n')));
            for (int i = 0; i < 40 && server_ < 0; ++i) {
                if (Display* d = XOpenDisplay(display_.c_str())) {
                    XCloseDisplay(d);
                    server_ = pid;
                } else {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            }
        }
        if (server_ < 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    }
    static void TearDownTestSuite() {
        if (server_ > 0) kill(server_, SIGTERM), waitpid(server_, nullptr, 0);
        server_ = -1;
    }
    void SetUp() override {
        if (server_ < 0) GTEST_SKIP() << "no Xvfb";
        setenv("DISPLAY", display_.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window_ = SDL_CreateWindow("glx", 0, 0, kClientW, kClientH,
                                   SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        std::string error;
        device_ = GlRenderDevice::Create(window_, false, &error, &link_);
        if (!device_) GTEST_SKIP() << "no OpenGL 3.3 through GLX: " << error;
        presenter_ = std::make_unique<GlWindowPresenter>(window_, link_);
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        ASSERT_TRUE(SDL_GetWindowWMInfo(window_, &info));
        xwindow_ = info.info.x11.window;
        x_ = XOpenDisplay(display_.c_str());
        ASSERT_NE(x_, nullptr);
        chrome_.assign(static_cast<size_t>(kClientW) * kClientH, 0xFF604020u);
    }
    void TearDown() override {
        presenter_.reset();
        device_.reset();
        if (window_) SDL_DestroyWindow(window_);
        if (x_) XCloseDisplay(x_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Frame N: a band of the chrome and a square of the screen move with N. Chrome pixels
    // are the bytes R, G, B, A: 0xFF604020 is the colour 0x204060.
    void Frame(int N) {
        for (int y = 0; y < kClientH; ++y)
            for (int x = 0; x < kClientW; ++x)
                chrome_[static_cast<size_t>(y) * kClientW + x] =
                    (y >= 360 && (x / 7 + N) % 9 == 0) ? 0xFF00FFFFu : 0xFF604020u;
        device_->BeginFrame(kScreenW, kScreenH);
        device_->Clear(true, 0xFF102040u);
        BlendState opaque;
        opaque.AlphaTest = false;
        device_->SetBlendState(opaque);
        const float x = static_cast<float>((N * 23) % 400), y = static_cast<float>((N * 11) % 240);
        const ColorVertex quad[4] = {{x, y, 0, 1, 0xFFFFFF00u}, {x + 40, y, 0, 1, 0xFFFF00FFu},
                                     {x, y + 40, 0, 1, 0xFF00FF00u}, {x + 40, y + 40, 0, 1, 0xFFFFFFFFu}};
        device_->DrawColorStrip(quad, 4);
        device_->EndFrame();
        presenter_->Present({chrome_.data(), kClientW, kClientH, static_cast<uint64_t>(N + 1),
                             PixelRect{0, 360, kClientW, kClientH}},
                            true, 50, 50);
        glFinish();
    }
    // What the X server shows in the window now.
    std::vector<uint32_t> Shown() {
        XSync(x_, False);
        XWindowAttributes a;
        XGetWindowAttributes(x_, xwindow_, &a);
        XImage* image = XGetImage(x_, xwindow_, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
        std::vector<uint32_t> px;
        if (!image) return px;
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x) px.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        XDestroyImage(image);
        return px;
    }
    // Resizes the window as a window manager or a user would, behind SDL's back, and lets
    // SDL hear of it.
    void ResizeFromOutside(int W, int H) {
        XResizeWindow(x_, xwindow_, static_cast<unsigned>(W), static_cast<unsigned>(H));
        XSync(x_, False);
        for (int i = 0; i < 100; ++i) {
            SDL_PumpEvents();
            int w = 0, h = 0;
            SDL_GetWindowSize(window_, &w, &h);
            if (w == W && h == H) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        presenter_->Invalidate();
    }

    static inline pid_t server_ = -1;
    static inline std::string display_;
    SDL_Window* window_ = nullptr;
    GlScreenLink link_;
    std::unique_ptr<GlRenderDevice> device_;
    std::unique_ptr<GlWindowPresenter> presenter_;
    Display* x_ = nullptr;
    Window xwindow_ = 0;
    std::vector<uint32_t> chrome_;
};

TEST_F(GlxWindow, ResizedFromOutsideTheWindowKeepsShowingTheWholePicture) {
    int n = 0;
    for (int i = 0; i < 3; ++i) Frame(n++);
    if (!presenter_->CopiesSubBuffers()) GTEST_SKIP() << "no GLX_MESA_copy_sub_buffer";
    // Growing, shrinking below the picture and back: the X server refused the old copies of
    // a resized window, which ended the process.
    for (const auto& [w, h] : {std::pair{1160, 776}, std::pair{700, 500}, std::pair{1280, 800},
                               std::pair{580, 388}, std::pair{400, 300}, std::pair{1161, 777}}) {
        ResizeFromOutside(w, h);
        for (int i = 0; i < 3; ++i) Frame(n++);
        const std::vector<uint32_t> shown = Shown();
        ASSERT_EQ(shown.size(), static_cast<size_t>(w) * h);
        const platform::PicturePlacement fit = platform::FitPicture(w, h, kClientW, kClientH);
        // The chrome's top-left pixel lands on the picture's top-left corner.
        if (fit.Left >= 0 && fit.Top >= 0) {
            EXPECT_EQ(shown[static_cast<size_t>(fit.Top) * w + fit.Left], 0x204060u) << w << "x" << h;
        }
    }
}

TEST_F(GlxWindow, PartialCopiesShowWhatWholeFramesShowInBothScaleModes) {
    Frame(0);
    if (!presenter_->CopiesSubBuffers()) GTEST_SKIP() << "no GLX_MESA_copy_sub_buffer";
    ResizeFromOutside(1000, 720);
    for (const platform::ScaleMode mode : {platform::ScaleMode::Sharp, platform::ScaleMode::Fill}) {
        presenter_->SetScaleMode(mode);
        std::vector<std::vector<uint32_t>> limited, whole;
        for (const bool partial : {true, false}) {
            device_->SetDamageLimited(partial);
            presenter_->Invalidate();
            for (int n = 0; n < 12; ++n) {
                Frame(n);
                (partial ? limited : whole).push_back(Shown());
            }
        }
        for (size_t f = 0; f < limited.size(); ++f)
            ASSERT_EQ(limited[f], whole[f]) << "frame " << f << (mode == platform::ScaleMode::Fill ? " (fill)" : " (sharp)");
    }
}

}  // namespace
}  // namespace zol::sdl

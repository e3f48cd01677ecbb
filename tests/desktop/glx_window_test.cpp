// The window on a real X server (Xvfb) through GLX and Mesa's software renderer, where
// only the changed parts of a frame are copied to the screen: the window resized from
// outside, and partial copies that must equal whole frames in both scale modes.
#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "platform/WindowScale.h"
#include "platform/sdl/GlWindowPresenter.h"
#include "support/PrivateXServer.h"

// Xlib last: its macros (None, Bool) would clash with the headers above.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace zol::sdl {
namespace {

constexpr int kClientW = 580, kClientH = 388, kScreenW = 480, kScreenH = 288;

class GlxWindow : public ::testing::Test {
protected:
    // A private X server for this test program.
    static void SetUpTestSuite() { server_ = std::make_unique<test::PrivateXServer>(); }
    static void TearDownTestSuite() { server_.reset(); }
    void SetUp() override {
        if (server_->Display().empty()) GTEST_SKIP() << "no Xvfb";
        setenv("DISPLAY", server_->Display().c_str(), 1);
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
        x_ = XOpenDisplay(server_->Display().c_str());
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

    static inline std::unique_ptr<test::PrivateXServer> server_;
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

// The presenter and the mouse agree: at window sizes with bars and scales above 1, the
// window point that the host maps to client pixel (x, y) shows that pixel on screen.
#include <gtest/gtest.h>

#include <SDL.h>
#include <epoxy/gl.h>

#include <string>
#include <vector>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "platform/sdl/GlWindowPresenter.h"
#include "platform/WindowScale.h"

namespace zol {
namespace {

constexpr int kW = 580, kH = 388;

// Every client pixel in its own colour (bytes R, G, B, A); bit 7 of blue marks the
// picture, so the black bars differ from every pixel of it.
uint32_t Code(int x, int y) {
    const uint32_t r = x & 0xFF, g = y & 0xFF, b = 0x80u | (x >> 8) | ((y >> 8) << 2);
    return r | g << 8 | b << 16 | 0xFF000000u;
}

TEST(PresentMapping, MousePointsLandOnThePixelThePresenterDrewThere) {
    std::vector<uint32_t> chrome(static_cast<size_t>(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) chrome[static_cast<size_t>(y) * kW + x] = Code(x, y);
    // Offscreen a window's surface keeps the size it was made with, so each size gets a
    // window of its own.
    for (const auto& size : {std::pair{kW, kH}, std::pair{1300, 850}, std::pair{1800, 1200},
                             std::pair{1161, 900}, std::pair{1301, 851},
                             std::pair{500, 300}, std::pair{579, 387}}) {
        std::string error;
        SDL_Window* window = CreateHiddenGlWindow(size.first, size.second, &error);
        if (!window) GTEST_SKIP() << error;
        GlScreenLink link;
        auto gl = GlRenderDevice::Create(window, false, &error, &link);
        if (!gl) {
            SDL_DestroyWindow(window);
            GTEST_SKIP() << "no OpenGL 3.3: " << error;
        }
        int dw = 0, dh = 0, ww = 0, wh = 0;
        SDL_GetWindowSize(window, &ww, &wh);
        SDL_GL_GetDrawableSize(window, &dw, &dh);
        // The client area alone, the logical screen left out.
        sdl::GlWindowPresenter(window, link).Present({chrome.data(), kW, kH, 1, {}}, false, 0, 0);
        std::vector<uint32_t> shown(static_cast<size_t>(dw) * dh);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadPixels(0, 0, dw, dh, GL_RGBA, GL_UNSIGNED_BYTE, shown.data());
        // GL counts rows from the bottom.
        const auto at = [&](int x, int y) { return shown[static_cast<size_t>(dh - 1 - y) * dw + x]; };
        int inside = 0, bars = 0;
        for (int y = 0; y < wh; y += 3)
            for (int x = 0; x < ww; x += 5) {
                const auto p = platform::WindowToPicture(x, y, ww, wh, dw, dh, kW, kH);
                const uint32_t px = at(x * dw / ww, y * dh / wh);
                if (p) {
                    ASSERT_EQ(px, Code(p->X, p->Y)) << ww << "x" << wh << " at " << x << "," << y;
                    ++inside;
                } else {
                    ASSERT_EQ(px, 0xFF000000u) << ww << "x" << wh << " bar at " << x << "," << y;
                    ++bars;
                }
            }
        EXPECT_GT(inside, 1000) << ww << "x" << wh;
        if (ww > kW * 2 || wh > kH * 2) {
            EXPECT_GT(bars, 100) << ww << "x" << wh;
        }
        gl.reset();
        SDL_DestroyWindow(window);
    }
}

}  // namespace
}  // namespace zol

// The window composite when only part of the chrome changes: the painter names the rows
// it touched, the OpenGL device uploads just those, and nothing stale survives a skipped
// version or a screen that is hidden and shown again.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <vector>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "framework/graphics/qDDraw.h"
#include "platform/sdl/GlWindowPresenter.h"
#include "platform/sdl/WindowPainter.h"
#include "support/WindowFixtures.h"

namespace zol {
namespace {

constexpr int kW = 580, kH = 388;

uint32_t Rgba(uint8_t r, uint8_t g, uint8_t b) {
    const uint8_t bytes[4] = {r, g, b, 255};
    uint32_t p;
    std::memcpy(&p, bytes, 4);
    return p;
}

void FillRows(std::vector<uint32_t>& chrome, int top, int rows, uint32_t color) {
    std::fill(chrome.begin() + top * kW, chrome.begin() + (top + rows) * kW, color);
}

TEST(WindowComposite, UploadsTheNamedRowsAndRecoversFromSkippedVersionsAndHiddenScreens) {
    std::string error;
    GlScreenLink link;
    SDL_Window* window = CreateHiddenGlWindow(kW, kH, &error);
    if (!window) GTEST_SKIP() << "no SDL window with OpenGL: " << error;
    SetRenderDeviceFactory(GlRenderDevice::Factory(&link));
    ASSERT_TRUE(Device_Initialize());
    if (!Device_InitWindowed(window, 480, 288, 1.0f)) {
        SetRenderDeviceFactory(nullptr);
        SDL_DestroyWindow(window);
        GTEST_SKIP() << "no OpenGL 3.3 context: " << GetErrorText(0);
    }
    ASSERT_NE(link.Device, nullptr);
    sdl::GlWindowPresenter presenter(window, link);
    const auto Show = [&](const std::vector<uint32_t>& Chrome, uint64_t Version, int FrontX,
                          int FrontY, std::optional<PixelRect> Changed) {
        presenter.Present({Chrome.data(), kW, kH, Version, Changed}, FrontX < kW, FrontX, FrontY);
    };
    std::vector<uint32_t> win;
    int w = 0, h = 0;
    const auto at = [&](int x, int y) {
        EXPECT_TRUE(presenter.ReadWindow(win, w, h));
        return win[static_cast<size_t>(y * kW + x)];
    };
    const uint32_t grey = Rgba(90, 90, 90), blue = Rgba(0, 0, 255), green = Rgba(0, 255, 0),
                   red = Rgba(255, 0, 0);

    std::vector<uint32_t> chrome(kW * kH, grey);
    BeginScene(0xFFFF0000u, 0);
    EndScene();
    Show(chrome, 1, 50, 50, {});
    EXPECT_EQ(at(10, 10), grey);
    EXPECT_EQ(at(60, 60), red);

    // Version 2 says columns 0..399 of rows 10..12 changed: that part goes up; row 100 and
    // the rest of rows 10..12 (changed too, but not named) stay as they were, and the
    // screen still lies over its part of the named rectangle.
    FillRows(chrome, 10, 3, blue);
    FillRows(chrome, 100, 1, green);
    FillRows(chrome, 60, 1, blue);
    Show(chrome, 2, 50, 50, PixelRect{0, 10, 400, 13});
    EXPECT_EQ(at(0, 11), blue);
    EXPECT_EQ(at(399, 12), blue);
    EXPECT_EQ(at(400, 12), grey);
    EXPECT_EQ(at(0, 100), grey);
    EXPECT_EQ(at(0, 13), grey);
    // A part reaching past the image is cut off rather than read.
    Show(chrome, 3, 50, 50, PixelRect{-20, 380, kW + 50, 430});
    EXPECT_EQ(at(0, 100), grey);

    // A version that skips one cannot trust the named part: everything goes up.
    Show(chrome, 5, 50, 50, PixelRect{0, 10, 400, 13});
    EXPECT_EQ(at(0, 100), green);
    EXPECT_EQ(at(60, 60), red);

    // The screen hidden (a dialog) with an unchanged chrome: the chrome comes back where
    // the screen was; shown again, the screen is back.
    Show(chrome, 5, kW, 50, {});
    EXPECT_EQ(at(60, 60), blue);
    EXPECT_EQ(at(60, 61), grey);
    Show(chrome, 6, 50, 50, PixelRect{});
    EXPECT_EQ(at(60, 60), red);

    Device_Release();
    SetRenderDeviceFactory(nullptr);
    SDL_DestroyWindow(window);
}

WindowContent Window() {
    WindowContent c;
    c.Labels = {{40, 12, 145, 27, "Level 1", 18, true, false, 0, 0},
                {408, 364, 93, 15, "0", 8, false, true, 0x8080FF, 0}};
    c.Layout = kWindowLayout;
    c.Bar = test::LevelBar(0.5f);
    return c;
}

TEST(WindowComposite, ThePainterNamesWhereItsLatestChangeLies) {
    sdl::WindowPainter painter("");
    WindowContent c = Window();
    const PixelRect all{0, 0, kW, kH};
    ASSERT_TRUE(painter.Paint(c));
    EXPECT_EQ(painter.Changed(), all);

    // A counter: its label only.
    c.Labels[1].Caption = "1";
    ASSERT_TRUE(painter.Paint(c));
    EXPECT_EQ(painter.Changed(), (PixelRect{408, 364, 501, 379}));
    // The counter and the bar: both, and what lies between.
    c.Labels[1].Caption = "2";
    c.Bar = test::LevelBar(0.75f);
    ASSERT_TRUE(painter.Paint(c));
    EXPECT_EQ(painter.Changed(), (PixelRect{52, 342, 529, 379}));
    // Nothing changed: no new version, the last change stays named.
    const uint64_t version = painter.Version();
    EXPECT_FALSE(painter.Paint(c));
    EXPECT_EQ(painter.Version(), version);
    // A label that moves names its old and its new place; a label beyond the image is cut.
    c.Labels[0].Top = 380;
    c.Labels[0].Left = 500;
    ASSERT_TRUE(painter.Paint(c));
    EXPECT_EQ(painter.Changed(), (PixelRect{40, 12, kW, kH}));
    // A forced repaint changes everything.
    ASSERT_TRUE(painter.Paint(c, true));
    EXPECT_EQ(painter.Changed(), all);
}

}  // namespace
}  // namespace zol

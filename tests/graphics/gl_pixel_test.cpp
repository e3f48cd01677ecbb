// The OpenGL backend, headless on whatever GL the machine offers (llvmpipe under
// SDL_VIDEODRIVER=offscreen): pixels read back after blending, alpha test, colour key,
// screen effects, the clear rule, the window composite, and frames drawn only where they
// changed giving the pixels of frames drawn whole.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <random>

#include "framework/core/qFileSystem.h"
#include "framework/graphics/gl/GlRenderDevice.h"
#include "framework/graphics/qDDraw.h"
#include "platform/sdl/GlWindowPresenter.h"

namespace zol {
namespace {

class GlPixels : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        window_ = CreateHiddenGlWindow(580, 388, &error);
        if (!window_) reason_ = "no SDL window with OpenGL: " + error;
    }
    static void TearDownTestSuite() {
        if (window_) SDL_DestroyWindow(window_);
        window_ = nullptr;
    }
    void SetUp() override {
        if (!window_) GTEST_SKIP() << reason_;
        SetRenderDeviceFactory(GlRenderDevice::Factory(&link));
        ASSERT_TRUE(Device_Initialize());
        if (!Device_InitWindowed(window_, 480, 288, 1.0f))
            GTEST_SKIP() << "no OpenGL 3.3 context: " << GetErrorText(0);
        gl = link.Device;
        ASSERT_NE(gl, nullptr);
        presenter = std::make_unique<sdl::GlWindowPresenter>(window_, link);
        white = Solid(1, 1, 0xFFFFFFFFu);
    }
    void TearDown() override {
        presenter.reset();
        Device_Release();
        SetRenderDeviceFactory(nullptr);
    }
    // Shows the chrome and the screen at (FrontX, FrontY); a front beyond the image hides it.
    void Show(const std::vector<uint32_t>& Chrome, uint64_t Version, int FrontX, int FrontY,
              std::optional<PixelRect> Changed) {
        presenter->Present({Chrome.data(), 580, 388, Version, Changed}, FrontX < 580, FrontX, FrontY);
    }
    int32_t Solid(int w, int h, uint32_t argb) {
        std::vector<uint32_t> px(static_cast<size_t>(w * h), argb);
        return AddTexture("solid" + std::to_string(argb), px.data(), w, h, false, 0);
    }
    // An RGBA32 pixel (bytes R, G, B, A) as 0x00RRGGBB.
    static uint32_t Rgb(uint32_t p) {
        const auto* b = reinterpret_cast<const uint8_t*>(&p);
        return (uint32_t{b[0]} << 16) | (uint32_t{b[1]} << 8) | b[2];
    }
    // The logical screen's pixel (x, y) as 0x00RRGGBB.
    uint32_t Pixel(int x, int y) {
        int w = 0, h = 0;
        EXPECT_TRUE(gl->ReadScreen(pixels_, w, h));
        EXPECT_EQ(w, 480);
        EXPECT_EQ(h, 288);
        return Rgb(pixels_.at(static_cast<size_t>(y * 480 + x)));
    }
    // One frame: background colour, then one full-size white sprite tinted Color in Mode.
    uint32_t Blend(int32_t Mode, uint32_t Background, uint32_t Color) {
        BeginScene(Background, 0);
        SetAlphaMode(Mode);
        Blt(white, 0, 0, 480, 288, 0, 0, 0, 0, Color, 1);
        EndScene();
        return Pixel(240, 144);
    }

    static SDL_Window* window_;
    static std::string reason_;
    GlScreenLink link;
    GlRenderDevice* gl = nullptr;
    std::unique_ptr<sdl::GlWindowPresenter> presenter;
    int32_t white = 0;
    std::vector<uint32_t> pixels_;
};
SDL_Window* GlPixels::window_ = nullptr;
std::string GlPixels::reason_;

constexpr uint32_t kBack = 0xFF8040C0u;  // (128, 64, 192)
constexpr uint32_t kSrc = 0xFF408040u;   // (64, 128, 64)

TEST_F(GlPixels, BlendModesOnKnownColours) {
    EXPECT_EQ(Blend(0, kBack, kSrc), 0x408040u);
    EXPECT_EQ(Blend(1, kBack, kSrc), 0x408040u);
    EXPECT_EQ(Blend(20, kBack, kSrc), 0x400080u);   // screen - source, floored at 0
    EXPECT_EQ(Blend(21, kBack, kSrc), 0x004000u);   // source - screen
    EXPECT_EQ(Blend(30, kBack, kSrc), 0x404040u);   // minimum
    EXPECT_EQ(Blend(31, kBack, kSrc), 0x8080C0u);   // maximum
    EXPECT_EQ(Blend(12, 0xFF808080u, 0xFF808080u), 0xC0C0C0u);  // src*src + dst
    EXPECT_EQ(Blend(10, kBack, kSrc), 0xC0C0FFu);   // sum, saturating
    EXPECT_EQ(Blend(5, kBack, kSrc), 0xC0C0FFu);    // unknown: the last factors stay
    EXPECT_EQ(Blend(2, kBack, kSrc), 0x408040u);    // opaque texel: alpha blend replaces
    // Colour-weighted modes, within one step of rounding per channel:
    // 3 is src * src + dst * (1 - src), 11 is src + dst * (1 - src).
    for (auto [mode, want] : {std::pair{3, 0x7060A0u}, {11, 0xA0A0D0u}}) {
        const uint32_t got = Blend(mode, kBack, kSrc);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int(got >> shift & 0xFF), int(want >> shift & 0xFF), 1) << mode << std::hex << " " << got;
    }
}

TEST_F(GlPixels, SpritesLandTexelForPixelWithYDown) {
    std::vector<uint32_t> px(48 * 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) px[y * 48 + x] = 0xFF000000u | (x * 5 << 16) | (y * 5 << 8) | 7;
    const int32_t tile = AddTexture("tile", px.data(), 48, 48, false, 0);
    BeginScene(0xFF000000u, 0);
    SetAlphaMode(1);
    Blt(tile, 10, 20, 48, 48, 0, 0, 48, 48, kWhite, 1);
    EndScene();
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(Pixel(10 + x, 20 + y), px[y * 48 + x] & 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(Pixel(9, 20), 0u);
    EXPECT_EQ(Pixel(58, 20), 0u);
    EXPECT_EQ(Pixel(10, 19), 0u);
    EXPECT_EQ(Pixel(10, 68), 0u);
    // Texture coordinates past 1 wrap: a 4-pixel tile repeats across a wider rectangle.
    std::vector<uint32_t> stripe = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    const int32_t s = AddTexture("stripe", stripe.data(), 4, 1, false, 0);
    BeginScene(0xFF000000u, 0);
    BltRect(s, 0, 0, 12, 0, 12, 1, 0, 1, kWhite, 0, 0, 3, 1);
    EndScene();
    for (int x = 0; x < 12; ++x) EXPECT_EQ(Pixel(x, 0), stripe[x % 4] & 0xFFFFFFu) << x;
}

TEST_F(GlPixels, PointSamplingAndTheAlphaTestAtEightOf255) {
    // Even an image loaded for smoothing is drawn texel for texel, eight pixels each here.
    std::vector<uint32_t> px = {0xFF000000u, 0xFFFFFFFFu};
    const int32_t t = AddTexture("smooth", px.data(), 2, 1, true, 0);
    BeginScene(0xFF808080u, 0);
    SetAlphaMode(0);
    Blt(t, 0, 0, 16, 2, 0, 0, 0, 0, kWhite, 1);
    EndScene();
    for (int x = 0; x < 16; ++x) EXPECT_EQ(Pixel(x, 1), x < 8 ? 0u : 0xFFFFFFu) << x;
    std::vector<uint32_t> viaSeam;
    int w = 0, h = 0;
    ASSERT_TRUE(GetRenderDevice()->ReadScreen(viaSeam, w, h));
    EXPECT_EQ(Rgb(viaSeam[15]), 0xFFFFFFu);

    // Alpha 8 passes the test and 7 does not; opaque mode has no test.
    px = {0x08FFFFFFu, 0x07FFFFFFu};
    const int32_t a = AddTexture("alpha", px.data(), 2, 1, false, 0);
    for (int32_t mode : {1, 0}) {
        BeginScene(0xFF000000u, 0);
        SetAlphaMode(mode);
        Blt(a, 0, 0, 2, 1, 0, 0, 0, 0, kWhite, 1);
        EndScene();
        EXPECT_EQ(Pixel(0, 0), 0xFFFFFFu) << mode;
        EXPECT_EQ(Pixel(1, 0), mode == 1 ? 0u : 0xFFFFFFu) << mode;
    }
}

TEST_F(GlPixels, MagentaBecomesTransparentUnderTheColourKey) {
    const std::string dir = testing::TempDir() + "zol_gl_" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(dir);
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 2, 1, 32, SDL_PIXELFORMAT_ARGB8888);
    static_cast<uint32_t*>(s->pixels)[0] = 0xFFFF00FFu;
    static_cast<uint32_t*>(s->pixels)[1] = 0xFF00FF00u;
    ASSERT_EQ(IMG_SavePNG(s, (dir + "keyed.png").c_str()), 0);
    SDL_FreeSurface(s);
    ImagePath = dir;
    const int32_t keyed = LoadTexture("keyed.png", false, ColorRGB(1, 0, 1));
    const int32_t plain = LoadTexture("keyed.png", false, 0);
    ASSERT_GT(keyed, 0);
    ASSERT_GT(plain, keyed);
    BeginScene(0xFF102030u, 0);
    SetAlphaMode(1);
    Blt(keyed, 0, 0, 2, 1, 0, 0, 0, 0, kWhite, 1);
    Blt(plain, 0, 1, 2, 1, 0, 0, 0, 0, kWhite, 1);
    EndScene();
    EXPECT_EQ(Pixel(0, 0), 0x102030u);
    EXPECT_EQ(Pixel(1, 0), 0x00FF00u);
    EXPECT_EQ(Pixel(0, 1), 0xFF00FFu);
    ImagePath.clear();
    std::filesystem::remove_all(dir);
}

TEST_F(GlPixels, GammaAndTintCoverTheWholeScreen) {
    const struct {
        uint32_t Background;
        float Tint, Gamma;
        uint32_t Expected;
    } effects[] = {
        {0xFFC86432u, 0, -0.5f, 0x480000u},  // (200, 100, 50) darkened by half of 255
        {0xFF102030u, 0, 2, 0xFFFFFFu},      // brightened past white
        {0xFF646464u, 0.5f, -0.5f, 0x640000u},  // the game-over look: red tint, then darker
    };
    for (const auto& e : effects) {
        BeginScene(e.Background, 0);
        if (e.Tint) ApplyTint(e.Tint, 0, 0);
        ApplyGamma(e.Gamma);
        EndScene();
        for (auto [x, y] : {std::pair{0, 0}, {479, 0}, {0, 287}, {479, 287}, {240, 144}})
            EXPECT_EQ(Pixel(x, y), e.Expected) << std::hex << e.Background << " at " << x << "," << y;
    }
}

TEST_F(GlPixels, ClearColourZeroKeepsTheLastFrame) {
    BeginScene(0xFFFF0000u, 0);
    EndScene();
    BeginScene(0, 0);
    SetAlphaMode(10);
    Blt(white, 0, 0, 1, 1, 0, 0, 0, 0, 0xFF0000FFu, 1);
    EndScene();
    EXPECT_EQ(Pixel(0, 0), 0xFF00FFu);
    EXPECT_EQ(Pixel(5, 5), 0xFF0000u);
    BeginScene(0xFF00FF00u, 0);
    EndScene();
    EXPECT_EQ(Pixel(5, 5), 0x00FF00u);
}

TEST_F(GlPixels, WindowCompositeLaysTheScreenOverTheChrome) {
    std::vector<uint32_t> chrome(580 * 388, 0xFF403020u);  // bytes 20 30 40 FF: (0x20, 0x30, 0x40)
    BeginScene(0xFFFF8000u, 0);
    EndScene();
    Show(chrome, 1, 50, 50, {});
    std::vector<uint32_t> win;
    int w = 0, h = 0;
    ASSERT_TRUE(presenter->ReadWindow(win, w, h));
    ASSERT_EQ(w, 580);
    ASSERT_EQ(h, 388);
    auto at = [&](int x, int y) { return Rgb(win[static_cast<size_t>(y * 580 + x)]); };
    EXPECT_EQ(at(49, 49), 0x203040u);
    EXPECT_EQ(at(50, 50), 0xFF8000u);
    EXPECT_EQ(at(529, 337), 0xFF8000u);
    EXPECT_EQ(at(530, 338), 0x203040u);
}

// A scripted scene of moving, recolouring, appearing and vanishing sprites in every
// blending mode, plain rectangles, screen effects, frames that do not clear, and textures
// replaced mid-game (GL may hand a released name out again). Played twice, once drawn
// only where it changed and once whole: every frame, and every window composite, must be
// the same to the pixel.
TEST_F(GlPixels, FramesDrawnWhereTheyChangedMatchFramesDrawnWhole) {
    struct Sprite {
        int32_t Tex;
        float X, Y, W, H;
        uint32_t Color;
        int32_t Mode;
        float Angle;
    };
    std::vector<uint32_t> chrome(580 * 388, 0xFF302010u);
    auto image = [](uint32_t seed) {
        std::vector<uint32_t> px(16 * 16);
        for (int i = 0; i < 256; ++i)
            px[i] = ((i * 37 + seed * 11) % 5 == 0 ? 0x40000000u : 0xFF000000u) |
                    ((i * 2654435761u + seed * 97u) & 0xFFFFFFu);
        return px;
    };
    std::vector<int32_t> tex;
    for (uint32_t t = 0; t < 3; ++t) {
        const auto px = image(t);
        tex.push_back(AddTexture("scene" + std::to_string(t), px.data(), 16, 16, false, 0));
    }
    const int32_t modes[] = {0, 1, 2, 3, 10, 11, 12, 20, 21, 30, 31};

    auto play = [&](bool limited, std::vector<std::vector<uint32_t>>& frames,
                    std::vector<std::vector<uint32_t>>& windows, int& partial) {
        gl->SetDamageLimited(limited);
        std::mt19937 rng(11);
        auto uniform = [&](float a, float b) { return std::uniform_real_distribution<float>(a, b)(rng); };
        std::vector<Sprite> sprites;
        for (int i = 0; i < 40; ++i)
            sprites.push_back({tex[rng() % tex.size()], uniform(-20, 470), uniform(-20, 280),
                               uniform(4, 60), uniform(4, 60), static_cast<uint32_t>(0xFF000000u | (rng() & 0xFFFFFFu)),
                               modes[rng() % std::size(modes)], 0});
        uint64_t chromeVersion = 1;
        for (int frame = 0; frame < 120; ++frame) {
            // Most frames change a sprite or two, as a game does; some change much more.
            const int changes = frame % 17 == 0 ? 30 : static_cast<int>(rng() % 3);
            for (int c = 0; c < changes; ++c) {
                Sprite& s = sprites[rng() % sprites.size()];
                switch (rng() % 6) {
                    case 0: s.X += uniform(-6, 6), s.Y += uniform(-6, 6); break;
                    case 1: s.Color = 0xFF000000u | (rng() & 0xFFFFFFu); break;
                    case 2: s.Mode = modes[rng() % std::size(modes)]; break;
                    case 3: s.Angle = uniform(-3, 3); break;
                    case 4: std::swap(s, sprites[rng() % sprites.size()]); break;
                    default: s.W = s.W > 0 ? 0 : uniform(4, 60); break;  // vanish, come back
                }
            }
            if (frame % 23 == 5) {
                // A texture replaced by another image, in the middle of the frame's drawing.
                BeginScene(0xFF102030u, 0);
                Blt(tex[0], 0, 0, 16, 16, 0, 0, 16, 16, kWhite, 1);
                FlushPolyBuffer();
                const auto px = image(static_cast<uint32_t>(frame));
                gl->ReleaseTexture(Textures[tex[0]].Texture);
                Textures[tex[0]].Texture = gl->CreateTexture(px.data(), 16, 16, false);
            } else {
                BeginScene(frame % 31 == 30 ? 0 : 0xFF102030u, 0);  // 0: draws over the last
            }
            for (const Sprite& s : sprites) {
                if (s.W <= 0) continue;
                SetAlphaMode(s.Mode);
                if (s.Angle != 0)
                    BltRotate(s.Tex, s.X, s.Y, s.W, s.H, 0, 0, 16, 16, s.Color, s.Angle,
                              s.W / 2, s.H / 2, 1);
                else
                    Blt(s.Tex, s.X, s.Y, s.W, s.H, 0, 0, 16, 16, s.Color, 1);
            }
            SetAlphaMode(1);
            BltSurface(200, 250, 40 + frame % 3, 10, 0xFF00FF00u);
            if (frame % 40 >= 30) ApplyTint(0.1f, 0, 0);
            if (frame % 40 >= 35) ApplyGamma(-0.3f);
            EndScene();
            if (!gl->LastFrameWhole()) ++partial;
            std::vector<uint32_t> px;
            int w = 0, h = 0;
            ASSERT_TRUE(gl->ReadScreen(px, w, h));
            frames.push_back(std::move(px));
            // The window: parts of chrome rows change now and then, the screen is left out
            // once.
            const int row = frame % 388, x0 = (frame * 37) % 500;
            if (frame % 13 == 0) {
                for (int x = x0; x < x0 + 80; ++x) chrome[static_cast<size_t>(row) * 580 + x] ^= 0x00FFFFFFu;
                ++chromeVersion;
            }
            const int frontX = frame == 60 ? 580 : 50;
            Show(chrome, chromeVersion, frontX, 50, PixelRect{x0, row, x0 + 80, row + 1});
            ASSERT_TRUE(presenter->ReadWindow(px, w, h));
            windows.push_back(std::move(px));
        }
    };
    std::vector<std::vector<uint32_t>> limitedFrames, wholeFrames, limitedWindows, wholeWindows;
    int partial = 0, partialWhenWhole = 0;
    play(true, limitedFrames, limitedWindows, partial);
    std::fill(chrome.begin(), chrome.end(), 0xFF302010u);
    const auto first = image(0);
    gl->ReleaseTexture(Textures[tex[0]].Texture);
    Textures[tex[0]].Texture = gl->CreateTexture(first.data(), 16, 16, false);
    play(false, wholeFrames, wholeWindows, partialWhenWhole);
    gl->SetDamageLimited(true);
    EXPECT_EQ(partialWhenWhole, 0);
    EXPECT_GT(partial, 60);  // most frames were really drawn in parts
    ASSERT_EQ(limitedFrames.size(), wholeFrames.size());
    for (size_t f = 0; f < limitedFrames.size(); ++f) {
        ASSERT_EQ(limitedFrames[f], wholeFrames[f]) << "frame " << f;
        ASSERT_EQ(limitedWindows[f], wholeWindows[f]) << "window after frame " << f;
    }
}

}  // namespace
}  // namespace zol

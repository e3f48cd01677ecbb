// The drawing module against the recording device: batches, vertices, blend states,
// colours, textures and the frame bracket.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <array>
#include <tuple>
#include <cmath>
#include <unistd.h>

#include <filesystem>

#include "GraphicsFixture.h"
#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"

namespace zol::test {
namespace {

using Sprites = RecordingGraphics;

// The four corners (x, y, u, v) of quad Q, in vertex order, without the half-pixel shift.
using C = std::vector<std::array<float, 4>>;
C Corners(const std::vector<SpriteVertex>& v, size_t q = 0) {
    C out;
    for (size_t i : {0, 1, 2, 5}) {
        const SpriteVertex& c = v.at(6 * q + i);
        out.push_back({c.X + 0.5f, c.Y + 0.5f, c.TU, c.TV});
    }
    return out;
}

TEST_F(Sprites, BatchesDrawInOrderOfFirstUseAndShiftHalfAPixel) {
    const int32_t a = Texture("a", 32, 32), b = Texture("b", 32, 32);
    Blt(a, 0, 0, 10, 10, 0, 0, 0, 0, kWhite, 1);
    Blt(b, 20, 0, 10, 10, 0, 0, 0, 0, kWhite, 1);
    Blt(a, 40, 0, 10, 10, 0, 0, 0, 0, 0xFF123456u, 1);
    EXPECT_EQ(PolyBufferCount, 2);
    EndScene();
    EXPECT_EQ(PolyBufferCount, 0);
    auto draws = Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->Texture, Textures[a].Texture);
    EXPECT_EQ(draws[1]->Texture, Textures[b].Texture);
    const auto& v = draws[0]->SpriteVertices;
    ASSERT_EQ(v.size(), 12u);  // both A sprites, in call order
    EXPECT_EQ(Corners(v), (C{{0, 0, 0, 0}, {10, 0, 1, 0}, {10, 10, 1, 1}, {0, 10, 0, 1}}));
    EXPECT_EQ(Corners(v, 1)[0], (std::array<float, 4>{40, 0, 0, 0}));
    EXPECT_FLOAT_EQ(v[0].X, -0.5f);
    EXPECT_EQ(v[6].Color, 0xFF123456u);
    // Two triangles (1, 2, 3) and (1, 3, 4): slot 3 repeats 0, slot 4 repeats 2.
    EXPECT_EQ(std::tie(v[3].X, v[3].Y, v[3].TU, v[3].TV), std::tie(v[0].X, v[0].Y, v[0].TU, v[0].TV));
    EXPECT_EQ(std::tie(v[4].X, v[4].Y, v[4].TU, v[4].TV), std::tie(v[2].X, v[2].Y, v[2].TU, v[2].TV));
    for (const auto& x : v) {
        EXPECT_EQ(x.Z, 0.0f);
        EXPECT_EQ(x.RHW, 1.0f);
    }
}

TEST_F(Sprites, BltDefaultsAndSourceRectangles) {
    const int32_t t = Texture("t", 64, 32);
    Blt(t, 5, 6, 0, 0, 0, 0, 0, 0, kWhite, 1);       // whole image at natural size
    Blt(t, 0, 0, 0, 0, 16, 8, 16, 8, kWhite, 1);     // a source rectangle, its own size
    Blt(t, 0, 0, 100, 50, 0, 0, 32, 16, kWhite, 2);  // TexScale 2: the top-left quarter
    FlushPolyBuffer();
    const auto& v = Draws().at(0)->SpriteVertices;
    EXPECT_EQ(Corners(v)[2], (std::array<float, 4>{69, 38, 1, 1}));
    EXPECT_EQ(Corners(v, 1)[0], (std::array<float, 4>{0, 0, 0.25f, 0.25f}));
    EXPECT_EQ(Corners(v, 1)[2], (std::array<float, 4>{16, 8, 0.5f, 0.5f}));
    EXPECT_EQ(Corners(v, 2)[2], (std::array<float, 4>{100, 50, 0.25f, 0.25f}));
}

TEST_F(Sprites, MissingTexturesDrawNothingButUntexturedRectsDo) {
    Blt(0, 0, 0, 10, 10, 0, 0, 0, 0, kWhite, 1);
    Blt(99, 0, 0, 10, 10, 0, 0, 0, 0, kWhite, 1);
    BltRotate(0, 0, 0, 10, 10, 0, 0, 0, 0, kWhite, 0.3f, 5, 5, 1);
    BltRotate(-3, 0, 0, 10, 10, 0, 0, 0, 0, kWhite, 0, 5, 5, 1);
    EXPECT_EQ(PolyBufferCount, 0);
    BltRect(0, 0, 0, 4, 0, 4, 4, 0, 4, kWhite, 0, 0, 1, 1);
    EndScene();
    auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->Texture, 0u);
}

TEST_F(Sprites, BltRotateQuarterTurnsAreExactAndOtherAnglesSnap) {
    const int32_t t = Texture("t", 100, 100);
    auto rotated = [&](float angle) {
        dev->Calls.clear();
        BltRotate(t, 10, 20, 40, 30, 0, 0, 100, 100, kWhite, angle, 7, 9, 1);
        FlushPolyBuffer();
        return Corners(Draws().at(0)->SpriteVertices);
    };
    const C straight = {{10, 20, 0, 0}, {50, 20, 1, 0}, {50, 50, 1, 1}, {10, 50, 0, 1}};
    EXPECT_EQ(rotated(0), straight);
    EXPECT_EQ(rotated(6.283186f), straight);
    EXPECT_EQ(rotated(1.5707965f),
              (C{{50, 20, 0, 0}, {50, 50, 1, 0}, {10, 50, 1, 1}, {10, 20, 0, 1}}));
    EXPECT_EQ(rotated(3.141593f),
              (C{{50, 50, 0, 0}, {10, 50, 1, 0}, {10, 20, 1, 1}, {50, 20, 0, 1}}));
    EXPECT_EQ(rotated(4.712389f),
              (C{{10, 50, 0, 0}, {10, 20, 1, 0}, {50, 20, 1, 1}, {50, 50, 0, 1}}));
    // Just off zero the general formula runs: corners snap down and the pivot reflects.
    const C tiny = rotated(0.0001f);
    EXPECT_NE(tiny, straight);
    const double a = -0.0001f - 3.141593f / 2.0, s = std::sin(a), c = std::cos(a);
    const float d[4][2] = {{-7, -9}, {-7, 21}, {33, 21}, {33, -9}};
    const float uv[4][2] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(tiny[i][0], static_cast<float>(std::floor(d[i][0] * s + d[i][1] * c)) + 17.0f);
        EXPECT_EQ(tiny[i][1], static_cast<float>(std::floor(d[i][0] * c - d[i][1] * s)) + 29.0f);
        EXPECT_EQ(tiny[i][2], uv[i][0]);
        EXPECT_EQ(tiny[i][3], uv[i][1]);
        EXPECT_EQ(tiny[i][0], std::floor(tiny[i][0]));  // whole pixels
    }
    // A centred pivot turns the picture a quarter clockwise about its centre.
    dev->Calls.clear();
    BltRotate(t, 0, 0, 20, 20, 0, 0, 0, 0, kWhite, 1.5f, 10, 10, 1);
    FlushPolyBuffer();
    const C q = Corners(Draws().at(0)->SpriteVertices);
    // The picture's top-right texel ends near the bottom-right corner.
    EXPECT_EQ(q[0][2], 1.0f);
    EXPECT_EQ(q[0][3], 0.0f);
    EXPECT_NEAR(q[0][0], 20, 1.0);
    EXPECT_NEAR(q[0][1], 20, 1.5);
}

TEST_F(Sprites, AlphaModesSetTheirBlendStates) {
    using F = BlendFactor;
    const struct {
        int32_t Mode;
        bool AlphaTest, Blend;
        BlendOp Op;
        F Src, Dst;
    } modes[] = {
        {0, false, false, BlendOp::Add, F::One, F::Zero},
        {1, true, false, BlendOp::Add, F::One, F::Zero},
        {2, true, true, BlendOp::Add, F::SrcAlpha, F::InvSrcAlpha},
        {5, true, true, BlendOp::Add, F::SrcAlpha, F::InvSrcAlpha},  // unknown: factors stay
        {3, true, true, BlendOp::Add, F::SrcColor, F::InvSrcColor},
        {10, true, true, BlendOp::Add, F::One, F::One},
        {11, true, true, BlendOp::Add, F::One, F::InvSrcColor},
        {12, true, true, BlendOp::Add, F::SrcColor, F::One},
        {20, true, true, BlendOp::ReverseSubtract, F::One, F::One},
        {21, true, true, BlendOp::Subtract, F::One, F::One},
        {30, true, true, BlendOp::Min, F::One, F::One},
        {31, true, true, BlendOp::Max, F::One, F::One},
        {0, false, false, BlendOp::Add, F::One, F::Zero},
        {5, true, true, BlendOp::Max, F::One, F::Zero},  // the operation of 31 stays too
    };
    for (const auto& m : modes) {
        dev->Calls.clear();
        SetAlphaMode(m.Mode);
        const BlendState s = dev->Of(DeviceCall::Blend).at(0)->State;
        EXPECT_EQ(s.AlphaTest, m.AlphaTest) << m.Mode;
        EXPECT_EQ(s.Blend, m.Blend) << m.Mode;
        if (m.Blend) {
            EXPECT_EQ(s.Op, m.Op) << m.Mode;
        }
        EXPECT_EQ(s.Src, m.Src) << m.Mode;
        EXPECT_EQ(s.Dst, m.Dst) << m.Mode;
    }
    // A mode change draws what was batched first.
    const int32_t t = Texture("t", 4, 4);
    dev->Calls.clear();
    Blt(t, 0, 0, 4, 4, 0, 0, 0, 0, kWhite, 1);
    SetAlphaMode(10);
    ASSERT_EQ(dev->Calls.size(), 3u);
    EXPECT_EQ(dev->Calls[1].What, DeviceCall::Sprites);
    EXPECT_EQ(dev->Calls[2].What, DeviceCall::Blend);
}

TEST_F(Sprites, Colours) {
    EXPECT_EQ(ColorRGBA(1, 0.5f, 0, 0.5f), 0xFF804000u);  // 127.5 and 63.75 round to 128, 64
    EXPECT_EQ(ColorRGBA(1, 1, 1, 0), 0xFF000000u);
    EXPECT_EQ(ColorRGBA(2, -1, 1, 3), 0xFFFF00FFu);
    EXPECT_EQ(ColorRGB(1, 1, 1), kWhite);
    EXPECT_EQ(ColorRGB(0, 0.5f, 1), 0xFF0080FFu);
    EXPECT_EQ(DefaultColorKey, kWhite);
}

TEST_F(Sprites, ScreenEffectsDrawWholeScreenRectangles) {
    const int32_t t = Texture("t", 4, 4);
    Blt(t, 0, 0, 4, 4, 0, 0, 0, 0, kWhite, 1);
    BltSurface(1, 2, 3, 4, 0xFF00FF00u);  // drawn now, under the batched sprite
    dev->Calls.clear();
    ApplyGamma(-0.5f);
    ApplyGamma(0);     // nothing, not even a mode change
    ApplyGamma(2);
    ApplyTint(0.5f, 0, 9);
    auto strips = dev->Of(DeviceCall::Strip);
    auto blends = dev->Of(DeviceCall::Blend);
    ASSERT_EQ(strips.size(), 3u);
    ASSERT_EQ(blends.size(), 3u);
    EXPECT_EQ(blends[0]->State.Op, BlendOp::ReverseSubtract);
    EXPECT_EQ(strips[0]->ColorVertices[0].Color, ColorRGB(0.5f, 0.5f, 0.5f));
    EXPECT_EQ(strips[1]->ColorVertices[0].Color, kWhite);
    EXPECT_EQ(strips[2]->ColorVertices[0].Color, ColorRGB(0.5f, 0, 1));
    const auto& v = strips[0]->ColorVertices;  // strip order, no half-pixel shift
    EXPECT_EQ(v[1].X, 480.0f);
    EXPECT_EQ(v[1].Y, 0.0f);
    EXPECT_EQ(v[2].X, 0.0f);
    EXPECT_EQ(v[2].Y, 288.0f);
    EXPECT_EQ(v[3].X, 480.0f);
    // The sprite batched before the first effect was drawn before it.
    EXPECT_EQ(dev->Calls[1].What, DeviceCall::Sprites);
    EXPECT_EQ(dev->Calls[2].What, DeviceCall::Blend);
}

TEST_F(Sprites, FrameClearRuleAndFpsFigure) {
    ScriptedHostClock clock;
    clock.host.Clock = 2000000000;  // later than any frame of the tests before
    BeginScene(0, 0);
    BeginScene(ColorRGB(0, 0.5f, 1), 0);
    auto clears = dev->Of(DeviceCall::Clear);
    ASSERT_EQ(clears.size(), 2u);
    EXPECT_FALSE(clears[0]->ClearColorToo);
    EXPECT_TRUE(clears[1]->ClearColorToo);
    EXPECT_EQ(clears[1]->Color, 0xFF0080FFu);
    EXPECT_EQ(TickCount, clock.host.Clock);
    // A target texture that does not exist changes only RenderTarget.
    BeginScene(0, 42);
    EXPECT_EQ(RenderTarget, 42);
    EXPECT_FALSE(RenderToTexture);

    // A steady 30 ms loop: the figure settles at once and moves at most once a window.
    for (int i = 0; i < 5; ++i) {
        clock.host.Clock += 30;
        BeginScene(0, 0);
    }
    EXPECT_EQ(Fps, 33);
    int changes = 0, last = Fps;
    for (int i = 0; i < 200; ++i) {
        clock.host.Clock += 30;
        BeginScene(0, 0);
        if (Fps != last) ++changes, last = Fps;
        EXPECT_GE(Fps, 32);
        EXPECT_LE(Fps, 34);
    }
    EXPECT_LE(changes, 200 / 33 * 2);
    // A pause of more than a second closes the window at the next frame.
    clock.host.Clock += 1500;
    BeginScene(0, 0);
    EXPECT_LT(Fps, 33);
}

TEST_F(Sprites, TextureTable) {
    const std::string dir = testing::TempDir() + "zol_tex_" + std::to_string(::getpid()) + "/";
    std::filesystem::create_directories(dir + "img");
    auto writePng = [](const std::string& path, uint32_t colour) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_FillRect(s, nullptr, colour);
        static_cast<uint32_t*>(s->pixels)[0] = 0xFFFF00FFu;
        ASSERT_EQ(IMG_SavePNG(s, path.c_str()), 0);
        SDL_FreeSurface(s);
    };
    writePng(dir + "img/blocks.png", 0xFF00FF00u);
    writePng(dir + "beside.png", 0xFF0000FFu);
    { FILE* f = std::fopen((dir + "img/broken.png").c_str(), "wb"); std::fputs("not a png", f); std::fclose(f); }
    const std::string savedApp = AppPath;
    AppPath = dir;
    ImagePath = dir + "img/";

    EXPECT_EQ(LoadTexture("missing.png", false, 0), 0);
    EXPECT_EQ(LoadTexture("broken.png", false, 0), 0);
    EXPECT_EQ(TextureCount, 0);
    const int32_t blocks = LoadTexture("blocks.png", false, ColorRGB(1, 0, 1));
    EXPECT_EQ(blocks, 1);  // the failed loads left no entries behind
    EXPECT_EQ(Textures[1].Width, 3);
    EXPECT_EQ(Textures[1].Height, 2);
    EXPECT_EQ(LoadTexture("BLOCKS.PNG", true, ColorRGB(1, 0, 1)), blocks);
    const int32_t other = LoadTexture("blocks.png", false, 0);
    EXPECT_EQ(other, 2);
    EXPECT_EQ(LoadTexture("beside.png", false, 1), 3);  // found next to the program
    EXPECT_EQ(Textures[3].ColorKey, kWhite);
    // The key turns exactly matching pixels into transparent black, nothing else.
    const auto& keyed = dev->CreatedTextures.at(0).Pixels;
    EXPECT_EQ(keyed[0], 0u);
    EXPECT_EQ(keyed[1], 0xFF00FF00u);
    EXPECT_EQ(dev->CreatedTextures.at(1).Pixels[0], 0xFFFF00FFu);
    // A device that refuses a texture leaves the table as it was.
    dev->FailTextures = true;
    std::vector<uint32_t> px(4, kWhite);
    EXPECT_EQ(AddTexture("x", px.data(), 2, 2, false, 0), 0);
    EXPECT_EQ(AddTexture("y", px.data(), 0, 2, false, 0), 0);
    EXPECT_EQ(TextureCount, 3);
    dev->FailTextures = false;
    EXPECT_EQ(AddTexture("x", px.data(), 2, 2, false, 0), 4);

    RecordingRenderDevice* d = dev;
    Device_Release();  // gives every texture back before the device goes
    EXPECT_EQ(TextureCount, 0);
    (void)d;
    AppPath = savedApp;
    ImagePath.clear();
    std::filesystem::remove_all(dir);
}

TEST(SpritesWithoutDevice, DrawingIsHarmlessAndKeepsBookkeeping) {
    SetRenderDeviceFactory(nullptr);
    ASSERT_TRUE(Device_Initialize());
    ASSERT_TRUE(Device_InitWindowed(nullptr, 480, 288, 1));
    EXPECT_EQ(GetRenderDevice(), nullptr);
    std::vector<uint32_t> px(16, kWhite);
    const int32_t t = AddTexture("t", px.data(), 4, 4, false, 0);
    EXPECT_EQ(t, 1);  // the image's size is known, so the batches work
    BeginScene(ColorRGB(1, 0, 0), 0);
    Blt(t, 0, 0, 4, 4, 0, 0, 0, 0, kWhite, 1);
    BltRect(0, 0, 0, 1, 0, 1, 1, 0, 1, kWhite, 0, 0, 1, 1);
    EXPECT_EQ(PolyBufferCount, 2);
    ApplyGamma(0.5f);
    ApplyTint(1, 1, 1);
    EndScene();
    EXPECT_EQ(PolyBufferCount, 0);
    Device_Release();
}

TEST(DeviceCreation, AFailingFactoryIsReportedAndTheSecondAttemptMayWin) {
    std::vector<bool> asked;
    SetRenderDeviceFactory([&](void*, bool accelerated, std::string* error) -> std::unique_ptr<RenderDevice> {
        asked.push_back(accelerated);
        *error = accelerated ? "no hardware" : "no context at all";
        return nullptr;
    });
    LastErrorCode = 0;
    EXPECT_FALSE(Device_InitWindowed(nullptr, 480, 288, 1));
    EXPECT_EQ(asked, (std::vector<bool>{true, false}));
    EXPECT_EQ(LastErrorCode, kErrorNoRenderer);
    EXPECT_NE(GetErrorText(0).find("no context at all"), std::string::npos);
    EXPECT_EQ(GetErrorText(0), GetErrorText(kErrorNoRenderer));

    SetRenderDeviceFactory([&](void*, bool accelerated, std::string*) -> std::unique_ptr<RenderDevice> {
        if (accelerated) return nullptr;
        return std::make_unique<RecordingRenderDevice>();
    });
    EXPECT_TRUE(Device_InitWindowed(nullptr, 480, 288, 1));
    EXPECT_NE(GetRenderDevice(), nullptr);
    Device_Release();
    EXPECT_EQ(GetRenderDevice(), nullptr);
    SetRenderDeviceFactory(nullptr);
    LastErrorCode = 0;
}

}  // namespace
}  // namespace zol::test

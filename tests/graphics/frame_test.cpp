// The game's frame against the recording device: background, bomb icons, the pause fade,
// the game-over texts and the text drawing.
#include <array>
#include <cmath>
#include <tuple>

#include "GraphicsFixture.h"
#include "framework/graphics/mDText.h"
#include "game/frmMain.h"
#include "game/mParticles.h"

namespace zol::test {
namespace {

class Frame : public RecordingGraphics {
protected:
    void SetUp() override {
        RecordingGraphics::SetUp();
        Game = GameRecord{};
        Game.TexBack = Texture("back.png", 128, 128);
        Game.TexBlocks = Texture("blocks.png", 288, 288);
        Game.TexParticles = Texture("particles.png", 224, 96);
        Game.FontMinco = {Texture("fnt_minco.png", 256, 256), 5, 10};
        ClearTexts();
    }
    void TearDown() override {
        ClearTexts();
        RecordingGraphics::TearDown();
    }
    // One frame of the game, recorded from a clean slate.
    void Render() {
        dev->Calls.clear();
        form.RenderFrame();
        EndScene();
    }
    // The texts drawn with the font, one per font draw, decoded from the cells' corners.
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const DeviceCall* d : Draws()) {
            if (d->Texture != Textures[Game.FontMinco.Texture].Texture) continue;
            std::string s;
            for (size_t i = 0; i < d->SpriteVertices.size(); i += 6) {
                const SpriteVertex& v = d->SpriteVertices[i];
                s += static_cast<char>(std::lround(v.TU * 16) + 16 * std::lround(v.TV * 16));
            }
            out.push_back(s);
        }
        return out;
    }
    ScriptedHost host;
    frmMain form{host};
};

TEST_F(Frame, BackgroundTilesAndBombIconsStandFromTheRightEdge) {
    for (int bombs : {0, 3}) {
        form.Bombs = bombs;
        Render();
        const DeviceCall* back = Draws().at(0);
        EXPECT_EQ(back->Texture, Textures[Game.TexBack].Texture);
        EXPECT_FLOAT_EQ(back->SpriteVertices[2].TU, 480.0f / 128);
        EXPECT_FLOAT_EQ(back->SpriteVertices[2].TV, 288.0f / 128);
        EXPECT_FLOAT_EQ(back->SpriteVertices[2].X, 479.5f);
        EXPECT_FALSE(dev->Of(DeviceCall::Blend).at(0)->State.Blend);  // opaque
        std::vector<float> lefts;
        for (const DeviceCall* d : Draws()) {
            if (d->Texture != Textures[Game.TexBlocks].Texture) continue;
            for (size_t i = 0; i < d->SpriteVertices.size(); i += 6) {
                const SpriteVertex& v = d->SpriteVertices[i];
                EXPECT_FLOAT_EQ(v.Y + 0.5f, 288 - 20);
                EXPECT_FLOAT_EQ(d->SpriteVertices[i + 2].X - v.X, 16);
                EXPECT_FLOAT_EQ(v.TU, 144.0f / 288);
                lefts.push_back(v.X + 0.5f);
            }
        }
        EXPECT_EQ(lefts, (bombs ? std::vector<float>{456, 436, 416} : std::vector<float>{}));
    }

    // Missing images draw nothing, and the frame still draws the rest.
    Game.TexBack = Game.TexBlocks = Game.FontMinco.Texture = 0;
    Game.GamePhase = PhaseGameOver;
    Render();
    EXPECT_TRUE(Draws().empty());
    EXPECT_EQ(dev->Of(DeviceCall::Strip).size(), 2u);  // the tint and the darkening
}

TEST_F(Frame, BoardPieceGlowsAndFlashesComeFromTheirSheetCells) {
    auto place = [](int x, int y, int32_t kind, int32_t state) -> cBlock& {
        cBlock& b = Game.Map[x][y];
        b.X = 48.0f * x;
        b.Y = 48.0f * y;
        b.Kind = kind;
        b.State = state;
        return b;
    };
    place(0, 1, 0, cBlock::Idle).Flashing = true;  // an empty cell neither flashes
    cBlock& moving = place(0, 0, 1, cBlock::Moving);
    moving.Partner = &Game.Map[0][1];
    moving.Progress = 0.5f;
    cBlock& idle = place(2, 3, 3, cBlock::Idle);
    idle.Flashing = true;
    idle.FlashCount = 2;
    place(4, 1, 0, cBlock::Idle).Special = 1;
    cBlock& changing = place(6, 0, 3, cBlock::Changing);
    changing.OldKind = 2;
    changing.Progress = 0.25f;
    changing.Flashing = true;  // nor does a block that still animates
    place(8, 5, 2, cBlock::Appearing).Progress = 0.5f;
    place(9, 5, 0, cBlock::Appearing);  // nor glows
    form.EditCount = 1;
    form.EditBlocks.resize(2);
    form.EditBlocks[1].X = 1;
    form.EditBlocks[1].Kind = 5;
    form.EditX = 3;
    form.EditY = 2;
    Particle dust;  // centred on (100, 50), twice the size, at its fifth step of dimming
    dust.X = 100;
    dust.Y = 50;
    dust.Scale = 2;
    dust.Brightness = 200;
    dust.R = 0.8f;
    dust.Frame = 64;
    dust.Type = 1;
    Particles.assign({Particle{}, dust});
    ParticleCount = 1;
    Render();
    ClearParticles();
    const DeviceCall* sparks = nullptr;
    for (const DeviceCall* d : Draws())
        if (d->Texture == Textures[Game.TexParticles].Texture) sparks = d;
    ASSERT_NE(sparks, nullptr);
    const auto& p = sparks->SpriteVertices;
    ASSERT_EQ(p.size(), 6u);
    EXPECT_FLOAT_EQ(p[0].X + 0.5f, 68);
    EXPECT_FLOAT_EQ(p[0].Y + 0.5f, 18);
    EXPECT_FLOAT_EQ(p[2].X - p[0].X, 64);
    EXPECT_FLOAT_EQ(p[0].TU, 64.0f / 224);
    EXPECT_FLOAT_EQ(p[0].TV, 32.0f / 96);
    EXPECT_EQ(p[0].Color, 0xFFA0C8C8u);  // 0.8 x 200 red, 200 green and blue
    // Each quad of the block sheet: where, which cell of the sheet, how bright (its blue).
    std::vector<std::array<float, 5>> quads;
    for (const DeviceCall* d : Draws()) {
        if (d->Texture != Textures[Game.TexBlocks].Texture) continue;
        for (size_t i = 0; i < d->SpriteVertices.size(); i += 6) {
            const SpriteVertex& v = d->SpriteVertices[i];
            quads.push_back({v.X + 0.5f, v.Y + 0.5f, v.TU * 288, v.TV * 288, static_cast<float>(v.Color & 0xFF)});
        }
    }
    const std::vector<std::array<float, 5>> expected = {
        {0, 24, 0, 0, 255},       // halfway to the cell below
        {96, 144, 96, 0, 255},    // kind 3
        {192, 48, 0, 48, 255},    // a timed block
        {288, 0, 48, 0, 255},     // the first half of a change shows the old kind
        {384, 240, 48, 0, 255},   // an appearing kind 2
        {288, 0, 96, 144, 128},   // the change's glow, sin^2 of a quarter
        {384, 240, 0, 144, 255},  // the appearing glow, at its brightest halfway
        {192, 96, 192, 0, 255},   // the piece's kind 5 at its offset
        {96, 144, 96, 192, 128},  // the third frame of a flash
    };
    ASSERT_EQ(quads.size(), expected.size());
    for (size_t i = 0; i < quads.size(); ++i)
        for (int k = 0; k < 5; ++k) EXPECT_NEAR(quads[i][k], expected[i][k], 1e-3) << i << "," << k;
}

TEST_F(Frame, PauseFadeFlashesTwiceThenDarkens) {
    form.Paused = true;
    form.PauseFade = 0.1f;
    // The gamma of each frame's one screen effect, negative when it darkens.
    auto gamma = [&] {
        Render();
        EXPECT_EQ(Texts(), (std::vector<std::string>{"Pause", "Pause"}));  // shadow and word
        const auto strips = dev->Of(DeviceCall::Strip);
        if (strips.empty()) return 0.0;
        bool darkens = false;
        for (const DeviceCall* b : dev->Of(DeviceCall::Blend))
            darkens |= b->State.Op == BlendOp::ReverseSubtract;
        return (strips[0]->ColorVertices[0].Color & 0xFF) / 255.0 * (darkens && form.PauseFade == 1 ? -1 : 1);
    };
    // Two pulses of sin, then the darkening (the tenth frame lands on either side of 1).
    const double expected[] = {0.29, 0.48, 0.48, 0.29, 0, 0.29, 0.48, 0.48, 0.29, NAN, -0.5};
    for (double g : expected) {
        const double got = gamma();
        if (!std::isnan(g)) {
            EXPECT_NEAR(got, g, 0.006);
        }
    }
    EXPECT_EQ(form.PauseFade, 1.0f);
    // Unpausing from 0.1 gives one brightened frame, then nothing.
    form.Paused = false;
    form.PauseFade = 0.1f;
    for (size_t strips : {1u, 0u, 0u}) {
        Render();
        EXPECT_EQ(dev->Of(DeviceCall::Strip).size(), strips);
    }
    EXPECT_EQ(form.PauseFade, 0.0f);
}

TEST_F(Frame, GameOverTextsDependOnScoreAndCopy) {
    Game.GamePhase = PhaseGameOver;
    form.Paused = true;  // the auto-pause struck in this frame
    Render();
    EXPECT_FALSE(form.Paused);
    EXPECT_FLOAT_EQ(form.ScoreFade, 0.01f);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Pause", "Pause", "Your Score", "Your Score", "0", "0"}));
    Game.Score = 12345;
    Render();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Your Score", "Your Score", "12,345", "12,345",
                                                 "Your Code", "Your Code", "(Please Click to Copy...)",
                                                 "(Please Click to Copy...)"}));
    form.CodeCopied = true;
    for (int i = 0; i < 150; ++i) Render();
    EXPECT_EQ(form.ScoreFade, 1.0f);
    EXPECT_EQ(Texts().back(), "(Code Copied to Clipboard!)");
    // Faded in fully: the red tint and the darkening are at full strength.
    auto strips = dev->Of(DeviceCall::Strip);
    ASSERT_EQ(strips.size(), 2u);
    EXPECT_EQ(strips[0]->ColorVertices[0].Color, ColorRGB(0.5f, 0, 0));
    EXPECT_EQ(strips[1]->ColorVertices[0].Color, ColorRGB(0.5f, 0.5f, 0.5f));
}

TEST_F(Frame, TextsAlignConvertAndDrawOnlyVisibleGlyphs) {
    const FontRecord& f = Game.FontMinco;
    DrawText(f, "", 0, 0, 1, 0, 0, kWhite, 0);
    EXPECT_EQ(PolyBufferCount, 0);
    DrawText(f, "abcd", 100, 50, 2, 2, 2, kWhite, 0);  // box 40 x 20 centred on (100, 50)
    DrawText(f, "ab", 100, 50, 1, 1, 1, kWhite, 0);    // box 10 x 10 ending at (100, 50)
    DrawText(f, "\xc3\xa9\xe2\x82\xac", 0, 0, 1, 0, 0, kWhite, 0);  // "é€": 0xE9, 0x80
    FlushPolyBuffer();
    const auto& v = Draws().at(0)->SpriteVertices;
    ASSERT_EQ(v.size(), 8u * 6);
    EXPECT_FLOAT_EQ(v[0].X + 0.5f, 80);
    EXPECT_FLOAT_EQ(v[0].Y + 0.5f, 40);
    EXPECT_FLOAT_EQ(v[6].X + 0.5f, 90);    // advance CharWidth x Scale
    EXPECT_FLOAT_EQ(v[2].X - v[0].X, 32);  // cells are 16 x Scale
    EXPECT_FLOAT_EQ(v[24].X + 0.5f, 90);
    EXPECT_FLOAT_EQ(v[24].Y + 0.5f, 40);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"abcdab\xe9\x80"}));

    // Of the glyph table only glyphs on screen (entering, showing or leaving), visible and
    // printable are drawn: here A, D and E.
    dev->Calls.clear();
    const std::tuple<uint8_t, uint8_t, float> glyphs[] = {
        {GlyphEntering, 'A', 1}, {GlyphWaiting, 'B', 1}, {GlyphShowing, ' ', 1}, {GlyphLeaving, 'C', 0},
        {GlyphShowing, 'D', 1},  {GlyphLeaving, 'E', 1}, {GlyphFree, 'F', 1}};
    Glyphs.assign(std::size(glyphs) + 1, TextGlyph{});
    GlyphCount = static_cast<int32_t>(std::size(glyphs));
    for (size_t i = 1; i < Glyphs.size(); ++i) {
        std::tie(Glyphs[i].State, Glyphs[i].Char, Glyphs[i].Alpha) = glyphs[i - 1];
        Glyphs[i].X = 10.0f * i;
        Glyphs[i].Y = 20;
        Glyphs[i].Font = f;
    }
    RenderTexts(1);
    FlushPolyBuffer();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"ADE"}));
    const auto& g = Draws().at(0)->SpriteVertices;
    EXPECT_FLOAT_EQ(g[0].X + 0.5f, 11);
    EXPECT_FLOAT_EQ(g[0].Y + 0.5f, 21);
    EXPECT_EQ(g[0].Color, kWhite);  // 0.5 + glow 1 is limited to 1
}

}  // namespace
}  // namespace zol::test

// The game's frame against the recording device: bomb icons, the pause fade, the
// game-over texts, text drawing, and no allocation once the batches are sized.
#include <cmath>
#include <cstdlib>
#include <new>

#include "GraphicsFixture.h"
#include "framework/graphics/mDText.h"
#include "game/frmMain.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
// Counts every allocation of the test program, so a frame can be checked for none.
namespace {
long g_allocations = 0;
}
void* operator new(std::size_t n) {
    ++g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

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
    // The texts drawn with the font, one per font draw, decoded from the cells' corners.
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        const uint32_t font = Textures[Game.FontMinco.Texture].Texture;
        for (const DeviceCall* d : Draws()) {
            if (d->Texture != font) continue;
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
};

TEST_F(Frame, BombIconsStandInARowFromTheRightEdge) {
    frmMain form(host);
    for (int bombs : {0, 3}) {
        dev->Calls.clear();
        form.Bombs = bombs;
        form.RenderFrame();
        EndScene();
        std::vector<float> lefts;
        const uint32_t blocks = Textures[Game.TexBlocks].Texture;
        for (const DeviceCall* d : Draws()) {
            if (d->Texture != blocks) continue;
            for (size_t i = 0; i < d->SpriteVertices.size(); i += 6) {
                const SpriteVertex& v = d->SpriteVertices[i];
                EXPECT_FLOAT_EQ(v.Y + 0.5f, 288 - 20);
                EXPECT_FLOAT_EQ(d->SpriteVertices[i + 2].X - v.X, 16);
                EXPECT_FLOAT_EQ(v.TU, 144.0f / 288);
                lefts.push_back(v.X + 0.5f);
            }
        }
        if (bombs == 0) EXPECT_TRUE(lefts.empty());
        else EXPECT_EQ(lefts, (std::vector<float>{456, 436, 416}));  // the last 64 px from the edge
    }
}

TEST_F(Frame, BackgroundRepeatsEvery128Pixels) {
    frmMain form(host);
    form.RenderFrame();
    EndScene();
    const DeviceCall* back = Draws().at(0);
    EXPECT_EQ(back->Texture, Textures[Game.TexBack].Texture);
    EXPECT_FLOAT_EQ(back->SpriteVertices[2].TU, 480.0f / 128);
    EXPECT_FLOAT_EQ(back->SpriteVertices[2].TV, 288.0f / 128);
    EXPECT_FLOAT_EQ(back->SpriteVertices[2].X, 479.5f);
    EXPECT_FALSE(dev->Of(DeviceCall::Blend).at(0)->State.Blend);  // opaque

    // Missing images draw nothing, and the frame still draws the rest.
    Game.TexBack = 0;
    Game.TexBlocks = 0;
    form.Bombs = 3;
    dev->Calls.clear();
    form.RenderFrame();
    EndScene();
    EXPECT_TRUE(Draws().empty());
    Game.GamePhase = PhaseGameOver;
    Game.FontMinco.Texture = 0;
    dev->Calls.clear();
    form.RenderFrame();
    EndScene();
    EXPECT_TRUE(Draws().empty());
    EXPECT_EQ(dev->Of(DeviceCall::Strip).size(), 2u);  // the tint and the darkening
}

TEST_F(Frame, PauseFadeFlashesTwiceThenDarkens) {
    frmMain form(host);
    form.Paused = true;
    form.PauseFade = 0.1f;
    std::vector<double> gammas;
    for (int i = 0; i < 11; ++i) {
        dev->Calls.clear();
        form.RenderFrame();
        EndScene();
        auto strips = dev->Of(DeviceCall::Strip);
        double g = 0;
        if (!strips.empty()) {
            const bool darken = dev->Of(DeviceCall::Blend).size() > 0 &&
                                [&] {
                                    for (const auto& c : dev->Calls)
                                        if (c.What == DeviceCall::Blend &&
                                            c.State.Op == BlendOp::ReverseSubtract)
                                            return true;
                                    return false;
                                }() && form.PauseFade == 1.0f;
            g = (strips[0]->ColorVertices[0].Color & 0xFF) / 255.0 * (darken ? -1 : 1);
        }
        gammas.push_back(g);
        EXPECT_EQ(Texts().size(), 2u);  // "Pause": shadow and word
    }
    const double expected[9] = {0.29, 0.48, 0.48, 0.29, 0, 0.29, 0.48, 0.48, 0.29};
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(gammas[i], expected[i], 0.006) << i;
    EXPECT_NEAR(gammas[10], -0.5, 0.003);
    EXPECT_EQ(form.PauseFade, 1.0f);
    EXPECT_EQ(Texts().at(1), "Pause");
    // Unpausing from 0.1 gives one brightened frame, then nothing.
    form.Paused = false;
    form.PauseFade = 0.1f;
    for (int i = 0; i < 3; ++i) {
        dev->Calls.clear();
        form.RenderFrame();
        EndScene();
        EXPECT_EQ(dev->Of(DeviceCall::Strip).size(), i == 0 ? 1u : 0u) << i;
    }
    EXPECT_EQ(form.PauseFade, 0.0f);
}

TEST_F(Frame, GameOverTextsDependOnScoreAndCopy) {
    frmMain form(host);
    Game.GamePhase = PhaseGameOver;
    form.Paused = true;  // the auto-pause struck in this frame
    form.RenderFrame();
    EndScene();
    EXPECT_FALSE(form.Paused);
    EXPECT_FLOAT_EQ(form.ScoreFade, 0.01f);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Pause", "Pause", "Your Score", "Your Score",
                                                 "0", "0"}));
    Game.Score = 12345;
    dev->Calls.clear();
    form.RenderFrame();
    EndScene();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Your Score", "Your Score", "12,345", "12,345",
                                                 "Your Code", "Your Code",
                                                 "(Please Click to Copy...)",
                                                 "(Please Click to Copy...)"}));
    form.CodeCopied = true;
    for (int i = 0; i < 150; ++i) {
        dev->Calls.clear();
        form.RenderFrame();
        EndScene();
    }
    EXPECT_EQ(form.ScoreFade, 1.0f);
    EXPECT_EQ(Texts().back(), "(Code Copied to Clipboard!)");
    // Faded in fully: the red tint and the darkening are at full strength.
    auto strips = dev->Of(DeviceCall::Strip);
    ASSERT_EQ(strips.size(), 2u);
    EXPECT_EQ(strips[0]->ColorVertices[0].Color, ColorRGB(0.5f, 0, 0));
    EXPECT_EQ(strips[1]->ColorVertices[0].Color, ColorRGB(0.5f, 0.5f, 0.5f));
}

TEST_F(Frame, DrawTextAlignsAndConverts) {
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
    EXPECT_FLOAT_EQ(v[6].X + 0.5f, 90);           // advance CharWidth x Scale
    EXPECT_FLOAT_EQ(v[2].X - v[0].X, 32);         // cells are 16 x Scale
    EXPECT_FLOAT_EQ(v[24].X + 0.5f, 90);
    EXPECT_FLOAT_EQ(v[24].Y + 0.5f, 40);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"abcdab\xe9\x80"}));
}

TEST_F(Frame, RenderTextsDrawsOnlyVisibleGlyphs) {
    Glyphs.assign(5, TextGlyph{});
    GlyphCount = 4;
    auto glyph = [](uint8_t state, uint8_t ch, float alpha) {
        TextGlyph g;
        g.State = state;
        g.Char = ch;
        g.Alpha = alpha;
        g.X = 10;
        g.Y = 20;
        return g;
    };
    Glyphs[1] = glyph(GlyphShowing, 'A', 1);
    Glyphs[2] = glyph(GlyphWaiting, 'B', 1);
    Glyphs[3] = glyph(GlyphShowing, ' ', 1);
    Glyphs[4] = glyph(GlyphLeaving, 'C', 0);
    for (auto& g : Glyphs) g.Font = Game.FontMinco;
    RenderTexts(1);
    FlushPolyBuffer();
    const auto& v = Draws().at(0)->SpriteVertices;
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].X + 0.5f, 11);
    EXPECT_EQ(v[0].Color, kWhite);  // 0.5 + glow 1 is limited to 1
    ClearTexts();
}

TEST_F(Frame, NoAllocationOnceTheBatchesAreSized) {
    frmMain form(host);
    dev->Recording = false;
    Glyphs.assign(41, TextGlyph{});
    GlyphCount = 40;
    for (int i = 1; i <= 40; ++i) {
        Glyphs[i].State = GlyphShowing;
        Glyphs[i].Char = static_cast<uint8_t>('A' + i % 26);
        Glyphs[i].Font = Game.FontMinco;
    }
    form.Bombs = 3;
    form.Paused = true;
    Game.GamePhase = PhaseGameOver;
    Game.Score = 987654;
    auto frame = [&] {
        BeginScene(ColorRGB(0, 0.5f, 1), 0);
        form.RenderFrame();
        EndScene();
    };
    frame();
    const long before = g_allocations;
    for (int i = 0; i < 10; ++i) frame();
    EXPECT_EQ(g_allocations, before);
    EXPECT_GT(dev->SpriteVertexCount, 0);
    ClearTexts();
}

}  // namespace
}  // namespace zol::test

// The game's frame: the background, the board and its glow, the piece, the flashes, the
// particles, the floating texts, the bomb icons, then the pause and game-over overlays.
// Each pass runs under one blending mode; the next SetAlphaMode draws it.
#include <algorithm>
#include <cmath>

#include "framework/core/qText.h"
#include "framework/graphics/mDText.h"
#include "framework/graphics/qDDraw.h"
#include "game/frmMain.h"
#include "game/mParticles.h"

namespace zol {

namespace {
constexpr float kTwoPi = 6.2831855f;  // the float nearest to 2 pi

// The captions live as strings once, so a frame never builds (and allocates) them anew.
const std::string kPause = "Pause", kYourScore = "Your Score", kYourCode = "Your Code",
                  kCopied = "(Code Copied to Clipboard!)", kClickToCopy = "(Please Click to Copy...)";

// The pulse of the pause dimming: |sin(2 pi f)| / 2.
float PauseGamma(float fade) {
    return static_cast<float>(std::fabs(std::sin(static_cast<double>(kTwoPi * fade)))) / 2.0f;
}

// A centred caption drawn as a shadow (subtracted) and then added over it.
void ShadowedText(const FontRecord& font, const std::string& text, float x, float y, float scale,
                  float shadowOffset, Color32 shadow, Color32 color) {
    SetAlphaMode(20);
    DrawText(font, text, x + shadowOffset, y + shadowOffset, scale, 2, 2, shadow, 0);
    SetAlphaMode(10);
    DrawText(font, text, x, y, scale, 2, 2, color, 0);
}
}  // namespace

void frmMain::RenderFrame() {
    const float w = static_cast<float>(ScreenWidth), h = static_cast<float>(ScreenHeight);
    SetAlphaMode(0);
    RenderBack();
    SetAlphaMode(1);
    RenderMap();
    SetAlphaMode(10);
    RenderMapAdd();
    SetAlphaMode(1);
    RenderEdit();
    SetAlphaMode(10);
    RenderFlashes();
    SetAlphaMode(10);
    RenderParticles(-1);
    SetAlphaMode(20);
    RenderTexts(1);
    SetAlphaMode(10);
    RenderTexts(0);

    SetAlphaMode(1);
    for (int32_t i = 1; i <= Bombs; ++i) {
        Blt(Game.TexBlocks, w - 4.0f - 20.0f * static_cast<float>(i), h - 20.0f, 16, 16, 144, 144,
            16, 16, kWhite, 1);
    }

    if (Paused) {
        if (PauseFade < 1) {
            ApplyGamma(PauseGamma(PauseFade));
            PauseFade += 0.1f;
        } else {
            PauseFade = 1;
            ApplyGamma(-0.5f);
        }
        // The table of best results stands where the word would pulse.
        if (!ScoresShown) {
            const double t = Host().TimeOfDay();
            const float scale = static_cast<float>(4.0 + 2.0 * std::sin(t));
            SetAlphaMode(20);
            DrawText(Game.FontMinco, kPause, w / 2 + 3, h / 2 + 3, scale, 2, 2, ColorRGB(1, 1, 1), 0);
            SetAlphaMode(2);
            DrawText(Game.FontMinco, kPause, w / 2, h / 2, scale, 2, 2, ColorRGB(1, 1, 1), 0);
        }
    } else if (PauseFade > 0) {
        ApplyGamma(PauseGamma(PauseFade));
        PauseFade -= 0.1f;
    } else {
        PauseFade = 0;
    }

    if (Game.GamePhase == PhaseGameOver) {
        Paused = false;
        if (ScoreFade < 1) ScoreFade += 0.01f;
        else ScoreFade = 1;
        ApplyTint(0.5f * ScoreFade, 0, 0);
        ApplyGamma(-0.5f * ScoreFade);
        // The table of best results, when open, stands in the place of the texts.
        if (!ScoresShown) {
            const float f = ScoreFade;
            const FontRecord& font = Game.FontMinco;
            ShadowedText(font, kYourScore, w / 2, h / 2 - 80, 2, 2, ColorRGBA(1, 1, 1, f),
                         ColorRGBA(1, 0, 0, f));
            ShadowedText(font, FormatGrouped(Game.Score), w / 2, h / 2 - 40, 4, 3,
                         ColorRGBA(1, 1, 1, f), ColorRGBA(1, 1, 1, f));
            if (Game.Score > 0) {
                ShadowedText(font, kYourCode, w / 2, h / 2 + 30, 2, 2, ColorRGBA(1, 1, 1, f),
                             ColorRGBA(1, 0, 0, f));
                if (CodeCopied) {
                    ShadowedText(font, kCopied, w / 2, h / 2 + 60, 1, 1,
                                 ColorRGBA(0.5f, 1, 0.5f, f), ColorRGBA(0.5f, 1, 0.5f, f));
                } else {
                    ShadowedText(font, kClickToCopy, w / 2, h / 2 + 60, 1, 1,
                                 ColorRGBA(1, 0.5f, 0.5f, f), ColorRGBA(1, 0.5f, 0.5f, f));
                }
            }
        }
    }
    if (ScoresShown) RenderScores();
}

void frmMain::RenderBack() {
    // Without its image the background stays the frame's clear colour; an untextured
    // quad would paint the board white.
    if (Game.TexBack == 0) return;
    const float w = static_cast<float>(ScreenWidth), h = static_cast<float>(ScreenHeight);
    // Texture coordinates beyond 1 repeat the 128-pixel tile from the top-left corner.
    BltRect(Game.TexBack, 0, 0, w, 0, w, h, 0, h, kWhite, 0, 0, w / 128.0f, h / 128.0f);
}

void frmMain::RenderMap() {
    for (int32_t x = 0; x <= Game.MapMaxX; ++x)
        for (int32_t y = 0; y <= Game.MapMaxY; ++y) Game.Map[x][y].Render();
}

void frmMain::RenderMapAdd() {
    for (int32_t x = 0; x <= Game.MapMaxX; ++x)
        for (int32_t y = 0; y <= Game.MapMaxY; ++y) Game.Map[x][y].RenderAdd();
}

void frmMain::RenderEdit() {
    const int32_t bs = Game.BlockSize;
    const float size = static_cast<float>(bs);
    const int32_t count = std::min<int32_t>(EditCount, static_cast<int32_t>(EditBlocks.size()) - 1);
    for (int32_t i = 1; i <= count; ++i) {
        const cBlock& b = EditBlocks[static_cast<size_t>(i)];
        Blt(Game.TexBlocks, (b.X + static_cast<float>(EditX)) * size,
            (b.Y + static_cast<float>(EditY)) * size, size, size, (b.Kind - 1) * bs,
            b.Special * bs, bs, bs, kWhite, 1);
    }
}

void frmMain::RenderFlashes() {
    for (int32_t x = 0; x <= Game.MapMaxX; ++x) {
        for (int32_t y = 0; y <= Game.MapMaxY; ++y) {
            cBlock& b = Game.Map[x][y];
            if (b.Kind > 0 && b.State == cBlock::Idle) b.Flash();
        }
    }
}

}  // namespace zol

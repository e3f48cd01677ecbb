#include "game/cBlock.h"

#include <cmath>

#include "framework/core/qCore.h"
#include "framework/core/qRandom.h"
#include "framework/graphics/qDDraw.h"
#include "framework/sound/qDSound.h"
#include "game/GameRecord.h"
#include "game/mParticles.h"

namespace zol {

namespace {

constexpr int32_t kTile = 48;
constexpr float kPi = 3.1415927f;

void PlaySound(const char* name, float volume) {
    // Wave names are short enough for the string's inline storage: no heap use per sound.
    PlayWaveFile(name, false, volume, 0, false, 0);
}

// Draws the tile at (column, row) of the block sheet at (x, y).
void BltTile(float x, float y, int32_t column, int32_t row, Color32 color) {
    Blt(Game.TexBlocks, x, y, kTile, kTile, column * kTile, row * kTile, kTile, kTile, color, 1);
}

// The glow's strength: swells and fades once over an animation.
float GlowAlpha(float progress) {
    const double s = std::sin(static_cast<double>(kPi) * static_cast<double>(progress));
    return static_cast<float>(s * s);
}

}  // namespace

bool cBlock::Animate() {
    switch (State) {
    case Idle:
        Progress = 0;
        return false;
    case Appearing:
        if (Progress < 1) {
            Progress += 0.25f;
            return true;
        }
        Progress = 0;
        State = Idle;
        return false;
    case Moving:
        if (Progress < 1) {
            Progress += 0.25f;
            return true;
        }
        Progress = 0;
        State = Idle;
        // A move without a cell to move into cannot hand anything over; it just ends.
        if (Partner) {
            Partner->Landed = true;
            Partner->Kind = Kind;
            Partner->Special = Special;
            Partner = nullptr;
            Kind = 0;
            Special = 0;
        }
        return false;
    case Changing:
        // In single precision twenty steps of 0.05 end just above 1: twenty running ticks.
        if (Progress < 1) {
            Progress += 0.05f;
            return true;
        }
        Progress = 0;
        State = Idle;
        DoneChanging();
        return false;
    default:
        return false;
    }
}

void cBlock::Disappear() {
    Kind = 0;
    for (int i = 0; i < 6; ++i) {
        const double r1 = Rnd(), r2 = Rnd(), r3 = Rnd();
        AddParticle(static_cast<float>(X + r1 * kTile), static_cast<float>(Y + r2 * kTile), 0,
                    static_cast<float>(r3 * 0.5 + 0.5));
    }
    PlaySound("ready.wav", 0);
}

void cBlock::DoneChanging() {
    FlashCount = 0;
    Flashing = true;
}

void cBlock::DoneFalling() {
    for (int i = 0; i < 6; ++i) {
        const double r1 = Rnd(), r2 = Rnd();
        AddParticle(static_cast<float>(X + r1 * kTile), Y + kTile, 1,
                    static_cast<float>(r2 * 0.5 + 0.5));
    }
    FlashCount = 0;
    Flashing = true;
    PlaySound("dip.wav", 0);
}

void cBlock::DoneEditing(int32_t NewSpecial, int32_t NewKind) {
    Special = NewSpecial;
    Kind = NewKind;
    if (Special == 1 && Kind == 0) {
        Timer = CLng(2000.0 / Game.Level * Rnd() + Game.GameFrames);
    }
    Progress = 0;
    if (Special == 0) State = Appearing;  // specials do not animate
    FlashCount = 0;
    Flashing = true;
    PlaySound("hit.wav", 0.9f);
}

void cBlock::DoneSpecial() {
    const int32_t k = CLng(Int(5 * Rnd()) + 1);
    DoneEditing(0, k);
}

void cBlock::Flash() {
    FlashOn = !FlashOn;
    if (!Flashing) return;
    BltTile(X, Y, FlashCount, 4, ColorRGBA(1, 1, 1, 0.5f));
    if (FlashOn) ++FlashCount;
    if (FlashCount > 4) Flashing = false;
}

void cBlock::LevelUp() {
    if (Kind > 0) {
        for (int i = 0; i < 6; ++i) {
            const double r1 = Rnd(), r2 = Rnd(), r3 = Rnd();
            AddParticle(static_cast<float>(X + r1 * kTile), static_cast<float>(Y + r2 * kTile), 0,
                        static_cast<float>(r3 * 0.5 + 0.5));
        }
    }
    OldKind = Kind;
    if (Kind > 1) --Kind;
    State = Changing;  // runs even when the kind stayed the same
    Progress = 0;
}

void cBlock::GameOver() {
    if (Kind < 1) return;
    for (int i = 0; i < 6; ++i) {
        const double r1 = Rnd(), r2 = Rnd(), r3 = Rnd();
        AddParticle(static_cast<float>(X + r1 * kTile), static_cast<float>(Y + r2 * kTile), 0,
                    static_cast<float>(r3 * 0.5 + 0.5));
    }
}

void cBlock::Render() {
    if (Special > 0) {
        BltTile(X, Y, Kind, Special, kWhite);
        return;
    }
    switch (State) {
    case Idle:
    case Appearing:
        if (Kind > 0) BltTile(X, Y, Kind - 1, 0, kWhite);
        break;
    case Moving:
        if (Kind > 0) {
            const float px = Partner ? X + (Partner->X - X) * Progress : X;
            const float py = Partner ? Y + (Partner->Y - Y) * Progress : Y;
            BltTile(px, py, Kind - 1, 0, kWhite);
        }
        break;
    case Changing:
        if (Progress < 0.5f) {
            if (OldKind > 0) BltTile(X, Y, OldKind - 1, 0, kWhite);
        } else if (Kind >= 1 && Kind <= 5) {
            BltTile(X, Y, Kind - 1, 0, kWhite);
        }
        break;
    default:
        break;
    }
}

void cBlock::RenderAdd() {
    if (State == Appearing && Kind > 0) {
        Blt(Game.TexBlocks, X, Y, kTile, kTile, 0, 144, kTile, kTile,
            ColorRGBA(1, 1, 1, GlowAlpha(Progress)), 1);
    } else if (State == Changing) {
        Blt(Game.TexBlocks, X, Y, kTile, kTile, 96, 144, kTile, kTile,
            ColorRGBA(1, 1, 1, GlowAlpha(Progress)), 1);
    }
}

}  // namespace zol

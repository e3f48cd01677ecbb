// The edit piece: making it, steering it, placing it; and the specials (timed blocks, bombs).
#include "framework/core/qCore.h"
#include "framework/core/qKeys.h"
#include "framework/core/qRandom.h"
#include "framework/graphics/qDDraw.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"

namespace zol {

namespace {

// The test that passes with a chance of Level per cent.
bool LevelRoll() { return Rnd() * 100 < Game.Level; }

// Takes a once-per-press key: true when it was down; it is released either way.
bool TakeKey(int code) {
    const bool down = Keys[code];
    Keys[code] = false;
    return down;
}

}  // namespace

void frmMain::CreateEditBlock(int32_t X, int32_t Y, int32_t Special, int32_t Kind) {
    for (int32_t i = 1; i <= EditCount; ++i) {
        if (EditBlocks[i].X == X && EditBlocks[i].Y == Y) return;
    }
    ++EditCount;
    if (EditBlocks.size() < static_cast<size_t>(EditCount) + 1) EditBlocks.resize(EditCount + 1);
    cBlock& b = EditBlocks[EditCount];
    b = cBlock{};
    b.X = static_cast<float>(X);
    b.Y = static_cast<float>(Y);
    b.Special = Special;
    if (Kind > 0) {
        b.Kind = Kind;
    } else {
        // A second draw on a 5 makes the top kind rare: 1..4 at 6/25 each, 5 at 1/25.
        b.Kind = static_cast<int32_t>(Int(5 * Rnd())) + 1;
        if (b.Kind == 5) b.Kind = static_cast<int32_t>(Int(5 * Rnd())) + 1;
    }
}

void frmMain::CreateEditBlocks() {
    EditCount = 0;
    if (LevelRoll()) {
        CreateEditBlock(0, 0, 1, 1);  // a lone timed block
        return;
    }
    if (LevelRoll()) {
        if (Rnd() < 0.5) {
            CreateEditBlock(0, 0, 0, 0);
            CreateEditBlock(1, 0, 0, 0);
            CreateEditBlock(1, 1, 0, 0);
            CreateEditBlock(2, 1, 0, 0);
        } else {
            CreateEditBlock(0, 1, 0, 0);
            CreateEditBlock(1, 0, 0, 0);
            CreateEditBlock(1, 1, 0, 0);
            CreateEditBlock(2, 0, 0, 0);
        }
        for (int32_t i = 1; i <= EditCount; ++i) {
            if (Rnd() < 0.2) EditBlocks[i].Special = 1, EditBlocks[i].Kind = 2;
        }
        return;
    }
    if (Rnd() > 0.2) {
        const int32_t s = static_cast<int32_t>(Int(5 * Rnd()));
        if (s <= 3) {
            CreateEditBlock(0, 0, 0, 0);
            if (s <= 1) {
                CreateEditBlock(1, 0, 0, 0);
            } else {
                CreateEditBlock(0, 1, 0, 0);
            }
            if (LevelRoll()) {
                const int32_t x = CLng(Rnd());
                const int32_t y = CLng(Rnd());
                CreateEditBlock(x, y, 0, 0);
            }
        } else if (Rnd() < 0.5) {
            CreateEditBlock(0, 0, 0, 0);
            CreateEditBlock(1, 1, 0, 0);
            if (LevelRoll()) CreateEditBlock(1, 0, 0, 0);
        } else {
            CreateEditBlock(1, 0, 0, 0);
            CreateEditBlock(0, 1, 0, 0);
            if (LevelRoll()) CreateEditBlock(1, 1, 0, 0);
        }
    } else {
        switch (static_cast<int32_t>(Int(4 * Rnd()))) {
        case 0:
            CreateEditBlock(1, 0, 0, 0);
            CreateEditBlock(0, 1, 0, 0);
            CreateEditBlock(1, 1, 0, 0);
            break;
        case 1:
            CreateEditBlock(0, 0, 0, 0);
            CreateEditBlock(0, 1, 0, 0);
            CreateEditBlock(1, 1, 0, 0);
            break;
        case 2:
            CreateEditBlock(0, 0, 0, 0);
            CreateEditBlock(1, 0, 0, 0);
            CreateEditBlock(1, 1, 0, 0);
            break;
        default:
            CreateEditBlock(0, 0, 0, 0);
            CreateEditBlock(1, 0, 0, 0);
            CreateEditBlock(0, 1, 0, 0);
            break;
        }
    }
    if (LevelRoll()) {
        for (int32_t i = 1; i <= EditCount; ++i) {
            if (Rnd() < 0.2) EditBlocks[i].Special = 1, EditBlocks[i].Kind = 2;
        }
    }
}

void frmMain::UpdateEdit() {
    GameRecord& g = Game;
    if (TakeKey(vk::Back)) SingleStep = !SingleStep;

    if (EditCount < 1) {
        if (g.NextEditFrame < g.GameFrames) {
            CreateEditBlocks();
            EditX = static_cast<int32_t>(Int(static_cast<double>(ScreenWidth) / g.BlockSize));
            EditY = 0;
            g.NextEditFrame = CLng(g.GameFrames + static_cast<double>(10 * DelayFactor));
        }
        return;
    }

    int32_t cx = EditX, cy = EditY;

    if (Keys[vk::Return] || Keys[vk::R]) {
        Keys[vk::Return] = Keys[vk::R] = false;
        if (Bombs < 1) {
            PlayWaveFile("ammo.wav", false, 0, 0, false, 0);
        } else {
            UseBomb();
            EditCount = 0;  // the piece is thrown away
            return;
        }
    }

    if (Keys[vk::Space] || Keys[vk::Right] || Keys[vk::D] || Keys[vk::E] || Keys[vk::Shift]) {
        Keys[vk::Space] = Keys[vk::Right] = Keys[vk::D] = Keys[vk::E] = Keys[vk::Shift] = false;
        // The kinds move round the piece's cells; the cells themselves stay.
        if (EditCount > 0) {
            const float fx = EditBlocks[1].X, fy = EditBlocks[1].Y;
            for (int32_t i = 1; i < EditCount; ++i) {
                EditBlocks[i].X = EditBlocks[i + 1].X;
                EditBlocks[i].Y = EditBlocks[i + 1].Y;
            }
            EditBlocks[EditCount].X = fx;
            EditBlocks[EditCount].Y = fy;
        }
    }

    if (Keys[vk::Left] || Keys[vk::A]) --cx;  // held: one column per tick
    if (Keys[vk::Down] || Keys[vk::S]) {
        if (SingleStep) Keys[vk::Down] = Keys[vk::S] = false;
        ++cy;
    }
    if (Keys[vk::Up] || Keys[vk::W]) {
        if (SingleStep) Keys[vk::Up] = Keys[vk::W] = false;
        --cy;
    }
    if (!CheckCollision(cx, cy)) {
        EditX = cx;
        EditY = cy;
    }

    if (!(g.NextEditFrame < g.GameFrames)) return;
    cx = EditX - 1;
    cy = EditY;
    if (!CheckCollision(cx, cy)) {
        EditX = cx;
        g.NextEditFrame = CLng(g.GameFrames + static_cast<double>(10 * DelayFactor));
        return;
    }
    if (CheckBoundaries()) {
        GameOver();
        return;
    }
    for (int32_t i = 1; i <= EditCount; ++i) {
        const cBlock& piece = EditBlocks[i];
        const int32_t x = CLng(static_cast<double>(piece.X) + EditX);
        const int32_t y = CLng(static_cast<double>(piece.Y) + EditY);
        if (x < 0 || x > g.MapMaxX || y < 0 || y > g.MapMaxY) continue;  // CheckBoundaries rules it out
        cBlock& target = g.Map[x][y];
        if (piece.Special == 0) {
            target.DoneEditing(0, piece.Kind);
        } else if (piece.Kind == 1) {
            target.DoneEditing(1, 0);
        } else if (piece.Kind == 2) {
            target.DoneEditing(0, static_cast<int32_t>(Int(5 * Rnd())) + 1);
        }
    }
    EditCount = 0;
    g.GamePhase = PhasePairs;
    g.CurrentChain = 0;
    g.CurrentExplodes = 0;
}

void frmMain::UpdateSpecials() {
    GameRecord& g = Game;
    for (int32_t x = 0; x <= g.MapMaxX; ++x) {
        for (int32_t y = 0; y <= g.MapMaxY; ++y) {
            cBlock& b = g.Map[x][y];
            if (b.Special > 0 && g.GameFrames > b.Timer) b.DoneSpecial();
        }
    }
}

void frmMain::UseBomb() {
    GameRecord& g = Game;
    --Bombs;
    for (int32_t x = 0; x <= g.MapMaxX; ++x) {
        for (int32_t y = 0; y <= g.MapMaxY; ++y) {
            cBlock& b = g.Map[x][y];
            if (b.Kind <= 0 || b.Special != 0) continue;  // empty cells and timed blocks
            if (Rnd() < 0.1) {
                b.DoneEditing(1, 0);
            } else {
                b.OldKind = b.Kind;
                b.Kind = 0;
                b.State = cBlock::Changing;
            }
            b.Disappear();
        }
    }
    PlayWaveFile("bomb.wav", false, 0, 0, false, 0);
}

}  // namespace zol

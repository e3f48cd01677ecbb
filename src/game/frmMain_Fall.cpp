// Gravity on the board and the collision tests of the edit piece.
#include "framework/core/qCore.h"
#include "game/frmMain.h"

namespace zol {

namespace {
bool Occupied(const cBlock& b) { return b.Special > 0 || b.Kind > 0; }
}  // namespace

bool frmMain::CheckMapCollision(int32_t X, int32_t Y) {
    const GameRecord& g = Game;
    if (X < 0 || X > g.MapMaxX || Y < 0 || Y > g.MapMaxY) return true;
    return Occupied(g.Map[X][Y]);
}

bool frmMain::CheckCollision(int32_t PosX, int32_t PosY) {
    const GameRecord& g = Game;
    for (int32_t i = 1; i <= EditCount; ++i) {
        const double c = static_cast<double>(EditBlocks[i].X) + PosX;
        const double r = static_cast<double>(EditBlocks[i].Y) + PosY;
        if (c < 0 || r < 0 || r > g.MapMaxY) return true;
        // A block still right of the board is free to be there.
        if (c > g.MapMaxX) continue;
        // Offsets are whole cells; the index check only guards a rounded-up fraction.
        const int32_t ix = CLng(c), iy = CLng(r);
        if (ix <= g.MapMaxX && iy <= g.MapMaxY && Occupied(g.Map[ix][iy])) return true;
    }
    return false;
}

bool frmMain::CheckBoundaries() {
    const GameRecord& g = Game;
    for (int32_t i = 1; i <= EditCount; ++i) {
        const double c = static_cast<double>(EditBlocks[i].X) + EditX;
        const double r = static_cast<double>(EditBlocks[i].Y) + EditY;
        if (!(c >= 0 && c <= g.MapMaxX && r >= 0 && r <= g.MapMaxY)) return true;
    }
    return false;
}

bool frmMain::CheckForFalling() {
    const GameRecord& g = Game;
    for (int32_t y = g.MapMaxY - 1; y >= 0; --y) {
        for (int32_t x = 0; x <= g.MapMaxX; ++x) {
            if (g.Map[x][y].Kind > 0 && !CheckMapCollision(x, y + 1)) return true;
        }
    }
    return false;
}

void frmMain::UpdateFalling() {
    GameRecord& g = Game;
    bool moved = false;
    // Bottom-up: the cell below keeps its kind until its own move ends, so a stack over a
    // gap starts only its lowest block in one round.
    for (int32_t y = g.MapMaxY - 1; y >= 0; --y) {
        for (int32_t x = 0; x <= g.MapMaxX; ++x) {
            const bool below = CheckMapCollision(x, y + 1);
            cBlock& b = g.Map[x][y];
            if (b.Kind > 0 && !below) {
                b.Partner = &g.Map[x][y + 1];
                b.State = cBlock::Moving;
                moved = true;
            }
        }
    }
    CheckFallingEvents();
    if (!moved) {
        g.StepPairs = 0;
        g.GamePhase = PhasePairs;
    }
}

void frmMain::CheckFallingEvents() {
    GameRecord& g = Game;
    for (int32_t y = 0; y <= g.MapMaxY; ++y) {
        for (int32_t x = 0; x <= g.MapMaxX; ++x) {
            cBlock& b = g.Map[x][y];
            // Only where a block comes to rest: one that moves on makes no landing effect.
            if (b.Landed && b.State != cBlock::Moving) {
                b.Landed = false;
                b.DoneFalling();
            } else {
                b.Landed = false;
            }
        }
    }
}

bool frmMain::AnimateBlocks() {
    GameRecord& g = Game;
    bool busy = false;
    for (int32_t y = g.MapMaxY; y >= 0; --y) {
        for (int32_t x = 0; x <= g.MapMaxX; ++x) {
            if (g.Map[x][y].Animate()) busy = true;
        }
    }
    return busy;
}

}  // namespace zol

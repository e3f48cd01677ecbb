// Merging pairs, chains, scoring and level-ups.
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>

#include "framework/core/qCore.h"
#include "framework/core/qRandom.h"
#include "framework/graphics/qDDraw.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"

namespace zol {

namespace {

// Decimal text of a number; short enough for the string's inline storage.
std::string Decimal(int32_t value) {
    char buf[16];
    const int n = std::snprintf(buf, sizeof buf, "%d", value);
    return std::string(buf, static_cast<size_t>(n));
}

// a + b, held at the ends of the 32-bit range instead of overflowing.
int32_t SaturatingAdd(int32_t a, int64_t b) {
    const int64_t s = int64_t{a} + b;
    if (s > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (s < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(s);
}

}  // namespace

const std::vector<cBlock*>& frmMain::FindPairs() {
    GameRecord& g = Game;
    pairs_.clear();
    for (int32_t y = 0; y <= g.MapMaxY; ++y) {
        for (int32_t x = 0; x < g.MapMaxX; ++x) {
            cBlock& a = g.Map[x][y];
            cBlock& b = g.Map[x + 1][y];
            if (a.Kind > 0 && a.Kind == b.Kind) {
                pairs_.push_back(&a);
                pairs_.push_back(&b);
            }
        }
    }
    for (int32_t x = 0; x <= g.MapMaxX; ++x) {
        for (int32_t y = 0; y < g.MapMaxY; ++y) {
            cBlock& a = g.Map[x][y];
            cBlock& b = g.Map[x][y + 1];
            if (a.Kind > 0 && a.Kind == b.Kind) {
                pairs_.push_back(&a);
                pairs_.push_back(&b);
            }
        }
    }
    return pairs_;
}

void frmMain::UpdatePairs() {
    GameRecord& g = Game;
    const std::vector<cBlock*>& pairs = FindPairs();
    if (pairs.empty()) {
        // Gravity acts only after merges: a placement without any leaves its overhangs.
        if (CheckForFalling() && g.CurrentChain > 0) {
            g.GamePhase = PhaseFalling;
            UpdateFalling();
        } else {
            g.GamePhase = PhaseEdit;
            g.NextEditFrame = g.GameFrames + 20;
            g.CurrentChain = 0;
            g.CurrentExplodes = 0;
        }
        return;
    }
    for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
        cBlock& b1 = *pairs[i];
        cBlock& b2 = *pairs[i + 1];
        // A block that already merged in this pass is changing: the earlier pair won.
        if (b1.State != cBlock::Idle || b2.State != cBlock::Idle) continue;
        ++g.CurrentChain;
        ++g.StepPairs;
        if (g.CurrentChain > g.MaxChains) g.MaxChains = g.CurrentChain;

        const double points = std::ldexp(1.0, b1.Kind) * (g.Level / 10.0 + 1) *
                                  (g.CurrentChain / 10.0 + 1) +
                              g.CurrentExplodes * 10.0 + g.StepPairs * 10.0;
        AddScore(b1.X, b1.Y, CLng(points));

        // A level-up inside AddScore has already lowered both kinds.
        b1.OldKind = b1.Kind;
        b2.OldKind = b2.Kind;
        b1.Kind = b1.Kind + 1;
        b2.Kind = 0;
        b1.State = cBlock::Changing;
        b2.State = cBlock::Changing;

        if (b1.Kind > 5) {
            ++g.CurrentExplodes;
            if (g.CurrentExplodes > g.MaxExplodes) g.MaxExplodes = g.CurrentExplodes;
            const double bonus = std::ldexp(1.0, b1.Kind) * g.CurrentExplodes *
                                     (g.Level / 10.0 + 1) +
                                 static_cast<double>(g.CurrentChain) * g.Level;
            AddScore(b1.X, b1.Y, CLng(bonus));
            b1.Disappear();
            b2.Disappear();
        } else {
            PlayWaveFile("clack.wav", false, 0, static_cast<float>(g.CurrentChain * 0.01 + 0.2),
                         false, 0);
        }
    }
}

void frmMain::AddScore(float X, float Y, int32_t Points) {
    GameRecord& g = Game;
    g.Score = SaturatingAdd(g.Score, Points);
    AddText(g.FontMinco, static_cast<float>(X + 0.4 * g.BlockSize),
            static_cast<float>(Y + 0.4 * g.BlockSize), Decimal(Points), 10, 0, 24, 0, 100, 50);
    while (g.Score > g.NextLevelScore) {
        ++g.Level;
        if ((g.Level + 2) % 3 == 0 && Bombs < 3) ++Bombs;
        AddText(g.FontMinco, ScreenWidth / 2.0f, ScreenHeight / 2.0f, "Level Up", 10, 30, 0, 0,
                150, 10);
        const std::string level = Decimal(g.Level);
        for (int32_t i = 0; i <= 40; ++i) {
            const double r1 = Rnd(), r2 = Rnd();
            AddText(g.FontMinco, static_cast<float>(r1 * ScreenWidth),
                    static_cast<float>(r2 * ScreenHeight), level, 10, 0, 21, i + 10, 150, 0);
        }
        g.LevelBaseScore = g.NextLevelScore;
        // Held at the top of the range, the threshold can no longer be passed: the loop ends.
        g.NextLevelScore = SaturatingAdd(g.NextLevelScore, int64_t{g.Level} * 100);
        if (g.Level >= 20) {
            DelayFactor = 0;
        } else {
            const double q = g.Level / 20.0;
            DelayFactor = static_cast<float>(1 - q * q);
        }
        for (int32_t y = 0; y <= g.MapMaxY; ++y) {
            for (int32_t x = 0; x <= g.MapMaxX; ++x) {
                if (g.Map[x][y].Kind > 0) g.Map[x][y].LevelUp();
            }
        }
        PlayWaveFile("hui.wav", false, 0.9f, 0, false, 0);
    }
}

}  // namespace zol

// The game record: the values every part of the game shares. One instance, module-level.
#pragma once

#include <array>
#include <cstdint>

#include "framework/graphics/mDText.h"
#include "game/cBlock.h"

namespace zol {

// Values of GamePhase (4 to 7 are never used).
enum : int32_t { PhaseEdit = 1, PhasePairs = 2, PhaseFalling = 3, PhaseGameOver = 8 };

constexpr int32_t kMapColumns = 10;
constexpr int32_t kMapRows = 6;
// The last tick a game can reach (about two years of play). Timers and delays are
// GameFrames plus at most a few thousand ticks, so stopping here keeps every one of them
// inside the Long range; a game that gets this far ends as if it were lost.
constexpr int32_t kLastGameFrame = INT32_MAX - 65536;

struct GameRecord {
    int32_t GamePhase = PhaseEdit;
    int32_t GameFrames = 0;      // game time in ticks
    int32_t Score = 0;
    int32_t Level = 1;
    int32_t NextLevelScore = 100;  // the level rises when Score exceeds it
    int32_t LevelBaseScore = 0;    // NextLevelScore at which the current level began
    int32_t CurrentChain = 0;
    int32_t CurrentExplodes = 0;
    int32_t MaxChains = 0;
    int32_t MaxExplodes = 0;
    int32_t StepPairs = 0;         // merges since the board last settled
    int32_t NextEditFrame = 20;    // the piece next acts once GameFrames passes this
    int32_t BlockSize = 48;
    int32_t MapMaxX = kMapColumns - 1;
    int32_t MapMaxY = kMapRows - 1;
    // The board: Map[x][y], column 0 at the left, row 0 at the top.
    std::array<std::array<cBlock, kMapRows>, kMapColumns> Map;
    int32_t TexBack = 0;
    int32_t TexBlocks = 0;
    int32_t TexParticles = 0;
    FontRecord FontMinco;
};

extern GameRecord Game;

}  // namespace zol

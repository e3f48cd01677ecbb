#include "support/GameHarness.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/core/qCore.h"
#include "framework/core/qKeys.h"
#include "framework/graphics/mDText.h"
#include "framework/graphics/qDDraw.h"
#include "framework/qRuntime.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/mParticles.h"

namespace zol::test {

double ScriptedRandom::Next() {
    if (values_.empty()) {
        ADD_FAILURE() << "ScriptedRandom ran dry: the game drew more numbers than scripted";
        return 0;
    }
    const double v = values_.front();
    values_.pop_front();
    return v;
}

GameHarness::GameHarness(uint64_t seed, bool recordSounds) {
    Start(std::make_unique<SplitMix64>(seed), recordSounds);
}

GameHarness::GameHarness(std::unique_ptr<RandomSource> source, bool recordSounds) {
    Start(std::move(source), recordSounds);
}

void GameHarness::Start(std::unique_ptr<RandomSource> source, bool recordSounds) {
    SetSystemHost(&host);
    QRT_Initialize();
    SetRandomSource(std::move(source));
    SetScreenSize(kWindowLayout.Screen.W, kWindowLayout.Screen.H, 1);
    ClearParticles();
    ClearTexts();
    SetSoundMuted(false);
    SetMusicMuted(false);
    if (recordSounds) {
        SetWavePlayObserver([this](const std::string& name, float, float) { sounds.push_back(name); });
        SetMidiObservers([this](const std::string& name) { music.push_back("play " + name); },
                         [this] { music.push_back("stop"); });
    }
    game.ResetGame(true);
}

GameHarness::~GameHarness() {
    SetWavePlayObserver({});
    SetMidiObservers({}, {});
    SetSystemHost(nullptr);
    ClearInput();
}

void GameHarness::Hold(int key, int ticks) {
    Press(key);
    Tick(ticks);
    Release(key);
}

void GameHarness::Tick(int n) {
    for (int i = 0; i < n; ++i) {
        host.Clock += 30;
        ++ticks_;
        game.tmrMain_Timer();
    }
}

void GameHarness::Put(int x, int y, int32_t kind, int32_t special) {
    cBlock& b = Game.Map[x][y];
    b.Kind = kind;
    b.Special = special;
    b.State = cBlock::Idle;
    b.Progress = 0;
    b.Partner = nullptr;
}

void GameHarness::SetBoard(const std::vector<std::string>& rows) {
    for (int y = 0; y < kMapRows; ++y) {
        for (int x = 0; x < kMapColumns; ++x) {
            const char c = y < static_cast<int>(rows.size()) && x < static_cast<int>(rows[y].size())
                               ? rows[y][x]
                               : '.';
            if (c >= '1' && c <= '5') {
                Put(x, y, c - '0');
            } else if (c == 'T') {
                Put(x, y, 0, 1);
            } else {
                Put(x, y, 0);
            }
        }
    }
}

void GameHarness::SetPiece(int32_t editX, int32_t editY,
                           const std::vector<std::array<int32_t, 4>>& blocks) {
    game.EditCount = 0;
    for (const auto& b : blocks) game.CreateEditBlock(b[0], b[1], b[2], b[3]);
    game.EditX = editX;
    game.EditY = editY;
}

int GameHarness::CountSound(const std::string& name) const {
    return static_cast<int>(std::count(sounds.begin(), sounds.end(), name));
}

}  // namespace zol::test

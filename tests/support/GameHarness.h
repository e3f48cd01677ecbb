// GameHarness: the whole game, headless, for scenario tests and benchmarks.
//
// Builds frmMain on a ScriptedHost (installed as the system host), installs a seeded
// splitmix64 or a given random source, sets the 480 x 288 logical screen, empties the
// particle and glyph tables and runs ResetGame(true). Then: Press/Release/Hold keys, Tick
// (each tick advances the host clock by 30 ms and runs tmrMain_Timer), read the board and
// the counters, and see which sounds and music requests the game made.
// The game's state is module-level: the newest harness owns it, and an older one must not
// be used once a newer one has been made.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/qRandom.h"
#include "game/frmMain.h"
#include "support/ScriptedHost.h"

namespace zol::test {

// A random source that returns a fixed queue of values. Running dry is a test failure
// (reported through GoogleTest, not thrown); the dry source then returns 0.
class ScriptedRandom final : public RandomSource {
public:
    ScriptedRandom() = default;
    explicit ScriptedRandom(std::deque<double> values) : values_(std::move(values)) {}
    double Next() override;
    void Push(double v) { values_.push_back(v); }
    size_t Left() const { return values_.size(); }

private:
    std::deque<double> values_;
};

class GameHarness {
public:
    // A game on a splitmix64 source with this seed.
    explicit GameHarness(uint64_t seed = 1, bool recordSounds = true);
    // A game on the given source (kept by the framework's random module).
    explicit GameHarness(std::unique_ptr<RandomSource> source, bool recordSounds = true);
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    ScriptedHost host;
    frmMain game{host};

    // ---- Input ----
    void Press(int key) { game.Form_KeyDown(key, 0); }   // one key-down event (or a repeat)
    void Release(int key) { game.Form_KeyUp(key, 0); }
    void Hold(int key, int ticks);                      // down for that many ticks, then up
    void Tap(int key) { Press(key); Tick(); Release(key); }
    // ---- Time ----
    void Tick(int n = 1);
    // Ticks until pred() holds (checked after each tick); false when max ticks pass first.
    template <class Pred> bool TickUntil(Pred pred, int max = 10000) {
        for (int i = 0; i < max; ++i) {
            Tick();
            if (pred()) return true;
        }
        return false;
    }
    int Ticks() const { return ticks_; }

    // ---- The game ----
    GameRecord& G() { return Game; }
    cBlock& Cell(int x, int y) { return Game.Map[x][y]; }
    int32_t Phase() const { return Game.GamePhase; }
    // Puts a resting block of Kind (and Special) into a cell.
    void Put(int x, int y, int32_t kind, int32_t special = 0);
    // Fills the board from six strings of ten characters, row 0 first: '.' empty,
    // '1'..'5' a block of that kind, 'T' a timed block.
    void SetBoard(const std::vector<std::string>& rows);
    // Replaces the current piece: blocks given as {x, y, special, kind}, at (editX, editY).
    void SetPiece(int32_t editX, int32_t editY, const std::vector<std::array<int32_t, 4>>& blocks);

    // ---- What the game asked for ----
    std::vector<std::string> sounds;   // wave file names in play order
    std::vector<std::string> music;    // "play NAME" / "stop"
    int CountSound(const std::string& name) const;
    void ClearRecords() { sounds.clear(); music.clear(); }

private:
    void Start(std::unique_ptr<RandomSource> source, bool recordSounds);
    int ticks_ = 0;
};

}  // namespace zol::test

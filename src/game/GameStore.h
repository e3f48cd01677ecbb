// GameStore: what the game window keeps between runs, as the window sees it.
//
// What it does: hands out the settings kept at start, takes changes to them, records the
// results of finished games and gives the table of the best ones, and collects what went
// wrong with the keeping (for the window to tell the player once).
// The game window never touches files: the program gives it a store that does
// (app/SavedStore), or it keeps a MemoryStore of its own, which forgets everything when
// the program ends (the game without saving).
// Who owns what: the program owns the store it hands to the window; a MemoryStore owns
// its values.
// Failure: a store that cannot keep something plays on without it and says so through
// TakeNotices; no call fails the game.
#pragma once

#include <string>
#include <vector>

#include "game/GameSettings.h"
#include "game/ScoreTable.h"

namespace zol {

class GameStore {
public:
    virtual ~GameStore() = default;
    // The settings kept when the store was opened, with the changes made since.
    virtual GameSettings Settings() = 0;
    // Keeps the values Changes holds, over the kept ones.
    virtual void ChangeSettings(const GameSettings& Changes) = 0;
    // Records a finished game's result; Replacing (when given) is an earlier record of the
    // same game, taken out first.
    virtual void RecordResult(const ScoreEntry& Entry, const ScoreEntry* Replacing) = 0;
    // The best results, best first, as kept now (other copies of the game included).
    virtual ScoreList Results() = 0;
    // What went wrong since the last call, each problem once, as texts for the player.
    virtual std::vector<std::string> TakeNotices() = 0;
};

// Keeps everything in memory for this run only.
class MemoryStore final : public GameStore {
public:
    GameSettings Settings() override { return settings_; }
    void ChangeSettings(const GameSettings& Changes) override { OverlaySettings(settings_, Changes); }
    void RecordResult(const ScoreEntry& Entry, const ScoreEntry* Replacing) override {
        InsertResult(results_, Entry, Replacing);
    }
    ScoreList Results() override { return results_; }
    std::vector<std::string> TakeNotices() override { return {}; }

private:
    GameSettings settings_;
    ScoreList results_;
};

}  // namespace zol

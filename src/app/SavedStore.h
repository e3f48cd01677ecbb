// SavedStore: the game's results and settings kept in files between runs.
//
// What it does: the table of the best results lives in $XDG_DATA_HOME/zol/scores, the
// settings in $XDG_CONFIG_HOME/zol/settings (KeptFile.h gives their frame). Both are read
// when the store opens. Every write happens under the file's lock: the file is read
// again, merged with what this copy holds (so that two copies of the game running at
// once keep each other's results) and replaced atomically. A file that is damaged, cut
// short, not ours or from a newer version is set aside as NAME.damaged and the game goes
// on without it; a folder that cannot be written means the game plays on without saving.
// Each of those is told once, through TakeNotices (and on standard error).
// With --no-save or ZOL_NO_SAVE=1 nothing is read or written: the game keeps its results
// for the run in memory.
// Who owns what: the program owns the store and lends it to the game window.
// Failure: nothing fails the game; see above.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "game/GameStore.h"

namespace zol::app {

// The full paths of the two files.
struct SavePaths {
    std::string Scores, Settings;
};

// The files in the XDG base directories; empty paths when there is no home folder.
SavePaths DefaultSavePaths();
// True when the run must read and write nothing (--no-save, or ZOL_NO_SAVE set to
// anything but "" or "0").
bool SavingOff(const CommandLine& Line);

class SavedStore final : public GameStore {
public:
    // Opens the files at Paths and reads them (setting a bad one aside).
    explicit SavedStore(SavePaths Paths);

    GameSettings Settings() override { return settings_; }
    void ChangeSettings(const GameSettings& Changes) override;
    void RecordResult(const ScoreEntry& Entry, const ScoreEntry* Replacing) override;
    ScoreList Results() override;
    std::vector<std::string> TakeNotices() override;

private:
    // One kept file and whether it may still be written.
    struct Kept {
        std::string Path;
        const char* What;  // how the notices name it
        bool Writable = true;
    };
    // Reads a file of ours (the caller holds its lock, if any); true with Value set when
    // it was read, false when it is missing or was set aside (with a notice).
    template <class Value, class Decode>
    bool Read(Kept& File, Decode decode, Value& Out);
    // Writes Bytes over the file; a failure is told once and ends writing to that file.
    void Write(Kept& File, const std::vector<uint8_t>& Bytes, bool Locked);
    void Notice(std::string Text);

    Kept scores_, settingsFile_;
    ScoreList results_;
    GameSettings settings_;
    std::vector<std::string> notices_;
};

// The store of a run: nothing kept (a MemoryStore) when saving is off, else the files.
std::unique_ptr<GameStore> OpenStore(const CommandLine& Line);

// Prints the kept table on Out (--scores); problems go to Err. The exit code.
int PrintScores(const CommandLine& Line, std::ostream& Out, std::ostream& Err);
// The table as --scores prints it.
std::string ScoresText(const ScoreList& Table);

}  // namespace zol::app

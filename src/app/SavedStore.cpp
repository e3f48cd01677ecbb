#include "app/SavedStore.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <utility>

#include "framework/core/qText.h"
#include "platform/SaveFiles.h"

namespace zol::app {

namespace {

// Far above anything we write (a full table is a few kilobytes); a larger file is not ours.
constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

// The path with the home folder written as "~", as the player knows it.
std::string Short(const std::string& path) {
    const char* home = std::getenv("HOME");
    const std::string h = home ? home : "";
    if (h.size() > 1 && path.size() > h.size() && path.compare(0, h.size(), h) == 0 &&
        path[h.size()] == '/')
        return "~" + path.substr(h.size());
    return path;
}

const char* Problem(FileVerdict v) {
    switch (v) {
        case FileVerdict::NotOurs: return "held something else";
        case FileVerdict::Newer: return "came from a newer Zol";
        default: return "was damaged";
    }
}

std::string Padded(const std::string& text, size_t width, bool right) {
    const size_t n = Utf8Length(text);
    const std::string pad(n < width ? width - n : 0, ' ');
    return right ? pad + text : text + pad;
}

}  // namespace

SavePaths DefaultSavePaths() {
    const std::string data = platform::DataFolder("zol"), config = platform::ConfigFolder("zol");
    return {data.empty() ? "" : data + "scores", config.empty() ? "" : config + "settings"};
}

bool SavingOff(const CommandLine& Line) {
    const char* env = std::getenv("ZOL_NO_SAVE");
    return Line.NoSave || (env && *env && std::string(env) != "0");
}

SavedStore::SavedStore(SavePaths Paths)
    : scores_{std::move(Paths.Scores), "The score table"},
      settingsFile_{std::move(Paths.Settings), "The settings file"} {
    for (Kept* k : {&scores_, &settingsFile_}) {
        if (k->Path.empty()) {
            k->Writable = false;
            Notice(std::string(k->What) + " has no place: no home folder is known. Not saving.");
        }
    }
    Results();
    if (!settingsFile_.Path.empty()) {
        platform::SaveLock lock(settingsFile_.Path);
        Read(settingsFile_, DecodeSettings, settings_);
    }
}

template <class Value, class Decode>
bool SavedStore::Read(Kept& File, Decode decode, Value& Out) {
    std::vector<uint8_t> bytes;
    std::string why;
    switch (platform::ReadWholeFile(File.Path, kMaxFileBytes, bytes, &why)) {
        case platform::ReadResult::Missing: return false;
        case platform::ReadResult::Failed:
            // Not damaged, only out of reach (permissions, a folder in its place): it is
            // left alone, and never written over, since it may hold what the player wants.
            if (File.Writable) Notice("Cannot read " + Short(why) + ". Not saving there.");
            File.Writable = false;
            return false;
        case platform::ReadResult::Read: break;
    }
    Value read{};
    const FileVerdict verdict = decode(bytes.data(), bytes.size(), read);
    if (verdict == FileVerdict::Read) {
        Out = std::move(read);
        return true;
    }
    if (platform::SetFileAside(File.Path)) {
        Notice(std::string(File.What) + " " + Problem(verdict) + ": kept aside as " +
               Short(File.Path) + ".damaged");
    } else {
        Notice(std::string(File.What) + " " + Problem(verdict) + " and cannot be moved aside. Not saving there.");
        File.Writable = false;
    }
    return false;
}

void SavedStore::Write(Kept& File, const std::vector<uint8_t>& Bytes, bool Locked) {
    if (!File.Writable) return;
    std::string why;
    if (platform::WriteFileAtomically(File.Path, Bytes, Locked, &why)) return;
    File.Writable = false;
    Notice("Cannot save (" + Short(why) + "). Playing on without saving.");
}

void SavedStore::Notice(std::string Text) {
    std::fprintf(stderr, "Zol: %s\n", Text.c_str());
    notices_.push_back(std::move(Text));
}

void SavedStore::ChangeSettings(const GameSettings& Changes) {
    OverlaySettings(settings_, Changes);
    if (!settingsFile_.Writable) return;
    platform::SaveLock lock(settingsFile_.Path);
    // Only the values that changed go over what is kept: another copy may have changed
    // the others meanwhile.
    GameSettings kept;
    Read(settingsFile_, DecodeSettings, kept);
    OverlaySettings(kept, Changes);
    Write(settingsFile_, EncodeSettings(kept), lock.Held());
}

void SavedStore::RecordResult(const ScoreEntry& Entry, const ScoreEntry* Replacing) {
    InsertResult(results_, Entry, Replacing);
    if (!scores_.Writable) return;
    platform::SaveLock lock(scores_.Path);
    ScoreList kept;
    if (Read(scores_, DecodeScores, kept)) {
        // The earlier record of this game, if this copy wrote one, goes from the file too.
        if (Replacing) InsertResult(kept, Entry, Replacing);
        MergeResults(results_, kept);
    }
    Write(scores_, EncodeScores(results_), lock.Held());
}

ScoreList SavedStore::Results() {
    if (scores_.Writable) {
        platform::SaveLock lock(scores_.Path, 200);
        ScoreList kept;
        if (Read(scores_, DecodeScores, kept)) MergeResults(results_, kept);
    }
    return results_;
}

std::vector<std::string> SavedStore::TakeNotices() { return std::exchange(notices_, {}); }

std::unique_ptr<GameStore> OpenStore(const CommandLine& Line) {
    if (SavingOff(Line)) return std::make_unique<MemoryStore>();
    return std::make_unique<SavedStore>(DefaultSavePaths());
}

std::string ScoresText(const ScoreList& Table) {
    if (Table.empty()) return "No results yet.\n";
    std::ostringstream out;
    out << "  #  " << Padded("Name", 20, false) << Padded("Score", 12, true)
        << Padded("Level", 7, true) << Padded("Chains", 8, true) << Padded("Explodes", 10, true)
        << Padded("Frames", 10, true) << "  " << Padded("Date", 18, false) << "Code\n";
    size_t place = 0;
    for (const ScoreEntry& e : Table) {
        out << Padded(std::to_string(++place), 3, true) << "  " << Padded(e.Name, 20, false)
            << Padded(FormatGrouped(e.Score), 12, true)
            << Padded(std::to_string(e.Level), 7, true)
            << Padded(std::to_string(e.MaxChains), 8, true)
            << Padded(std::to_string(e.MaxExplodes), 10, true)
            << Padded(std::to_string(e.GameFrames), 10, true) << "  "
            << Padded(DateText(e.Date), 18, false) << e.Code << '\n';
    }
    return out.str();
}

int PrintScores(const CommandLine& Line, std::ostream& Out, std::ostream& Err) {
    if (SavingOff(Line)) {
        Err << "zol: saving is off (--no-save or ZOL_NO_SAVE): no table is read\n";
        Out << ScoresText({});
        return 0;
    }
    const std::string path = DefaultSavePaths().Scores;
    std::vector<uint8_t> bytes;
    std::string why;
    ScoreList table;
    // Only read: a bad file is reported and left where it is for the game to deal with.
    switch (platform::ReadWholeFile(path, kMaxFileBytes, bytes, &why)) {
        case platform::ReadResult::Missing: break;
        case platform::ReadResult::Failed: Err << "zol: cannot read " << why << '\n'; return 1;
        case platform::ReadResult::Read:
            if (const FileVerdict v = DecodeScores(bytes.data(), bytes.size(), table);
                v != FileVerdict::Read) {
                Err << "zol: " << path << " " << Problem(v) << '\n';
                return 1;
            }
    }
    Out << ScoresText(table);
    return 0;
}

}  // namespace zol::app

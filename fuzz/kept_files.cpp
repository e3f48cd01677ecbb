// Fuzzes the readers of the score table and of the settings: whatever the bytes, a
// reader answers with a verdict, and what it reads writes back and reads again the same.
#include <cstdint>
#include <cstdlib>

#include "game/GameSettings.h"
#include "game/ScoreTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zol::ScoreList table;
    if (zol::DecodeScores(data, size, table) == zol::FileVerdict::Read) {
        if (table.size() > zol::kMaxScores) std::abort();
        for (const zol::ScoreEntry& e : table) zol::DateText(e.Date);
        const auto again = zol::EncodeScores(table);
        zol::ScoreList back;
        if (zol::DecodeScores(again.data(), again.size(), back) != zol::FileVerdict::Read ||
            back != table)
            std::abort();
        zol::InsertResult(back, {"x", 1, 1, 0, 0, 1, 45000, "1-A"}, table.empty() ? nullptr : &table[0]);
        zol::MergeResults(back, table);
    }
    zol::GameSettings settings;
    if (zol::DecodeSettings(data, size, settings) == zol::FileVerdict::Read) {
        const auto again = zol::EncodeSettings(settings);
        zol::GameSettings back;
        if (zol::DecodeSettings(again.data(), again.size(), back) != zol::FileVerdict::Read ||
            back != settings)
            std::abort();
    }
    return 0;
}

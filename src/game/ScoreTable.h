// ScoreTable: the best results, and the file they are kept in.
//
// What it does: a table holds at most 100 results, best first (the higher score; on equal
// scores the earlier result), each at most once. Results are inserted, replaced and
// merged with another copy of the table (what another copy of the game wrote meanwhile).
// The file is a stream file (two CRC-32 checks, not compressed) whose data is a qStream:
// String "ZOL SCORES", Long version, Long count, then per result StringU name, Longs
// score, level, max chains, max explodes, game frames, Date, StringU code.
// Dates are OLE day counts in local time, as qStream stores them.
// Who owns what: tables are plain values; nothing is kept here.
// Failure: decoding says what is wrong with a file (not ours, damaged, from a newer
// version) and leaves the caller's table alone; it never reads outside the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/KeptFile.h"

namespace zol {

// One result as the game recorded it.
struct ScoreEntry {
    std::string Name;  // UTF-8
    int32_t Score = 0, Level = 0, MaxChains = 0, MaxExplodes = 0, GameFrames = 0;
    double Date = 0;   // when the game ended (OLE day count, local time)
    std::string Code;  // the score code made for it

    bool operator==(const ScoreEntry&) const = default;
};

using ScoreList = std::vector<ScoreEntry>;

inline constexpr size_t kMaxScores = 100;

// True when A ranks above B: the higher score, then the earlier date, then the other
// fields, so that every copy of a table orders the same results the same way.
bool RanksAbove(const ScoreEntry& A, const ScoreEntry& B);
// Puts Entry into Table in its place; the table keeps its best 100 and no result twice.
// Replacing (when given) is taken out first: a result recorded again under a new name.
void InsertResult(ScoreList& Table, const ScoreEntry& Entry, const ScoreEntry* Replacing = nullptr);
// Adds the results of From that Into lacks, keeping the best 100.
void MergeResults(ScoreList& Into, const ScoreList& From);
// The 1-based place of Entry in Table, or 0 when it is not there.
size_t PlaceOf(const ScoreList& Table, const ScoreEntry& Entry);

// The whole file for a table (at most the best 100 are written).
std::vector<uint8_t> EncodeScores(const ScoreList& Table);
// Reads a whole file; Table is set only when the verdict is Read.
FileVerdict DecodeScores(const uint8_t* File, size_t Size, ScoreList& Table);

// Now, as an OLE day count in local time.
double NowAsDate();
// "YYYY-MM-DD HH:MM" for an OLE day count; "" for a date before the year 1 or after 9999.
std::string DateText(double Date);

}  // namespace zol

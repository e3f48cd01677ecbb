#include "game/ScoreTable.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <tuple>

#include "framework/core/qText.h"

namespace zol {

namespace {

constexpr const char* kKind = "ZOL SCORES";
constexpr int32_t kVersion = 1;

// Sorts, drops repeats and keeps the best kMaxScores.
void Tidy(ScoreList& table) {
    std::sort(table.begin(), table.end(), RanksAbove);
    table.erase(std::unique(table.begin(), table.end()), table.end());
    if (table.size() > kMaxScores) table.resize(kMaxScores);
}

// OLE dates count days from 1899-12-30; std::chrono's calendar counts from 1970-01-01.
using namespace std::chrono;
constexpr double kOleEpochDays = -25569.0;  // 1899-12-30 counted from 1970-01-01

}  // namespace

bool RanksAbove(const ScoreEntry& A, const ScoreEntry& B) {
    // Dates are finite (the reader refuses others), so this is a strict weak order.
    return std::tie(B.Score, A.Date, A.GameFrames, B.Level, B.MaxChains, B.MaxExplodes, A.Name,
                    A.Code) <
           std::tie(A.Score, B.Date, B.GameFrames, A.Level, A.MaxChains, A.MaxExplodes, B.Name,
                    B.Code);
}

void InsertResult(ScoreList& Table, const ScoreEntry& Entry, const ScoreEntry* Replacing) {
    if (Replacing) {
        const auto it = std::find(Table.begin(), Table.end(), *Replacing);
        if (it != Table.end()) Table.erase(it);
    }
    Table.push_back(Entry);
    Tidy(Table);
}

void MergeResults(ScoreList& Into, const ScoreList& From) {
    Into.insert(Into.end(), From.begin(), From.end());
    Tidy(Into);
}

size_t PlaceOf(const ScoreList& Table, const ScoreEntry& Entry) {
    const auto it = std::find(Table.begin(), Table.end(), Entry);
    return it == Table.end() ? 0 : static_cast<size_t>(it - Table.begin()) + 1;
}

std::vector<uint8_t> EncodeScores(const ScoreList& Table) {
    ScoreList best = Table;
    // A text longer than a stream reads back would make the whole file unreadable; such a
    // result (only a host without the input box's limit can make one) is not written.
    const auto readable = [](const std::string& text) {
        return Utf8ToUtf16(text).size() * 2 <= static_cast<size_t>(qStream::kMaxStringBytes);
    };
    std::erase_if(best, [&](const ScoreEntry& e) { return !readable(e.Name) || !readable(e.Code); });
    Tidy(best);
    qStream s;
    BeginKeptData(s, kKind, kVersion);
    s.WriteLong(static_cast<int32_t>(best.size()));
    for (const ScoreEntry& e : best) {
        s.WriteStringU(e.Name);
        s.WriteLong(e.Score);
        s.WriteLong(e.Level);
        s.WriteLong(e.MaxChains);
        s.WriteLong(e.MaxExplodes);
        s.WriteLong(e.GameFrames);
        s.WriteDate(e.Date);
        s.WriteStringU(e.Code);
    }
    return FinishKeptFile(s);
}

FileVerdict DecodeScores(const uint8_t* File, size_t Size, ScoreList& Table) {
    qStream s;
    const FileVerdict frame = OpenKeptFile(File, Size, kKind, kVersion, s, nullptr);
    if (frame != FileVerdict::Read) return frame;
    int32_t count = -1;
    s.ReadLong(count);
    if (s.Failed() || count < 0 || static_cast<size_t>(count) > kMaxScores)
        return FileVerdict::Damaged;
    ScoreList read(static_cast<size_t>(count));
    for (ScoreEntry& e : read) {
        s.ReadStringU(e.Name);
        s.ReadLong(e.Score);
        s.ReadLong(e.Level);
        s.ReadLong(e.MaxChains);
        s.ReadLong(e.MaxExplodes);
        s.ReadLong(e.GameFrames);
        s.ReadDate(e.Date);
        s.ReadStringU(e.Code);
        if (s.Failed() || !std::isfinite(e.Date)) return FileVerdict::Damaged;
    }
    // The checks passed, so anything left over was written by a program that got the
    // layout wrong: not a table to trust.
    if (s.Remaining() != 0) return FileVerdict::Damaged;
    Tidy(read);
    Table = std::move(read);
    return FileVerdict::Read;
}

double NowAsDate() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const sys_days day{year{local.tm_year + 1900} / (local.tm_mon + 1) / local.tm_mday};
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return static_cast<double>(day.time_since_epoch().count()) - kOleEpochDays + seconds / 86400.0;
}

std::string DateText(double Date) {
    // Year 1 to 9999 as OLE day counts.
    if (!(Date >= -693593.0 && Date < 2958466.0)) return "";
    const double whole = std::floor(Date);
    const year_month_day ymd{sys_days{days{static_cast<int64_t>(whole + kOleEpochDays)}}};
    const auto minutes = static_cast<int32_t>(std::floor((Date - whole) * 1440.0 + 1e-6));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  std::min(minutes, 1439) / 60, std::min(minutes, 1439) % 60);
    return text;
}

}  // namespace zol

// KeptFile: the frame of every file the game keeps between runs.
//
// What it does: a kept file is a stream file (two CRC-32 checks) whose data begins with
// a String naming its kind (so that a stream file of another program or another kind is
// told apart) and a Long version; the content follows as the kind defines it.
// Who owns what: the caller owns the streams and the bytes.
// Failure: opening says what is wrong (not ours, damaged, newer than this program).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/data/qStream.h"

namespace zol {

// What reading a kept file found.
enum class FileVerdict { Read, NotOurs, Damaged, Newer };

// Starts the data of a kept file of this kind and version.
void BeginKeptData(qStream& Data, const char* Kind, int32_t Version);
// The whole file holding the data begun by BeginKeptData.
std::vector<uint8_t> FinishKeptFile(const qStream& Data);
// Checks the frame of a whole file; on Read, Data holds its data with the read position
// after the version, and *Version the version found (1 up to MaxVersion).
FileVerdict OpenKeptFile(const uint8_t* File, size_t Size, const char* Kind, int32_t MaxVersion,
                         qStream& Data, int32_t* Version);

}  // namespace zol

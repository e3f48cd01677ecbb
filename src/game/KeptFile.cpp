#include "game/KeptFile.h"

#include <cstring>

#include "framework/data/qStreamFile.h"

namespace zol {

void BeginKeptData(qStream& Data, const char* Kind, int32_t Version) {
    Data.Reset();
    Data.WriteString(Kind);
    Data.WriteLong(Version);
}

std::vector<uint8_t> FinishKeptFile(const qStream& Data) {
    std::vector<uint8_t> plain(Data.Bytes(), Data.Bytes() + Data.GetLength());
    std::vector<uint8_t> file;
    // Kept data always holds its kind, so it is never empty and always encodes.
    EncodeStreamFile(plain, false, "", file);
    return file;
}

FileVerdict OpenKeptFile(const uint8_t* File, size_t Size, const char* Kind, int32_t MaxVersion,
                         qStream& Data, int32_t* Version) {
    // A file that does not even start like a stream file belongs to someone else; one that
    // does but fails its checks was ours and is damaged (an empty file is a cut-off one).
    if (Size >= 4 && std::memcmp(File, "QRT2", 4) != 0) return FileVerdict::NotOurs;
    std::vector<uint8_t> plain;
    if (!DecodeStreamFile(File, Size, plain, "")) return FileVerdict::Damaged;
    Data.Reset();
    Data.SetData(plain);
    std::string kind;
    int32_t version = 0;
    Data.ReadString(kind);
    if (Data.Failed() || kind != Kind) return FileVerdict::NotOurs;
    Data.ReadLong(version);
    if (Data.Failed() || version < 1) return FileVerdict::Damaged;
    if (version > MaxVersion) return FileVerdict::Newer;
    if (Version) *Version = version;
    return FileVerdict::Read;
}

}  // namespace zol

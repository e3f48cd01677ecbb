#include "framework/data/qValues.h"

#include <algorithm>
#include <charconv>

#include "framework/core/qText.h"
#include "framework/data/qStream.h"

namespace zol {

namespace {

// Template chains are followed this far at most, so that a loop of templates cannot hang.
constexpr int kMaxTemplateDepth = 256;

unsigned char FoldByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A: return 0x9A;  // S caron
        case 0x8C: return 0x9C;  // OE
        case 0x8E: return 0x9E;  // Z caron
        case 0x9F: return 0xFF;  // Y diaeresis
        default: return c;
    }
}

int32_t HashBytes(const std::string& bytes) {
    uint32_t weighted = 0;
    const size_t k = std::min<size_t>(bytes.size(), 32);
    for (size_t j = 0; j < k; ++j)
        weighted += static_cast<uint32_t>(j + 1) * static_cast<unsigned char>(bytes[j]);
    return static_cast<int32_t>(static_cast<uint32_t>(bytes.size()) + 8192u * weighted);
}

template <class V>
void FillHashes(qValues::Entry<V>& e) {
    e.Hash = HashName(e.Name);
    e.FoldedHash = HashBytes(FoldName(e.Name));
}

// ASCII-only folding keeps byte positions of UTF-8 text, which placeholder search needs.
std::string FoldAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

// Replaces every occurrence of what (found under the compare mode) by with, left to right.
void ReplaceAll(std::string& s, const std::string& what, const std::string& with, bool fold) {
    if (what.empty()) return;
    const std::string key = fold ? FoldAscii(what) : what;
    std::string out;
    size_t from = 0;
    const std::string hay = fold ? FoldAscii(s) : s;
    for (size_t at = hay.find(key); at != std::string::npos; at = hay.find(key, from)) {
        out.append(s, from, at - from);
        out += with;
        from = at + key.size();
    }
    out.append(s, from, std::string::npos);
    s = std::move(out);
}

std::string ValueText(const std::string& v) { return v; }
std::string ValueText(uint8_t v) { return std::to_string(v); }
std::string ValueText(int32_t v) { return std::to_string(v); }
std::string ValueText(float v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

template <class V>
bool IsZero(const V& v) {
    if constexpr (std::is_same_v<V, std::string>)
        return v.empty();
    else
        return v == V{};
}

template <class V>
void WriteValue(qStream& s, const V& v) {
    if constexpr (std::is_same_v<V, std::string>) s.WriteString(v);
    if constexpr (std::is_same_v<V, uint8_t>) s.WriteByte(v);
    if constexpr (std::is_same_v<V, int32_t>) s.WriteLong(v);
    if constexpr (std::is_same_v<V, float>) s.WriteSingle(v);
}

template <class V>
void ReadValue(qStream& s, V& v) {
    if constexpr (std::is_same_v<V, std::string>) s.ReadString(v);
    if constexpr (std::is_same_v<V, uint8_t>) s.ReadByte(v);
    if constexpr (std::is_same_v<V, int32_t>) s.ReadLong(v);
    if constexpr (std::is_same_v<V, float>) s.ReadSingle(v);
}

// The fewest bytes an entry of the type can take in a stream: a name count and the value.
template <class V>
constexpr size_t MinEntryBytes() {
    return std::is_same_v<V, uint8_t> ? 5 : 8;
}

template <class V>
void ExportTable(qStream& s, const qValues::Table<V>& t) {
    s.WriteInteger(static_cast<int16_t>(t.size()));
    for (const auto& e : t) {
        s.WriteString(e.Name);
        WriteValue(s, e.Value);
    }
}

template <class V>
bool ImportTable(qStream& s, qValues::Table<V>& t) {
    int16_t count = 0;
    s.ReadInteger(count);
    if (s.Failed()) return false;
    if (count < 0 || static_cast<size_t>(count) * MinEntryBytes<V>() > s.Remaining()) {
        s.MarkFailed();
        return false;
    }
    t.assign(static_cast<size_t>(count), {});
    for (auto& e : t) {
        s.ReadString(e.Name);
        ReadValue(s, e.Value);
        if (s.Failed()) return false;
        FillHashes(e);
    }
    return true;
}

template <class V>
int32_t ListNames(const qValues::Table<V>& t, std::vector<std::string>& out) {
    if (t.empty()) return -1;
    out.clear();
    for (const auto& e : t) out.push_back(e.Name);
    return static_cast<int32_t>(t.size()) - 1;
}

}  // namespace

int32_t HashName(const std::string& Name) { return HashBytes(Utf8ToCp1252(Name)); }

std::string FoldName(const std::string& Name) {
    std::string bytes = Utf8ToCp1252(Name);
    for (char& c : bytes) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
    return bytes;
}

template <class V>
const qValues::Entry<V>* qValues::Find(const Table<V>& table, const std::string& name) const {
    if (CompareMode == 1) {
        const std::string folded = FoldName(name);
        const int32_t hash = HashBytes(folded);
        for (const auto& e : table)
            if (e.FoldedHash == hash && FoldName(e.Name) == folded) return &e;
    } else {
        const int32_t hash = HashName(name);
        for (const auto& e : table)
            if (e.Hash == hash && e.Name == name) return &e;
    }
    return nullptr;
}

template <class V>
V qValues::Get(Table<V> qValues::*table, const std::string& name, const V& def) const {
    if (name.empty()) return V{};
    const qValues* v = this;
    for (int hop = 0; v && hop < kMaxTemplateDepth; ++hop, v = v->Template)
        if (const auto* e = v->Find(v->*table, name)) return e->Value;
    return def;
}

template <class V>
void qValues::Set(Table<V>& table, const std::string& name, const V& value) {
    if (name.empty()) return;
    const auto* found = Find(table, name);
    const size_t i = found ? static_cast<size_t>(found - table.data()) : table.size();
    if (!IsZero(value)) {
        if (i == table.size()) {
            if (table.size() >= static_cast<size_t>(kMaxEntries)) return;
            table.push_back({name, value, 0, 0});
            FillHashes(table.back());
        }
        table[i].Value = value;
    } else if (found) {
        // The last entry takes the removed one's place.
        if (i + 1 != table.size()) table[i] = std::move(table.back());
        table.pop_back();
    }
}

template <class V>
void qValues::SetDefault(Table<V>& table, const std::string& name, const V& value) {
    if (name.empty() || Find(table, name)) return;
    Set(table, name, value);
}

void qValues::Export(qStream& iFile) const {
    ExportTable(iFile, strings_);
    ExportTable(iFile, bytes_);
    ExportTable(iFile, longs_);
    ExportTable(iFile, singles_);
    iFile.WriteString(TemplateGUID);
}

void qValues::Import(qStream& iFile) {
    Table<std::string> strings;
    Table<uint8_t> bytes;
    Table<int32_t> longs;
    Table<float> singles;
    std::string guid;
    if (iFile.Failed()) return;
    if (!ImportTable(iFile, strings) || !ImportTable(iFile, bytes) || !ImportTable(iFile, longs) ||
        !ImportTable(iFile, singles))
        return;
    iFile.ReadString(guid);
    if (iFile.Failed()) return;
    strings_ = std::move(strings);
    bytes_ = std::move(bytes);
    longs_ = std::move(longs);
    singles_ = std::move(singles);
    TemplateGUID = std::move(guid);
}

int32_t qValues::GetLongList(std::vector<std::string>& oList) const { return ListNames(longs_, oList); }
int32_t qValues::GetByteList(std::vector<std::string>& oList) const { return ListNames(bytes_, oList); }
int32_t qValues::GetStringList(std::vector<std::string>& oList) const {
    return ListNames(strings_, oList);
}
int32_t qValues::GetSingleList(std::vector<std::string>& oList) const {
    return ListNames(singles_, oList);
}

std::string qValues::FormatText(const std::string& iText) const {
    std::string s = iText;
    const bool fold = CompareMode == 1;
    const auto apply = [&](const auto& table) {
        for (const auto& e : table) {
            const std::string placeholder = "[" + e.Name + "]";
            const std::string hay = fold ? FoldAscii(s) : s;
            if (hay.find(fold ? FoldAscii(placeholder) : placeholder) == std::string::npos) continue;
            ReplaceAll(s, placeholder, ValueText(e.Value), fold);
        }
    };
    apply(bytes_);
    apply(longs_);
    apply(singles_);
    apply(strings_);
    return s;
}

void qValues::SetTemplate(qValues* iTemplate) {
    Template = iTemplate;
    TemplateGUID = iTemplate ? iTemplate->GUID : std::string();
}

void qValues::SortNames() {
    const bool fold = CompareMode == 1;
    const auto sortTable = [&](auto& table) {
        using E = typename std::decay_t<decltype(table)>::value_type;
        std::stable_sort(table.begin(), table.end(), [&](const E& a, const E& b) {
            if (fold) {
                const std::string fa = FoldName(a.Name), fb = FoldName(b.Name);
                if (fa != fb) return fa < fb;
            }
            return a.Name < b.Name;
        });
    };
    sortTable(strings_);
    sortTable(bytes_);
    sortTable(longs_);
    sortTable(singles_);
}

std::string qValues::GetString(const std::string& iName, const std::string& iDefault) const {
    return Get(&qValues::strings_, iName, iDefault);
}
int32_t qValues::GetLong(const std::string& iName, int32_t iDefault) const {
    return Get(&qValues::longs_, iName, iDefault);
}
float qValues::GetSingle(const std::string& iName, float iDefault) const {
    return Get(&qValues::singles_, iName, iDefault);
}
uint8_t qValues::GetByte(const std::string& iName, uint8_t iDefault) const {
    return Get(&qValues::bytes_, iName, iDefault);
}

void qValues::SetString(const std::string& iName, const std::string& iValue) { Set(strings_, iName, iValue); }
void qValues::SetSingle(const std::string& iName, float iValue) { Set(singles_, iName, iValue); }
void qValues::SetByte(const std::string& iName, uint8_t iValue) { Set(bytes_, iName, iValue); }
void qValues::SetLong(const std::string& iName, int32_t iValue) { Set(longs_, iName, iValue); }

void qValues::SetDefaultString(const std::string& iName, const std::string& iValue) {
    SetDefault(strings_, iName, iValue);
}
void qValues::SetDefaultLong(const std::string& iName, int32_t iValue) { SetDefault(longs_, iName, iValue); }
void qValues::SetDefaultSingle(const std::string& iName, float iValue) {
    SetDefault(singles_, iName, iValue);
}
void qValues::SetDefaultByte(const std::string& iName, uint8_t iValue) { SetDefault(bytes_, iName, iValue); }

}  // namespace zol

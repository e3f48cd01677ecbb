#include "framework/data/qValues.h"

#include <algorithm>
#include <charconv>

#include "framework/data/qStream.h"

namespace zol {

namespace {

// Template chains are followed this far at most, so that a loop of templates cannot hang.
constexpr int kMaxTemplateDepth = 256;

int32_t HashUnits(std::u16string_view units) {
    uint32_t weighted = 0;
    const size_t k = std::min<size_t>(units.size(), 32);
    for (size_t j = 0; j < k; ++j) weighted += static_cast<uint32_t>(j + 1) * UnitToCp1252(units[j]);
    return static_cast<int32_t>(static_cast<uint32_t>(units.size()) + 8192u * weighted);
}

template <class V>
void FillHashes(qValues::Entry<V>& e) {
    e.Hash = HashUnits(e.Name);
    e.FoldedHash = HashUnits(FoldCase(e.Name));
}

// Folding keeps every unit in its place, so a position found in the folded text is the
// same position in the text itself.
std::u16string Folded(std::u16string_view s, bool fold) {
    return fold ? FoldCase(s) : std::u16string(s);
}

// Replaces every occurrence of what (found under the compare mode) by with, left to right.
void ReplaceAll(std::u16string& s, const std::u16string& what, const std::u16string& with,
                bool fold) {
    const std::u16string key = Folded(what, fold), hay = Folded(s, fold);
    std::u16string out;
    size_t from = 0;
    for (size_t at = hay.find(key); at != std::u16string::npos; at = hay.find(key, from)) {
        out.append(s, from, at - from);
        out += with;
        from = at + key.size();
    }
    out.append(s, from, std::u16string::npos);
    s = std::move(out);
}

std::u16string Ascii16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string ValueText(const std::u16string& v) { return v; }
std::u16string ValueText(uint8_t v) { return Ascii16(std::to_string(v)); }
std::u16string ValueText(int32_t v) { return Ascii16(std::to_string(v)); }
std::u16string ValueText(float v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return Ascii16(std::string(buf, r.ptr));
}

template <class V>
bool IsZero(const V& v) {
    if constexpr (std::is_same_v<V, std::u16string>)
        return v.empty();
    else
        return v == V{};
}

template <class V>
void WriteValue(qStream& s, const V& v) {
    if constexpr (std::is_same_v<V, std::u16string>) s.WriteString(v);
    if constexpr (std::is_same_v<V, uint8_t>) s.WriteByte(v);
    if constexpr (std::is_same_v<V, int32_t>) s.WriteLong(v);
    if constexpr (std::is_same_v<V, float>) s.WriteSingle(v);
}

template <class V>
void ReadValue(qStream& s, V& v) {
    if constexpr (std::is_same_v<V, std::u16string>) s.ReadString(v);
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

template <class V, class S>
int32_t ListNames(const qValues::Table<V>& t, std::vector<S>& out) {
    if (t.empty()) return -1;
    out.clear();
    for (const auto& e : t) {
        if constexpr (std::is_same_v<S, std::string>)
            out.push_back(Utf16ToUtf8(e.Name));
        else
            out.push_back(e.Name);
    }
    return static_cast<int32_t>(t.size()) - 1;
}

}  // namespace

int32_t HashName(const Text16& Name) { return HashUnits(Name.View()); }

template <class V>
const qValues::Entry<V>* qValues::Find(const Table<V>& table, std::u16string_view name) const {
    if (CompareMode == 1) {
        const std::u16string folded = FoldCase(name);
        const int32_t hash = HashUnits(folded);
        for (const auto& e : table)
            if (e.FoldedHash == hash && FoldCase(e.Name) == folded) return &e;
    } else {
        const int32_t hash = HashUnits(name);
        for (const auto& e : table)
            if (e.Hash == hash && e.Name == name) return &e;
    }
    return nullptr;
}

template <class V>
V qValues::Get(Table<V> qValues::*table, std::u16string_view name, const V& def) const {
    if (name.empty()) return V{};
    const qValues* v = this;
    for (int hop = 0; v && hop < kMaxTemplateDepth; ++hop, v = v->Template)
        if (const auto* e = v->Find(v->*table, name)) return e->Value;
    return def;
}

template <class V>
void qValues::Set(Table<V>& table, std::u16string_view name, const V& value) {
    if (name.empty()) return;
    const auto* found = Find(table, name);
    const size_t i = found ? static_cast<size_t>(found - table.data()) : table.size();
    if (!IsZero(value)) {
        if (i == table.size()) {
            if (table.size() >= static_cast<size_t>(kMaxEntries)) return;
            table.push_back({std::u16string(name), value, 0, 0});
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
void qValues::SetDefault(Table<V>& table, std::u16string_view name, const V& value) {
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
    Table<std::u16string> strings;
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
int32_t qValues::GetLongList(std::vector<std::u16string>& oList) const {
    return ListNames(longs_, oList);
}
int32_t qValues::GetByteList(std::vector<std::u16string>& oList) const {
    return ListNames(bytes_, oList);
}
int32_t qValues::GetStringList(std::vector<std::u16string>& oList) const {
    return ListNames(strings_, oList);
}
int32_t qValues::GetSingleList(std::vector<std::u16string>& oList) const {
    return ListNames(singles_, oList);
}

std::u16string qValues::FormatText(const std::u16string& iText) const {
    std::u16string s = iText;
    const bool fold = CompareMode == 1;
    const auto apply = [&](const auto& table) {
        for (const auto& e : table) {
            const std::u16string placeholder = u"[" + e.Name + u"]";
            if (Folded(s, fold).find(Folded(placeholder, fold)) == std::u16string::npos) continue;
            ReplaceAll(s, placeholder, ValueText(e.Value), fold);
        }
    };
    apply(bytes_);
    apply(longs_);
    apply(singles_);
    apply(strings_);
    return s;
}

std::string qValues::FormatText(const std::string& iText) const {
    return Utf16ToUtf8(FormatText(Utf8ToUtf16(iText)));
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
                const std::u16string fa = FoldCase(a.Name), fb = FoldCase(b.Name);
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

std::string qValues::GetString(const Text16& iName, const std::string& iDefault) const {
    // Only a found value is converted, so a default comes back byte for byte.
    const qValues* v = this;
    if (iName.Empty()) return std::string();
    for (int hop = 0; v && hop < kMaxTemplateDepth; ++hop, v = v->Template)
        if (const auto* e = v->Find(v->strings_, iName.View())) return Utf16ToUtf8(e->Value);
    return iDefault;
}
std::u16string qValues::GetString(const Text16& iName, const std::u16string& iDefault) const {
    return Get(&qValues::strings_, iName.View(), iDefault);
}
int32_t qValues::GetLong(const Text16& iName, int32_t iDefault) const {
    return Get(&qValues::longs_, iName.View(), iDefault);
}
float qValues::GetSingle(const Text16& iName, float iDefault) const {
    return Get(&qValues::singles_, iName.View(), iDefault);
}
uint8_t qValues::GetByte(const Text16& iName, uint8_t iDefault) const {
    return Get(&qValues::bytes_, iName.View(), iDefault);
}

void qValues::SetString(const Text16& iName, const Text16& iValue) {
    Set(strings_, iName.View(), iValue.Units());
}
void qValues::SetSingle(const Text16& iName, float iValue) { Set(singles_, iName.View(), iValue); }
void qValues::SetByte(const Text16& iName, uint8_t iValue) { Set(bytes_, iName.View(), iValue); }
void qValues::SetLong(const Text16& iName, int32_t iValue) { Set(longs_, iName.View(), iValue); }

void qValues::SetDefaultString(const Text16& iName, const Text16& iValue) {
    SetDefault(strings_, iName.View(), iValue.Units());
}
void qValues::SetDefaultLong(const Text16& iName, int32_t iValue) {
    SetDefault(longs_, iName.View(), iValue);
}
void qValues::SetDefaultSingle(const Text16& iName, float iValue) {
    SetDefault(singles_, iName.View(), iValue);
}
void qValues::SetDefaultByte(const Text16& iName, uint8_t iValue) {
    SetDefault(bytes_, iName.View(), iValue);
}

}  // namespace zol

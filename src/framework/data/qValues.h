// qValues: four small tables of named values (strings, bytes, Longs, Singles).
//
// What it does: lookup by name with a fallback to a template object, store/replace/remove
// (a value equal to its type's zero is never stored: setting it removes the entry), text
// templating of "[Name]" placeholders, and Export/Import into a qStream: for each table
// in the order strings, bytes, Longs, Singles an Integer count and the entries (String
// name, value), then the String TemplateGUID.
// Names and string values are 16-bit units (Text16 takes them as they are or from UTF-8).
// Names compare exactly under CompareMode 0 and without regard to letter case under 1
// (Unicode simple case folding, the same for lookups and FormatText); each entry keeps
// the hash of its exact name and of its folded name so that a lookup in either mode can
// rule entries out by hash first. Names and strings are stored as 8-bit strings: a unit
// that Windows-1252 lacks is stored as "?".
// Who owns what: the tables are owned here; Template is borrowed (its owner keeps it alive).
// Failure: no operation reports errors. Import of a damaged stream leaves all tables and
// TemplateGUID as they were; a table never grows past the 32767 entries its count can hold.
// Export of a string the stream refuses (over 65536 bytes) leaves the stream refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/qText.h"
#include "framework/data/qPersistable.h"

namespace zol {

class qValues final : public qPersistable {
public:
    static constexpr int32_t kMaxEntries = 32767;

    qValues* Template = nullptr;  // consulted for names this object does not hold
    std::string TemplateGUID;     // GUID of the template, kept by Export
    int32_t CompareMode = 0;      // 0 exact, 1 ignoring letter case

    std::string ClassName() const override { return "qValues"; }
    // Writes the serialised form into iFile.
    void Export(qStream& iFile) const override;
    // Replaces all tables and TemplateGUID from iFile; a damaged form changes nothing.
    void Import(qStream& iFile) override;
    // Fill oList with the names of a table in table order; count - 1 (-1 when empty, and
    // then oList is left as it was).
    int32_t GetLongList(std::vector<std::string>& oList) const;
    int32_t GetByteList(std::vector<std::string>& oList) const;
    int32_t GetStringList(std::vector<std::string>& oList) const;
    int32_t GetSingleList(std::vector<std::string>& oList) const;
    int32_t GetLongList(std::vector<std::u16string>& oList) const;
    int32_t GetByteList(std::vector<std::u16string>& oList) const;
    int32_t GetStringList(std::vector<std::u16string>& oList) const;
    int32_t GetSingleList(std::vector<std::u16string>& oList) const;
    // iText with every "[Name]" of a held entry replaced by its value.
    std::string FormatText(const std::string& iText) const;
    std::u16string FormatText(const std::u16string& iText) const;
    // Template = iTemplate; TemplateGUID = its GUID.
    void SetTemplate(qValues* iTemplate);
    // Puts each table in name order (under CompareMode).
    void SortNames();

    // Lookup: the zero value for an empty name, else the entry, else the template's
    // answer, else iDefault. A string comes back in the form of its default.
    std::string GetString(const Text16& iName, const std::string& iDefault) const;
    std::u16string GetString(const Text16& iName, const std::u16string& iDefault) const;
    int32_t GetLong(const Text16& iName, int32_t iDefault) const;
    float GetSingle(const Text16& iName, float iDefault) const;
    uint8_t GetByte(const Text16& iName, uint8_t iDefault) const;
    // Store or replace; the zero value removes the entry (the last entry takes its place).
    void SetString(const Text16& iName, const Text16& iValue);
    void SetSingle(const Text16& iName, float iValue);
    void SetByte(const Text16& iName, uint8_t iValue);
    void SetLong(const Text16& iName, int32_t iValue);
    // Store only when the name is absent.
    void SetDefaultString(const Text16& iName, const Text16& iValue);
    void SetDefaultLong(const Text16& iName, int32_t iValue);
    void SetDefaultSingle(const Text16& iName, float iValue);
    void SetDefaultByte(const Text16& iName, uint8_t iValue);
    // Property-style access: read with the zero value as default, write as Set.
    std::string StringValue(const Text16& iName) const { return GetString(iName, std::string()); }
    int32_t LongValue(const Text16& iName) const { return GetLong(iName, 0); }
    float SingleValue(const Text16& iName) const { return GetSingle(iName, 0); }
    uint8_t ByteValue(const Text16& iName) const { return GetByte(iName, 0); }
    void StringValue(const Text16& iName, const Text16& iValue) { SetString(iName, iValue); }
    void LongValue(const Text16& iName, int32_t iValue) { SetLong(iName, iValue); }
    void SingleValue(const Text16& iName, float iValue) { SetSingle(iName, iValue); }
    void ByteValue(const Text16& iName, uint8_t iValue) { SetByte(iName, iValue); }

    template <class V>
    struct Entry {
        std::u16string Name;
        V Value{};
        int32_t Hash = 0;        // HashName of Name
        int32_t FoldedHash = 0;  // HashName of Name with letter case folded
    };

    template <class V>
    using Table = std::vector<Entry<V>>;  // entries in table order (0-based here)

private:
    template <class V>
    const Entry<V>* Find(const Table<V>& table, std::u16string_view name) const;
    template <class V>
    V Get(Table<V> qValues::*table, std::u16string_view name, const V& def) const;
    template <class V>
    void Set(Table<V>& table, std::u16string_view name, const V& value);
    template <class V>
    void SetDefault(Table<V>& table, std::u16string_view name, const V& value);

    Table<std::u16string> strings_;
    Table<uint8_t> bytes_;
    Table<int32_t> longs_;
    Table<float> singles_;
};

// n + 8192 * (1*c1 + 2*c2 + ... + k*ck) over the Windows-1252 codes of the first
// k = min(n, 32) of the n 16-bit units of a name; 0 for an empty name.
int32_t HashName(const Text16& Name);

}  // namespace zol

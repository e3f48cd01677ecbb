// Writes random values of every type through a byte stream, a named-value table's export
// and a chunk file on disk, reads them back and writes them again. Every value must come
// back as the format holds it (16-bit strings unit for unit, 8-bit strings one
// Windows-1252 byte per unit) and the second write must give the same bytes; or the
// first write must be refused (a string over the limit) with nothing written and the
// file on disk as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "framework/core/qText.h"
#include "framework/data/qCamera.h"
#include "framework/data/qFile.h"
#include "framework/data/qStreamFile.h"
#include "framework/data/qValues.h"

namespace {

using namespace zol;
using Bytes = std::vector<uint8_t>;

// Aborts, naming the line of the check that failed.
void Check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "data_roundtrip: check on line %d failed\n", line);
    std::abort();
}

Bytes Of(const qStream& s) {
    Bytes out;
    s.GetData(out);
    out.resize(static_cast<size_t>(s.GetLength()));
    return out;
}

// What an 8-bit string keeps of a unit, written out here apart from the codec: ASCII,
// Latin-1, the 27 characters Windows-1252 puts at 0x80..0x9F and the five codes it leaves
// undefined; every other unit (surrogates too) is "?".
char16_t Keep8Slow(char16_t u) {
    static const char16_t kHigh[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                     0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                     0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    if (u == 0x81 || u == 0x8D || u == 0x8F || u == 0x90 || u == 0x9D) return u;
    for (char16_t h : kHigh)
        if (h == u) return u;
    return u'?';
}

char16_t Keep8(char16_t u) {
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> t(0x10000);
        for (size_t i = 0; i < t.size(); ++i) t[i] = Keep8Slow(static_cast<char16_t>(i));
        return t;
    }();
    return table[u];
}

std::u16string Keep8(const std::u16string& s) {
    std::u16string out = s;
    for (char16_t& u : out) u = Keep8(u);
    return out;
}

std::string Keep8Utf8(const std::string& s) { return Utf16ToUtf8(Keep8(Utf8ToUtf16(s))); }

constexpr size_t kLimit = qStream::kMaxStringBytes;

// Strings at the limits are slow to make and check, so one input in 512 may make one (at
// most): chosen by a hash of the input, so that a mutation of such an input is no more
// likely to make one and every run of an input does the same.
bool g_longAllowed = false;

bool LongAllowed(const uint8_t* data, size_t size) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
    return (h >> 10) % 512 == 0;
}

// A String of units from all of Unicode (pairs past the basic plane), lone surrogates,
// the unit of every byte value and ASCII letters (for case); rarely stretched to a
// length at or just past the limits of 8-bit and 16-bit strings.
std::u16string RandomText(FuzzedDataProvider& in) {
    std::u16string s;
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, 10);
    for (size_t i = 0; i < n && in.remaining_bytes() > 0; ++i) {
        switch (in.ConsumeIntegralInRange<int>(0, 4)) {
            case 0: s += Cp1252ToUnit(in.ConsumeIntegral<uint8_t>()); break;
            case 1: s += static_cast<char16_t>(in.ConsumeIntegral<uint16_t>()); break;
            case 2: {
                const char32_t cp = in.ConsumeIntegralInRange<char32_t>(0x10000, 0x10FFFF) - 0x10000;
                s += static_cast<char16_t>(0xD800 + (cp >> 10));
                s += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
                break;
            }
            case 3: s += static_cast<char16_t>(in.ConsumeIntegralInRange<int>('A', 'Z') + 32 * in.ConsumeBool()); break;
            default: s += static_cast<char16_t>(in.ConsumeIntegralInRange<int>(0xD800, 0xDFFF)); break;
        }
    }
    const uint8_t shape = in.ConsumeIntegral<uint8_t>() == 255 ? in.ConsumeIntegral<uint8_t>() : 0;
    if (shape >= 250 && g_longAllowed) {
        g_longAllowed = false;
        static const size_t kLengths[] = {kLimit / 2, kLimit / 2 + 1, kLimit - 1, kLimit,
                                          kLimit + 1, 3 * kLimit / 2};
        const std::u16string unit = s.empty() ? u"x" : s;
        s.clear();
        while (s.size() < kLengths[shape - 250]) s += unit;
        s.resize(kLengths[shape - 250]);  // may cut a pair: a lone surrogate is fine
    }
    return s;
}

// ---- The stream ------------------------------------------------------------------

enum Kind { kByte, kBool, kInteger, kLong, kSingle, kDouble, kDate, kString, kStringU,
            kArray, kStream, kExport, kByte2D, kLong2D, kInteger2D, kKinds };

struct Item {
    Kind K{};
    uint64_t Number = 0;  // the bits of every number kind
    std::u16string Text;
    Bytes Raw;
    int32_t Size1 = 0, Size2 = 0;
};

Item RandomItem(FuzzedDataProvider& in) {
    Item it;
    it.K = static_cast<Kind>(in.ConsumeIntegralInRange<int>(0, kKinds - 1));
    it.Number = in.ConsumeIntegral<uint64_t>();
    if (it.K == kBool) it.Number &= 1;
    if (it.K == kString || it.K == kStringU) it.Text = RandomText(in);
    if (it.K == kArray || it.K == kStream || it.K == kExport)
        it.Raw = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 40));
    if (it.K >= kByte2D) {
        it.Size1 = in.ConsumeIntegralInRange<int32_t>(0, 4);
        it.Size2 = in.ConsumeIntegralInRange<int32_t>(0, 4);
        const size_t width = it.K == kByte2D ? 1 : it.K == kLong2D ? 4 : 2;
        it.Raw = in.ConsumeBytes<uint8_t>(static_cast<size_t>(it.Size1 * it.Size2) * width);
        it.Raw.resize(static_cast<size_t>(it.Size1 * it.Size2) * width);
    }
    return it;
}

// The bytes a write of the item adds.
size_t WrittenSize(const Item& it) {
    static const size_t kFixed[] = {1, 1, 2, 4, 4, 8, 8};
    if (it.K <= kDate) return kFixed[it.K];
    if (it.K == kString) return 4 + it.Text.size();
    if (it.K == kStringU) return 4 + 2 * it.Text.size();
    if (it.K == kArray || it.K == kStream) return 4 + it.Raw.size();
    if (it.K == kExport) return 8 + std::max<size_t>(it.Raw.size(), 1);
    return 8 + it.Raw.size();
}

// True when the write of the item must be refused.
bool Refused(const Item& it) {
    if (it.K == kString) return it.Text.size() > kLimit;
    if (it.K == kStringU) return it.Text.size() * 2 > kLimit;
    return false;
}

template <class T>
Array2D<T> ArrayOf(const Item& it) {
    Array2D<T> a(it.Size1, it.Size2);
    if (!a.Items.empty()) std::memcpy(a.Items.data(), it.Raw.data(), it.Raw.size());
    return a;
}

template <class T>
Bytes RawOf(const Array2D<T>& a) {
    Bytes out(a.Items.size() * sizeof(T));
    if (!out.empty()) std::memcpy(out.data(), a.Items.data(), out.size());
    return out;
}

qStream StreamOf(const Bytes& raw) {
    qStream s;
    s.SetData(raw);
    return s;
}

void Write(qStream& s, const Item& it) {
    const uint64_t n = it.Number;
    float f;
    double d;
    std::memcpy(&f, &n, 4);
    std::memcpy(&d, &n, 8);
    switch (it.K) {
        case kByte: s.WriteByte(static_cast<uint8_t>(n)); break;
        case kBool: s.WriteBool(n != 0); break;
        case kInteger: s.WriteInteger(static_cast<int16_t>(n)); break;
        case kLong: s.WriteLong(static_cast<int32_t>(n)); break;
        case kSingle: s.WriteSingle(f); break;
        case kDouble: s.WriteDouble(d); break;
        case kDate: s.WriteDate(d); break;
        case kString: s.WriteString(it.Text); break;
        case kStringU: s.WriteStringU(it.Text); break;
        case kArray: s.WriteArray(it.Raw); break;
        case kStream: s.WriteStream(StreamOf(it.Raw)); break;
        case kExport: StreamOf(it.Raw).Export(s); break;
        case kByte2D: s.WriteArrayByte2D(ArrayOf<uint8_t>(it)); break;
        case kLong2D: s.WriteArrayLong2D(ArrayOf<int32_t>(it)); break;
        case kInteger2D: s.WriteArrayInteger2D(ArrayOf<int16_t>(it)); break;
        case kKinds: break;
    }
}

// Reads an item of the kind of want; the value as read.
Item Read(qStream& s, const Item& want) {
    Item got;
    got.K = want.K;
    switch (want.K) {
        case kByte: { uint8_t v = 0; s.ReadByte(v); got.Number = v; break; }
        case kBool: { bool v = false; s.ReadBool(v); got.Number = v; break; }
        case kInteger: { int16_t v = 0; s.ReadInteger(v); got.Number = static_cast<uint16_t>(v); break; }
        case kLong: { int32_t v = 0; s.ReadLong(v); got.Number = static_cast<uint32_t>(v); break; }
        case kSingle: { float v = 0; s.ReadSingle(v); uint32_t b; std::memcpy(&b, &v, 4); got.Number = b; break; }
        case kDouble: { double v = 0; s.ReadDouble(v); std::memcpy(&got.Number, &v, 8); break; }
        case kDate: { double v = 0; s.ReadDate(v); std::memcpy(&got.Number, &v, 8); break; }
        case kString: s.ReadString(got.Text); break;
        case kStringU: s.ReadStringU(got.Text); break;
        case kArray: s.ReadArray(got.Raw); break;
        case kStream: { qStream v; s.ReadStream(v); got.Raw = Of(v); break; }
        case kExport: { qStream v; v.Import(s); got.Raw = Of(v); break; }
        case kByte2D: { Array2D<uint8_t> a; s.ReadArrayByte2D(a); got.Raw = RawOf(a); got.Size1 = a.Size1; got.Size2 = a.Size2; break; }
        case kLong2D: { Array2D<int32_t> a; s.ReadArrayLong2D(a); got.Raw = RawOf(a); got.Size1 = a.Size1; got.Size2 = a.Size2; break; }
        case kInteger2D: { Array2D<int16_t> a; s.ReadArrayInteger2D(a); got.Raw = RawOf(a); got.Size1 = a.Size1; got.Size2 = a.Size2; break; }
        case kKinds: break;
    }
    return got;
}

// The value a reader must give back for what was written.
Item Expected(const Item& it) {
    Item e = it;
    const uint64_t widths[] = {1, 1, 2, 4, 4, 8, 8};
    if (it.K <= kDate) e.Number &= widths[it.K] == 8 ? ~0ull : (1ull << (8 * widths[it.K])) - 1;
    else e.Number = 0;
    if (it.K == kString) e.Text = Keep8(it.Text);
    return e;
}

bool Same(const Item& a, const Item& b) {
    return a.Number == b.Number && a.Text == b.Text && a.Raw == b.Raw && a.Size1 == b.Size1 &&
           a.Size2 == b.Size2;
}

// ---- The named-value table -----------------------------------------------------------

// The table's rules written out plainly: entries in order, found under the compare mode,
// appended when new, the last moved into the place of a removed one.
struct Model {
    struct E {
        std::u16string Name, Key;  // Key: the name as compared (folded under mode 1)
        uint64_t Value;            // bits of Byte, Long or Single, or an index into Texts
    };
    std::vector<E> Tables[4];
    std::vector<std::u16string> Texts;
    bool Fold = false;

    std::u16string KeyOf(const std::u16string& name) const { return Fold ? FoldCase(name) : name; }
    int Find(int t, const std::u16string& name) const {
        const std::u16string key = KeyOf(name);
        for (size_t i = 0; i < Tables[t].size(); ++i)
            if (Tables[t][i].Key == key) return static_cast<int>(i);
        return -1;
    }
};

bool IsZeroValue(int t, uint64_t v, const Model& m) {
    if (t == 0) return m.Texts[v].empty();
    if (t == 3) {
        float f;
        const uint32_t b = static_cast<uint32_t>(v);
        std::memcpy(&f, &b, 4);
        return f == 0.0f;
    }
    return v == 0;
}

void Apply(qValues& q, Model& m, int t, const std::u16string& name, uint64_t v, bool dflt) {
    float f;
    const uint32_t b = static_cast<uint32_t>(v);
    std::memcpy(&f, &b, 4);
    switch (t) {
        case 0: dflt ? q.SetDefaultString(name, m.Texts[v]) : q.SetString(name, m.Texts[v]); break;
        case 1: dflt ? q.SetDefaultByte(name, static_cast<uint8_t>(v)) : q.SetByte(name, static_cast<uint8_t>(v)); break;
        case 2: dflt ? q.SetDefaultLong(name, static_cast<int32_t>(v)) : q.SetLong(name, static_cast<int32_t>(v)); break;
        default: dflt ? q.SetDefaultSingle(name, f) : q.SetSingle(name, f); break;
    }
    if (name.empty()) return;
    auto& table = m.Tables[t];
    const int i = m.Find(t, name);
    if (dflt && i >= 0) return;
    if (!IsZeroValue(t, v, m)) {
        if (i >= 0) table[static_cast<size_t>(i)].Value = v;
        else table.push_back({name, m.KeyOf(name), v});
    } else if (i >= 0) {
        table[static_cast<size_t>(i)] = table.back();
        table.pop_back();
    }
}

// The value the table gives for name, as bits or text.
uint64_t Lookup(const qValues& q, int t, const std::u16string& name, std::u16string& text) {
    switch (t) {
        case 0: text = q.GetString(name, std::u16string()); return 0;
        case 1: return q.GetByte(name, 0);
        case 2: return static_cast<uint32_t>(q.GetLong(name, 0));
        default: {
            const float f = q.GetSingle(name, 0);
            uint32_t b;
            std::memcpy(&b, &f, 4);
            return b;
        }
    }
}

std::vector<std::u16string> Names(const qValues& q, int t) {
    std::vector<std::u16string> out;
    if (t == 0) q.GetStringList(out);
    if (t == 1) q.GetByteList(out);
    if (t == 2) q.GetLongList(out);
    if (t == 3) q.GetSingleList(out);
    return out;
}

// The table holds what the model says, with names and strings as fold maps them (the
// identity, or what an 8-bit string keeps), looked up by first match as the model finds.
void CheckTable(const qValues& q, const Model& m, std::u16string (*keep)(const std::u16string&)) {
    Model kept;
    kept.Fold = m.Fold;
    for (int t = 0; t < 4; ++t) {
        kept.Tables[t] = m.Tables[t];
        for (auto& e : kept.Tables[t]) {
            e.Name = keep(e.Name);
            e.Key = kept.KeyOf(e.Name);
        }
    }
    for (int t = 0; t < 4; ++t) {
        std::vector<std::u16string> want;
        for (const auto& e : kept.Tables[t]) want.push_back(e.Name);
        Check(Names(q, t) == want);
        for (const auto& e : kept.Tables[t]) {
            const auto& first = kept.Tables[t][static_cast<size_t>(kept.Find(t, e.Name))];
            std::u16string text;
            const uint64_t got = Lookup(q, t, e.Name, text);
            if (t == 0) Check(text == keep(m.Texts[first.Value]));
            else Check(got == (first.Value & (t == 1 ? 0xFF : 0xFFFFFFFF)));
        }
    }
}

std::u16string Same16(const std::u16string& s) { return s; }
std::u16string Keep8Text(const std::u16string& s) { return Keep8(s); }

bool TableRefused(const Model& m, const std::string& templateGuid) {
    if (Utf8ToUtf16(templateGuid).size() > kLimit) return true;
    for (const auto& table : m.Tables)
        for (const auto& e : table)
            if (e.Name.size() > kLimit) return true;
    for (const auto& e : m.Tables[0])
        if (m.Texts[e.Value].size() > kLimit) return true;
    return false;
}

// ---- The chunk file ----------------------------------------------------------------

Bytes ReadAll(const std::string& path) {
    Bytes out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.insert(out.end(), buf, buf + n);
        std::fclose(f);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    g_longAllowed = LongAllowed(data, size);

    // Values of every kind through one stream, read back, written again.
    std::vector<Item> items;
    qStream first;
    const size_t count = in.ConsumeIntegralInRange<size_t>(0, 12);
    for (size_t i = 0; i < count && in.remaining_bytes() > 0; ++i) {
        Item it = RandomItem(in);
        const int32_t before = first.GetLength();
        Write(first, it);
        if (Refused(it)) {
            Check(first.WriteRefused() && first.GetLength() == before);
            continue;
        }
        Check(static_cast<size_t>(first.GetLength() - before) == WrittenSize(it));
        items.push_back(std::move(it));
    }
    qStream reader = StreamOf(Of(first)), second;
    for (const Item& it : items) {
        const Item got = Read(reader, it);
        const Item want = Expected(it);
        // An empty string is stored as its count alone and leaves the target as it was.
        Check(Same(got, want));
        Write(second, got);
    }
    Check(!reader.Failed() && reader.Remaining() == 0);
    Check(!second.WriteRefused() && Of(second) == Of(first));

    // A named-value table: random sets, removals and defaults checked against the model,
    // then exported, imported and exported again.
    qValues values;
    Model model;
    model.Fold = in.ConsumeBool();
    values.CompareMode = model.Fold ? 1 : 0;
    std::vector<std::u16string> pool;
    const size_t ops = in.ConsumeIntegralInRange<size_t>(0, 16);
    for (size_t i = 0; i < ops && in.remaining_bytes() > 0; ++i) {
        // Names come from a small pool, in changed case half the time, so that names meet.
        std::u16string name;
        if (!pool.empty() && in.ConsumeBool()) {
            name = pool[in.ConsumeIntegralInRange<size_t>(0, pool.size() - 1)];
            if (in.ConsumeBool())
                for (char16_t& u : name)
                    if (u < 0x80 && ((u | 32) >= 'a' && (u | 32) <= 'z')) u ^= 32;
        } else {
            name = RandomText(in);
            if (name.size() < 64) pool.push_back(name);  // a long name is used once
        }
        const int t = in.ConsumeIntegralInRange<int>(0, 3);
        uint64_t v = in.ConsumeBool() ? 0 : in.ConsumeIntegral<uint32_t>();
        if (t == 0) {
            model.Texts.push_back(v == 0 ? std::u16string() : RandomText(in));
            v = model.Texts.size() - 1;
        }
        if (t == 1) v &= 0xFF;
        Apply(values, model, t, name, v, in.ConsumeBool());
    }
    values.TemplateGUID = Utf16ToUtf8(RandomText(in));
    values.GUID = Utf16ToUtf8(RandomText(in));
    CheckTable(values, model, Same16);

    qFile file;
    file.Tag = in.ConsumeIntegral<int32_t>();
    qStream exported;
    values.Export(exported);
    const bool tableRefused = TableRefused(model, values.TemplateGUID);
    Check(exported.WriteRefused() == tableRefused);
    if (tableRefused) {
        Check(!file.SaveObject(values) && file.GetChunkCount() == 0);
    } else {
        qStream copy = StreamOf(Of(exported)), again;
        qValues back;
        back.CompareMode = values.CompareMode;
        back.Import(copy);
        Check(!copy.Failed() && copy.Remaining() == 0);
        CheckTable(back, model, Keep8Text);
        back.Export(again);
        Check(Of(again) == Of(exported));
        Check(file.SaveObject(values) && file.GetChunkCount() == 1);
    }

    // A chunk file of several chunks on disk over an older file, loaded and saved again.
    const size_t chunks = in.ConsumeIntegralInRange<size_t>(0, 4);
    for (size_t i = 0; i < chunks && in.remaining_bytes() > 0; ++i) {
        auto s = std::make_shared<qStream>(StreamOf(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 64))));
        file.AddChunk(Utf16ToUtf8(RandomText(in)), Utf16ToUtf8(RandomText(in)), s);
    }
    if (in.ConsumeBool()) {
        auto cam = std::make_shared<qCamera>();
        cam->X = in.ConsumeFloatingPoint<float>();
        file.AddInstance(cam, Utf16ToUtf8(RandomText(in)));
        Check(file.UpdateInstanceStreams());
    }
    bool fileRefused = false;
    for (int32_t i = 1; i <= file.GetChunkCount(); ++i) {
        std::string cls, guid;
        int32_t flags, sz;
        file.GetChunkInfo(i, cls, guid, flags, sz);
        fileRefused |= Utf8ToUtf16(cls).size() > kLimit || Utf8ToUtf16(guid).size() > kLimit;
    }
    // The payload in memory every time: it must read back to the same chunks and write the
    // same bytes again, or be refused.
    qStream payload;
    if (!file.SavePayload(payload)) {
        Check(fileRefused);
        // Refused on disk too, with the older file left as it was.
        const std::string path = fuzz::WriteInputFile("roundtrip", ".qrt", data, size);
        Check(!file.Save(path, in.ConsumeBool(), "") && ReadAll(path) == Bytes(data, data + size));
        return 0;
    }
    Check(!fileRefused);
    qFile loaded;
    qStream payloadReader = StreamOf(Of(payload));
    Check(loaded.LoadPayload(payloadReader) && payloadReader.Remaining() == 0);
    Check(loaded.Tag == file.Tag && loaded.GetChunkCount() == file.GetChunkCount());
    for (int32_t i = 1; i <= file.GetChunkCount(); ++i) {
        std::string cls, guid, cls2, guid2;
        int32_t flags, sz, flags2, sz2;
        file.GetChunkInfo(i, cls, guid, flags, sz);
        loaded.GetChunkInfo(i, cls2, guid2, flags2, sz2);
        const auto d = file.GetChunkData(i);
        Check(cls2 == Keep8Utf8(cls) && guid2 == Keep8Utf8(guid) && flags2 == flags);
        Check(sz2 == (d ? d->GetLength() : 0));
        Check(Of(*loaded.GetChunkData(i)) == (d ? Of(*d) : Bytes{}));
    }
    qStream payload2;
    Check(loaded.SavePayload(payload2) && Of(payload2) == Of(payload));
    // The table comes back from its chunk while the first chunk of its GUID still holds it.
    const int32_t at = loaded.FindChunk(Keep8Utf8(values.GUID));
    std::string cls, guid;
    int32_t flags, sz;
    if (!tableRefused && loaded.GetChunkInfo(at, cls, guid, flags, sz) && cls == "qValues" &&
        Of(*loaded.GetChunkData(at)) == Of(exported)) {
        auto obj = std::dynamic_pointer_cast<qValues>(loaded.LoadObject(Keep8Utf8(values.GUID)));
        Check(obj != nullptr);
        qStream again;
        obj->Export(again);
        Check(Of(again) == Of(exported));
    }

    // Now and then the same through a file on disk, over an older file.
    if (!(in.ConsumeBool() && in.ConsumeBool() && in.ConsumeBool())) return 0;
    const std::string path = fuzz::WriteInputFile("roundtrip", ".qrt", data, size);
    const bool zipped = in.ConsumeBool();
    const std::string password = Utf16ToUtf8(RandomText(in).substr(0, 8));
    Check(file.Save(path, zipped, password));
    const Bytes stored = ReadAll(path);
    qFile fromDisk;
    Check(fromDisk.Load(path, password));
    qStream payload3;
    Check(fromDisk.SavePayload(payload3) && Of(payload3) == Of(payload));
    Check(fromDisk.Save(path, zipped, password) && ReadAll(path) == stored);
    return 0;
}

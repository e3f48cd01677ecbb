#include <gtest/gtest.h>

#include "framework/core/qText.h"
#include "framework/data/qStream.h"

namespace zol {
namespace {

std::vector<uint8_t> Bytes(const qStream& s) {
    std::vector<uint8_t> out;
    s.GetData(out);
    return out;
}

using V = std::vector<uint8_t>;

TEST(Stream, EncodingsAreLittleEndianWithCounts) {
    qStream s;
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_EQ(Bytes(s), V{0});  // an empty stream keeps one zero byte

    s.WriteLong(1);
    s.WriteInteger(-1);
    s.WriteBool(true);
    EXPECT_EQ(Bytes(s), (V{1, 0, 0, 0, 0xFF, 0xFF, 1}));

    qStream u;
    u.WriteStringU("ab");
    EXPECT_EQ(Bytes(u), (V{4, 0, 0, 0, 'a', 0, 'b', 0}));

    qStream e;
    e.WriteString("");
    EXPECT_EQ(Bytes(e), (V{0, 0, 0, 0}));
    std::string target = "kept";
    e.ReadString(target);
    EXPECT_EQ(target, "kept");
    EXPECT_FALSE(e.Failed());

    // Windows-1252 on the wire, UTF-8 inside; a character the set lacks becomes "?".
    qStream t;
    t.WriteString("\xC3\xA9\xE2\x82\xAC\xE4\xB8\x80");  // e-acute, euro sign, a CJK ideograph
    EXPECT_EQ(Bytes(t), (V{3, 0, 0, 0, 0xE9, 0x80, '?'}));
    std::string back;
    t.ReadString(back);
    EXPECT_EQ(back, "\xC3\xA9\xE2\x82\xAC?");

    // Outside the basic plane a character takes a surrogate pair, both ways.
    qStream w;
    w.WriteStringU("\xF0\x9F\x98\x80");
    EXPECT_EQ(Bytes(w), (V{4, 0, 0, 0, 0x3D, 0xD8, 0x00, 0xDE}));
    w.ReadStringU(back);
    EXPECT_EQ(back, "\xF0\x9F\x98\x80");
}

TEST(Stream, StringsComeBackAsTheyWereWritten) {
    // Every byte of an 8-bit string, the five Windows-1252 leaves undefined included,
    // reads back to a text that writes the same bytes (as 16-bit units and as UTF-8).
    V all{0, 1, 0, 0};
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<uint8_t>(b));
    qStream in;
    in.SetData(all);
    std::u16string units;
    in.ReadString(units);
    EXPECT_EQ(units[0x81], u'\u0081');
    EXPECT_EQ(units[0x80], u'\u20AC');
    qStream again, again8;
    again.WriteString(units);
    again8.WriteString(Utf16ToUtf8(units));
    EXPECT_EQ(Bytes(again), all);
    EXPECT_EQ(Bytes(again8), all);

    // A lone surrogate of a 16-bit string comes back as the same unit.
    const V lone{6, 0, 0, 0, 0x00, 0xD8, 'a', 0, 0x00, 0xDC};
    qStream u;
    u.SetData(lone);
    u.ReadStringU(units);
    EXPECT_EQ(units, (std::u16string{0xD800, 'a', 0xDC00}));
    qStream u2;
    u2.WriteStringU(units);
    EXPECT_EQ(Bytes(u2), lone);

    // Past the basic plane a character is two units: two bytes of "?" in an 8-bit string.
    qStream astral;
    astral.WriteString("\xF0\x9D\x84\x9E");  // U+1D11E
    EXPECT_EQ(Bytes(astral), (V{2, 0, 0, 0, '?', '?'}));

    // A string longer than a reader takes is refused and nothing of it is written.
    qStream lim;
    lim.WriteString(std::string(65536, 'x'));
    lim.WriteStringU(std::u16string(32768, u'y'));
    EXPECT_FALSE(lim.Failed());
    const int32_t length = lim.GetLength();
    EXPECT_EQ(length, 4 + 65536 + 4 + 65536);
    lim.WriteString(std::string(65537, 'x'));
    lim.WriteStringU(std::u16string(32769, u'y'));
    EXPECT_TRUE(lim.WriteRefused());
    EXPECT_EQ(lim.GetLength(), length);
    std::string s8;
    std::u16string s16;
    lim.ReadString(s8);
    lim.ReadStringU(s16);
    EXPECT_EQ(s8.size(), 65536u);
    EXPECT_EQ(s16.size(), 32768u);
    EXPECT_EQ(lim.Remaining(), 0u);
}

TEST(Stream, TwoDimensionalArraysRunFirstIndexFastest) {
    Array2D<uint8_t> a(2, 3);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 2; ++i) a(i, j) = static_cast<uint8_t>(10 * i + j);
    Array2D<int32_t> l(1, 2);
    l(0, 1) = -5;
    Array2D<int16_t> n(2, 1);
    n(1, 0) = 300;
    qStream s;
    s.WriteArrayByte2D(a);
    EXPECT_EQ(Bytes(s), (V{2, 0, 0, 0, 3, 0, 0, 0, 0, 10, 1, 11, 2, 12}));
    s.WriteArrayLong2D(l);
    s.WriteArrayInteger2D(n);
    EXPECT_EQ(s.GetLength(), 14 + 8 + 8 + 8 + 4);
    Array2D<uint8_t> a2;
    Array2D<int32_t> l2;
    Array2D<int16_t> n2;
    s.ReadArrayByte2D(a2);
    s.ReadArrayLong2D(l2);
    s.ReadArrayInteger2D(n2);
    EXPECT_EQ(a2.Size1, 2);
    EXPECT_EQ(a2.Size2, 3);
    EXPECT_EQ(a2(1, 2), 12);
    EXPECT_EQ(l2(0, 1), -5);
    EXPECT_EQ(n2(1, 0), 300);
    EXPECT_FALSE(s.Failed());
}

TEST(Stream, ExportImportAndNestedStreams) {
    qStream empty, outer;
    empty.Export(outer);
    EXPECT_EQ(Bytes(outer), (V{0, 0, 0, 0, 1, 0, 0, 0, 0}));
    qStream restored;
    restored.WriteLong(99);
    restored.Import(outer);
    EXPECT_EQ(restored.GetLength(), 0);
    EXPECT_EQ(Bytes(restored), V{0});

    qStream inner, carrier;
    inner.WriteDouble(2.5);
    inner.WriteDate(45000.75);
    carrier.WriteStream(inner);
    carrier.WriteArray({7, 8});
    qStream got;
    carrier.ReadStream(got);
    double d = 0, date = 0;
    got.ReadDouble(d);
    got.ReadDate(date);
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(date, 45000.75);
    std::vector<uint8_t> arr;
    carrier.ReadArray(arr);
    EXPECT_EQ(arr, (V{7, 8}));

    // SetData keeps the read position, so reading continues where it was.
    qStream s;
    s.WriteByte(1);
    s.WriteByte(2);
    uint8_t b = 0;
    s.ReadByte(b);
    s.SetData({5, 6, 7});
    s.ReadByte(b);
    EXPECT_EQ(b, 6);
    bool flag = false;
    qStream two;
    two.WriteByte(2);
    two.ReadBool(flag);
    EXPECT_TRUE(flag);

    qStream len;
    len.WriteLong(0x04030201);
    len.SetLength(2);
    EXPECT_EQ(Bytes(len), (V{1, 2}));
    len.SetLength(-1);
    EXPECT_EQ(len.GetLength(), 2);
    len.SetLength(0);
    EXPECT_EQ(Bytes(len), V{0});
}

TEST(Stream, ShortReadsFailWithoutTouchingTheTarget) {
    qStream s;
    s.WriteInteger(7);
    int32_t l = 42;
    s.ReadLong(l);  // 2 bytes left, 4 needed
    EXPECT_EQ(l, 42);
    EXPECT_TRUE(s.Failed());
    EXPECT_EQ(s.Remaining(), 0u);
    int16_t i = 5;
    s.ReadInteger(i);  // the position went to the end
    EXPECT_EQ(i, 5);

    // Counts that cannot be what they claim are rejected before anything is allocated.
    const auto rejects = [](const V& bytes, auto read) {
        qStream t;
        t.SetData(bytes);
        read(t);
        return t.Failed() && t.Remaining() == 0;
    };
    std::vector<uint8_t> arr{9};
    EXPECT_TRUE(rejects({0xFF, 0xFF, 0xFF, 0x7F, 1}, [&](qStream& t) { t.ReadArray(arr); }));
    EXPECT_TRUE(rejects({0xFF, 0xFF, 0xFF, 0xFF}, [&](qStream& t) { t.ReadArray(arr); }));
    EXPECT_EQ(arr, V{9});
    qStream inner;
    inner.WriteByte(3);
    EXPECT_TRUE(rejects({5, 0, 0, 0, 1, 2}, [&](qStream& t) { t.ReadStream(inner); }));
    EXPECT_EQ(inner.GetLength(), 1);
    Array2D<int32_t> a2(1, 1);
    EXPECT_TRUE(rejects({0, 0, 1, 0, 0, 0, 1, 0, 1, 2, 3, 4},
                        [&](qStream& t) { t.ReadArrayLong2D(a2); }));
    EXPECT_TRUE(rejects({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0},
                        [&](qStream& t) { t.ReadArrayLong2D(a2); }));
    EXPECT_EQ(a2.Size1, 1);
    qStream big;
    big.WriteLong(1 << 16);
    EXPECT_TRUE(rejects({1, 0, 0, 0, 1, 0, 0, 0}, [&](qStream& t) { big.Import(t); }));

    // A string count above the limit marks the stream failed instead of misreading on.
    std::string str = "kept";
    V longString(8 + 65537, 'x');
    longString[0] = 0x01;
    longString[1] = 0x00;
    longString[2] = 0x01;
    longString[3] = 0x00;  // 65537
    EXPECT_TRUE(rejects(longString, [&](qStream& t) { t.ReadString(str); }));
    EXPECT_TRUE(rejects({3, 0, 0, 0, 'a'}, [&](qStream& t) { t.ReadStringU(str); }));
    EXPECT_EQ(str, "kept");
    // A negative count consumes only itself.
    qStream neg;
    neg.SetData({0xFF, 0xFF, 0xFF, 0xFF, 'z'});
    neg.ReadString(str);
    EXPECT_FALSE(neg.Failed());
    EXPECT_EQ(neg.Remaining(), 1u);

    // Reset clears the failure.
    s.Reset();
    EXPECT_FALSE(s.Failed());
}

}  // namespace
}  // namespace zol

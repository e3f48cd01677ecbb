#include <gtest/gtest.h>

#include "TempDir.h"
#include "framework/core/qCrc32.h"
#include "framework/data/qEncrypt.h"
#include "framework/data/qStream.h"
#include "framework/data/qStreamFile.h"
#include "framework/data/qZip.h"

namespace zol {
namespace {

using test::LongAt;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;
using V = std::vector<uint8_t>;

TEST(Scrambler, KeystreamMatchesAnIndependentReference) {
    // Reference values from a separate implementation of the generator (Python, with
    // struct's binary32 rounding).
    V k1{'A'};
    ASSERT_TRUE(GenerateKey(k1, 1));
    EXPECT_EQ(k1, V{45});
    V k2{'1', 'A', '2', 'B'};
    ASSERT_TRUE(GenerateKey(k2, 8));
    EXPECT_EQ(k2, (V{192, 229, 65, 214, 248, 221, 252, 218}));
    V k3{'s', 'e', 'c', 'r', 'e', 't'};
    ASSERT_TRUE(GenerateKey(k3, 16));
    EXPECT_EQ(k3, (V{0x81, 0xcb, 0x73, 0x9c, 0xfc, 0x26, 0x33, 0xcd, 0x7f, 0xf0, 0, 0, 0, 0x5d,
                     0xe2, 0x03}));
    // Byte sums 5 and 7 over two key bytes: the seed's halves round to even (2 and 4).
    V k4{2, 3}, k5{3, 4};
    GenerateKey(k4, 4);
    GenerateKey(k5, 4);
    EXPECT_EQ(k4, (V{0x0c, 0xf1, 0x0c, 0x36}));
    EXPECT_EQ(k5, (V{0x0a, 0, 0, 0}));

    // The data length enters the seed: N and N + 1 start differently.
    V a{'k', 'e', 'y'}, b = a;
    GenerateKey(a, 10);
    GenerateKey(b, 11);
    EXPECT_NE(V(a.begin(), a.begin() + 4), V(b.begin(), b.begin() + 4));
}

TEST(Scrambler, QcodeIsItsOwnInverseAndRefusesWhatItCannotDo) {
    V data{'h', 'e', 'l', 'l', 'o', 0, 255};
    const V original = data;
    ASSERT_TRUE(Qcode(data, "pw", true));
    EXPECT_NE(data, original);
    ASSERT_TRUE(Qcode(data, "pw", false));
    EXPECT_EQ(data, original);

    EXPECT_FALSE(Qcode(data, "", true));
    EXPECT_EQ(data, original);
    V none;
    EXPECT_FALSE(Qcode(none, "pw", true));

    // Key length times data length at 2^31 no longer fits the seed: nothing is touched.
    V key(1 << 16, 'k');
    V big(1 << 15, 7);
    EXPECT_FALSE(QcodeBytes(big.data(), big.size(), key.data(), key.size()));
    EXPECT_EQ(big, V(1 << 15, 7));
    V zeros(1 << 16, 0);  // a byte sum of 0 keeps the rest of the seed within 32 bits
    EXPECT_TRUE(QcodeBytes(big.data(), big.size() - 1, zeros.data(), zeros.size()));

    // A key character outside Windows-1252 maps to "?".
    V x = original, y = original;
    Qcode(x, "\xE4\xB8\x80", true);
    Qcode(y, "?", true);
    EXPECT_EQ(x, y);
    EXPECT_EQ(ByteSum({255, 255, 1}), 511);
    EXPECT_EQ(SingleBits(1.0f), 0x3F800000);
    V d{1, 2}, ks{3};
    XorBytes(d, ks);  // lengths differ: nothing happens
    EXPECT_EQ(d, (V{1, 2}));
}

TEST(Checksum, StandardCrc32) {
    EXPECT_EQ(static_cast<uint32_t>(Crc32(std::string_view("abc"))), 0x352441C2u);
    EXPECT_EQ(static_cast<uint32_t>(Crc32(std::string_view("123456789"))), 0xCBF43926u);
    EXPECT_EQ(Crc32(V{}), 0);
}

TEST(Zip, CompressedFormRoundTripsAndRejectsImpossibleSizes) {
    V data(5000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i % 17);
    V z = data;
    ASSERT_TRUE(Compress(z));
    EXPECT_LT(z.size(), data.size());
    EXPECT_EQ(LongAt(z, z.size() - 4), 5000);
    EXPECT_EQ(z[0], 0x78);  // a zlib header
    V u = z;
    ASSERT_TRUE(Uncompress(u));
    EXPECT_EQ(u, data);

    V tiny;
    ASSERT_TRUE(Compress(tiny));  // an empty array still has a zlib stream
    ASSERT_TRUE(Uncompress(tiny));
    EXPECT_TRUE(tiny.empty());

    // Sizes the data cannot expand to, or negative, are rejected before allocating.
    V bomb = z;
    bomb[bomb.size() - 1] = 0x7F;
    EXPECT_FALSE(Uncompress(bomb));
    V negative = z;
    negative[negative.size() - 1] = 0xFF;
    EXPECT_FALSE(Uncompress(negative));
    V shorter = z;
    shorter[shorter.size() - 4] = 0x10;  // claims 4880 bytes: zlib runs out of room
    EXPECT_FALSE(Uncompress(shorter));
    V stub{1, 2};
    EXPECT_FALSE(Uncompress(stub));

    V dest;
    EXPECT_EQ(ZipCompress(data, dest), 5000);
    V back;
    EXPECT_EQ(ZipUncompress(dest, back, 5000), 5000);
    EXPECT_EQ(back, data);
    EXPECT_EQ(ZipUncompress(dest, back, -1), 0);
    EXPECT_EQ(ZipUncompress(dest, back, 0x7FFFFFFF), 0);
}

TEST(StreamFile, LayoutOfAPlainFile) {
    TempDir dir;
    const std::string f = dir.File("one.qrt");
    ASSERT_TRUE(FileWriteData(f, {42}, false, ""));
    const V raw = ReadAll(f);
    ASSERT_EQ(raw.size(), 25u);
    EXPECT_EQ(V(raw.begin(), raw.begin() + 4), (V{0x51, 0x52, 0x54, 0x32}));
    EXPECT_EQ(LongAt(raw, 4), 0);
    EXPECT_EQ(LongAt(raw, 8), LongAt(raw, 20));
    EXPECT_EQ(LongAt(raw, 12), 0);
    EXPECT_EQ(LongAt(raw, 16), 0);
    EXPECT_EQ(raw[24], 42);
    V back;
    ASSERT_TRUE(FileReadData(f, back, ""));
    EXPECT_EQ(back, V{42});
    // Nothing to write, or nowhere to write it: refused.
    EXPECT_FALSE(FileWriteData(dir.File("empty.qrt"), {}, false, ""));
    EXPECT_FALSE(FileWriteData(dir.Folder() + "no/such/folder.qrt", {42}, false, ""));

    // One byte more than the header says: rejected, and the caller's array is untouched.
    V extra = raw;
    extra.push_back(0);
    WriteAll(f, extra);
    V kept{1, 2, 3};
    EXPECT_FALSE(FileReadData(f, kept, ""));
    EXPECT_EQ(kept, (V{1, 2, 3}));
    EXPECT_FALSE(FileReadData(dir.File("missing"), kept, ""));

    V flipped = raw;
    flipped[24] ^= 1;
    WriteAll(f, flipped);
    EXPECT_FALSE(FileReadData(f, kept, ""));
    V magic = raw;
    magic[3] = '1';
    WriteAll(f, magic);
    EXPECT_FALSE(FileReadData(f, kept, ""));
    V flags = raw;
    flags[12] = 4;
    WriteAll(f, flags);
    EXPECT_FALSE(FileReadData(f, kept, ""));
}

TEST(StreamFile, CompressedAndScrambledFilesNeedTheirPassword) {
    TempDir dir;
    const std::string f = dir.File("both.qrt");
    V data(3000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 / 13);
    for (bool zipped : {false, true}) {
        ASSERT_TRUE(FileWriteData(f, data, zipped, "geheim"));
        const V raw = ReadAll(f);
        EXPECT_EQ(LongAt(raw, 12), zipped ? 3 : 2);
        EXPECT_EQ(LongAt(raw, 16), 2999);
        EXPECT_EQ(LongAt(raw, 20), Crc32(data));
        V back;
        EXPECT_FALSE(FileReadData(f, back, ""));
        EXPECT_FALSE(FileReadData(f, back, "geheim2"));
        EXPECT_TRUE(back.empty());
        ASSERT_TRUE(FileReadData(f, back, "geheim"));
        EXPECT_EQ(back, data);
    }

    // A compressed file whose header claims more than its payload can expand to.
    ASSERT_TRUE(FileWriteData(f, data, true, ""));
    V raw = ReadAll(f);
    raw[19] = 0x7F;  // plain size - 1 near 2^31
    WriteAll(f, raw);
    V back;
    EXPECT_FALSE(FileReadData(f, back, ""));
    raw[19] = 0xFF;  // negative
    WriteAll(f, raw);
    EXPECT_FALSE(FileReadData(f, back, ""));
    raw[19] = 0;
    raw[16] = 0xB6;  // 2998: one byte less than the payload expands to
    WriteAll(f, raw);
    EXPECT_FALSE(FileReadData(f, back, ""));
}

TEST(StreamFile, ByteStreamSavesAndLoadsThroughFiles) {
    TempDir dir;
    const std::string f = dir.File("s.qrt");
    qStream s;
    s.WriteString("hello");
    ASSERT_TRUE(s.FileExport(f, true, "x"));
    qStream t;
    t.WriteLong(5);
    ASSERT_TRUE(t.FileImport(f, "x"));
    EXPECT_EQ(t.GetLength(), 9);
    std::string text;
    t.ReadString(text);
    EXPECT_EQ(text, "hello");
    EXPECT_FALSE(t.FileImport(f, "y"));
    EXPECT_EQ(t.GetLength(), 0);

    qStream empty;
    ASSERT_TRUE(empty.FileExport(f, false, ""));
    EXPECT_EQ(ReadAll(f).size(), 25u);  // the single zero byte is stored
}

}  // namespace
}  // namespace zol

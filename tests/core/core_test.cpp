#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <limits>
#include <map>

#include "framework/core/qCore.h"
#include "framework/core/qKeys.h"
#include "framework/core/qRandom.h"
#include "framework/core/qText.h"

namespace zol {
namespace {

TEST(Core, RoundingIsHalfToEvenAndSaturates) {
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(3.5), 4);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CLng(12.42), 12);
    EXPECT_EQ(CLng(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(CLng(-1e12), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(CLng(std::numeric_limits<double>::quiet_NaN()), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Int(-0.5), -1.0);
}

TEST(Core, ClampPrefersMaxAndKeepsInRange) {
    EXPECT_EQ(Clamp(2.0f, 0, 1), 1.0f);
    EXPECT_EQ(Clamp(-1.0f, 0, 1), 0.0f);
    EXPECT_EQ(Clamp(0.25f, 0, 1), 0.25f);
}

TEST(Core, SplitMixIsReproducibleAndCountsDraws) {
    SetRandomSource(std::make_unique<SplitMix64>(42));
    const double a = Rnd(), b = Rnd();
    EXPECT_EQ(RndDrawCount(), 2u);
    SetRandomSource(std::make_unique<SplitMix64>(42));
    EXPECT_EQ(Rnd(), a);
    EXPECT_EQ(Rnd(), b);
    SplitMix64 g(0);
    EXPECT_EQ(g.NextBits(), 0xE220A8397B1DCDAFull);  // the reference first output for seed 0
    for (int i = 0; i < 1000; ++i) {
        const double v = g.Next();
        ASSERT_GE(v, 0.0);
        ASSERT_LT(v, 1.0);
    }
}

TEST(Core, ClearInputReleasesEveryKey) {
    Keys[vk::Left] = Keys[255] = true;
    ClearInput();
    for (bool k : Keys) EXPECT_FALSE(k);
}

TEST(Text, EveryByteAndUnitSurvivesTheCodec) {
    EXPECT_EQ(Utf8ToCp1252("Ann"), "Ann");
    EXPECT_EQ(Utf8ToCp1252("\xC3\xA9\xE2\x82\xAC"), "\xE9\x80");  // é €
    EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5"), "?");                  // 日
    EXPECT_EQ(Utf8ToCp1252("\xFF\xC3"), "??");                     // invalid and truncated
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");  // U+0080: 0x80 is the euro sign
    // Past the basic plane a character is two units, so two bytes.
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9D\x84\x9E"), "??");
    EXPECT_EQ(Utf8Length("a\xC3\xA9z\xF0\x9D\x84\x9E"), 5u);
    // Every byte, the five the set leaves undefined included, comes back as it was.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
    EXPECT_EQ(Cp1252ToUtf16("\x81\x8D\x8F\x90\x9D\x80"), u"\u0081\u008D\u008F\u0090\u009D\u20AC");

    // UTF-8 holds no lone surrogate; a pair is one character.
    EXPECT_EQ(Utf16ToUtf8(u"a\xD800" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00, 0xD800}), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9D\x84\x9E"), (std::u16string{0xD834, 0xDD1E}));
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("\xF0\x9D\x84\x9E")), "\xF0\x9D\x84\x9E");
}

TEST(Text, CaseFoldingFoldsCaseAndNothingElse) {
    EXPECT_EQ(FoldCase(u"AZ\u00C9\u00DE\u0178\u0100\u0391\u03A9\u0416\u0401\u1E9E\u212A"),
              u"az\u00E9\u00FE\u00FF\u0101\u03B1\u03C9\u0436\u0451\u00DF\u006B");
    // Unchanged: other scripts, digits, signs, the multiplication sign between the letters
    // of Latin-1, lone surrogates (kept unit for unit).
    const std::u16string same = u"\u65E5\u672C09?[]\u00D7\u00DF\xDC00\xD800";
    EXPECT_EQ(FoldCase(same), same);
    // A pair folds as one character: Deseret capital long I to its small letter.
    EXPECT_EQ(FoldCase(std::u16string{0xD801, 0xDC00}), (std::u16string{0xD801, 0xDC28}));
}

// The folding table against Unicode's own file, where the machine has it.
TEST(Text, CaseFoldingAgreesWithUnicode) {
    std::ifstream in("/usr/share/unicode/CaseFolding.txt");
    if (!in) GTEST_SKIP() << "CaseFolding.txt (Debian: unicode-data) is not installed";
    std::map<char32_t, char32_t> want;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        unsigned code = 0, to = 0;
        char status = 0;
        if (std::sscanf(line.c_str(), "%x; %c; %x;", &code, &status, &to) != 3) continue;
        if (status == 'C' || status == 'S') want[code] = to;
    }
    ASSERT_GT(want.size(), 1000u);
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        const auto it = want.find(cp);
        ASSERT_EQ(static_cast<uint32_t>(FoldCase(cp)), it == want.end() ? cp : it->second)
            << std::hex << static_cast<uint32_t>(cp);
    }
}

TEST(Text, GroupedNumbers) {
    EXPECT_EQ(FormatGrouped(0), "0");
    EXPECT_EQ(FormatGrouped(999), "999");
    EXPECT_EQ(FormatGrouped(1520), "1,520");
    EXPECT_EQ(FormatGrouped(-1234567), "-1,234,567");
    EXPECT_EQ(FormatGrouped(std::numeric_limits<int64_t>::min()), "-9,223,372,036,854,775,808");
}

}  // namespace
}  // namespace zol

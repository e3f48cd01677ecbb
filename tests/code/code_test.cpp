#include <gtest/gtest.h>

#include "framework/core/qText.h"
#include "game/mZol.h"

namespace zol {
namespace {

// An older code: the prefix is the level, the three fields score, chains and explodes.
std::string OlderCode(const std::string& level, const std::string& fields) {
    return level + "-" + CodeText(fields, level, true);
}

TEST(CodeAlphabet, EscapesAndTheirLimits) {
    std::string b{'\0', '\x34', '\xFF', '5', 'Z', 'z', '0'};
    EncodeEscapes(b);
    EXPECT_EQ(b, "0A1A4v5Zz0w");
    ASSERT_TRUE(DecodeEscapes(b));
    EXPECT_EQ(b, (std::string{'\0', '\x34', '\xFF', '5', 'Z', 'z', '0'}));

    std::string over = "4w";  // 52 * 4 + 48 = 256
    EXPECT_FALSE(DecodeEscapes(over));
    std::string dangling = "AB3";
    EXPECT_FALSE(DecodeEscapes(dangling));
    std::string odd = "2!";  // a letter-less escape counts its letter as 0
    EXPECT_TRUE(DecodeEscapes(odd));
    EXPECT_EQ(odd, std::string(1, '\x68'));

    std::string typed = " ab-C\r\n1\tZ!";
    KeepAlphanumerics(typed);
    EXPECT_EQ(typed, "abC1Z");

    EXPECT_EQ(LeftOf("12-ab-cd", "-"), "12");
    EXPECT_EQ(LeftOf("-ab", "-"), "");
    EXPECT_EQ(RightOf("12-ab-cd", "-"), "cd");
    EXPECT_EQ(RightOf("xAby", "aB"), "y");
    EXPECT_EQ(LeftOf("none", "-"), "");
    EXPECT_EQ(HexText(57252), "DFA4");
    EXPECT_EQ(HexText(-1), "FFFFFFFF");
    EXPECT_EQ(HexText(0), "0");
    EXPECT_EQ(LeadingNumber("  -12abc"), -12);
    EXPECT_EQ(LeadingNumber("x12"), 0);
    EXPECT_EQ(LeadingNumber("1.5e1;"), 15);
    EXPECT_EQ(CodeText("", "K", true), "");
    EXPECT_EQ(CodeText("abc", "", true), "");
}

TEST(ScoreCode, HandComputedCodeAndItsVariants) {
    // ZOL1;Ann;1520;4;3;1;9000 has 24 characters: 9000 / (1520 + 48 + 4) * 10000 = 57251.9.
    const ScoreCode made = MakeScoreCode({"Ann", 1520, 4, 3, 1, 9000});
    ASSERT_EQ(made.Code.substr(0, 5), "DFA4-");
    EXPECT_EQ(made.ClipboardText, "1,520 [" + made.Code + "]");
    for (char c : made.Code.substr(5)) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)));
    // One more character in the name adds 2 to the divisor: 9000 / 1574 * 10000 = 57179.2.
    EXPECT_EQ(MakeScoreCode({"Anne", 1520, 4, 3, 1, 9000}).Code.substr(0, 5), "DF5B-");

    const CodeReport r = CheckScoreCode(made.Code);
    ASSERT_EQ(r.Verdict, CodeVerdict::Accepted);
    EXPECT_EQ(r.Report,
              "Code from:         Ann\r\n\r\n"
              "User level           4\r\n"
              "User points         1,520\r\n\r\n"
              "Max chains         3\r\n"
              "Max explodes     1\r\n\r\n"
              "Game time:         9000 Frames\r\n\r\n"
              "Code seems to be okay!                    ");
    EXPECT_EQ(CheckScoreCode(made.ClipboardText).Report, r.Report);
    EXPECT_EQ(CheckScoreCode("Score: " + made.ClipboardText + "\n").Verdict, CodeVerdict::Accepted);

    std::string spaced = made.Code;
    spaced.insert(8, " \r\n ");
    spaced.insert(6, "\t");
    EXPECT_EQ(CheckScoreCode(spaced).Verdict, CodeVerdict::Accepted);
    EXPECT_EQ(CheckScoreCode("DF A4" + made.Code.substr(4)).Verdict, CodeVerdict::Rejected);
    EXPECT_EQ(CheckScoreCode("dfa4" + made.Code.substr(4)).Verdict, CodeVerdict::Rejected);
    std::string tampered = made.Code;
    tampered.back() = tampered.back() == 'Z' ? 'Y' : 'Z';
    EXPECT_EQ(CheckScoreCode(tampered).Verdict, CodeVerdict::Rejected);
    EXPECT_EQ(CheckScoreCode(made.Code + "4w").Verdict, CodeVerdict::Rejected);
    EXPECT_EQ(CheckScoreCode("").Verdict, CodeVerdict::Rejected);
    EXPECT_EQ(CheckScoreCode("[]").Verdict, CodeVerdict::Rejected);
    EXPECT_EQ(CheckScoreCode("-").Verdict, CodeVerdict::Rejected);
    EXPECT_TRUE(CheckScoreCode("x").Report.empty());
}

TEST(ScoreCode, OlderCodesAndUnusualValues) {
    const CodeReport r = CheckScoreCode(OlderCode("7", "12345;6;2"));
    ASSERT_EQ(r.Verdict, CodeVerdict::OlderVersion);
    EXPECT_EQ(r.Fields[1], "(unknown)");
    EXPECT_EQ(r.Fields[3], "7");
    EXPECT_EQ(r.Fields[6], "(unknown)");
    EXPECT_NE(r.Report.find("User points         12,345\r\n"), std::string::npos);
    EXPECT_NE(r.Report.find("Game time:         (unknown) Frames"), std::string::npos);
    // Non-numbers in the points field are shown as they are.
    EXPECT_NE(CheckScoreCode(OlderCode("1", "lots;0;0")).Report.find("User points         lots\r\n"),
              std::string::npos);

    // A zero divisor or a check outside 32 bits gives no code at all.
    EXPECT_EQ(MakeScoreCode({"x", -36, 0, 0, 0, 5}).Code, "");  // 18 characters: -36 + 36 + 0
    EXPECT_EQ(MakeScoreCode({"x", 0, 0, 0, 0, 2000000000}).Code, "");
    // Negative values make a negative check, written as its 32-bit pattern.
    const ScoreCode neg = MakeScoreCode({"x", 0, 1, 0, 0, -5});
    EXPECT_EQ(neg.Code.substr(0, 9), "FFFFFA6B-");
    EXPECT_EQ(CheckScoreCode(neg.Code).Verdict, CodeVerdict::Accepted);

    // Names: ";" is dropped so the code verifies; nothing left means "(noname)".
    EXPECT_EQ(HighscoreName("a;b"), "ab");
    EXPECT_EQ(HighscoreName(";"), "(noname)");
    EXPECT_EQ(HighscoreName(""), "(noname)");
    // Text outside Windows-1252 becomes "?" and the report comes back as UTF-8.
    const ScoreCode u = MakeScoreCode({"J\xC3\xBCrgen \xE2\x82\xAC \xE4\xB8\x80", 10, 1, 0, 0, 100});
    EXPECT_EQ(CheckScoreCode(u.Code).Fields[1], "J\xC3\xBCrgen \xE2\x82\xAC ?");
}

TEST(ScoreCode, EveryBuiltCodeVerifiesWithItsFields) {
    uint64_t state = 12345;
    const auto next = [&] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    int built = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const size_t len = next() % 24;
        for (size_t i = 0; i < len; ++i) bytes += static_cast<char>(1 + next() % 255);
        const std::string name = HighscoreName(Cp1252ToUtf8(bytes));
        const bool wide = round % 2;
        const auto num = [&](int32_t small) {
            return wide ? static_cast<int32_t>(static_cast<uint32_t>(next()))
                        : static_cast<int32_t>(next() % static_cast<uint64_t>(small));
        };
        const ScoreValues v{name, num(1000000), num(100), num(30), num(20), num(1000000)};
        const ScoreCode made = MakeScoreCode(v);
        if (made.Code.empty()) continue;
        ++built;
        for (char c : made.Code)
            ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '-') << made.Code;
        const CodeReport r = CheckScoreCode(made.ClipboardText);
        ASSERT_EQ(r.Verdict, CodeVerdict::Accepted) << made.Code;
        EXPECT_EQ(r.Fields[1], Cp1252ToUtf8(Utf8ToCp1252(name)));
        EXPECT_EQ(r.Fields[2], std::to_string(v.Score));
        EXPECT_EQ(r.Fields[3], std::to_string(v.Level));
        EXPECT_EQ(r.Fields[4], std::to_string(v.MaxChains));
        EXPECT_EQ(r.Fields[5], std::to_string(v.MaxExplodes));
        EXPECT_EQ(r.Fields[6], std::to_string(v.GameFrames));

        // Encoding and decoding any byte string with the same key gives it back.
        const std::string key = made.Code.substr(0, made.Code.find('-'));
        if (!bytes.empty()) {
            EXPECT_EQ(CodeText(CodeText(bytes, key, true), key, false), bytes);
        }
    }
    EXPECT_GT(built, 1500);
}

}  // namespace
}  // namespace zol

#include "game/mZol.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "framework/core/qText.h"
#include "framework/data/qEncrypt.h"

namespace zol {

namespace {

constexpr const char* kMagic = "ZOL1";
constexpr const char* kCrLf = "\r\n";

bool IsAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The bytes that stand for themselves in a code; everything else is escaped.
bool IsSafe(unsigned char c) {
    return (c >= '5' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string FoldAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == sep)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

// The length of the number at s[from..]: sign, digits, decimals, exponent; 0 for none.
size_t NumberLength(const std::string& s, size_t from) {
    size_t i = from;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const size_t expStart = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
        if (j > expStart) i = j;
    }
    return i - from;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The check value of a payload, or false when the divisor is zero or it leaves 32 bits.
bool CheckValue(double frames, double score, double level, size_t payloadLength, int32_t& check) {
    const double divisor = score + 2.0 * static_cast<double>(payloadLength) + level;
    if (divisor == 0) return false;
    const double value = std::nearbyint(frames / divisor * 10000.0);
    if (!std::isfinite(value) || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return false;
    check = static_cast<int32_t>(value);
    return true;
}

// A field shown as "points": a number with "," grouping and no decimals; other text as is.
std::string GroupedField(const std::string& field) {
    size_t a = 0, b = field.size();
    while (a < b && IsBlank(field[a])) ++a;
    while (b > a && IsBlank(field[b - 1])) --b;
    const std::string core = field.substr(a, b - a);
    if (core.empty() || NumberLength(core, 0) != core.size()) return field;
    const double v = std::nearbyint(std::strtod(core.c_str(), nullptr));
    if (!std::isfinite(v) || std::fabs(v) > 9.0e18) return field;
    return FormatGrouped(static_cast<int64_t>(v));
}

}  // namespace

// ---- Helpers --------------------------------------------------------------------

void KeepAlphanumerics(std::string& Bytes) {
    size_t out = 0;
    for (char c : Bytes)
        if (IsAlnum(static_cast<unsigned char>(c))) Bytes[out++] = c;
    Bytes.resize(out);
}

bool DecodeEscapes(std::string& Bytes) {
    size_t out = 0;
    for (size_t i = 0; i < Bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(Bytes[i]);
        if (c < '0' || c > '4') {
            Bytes[out++] = static_cast<char>(c);
            continue;
        }
        if (i + 1 >= Bytes.size()) return false;  // an escape digit needs its letter
        const auto next = static_cast<unsigned char>(Bytes[++i]);
        int lo = 0;
        if (next >= 'A' && next <= 'Z') lo = next - 'A';
        if (next >= 'a' && next <= 'z') lo = next - 'a' + 26;
        const int value = 52 * (c - '0') + lo;
        if (value > 255) return false;
        Bytes[out++] = static_cast<char>(value);
    }
    Bytes.resize(out);
    return true;
}

void EncodeEscapes(std::string& Bytes) {
    for (size_t i = 0; i < Bytes.size(); ++i) {
        const auto v = static_cast<unsigned char>(Bytes[i]);
        if (IsSafe(v)) continue;
        InsertBytes(Bytes, i, 1);
        const int lo = v % 52;
        Bytes[i] = static_cast<char>('0' + v / 52);
        Bytes[i + 1] = static_cast<char>(lo < 26 ? 'A' + lo : 'a' + (lo - 26));
        ++i;
    }
}

void InsertBytes(std::string& Bytes, size_t Position, size_t Count) {
    if (Position > Bytes.size()) Position = Bytes.size();
    Bytes.insert(Position, Count, '\0');
}

std::string LeftOf(const std::string& Text, const std::string& Delimiter) {
    if (Delimiter.empty()) return "";
    const size_t at = FoldAscii(Text).find(FoldAscii(Delimiter));
    if (at == std::string::npos || at == 0) return "";
    return Text.substr(0, at);
}

std::string RightOf(const std::string& Text, const std::string& Delimiter) {
    if (Delimiter.empty()) return "";
    const size_t at = FoldAscii(Text).rfind(FoldAscii(Delimiter));
    if (at == std::string::npos) return "";
    return Text.substr(at + Delimiter.size());
}

std::string HexText(int32_t Value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto bits = static_cast<uint32_t>(Value);
    std::string out;
    do {
        out.insert(out.begin(), kDigits[bits & 15]);
        bits >>= 4;
    } while (bits);
    return out;
}

double LeadingNumber(const std::string& Text) {
    size_t i = 0;
    while (i < Text.size() && IsBlank(Text[i])) ++i;
    const size_t n = NumberLength(Text, i);
    if (n == 0) return 0;
    return std::strtod(Text.substr(i, n).c_str(), nullptr);
}

std::string CodeText(const std::string& Text, const std::string& Key, bool Encode) {
    // Payloads are already 8-bit (names go in as Windows-1252), so the text is its bytes.
    if (Text.empty() || Key.empty()) return "";
    std::string bytes = Text;
    if (!Encode) {
        KeepAlphanumerics(bytes);
        if (!DecodeEscapes(bytes)) return "";
    }
    if (!Qcode(bytes, Key, Encode)) return "";
    if (Encode) EncodeEscapes(bytes);
    return bytes;
}

std::string TrimSpaces(const std::string& Text) {
    const size_t first = Text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = Text.find_last_not_of(' ');
    return Text.substr(first, last - first + 1);
}

bool LooksLikeCopiedCode(const std::string& Text) {
    if (Text.size() < 3 || Text.back() != ']') return false;
    const size_t open = Text.find('[');
    if (open == std::string::npos || open + 1 >= Text.size()) return false;
    const size_t dash = Text.find('-', open + 1);
    return dash != std::string::npos && dash < Text.size() - 1;
}

// ---- Building and verifying ---------------------------------------------------

std::string HighscoreName(const std::string& EnteredName) {
    std::string name;
    for (char c : EnteredName)
        if (c != ';') name += c;
    return name.empty() ? "(noname)" : name;
}

ScoreCode MakeScoreCode(const ScoreValues& v) {
    const std::string payload = std::string(kMagic) + ";" + Utf8ToCp1252(v.Name) + ";" +
                                std::to_string(v.Score) + ";" + std::to_string(v.Level) + ";" +
                                std::to_string(v.MaxChains) + ";" + std::to_string(v.MaxExplodes) +
                                ";" + std::to_string(v.GameFrames);
    int32_t check = 0;
    if (!CheckValue(v.GameFrames, v.Score, v.Level, payload.size(), check)) return {};
    const std::string key = HexText(check);
    const std::string encoded = CodeText(payload, key, true);
    if (encoded.empty()) return {};
    ScoreCode out;
    out.Code = key + "-" + encoded;
    out.ClipboardText = FormatGrouped(v.Score) + " [" + out.Code + "]";
    return out;
}

std::string CodeReportText(const std::array<std::string, 7>& f) {
    std::string r;
    r += "Code from:         " + f[1] + kCrLf + kCrLf;
    r += "User level           " + f[3] + kCrLf;
    r += "User points         " + GroupedField(f[2]) + kCrLf + kCrLf;
    r += "Max chains         " + f[4] + kCrLf;
    r += "Max explodes     " + f[5] + kCrLf + kCrLf;
    r += "Game time:         " + f[6] + " Frames" + kCrLf + kCrLf;
    r += "Code seems to be okay!" + std::string(20, ' ');
    return r;
}

CodeReport CheckScoreCode(const std::string& CodeInput) {
    std::string code = CodeInput;
    const size_t open = code.find('[');
    if (open != std::string::npos && code.find(']', open + 1) != std::string::npos)
        code = LeftOf(RightOf(code, "["), "]");
    const std::string prefix = LeftOf(code, "-");
    const std::string rest = RightOf(code, "-");
    const std::string payload = CodeText(rest, prefix, false);
    const std::vector<std::string> fields = Split(payload, ';');

    CodeReport out;
    if (fields.size() == 3) {
        out.Verdict = CodeVerdict::OlderVersion;
        out.Fields = {"(unknown)", "(unknown)", Cp1252ToUtf8(fields[0]), prefix,
                      Cp1252ToUtf8(fields[1]), Cp1252ToUtf8(fields[2]), "(unknown)"};
    } else {
        int32_t check = 0;
        if (fields.size() < 7 || fields[0] != kMagic ||
            !CheckValue(LeadingNumber(fields[6]), LeadingNumber(fields[2]), LeadingNumber(fields[3]),
                        payload.size(), check) ||
            HexText(check) != prefix)
            return out;
        out.Verdict = CodeVerdict::Accepted;
        for (size_t i = 0; i < 7; ++i) out.Fields[i] = Cp1252ToUtf8(fields[i]);
    }
    out.Report = CodeReportText(out.Fields);
    return out;
}

}  // namespace zol

#include "framework/core/qText.h"

#include <array>

namespace zol {

namespace {
// Unicode code points of Windows-1252 bytes 0x80..0x9F (0 where the byte is undefined).
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] != 0 && kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool NextUtf8(const std::string& Text, size_t& I, char32_t& Cp) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(Text[k]); };
    const unsigned char b0 = byte(I);
    int extra = 0;
    char32_t cp = 0, min = 0;
    if (b0 < 0x80) {
        ++I;
        Cp = b0;
        return true;
    }
    if ((b0 & 0xE0) == 0xC0) extra = 1, cp = b0 & 0x1F, min = 0x80;
    else if ((b0 & 0xF0) == 0xE0) extra = 2, cp = b0 & 0x0F, min = 0x800;
    else if ((b0 & 0xF8) == 0xF0) extra = 3, cp = b0 & 0x07, min = 0x10000;
    bool valid = extra > 0 && I + extra < Text.size();
    for (int k = 1; valid && k <= extra; ++k) {
        const unsigned char b = byte(I + k);
        valid = (b & 0xC0) == 0x80;
        cp = (cp << 6) | (b & 0x3F);
    }
    valid = valid && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (!valid) {
        ++I;
        Cp = 0xFFFD;
        return false;
    }
    I += extra + 1;
    Cp = cp;
    return true;
}

char32_t DecodeUtf8(const std::string& Text, size_t& I) {
    char32_t cp = 0;
    NextUtf8(Text, I, cp);
    return cp;
}

std::string SanitiseUtf8(const std::string& Text) {
    std::string out;
    out.reserve(Text.size());
    for (size_t i = 0; i < Text.size();) {
        const size_t at = i;
        char32_t cp = 0;
        if (NextUtf8(Text, i, cp)) out.append(Text, at, i - at);
        else AppendUtf8(out, 0xFFFD);
    }
    return out;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

std::string Utf8ToCp1252(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) out += ToCp1252(DecodeUtf8(utf8, i));
    return out;
}

std::string Cp1252ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) {
        char32_t cp = b;
        if (b >= 0x80 && b <= 0x9F) cp = kHigh[b - 0x80] ? kHigh[b - 0x80] : 0xFFFD;
        AppendUtf8(out, cp);
    }
    return out;
}

size_t Utf8Length(const std::string& utf8) {
    size_t n = 0;
    for (size_t i = 0; i < utf8.size(); ++n) DecodeUtf8(utf8, i);
    return n;
}

std::string FormatGrouped(int64_t value) {
    const bool negative = value < 0;
    // Work on the magnitude as unsigned so that the most negative value formats too.
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

}  // namespace zol

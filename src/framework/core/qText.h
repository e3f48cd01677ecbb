// Text helpers shared by the framework: the one text codec (UTF-8, UTF-16 and the 8-bit
// character set), case folding and number formatting.
//
// Text handed between C++ callers is UTF-8. A String of the data classes is 16-bit units
// (std::u16string), as it is stored, so that lone surrogates and every unit survive; UTF-8
// is only the form a caller hands in or takes out. Where the framework needs one byte per
// character (bitmap font cells, the scrambler's key, 8-bit strings of streams) it uses
// Windows-1252, one byte per 16-bit unit: a unit that set lacks becomes "?", and the five
// bytes the set leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the code points
// of the same value, so that every byte decodes to a unit that encodes back to it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zol {

// ---- UTF-8 -------------------------------------------------------------------------
// The one UTF-8 decoder of the program. It is strict: overlong forms, surrogates, code
// points past U+10FFFF and truncated sequences are invalid.
// Decodes the character at Text[I] into Cp and advances I past it; false (I advanced by
// one byte, Cp U+FFFD) when the bytes there are not a valid sequence.
bool NextUtf8(const std::string& Text, size_t& I, char32_t& Cp);
// The character at Text[I], advancing I past it; U+FFFD for an invalid byte.
char32_t DecodeUtf8(const std::string& Text, size_t& I);
// Text with every byte that starts no valid sequence replaced by U+FFFD.
std::string SanitiseUtf8(const std::string& Text);
// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);

// ---- UTF-16 ------------------------------------------------------------------------
// UTF-8 text to 16-bit units (a character past U+FFFF takes a surrogate pair; each byte
// that starts no valid sequence becomes U+FFFD).
std::u16string Utf8ToUtf16(const std::string& Utf8);
// 16-bit units to UTF-8 text. UTF-8 cannot hold a lone surrogate: it becomes U+FFFD
// (callers that must keep every unit keep the 16-bit form).
std::string Utf16ToUtf8(std::u16string_view Units);

// ---- Windows-1252 ------------------------------------------------------------------
// The 16-bit unit of a byte.
char16_t Cp1252ToUnit(uint8_t Byte);
// The byte of a 16-bit unit; '?' for a unit the set lacks (surrogates included).
uint8_t UnitToCp1252(char16_t Unit);
// Bytes to 16-bit units, one each; every byte string survives Utf16ToCp1252 of the result.
std::u16string Cp1252ToUtf16(std::string_view Bytes);
// 16-bit units to bytes, one each (a surrogate pair is two "?").
std::string Utf16ToCp1252(std::u16string_view Units);
// UTF-8 text to Windows-1252 bytes, one per 16-bit unit.
std::string Utf8ToCp1252(const std::string& Utf8);
// Windows-1252 bytes to UTF-8 text.
std::string Cp1252ToUtf8(const std::string& Bytes);
// The number of 16-bit units of a UTF-8 text (the length of its Windows-1252 form).
size_t Utf8Length(const std::string& Utf8);

// ---- Case --------------------------------------------------------------------------
// Unicode simple case folding of one code point (status C and S: one code point to one,
// never across the basic plane's edge).
char32_t FoldCase(char32_t Cp);
// Every code point of a 16-bit text folded; a lone surrogate stays as it is. The result
// has as many units as the text, unit for unit.
std::u16string FoldCase(std::u16string_view Units);
// True when two names are equal ignoring the case of ASCII letters (file-name lookups).
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// A String argument: 16-bit units given as they are, or made from a caller's UTF-8 text.
// Only for parameters (it may point into the caller's string).
class Text16 {
public:
    Text16(const std::u16string& Units) : view_(Units) {}
    Text16(const char16_t* Units) : view_(Units) {}
    Text16(const std::string& Utf8) : own_(Utf8ToUtf16(Utf8)), view_(own_) {}
    Text16(const char* Utf8) : own_(Utf8ToUtf16(Utf8)), view_(own_) {}
    Text16(const Text16&) = delete;
    Text16& operator=(const Text16&) = delete;

    std::u16string_view View() const { return view_; }
    std::u16string Units() const { return std::u16string(view_); }
    bool Empty() const { return view_.empty(); }

private:
    std::u16string own_;  // before view_, which may point into it
    std::u16string_view view_;
};

// Decimal with "," every three digits, as in 12,345 and -1,000.
std::string FormatGrouped(int64_t value);

}  // namespace zol

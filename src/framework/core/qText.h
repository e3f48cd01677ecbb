// Text helpers shared by the framework: the 8-bit character set and number formatting.
//
// Text inside the program is UTF-8. Where the framework needs one byte per character
// (bitmap font cells, the scrambler's key and data, 8-bit strings of streams) it uses
// Windows-1252; a character that set lacks becomes "?".
#pragma once

#include <cstdint>
#include <string>

namespace zol {

// UTF-8 text to Windows-1252 bytes, one per character; unknown characters and invalid
// UTF-8 sequences become '?'.
std::string Utf8ToCp1252(const std::string& utf8);
// Windows-1252 bytes to UTF-8 text (the five undefined codes map to U+FFFD).
std::string Cp1252ToUtf8(const std::string& bytes);
// The number of characters of a UTF-8 text (the length of its Windows-1252 form).
size_t Utf8Length(const std::string& utf8);

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
// True when two names are equal ignoring the case of ASCII letters (file-name lookups).
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// Decimal with "," every three digits, as in 12,345 and -1,000.
std::string FormatGrouped(int64_t value);

}  // namespace zol

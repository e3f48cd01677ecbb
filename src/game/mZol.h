// mZol: the game's module procedures: loading its graphics, and the score code helpers.
//
// Bytes are Windows-1252 text held in std::string, one byte per character.
#pragma once

#include <cstdint>
#include <string>

namespace zol {

// Loads the game's textures and its font into the game record.
void LoadGraphics();

// Encodes a payload into the code alphabet (Encode true) or decodes it back; "" when
// Text or Key is empty or decoding fails.
std::string CodeText(const std::string& Text, const std::string& Key, bool Encode);
// Keeps only the bytes 0-9, A-Z, a-z.
void KeepAlphanumerics(std::string& Bytes);
// Turns two-character escapes back into bytes; false when an escape is invalid.
bool DecodeEscapes(std::string& Bytes);
// Writes every byte outside 5-9, A-Z, a-z as its two-character escape.
void EncodeEscapes(std::string& Bytes);
// Opens Count bytes of room at Position.
void InsertBytes(std::string& Bytes, size_t Position, size_t Count);
// The text before the first Delimiter ("" when absent or at the start); case-insensitive.
std::string LeftOf(const std::string& Text, const std::string& Delimiter);
// The text after the last Delimiter ("" when absent); case-insensitive.
std::string RightOf(const std::string& Text, const std::string& Delimiter);

}  // namespace zol

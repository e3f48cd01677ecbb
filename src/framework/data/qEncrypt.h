// qEncrypt: the byte scrambler of score codes and stream files.
//
// What it does: Qcode stretches a key into a keystream exactly as long as the data and
// XORs the data with it, in place; running it again with the same key restores the data.
// The keystream comes from a chain of single-precision quotients whose bit patterns feed
// the next step, so the arithmetic below is kept exactly as it is: codes and files made
// by one build must unscramble in every other.
// Who owns what: the caller owns the data; nothing is kept here.
// Failure: Qcode returns false and leaves the data untouched for an empty key, empty
// data, or a key and data so long that the seed no longer fits 32-bit arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zol {

// Scrambles (or unscrambles: the same steps) Data with Key, a UTF-8 text whose
// Windows-1252 bytes are the key bytes. Encode has no effect on the result.
bool Qcode(std::vector<uint8_t>& Data, const std::string& Key, bool Encode);
// The same for a byte string (one byte per character, as the score code holds its text).
bool Qcode(std::string& Data, const std::string& Key, bool Encode);
// The same on raw memory with raw key bytes.
bool QcodeBytes(uint8_t* Data, size_t Size, const uint8_t* Key, size_t KeySize);

// Replaces KeyBytes (at least one byte) by a keystream of Length bytes; false (KeyBytes
// unchanged) when the key is empty or key length times Length reaches 2^31.
bool GenerateKey(std::vector<uint8_t>& KeyBytes, size_t Length);
// Fills Bytes with the Windows-1252 codes of a UTF-8 text and returns the index of the
// last byte; -1 for an empty text, and then Bytes is left as it was.
int32_t StringToBytes(const std::string& Text, std::vector<uint8_t>& Bytes);
// The sum of all byte values.
int32_t ByteSum(const std::vector<uint8_t>& Bytes);
// The 32 bits of a single-precision value read as an integer.
int32_t SingleBits(float Value);
// Data[i] ^= KeyStream[i] for every i, only when both have the same length.
void XorBytes(std::vector<uint8_t>& Data, const std::vector<uint8_t>& KeyStream);

}  // namespace zol

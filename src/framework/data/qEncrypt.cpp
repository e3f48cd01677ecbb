#include "framework/data/qEncrypt.h"

#include <bit>
#include <cmath>

#include "framework/core/qText.h"

namespace zol {

namespace {

constexpr int64_t kSeedLimit = int64_t{1} << 31;

// The seed byte, or -1 when the 32-bit seed arithmetic would overflow.
int32_t Seed(const uint8_t* Key, size_t k, size_t n) {
    if (k == 0 || n == 0) return -1;
    const auto limit = static_cast<uint64_t>(kSeedLimit);
    if (k >= limit || n >= limit || static_cast<uint64_t>(k) * n >= limit) return -1;
    int64_t s = 0;
    for (size_t j = 0; j < k; ++j) s += Key[j];
    const int64_t kn = static_cast<int64_t>(k) * static_cast<int64_t>(n);
    const int64_t total =
        s + static_cast<int64_t>(std::nearbyint(static_cast<double>(s) / static_cast<double>(k))) + kn;
    if (total >= kSeedLimit) return -1;
    return static_cast<int32_t>(total % 256);
}

// One generator step at index i: the low byte of the Single quotient (i+1) / (i+1 + x).
inline uint8_t Step(uint8_t b, uint8_t keyByte, size_t i) {
    const float t = static_cast<float>(i + 1);
    const float x = static_cast<float>(keyByte + b);
    const float q = static_cast<float>(static_cast<double>(t) / (static_cast<double>(t) + x));
    return static_cast<uint8_t>(std::bit_cast<uint32_t>(q) & 255u);
}

// Runs the warm-up pass and then either writes the keystream to Out or XORs it into Out.
template <bool Xor>
void Generate(uint8_t* Out, size_t n, const uint8_t* Key, size_t k, uint8_t b) {
    size_t j = 0;
    for (size_t i = 0; i < n; ++i) {
        b = Step(b, Key[j], i);
        if (++j == k) j = 0;
    }
    j = 0;
    for (size_t i = 0; i < n; ++i) {
        b = Step(b, Key[j], i);
        if (++j == k) j = 0;
        if constexpr (Xor)
            Out[i] ^= b;
        else
            Out[i] = b;
    }
}

}  // namespace

bool QcodeBytes(uint8_t* Data, size_t Size, const uint8_t* Key, size_t KeySize) {
    const int32_t seed = Seed(Key, KeySize, Size);
    if (seed < 0) return false;
    Generate<true>(Data, Size, Key, KeySize, static_cast<uint8_t>(seed));
    return true;
}

bool Qcode(std::vector<uint8_t>& Data, const std::string& Key, bool /*Encode*/) {
    const std::string key = Utf8ToCp1252(Key);
    return QcodeBytes(Data.data(), Data.size(), reinterpret_cast<const uint8_t*>(key.data()),
                      key.size());
}

bool Qcode(std::string& Data, const std::string& Key, bool /*Encode*/) {
    const std::string key = Utf8ToCp1252(Key);
    return QcodeBytes(reinterpret_cast<uint8_t*>(Data.data()), Data.size(),
                      reinterpret_cast<const uint8_t*>(key.data()), key.size());
}

bool GenerateKey(std::vector<uint8_t>& KeyBytes, size_t Length) {
    const int32_t seed = Seed(KeyBytes.data(), KeyBytes.size(), Length);
    if (seed < 0) return false;
    std::vector<uint8_t> stream(Length);
    Generate<false>(stream.data(), Length, KeyBytes.data(), KeyBytes.size(),
                    static_cast<uint8_t>(seed));
    KeyBytes = std::move(stream);
    return true;
}

int32_t StringToBytes(const std::string& Text, std::vector<uint8_t>& Bytes) {
    if (Text.empty()) return -1;
    const std::string bytes = Utf8ToCp1252(Text);
    Bytes.assign(bytes.begin(), bytes.end());
    return static_cast<int32_t>(Bytes.size()) - 1;
}

int32_t ByteSum(const std::vector<uint8_t>& Bytes) {
    uint32_t sum = 0;  // wraps like the 32-bit sum rather than overflowing
    for (uint8_t b : Bytes) sum += b;
    return static_cast<int32_t>(sum);
}

int32_t SingleBits(float Value) { return std::bit_cast<int32_t>(Value); }

void XorBytes(std::vector<uint8_t>& Data, const std::vector<uint8_t>& KeyStream) {
    if (Data.size() != KeyStream.size()) return;
    for (size_t i = 0; i < Data.size(); ++i) Data[i] ^= KeyStream[i];
}

}  // namespace zol

// Fuzzes the decoding half of the code alphabet and the helpers that take a pasted code
// apart: any text, with a key taken from its first bytes.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/mZol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte says how many of the following bytes form the key.
    const size_t keyLength = size > 0 ? std::min<size_t>(data[0] % 16, size - 1) : 0;
    const std::string key(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0), keyLength);
    const size_t rest = size > 0 ? 1 + keyLength : 0;
    const std::string text(reinterpret_cast<const char*>(data) + rest, size - rest);

    const std::string decoded = zol::CodeText(text, key, false);
    if (key.empty() && !decoded.empty()) std::abort();
    // Whatever decodes encodes back to a text that decodes to the same bytes.
    if (!decoded.empty() && zol::CodeText(zol::CodeText(decoded, key, true), key, false) != decoded)
        std::abort();

    std::string bytes = text;
    if (zol::DecodeEscapes(bytes)) {
        // A decoded text is never longer than its escapes.
        if (bytes.size() > text.size()) std::abort();
    }
    std::string kept = text;
    zol::KeepAlphanumerics(kept);
    for (const char c : kept)
        if (!std::isalnum(static_cast<unsigned char>(c))) std::abort();

    const std::string left = zol::LeftOf(text, key), right = zol::RightOf(text, key);
    if (left.size() > text.size() || right.size() > text.size()) std::abort();
    (void)zol::LeadingNumber(text);
    return 0;
}

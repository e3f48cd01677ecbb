// Fuzzes the score-code verifier with arbitrary pasted text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/mZol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const zol::CodeReport r = zol::CheckScoreCode(text);
    // An accepted code always has a report; a rejected one never.
    if ((r.Verdict == zol::CodeVerdict::Rejected) != r.Report.empty()) std::abort();
    // Encoding the text as a payload and decoding it again must give it back.
    if (size > 0 && size < 4096) {
        const std::string enc = zol::CodeText(text, "AB12", true);
        if (zol::CodeText(enc, "AB12", false) != text) std::abort();
    }
    return 0;
}

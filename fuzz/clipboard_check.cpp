// Fuzzes what start-up does with the clipboard: trim it, decide whether it looks like a
// copied score code, and verify it if so.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/mZol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string clip(reinterpret_cast<const char*>(data), size);
    const std::string text = zol::TrimSpaces(clip);
    if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) std::abort();
    if (text.size() > clip.size()) std::abort();
    if (!zol::LooksLikeCopiedCode(text)) return 0;
    if (text.back() != ']' || text.find('[') == std::string::npos) std::abort();
    const zol::CodeReport r = zol::CheckScoreCode(text);
    if ((r.Verdict == zol::CodeVerdict::Rejected) != r.Report.empty()) std::abort();
    return 0;
}

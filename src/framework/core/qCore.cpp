#include "framework/core/qCore.h"

#include <chrono>
#include <cstdio>
#include <limits>

#include "framework/core/qKeys.h"

namespace zol {

int32_t TickCount = 0;
int32_t LastErrorCode = 0;
float ScreenScale = 1.0f;
std::array<bool, 256> Keys{};

namespace {
SystemHost* g_host = nullptr;
}  // namespace

void SetSystemHost(SystemHost* Host) { g_host = Host; }
SystemHost* GetSystemHost() { return g_host; }

int32_t GetTickCount() {
    if (g_host) return g_host->GetTickCount();
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

MsgAnswer ShowMessage(const std::string& Text, const std::string& Title, MsgButtons Buttons,
                      MsgIcon Icon) {
    if (g_host) return g_host->MessageBox(Text, Title, Buttons, Icon);
    std::fprintf(stderr, "%s: %s\n", Title.c_str(), Text.c_str());
    return MsgAnswer::OK;
}

void ClearInput() { Keys.fill(false); }

int32_t CLng(double Value) {
    const double r = RoundHalfEven(Value);
    if (!(r >= std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

}  // namespace zol

#include "framework/core/qCore.h"

#include <chrono>
#include <cstdio>
#include <limits>

#include "framework/core/qKeys.h"
#include "framework/core/qRandom.h"
#include "framework/data/qFileSystem.h"
#include "framework/graphics/qDDraw.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"

namespace zol {

int32_t TickCount = 0;
int32_t LastErrorCode = 0;
std::array<bool, 256> Keys{};

namespace {
SystemHost* g_host = nullptr;
// The framework's root: exists between QRT_Initialize and QRT_Release. The devices are
// made from their installed factories, each with its own failure message, so creating the
// root itself cannot fail and needs no message of its own.
bool g_rootObject = false;

constexpr const char* kCrLf = "\r\n";

// The fatal graphics message of Window_Initialize: first line, error text, exit notice.
void ShowFatal(const std::string& title, const std::string& firstLine) {
    ShowMessage(firstLine + kCrLf + "(" + GetErrorText(0) + ")" + kCrLf + kCrLf +
                    "The application will now exit.",
                title, MsgButtons::OK, MsgIcon::Error);
}

// The informational message of a missing sound or music device; the error text comes from
// the device's own module, which knows what its backend said.
void ShowDisabled(const std::string& title, const std::string& firstLine,
                  const std::string& errorText, const std::string& lastLine) {
    ShowMessage(firstLine + kCrLf + "(" + errorText + ")" + kCrLf + kCrLf + lastLine,
                title, MsgButtons::OK, MsgIcon::Information);
}
}  // namespace

void SetSystemHost(SystemHost* host) { g_host = host; }
SystemHost* GetSystemHost() { return g_host; }

int32_t GetTickCount() {
    if (g_host) return g_host->GetTickCount();
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

MsgAnswer ShowMessage(const std::string& text, const std::string& title, MsgButtons buttons,
                      MsgIcon icon) {
    if (g_host) return g_host->MessageBox(text, title, buttons, icon);
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return MsgAnswer::OK;
}

void ClearInput() { Keys.fill(false); }

int32_t CLng(double value) {
    const double r = RoundHalfEven(value);
    if (!(r >= std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(r);
}

void QRT_Initialize() {
    SeedRandomFromClock();
    TickCount = GetTickCount();
    AppPath = NormalisePath(ProgramFolder(), false);
    g_rootObject = true;
}

bool Window_Initialize(void* formHandle, void* targetHandle, int32_t targetWidth,
                       int32_t targetHeight) {
    if (!Device_Initialize()) {
        ShowFatal("Create D3D object", "DirectX: DirectX 8 not available!");
        QRT_Release();
        return false;
    }
    if (!Device_InitWindowed(targetHandle, targetWidth, targetHeight, 1.0f)) {
        ShowFatal("Create D3D device", "DirectX: Video device not available!");
        QRT_Release();
        return false;
    }
    if (!DSound_Initialize(formHandle)) {
        ShowDisabled("Create DSound device", "DirectX: Audio device not available!",
                     SoundErrorText(), "Sound playback is disabled.");
    }
    if (!DMusic_Initialize(formHandle)) {
        ShowDisabled("Create DMusic device", "DirectX: MIDI device not available!",
                     MusicErrorText(), "Music playback (MIDI) is disabled.");
    }
    return true;
}

// Safe at any point of start-up and more than once: every release leaves its module as if
// it had never started.
void QRT_Release() {
    Device_Release();
    DSound_Release();
    DMusic_Release();
    g_rootObject = false;
}

}  // namespace zol

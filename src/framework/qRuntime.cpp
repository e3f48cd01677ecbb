#include "framework/qRuntime.h"

#include "framework/core/qFileSystem.h"
#include "framework/core/qRandom.h"
#include "framework/graphics/qDDraw.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"

namespace zol {

namespace {
constexpr const char* kCrLf = "\r\n";

// The fatal graphics message of Window_Initialize: first line, error text, exit notice.
void ShowFatal(const std::string& Title, const std::string& FirstLine) {
    ShowMessage(FirstLine + kCrLf + "(" + GetErrorText(0) + ")" + kCrLf + kCrLf +
                    "The application will now exit.",
                Title, MsgButtons::OK, MsgIcon::Error);
}

// The informational message of a missing sound or music device; the error text comes from
// the device's own module, which knows what its backend said.
void ShowDisabled(const std::string& Title, const std::string& FirstLine,
                  const std::string& ErrorText, const std::string& LastLine) {
    ShowMessage(FirstLine + kCrLf + "(" + ErrorText + ")" + kCrLf + kCrLf + LastLine,
                Title, MsgButtons::OK, MsgIcon::Information);
}
}  // namespace

void QRT_Initialize() {
    SeedRandomFromClock();
    TickCount = GetTickCount();
    AppPath = NormalisePath(ProgramFolder(), false);
}

bool Window_Initialize(void* FormHandle, void* TargetHandle, int32_t TargetWidth,
                       int32_t TargetHeight) {
    if (!Device_Initialize()) {
        ShowFatal("Create D3D object", "DirectX: DirectX 8 not available!");
        QRT_Release();
        return false;
    }
    if (!Device_InitWindowed(TargetHandle, TargetWidth, TargetHeight, 1.0f)) {
        ShowFatal("Create D3D device", "DirectX: Video device not available!");
        QRT_Release();
        return false;
    }
    // Both audio devices start opening at once, so a sound server that does not answer
    // holds start-up for one short wait rather than one per device.
    DSound_StartOpen();
    DMusic_StartOpen();
    if (!DSound_Initialize(FormHandle)) {
        ShowDisabled("Create DSound device", "DirectX: Audio device not available!",
                     SoundErrorText(), "Sound playback is disabled.");
    }
    if (!DMusic_Initialize(FormHandle)) {
        ShowDisabled("Create DMusic device", "DirectX: MIDI device not available!",
                     MusicErrorText(), "Music playback (MIDI) is disabled.");
    }
    return true;
}

// Every release leaves its module as if it had never started.
void QRT_Release() {
    Device_Release();
    DSound_Release();
    DMusic_Release();
}

}  // namespace zol

// qCore: the framework's process-wide core.
//
// What it does: keeps the desktop seam the framework needs (clock and message box), the
// millisecond tick, the last error code, the screen scale, and the small numeric helpers
// every module shares (Clamp, rounding). Bringing the framework up and down is qRuntime's.
// Who owns what: all state here is module-level, one instance for the process; the
// SystemHost (the desktop's clock and message box) is owned by the caller and only
// borrowed here.
// Failure: none here; the messages the player sees are shown through the SystemHost.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

namespace zol {

// ---- The desktop as the framework sees it -------------------------------------

enum class MsgButtons { OK, YesNo, YesNoCancel };
enum class MsgIcon { None, Error, Warning, Information, Question };
enum class MsgAnswer { OK, Yes, No, Cancel };

// The two services of the window system that the framework itself needs.
// The window host (platform) implements it; tests use a scripted double.
class SystemHost {
public:
    virtual ~SystemHost() = default;
    // Milliseconds of a monotonic system clock (wraps like a 32-bit tick counter).
    virtual int32_t GetTickCount() = 0;
    // Shows a modal message box and returns the button the user chose.
    virtual MsgAnswer MessageBox(const std::string& Text, const std::string& Title,
                                 MsgButtons Buttons, MsgIcon Icon) = 0;
};

// Installs the host the framework asks for the clock and for message boxes (nullptr: none).
void SetSystemHost(SystemHost* Host);
// The installed host, or nullptr.
SystemHost* GetSystemHost();
// The host's millisecond clock; a steady clock of our own when no host is installed.
int32_t GetTickCount();
// Shows a message box through the host; without a host the text goes to stderr and OK is returned.
MsgAnswer ShowMessage(const std::string& Text, const std::string& Title, MsgButtons Buttons,
                      MsgIcon Icon);

// ---- Process-wide values ------------------------------------------------------

// Milliseconds of the system clock, refreshed at start-up and at every frame start.
extern int32_t TickCount;
// The error number a failed device initialisation left behind.
extern int32_t LastErrorCode;
// Logical to back-buffer pixels: set by the graphics device, read by every view of it.
extern float ScreenScale;

// ---- Numbers --------------------------------------------------------------------

// A value limited to Min..Max (Max wins when Value exceeds it).
constexpr float Clamp(float Value, float Min, float Max) {
    return Value > Max ? Max : (Value < Min ? Min : Value);
}

// Nearest integer with halves to even, in double precision (the default rounding mode).
inline double RoundHalfEven(double Value) { return std::nearbyint(Value); }

// Nearest 32-bit integer with halves to even; values beyond the range saturate.
int32_t CLng(double Value);

// Floor, as a double (Int of the original arithmetic).
inline double Int(double Value) { return std::floor(Value); }

}  // namespace zol

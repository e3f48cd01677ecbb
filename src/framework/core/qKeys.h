// The key table: one flag per virtual-key code, true while the key is held.
//
// Key events set and clear entries; ClearInput releases every key (on focus changes and
// at every reset). Handlers that want a key to act once per press clear its entry
// themselves after testing it.
#pragma once

#include <array>
#include <cstdint>

namespace zol {

// 256 key-down flags indexed by the Windows virtual-key code.
extern std::array<bool, 256> Keys;

// Releases every key.
void ClearInput();

// The program's one table of key codes: Windows virtual-key codes, which the key table
// is indexed by, and the modifier and button masks that come with key and mouse events.
namespace vk {
constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Menu = 18;  // Alt
constexpr int Pause = 19;
constexpr int CapsLock = 20;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Digit0 = 48;  // '0' to '9' follow
constexpr int A = 65;       // 'A' to 'Z' follow
constexpr int D = 68;
constexpr int E = 69;
constexpr int H = 72;
constexpr int M = 77;
constexpr int N = 78;
constexpr int P = 80;
constexpr int Q = 81;
constexpr int R = 82;
constexpr int S = 83;
constexpr int V = 86;
constexpr int W = 87;
constexpr int Numpad0 = 96;  // Numpad1 to Numpad9 follow
constexpr int Multiply = 106;
constexpr int Add = 107;
constexpr int Subtract = 109;
constexpr int Decimal = 110;
constexpr int Divide = 111;
constexpr int F1 = 112;  // F2 to F12 follow
constexpr int F11 = 122;
constexpr int F12 = 123;

// The Shift argument of key and mouse events.
constexpr int ShiftMask = 1, CtrlMask = 2, AltMask = 4;
// The Button argument of mouse events.
constexpr int LeftButton = 1, RightButton = 2, MiddleButton = 4;
}  // namespace vk

// True when Code indexes the key table.
constexpr bool IsKeyCode(int code) { return code >= 0 && code < 256; }

}  // namespace zol

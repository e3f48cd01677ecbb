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

// Virtual-key codes the game reads.
namespace vk {
constexpr int Back = 8;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Menu = 18;  // Alt
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int A = 65;
constexpr int D = 68;
constexpr int E = 69;
constexpr int P = 80;
constexpr int Q = 81;
constexpr int R = 82;
constexpr int S = 83;
constexpr int V = 86;
constexpr int W = 87;
constexpr int F11 = 122;
constexpr int F12 = 123;
}  // namespace vk

// True when Code indexes the key table.
constexpr bool IsKeyCode(int code) { return code >= 0 && code < 256; }

}  // namespace zol

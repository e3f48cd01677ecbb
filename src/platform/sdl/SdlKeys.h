// SdlKeys: SDL's key codes as the window's virtual-key codes.
//
// What it does: maps an SDL key symbol to the Windows virtual-key code that the key table
// is indexed by (letters and digits their upper-case character codes, arrows 37..40,
// F1..F12 112..123, keypad digits 96..105), and SDL's modifier state to the shift mask
// of the window's key events (1 Shift, 2 Ctrl, 4 Alt). It also names the keys the window
// keeps for itself (full screen on F11 or Alt+Enter), which never reach the game.
// Failure: a key without a virtual-key code maps to 0, which the host does not pass on.
#pragma once

#include <SDL.h>

namespace zol::sdl {

// The virtual-key code of an SDL key, or 0 when it has none.
int VirtualKeyFromSdl(SDL_Keycode Key);
// The shift mask of an SDL modifier state.
int ShiftMaskFromSdl(Uint16 Mod);
// The mouse button mask of an SDL button (1 left, 2 right, 4 middle; 0 others).
int ButtonMaskFromSdl(Uint8 Button);
// True for the keys that switch between window and full screen: F11, Alt+Enter.
bool IsFullscreenToggle(SDL_Keycode Key, Uint16 Mod);
// True for the key that switches between the sharp and the filling scale: F10.
bool IsScaleModeToggle(SDL_Keycode Key);

}  // namespace zol::sdl

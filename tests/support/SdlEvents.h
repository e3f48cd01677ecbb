// SDL events as the window system would deliver them, for tests that drive the SDL host
// through SDL_PushEvent.
#pragma once

#include <SDL.h>

namespace zol::test {

// A key-down or key-up (type) on the window, with modifiers and SDL's repeat flag.
SDL_Event KeyEvent(SDL_Window* window, Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE,
                   Uint8 repeat = 0);
// A mouse button pressed at window point (x, y).
SDL_Event ClickEvent(SDL_Window* window, int x, int y, Uint8 button = SDL_BUTTON_LEFT);
// A window event such as SDL_WINDOWEVENT_FOCUS_LOST.
SDL_Event WindowEventOf(SDL_Window* window, Uint8 what);
// Text typed into the focused window.
SDL_Event TextEvent(const char* text);

}  // namespace zol::test

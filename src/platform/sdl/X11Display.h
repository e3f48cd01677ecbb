// X11Display: what the game needs of Xlib directly, kept out of the files that include
// the game's own headers (Xlib's macros, None and Bool among them, clash with them).
// Every function does nothing where the window is not an X11 one.
#pragma once

#include <SDL.h>

namespace zol::sdl {

// From now on a lost connection to the X display ends the process at once with code 1.
// Xlib's own handler calls exit(), and the sound libraries' exit handlers then abort in
// their half-closed state.
void EndOnLostDisplay();

// Asks the X server to say when Window becomes fully covered or visible again (SDL does
// not); the news arrives as SDL_SYSWMEVENT events that VisibilityFrom reads.
void WatchVisibility(SDL_Window* Window);

// What a system event says of the window's visibility: 1 visible (at least in part), 0
// fully covered, -1 nothing.
int VisibilityFrom(const SDL_Event& Event);

}  // namespace zol::sdl

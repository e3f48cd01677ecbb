#include "support/SdlEvents.h"

namespace zol::test {

SDL_Event KeyEvent(SDL_Window* window, Uint32 type, SDL_Keycode key, Uint16 mod, Uint8 repeat) {
    SDL_Event e{};
    e.type = type;
    e.key.windowID = SDL_GetWindowID(window);
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event ClickEvent(SDL_Window* window, int x, int y, Uint8 button) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = SDL_GetWindowID(window);
    e.button.button = button;
    e.button.state = SDL_PRESSED;
    e.button.x = x, e.button.y = y;
    return e;
}

SDL_Event WindowEventOf(SDL_Window* window, Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(window);
    e.window.event = what;
    return e;
}

SDL_Event TextEvent(const char* text) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, text, sizeof(e.text.text));
    return e;
}

}  // namespace zol::test

#include "platform/sdl/SdlKeys.h"

#include "framework/core/qKeys.h"

namespace zol::sdl {

int VirtualKeyFromSdl(SDL_Keycode Key) {
    if (Key >= SDLK_a && Key <= SDLK_z) return vk::A + (Key - SDLK_a);
    if (Key >= SDLK_0 && Key <= SDLK_9) return vk::Digit0 + (Key - SDLK_0);
    if (Key >= SDLK_F1 && Key <= SDLK_F12) return vk::F1 + (Key - SDLK_F1);
    if (Key >= SDLK_KP_1 && Key <= SDLK_KP_9) return vk::Numpad0 + 1 + (Key - SDLK_KP_1);
    switch (Key) {
        case SDLK_KP_0: return vk::Numpad0;
        case SDLK_BACKSPACE: return vk::Back;
        case SDLK_TAB: return vk::Tab;
        case SDLK_RETURN:
        case SDLK_RETURN2:
        case SDLK_KP_ENTER: return vk::Return;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return vk::Shift;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return vk::Control;
        case SDLK_LALT:
        case SDLK_RALT: return vk::Menu;
        case SDLK_PAUSE: return vk::Pause;
        case SDLK_CAPSLOCK: return vk::CapsLock;
        case SDLK_ESCAPE: return vk::Escape;
        case SDLK_SPACE: return vk::Space;
        case SDLK_PAGEUP: return vk::PageUp;
        case SDLK_PAGEDOWN: return vk::PageDown;
        case SDLK_END: return vk::End;
        case SDLK_HOME: return vk::Home;
        case SDLK_LEFT: return vk::Left;
        case SDLK_UP: return vk::Up;
        case SDLK_RIGHT: return vk::Right;
        case SDLK_DOWN: return vk::Down;
        case SDLK_INSERT: return vk::Insert;
        case SDLK_DELETE: return vk::Delete;
        case SDLK_KP_MULTIPLY: return vk::Multiply;
        case SDLK_KP_PLUS: return vk::Add;
        case SDLK_KP_MINUS: return vk::Subtract;
        case SDLK_KP_PERIOD: return vk::Decimal;
        case SDLK_KP_DIVIDE: return vk::Divide;
        default: return 0;
    }
}

int ShiftMaskFromSdl(Uint16 Mod) {
    int mask = 0;
    if (Mod & KMOD_SHIFT) mask |= vk::ShiftMask;
    if (Mod & KMOD_CTRL) mask |= vk::CtrlMask;
    if (Mod & KMOD_ALT) mask |= vk::AltMask;
    return mask;
}

int ButtonMaskFromSdl(Uint8 Button) {
    switch (Button) {
        case SDL_BUTTON_LEFT: return vk::LeftButton;
        case SDL_BUTTON_RIGHT: return vk::RightButton;
        case SDL_BUTTON_MIDDLE: return vk::MiddleButton;
        default: return 0;
    }
}

bool IsFullscreenToggle(SDL_Keycode Key, Uint16 Mod) {
    if (Key == SDLK_F11) return true;
    return (Key == SDLK_RETURN || Key == SDLK_KP_ENTER) && (Mod & KMOD_ALT) != 0;
}

bool IsScaleModeToggle(SDL_Keycode Key) { return Key == SDLK_F10; }

}  // namespace zol::sdl

#include "platform/sdl/SdlGamepad.h"

#include <cstdio>

namespace zol::sdl {

platform::PadButton PadButtonFromSdl(Uint8 Button) {
    using platform::PadButton;
    switch (Button) {
        case SDL_CONTROLLER_BUTTON_A: return PadButton::A;
        case SDL_CONTROLLER_BUTTON_B: return PadButton::B;
        case SDL_CONTROLLER_BUTTON_X: return PadButton::X;
        case SDL_CONTROLLER_BUTTON_Y: return PadButton::Y;
        case SDL_CONTROLLER_BUTTON_BACK: return PadButton::Back;
        case SDL_CONTROLLER_BUTTON_GUIDE: return PadButton::Guide;
        case SDL_CONTROLLER_BUTTON_START: return PadButton::Start;
        case SDL_CONTROLLER_BUTTON_LEFTSTICK: return PadButton::LeftStick;
        case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return PadButton::RightStick;
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PadButton::LeftShoulder;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PadButton::RightShoulder;
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadButton::DpadUp;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadButton::DpadDown;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadButton::DpadLeft;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadButton::DpadRight;
        default: return PadButton::Count;
    }
}

platform::PadAxis PadAxisFromSdl(Uint8 Axis) {
    using platform::PadAxis;
    switch (Axis) {
        case SDL_CONTROLLER_AXIS_LEFTX: return PadAxis::LeftX;
        case SDL_CONTROLLER_AXIS_LEFTY: return PadAxis::LeftY;
        case SDL_CONTROLLER_AXIS_RIGHTX: return PadAxis::RightX;
        case SDL_CONTROLLER_AXIS_RIGHTY: return PadAxis::RightY;
        case SDL_CONTROLLER_AXIS_TRIGGERLEFT: return PadAxis::TriggerLeft;
        case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: return PadAxis::TriggerRight;
        default: return PadAxis::Count;
    }
}

SdlGamepad::~SdlGamepad() { CloseAll(); }

void SdlGamepad::CloseAll() {
    for (Open& o : open_) {
        if (o.Pad) SDL_GameControllerClose(o.Pad);
        o = Open{};
    }
    keys_ = platform::GamepadKeys{};
}

bool SdlGamepad::IsPadEvent(const SDL_Event& e) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION: return true;
        default: return false;
    }
}

void SdlGamepad::Added(int DeviceIndex) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(DeviceIndex);
    if (id < 0) return;
    for (const Open& o : open_)
        if (o.Pad && o.Id == id) return;  // announced twice: already open
    Open* slot = nullptr;
    for (Open& o : open_)
        if (!o.Pad) {
            slot = &o;
            break;
        }
    if (!slot || !keys_.Attach(id)) {
        std::fprintf(stderr, "Zol: more than %d game controllers; this one is not used\n",
                     platform::GamepadKeys::kMaxPads);
        return;
    }
    SDL_GameController* pad = SDL_GameControllerOpen(DeviceIndex);
    if (!pad) {
        std::fprintf(stderr, "Zol: a game controller could not be opened: %s\n", SDL_GetError());
        keys_.Detach(id);
        return;
    }
    *slot = Open{pad, id};
}

platform::PadActions SdlGamepad::Removed(SDL_JoystickID Id) {
    for (Open& o : open_)
        if (o.Pad && o.Id == Id) {
            SDL_GameControllerClose(o.Pad);
            o = Open{};
            return keys_.Detach(Id);
        }
    return {};
}

platform::PadActions SdlGamepad::Handle(const SDL_Event& e, int64_t NowMs) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED: Added(e.cdevice.which); return {};
        case SDL_CONTROLLERDEVICEREMOVED: return Removed(e.cdevice.which);
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            return keys_.Button(e.cbutton.which, PadButtonFromSdl(e.cbutton.button),
                                e.type == SDL_CONTROLLERBUTTONDOWN, NowMs);
        case SDL_CONTROLLERAXISMOTION:
            return keys_.Axis(e.caxis.which, PadAxisFromSdl(e.caxis.axis), e.caxis.value, NowMs);
        default: return {};
    }
}

}  // namespace zol::sdl

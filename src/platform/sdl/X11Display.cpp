#include "platform/sdl/X11Display.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

namespace zol::sdl {

namespace {
int DisplayLost(Display*) {
    static const char kMessage[] = "Zol: the connection to the display was lost\n";
    (void)!write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
    _exit(1);
}
}  // namespace

void EndOnLostDisplay() { XSetIOErrorHandler(DisplayLost); }

void WatchVisibility(SDL_Window* Window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!Window || !SDL_GetWindowWMInfo(Window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) return;
    // SDL's own selection stays; visibility is added to it.
    XSelectInput(info.info.x11.display, info.info.x11.window,
                 attributes.your_event_mask | VisibilityChangeMask);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

int VisibilityFrom(const SDL_Event& Event) {
    if (Event.type != SDL_SYSWMEVENT || !Event.syswm.msg ||
        Event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return -1;
    const XEvent& x = Event.syswm.msg->msg.x11.event;
    if (x.type != VisibilityNotify) return -1;
    return x.xvisibility.state == VisibilityFullyObscured ? 0 : 1;
}

}  // namespace zol::sdl

// SdlHost: the game window on SDL2.
//
// What it does:
// - the window: sized by the layout the game describes (the largest whole scale of the
//   client area that fits the display), resizable, full screen on F11 / Alt+Enter (keys
//   the game never sees), hidden until ShowWindow; its class is the desktop entry's id.
// - the loop: SDL events become the window's event procedures (keys as virtual-key codes,
//   SDL's key repeat as repeated key-downs; pads through SdlGamepad; mouse presses mapped
//   back to logical pixels; focus; the close button), and the 30 ms timer runs on the
//   same thread without queueing missed ticks. After each tick the window is described,
//   its chrome repainted where it changed, and handed to the presenter.
// - the desktop's answers: clipboard, and the message and input boxes, drawn in the
//   window over its last picture and scaled with it (a window not shown yet is shown for
//   them, the drawing area hidden). Each runs a modal loop of its own that takes keys,
//   clicks, typed text and pads; a close request (the close button, SIGTERM, the session
//   ending) cancels the open box, and IsClosing tells the game to do nothing more.
// Who owns what: the program owns the host; the host owns the SDL window, the painter and
// the open pads, and borrows the window's event procedures and the presenter.
// Failure: Create returns nullptr with a reason when SDL's video cannot start. Where the
// window cannot show a box (closed, or no presenter able to show it) a message box is
// SDL's own, and one that cannot be shown at all prints to stderr and answers as if
// closed; the input box then answers "cancelled". An exception out of an event procedure
// is shown and closes the window.
// What it does not do: draw the game (the GL device does) or show pixels on screen (the
// presenter does); it writes nothing to disk.
#pragma once

#include <SDL.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowHost.h"
#include "platform/sdl/SdlGamepad.h"
#include "platform/sdl/WindowPainter.h"
#include "platform/sdl/WindowPresenter.h"
#include "platform/KeyTapLatch.h"
#include "platform/TickTimer.h"
#include "platform/WindowScale.h"

namespace zol::sdl {

class SdlHost final : public WindowHost {
public:
    // The desktop entry's id, given to the window as its class.
    static constexpr const char* kDesktopId = "org.zolgame.Zol";

    // Starts SDL's video and makes the (hidden) window; nullptr with *Error on failure.
    static std::unique_ptr<SdlHost> Create(std::string* Error);
    ~SdlHost() override;
    SdlHost(const SdlHost&) = delete;
    SdlHost& operator=(const SdlHost&) = delete;

    // The window's event procedures (borrowed; nullptr: events are dropped). The window
    // takes the size of the layout they describe at once, before anything draws on it.
    void SetEvents(WindowEvents* Events) {
        events_ = Events;
        Describe();
    }
    // What shows the composed window (borrowed; nullptr: nothing is shown).
    void SetPresenter(WindowPresenter* Presenter) {
        presenter_ = Presenter;
        if (presenter_) presenter_->SetScaleMode(scaleMode_);
    }
    SDL_Window* Window() const { return window_; }
    WindowPainter& Painter() { return *painter_; }

    // Runs the event loop until the window closes; the program's exit code.
    int Run();
    // One pass of the loop: waits at most MaxWaitMs (-1: as long as needed) for an event
    // or the timer, handles every waiting event, then the tick when it is due. False
    // once the window has closed.
    bool Pump(int MaxWaitMs);
    bool Closed() const { return closed_; }
    // True once ShowWindow has shown the window.
    bool WasShown() const { return shown_; }
    // True once a message box with the error icon was shown (or printed).
    bool ErrorShown() const { return errorShown_; }
    // Describes, repaints (when changed) and presents the window now.
    void RefreshWindow();
    // The window's layout as the game last described it.
    const WindowLayout& Layout() const { return content_.Layout; }
    // False when no SDL message box can be shown (the offscreen and dummy video drivers).
    bool CanShowMessageBoxes() const;
    // True when a box can be drawn in the window now.
    bool CanShowDialog() const;
    // True while the window covers its display in full screen.
    bool IsFullscreen() const;
    // Switches between the window and full screen on the desktop's own mode.
    void SetFullscreen(bool Fullscreen);
    // How the picture fills a window larger than it (F10 switches; Sharp at first).
    platform::ScaleMode GetScaleMode() const { return scaleMode_; }
    void SetScaleMode(platform::ScaleMode Mode);
    // The open game controllers.
    const SdlGamepad& Gamepad() const { return gamepad_; }

    // ---- SystemHost ----
    int32_t GetTickCount() override;
    MsgAnswer MessageBox(const std::string& Text, const std::string& Title, MsgButtons Buttons,
                         MsgIcon Icon) override;
    // ---- WindowHost ----
    bool IsForeground() override;
    std::optional<std::string> GetClipboardText() override;
    void SetClipboardText(const std::string& Text) override;
    std::optional<std::string> InputBox(const std::string& Prompt, const std::string& Title,
                                        const std::string& Default) override;
    void CloseWindow() override;
    // True once the window has closed or a close request arrived while a box was open.
    bool IsClosing() override { return closed_ || closeRequested_; }
    double TimeOfDay() override;
    void SetCaption(const std::string& Caption) override;
    void ShowWindow() override;
    void SetTimerEnabled(bool Enabled) override;
    void* NativeWindow() override { return window_; }

    // A box drawn in the window, as the dialog loop drives it (SdlHost.cpp has the two).
    class Dialog;

private:
    SdlHost() = default;
    void HandleEvent(const SDL_Event& Event);
    // Runs Box modally in the window until it is answered or a close request cancels it.
    void RunDialog(Dialog& Box);
    // One event while Box is open; true when the box may look different now.
    bool HandleDialogEvent(const SDL_Event& Event, Dialog& Box);
    // SDL's own message box, for when the window cannot show one.
    MsgAnswer NativeMessageBox(const std::string& Text, const std::string& Title,
                               MsgButtons Buttons, MsgIcon Icon);
    void HandleWindowEvent(const SDL_WindowEvent& Event);
    void PresentChrome(bool FrontVisible);
    // Asks the window's procedures for its content; the window takes the layout's size.
    void Describe();
    // Whether anybody can see the window; nothing is drawn or shown while nobody can.
    void SetVisibility(bool Visible);
    // The window's own keys (full screen): true when Key was one and is not passed on.
    bool HandleWindowKey(const SDL_KeyboardEvent& Key);
    // The client pixel under a window point, or nothing on the bars around the picture.
    std::optional<platform::PicturePoint> ClientPoint(int X, int Y) const;
    // Delivers what the pads did to the window's key and mouse procedures.
    void DeliverPad(const platform::PadActions& Actions);
    // The window released every key: keys held on pads go down again with their next change.
    void KeysReleased() { gamepad_.Forget(); }
    // A modal box takes the keyboard from the window (Taking) or gives it back.
    void DialogTakesFocus(bool Taking);
    // Runs an event procedure; an exception is shown and closes the window.
    template <class Fn>
    void Guarded(Fn&& fn);
    // Shows a runtime error and closes the window.
    void Fail(const char* Description);

    SDL_Window* window_ = nullptr;
    std::unique_ptr<WindowPainter> painter_;
    SdlGamepad gamepad_;
    bool padsStarted_ = false;
    std::array<bool, 256> swallowed_{};  // window keys whose release is not passed on
    WindowEvents* events_ = nullptr;
    WindowPresenter* presenter_ = nullptr;
    platform::TickTimer timer_{30};
    platform::KeyTapLatch taps_;  // a tap between two ticks still reaches the next tick
    WindowContent content_;
    WindowLayout laidOut_;  // the layout the window was last sized for
    std::vector<uint32_t> front_;  // the last frame, under an open box
    bool shown_ = false;
    bool errorShown_ = false;
    bool closed_ = false;
    bool closeRequested_ = false;  // a close request while a box was open
    bool inDialog_ = false;
    platform::ScaleMode scaleMode_ = platform::ScaleMode::Sharp;
    bool visible_ = true;
};

}  // namespace zol::sdl

// WindowHost: the window system the game runs in.
//
// What it does: carries the game window (its drawing area, labels and level bar), runs
// the event loop that calls the window's event procedures, fires the 30 ms timer, and
// answers the few questions the game asks of the desktop: is the window in front, what
// is on the clipboard, what does the player answer to a message or input box.
// Who owns what: main() owns the real host; the game window borrows it. Tests use a
// scripted double (tests/support/ScriptedHost).
// Failure: dialogs that cannot be shown answer as if cancelled. A close request (the
// close button, the session ending) while a dialog is open cancels it: IsClosing then
// tells the game to do nothing more, the window closes as soon as the dialog returns.
#pragma once

#include <optional>
#include <string>

#include "framework/core/qCore.h"
#include "ui/WindowContent.h"

namespace zol {

// The event procedures of the game window; the host calls them on its thread.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void Form_KeyDown(int KeyCode, int Shift) = 0;
    virtual void Form_KeyUp(int KeyCode, int Shift) = 0;
    // A mouse button pressed on the drawing area, at logical pixel (X, Y).
    virtual void Front_MouseDown(int Button, int Shift, float X, float Y) = 0;
    virtual void Form_Activate() = 0;
    virtual void Form_Deactivate() = 0;
    virtual void Form_GotFocus() = 0;
    virtual void Form_LostFocus() = 0;
    // The window is closing (Escape, the close button, or a failed start-up).
    virtual void Form_Unload() = 0;
    // The 30 ms timer.
    virtual void tmrMain_Timer() = 0;
    // Fills in the labels and the level bar as they are now.
    virtual void DescribeWindow(WindowContent& Content) = 0;
};

class WindowHost : public SystemHost {
public:
    // True while the game window is the active window of the desktop.
    virtual bool IsForeground() = 0;
    // The clipboard's plain text, or nothing when it holds no text.
    virtual std::optional<std::string> GetClipboardText() = 0;
    // Clears the clipboard and puts Text on it as plain text.
    virtual void SetClipboardText(const std::string& Text) = 0;
    // A modal input box; the text entered, or nothing when cancelled.
    virtual std::optional<std::string> InputBox(const std::string& Prompt, const std::string& Title,
                                                const std::string& Default) = 0;
    // Closes the window: Form_Unload runs and the event loop ends.
    virtual void CloseWindow() = 0;
    // True once the window is closing: closed, or asked to close while a dialog was open
    // (the dialog then answered as if cancelled, and the game is to act on nothing more).
    virtual bool IsClosing() = 0;
    // Seconds since midnight, with fractions.
    virtual double TimeOfDay() = 0;
    // Sets the window's caption.
    virtual void SetCaption(const std::string& Caption) = 0;
    // Shows the window and handles the events that are waiting.
    virtual void ShowWindow() = 0;
    // Starts or stops the 30 ms timer.
    virtual void SetTimerEnabled(bool Enabled) = 0;
    // The platform window that the graphics device draws on (nullptr headless).
    virtual void* NativeWindow() = 0;
};

}  // namespace zol

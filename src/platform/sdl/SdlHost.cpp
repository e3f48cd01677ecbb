#include "platform/sdl/SdlHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>

#include "framework/core/qDecodeMemory.h"
#include "framework/core/qKeys.h"
#include "framework/core/qFileSystem.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/X11Display.h"
#include "ui/MessageBox.h"

namespace zol::sdl {

namespace {
constexpr uint64_t kCaretBlinkMs = 530;
// What a window manager's frame is likely to take while the real one is not known yet
// (a hidden window has none): a title bar and thin borders.
constexpr int kGuessedFrameW = 8, kGuessedFrameH = 40;
// The hidden window's size until the game describes its layout.
constexpr int kFirstSize = 64;

// SDL's message boxes break lines at "\n"; the game's texts use CR LF.
std::string ToSdlLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i] == '\r' ? '\n' : text[i];
    }
    return out;
}

Uint32 SdlIconFlag(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Error: return SDL_MESSAGEBOX_ERROR;
        case MsgIcon::Warning: return SDL_MESSAGEBOX_WARNING;
        // SDL has no question icon.
        case MsgIcon::Information:
        case MsgIcon::Question: return SDL_MESSAGEBOX_INFORMATION;
        default: return 0;
    }
}
bool IsHeadlessDriver(const char* Driver) {
    return Driver && (std::strcmp(Driver, "offscreen") == 0 || std::strcmp(Driver, "dummy") == 0);
}

// True when the user or a test named a video driver.
bool AskedForDriver() {
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return asked && *asked;
}

// Grows a new window to the largest whole scale of the client area that fits the usable
// part of its display, frame included, and centres it there.
void SizeToDisplay(SDL_Window* window, int clientW, int clientH) {
    SDL_SetWindowMinimumSize(window, clientW, clientH);
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    int frameW = kGuessedFrameW, frameH = kGuessedFrameH;
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0 &&
        top + bottom > 0) {
        frameW = left + right;
        frameH = top + bottom;
    }
    const int scale = platform::WindowScaleFor(usable.w, usable.h, frameW, frameH, clientW, clientH);
    SDL_SetWindowSize(window, clientW * std::max(1, scale), clientH * std::max(1, scale));
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}
}  // namespace

// ---- The boxes drawn in the window ------------------------------------------------

class SdlHost::Dialog {
public:
    virtual ~Dialog() = default;
    virtual bool IsOpen() const = 0;
    // A key pressed; Repeat for SDL's repeats of a held key.
    virtual void Key(int Code, int Shift, bool Repeat) = 0;
    virtual void Text(const char*) {}
    virtual void Click(int X, int Y) = 0;
    virtual void Pad(ui::PadKey Key) = 0;
    virtual void Close() = 0;
    // Paints the box over the window; CaretOn is the caret's blink phase.
    virtual void Paint(const DialogBackdrop& Under, bool CaretOn) = 0;
    virtual bool Blinks() const { return false; }
};

namespace {

// A repeat of a key that answers a box is dropped: a key held in the game (Enter bombs,
// Space turns the piece) must not answer a box that opens while it is down.
bool AnswersBox(int Code) {
    return Code == vk::Return || Code == vk::Space || Code == vk::Escape ||
           (Code >= vk::A && Code <= vk::A + 25);
}

class MessageDialog final : public SdlHost::Dialog {
public:
    MessageDialog(WindowPainter& Painter, const WindowContent& Content, const std::string& Text,
                  const std::string& Title, MsgButtons Buttons, MsgIcon Icon)
        : painter_(Painter), content_(Content), box_(Text, Title, Buttons, Icon) {
        layout_ = ui::MessageBox::Layout(
            box_, Content.Layout.ClientWidth, Content.Layout.ClientHeight,
            [&](const std::string& t) { return painter_.DialogTextWidth(t); },
            painter_.DialogLineHeight());
    }
    MsgAnswer Answer() const { return box_.Answer(); }
    bool IsOpen() const override { return box_.IsOpen(); }
    void Key(int Code, int Shift, bool Repeat) override {
        if (!(Repeat && AnswersBox(Code))) box_.KeyDown(Code, Shift);
    }
    void Click(int X, int Y) override { box_.MouseDown(X, Y, layout_); }
    void Pad(ui::PadKey Key) override { box_.Pad(Key); }
    void Close() override { box_.Close(); }
    void Paint(const DialogBackdrop& Under, bool) override {
        painter_.PaintDialog(content_, box_, layout_, Under);
    }

private:
    WindowPainter& painter_;
    const WindowContent& content_;
    ui::MessageBox box_;
    ui::MessageBoxLayout layout_;
};

class InputDialog final : public SdlHost::Dialog {
public:
    InputDialog(WindowPainter& Painter, const WindowContent& Content, SdlHost& Host,
                const std::string& Prompt, const std::string& Title, const std::string& Default)
        : painter_(Painter), content_(Content), host_(Host), box_(Prompt, Title, Default) {
        // With a pad plugged in, its letter grid is there from the start.
        if (Host.Gamepad().Count() > 0) box_.ShowGrid();
    }
    std::optional<std::string> Result() const { return box_.Result(); }
    bool IsOpen() const override { return box_.IsOpen(); }
    void Key(int Code, int Shift, bool Repeat) override {
        if (Repeat && (Code == vk::Return || Code == vk::Escape)) return;
        box_.KeyDown(Code, Shift, [this] { return host_.GetClipboardText(); });
    }
    void Text(const char* Utf8) override { box_.TextInput(Utf8); }
    void Click(int X, int Y) override { box_.MouseDown(X, Y, Layout()); }
    void Pad(ui::PadKey Key) override { box_.Pad(Key); }
    void Close() override { box_.Close(); }
    void Paint(const DialogBackdrop& Under, bool CaretOn) override {
        painter_.PaintDialog(content_, box_, Layout(), CaretOn, Under);
    }
    bool Blinks() const override { return true; }

private:
    ui::InputBoxLayout Layout() const {
        return ui::InputBox::Layout(content_.Layout.ClientWidth, content_.Layout.ClientHeight,
                                    box_.GridShown());
    }
    WindowPainter& painter_;
    const WindowContent& content_;
    SdlHost& host_;
    ui::InputBox box_;
};

// The pad buttons a box reads; nothing for the others.
std::optional<ui::PadKey> DialogPadKey(platform::PadButton Button) {
    using platform::PadButton;
    switch (Button) {
        case PadButton::DpadUp: return ui::PadKey::Up;
        case PadButton::DpadDown: return ui::PadKey::Down;
        case PadButton::DpadLeft: return ui::PadKey::Left;
        case PadButton::DpadRight: return ui::PadKey::Right;
        case PadButton::A: return ui::PadKey::A;
        case PadButton::B: return ui::PadKey::B;
        case PadButton::X: return ui::PadKey::X;
        case PadButton::Y: return ui::PadKey::Y;
        case PadButton::Start: return ui::PadKey::Start;
        default: return std::nullopt;
    }
}

}  // namespace

std::unique_ptr<SdlHost> SdlHost::Create(std::string* Error) {
    // The window's class names the desktop entry. SDL 2.26 reads these from the
    // environment (newer versions also as hints); a value the user set there wins.
    for (const char* name : {"SDL_VIDEO_X11_WMCLASS", "SDL_VIDEO_WAYLAND_WMCLASS"}) {
        SDL_setenv(name, kDesktopId, 0);
        SDL_SetHint(name, kDesktopId);
    }
    SDL_SetHint(SDL_HINT_APP_NAME, "Zol");
    // Mesa's software rasteriser splits every frame across worker threads. Our frames
    // redraw only the few small rectangles that changed, so handing them to workers and
    // waiting for them costs more in wake-ups than the split saves: drawing on the
    // calling thread takes a fifth less CPU. Read once when the driver starts; GPU
    // drivers ignore it, and a value the user set wins.
    SDL_setenv("LP_NUM_THREADS", "0", 0);
    // The window art and the icon are decoded here, before the game loads anything.
    LimitDecodeAllocations();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        if (Error) *Error = std::string("SDL video could not start: ") + SDL_GetError();
        return nullptr;
    }
    // Without a display SDL falls back to its offscreen driver, and the game would play
    // on where nobody can see it. That driver is for the tests and tools that ask for it.
    if (IsHeadlessDriver(SDL_GetCurrentVideoDriver()) && !AskedForDriver()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        if (Error) *Error = "no display could be opened (DISPLAY and WAYLAND_DISPLAY name none)";
        return nullptr;
    }
    EndOnLostDisplay();
    std::unique_ptr<SdlHost> host(new SdlHost());
    // Pads are a bonus: without them the game plays on the keyboard as ever.
    host->padsStarted_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!host->padsStarted_)
        std::fprintf(stderr, "Zol: game controllers unavailable: %s\n", SDL_GetError());
    const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    // The window takes its size from the game's layout before it is first shown.
    host->window_ = SDL_CreateWindow("Zol", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     kFirstSize, kFirstSize, flags | SDL_WINDOW_OPENGL);
    // Without OpenGL the window still opens; the graphics device then reports its failure.
    if (!host->window_)
        host->window_ = SDL_CreateWindow("Zol", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                         kFirstSize, kFirstSize, flags);
    if (!host->window_) {
        if (Error) *Error = std::string("the window could not be created: ") + SDL_GetError();
        return nullptr;  // the destructor stops SDL's video again
    }
    WatchVisibility(host->window_);
    const std::string folder = ProgramFolder();
    if (SDL_Surface* icon = LoadImageSurface(folder + "img/icon.png")) {
        SDL_SetWindowIcon(host->window_, icon);
        SDL_FreeSurface(icon);
    }
    host->painter_ = std::make_unique<WindowPainter>(folder + "img/window.png");
    host->content_.Labels.reserve(16);
    return host;
}

SdlHost::~SdlHost() {
    painter_.reset();
    gamepad_.CloseAll();
    if (padsStarted_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    if (window_) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

template <class Fn>
void SdlHost::Guarded(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        Fail(e.what());
    } catch (...) {
        Fail("Unknown error");
    }
}

void SdlHost::Fail(const char* Description) {
    MessageBox(Description, "Zol", MsgButtons::OK, MsgIcon::Error);
    CloseWindow();
}

int SdlHost::Run() {
    if (!closed_) RefreshWindow();
    while (Pump(-1)) {
    }
    return 0;
}

bool SdlHost::Pump(int MaxWaitMs) {
    if (!closed_ && closeRequested_) CloseWindow();
    if (closed_) return false;
    int64_t wait = timer_.WaitMs(static_cast<int64_t>(SDL_GetTicks64()));
    if (MaxWaitMs >= 0 && (wait < 0 || wait > MaxWaitMs)) wait = MaxWaitMs;
    SDL_Event event;
    bool got;
    if (wait < 0)
        got = SDL_WaitEvent(&event) == 1;
    else if (wait == 0)
        got = SDL_PollEvent(&event) == 1;
    else
        got = SDL_WaitEventTimeout(&event, static_cast<int>(wait)) == 1;
    if (got) {
        HandleEvent(event);
        while (!closed_ && SDL_PollEvent(&event)) HandleEvent(event);
    }
    if (!closed_ && closeRequested_) CloseWindow();
    if (closed_) return false;
    const auto now = static_cast<int64_t>(SDL_GetTicks64());
    DeliverPad(gamepad_.Repeat(now));
    if (closed_) return false;
    if (timer_.IsDue(now)) {
        timer_.TickRan(now);
        if (events_) Guarded([&] { events_->tmrMain_Timer(); });
        taps_.TickRan([&](int code, int shift) {
            if (events_ && !closed_) Guarded([&] { events_->Form_KeyUp(code, shift); });
        });
        if (!closed_) RefreshWindow();
    }
    return !closed_;
}

void SdlHost::HandleEvent(const SDL_Event& e) {
    // Pads come and go whether or not a window listens yet.
    if (SdlGamepad::IsPadEvent(e)) {
        DeliverPad(gamepad_.Handle(e, static_cast<int64_t>(SDL_GetTicks64())));
        return;
    }
    if (!events_) {
        if (e.type == SDL_QUIT) CloseWindow();
        return;
    }
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (HandleWindowKey(e.key)) break;
            const int code = VirtualKeyFromSdl(e.key.keysym.sym);
            if (code == 0) break;
            const int shift = ShiftMaskFromSdl(e.key.keysym.mod);
            if (e.type == SDL_KEYDOWN) {
                taps_.Down(code);
                Guarded([&] { events_->Form_KeyDown(code, shift); });
            } else if (!timer_.Enabled() || taps_.Up(code, shift)) {
                Guarded([&] { events_->Form_KeyUp(code, shift); });
            }
            break;
        }
        case SDL_MOUSEBUTTONDOWN: {
            const auto at = ClientPoint(e.button.x, e.button.y);
            if (!at) break;
            const WindowLayout& layout = content_.Layout;
            if (!layout.Front.Contains(at->X, at->Y)) break;
            const int button = ButtonMaskFromSdl(e.button.button);
            const int shift = ShiftMaskFromSdl(SDL_GetModState());
            Guarded([&] {
                events_->Front_MouseDown(button, shift, static_cast<float>(at->X - layout.Screen.X),
                                         static_cast<float>(at->Y - layout.Screen.Y));
            });
            break;
        }
        case SDL_WINDOWEVENT: HandleWindowEvent(e.window); break;
        case SDL_SYSWMEVENT:
            if (const int visible = VisibilityFrom(e); visible >= 0) SetVisibility(visible == 1);
            break;
        case SDL_QUIT: CloseWindow(); break;
        default: break;
    }
}

void SdlHost::HandleWindowEvent(const SDL_WindowEvent& w) {
    switch (w.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            KeysReleased();
            Guarded([&] {
                events_->Form_Activate();
                events_->Form_GotFocus();
            });
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            KeysReleased();
            Guarded([&] {
                events_->Form_LostFocus();
                events_->Form_Deactivate();
            });
            break;
        case SDL_WINDOWEVENT_CLOSE:
            if (inDialog_)
                closeRequested_ = true;
            else
                CloseWindow();
            break;
        case SDL_WINDOWEVENT_HIDDEN:
        case SDL_WINDOWEVENT_MINIMIZED: SetVisibility(false); break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED: SetVisibility(true); break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            SetVisibility(true);
            if (presenter_) presenter_->Invalidate();
            if (!inDialog_) RefreshWindow();
            break;
        default: break;
    }
}

bool SdlHost::HandleWindowKey(const SDL_KeyboardEvent& k) {
    const int code = VirtualKeyFromSdl(k.keysym.sym);
    const bool known = code > 0 && code < 256;
    if (k.type == SDL_KEYUP) {
        if (!known || !swallowed_[code]) return false;
        swallowed_[code] = false;
        return true;
    }
    if (known && swallowed_[code]) return true;  // a repeat of a window key
    // A repeat of a key that went down as a game key stays a game key.
    if (k.repeat != 0) return false;
    const bool fullscreen = IsFullscreenToggle(k.keysym.sym, k.keysym.mod);
    if (!fullscreen && !IsScaleModeToggle(k.keysym.sym)) return false;
    if (known) swallowed_[code] = true;
    if (fullscreen) SetFullscreen(!IsFullscreen());
    else
        SetScaleMode(scaleMode_ == platform::ScaleMode::Sharp ? platform::ScaleMode::Fill
                                                              : platform::ScaleMode::Sharp);
    return true;
}

bool SdlHost::IsFullscreen() const {
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlHost::SetFullscreen(bool Fullscreen) {
    if (!window_ || closed_ || Fullscreen == IsFullscreen()) return;
    if (SDL_SetWindowFullscreen(window_, Fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        std::fprintf(stderr, "Zol: full screen could not be switched: %s\n", SDL_GetError());
}

void SdlHost::SetVisibility(bool Visible) {
    if (Visible == visible_) return;
    visible_ = Visible;
    if (presenter_) presenter_->SetVisible(Visible);
    if (Visible && !inDialog_) RefreshWindow();
}

void SdlHost::SetScaleMode(platform::ScaleMode Mode) {
    if (Mode == scaleMode_) return;
    scaleMode_ = Mode;
    if (presenter_) presenter_->SetScaleMode(Mode);
    if (shown_ && !closed_ && !inDialog_) PresentChrome(true);
}

std::optional<platform::PicturePoint> SdlHost::ClientPoint(int X, int Y) const {
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    SDL_GL_GetDrawableSize(window_, &dw, &dh);
    if (dw <= 0 || dh <= 0) dw = ww, dh = wh;
    const WindowLayout& layout = content_.Layout;
    if (layout.ClientWidth <= 0 || layout.ClientHeight <= 0) return std::nullopt;
    return platform::WindowToPicture(X, Y, ww, wh, dw, dh, layout.ClientWidth, layout.ClientHeight,
                                     scaleMode_);
}

void SdlHost::DeliverPad(const platform::PadActions& Actions) {
    for (const platform::PadAction& a : Actions) {
        if (!events_ || closed_) return;
        switch (a.What) {
            case platform::PadAction::Kind::KeyDown:
                taps_.Down(a.KeyCode);
                Guarded([&] { events_->Form_KeyDown(a.KeyCode, 0); });
                break;
            case platform::PadAction::Kind::KeyUp:
                if (!timer_.Enabled() || taps_.Up(a.KeyCode, 0))
                    Guarded([&] { events_->Form_KeyUp(a.KeyCode, 0); });
                break;
            case platform::PadAction::Kind::Press:
                // A press of the left button in the middle of the drawing area.
                Guarded([&] {
                    const ui::Rect& screen = content_.Layout.Screen;
                    events_->Front_MouseDown(vk::LeftButton, 0, static_cast<float>(screen.W / 2),
                                             static_cast<float>(screen.H / 2));
                });
                break;
        }
    }
}

void SdlHost::DialogTakesFocus(bool Taking) {
    if (!events_ || !shown_ || closed_) return;
    KeysReleased();
    if (Taking)
        Guarded([&] {
            events_->Form_LostFocus();
            events_->Form_Deactivate();
        });
    else
        Guarded([&] {
            events_->Form_Activate();
            events_->Form_GotFocus();
        });
}

void SdlHost::Describe() {
    if (closed_ || !events_) return;
    Guarded([&] { events_->DescribeWindow(content_); });
    const WindowLayout& layout = content_.Layout;
    if (layout == laidOut_ || layout.ClientWidth <= 0 || layout.ClientHeight <= 0) return;
    laidOut_ = layout;
    if (shown_) SDL_SetWindowMinimumSize(window_, layout.ClientWidth, layout.ClientHeight);
    else SizeToDisplay(window_, layout.ClientWidth, layout.ClientHeight);
}

void SdlHost::RefreshWindow() {
    Describe();
    if (closed_ || !events_) return;
    painter_->Paint(content_);
    PresentChrome(true);
}

void SdlHost::PresentChrome(bool FrontVisible) {
    if (!presenter_ || !painter_->Ready()) return;
    const ChromeImage chrome{painter_->Pixels(), painter_->Width(), painter_->Height(),
                             painter_->Version(), painter_->Changed()};
    presenter_->Present(chrome, FrontVisible, content_.Layout.Screen.X, content_.Layout.Screen.Y);
}

bool SdlHost::CanShowMessageBoxes() const {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) return true;
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

int32_t SdlHost::GetTickCount() {
    return static_cast<int32_t>(static_cast<uint32_t>(SDL_GetTicks64()));
}

bool SdlHost::CanShowDialog() const {
    const WindowLayout& layout = content_.Layout;
    return window_ && !closed_ && !closeRequested_ && !inDialog_ && events_ && painter_ && presenter_ &&
           presenter_->CanPresent() && layout.ClientWidth > 0 && layout.ClientHeight > 0;
}

MsgAnswer SdlHost::MessageBox(const std::string& Text, const std::string& Title,
                              MsgButtons Buttons, MsgIcon Icon) {
    if (Icon == MsgIcon::Error) errorShown_ = true;
    if (closeRequested_ && !closed_) {
        // The program is ending: nothing more is asked.
        std::fprintf(stderr, "Zol: closing; %s: %s\n", Title.c_str(),
                     ToSdlLineBreaks(Text).c_str());
        return ui::MessageBox::ClosedAnswer(Buttons);
    }
    if (!CanShowDialog()) return NativeMessageBox(Text, Title, Buttons, Icon);
    MessageDialog box(*painter_, content_, Text, Title, Buttons, Icon);
    RunDialog(box);
    return box.Answer();
}

MsgAnswer SdlHost::NativeMessageBox(const std::string& Text, const std::string& Title,
                                    MsgButtons Buttons, MsgIcon Icon) {
    const std::string body = ToSdlLineBreaks(Text);
    if (CanShowMessageBoxes()) {
        // Enter picks the first button (OK or Yes); Escape the last one (OK, No or Cancel).
        SDL_MessageBoxButtonData data[3];
        int count = 0;
        const auto add = [&](MsgAnswer a, const char* label, Uint32 flags) {
            data[count++] = SDL_MessageBoxButtonData{flags, static_cast<int>(a), label};
        };
        switch (Buttons) {
            case MsgButtons::OK:
                add(MsgAnswer::OK, "OK",
                    SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                        SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
                break;
            case MsgButtons::YesNo:
                add(MsgAnswer::Yes, "Yes", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
                add(MsgAnswer::No, "No", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
                break;
            case MsgButtons::YesNoCancel:
                add(MsgAnswer::Yes, "Yes", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
                add(MsgAnswer::No, "No", 0);
                add(MsgAnswer::Cancel, "Cancel", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
                break;
        }
        const SDL_MessageBoxData box{SdlIconFlag(Icon) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
                                     shown_ && !closed_ ? window_ : nullptr,
                                     Title.c_str(),
                                     body.c_str(),
                                     count,
                                     data,
                                     nullptr};
        int pressed = -1;
        DialogTakesFocus(true);
        const bool ok = SDL_ShowMessageBox(&box, &pressed) == 0;
        DialogTakesFocus(false);
        if (ok) return pressed < 0 ? ui::MessageBox::ClosedAnswer(Buttons) : static_cast<MsgAnswer>(pressed);
    }
    std::fprintf(stderr, "Zol: no message box possible; %s: %s\n", Title.c_str(), body.c_str());
    return ui::MessageBox::ClosedAnswer(Buttons);
}

bool SdlHost::IsForeground() {
    return window_ && shown_ && !closed_ &&
           (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

std::optional<std::string> SdlHost::GetClipboardText() {
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* text = SDL_GetClipboardText();
    if (!text) return std::nullopt;
    std::string result(text);
    SDL_free(text);
    if (result.empty()) return std::nullopt;
    return result;
}

void SdlHost::SetClipboardText(const std::string& Text) { SDL_SetClipboardText(Text.c_str()); }

std::optional<std::string> SdlHost::InputBox(const std::string& Prompt, const std::string& Title,
                                             const std::string& Default) {
    if (!CanShowDialog()) return std::nullopt;
    InputDialog box(*painter_, content_, *this, Prompt, Title, Default);
    RunDialog(box);
    return box.Result();
}

void SdlHost::RunDialog(Dialog& Box) {
    Describe();
    painter_->Paint(content_);
    if (closed_ || !painter_->Ready()) {
        Box.Close();
        return;
    }
    // Keys held now would never see their release, which goes to the box.
    DialogTakesFocus(true);
    inDialog_ = true;
    // A box asked before the game shows its window (at start-up) shows the window for
    // itself, with the drawing area hidden: nothing has been drawn there yet.
    if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) == 0) {
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_);
        SDL_SetWindowInputFocus(window_);
        presenter_->Invalidate();
    }
    const ui::Rect screen = content_.Layout.Screen;
    front_.resize(static_cast<size_t>(screen.W) * static_cast<size_t>(screen.H));
    // Without a copy of the last frame the live screen would cover the box's middle, so
    // the box is drawn over the art alone.
    const bool haveFront = shown_ && presenter_->ReadFront(front_.data(), screen.W, screen.H);
    const DialogBackdrop under{haveFront ? front_.data() : nullptr, screen.W, screen.H, screen.X,
                               screen.Y};
    SDL_StartTextInput();
    bool changed = true;
    int shownBlink = -1;
    const uint64_t opened = SDL_GetTicks64();
    while (Box.IsOpen() && !closed_ && !closeRequested_) {
        const int blink = static_cast<int>(((SDL_GetTicks64() - opened) / kCaretBlinkMs) % 2);
        if (changed || (Box.Blinks() && blink != shownBlink)) {
            Box.Paint(under, blink == 0);
            PresentChrome(false);
            shownBlink = blink;
            changed = false;
        }
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 50) == 1) {
            changed |= HandleDialogEvent(event, Box);
            while (Box.IsOpen() && !closeRequested_ && SDL_PollEvent(&event))
                changed |= HandleDialogEvent(event, Box);
        }
    }
    Box.Close();  // a close request: answered as if cancelled
    inDialog_ = false;
    DialogTakesFocus(false);
    if (!closed_) {
        painter_->Paint(content_, true);
        PresentChrome(shown_);
    }
}

bool SdlHost::HandleDialogEvent(const SDL_Event& e, Dialog& Box) {
    if (SdlGamepad::IsPadEvent(e)) {
        // Pads still come and go; what they press goes to the box, not to the game.
        gamepad_.Handle(e, static_cast<int64_t>(SDL_GetTicks64()));
        if (e.type != SDL_CONTROLLERBUTTONDOWN) return false;
        const auto key = DialogPadKey(PadButtonFromSdl(e.cbutton.button));
        if (key) Box.Pad(*key);
        return key.has_value();
    }
    switch (e.type) {
        case SDL_KEYUP: HandleWindowKey(e.key); return false;
        case SDL_KEYDOWN: {
            if (HandleWindowKey(e.key)) return false;
            const int code = VirtualKeyFromSdl(e.key.keysym.sym);
            if (code == 0) return false;
            Box.Key(code, ShiftMaskFromSdl(e.key.keysym.mod), e.key.repeat != 0);
            return true;
        }
        case SDL_TEXTINPUT: Box.Text(e.text.text); return true;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button != SDL_BUTTON_LEFT) return false;
            if (const auto at = ClientPoint(e.button.x, e.button.y)) Box.Click(at->X, at->Y);
            return true;
        case SDL_QUIT:
            Box.Close();
            closeRequested_ = true;
            return false;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                Box.Close();
                closeRequested_ = true;
            } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
                       e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                HandleWindowEvent(e.window);
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                if (presenter_) presenter_->Invalidate();
                PresentChrome(false);
            }
            return false;
        default: return false;
    }
}

void SdlHost::CloseWindow() {
    if (closed_) return;
    closed_ = true;
    timer_.Stop();
    if (events_) {
        try {
            events_->Form_Unload();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "Zol: %s\n", e.what());
        } catch (...) {
            std::fprintf(stderr, "Zol: unknown error while closing\n");
        }
    }
    if (window_) SDL_HideWindow(window_);
}

double SdlHost::TimeOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto micros = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000;
    const double fraction = static_cast<double>(micros) / 1e6;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
}

void SdlHost::SetCaption(const std::string& Caption) {
    if (window_) SDL_SetWindowTitle(window_, Caption.c_str());
}

void SdlHost::ShowWindow() {
    if (!window_ || closed_) return;
    Describe();
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    // The drawing area takes the keyboard: ask for the input focus even where no window
    // manager hands it out.
    SDL_SetWindowInputFocus(window_);
    shown_ = true;
    SDL_Event event;
    while (!closed_ && SDL_PollEvent(&event)) HandleEvent(event);
}

void SdlHost::SetTimerEnabled(bool Enabled) {
    if (Enabled && !timer_.Enabled())
        timer_.Start(static_cast<int64_t>(SDL_GetTicks64()));
    else if (!Enabled)
        timer_.Stop();
}

}  // namespace zol::sdl

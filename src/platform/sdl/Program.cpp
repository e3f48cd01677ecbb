#include "platform/sdl/Program.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "framework/graphics/gl/GlRenderDevice.h"
#include "framework/graphics/qDDraw.h"
#include "framework/sound/fluidsynth/FluidMusicDevice.h"
#include "framework/sound/openal/OpenAlSoundDevice.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"
#include "platform/sdl/SdlHost.h"

namespace zol::sdl {

namespace {

// Shows the window through the OpenGL device while it exists. The painter says where
// its latest change lies, so a counter that changes every tick uploads and shows just
// its own rectangle of the chrome instead of all of it.
class GlPresenter final : public WindowPresenter {
public:
    explicit GlPresenter(const WindowPainter& Painter) : painter_(Painter) {}
    void Present(const uint32_t* Rgba, int Width, int Height, uint64_t Version, int FrontX,
                 int FrontY) override {
        auto* gl = GlRenderDevice::Current();
        if (!gl) return;
        if (Rgba == painter_.Pixels() && Version == painter_.Version())
            gl->PresentWindow(Rgba, Width, Height, Version, FrontX, FrontY, painter_.Changed());
        else
            gl->PresentWindow(Rgba, Width, Height, Version, FrontX, FrontY);
    }
    bool ReadFront(uint32_t* Rgba, int Width, int Height) override {
        auto* gl = GlRenderDevice::Current();
        int w = 0, h = 0;
        if (!gl || !gl->ReadScreenPixels(screen_, w, h) || w != Width || h != Height) return false;
        std::copy(screen_.begin(), screen_.end(), Rgba);
        return true;
    }
    void Invalidate() override {
        if (auto* gl = GlRenderDevice::Current()) gl->InvalidateWindow();
    }

private:
    const WindowPainter& painter_;
    std::vector<uint32_t> screen_;
};

// The SDL host as the game sees it, with every message box passed by the watcher first
// and the boxes answered by the options' answerers where they are given.
class WatchedHost final : public WindowHost {
public:
    WatchedHost(SdlHost& Host, const ProgramOptions& Options)
        : host_(Host), options_(Options) {}

    int32_t GetTickCount() override { return host_.GetTickCount(); }
    MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                         MsgIcon icon) override {
        const ShownMessage message{text, title, buttons, icon};
        if (options_.OnMessage) options_.OnMessage(message);
        if (options_.AnswerMessage) {
            if (const auto answer = options_.AnswerMessage(message)) return *answer;
        }
        return host_.MessageBox(text, title, buttons, icon);
    }
    bool IsForeground() override {
        if (options_.AlwaysForeground) return host_.WasShown() && !host_.Closed();
        return host_.IsForeground();
    }
    std::optional<std::string> GetClipboardText() override { return host_.GetClipboardText(); }
    void SetClipboardText(const std::string& Text) override { host_.SetClipboardText(Text); }
    std::optional<std::string> InputBox(const std::string& Prompt, const std::string& Title,
                                        const std::string& Default) override {
        if (options_.AnswerInput) return options_.AnswerInput(Prompt);
        return host_.InputBox(Prompt, Title, Default);
    }
    void CloseWindow() override { host_.CloseWindow(); }
    double TimeOfDay() override { return host_.TimeOfDay(); }
    void SetCaption(const std::string& Caption) override { host_.SetCaption(Caption); }
    void ShowWindow() override { host_.ShowWindow(); }
    void SetTimerEnabled(bool Enabled) override { host_.SetTimerEnabled(Enabled); }
    void* NativeWindow() override { return host_.NativeWindow(); }

private:
    SdlHost& host_;
    const ProgramOptions& options_;
};

// The game window's event procedures, with the timer's ticks counted, watched and used
// to feed the event script.
class ScriptedEvents final : public WindowEvents {
public:
    ScriptedEvents(frmMain& Form, const ProgramOptions& Options, SDL_Window* Window)
        : form_(Form), options_(Options), windowId_(Window ? SDL_GetWindowID(Window) : 0) {}

    // Pushes the events due after AfterTick ticks (0: those due before the loop starts).
    void PushDue(int32_t Tick) {
        for (const ScriptedEvent& s : options_.Script) {
            if (s.AfterTick == Tick || (Tick == 0 && s.AfterTick < 0)) {
                SDL_Event e = s.Event;
                if (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) e.key.windowID = windowId_;
                if (e.type == SDL_WINDOWEVENT) e.window.windowID = windowId_;
                SDL_PushEvent(&e);
            }
        }
    }

    void Form_KeyDown(int KeyCode, int Shift) override { form_.Form_KeyDown(KeyCode, Shift); }
    void Form_KeyUp(int KeyCode, int Shift) override { form_.Form_KeyUp(KeyCode, Shift); }
    void Front_MouseDown(int Button, int Shift, float X, float Y) override {
        form_.Front_MouseDown(Button, Shift, X, Y);
    }
    void Form_Activate() override { form_.Form_Activate(); }
    void Form_Deactivate() override { form_.Form_Deactivate(); }
    void Form_GotFocus() override { form_.Form_GotFocus(); }
    void Form_LostFocus() override { form_.Form_LostFocus(); }
    void Form_Unload() override { form_.Form_Unload(); }
    void tmrMain_Timer() override {
        form_.tmrMain_Timer();
        ++ticks_;
        if (options_.OnTick) options_.OnTick(form_, ticks_);
        if (!options_.Script.empty()) PushDue(ticks_);
    }
    void DescribeWindow(WindowContent& content) override { form_.DescribeWindow(content); }

private:
    frmMain& form_;
    const ProgramOptions& options_;
    const Uint32 windowId_;
    int32_t ticks_ = 0;
};

// FluidSynth tuned for background music. The song only starts and stops, so a tenth of
// a second of output latency costs nothing. Two periods of 2048 frames give that tenth
// with the fewest wake-ups of the audio thread and of the sound server behind it: 22 a
// second instead of 689 with FluidSynth's default of 64 frames, and half those of four
// periods of 1024, which was measurable in the whole game's CPU. Samples are loaded
// when an instrument is first selected, so only the song's instruments take memory, not
// the whole soundfont.
FluidMusicDevice::SettingList MusicSettings() {
    return {{"audio.period-size", "2048"},
            {"audio.periods", "2"},
            {"synth.dynamic-sample-loading", "1"}};
}

}  // namespace

SDL_Event KeyEvent(bool Down, SDL_Keycode Key) {
    SDL_Event e{};
    e.type = Down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = Down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = Key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(Key);
    return e;
}

int RunProgram(const ProgramOptions& Options) {
    std::string error;
    auto host = SdlHost::Create(&error);
    if (!host) {
        // No display at all: there is nowhere to show a message box.
        std::fprintf(stderr, "Zol: %s\n", error.c_str());
        return 1;
    }
    WatchedHost watched(*host, Options);
    SetSystemHost(&watched);

    SetRenderDeviceFactory(Options.RenderFactory ? *Options.RenderFactory : GlRenderDevice::Factory());
    SetSoundDeviceFactory(Options.SoundFactory ? *Options.SoundFactory
                                               : [] { return std::make_unique<OpenAlSoundDevice>(); });
    SetMusicDeviceFactory(Options.MusicFactory ? *Options.MusicFactory : [] {
        return std::make_unique<FluidMusicDevice>(FluidOutput::AudioDriver, "", MusicSettings());
    });
    GlPresenter presenter(host->Painter());
    host->SetPresenter(&presenter);

    int code = 0;
    {
        frmMain form(watched);
        ScriptedEvents events(form, Options, host->Window());
        host->SetEvents(&events);
        form.Form_Load();
        events.PushDue(0);
        code = host->Run();
        // Start-up that ended on an error message without ever opening the window failed.
        if (!host->WasShown() && host->ErrorShown()) code = 1;
        host->SetEvents(nullptr);
    }
    // Closing released the framework; what is left are the borrowed pieces.
    host->SetPresenter(nullptr);
    SetSystemHost(nullptr);
    SetRenderDeviceFactory({});
    SetSoundDeviceFactory({});
    SetMusicDeviceFactory({});
    return code;
}

}  // namespace zol::sdl

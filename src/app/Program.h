// Program: the game process, wired from its real parts.
//
// What it does: starts the SDL window host, installs the devices the framework makes when
// the game window starts (OpenGL on the host's window, OpenAL Soft, FluidSynth), shows the
// window through the GL presenter, runs the game window's start-up, the event loop until
// the window closes, and the shutdown. main() parses the command line and calls
// RunProgram; a tool or test that runs the real program builds the same Program and hands
// it a game window of its own making.
// Who owns what: a Program owns the host, the presenter and the screen link, and while it
// lives it is installed as the framework's devices and system host; it removes all of that
// again when it goes. The game window is the caller's and must go first.
// Failure: Create returns nullptr with a reason when SDL's video cannot start; Loop
// returns 1 when start-up ended on an error message without ever showing the window.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "framework/graphics/RenderDevice.h"
#include "framework/graphics/gl/GlRenderDevice.h"
#include "framework/sound/MusicDevice.h"
#include "framework/sound/SoundDevice.h"
#include "platform/WindowHost.h"
#include "platform/sdl/GlWindowPresenter.h"
#include "platform/sdl/SdlHost.h"

namespace zol {

class frmMain;

namespace app {

// The devices of a run. nullopt: the real backend; an empty factory: none (graphics then
// runs headless, sound and music fail to open).
struct Devices {
    std::optional<RenderDeviceFactory> Render;
    std::optional<SoundDeviceFactory> Sound;
    std::optional<MusicDeviceFactory> Music;
};

class Program {
public:
    // Starts the window host and installs the devices; nullptr with *Error on failure.
    static std::unique_ptr<Program> Create(const Devices& Use, std::string* Error);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    sdl::SdlHost& Host() { return *host_; }
    sdl::GlWindowPresenter& Presenter() { return *presenter_; }

    // Starts the game window: the host delivers its events to Events (normally Form
    // itself), the framework asks Form's host for the clock and for message boxes, and
    // the window's start-up runs.
    void Load(frmMain& Form, WindowEvents& Events);
    // Runs the event loop until the window closes; the process's exit code.
    int Loop();

private:
    Program() = default;
    std::unique_ptr<sdl::SdlHost> host_;
    GlScreenLink link_;
    std::unique_ptr<sdl::GlWindowPresenter> presenter_;
};

// The whole program with the real devices, from start-up to the closed window, as the
// command line asks; the exit code.
int RunProgram(const CommandLine& Line);

}  // namespace app
}  // namespace zol

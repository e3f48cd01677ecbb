// Zol: wires the real backends together and hands control to the window host.
#include <cstdio>
#include <string>

#include "framework/core/qCore.h"
#include "game/frmMain.h"
#include "platform/sdl/SdlHost.h"
#include "platform/sdl/SurfacePresenter.h"

int main() {
    using namespace zol;
    std::string error;
    auto host = sdl::SdlHost::Create(&error);
    if (!host) {
        // No display at all: there is nowhere to show a message box.
        std::fprintf(stderr, "Zol: %s\n", error.c_str());
        return 1;
    }
    SetSystemHost(host.get());

    // ---- Device backends (completed when the branches are merged) ----
    // SetRenderDeviceFactory(...);  graphics: the OpenGL device on host->Window()
    // SetSoundDeviceFactory(...);   sound: OpenAL Soft
    // SetMusicDeviceFactory(...);   music: FluidSynth
    // The presenter becomes an adapter that forwards Present to the GL device's
    // PresentWindow (and ReadFront to its ReadScreenPixels) while the device exists.
    sdl::SurfacePresenter presenter(host->Window());
    host->SetPresenter(&presenter);

    frmMain form(*host);
    host->SetEvents(&form);
    form.Form_Load();
    int code = host->Run();
    // Start-up that ended on an error message without ever opening the window failed.
    if (!host->WasShown() && host->ErrorShown()) code = 1;
    host->SetEvents(nullptr);
    SetSystemHost(nullptr);
    return code;
}

// The device and the frame: creation through the installed factory, the logical screen,
// BeginScene / EndScene with the frame clock and the frames-per-second figure.
#include <cmath>

#include "framework/core/qCore.h"
#include "framework/graphics/qDDraw_Internal.h"

namespace zol {

int32_t ScreenWidth = 480;
int32_t ScreenHeight = 288;
int32_t Fps = 0;
Color32 DefaultColorKey = kWhite;
int32_t RenderTarget = 0;
bool RenderToTexture = false;

namespace ddraw {
std::unique_ptr<RenderDevice> Device;
}  // namespace ddraw

namespace {
RenderDeviceFactory g_factory;
std::string g_deviceError;  // why the last creation failed, for GetErrorText
int32_t g_fpsFrames = 0;
int32_t g_fpsTime = 0;

// Tries an accelerated device first, then any device. Failed attempts stay silent.
bool Device_Create(void* WindowHandle) {
    g_deviceError.clear();
    for (bool accelerated : {true, false}) {
        std::string error;
        auto device = g_factory(WindowHandle, accelerated, &error);
        if (device) {
            ddraw::Device = std::move(device);
            g_deviceError.clear();
            return true;
        }
        if (!error.empty()) g_deviceError = error;
    }
    return false;
}
}  // namespace

void SetRenderDeviceFactory(RenderDeviceFactory Factory) { g_factory = std::move(Factory); }
RenderDevice* GetRenderDevice() { return ddraw::Device.get(); }

bool Device_Initialize() {
    ddraw::ReleaseAllTextures();
    Textures.assign(1, TextureRecord{});
    TextureCount = 0;
    DefaultColorKey = ColorRGB(1, 1, 1);
    return true;
}

bool Device_InitWindowed(void* WindowHandle, int32_t Width, int32_t Height, float Scale) {
    // Without a factory the framework runs headless: logic and bookkeeping, no pictures.
    if (g_factory && !ddraw::Device && !Device_Create(WindowHandle)) {
        LastErrorCode = kErrorNoRenderer;
        return false;
    }
    SetScreenSize(Width, Height, Scale);
    ddraw::ApplyDefaultStates();
    return true;
}

void SetScreenSize(int32_t Width, int32_t Height, float Scale) {
    ScreenWidth = Width;
    ScreenHeight = Height;
    ScreenScale = Scale;
}

bool BeginScene(Color32 ClearColor, int32_t Target) {
    TickCount = GetTickCount();
    // A measuring window closes after a second or once it has counted more frames than
    // the last figure; 64-bit differences keep a wrapping clock from overflowing.
    const int64_t now = TickCount;
    if (g_fpsTime >= now - 1000 && g_fpsFrames <= Fps) {
        ++g_fpsFrames;
    } else {
        if (g_fpsTime < now) {
            Fps = static_cast<int32_t>(std::nearbyint(static_cast<double>(g_fpsFrames) * 1000.0 /
                                                      static_cast<double>(now - g_fpsTime)));
        }
        g_fpsTime = TickCount;
        g_fpsFrames = 1;
    }
    RenderToTexture = false;
    if (Target > 0) RenderTarget = Target;
    if (auto* device = ddraw::Device.get()) {
        device->BeginFrame(ScreenWidth, ScreenHeight);
        // Colour 0 keeps the previous picture: only depth is cleared.
        device->Clear(ClearColor != 0, ClearColor);
    }
    return true;
}

void EndScene() {
    FlushPolyBuffer();
    if (auto* device = ddraw::Device.get()) device->EndFrame();
}

void Device_Release() {
    ddraw::ReleaseAllTextures();
    Textures.assign(1, TextureRecord{});
    TextureCount = 0;
    ddraw::Device.reset();
}

std::string GetErrorText(int32_t Code) {
    if (Code == 0) Code = LastErrorCode;
    switch (Code) {
        case 0:
            return "No error";
        case kErrorNoRenderer:
            return g_deviceError.empty() ? "No OpenGL 3.3 renderer is available"
                                         : "No OpenGL 3.3 renderer is available: " + g_deviceError;
        default:
            return "Error " + std::to_string(Code);
    }
}

namespace ddraw {
void TargetScale(float& SX, float& SY) {
    SX = ScreenScale;
    SY = ScreenScale;
}
}  // namespace ddraw

}  // namespace zol

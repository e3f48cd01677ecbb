// Placeholder bodies until the drawing module is built: every call is accepted and draws nothing.
#include "framework/graphics/qDDraw.h"

#include <cmath>

#include "framework/core/qCore.h"

namespace zol {

int32_t ScreenWidth = 480;
int32_t ScreenHeight = 288;
float ScreenScale = 1.0f;
int32_t Fps = 0;
std::string ImagePath;
Color32 DefaultColorKey = kWhite;

bool Device_Initialize() { return true; }
bool Device_InitWindowed(void*, int32_t Width, int32_t Height, float Scale) {
    SetScreenSize(Width, Height, Scale);
    return true;
}
void SetScreenSize(int32_t Width, int32_t Height, float Scale) {
    ScreenWidth = Width;
    ScreenHeight = Height;
    ScreenScale = Scale;
}
bool BeginScene(Color32, int32_t) {
    TickCount = GetTickCount();
    return true;
}
void EndScene() {}
void Device_Release() {}
std::string GetErrorText(int32_t) { return "no error"; }
void Blt(int32_t, float, float, float, float, int32_t, int32_t, int32_t, int32_t, Color32, float) {}
void BltRotate(int32_t, float, float, float, float, int32_t, int32_t, int32_t, int32_t, Color32, float,
               float, float, float) {}
void BltRect(int32_t, float, float, float, float, float, float, float, float, Color32, float, float,
             float, float) {}
void FlushPolyBuffer() {}
void SetAlphaMode(int32_t) {}

namespace {
uint32_t ChannelByte(float v) {
    const double b = RoundHalfEven(static_cast<double>(Clamp(v, 0.0f, 1.0f)) * 255.0);
    return static_cast<uint32_t>(b);
}
}  // namespace

Color32 ColorRGB(float R, float G, float B) {
    return 0xFF000000u | (ChannelByte(R) << 16) | (ChannelByte(G) << 8) | ChannelByte(B);
}
Color32 ColorRGBA(float R, float G, float B, float A) {
    const float a = Clamp(A, 0, 1);
    return ColorRGB(Clamp(R, 0, 1) * a, Clamp(G, 0, 1) * a, Clamp(B, 0, 1) * a);
}
void BltSurface(float, float, float, float, Color32) {}
void ApplyGamma(float) {}
void ApplyTint(float, float, float) {}
int32_t LoadTexture(const std::string&, bool, Color32) { return 0; }

}  // namespace zol

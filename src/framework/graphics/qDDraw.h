// qDDraw: the drawing module. The device and its frame, batched sprites, blending modes,
// screen effects and the texture table.
//
// What it does: every picture is a textured rectangle in the logical screen
// (ScreenWidth x ScreenHeight pixels, origin top-left, y down). Drawing calls append to a
// batch per texture; batches are drawn when the blending mode changes or the frame ends.
// Who owns what: all state is module-level; the GPU is reached only through the
// RenderDevice seam, whose backend is installed before Device_InitWindowed.
// Failure: Device_Initialize and Device_InitWindowed return false and leave LastErrorCode;
// LoadTexture returns 0; drawing with texture 0 or an unknown index draws nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/qCore.h"

namespace zol {

// Packed 32-bit ARGB colour (alpha in the top byte). All bits set is opaque white.
using Color32 = uint32_t;
constexpr Color32 kWhite = 0xFFFFFFFFu;

// ---- The logical screen and the frame -----------------------------------------

extern int32_t ScreenWidth;   // logical screen width in pixels
extern int32_t ScreenHeight;  // logical screen height in pixels
// ScreenScale (logical to back-buffer pixels, applied at flush) is in qCore.
extern int32_t Fps;           // frames per second measured by BeginScene
extern std::string ImagePath; // folder that LoadTexture looks in first, ending in "/"
extern Color32 DefaultColorKey;  // the colour key that ColorKey 1 stands for
extern int32_t RenderTarget;     // texture index the frame was asked to draw into (0: screen)
// Drawing into a texture is not offered: frames always draw to the logical screen, so
// this stays false and RenderTarget is only recorded.
extern bool RenderToTexture;

// Error numbers left in LastErrorCode.
constexpr int32_t kErrorNoRenderer = 1001;  // no rendering device could be created

// Batches (one per texture) open since the last flush.
extern int32_t PolyBufferCount;

// Prepares the graphics layer; false (with LastErrorCode) when it is unavailable.
bool Device_Initialize();
// Creates the device on a window's drawing area and sets the logical screen.
bool Device_InitWindowed(void* WindowHandle, int32_t Width, int32_t Height, float Scale);
// Sets the logical screen size and the scale applied when batches are flushed.
void SetScreenSize(int32_t Width, int32_t Height, float Scale);
// Starts a frame: refreshes TickCount, measures Fps, clears (colour 0 clears depth only).
bool BeginScene(Color32 ClearColor, int32_t Target);
// Flushes the batches and ends the frame.
void EndScene();
// Releases every texture, then the device.
void Device_Release();
// A readable text for an error code (0: LastErrorCode).
std::string GetErrorText(int32_t Code);

// ---- Sprites ------------------------------------------------------------------------

// Appends an axis-aligned textured rectangle to its texture's batch.
void Blt(int32_t Texture, float X, float Y, float Width, float Height, int32_t SrcX, int32_t SrcY,
         int32_t SrcWidth, int32_t SrcHeight, Color32 Color, float TexScale);
// As Blt, turned by Angle (radians, clockwise on screen) about the pivot (CenterX, CenterY).
void BltRotate(int32_t Texture, float X, float Y, float Width, float Height, int32_t SrcX,
               int32_t SrcY, int32_t SrcWidth, int32_t SrcHeight, Color32 Color, float Angle,
               float CenterX, float CenterY, float TexScale);
// Appends a quad with four free corners (top-left, top-right, bottom-right, bottom-left).
void BltRect(int32_t Texture, float X1, float Y1, float X2, float Y2, float X3, float Y3, float X4,
             float Y4, Color32 Color, float U, float V, float UWidth, float VHeight);
// The batch index for a texture, opening a batch on its first use since the last flush.
int32_t GetPolyBufferIndex(int32_t Texture);
// Draws and empties every batch.
void FlushPolyBuffer();
// Flushes, then sets one of the blending modes 0, 1, 2, 3, 10, 11, 12, 20, 21, 30, 31.
void SetAlphaMode(int32_t Mode);
// Opaque colour from channels in 0..1.
Color32 ColorRGB(float R, float G, float B);
// Opaque colour of (R*A, G*A, B*A), each argument first limited to 0..1.
Color32 ColorRGBA(float R, float G, float B, float A);

// ---- Screen effects -----------------------------------------------------------------

// Draws a plain rectangle at once, under any sprites still batched.
void BltSurface(float X, float Y, float Width, float Height, Color32 Color);
// Brightens (Gamma > 0) or darkens (Gamma < 0) the whole screen by Gamma of full scale.
void ApplyGamma(float Gamma);
// Adds a colour to every pixel of the screen.
void ApplyTint(float R, float G, float B);

// ---- Textures -----------------------------------------------------------------------

// Loads an image into the texture table (or finds it there); 0 when nothing could be loaded.
int32_t LoadTexture(const std::string& FileName, bool Smooth, Color32 ColorKey);
// The image at Path as ARGB pixels, rows top first; false when it cannot be decoded. Only
// the formats game art comes in are read (PNG, BMP, JPEG, TGA), at most 4096 pixels a side.
bool DecodeImage(const std::string& Path, std::vector<uint32_t>& Pixels, int32_t& Width,
                 int32_t& Height);
// Adds decoded ARGB pixels (rows top first) to the table as FileName, with the colour key
// applied; what LoadTexture does after decoding. 0 when the device refuses the texture.
int32_t AddTexture(const std::string& FileName, const uint32_t* Pixels, int32_t Width,
                   int32_t Height, bool Smooth, Color32 ColorKey);

// One loaded image.
struct TextureRecord {
    Color32 ColorKey = 0;   // the colour made transparent at load; 0 none
    bool Smooth = false;    // the resampling asked for at load
    std::string FileName;   // as the caller gave it (the table's key, case-insensitive)
    uint32_t Texture = 0;   // the device's handle (0 while drawing runs without a device)
    int32_t Width = 0;      // the image's own size, which source rectangles divide by
    int32_t Height = 0;
};
// The texture table: entries 1..TextureCount (entry 0 is never filled).
extern std::vector<TextureRecord> Textures;
extern int32_t TextureCount;

}  // namespace zol

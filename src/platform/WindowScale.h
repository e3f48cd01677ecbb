// WindowScale: where the fixed-size window picture sits in a window of any size.
//
// What it does: the client area is laid out at a fixed size in logical pixels and shown
// at a whole-number scale, so that every logical pixel becomes a sharp square of device
// pixels, or (Fill) as large as the window's height allows. These functions are the one
// statement of that geometry: the presenter draws the picture where FitPicture puts it,
// the host maps mouse positions back through the same numbers, and picks the window's
// first size with WindowScaleFor.
// Who owns what: plain values; nothing is kept.
// Failure: sizes of 0 or less are treated as 1; a point outside the picture maps to
// nothing (std::nullopt).
#pragma once

#include <optional>

namespace zol::platform {

// How the picture fills a larger window: Sharp at the largest whole scale, or Fill the
// window's height as far as its width allows (a whole-scale enlargement smoothed once to
// the final size).
enum class ScaleMode { Sharp, Fill };

// The picture inside a drawable, in device pixels.
struct PicturePlacement {
    // The whole scale: the picture's in Sharp mode; in Fill mode the first, sharp
    // enlargement's, which is then smoothed down to Width x Height.
    int Scale = 1;
    int Left = 0, Top = 0;  // may be negative when even scale 1 does not fit
    int Width = 0, Height = 0;
};

// A point of the picture in logical pixels.
struct PicturePoint {
    int X = 0, Y = 0;
};

// The picture fitted to the drawable, centred (an odd spare column lies right of it, an
// odd spare row above it): Sharp at the largest whole scale (at least 1); Fill at the
// largest scale that fits, whole or not (Sharp where that is below 1).
PicturePlacement FitPicture(int DrawableW, int DrawableH, int PictureW, int PictureH,
                            ScaleMode Mode = ScaleMode::Sharp);

// The picture pixel under window point (WindowX, WindowY), or nothing when the point lies
// on the bars around the picture or outside the window. Window and drawable sizes differ
// on high-density displays, where a window point covers several device pixels.
std::optional<PicturePoint> WindowToPicture(int WindowX, int WindowY, int WindowW, int WindowH,
                                            int DrawableW, int DrawableH, int PictureW,
                                            int PictureH, ScaleMode Mode = ScaleMode::Sharp);

// The largest whole scale (at least 1) at which a window of the picture's size plus its
// decorations (DecorW across, DecorH down) fits the usable part of a display.
int WindowScaleFor(int UsableW, int UsableH, int DecorW, int DecorH, int PictureW, int PictureH);

}  // namespace zol::platform

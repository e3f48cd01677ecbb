#include "platform/WindowScale.h"

#include <algorithm>
#include <cstdint>

namespace zol::platform {

namespace {
int AtLeastOne(int v) { return std::max(1, v); }

// Floor division for a possibly negative numerator and a positive divisor.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

PicturePlacement FitPicture(int DrawableW, int DrawableH, int PictureW, int PictureH,
                            ScaleMode Mode) {
    const int dw = AtLeastOne(DrawableW), dh = AtLeastOne(DrawableH);
    const int pw = AtLeastOne(PictureW), ph = AtLeastOne(PictureH);
    PicturePlacement p;
    p.Scale = std::max(1, std::min(dw / pw, dh / ph));
    p.Width = pw * p.Scale, p.Height = ph * p.Scale;
    if (Mode == ScaleMode::Fill) {
        // The side that runs out first sets the size; the sharp first pass rounds up, so
        // the smoothing only ever shrinks.
        const bool byHeight = int64_t{dh} * pw <= int64_t{dw} * ph;
        if (byHeight && dh >= ph) {
            p.Height = dh;
            p.Width = static_cast<int>(int64_t{pw} * dh / ph);
        } else if (!byHeight && dw >= pw) {
            p.Width = dw;
            p.Height = static_cast<int>(int64_t{ph} * dw / pw);
        }
        p.Scale = std::max(1, (std::max(p.Width * ph, p.Height * pw) + pw * ph - 1) / (pw * ph));
    }
    // Half the spare room on each side; an odd spare column goes to the right, an odd
    // spare row above the picture (the presenter centres in OpenGL's rows, which count
    // from the bottom). Division truncates, also for a window smaller than the picture.
    const int spareW = dw - p.Width, spareH = dh - p.Height;
    p.Left = spareW / 2;
    p.Top = spareH - spareH / 2;
    return p;
}

std::optional<PicturePoint> WindowToPicture(int WindowX, int WindowY, int WindowW, int WindowH,
                                            int DrawableW, int DrawableH, int PictureW,
                                            int PictureH, ScaleMode Mode) {
    const int ww = AtLeastOne(WindowW), wh = AtLeastOne(WindowH);
    const int dw = AtLeastOne(DrawableW), dh = AtLeastOne(DrawableH);
    const int pw = AtLeastOne(PictureW), ph = AtLeastOne(PictureH);
    if (WindowX < 0 || WindowY < 0 || WindowX >= ww || WindowY >= wh) return std::nullopt;
    // The device pixel under the point's top-left corner.
    const int64_t px = int64_t{WindowX} * dw / ww, py = int64_t{WindowY} * dh / wh;
    const PicturePlacement fit = FitPicture(dw, dh, pw, ph, Mode);
    const int64_t x = FloorDiv((px - fit.Left) * pw, fit.Width);
    const int64_t y = FloorDiv((py - fit.Top) * ph, fit.Height);
    if (x < 0 || y < 0 || x >= pw || y >= ph) return std::nullopt;
    return PicturePoint{static_cast<int>(x), static_cast<int>(y)};
}

int WindowScaleFor(int UsableW, int UsableH, int DecorW, int DecorH, int PictureW, int PictureH) {
    const int pw = AtLeastOne(PictureW), ph = AtLeastOne(PictureH);
    const int w = UsableW - std::max(0, DecorW), h = UsableH - std::max(0, DecorH);
    return std::max(1, std::min(w / pw, h / ph));
}

}  // namespace zol::platform

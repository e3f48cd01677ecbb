// SubBufferCopier: shows rectangles of a GLX window's back buffer without a swap.
//
// What it does: through GLX_MESA_copy_sub_buffer, copies rectangles of the current
// drawable's back buffer to the window. The back buffer is never swapped, so it keeps the
// whole picture and only what changed has to be drawn into it and sent to the display.
// Mesa's software drawables learn a new window size only from a swap, so a copy racing a
// resize can ask the X server for pixels the buffer does not have; the server refuses it
// with an error that would otherwise end the process. The copier catches such errors and
// reports the copy as failed, and the caller swaps instead.
// Who owns what: it borrows the current GLX context's display and drawable.
// Failure: ForCurrentContext returns nullptr where the current context is not a GLX one
// or the extension is missing; the caller then swaps as usual. Copy returns false when
// the server refused a copy.
#pragma once

#include <memory>

#include "framework/graphics/FrameDamage.h"

namespace zol::sdl {

class SubBufferCopier {
public:
    // For the OpenGL context current on this thread, or nullptr (see above).
    static std::unique_ptr<SubBufferCopier> ForCurrentContext();
    // Shows the back buffer's pixels inside each rectangle (window coordinates, rows
    // counted from the bottom); false when the X server refused one of the copies.
    bool Copy(const PixelRect* Rects, int Count);

private:
    SubBufferCopier() = default;
    void* display_ = nullptr;
};

}  // namespace zol::sdl

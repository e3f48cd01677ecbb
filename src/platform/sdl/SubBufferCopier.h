// SubBufferCopier: shows rectangles of a GLX window's back buffer without a swap.
//
// What it does: through GLX_MESA_copy_sub_buffer, copies a rectangle of the current
// drawable's back buffer to the window. The back buffer is never swapped, so it keeps the
// whole picture and only what changed has to be drawn into it and sent to the display.
// Who owns what: it borrows the current GLX context's display and drawable.
// Failure: ForCurrentContext returns nullptr where the current context is not a GLX one
// or the extension is missing; the caller then swaps as usual.
#pragma once

#include <memory>

namespace zol::sdl {

class SubBufferCopier {
public:
    // For the OpenGL context current on this thread, or nullptr (see above).
    static std::unique_ptr<SubBufferCopier> ForCurrentContext();
    // Shows the back buffer's pixels [X, X + Width) x [Y, Y + Height), in window
    // coordinates that count rows from the bottom.
    void Copy(int X, int Y, int Width, int Height);

private:
    SubBufferCopier() = default;
    void* display_ = nullptr;
};

}  // namespace zol::sdl

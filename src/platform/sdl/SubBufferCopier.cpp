#include "platform/sdl/SubBufferCopier.h"

#include <dlfcn.h>
#include <epoxy/glx.h>

namespace zol::sdl {

std::unique_ptr<SubBufferCopier> SubBufferCopier::ForCurrentContext() {
    // libepoxy reaches GLX through libGL and aborts when it cannot open it; a context that
    // is a GLX one has it loaded already (an EGL one may not).
    void* gl = dlopen("libGL.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!gl) return nullptr;
    dlclose(gl);
    Display* display = glXGetCurrentDisplay();
    if (!display || !glXGetCurrentContext() || !glXGetCurrentDrawable()) return nullptr;
    if (!epoxy_has_glx_extension(display, DefaultScreen(display), "GLX_MESA_copy_sub_buffer"))
        return nullptr;
    std::unique_ptr<SubBufferCopier> copier(new SubBufferCopier());
    copier->display_ = display;
    return copier;
}

void SubBufferCopier::Copy(int X, int Y, int Width, int Height) {
    if (Width <= 0 || Height <= 0) return;
    // The drawable is asked for each time: it is whatever the device last made current.
    glXCopySubBufferMESA(static_cast<Display*>(display_), glXGetCurrentDrawable(), X, Y, Width,
                         Height);
}

}  // namespace zol::sdl

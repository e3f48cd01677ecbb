#include "platform/sdl/SubBufferCopier.h"

#include <dlfcn.h>
#include <epoxy/glx.h>

namespace zol::sdl {

namespace {
// Set while a copy runs: the X errors it causes are counted here instead of ending the
// process through Xlib's default handler.
int g_refused = 0;

int CountError(Display*, XErrorEvent*) {
    ++g_refused;
    return 0;
}
}  // namespace

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

bool SubBufferCopier::Copy(const PixelRect* Rects, int Count) {
    auto* display = static_cast<Display*>(display_);
    // Errors of earlier requests are not ours to catch: let them reach the old handler.
    XSync(display, False);
    g_refused = 0;
    const auto previous = XSetErrorHandler(CountError);
    // The drawable is asked for each time: it is whatever the device last made current.
    const GLXDrawable drawable = glXGetCurrentDrawable();
    for (int i = 0; i < Count; ++i) {
        const PixelRect& r = Rects[i];
        if (!r.Empty()) glXCopySubBufferMESA(display, drawable, r.X0, r.Y0, r.X1 - r.X0, r.Y1 - r.Y0);
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    return g_refused == 0;
}

}  // namespace zol::sdl

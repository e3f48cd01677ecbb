#include "platform/sdl/GlWindowPresenter.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <string_view>

namespace zol::sdl {

namespace {
constexpr uint64_t kOwnContext = 0;

// Device rectangle (top-down rows) as GL's window coordinates, which count rows from the
// bottom of a drawable DrawableH high.
PixelRect FlipRows(const PixelRect& R, int DrawableH) {
    return {R.X0, DrawableH - R.Y1, R.X1, DrawableH - R.Y0};
}
}  // namespace

GlWindowPresenter::~GlWindowPresenter() {
    // The objects live in a context; with the device gone they went with it.
    if (link_.Device || ownContext_) {
        if (UseContext()) {
            FreeSurface(composite_);
            FreeSurface(enlarged_);
        }
    }
    if (ownContext_) SDL_GL_DeleteContext(ownContext_);
}

bool GlWindowPresenter::CanPresent() { return UseContext(); }

bool GlWindowPresenter::UseContext() {
    if (GlRenderDevice* device = link_.Device) {
        // The game's graphics came: the context that stood in for them is not needed.
        if (ownContext_) {
            SDL_GL_DeleteContext(ownContext_);
            ownContext_ = nullptr;
        }
        device->MakeCurrent();
        if (context_ != link_.Generation) {
            ForgetContextObjects();
            context_ = link_.Generation;
        }
    } else {
        if (!ownContext_) {
            if (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_OPENGL)) return false;
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
            SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
            SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, -1);
            ownContext_ = SDL_GL_CreateContext(window_);
            if (!ownContext_) return false;
            if (epoxy_gl_version() < 33) {
                SDL_GL_DeleteContext(ownContext_);
                ownContext_ = nullptr;
                return false;
            }
            context_ = ~uint64_t{0};
        }
        SDL_GL_MakeCurrent(window_, ownContext_);
        if (context_ != kOwnContext) {
            ForgetContextObjects();
            context_ = kOwnContext;
        }
    }
    if (!configured_) {
        configured_ = true;
        // New context: choose how the window is shown. SDL draws through GLX on X11 unless
        // told to use EGL; only there can parts of the back buffer be shown alone.
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver && std::string_view(driver) == "x11" &&
            !SDL_GetHintBoolean(SDL_HINT_VIDEO_X11_FORCE_EGL, SDL_FALSE))
            subBuffer_ = SubBufferCopier::ForCurrentContext();
        // Copies show at once; swaps wait for the display's refresh where the driver can
        // (adaptively first, so that a late frame tears rather than waits a whole refresh).
        if (subBuffer_ || (SDL_GL_SetSwapInterval(-1) != 0 && SDL_GL_SetSwapInterval(1) != 0))
            SDL_GL_SetSwapInterval(0);
    }
    return true;
}

void GlWindowPresenter::ForgetContextObjects() {
    composite_ = Surface{};
    enlarged_ = Surface{};
    chromeLoaded_ = screenInComposite_ = windowValid_ = false;
    windowW_ = windowH_ = 0;
    subBuffer_.reset();
    configured_ = false;
}

void GlWindowPresenter::MakeSurface(Surface& S, int Width, int Height, bool Smooth) {
    FreeSurface(S);
    S.Width = Width;
    S.Height = Height;
    glGenTextures(1, &S.Texture);
    glBindTexture(GL_TEXTURE_2D, S.Texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Width, Height, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    const GLint filter = Smooth ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glGenFramebuffers(1, &S.Fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, S.Fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, S.Texture, 0);
    glViewport(0, 0, Width, Height);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void GlWindowPresenter::FreeSurface(Surface& S) {
    if (S.Fbo) glDeleteFramebuffers(1, &S.Fbo);
    if (S.Texture) glDeleteTextures(1, &S.Texture);
    S = Surface{};
}

void GlWindowPresenter::SetScaleMode(platform::ScaleMode Mode) {
    if (Mode == mode_) return;
    mode_ = Mode;
    windowValid_ = false;
}

void GlWindowPresenter::SetVisible(bool Visible) {
    if (Visible == visible_) return;
    visible_ = Visible;
    if (link_.Device) link_.Device->SetSuspended(!Visible);
    windowValid_ = false;
}

void GlWindowPresenter::Present(const ChromeImage& Chrome, bool FrontVisible, int FrontX,
                                int FrontY) {
    if (!visible_ || !UseContext()) return;
    GlRenderDevice* device = link_.Device;
    const int cw = std::max(1, Chrome.Width), ch = std::max(1, Chrome.Height);
    bool screenWhole = false;
    screenDamage_.Clear();
    if (device) device->TakeScreenDamage(screenDamage_, screenWhole);
    // What of the client area changes with this present.
    DamageList& changed = changed_;
    changed.Clear();
    bool whole = !windowValid_;
    if (!composite_.Fbo || composite_.Width != cw || composite_.Height != ch) {
        MakeSurface(composite_, cw, ch, false);
        chromeLoaded_ = false;
        screenInComposite_ = false;
        whole = true;
    }
    const bool frontShown = FrontVisible && device && device->ScreenFramebuffer() != 0 &&
                            FrontX < cw && FrontY < ch;
    // The composite keeps the chrome between presents: only what changed goes up. Where
    // the logical screen lay and is now to be left out, the chrome has to come back.
    const bool uncover = screenInComposite_ && !frontShown;
    if (uncover) whole = true;
    if (Chrome.Rgba) {
        PixelRect part{0, 0, cw, ch};
        const bool next = chromeLoaded_ && Chrome.Version == chromeVersion_ + 1;
        // Kept within the image, so that nothing past it is read.
        if (next && Chrome.Changed && !uncover) part = ClipTo(*Chrome.Changed, cw, ch);
        if ((!chromeLoaded_ || Chrome.Version != chromeVersion_ || uncover) && !part.Empty()) {
            glBindTexture(GL_TEXTURE_2D, composite_.Texture);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, cw);
            glTexSubImage2D(GL_TEXTURE_2D, 0, part.X0, part.Y0, part.X1 - part.X0,
                            part.Y1 - part.Y0, GL_RGBA, GL_UNSIGNED_BYTE,
                            Chrome.Rgba + static_cast<size_t>(part.Y0) * static_cast<size_t>(cw) +
                                static_cast<size_t>(part.X0));
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
            glBindTexture(GL_TEXTURE_2D, 0);
            changed.Add(part);
        }
        chromeVersion_ = Chrome.Version;
        chromeLoaded_ = true;
    } else if (uncover) {
        // No chrome at all is a black client area.
        glBindFramebuffer(GL_FRAMEBUFFER, composite_.Fbo);
        glViewport(0, 0, cw, ch);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    // The logical screen 1:1 over the chrome (both kept with the top row first): the
    // parts that changed, or all of it where it was not there before.
    if (frontShown) {
        const int sw = device->ScreenWidth(), sh = device->ScreenHeight();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, device->ScreenFramebuffer());
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, composite_.Fbo);
        // Chrome rows that went up over the screen's place covered it again.
        for (const PixelRect& band : changed.Rects())
            screenDamage_.Add({0, std::max(0, band.Y0 - FrontY), sw, std::min(sh, band.Y1 - FrontY)});
        const auto copy = [&](const PixelRect& r) {
            glBlitFramebuffer(r.X0, r.Y0, r.X1, r.Y1, FrontX + r.X0, FrontY + r.Y0, FrontX + r.X1,
                              FrontY + r.Y1, GL_COLOR_BUFFER_BIT, GL_NEAREST);
            changed.Add({FrontX + r.X0, FrontY + r.Y0, FrontX + r.X1, FrontY + r.Y1});
        };
        if (screenWhole || !screenInComposite_) copy({0, 0, sw, sh});
        else for (const PixelRect& r : screenDamage_.Rects()) copy(r);
    }
    screenInComposite_ = frontShown;
    if (device && !device->DamageLimited()) whole = true;
    ShowInWindow(changed.Rects(), whole, cw, ch);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void GlWindowPresenter::ShowInWindow(const std::vector<PixelRect>& Rects, bool Whole, int ClientW,
                                     int ClientH) {
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window_, &dw, &dh);
    const bool resized = dw != windowW_ || dh != windowH_;
    windowW_ = dw, windowH_ = dh;
    // A swap leaves the back buffer undefined, so without copies of parts every shown
    // frame is drawn whole; a present that changes nothing shows nothing.
    const bool whole = Whole || resized || (!subBuffer_ && !Rects.empty());
    if (!whole && Rects.empty()) return;
    const platform::PicturePlacement fit = platform::FitPicture(dw, dh, ClientW, ClientH, mode_);
    const bool fill = fit.Width != ClientW * fit.Scale || fit.Height != ClientH * fit.Scale;
    // Where a client rectangle lands in the window (rows from the top). Smoothing reads
    // one neighbour on each side, so in Fill a change reaches one pixel further.
    const auto place = [&](const PixelRect& r) {
        const int64_t w = fit.Width, h = fit.Height;
        PixelRect d{fit.Left + static_cast<int32_t>(r.X0 * w / ClientW),
                    fit.Top + static_cast<int32_t>(r.Y0 * h / ClientH),
                    fit.Left + static_cast<int32_t>((r.X1 * w + ClientW - 1) / ClientW),
                    fit.Top + static_cast<int32_t>((r.Y1 * h + ClientH - 1) / ClientH)};
        if (fill) d = {d.X0 - 1, d.Y0 - 1, d.X1 + 1, d.Y1 + 1};
        return ClipTo(d, dw, dh);
    };
    copies_.clear();
    if (whole) copies_.push_back({0, 0, dw, dh});
    else for (const PixelRect& r : Rects) copies_.push_back(FlipRows(place(r), dh));

    // Fill: the changed parts enlarged sharply first, to the whole scale above the final one.
    const Surface* source = &composite_;
    if (fill) {
        const int ew = ClientW * fit.Scale, eh = ClientH * fit.Scale;
        if (enlarged_.Width != ew || enlarged_.Height != eh) MakeSurface(enlarged_, ew, eh, true);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, composite_.Fbo);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, enlarged_.Fbo);
        const int s = fit.Scale;
        const auto enlarge = [&](const PixelRect& r) {
            glBlitFramebuffer(r.X0, r.Y0, r.X1, r.Y1, r.X0 * s, r.Y0 * s, r.X1 * s, r.Y1 * s,
                              GL_COLOR_BUFFER_BIT, GL_NEAREST);
        };
        if (whole) enlarge({0, 0, ClientW, ClientH});
        else for (const PixelRect& r : Rects) enlarge(r);
        source = &enlarged_;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source->Fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, dw, dh);
    // The whole picture, flipped into GL's rows; in parts it is the same blit cut to each
    // part, so a part looks exactly as it would in a whole frame.
    const PixelRect to = FlipRows({fit.Left, fit.Top, fit.Left + fit.Width, fit.Top + fit.Height}, dh);
    const auto blit = [&] {
        glBlitFramebuffer(0, 0, source->Width, source->Height, to.X0, to.Y1, to.X1, to.Y0,
                          GL_COLOR_BUFFER_BIT, fill ? GL_LINEAR : GL_NEAREST);
    };
    if (whole) {
        // The black border only exists when the picture does not fill the window.
        if (fit.Left != 0 || fit.Top != 0 || fit.Width != dw || fit.Height != dh) {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        blit();
    } else if (!fill) {
        // At a whole scale each part maps exactly: its own small blit (rows flipped).
        const int s = fit.Scale;
        for (const PixelRect& r : Rects)
            glBlitFramebuffer(r.X0, r.Y0, r.X1, r.Y1, fit.Left + r.X0 * s, dh - fit.Top - r.Y0 * s,
                              fit.Left + r.X1 * s, dh - fit.Top - r.Y1 * s, GL_COLOR_BUFFER_BIT,
                              GL_NEAREST);
    } else {
        glEnable(GL_SCISSOR_TEST);
        for (const PixelRect& c : copies_) {
            glScissor(c.X0, c.Y0, c.X1 - c.X0, c.Y1 - c.Y0);
            blit();
        }
        glDisable(GL_SCISSOR_TEST);
    }
    if (!subBuffer_ || resized) {
        // Mesa's software drawables learn their new size only from a swap: a copy of parts
        // into a resized window would still use the old buffer and fail on the X server. So
        // a resize is shown by one swap, and the frame after it whole.
        SDL_GL_SwapWindow(window_);
        windowValid_ = !subBuffer_;
        return;
    }
    windowValid_ = subBuffer_->Copy(copies_.data(), static_cast<int>(copies_.size()));
    // A copy the server refused (the window changed size under it): a swap shows the frame
    // and teaches the drawable its size; the next frame goes whole.
    if (!windowValid_) SDL_GL_SwapWindow(window_);
}

bool GlWindowPresenter::ReadFront(uint32_t* Rgba, int Width, int Height) {
    GlRenderDevice* device = link_.Device;
    int w = 0, h = 0;
    if (!device || !device->ReadScreen(front_, w, h) || w != Width || h != Height) return false;
    std::copy(front_.begin(), front_.end(), Rgba);
    return true;
}

bool GlWindowPresenter::ReadWindow(std::vector<uint32_t>& Pixels, int& Width, int& Height) {
    if (!UseContext() || !composite_.Fbo) return false;
    Width = composite_.Width;
    Height = composite_.Height;
    Pixels.resize(static_cast<size_t>(Width) * static_cast<size_t>(Height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, composite_.Fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

}  // namespace zol::sdl

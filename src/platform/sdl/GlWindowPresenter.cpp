#include "platform/sdl/GlWindowPresenter.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <string_view>

namespace zol::sdl {

GlWindowPresenter::~GlWindowPresenter() {
    // The objects live in the device's context; with the device gone they went with it.
    if (Device()) {
        if (compositeFbo_) glDeleteFramebuffers(1, &compositeFbo_);
        if (compositeTexture_) glDeleteTextures(1, &compositeTexture_);
    }
}

GlRenderDevice* GlWindowPresenter::Device() {
    GlRenderDevice* device = link_.Device;
    if (!device) return nullptr;
    device->MakeCurrent();
    if (generation_ != link_.Generation) {
        // A new device, a new context: what was made in the old one is gone.
        generation_ = link_.Generation;
        compositeFbo_ = compositeTexture_ = 0;
        compositeW_ = compositeH_ = 0;
        chromeLoaded_ = screenInComposite_ = windowValid_ = false;
        subBuffer_.reset();
        // SDL draws through GLX on X11 unless told to use EGL.
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver && std::string_view(driver) == "x11" &&
            !SDL_GetHintBoolean(SDL_HINT_VIDEO_X11_FORCE_EGL, SDL_FALSE))
            subBuffer_ = SubBufferCopier::ForCurrentContext();
    }
    return device;
}

void GlWindowPresenter::MakeComposite(int Width, int Height) {
    if (compositeFbo_) glDeleteFramebuffers(1, &compositeFbo_);
    if (compositeTexture_) glDeleteTextures(1, &compositeTexture_);
    compositeW_ = Width;
    compositeH_ = Height;
    glGenTextures(1, &compositeTexture_);
    glBindTexture(GL_TEXTURE_2D, compositeTexture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, Width, Height, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGenFramebuffers(1, &compositeFbo_);
    glBindFramebuffer(GL_FRAMEBUFFER, compositeFbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, compositeTexture_,
                           0);
    glViewport(0, 0, Width, Height);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void GlWindowPresenter::BlitToWindow(const PixelRect& R, int Scale, int OffsetX, int OffsetY,
                                     int ClientHeight) {
    // The default framebuffer counts rows from the bottom, hence the flipped destination.
    glBlitFramebuffer(R.X0, R.Y0, R.X1, R.Y1, OffsetX + R.X0 * Scale,
                      OffsetY + (ClientHeight - R.Y0) * Scale, OffsetX + R.X1 * Scale,
                      OffsetY + (ClientHeight - R.Y1) * Scale, GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

void GlWindowPresenter::Present(const ChromeImage& Chrome, bool FrontVisible, int FrontX,
                                int FrontY) {
    GlRenderDevice* device = Device();
    if (!device) return;
    const int cw = std::max(1, Chrome.Width), ch = std::max(1, Chrome.Height);
    bool screenWhole = false;
    device->TakeScreenDamage(screenDamage_, screenWhole);
    // What of the client area changes with this present.
    DamageList& changed = changed_;
    changed.Clear();
    bool whole = !windowValid_;
    if (!compositeFbo_ || compositeW_ != cw || compositeH_ != ch) {
        MakeComposite(cw, ch);
        chromeLoaded_ = false;
        screenInComposite_ = false;
        whole = true;
    }
    const int sw = device->ScreenWidth(), sh = device->ScreenHeight();
    const bool frontShown = FrontVisible && device->ScreenFramebuffer() != 0 && FrontX < cw && FrontY < ch;
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
            glBindTexture(GL_TEXTURE_2D, compositeTexture_);
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
        glBindFramebuffer(GL_FRAMEBUFFER, compositeFbo_);
        glViewport(0, 0, cw, ch);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    // The logical screen 1:1 over the chrome (both kept with the top row first): the
    // parts that changed, or all of it where it was not there before.
    if (frontShown) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, device->ScreenFramebuffer());
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, compositeFbo_);
        // Chrome rows that went up over the screen's place covered it again.
        for (const PixelRect& band : changed.Rects())
            screenDamage_.Add({0, std::max(0, band.Y0 - FrontY), sw, std::min(sh, band.Y1 - FrontY)});
        const bool all = screenWhole || !screenInComposite_;
        const PixelRect full{0, 0, sw, sh};
        const auto copy = [&](const PixelRect& r) {
            glBlitFramebuffer(r.X0, r.Y0, r.X1, r.Y1, FrontX + r.X0, FrontY + r.Y0, FrontX + r.X1,
                              FrontY + r.Y1, GL_COLOR_BUFFER_BIT, GL_NEAREST);
            changed.Add({FrontX + r.X0, FrontY + r.Y0, FrontX + r.X1, FrontY + r.Y1});
        };
        if (all) copy(full);
        else for (const PixelRect& r : screenDamage_.Rects()) copy(r);
    }
    screenInComposite_ = frontShown;

    // The window: the client area at the largest whole scale that fits, centred.
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window_, &dw, &dh);
    const bool resized = dw != windowW_ || dh != windowH_;
    if (resized || !device->DamageLimited()) whole = true;
    windowW_ = dw, windowH_ = dh;
    const int scale = std::max(1, std::min(dw / cw, dh / ch));
    const int ox = (dw - cw * scale) / 2, oy = (dh - ch * scale) / 2;
    // A swap leaves the back buffer undefined, so without copies of parts every shown
    // frame is drawn whole; a present that changes nothing shows nothing.
    if (!subBuffer_ && !changed.Rects().empty()) whole = true;
    if (whole || !changed.Rects().empty()) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, compositeFbo_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glViewport(0, 0, dw, dh);
        if (whole) {
            // The black border only exists when the client area does not fill the window.
            if (ox != 0 || oy != 0 || cw * scale != dw || ch * scale != dh) {
                glClearColor(0, 0, 0, 1);
                glClear(GL_COLOR_BUFFER_BIT);
            }
            BlitToWindow({0, 0, cw, ch}, scale, ox, oy, ch);
        } else {
            for (const PixelRect& r : changed.Rects()) BlitToWindow(r, scale, ox, oy, ch);
        }
        if (!subBuffer_ || resized) {
            // Mesa's software drawables learn their new size only from a swap: a copy of
            // parts into a resized window would still use the old buffer and fail on the
            // X server. So a resize is shown by one swap, and the frame after it whole.
            SDL_GL_SwapWindow(window_);
            windowValid_ = !subBuffer_;
        } else {
            copies_.clear();
            if (whole) copies_.push_back({0, 0, dw, dh});
            else
                for (const PixelRect& r : changed.Rects())
                    copies_.push_back({ox + r.X0 * scale, oy + (ch - r.Y1) * scale,
                                       ox + r.X1 * scale, oy + (ch - r.Y0) * scale});
            windowValid_ = subBuffer_->Copy(copies_.data(), static_cast<int>(copies_.size()));
            // A copy the server refused (the window changed size under it): a swap shows
            // the frame and teaches the drawable its size; the next frame goes whole.
            if (!windowValid_) SDL_GL_SwapWindow(window_);
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

bool GlWindowPresenter::ReadFront(uint32_t* Rgba, int Width, int Height) {
    GlRenderDevice* device = Device();
    int w = 0, h = 0;
    if (!device || !device->ReadScreen(front_, w, h) || w != Width || h != Height) return false;
    std::copy(front_.begin(), front_.end(), Rgba);
    return true;
}

bool GlWindowPresenter::ReadWindow(std::vector<uint32_t>& Pixels, int& Width, int& Height) {
    if (!Device() || !compositeFbo_) return false;
    Width = compositeW_;
    Height = compositeH_;
    Pixels.resize(static_cast<size_t>(Width) * static_cast<size_t>(Height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, compositeFbo_);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

}  // namespace zol::sdl

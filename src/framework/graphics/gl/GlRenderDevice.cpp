#include "framework/graphics/gl/GlRenderDevice.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstddef>

#include "framework/graphics/qDDraw.h"

namespace zol {

namespace {
const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec2 aPos;
layout(location = 1) in vec4 aColor;
layout(location = 2) in vec2 aUV;
uniform vec2 uScreen;
out vec4 vColor;
out vec2 vUV;
void main() {
    // Pixel centres sit on whole coordinates in the framework, on halves in GL; the
    // framebuffer's first row is the top of the picture.
    vec2 p = (aPos + 0.5) / uScreen * 2.0 - 1.0;
    gl_Position = vec4(p, 0.0, 1.0);
    vColor = aColor;
    vUV = aUV;
}
)";

const char* kFragmentShader = R"(#version 330 core
uniform sampler2D uTex;
uniform bool uTextured;
uniform bool uAlphaTest;
in vec4 vColor;
in vec2 vUV;
out vec4 oColor;
void main() {
    vec4 t = uTextured ? texture(uTex, vUV) : vec4(1.0);
    if (uAlphaTest && t.a * 255.0 < 7.5) discard;
    oColor = vec4(t.rgb * vColor.rgb, t.a);
}
)";

GLuint Compile(GLenum type, const char* source, std::string* error) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        glGetShaderInfoLog(s, sizeof log, nullptr, log);
        if (error) *error = std::string("shader: ") + log;
        glDeleteShader(s);
        return 0;
    }
    return s;
}

GLenum GlFactor(BlendFactor f) {
    switch (f) {
        case BlendFactor::Zero: return GL_ZERO;
        case BlendFactor::One: return GL_ONE;
        case BlendFactor::SrcColor: return GL_SRC_COLOR;
        case BlendFactor::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
        case BlendFactor::SrcAlpha: return GL_SRC_ALPHA;
        case BlendFactor::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    }
    return GL_ONE;
}

GLenum GlEquation(BlendOp op) {
    switch (op) {
        case BlendOp::Add: return GL_FUNC_ADD;
        case BlendOp::Subtract: return GL_FUNC_SUBTRACT;
        case BlendOp::ReverseSubtract: return GL_FUNC_REVERSE_SUBTRACT;
        case BlendOp::Min: return GL_MIN;
        case BlendOp::Max: return GL_MAX;
    }
    return GL_FUNC_ADD;
}

void SetPixelTexture(const uint32_t* pixels, int w, int h) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 pixels);
}
}  // namespace

std::unique_ptr<GlRenderDevice> GlRenderDevice::Create(SDL_Window* Window, bool Accelerated,
                                                       std::string* Error) {
    if (!Window) {
        if (Error) *Error = "no window";
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, Accelerated ? 1 : -1);
    SDL_GLContext context = SDL_GL_CreateContext(Window);
    if (!context) {
        if (Error) *Error = SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<GlRenderDevice> device(new GlRenderDevice());
    device->window_ = Window;
    device->context_ = context;
    if (SDL_GL_MakeCurrent(Window, context) != 0 || epoxy_gl_version() < 33) {
        if (Error) *Error = "OpenGL 3.3 is not available";
        return nullptr;  // the destructor gives the context back
    }
    if (!device->Init(Error)) return nullptr;
    return device;
}

RenderDeviceFactory GlRenderDevice::Factory() {
    return [](void* window, bool accelerated, std::string* error) -> std::unique_ptr<RenderDevice> {
        return Create(static_cast<SDL_Window*>(window), accelerated, error);
    };
}

GlRenderDevice* GlRenderDevice::Current() {
    return dynamic_cast<GlRenderDevice*>(GetRenderDevice());
}

bool GlRenderDevice::Init(std::string* Error) {
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    renderer_ = name ? name : "";
    SDL_GL_SetSwapInterval(0);

    GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader, Error);
    GLuint fs = vs ? Compile(GL_FRAGMENT_SHADER, kFragmentShader, Error) : 0;
    if (!fs) {
        if (vs) glDeleteShader(vs);
        return false;
    }
    program_ = glCreateProgram();
    glAttachShader(program_, vs);
    glAttachShader(program_, fs);
    glLinkProgram(program_);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &ok);
    if (!ok) {
        if (Error) *Error = "shader program does not link";
        return false;
    }
    uScreen_ = glGetUniformLocation(program_, "uScreen");
    uTextured_ = glGetUniformLocation(program_, "uTextured");
    uAlphaTest_ = glGetUniformLocation(program_, "uAlphaTest");
    uTex_ = glGetUniformLocation(program_, "uTex");
    glUseProgram(program_);
    glUniform1i(uTex_, 0);
    glUniform1i(uAlphaTest_, 1);

    // Sprites go up as the four corners of each rectangle (x y | ARGB, bytes B G R A in
    // memory | u v) with a shared index buffer: a third less vertex work than six.
    glGenVertexArrays(1, &spriteVao_);
    glGenBuffers(1, &spriteVbo_);
    glGenBuffers(1, &quadIndices_);
    glBindVertexArray(spriteVao_);
    glBindBuffer(GL_ARRAY_BUFFER, spriteVbo_);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(QuadVertex), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(QuadVertex),
                          reinterpret_cast<void*>(offsetof(QuadVertex, Color)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(QuadVertex),
                          reinterpret_cast<void*>(offsetof(QuadVertex, U)));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quadIndices_);

    glGenVertexArrays(1, &stripVao_);
    glGenBuffers(1, &stripVbo_);
    glBindVertexArray(stripVao_);
    glBindBuffer(GL_ARRAY_BUFFER, stripVbo_);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(ColorVertex), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(ColorVertex),
                          reinterpret_cast<void*>(offsetof(ColorVertex, Color)));
    glVertexAttrib2f(2, 0, 0);

    glDisable(GL_CULL_FACE);
    // Every vertex lies at the same depth and nothing writes depth, so a depth test would
    // pass every fragment; without one a software rasteriser reads no depth per fragment
    // and clears none per frame.
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ZERO);
    return true;
}

GlRenderDevice::~GlRenderDevice() {
    if (!context_) return;
    SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
    FreeTarget(screen_);
    FreeTarget(composite_);
    if (spriteVbo_) glDeleteBuffers(1, &spriteVbo_);
    if (quadIndices_) glDeleteBuffers(1, &quadIndices_);
    if (stripVbo_) glDeleteBuffers(1, &stripVbo_);
    if (spriteVao_) glDeleteVertexArrays(1, &spriteVao_);
    if (stripVao_) glDeleteVertexArrays(1, &stripVao_);
    if (program_) glDeleteProgram(program_);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
}

void GlRenderDevice::MakeTarget(Target& t, int Width, int Height) {
    FreeTarget(t);
    t.Width = Width;
    t.Height = Height;
    glGenTextures(1, &t.Color);
    glBindTexture(GL_TEXTURE_2D, t.Color);
    SetPixelTexture(nullptr, Width, Height);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGenFramebuffers(1, &t.Fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, t.Fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.Color, 0);
    glViewport(0, 0, Width, Height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, bound_);
}

void GlRenderDevice::FreeTarget(Target& t) {
    if (t.Fbo) glDeleteFramebuffers(1, &t.Fbo);
    if (t.Color) glDeleteTextures(1, &t.Color);
    t = Target{};
}

void GlRenderDevice::UseScreen() {
    glBindFramebuffer(GL_FRAMEBUFFER, screen_.Fbo);
    glViewport(0, 0, screen_.Width, screen_.Height);
}

void GlRenderDevice::BeginFrame(int32_t Width, int32_t Height) {
    SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
    if (!screen_.Fbo || screen_.Width != Width || screen_.Height != Height) {
        MakeTarget(screen_, std::max(1, Width), std::max(1, Height));
    }
    UseScreen();
    glUseProgram(program_);
    glUniform2f(uScreen_, static_cast<float>(screen_.Width), static_cast<float>(screen_.Height));
}

void GlRenderDevice::Clear(bool ClearColorToo, uint32_t Color) {
    // There is no depth to clear (see Init): a frame that keeps its colour clears nothing.
    if (!ClearColorToo) return;
    UseScreen();
    glClearColor(static_cast<float>((Color >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((Color >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(Color & 0xFF) / 255.0f, static_cast<float>(Color >> 24) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlRenderDevice::SetBlendState(const BlendState& State) {
    glUseProgram(program_);
    alphaTest_ = State.AlphaTest;
    glUniform1i(uAlphaTest_, State.AlphaTest ? 1 : 0);
    if (State.Blend) glEnable(GL_BLEND);
    else glDisable(GL_BLEND);
    glBlendEquation(GlEquation(State.Op));
    glBlendFunc(GlFactor(State.Src), GlFactor(State.Dst));
}

void GlRenderDevice::BindTexture(uint32_t Handle) {
    bound_ = Handle;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, Handle);
}

void GlRenderDevice::DrawSprites(const SpriteVertex* Vertices, int32_t Count) {
    const int32_t quads = Count / 6;
    if (quads < 1 || !screen_.Fbo) return;
    UseScreen();
    glUniform1i(uTextured_, bound_ != 0 ? 1 : 0);
    glBindVertexArray(spriteVao_);
    // Each six vertices are corners 1, 2, 3, 1, 3, 4 of a rectangle; keep 1, 2, 3, 4.
    const size_t corners = static_cast<size_t>(quads) * 4;
    if (staging_.size() < corners) staging_.resize(corners);
    for (int32_t q = 0; q < quads; ++q) {
        const SpriteVertex* v = Vertices + static_cast<ptrdiff_t>(q) * 6;
        QuadVertex* o = staging_.data() + static_cast<size_t>(q) * 4;
        for (int k = 0; k < 4; ++k) {
            const SpriteVertex& c = v[k == 3 ? 5 : k];
            o[k] = {c.X, c.Y, c.Color, c.TU, c.TV};
        }
    }
    if (indexedQuads_ < quads) {
        std::vector<uint32_t> ix(static_cast<size_t>(quads) * 6);
        for (int32_t q = 0; q < quads; ++q) {
            const uint32_t b = static_cast<uint32_t>(q) * 4;
            uint32_t* o = ix.data() + static_cast<size_t>(q) * 6;
            o[0] = b, o[1] = b + 1, o[2] = b + 2, o[3] = b, o[4] = b + 2, o[5] = b + 3;
        }
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(ix.size() * sizeof(uint32_t)),
                     ix.data(), GL_STATIC_DRAW);
        indexedQuads_ = quads;
    }
    glBindBuffer(GL_ARRAY_BUFFER, spriteVbo_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(corners * sizeof(QuadVertex)),
                 staging_.data(), GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, quads * 6, GL_UNSIGNED_INT, nullptr);
}

void GlRenderDevice::DrawColorStrip(const ColorVertex* Vertices, int32_t Count) {
    if (Count < 3 || !screen_.Fbo) return;
    UseScreen();
    glUniform1i(uTextured_, 0);
    glBindVertexArray(stripVao_);
    glBindBuffer(GL_ARRAY_BUFFER, stripVbo_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(Count) * sizeof(ColorVertex), Vertices,
                 GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, Count);
}

void GlRenderDevice::EndFrame() { glFlush(); }

uint32_t GlRenderDevice::CreateTexture(const uint32_t* Pixels, int32_t Width, int32_t Height,
                                       bool) {
    if (!Pixels || Width < 1 || Height < 1) return 0;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (Width > maxSize || Height > maxSize) return 0;
    GLuint t = 0;
    glGenTextures(1, &t);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, t);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    SetPixelTexture(Pixels, Width, Height);
    // Drawing samples by point with wrapping; the image is kept at its own size, so the
    // load-time filter never has to resample it.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, bound_);
    return t;
}

void GlRenderDevice::ReleaseTexture(uint32_t Handle) {
    GLuint t = Handle;
    if (bound_ == Handle) BindTexture(0);
    glDeleteTextures(1, &t);
}

void GlRenderDevice::PresentWindow(const uint32_t* chromeRGBA, int chromeWidth, int chromeHeight,
                                   uint64_t chromeVersion, int frontX, int frontY, int changedTop,
                                   int changedRows) {
    SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
    const int cw = std::max(1, chromeWidth), ch = std::max(1, chromeHeight);
    if (!composite_.Fbo || composite_.Width != cw || composite_.Height != ch) {
        MakeTarget(composite_, cw, ch);
        chromeLoaded_ = false;
        screenInComposite_ = false;
    }
    const bool frontShown = screen_.Fbo && frontX < cw && frontY < ch;
    // The composite keeps the chrome between presents: only what changed goes up. Where
    // the logical screen lay and is now to be left out, the chrome has to come back.
    const bool uncover = screenInComposite_ && !frontShown;
    if (chromeRGBA) {
        int top = 0, rows = ch;
        const bool next = chromeLoaded_ && chromeVersion == chromeVersion_ + 1;
        if (next && changedRows >= 0 && !uncover) {
            top = std::clamp(changedTop, 0, ch);
            rows = std::clamp(changedRows, 0, ch - top);
        }
        if ((!chromeLoaded_ || chromeVersion != chromeVersion_ || uncover) && rows > 0) {
            glBindTexture(GL_TEXTURE_2D, composite_.Color);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, top, cw, rows, GL_RGBA, GL_UNSIGNED_BYTE,
                            chromeRGBA + static_cast<size_t>(top) * static_cast<size_t>(cw));
            glBindTexture(GL_TEXTURE_2D, bound_);
        }
        chromeVersion_ = chromeVersion;
        chromeLoaded_ = true;
    } else if (uncover) {
        // No chrome at all is a black client area.
        glBindFramebuffer(GL_FRAMEBUFFER, composite_.Fbo);
        glViewport(0, 0, cw, ch);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    // The logical screen 1:1 over the chrome (both kept with the top row first).
    if (frontShown) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, screen_.Fbo);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, composite_.Fbo);
        glBlitFramebuffer(0, 0, screen_.Width, screen_.Height, frontX, frontY,
                          frontX + screen_.Width, frontY + screen_.Height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    }
    screenInComposite_ = frontShown;
    // The window: the client area at the largest whole scale that fits, centred; the
    // default framebuffer counts rows from the bottom, hence the flipped destination.
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window_, &dw, &dh);
    const int scale = std::max(1, std::min(dw / cw, dh / ch));
    const int ox = (dw - cw * scale) / 2, oy = (dh - ch * scale) / 2;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, composite_.Fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, dw, dh);
    // The black border only exists when the client area does not fill the window.
    if (ox != 0 || oy != 0 || cw * scale != dw || ch * scale != dh) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBlitFramebuffer(0, 0, cw, ch, ox, oy + ch * scale, ox + cw * scale, oy, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    SDL_GL_SwapWindow(window_);
    glBindFramebuffer(GL_FRAMEBUFFER, screen_.Fbo);
}

bool GlRenderDevice::ReadTarget(const Target& t, std::vector<uint32_t>& Pixels, int& Width,
                                int& Height) {
    if (!t.Fbo) return false;
    SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
    Width = t.Width;
    Height = t.Height;
    Pixels.resize(static_cast<size_t>(Width) * static_cast<size_t>(Height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, t.Fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, screen_.Fbo);
    return true;
}

bool GlRenderDevice::ReadWindowPixels(std::vector<uint32_t>& Pixels, int& Width, int& Height) {
    return ReadTarget(composite_, Pixels, Width, Height);
}

bool GlRenderDevice::ReadScreenPixels(std::vector<uint32_t>& Pixels, int& Width, int& Height) {
    return ReadTarget(screen_, Pixels, Width, Height);
}

SDL_Window* CreateHiddenGlWindow(int Width, int Height, std::string* Error) {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (Error) *Error = SDL_GetError();
        return nullptr;
    }
    SDL_Window* w = SDL_CreateWindow("Zol", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, Width,
                                     Height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!w && Error) *Error = SDL_GetError();
    return w;
}

}  // namespace zol

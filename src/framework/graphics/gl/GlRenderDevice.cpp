#include "framework/graphics/gl/GlRenderDevice.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string_view>

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
                                                       std::string* Error, GlScreenLink* Link) {
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
    if (Link) {
        device->link_ = Link;
        Link->Device = device.get();
        ++Link->Generation;
    }
    return device;
}

RenderDeviceFactory GlRenderDevice::Factory(GlScreenLink* Link) {
    return [Link](void* Window, bool Accelerated, std::string* Error) -> std::unique_ptr<RenderDevice> {
        return Create(static_cast<SDL_Window*>(Window), Accelerated, Error, Link);
    };
}

bool GlRenderDevice::Init(std::string* Error) {
    const auto* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    renderer_ = name ? name : "";

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
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(FrameRecorder::QuadVertex), nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(FrameRecorder::QuadVertex),
                          reinterpret_cast<void*>(offsetof(FrameRecorder::QuadVertex, Color)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(FrameRecorder::QuadVertex),
                          reinterpret_cast<void*>(offsetof(FrameRecorder::QuadVertex, U)));
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

    const char* full = std::getenv("ZOL_GL_FULL_FRAMES");
    damageLimited_ = !(full && std::string_view(full) == "1");
    return true;
}

GlScreenLink::~GlScreenLink() {
    if (Device) Device->link_ = nullptr;
}

GlRenderDevice::~GlRenderDevice() {
    if (link_ && link_->Device == this) link_->Device = nullptr;
    if (!context_) return;
    MakeCurrent();
    FreeScreen();
    if (spriteVbo_) glDeleteBuffers(1, &spriteVbo_);
    if (quadIndices_) glDeleteBuffers(1, &quadIndices_);
    if (stripVbo_) glDeleteBuffers(1, &stripVbo_);
    if (spriteVao_) glDeleteVertexArrays(1, &spriteVao_);
    if (stripVao_) glDeleteVertexArrays(1, &stripVao_);
    if (program_) glDeleteProgram(program_);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
}

void GlRenderDevice::MakeCurrent() {
    SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
}

void GlRenderDevice::MakeScreen(int Width, int Height) {
    FreeScreen();
    screen_.Width = Width;
    screen_.Height = Height;
    glGenTextures(1, &screen_.Color);
    glBindTexture(GL_TEXTURE_2D, screen_.Color);
    SetPixelTexture(nullptr, Width, Height);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGenFramebuffers(1, &screen_.Fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, screen_.Fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, screen_.Color, 0);
    glViewport(0, 0, Width, Height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, bound_);
}

void GlRenderDevice::FreeScreen() {
    if (screen_.Fbo) glDeleteFramebuffers(1, &screen_.Fbo);
    if (screen_.Color) glDeleteTextures(1, &screen_.Color);
    screen_ = Surface{};
}

void GlRenderDevice::SetDamageLimited(bool On) {
    damageLimited_ = On;
    recorder_.Forget();
    screenWhole_ = true;
}

void GlRenderDevice::SetSuspended(bool Suspended) {
    if (Suspended == suspended_) return;
    if (Suspended && recorder_.Recording()) FinishFrame();
    suspended_ = Suspended;
    recorder_.Forget();
    screenWhole_ = true;
}

void GlRenderDevice::TakeScreenDamage(DamageList& Out, bool& Whole) {
    FinishImplicitFrame();
    Whole = screenWhole_ || !damageLimited_;
    Out = screenDamage_;
    screenWhole_ = false;
    screenDamage_.Clear();
}

void GlRenderDevice::BeginFrame(int32_t Width, int32_t Height) {
    if (recorder_.Recording()) FinishFrame();  // a frame that was never ended
    MakeCurrent();
    if (!screen_.Fbo || screen_.Width != Width || screen_.Height != Height) {
        MakeScreen(std::max(1, Width), std::max(1, Height));
        recorder_.Forget();
        screenWhole_ = true;
    }
    if (!suspended_) recorder_.Begin(screen_.Width, screen_.Height, false);
}

bool GlRenderDevice::Record() {
    if (suspended_) return false;
    if (!recorder_.Recording() && screen_.Fbo) recorder_.Begin(screen_.Width, screen_.Height, true);
    return recorder_.Recording();
}

void GlRenderDevice::FinishImplicitFrame() {
    if (recorder_.Recording() && recorder_.Implicit()) FinishFrame();
}

void GlRenderDevice::Clear(bool ClearColorToo, uint32_t Color) {
    // There is no depth to clear (see Init): a frame that keeps its colour clears nothing.
    if (ClearColorToo && Record()) recorder_.Clear(Color);
}

void GlRenderDevice::SetBlendState(const BlendState& State) { blend_ = State; }

void GlRenderDevice::BindTexture(uint32_t Handle) {
    bound_ = Handle;
    const auto it = serials_.find(Handle);
    // An unknown handle samples as no texture does in GL; it still differs from none.
    boundSerial_ = Handle == 0 ? 0 : it != serials_.end() ? it->second : (1ull << 63) | Handle;
}

void GlRenderDevice::DrawSprites(const SpriteVertex* Vertices, int32_t Count) {
    if (Count / 6 >= 1 && Record()) recorder_.Sprites(blend_, bound_, boundSerial_, Vertices, Count);
}

void GlRenderDevice::DrawColorStrip(const ColorVertex* Vertices, int32_t Count) {
    if (Count >= 3 && Record()) recorder_.Strip(blend_, Vertices, Count);
}

void GlRenderDevice::EndFrame() {
    if (recorder_.Recording()) FinishFrame();
    glFlush();
}

void GlRenderDevice::FinishFrame() {
    recorder_.End(damageLimited_);

    // Every vertex of the frame goes up once; the passes below draw ranges of it.
    const auto& quadVertices = recorder_.Quads();
    const int32_t quads = static_cast<int32_t>(quadVertices.size() / 4);
    if (indexedQuads_ < quads) {
        const int32_t cover = std::max(quads, 2 * indexedQuads_);
        std::vector<uint32_t> ix(static_cast<size_t>(cover) * 6);
        for (int32_t q = 0; q < cover; ++q) {
            const uint32_t b = static_cast<uint32_t>(q) * 4;
            uint32_t* o = ix.data() + static_cast<size_t>(q) * 6;
            o[0] = b, o[1] = b + 1, o[2] = b + 2, o[3] = b, o[4] = b + 2, o[5] = b + 3;
        }
        glBindVertexArray(spriteVao_);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(ix.size() * sizeof(uint32_t)),
                     ix.data(), GL_STATIC_DRAW);
        indexedQuads_ = cover;
    }
    if (!quadVertices.empty()) {
        glBindBuffer(GL_ARRAY_BUFFER, spriteVbo_);
        glBufferData(GL_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(quadVertices.size() * sizeof(FrameRecorder::QuadVertex)),
                     quadVertices.data(), GL_STREAM_DRAW);
    }
    const auto& strip = recorder_.StripVertices();
    if (!strip.empty()) {
        glBindBuffer(GL_ARRAY_BUFFER, stripVbo_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(strip.size() * sizeof(ColorVertex)),
                     strip.data(), GL_STREAM_DRAW);
    }

    glBindFramebuffer(GL_FRAMEBUFFER, screen_.Fbo);
    glViewport(0, 0, screen_.Width, screen_.Height);
    glUseProgram(program_);
    glUniform2f(uScreen_, static_cast<float>(screen_.Width), static_cast<float>(screen_.Height));
    applied_ = AppliedState{};
    if (recorder_.Whole()) {
        recorder_.Replay(nullptr, *this);
        screenWhole_ = true;
    } else {
        glEnable(GL_SCISSOR_TEST);
        for (const PixelRect& r : recorder_.Rects()) {
            glScissor(r.X0, r.Y0, r.X1 - r.X0, r.Y1 - r.Y0);
            recorder_.Replay(&r, *this);
            screenDamage_.Add(r);
        }
        glDisable(GL_SCISSOR_TEST);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, bound_);

    recorder_.Reset();
    for (uint32_t t : releaseAfterFrame_) DeleteTexture(t);
    releaseAfterFrame_.clear();
}

void GlRenderDevice::ClearScreen(uint32_t Color) {
    glClearColor(static_cast<float>((Color >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((Color >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(Color & 0xFF) / 255.0f, static_cast<float>(Color >> 24) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void GlRenderDevice::DrawStrip(const FrameRecorder::Command& C) {
    Apply(C);
    glDrawArrays(GL_TRIANGLE_STRIP, static_cast<GLint>(C.First), static_cast<GLsizei>(C.Count));
}

void GlRenderDevice::DrawQuads(const FrameRecorder::Command& C, uint32_t FirstQuad, uint32_t Quads) {
    if (Quads == 0) return;
    Apply(C);
    // Quad q's corners are vertices 4q to 4q + 3, and its six indices start at 6q.
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(Quads * 6), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(static_cast<uintptr_t>(FirstQuad) * 6 * sizeof(uint32_t)));
}

void GlRenderDevice::Apply(const FrameRecorder::Command& c) {
    const bool strip = c.Op == FrameRecorder::Command::Kind::Strip;
    const uint32_t texture = strip ? 0 : c.Texture;
    AppliedState& a = applied_;
    if (!a.Known || a.Blend.AlphaTest != c.Blend.AlphaTest)
        glUniform1i(uAlphaTest_, c.Blend.AlphaTest ? 1 : 0);
    if (!a.Known || a.Blend.Blend != c.Blend.Blend) {
        if (c.Blend.Blend) glEnable(GL_BLEND);
        else glDisable(GL_BLEND);
    }
    if (!a.Known || a.Blend.Op != c.Blend.Op) glBlendEquation(GlEquation(c.Blend.Op));
    if (!a.Known || a.Blend.Src != c.Blend.Src || a.Blend.Dst != c.Blend.Dst)
        glBlendFunc(GlFactor(c.Blend.Src), GlFactor(c.Blend.Dst));
    if (!a.Known || a.Texture != texture || a.Strip != strip) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glUniform1i(uTextured_, texture != 0 ? 1 : 0);
    }
    if (!a.Known || a.Strip != strip) glBindVertexArray(strip ? stripVao_ : spriteVao_);
    a = {true, c.Blend, texture, strip};
}

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
    serials_[t] = nextSerial_++;
    return t;
}

void GlRenderDevice::ReleaseTexture(uint32_t Handle) {
    if (bound_ == Handle) BindTexture(0);
    // The frame being recorded may still draw it.
    if (recorder_.Recording())
        releaseAfterFrame_.push_back(Handle);
    else
        DeleteTexture(Handle);
}

void GlRenderDevice::DeleteTexture(uint32_t Handle) {
    GLuint t = Handle;
    glDeleteTextures(1, &t);
    serials_.erase(Handle);
}

bool GlRenderDevice::ReadScreen(std::vector<uint32_t>& Pixels, int& Width, int& Height) {
    FinishImplicitFrame();
    if (!screen_.Fbo) return false;
    MakeCurrent();
    Width = screen_.Width;
    Height = screen_.Height;
    Pixels.resize(static_cast<size_t>(Width) * static_cast<size_t>(Height));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, screen_.Fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, screen_.Fbo);
    return true;
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

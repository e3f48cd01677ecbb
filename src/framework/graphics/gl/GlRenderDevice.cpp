#include "framework/graphics/gl/GlRenderDevice.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "framework/graphics/gl/SubBufferCopier.h"
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

// Folds words into a 64-bit key. Every step is invertible, so two draws that differ in
// one word never share a key; differing in more, they share one with odds of 2^-64.
uint64_t HashWords(uint64_t h, const uint32_t* words, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        h = (h ^ words[i]) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
    }
    return h;
}

// The pixels a shape with corners between (x0, y0) and (x1, y1) can touch: the framework
// puts pixel centres on whole coordinates, so pixel i is inside when x0 <= i <= x1; one
// more on each far side keeps rounding on the safe side.
PixelRect CoveredPixels(float x0, float y0, float x1, float y1) {
    auto bound = [](float v) {  // NaN and far-off values end up outside the screen
        return v > -1.0e6f ? (v < 1.0e6f ? v : 1.0e6f) : -1.0e6f;
    };
    return {static_cast<int32_t>(std::floor(bound(x0))), static_cast<int32_t>(std::floor(bound(y0))),
            static_cast<int32_t>(std::ceil(bound(x1))) + 1,
            static_cast<int32_t>(std::ceil(bound(y1))) + 1};
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

    const char* full = std::getenv("ZOL_GL_FULL_FRAMES");
    damageLimited_ = !(full && std::string_view(full) == "1");
    // SDL draws through GLX on X11 unless told to use EGL.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::string_view(driver) == "x11" &&
        !SDL_GetHintBoolean(SDL_HINT_VIDEO_X11_FORCE_EGL, SDL_FALSE))
        subBuffer_ = SubBufferCopier::ForCurrentContext();
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

void GlRenderDevice::SetDamageLimited(bool On) {
    damageLimited_ = On;
    damage_.Forget();
    windowValid_ = false;
}

void GlRenderDevice::BeginFrame(int32_t Width, int32_t Height) {
    if (recording_) FinishFrame();  // a frame that was never ended
    SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
    if (!screen_.Fbo || screen_.Width != Width || screen_.Height != Height) {
        MakeTarget(screen_, std::max(1, Width), std::max(1, Height));
        damage_.Forget();
        screenWhole_ = true;
    }
    recording_ = true;
    implicitFrame_ = false;
    damage_.Begin(screen_.Width, screen_.Height);
}

void GlRenderDevice::Record() {
    if (recording_ || !screen_.Fbo) return;
    recording_ = true;
    implicitFrame_ = true;
    damage_.Begin(screen_.Width, screen_.Height);
}

uint64_t GlRenderDevice::StateKey() const {
    const BlendState& b = blend_;
    uint64_t h = boundSerial_ * 0x9E3779B97F4A7C15ull;
    h ^= (uint64_t{b.AlphaTest} << 0) | (uint64_t{b.Blend} << 1) |
         (uint64_t{static_cast<uint8_t>(b.Op)} << 8) | (uint64_t{static_cast<uint8_t>(b.Src)} << 16) |
         (uint64_t{static_cast<uint8_t>(b.Dst)} << 24);
    return h;
}

void GlRenderDevice::Clear(bool ClearColorToo, uint32_t Color) {
    // There is no depth to clear (see Init): a frame that keeps its colour clears nothing.
    if (!ClearColorToo) return;
    Record();
    if (!recording_) return;
    Command c;
    c.Op = Command::Kind::Clear;
    c.Color = Color;
    commands_.push_back(c);
    damage_.Add(HashWords(0xC1EA5u, &Color, 1), {0, 0, screen_.Width, screen_.Height});
}

void GlRenderDevice::SetBlendState(const BlendState& State) { blend_ = State; }

void GlRenderDevice::BindTexture(uint32_t Handle) {
    bound_ = Handle;
    const auto it = serials_.find(Handle);
    // An unknown handle samples as no texture does in GL; it still differs from none.
    boundSerial_ = Handle == 0 ? 0 : it != serials_.end() ? it->second : (1ull << 63) | Handle;
}

void GlRenderDevice::DrawSprites(const SpriteVertex* Vertices, int32_t Count) {
    const int32_t quads = Count / 6;
    if (quads < 1) return;
    Record();
    if (!recording_) return;
    Command c;
    c.Op = Command::Kind::Sprites;
    c.Blend = blend_;
    c.Texture = bound_;
    c.First = static_cast<uint32_t>(quadBoxes_.size());
    c.Count = static_cast<uint32_t>(quads);
    const uint64_t state = StateKey();
    // Each six vertices are corners 1, 2, 3, 1, 3, 4 of a rectangle; keep 1, 2, 3, 4.
    for (int32_t q = 0; q < quads; ++q) {
        const SpriteVertex* v = Vertices + static_cast<ptrdiff_t>(q) * 6;
        QuadVertex corners[4];
        float x0 = v[0].X, x1 = v[0].X, y0 = v[0].Y, y1 = v[0].Y;
        for (int k = 0; k < 4; ++k) {
            const SpriteVertex& p = v[k == 3 ? 5 : k];
            corners[k] = {p.X, p.Y, p.Color, p.TU, p.TV};
            x0 = std::min(x0, p.X), x1 = std::max(x1, p.X);
            y0 = std::min(y0, p.Y), y1 = std::max(y1, p.Y);
        }
        const PixelRect box = CoveredPixels(x0, y0, x1, y1);
        frameQuads_.insert(frameQuads_.end(), corners, corners + 4);
        quadBoxes_.push_back(box);
        uint32_t words[sizeof corners / 4];
        std::memcpy(words, corners, sizeof corners);
        damage_.Add(HashWords(state, words, sizeof corners / 4), box);
    }
    commands_.push_back(c);
}

void GlRenderDevice::DrawColorStrip(const ColorVertex* Vertices, int32_t Count) {
    if (Count < 3) return;
    Record();
    if (!recording_) return;
    Command c;
    c.Op = Command::Kind::Strip;
    c.Blend = blend_;
    c.First = static_cast<uint32_t>(frameStrip_.size());
    c.Count = static_cast<uint32_t>(Count);
    float x0 = Vertices[0].X, x1 = x0, y0 = Vertices[0].Y, y1 = y0;
    uint64_t h = StateKey() ^ 0x5781Bull;
    for (int32_t i = 0; i < Count; ++i) {
        const ColorVertex& v = Vertices[i];
        x0 = std::min(x0, v.X), x1 = std::max(x1, v.X);
        y0 = std::min(y0, v.Y), y1 = std::max(y1, v.Y);
        const uint32_t words[3] = {std::bit_cast<uint32_t>(v.X), std::bit_cast<uint32_t>(v.Y),
                                   v.Color};
        h = HashWords(h, words, 3);
    }
    c.Box = CoveredPixels(x0, y0, x1, y1);
    frameStrip_.insert(frameStrip_.end(), Vertices, Vertices + Count);
    commands_.push_back(c);
    damage_.Add(h, c.Box);
}

void GlRenderDevice::EndFrame() {
    if (recording_) FinishFrame();
    glFlush();
}

void GlRenderDevice::FinishFrame() {
    recording_ = false;
    const bool clearsFirst = !commands_.empty() && commands_.front().Op == Command::Kind::Clear;
    damage_.End(damageLimited_ && !implicitFrame_ && clearsFirst);

    // Every vertex of the frame goes up once; the passes below draw ranges of it.
    const int32_t quads = static_cast<int32_t>(quadBoxes_.size());
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
    if (!frameQuads_.empty()) {
        glBindBuffer(GL_ARRAY_BUFFER, spriteVbo_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(frameQuads_.size() * sizeof(QuadVertex)),
                     frameQuads_.data(), GL_STREAM_DRAW);
    }
    if (!frameStrip_.empty()) {
        glBindBuffer(GL_ARRAY_BUFFER, stripVbo_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(frameStrip_.size() * sizeof(ColorVertex)),
                     frameStrip_.data(), GL_STREAM_DRAW);
    }

    UseScreen();
    glUseProgram(program_);
    glUniform2f(uScreen_, static_cast<float>(screen_.Width), static_cast<float>(screen_.Height));
    applied_ = AppliedState{};
    if (damage_.Whole()) {
        Replay(nullptr);
        screenWhole_ = true;
    } else {
        glEnable(GL_SCISSOR_TEST);
        for (const PixelRect& r : damage_.Rects()) {
            glScissor(r.X0, r.Y0, r.X1 - r.X0, r.Y1 - r.Y0);
            Replay(&r);
            screenDamage_.Add(r);
        }
        glDisable(GL_SCISSOR_TEST);
    }
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, bound_);

    commands_.clear();
    frameQuads_.clear();
    quadBoxes_.clear();
    frameStrip_.clear();
    for (uint32_t t : releaseAfterFrame_) DeleteTexture(t);
    releaseAfterFrame_.clear();
}

void GlRenderDevice::Replay(const PixelRect* Clip) {
    for (const Command& c : commands_) {
        switch (c.Op) {
            case Command::Kind::Clear:
                glClearColor(static_cast<float>((c.Color >> 16) & 0xFF) / 255.0f,
                             static_cast<float>((c.Color >> 8) & 0xFF) / 255.0f,
                             static_cast<float>(c.Color & 0xFF) / 255.0f,
                             static_cast<float>(c.Color >> 24) / 255.0f);
                glClear(GL_COLOR_BUFFER_BIT);
                break;
            case Command::Kind::Strip:
                if (Clip && !c.Box.Overlaps(*Clip)) break;
                Apply(c);
                glDrawArrays(GL_TRIANGLE_STRIP, static_cast<GLint>(c.First),
                             static_cast<GLsizei>(c.Count));
                break;
            case Command::Kind::Sprites: {
                if (!Clip) {
                    Draw(c, c.First, c.Count);
                    break;
                }
                // Runs of neighbouring rectangles that reach into the clip, one draw each.
                const uint32_t end = c.First + c.Count;
                for (uint32_t q = c.First; q < end;) {
                    if (!quadBoxes_[q].Overlaps(*Clip)) {
                        ++q;
                        continue;
                    }
                    uint32_t run = q + 1;
                    while (run < end && quadBoxes_[run].Overlaps(*Clip)) ++run;
                    Draw(c, q, run - q);
                    q = run;
                }
                break;
            }
        }
    }
}

void GlRenderDevice::Apply(const Command& c) {
    const bool strip = c.Op == Command::Kind::Strip;
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

void GlRenderDevice::Draw(const Command& c, uint32_t FirstQuad, uint32_t Quads) {
    if (Quads == 0) return;
    Apply(c);
    // Quad q's corners are vertices 4q to 4q + 3, and its six indices start at 6q.
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(Quads * 6), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(static_cast<uintptr_t>(FirstQuad) * 6 * sizeof(uint32_t)));
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
    if (recording_)
        releaseAfterFrame_.push_back(Handle);
    else
        DeleteTexture(Handle);
}

void GlRenderDevice::DeleteTexture(uint32_t Handle) {
    GLuint t = Handle;
    glDeleteTextures(1, &t);
    serials_.erase(Handle);
}

void GlRenderDevice::BlitToWindow(const PixelRect& r, int Scale, int OffsetX, int OffsetY,
                                  int ClientHeight) {
    // The default framebuffer counts rows from the bottom, hence the flipped destination.
    glBlitFramebuffer(r.X0, r.Y0, r.X1, r.Y1, OffsetX + r.X0 * Scale,
                      OffsetY + (ClientHeight - r.Y0) * Scale, OffsetX + r.X1 * Scale,
                      OffsetY + (ClientHeight - r.Y1) * Scale, GL_COLOR_BUFFER_BIT, GL_NEAREST);
}

void GlRenderDevice::PresentWindow(const uint32_t* chromeRGBA, int chromeWidth, int chromeHeight,
                                   uint64_t chromeVersion, int frontX, int frontY,
                                   std::optional<PixelRect> changedChrome) {
    if (recording_ && implicitFrame_) FinishFrame();
    SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
    const int cw = std::max(1, chromeWidth), ch = std::max(1, chromeHeight);
    // What of the client area changes with this present.
    DamageList changed;
    bool whole = !windowValid_;
    if (!composite_.Fbo || composite_.Width != cw || composite_.Height != ch) {
        MakeTarget(composite_, cw, ch);
        chromeLoaded_ = false;
        screenInComposite_ = false;
        whole = true;
    }
    const bool frontShown = screen_.Fbo && frontX < cw && frontY < ch;
    // The composite keeps the chrome between presents: only what changed goes up. Where
    // the logical screen lay and is now to be left out, the chrome has to come back.
    const bool uncover = screenInComposite_ && !frontShown;
    if (uncover) whole = true;
    if (chromeRGBA) {
        PixelRect part{0, 0, cw, ch};
        const bool next = chromeLoaded_ && chromeVersion == chromeVersion_ + 1;
        // Kept within the image, so that nothing past it is read.
        if (next && changedChrome && !uncover) part = ClipTo(*changedChrome, cw, ch);
        if ((!chromeLoaded_ || chromeVersion != chromeVersion_ || uncover) && !part.Empty()) {
            glBindTexture(GL_TEXTURE_2D, composite_.Color);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, cw);
            glTexSubImage2D(GL_TEXTURE_2D, 0, part.X0, part.Y0, part.X1 - part.X0,
                            part.Y1 - part.Y0, GL_RGBA, GL_UNSIGNED_BYTE,
                            chromeRGBA + static_cast<size_t>(part.Y0) * static_cast<size_t>(cw) +
                                static_cast<size_t>(part.X0));
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
            glBindTexture(GL_TEXTURE_2D, bound_);
            changed.Add(part);
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
    // The logical screen 1:1 over the chrome (both kept with the top row first): the
    // parts that changed, or all of it where it was not there before.
    if (frontShown) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, screen_.Fbo);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, composite_.Fbo);
        // Chrome rows that went up over the screen's place covered it again.
        for (const PixelRect& band : changed.Rects())
            screenDamage_.Add({0, std::max(0, band.Y0 - frontY), screen_.Width,
                               std::min(screen_.Height, band.Y1 - frontY)});
        const bool all = screenWhole_ || !screenInComposite_ || !damageLimited_;
        const std::vector<PixelRect> full{{0, 0, screen_.Width, screen_.Height}};
        for (const PixelRect& r : all ? full : screenDamage_.Rects()) {
            glBlitFramebuffer(r.X0, r.Y0, r.X1, r.Y1, frontX + r.X0, frontY + r.Y0, frontX + r.X1,
                              frontY + r.Y1, GL_COLOR_BUFFER_BIT, GL_NEAREST);
            changed.Add({frontX + r.X0, frontY + r.Y0, frontX + r.X1, frontY + r.Y1});
        }
    }
    screenInComposite_ = frontShown;
    screenWhole_ = false;
    screenDamage_.Clear();

    // The window: the client area at the largest whole scale that fits, centred.
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(window_, &dw, &dh);
    if (dw != windowW_ || dh != windowH_ || !damageLimited_) whole = true;
    windowW_ = dw, windowH_ = dh;
    const int scale = std::max(1, std::min(dw / cw, dh / ch));
    const int ox = (dw - cw * scale) / 2, oy = (dh - ch * scale) / 2;
    // A swap leaves the back buffer undefined, so without copies of parts every shown
    // frame is drawn whole; a present that changes nothing shows nothing.
    if (!subBuffer_ && !changed.Rects().empty()) whole = true;
    if (whole || !changed.Rects().empty()) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, composite_.Fbo);
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
        if (!subBuffer_) {
            SDL_GL_SwapWindow(window_);
        } else if (whole) {
            subBuffer_->Copy(0, 0, dw, dh);
        } else {
            for (const PixelRect& r : changed.Rects())
                subBuffer_->Copy(ox + r.X0 * scale, oy + (ch - r.Y1) * scale,
                                 (r.X1 - r.X0) * scale, (r.Y1 - r.Y0) * scale);
        }
        windowValid_ = true;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, screen_.Fbo);
}

bool GlRenderDevice::ReadTarget(const Target& t, std::vector<uint32_t>& Pixels, int& Width,
                                int& Height) {
    if (recording_ && implicitFrame_) FinishFrame();
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

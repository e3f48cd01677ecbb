#include "platform/sdl/WindowPainter.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/core/qText.h"
#include "framework/graphics/qDDraw.h"

namespace zol::sdl {

namespace {
constexpr uint32_t kArtFallback = 0xC8C8C8;  // plain grey when the art is missing
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kDialogShadow = 0x808080;
// The dialogs wear the window art's colours: its steel, its cream panels with their dark
// steel rims, the dark frame of the drawing area, and the game's blue for the focus.
constexpr uint32_t kSteel = 0xD5D8E1, kSteelLight = 0xF2F3F7, kSteelDark = 0x787E92;
constexpr uint32_t kCream = 0xECEAE1, kCreamLight = 0xF8F7F1;
constexpr uint32_t kInk = 0x1E2230, kDark = 0x2E3240, kBlue = 0x2F94EC, kBlueTint = 0xD6E9FB;
constexpr uint32_t kDropShadow = 0x101218;

bool SameContent(const WindowContent& a, const WindowContent& b) {
    return a.Layout == b.Layout && a.Labels == b.Labels && a.Bar == b.Bar;
}

// Label sizes are in points of a 96-dpi desktop; SDL2_ttf sizes are pixels at 72 dpi.
int PointsToPixels(float Points) {
    const double px = std::nearbyint(static_cast<double>(Points) * 96.0 / 72.0);
    return px < 1 ? 1 : (px > 200 ? 200 : static_cast<int>(px));
}
}  // namespace

std::string FindFontFile(const std::string& Pattern, int* Index) {
    if (Index) *Index = 0;
    if (!FcInit()) return {};
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(Pattern.c_str()));
    if (!pat) return {};
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    std::string file;
    if (match) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
            file = reinterpret_cast<const char*>(path);
        int index = 0;
        if (Index && FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
            *Index = index;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return file;
}

SDL_Surface* LoadImageSurface(const std::string& Path) {
    std::vector<uint32_t> argb;
    int32_t w = 0, h = 0;
    if (!DecodeImage(Path, argb, w, h)) return nullptr;
    SDL_Surface* wrapped = SDL_CreateRGBSurfaceWithFormatFrom(argb.data(), w, h, 32, w * 4,
                                                              SDL_PIXELFORMAT_ARGB8888);
    if (!wrapped) return nullptr;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(wrapped, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(wrapped);
    return rgba;
}

WindowPainter::WindowPainter(const std::string& ArtFile) {
    if (!ArtFile.empty()) {
        art_ = LoadImageSurface(ArtFile);
        // The art replaces the whole image; blending it would let old labels show through.
        if (art_) SDL_SetSurfaceBlendMode(art_, SDL_BLENDMODE_NONE);
        if (!art_) std::fprintf(stderr, "Zol: window art %s not loaded; using a plain frame\n",
                                ArtFile.c_str());
    }
    // SDL2_ttf counts its users: every painter pairs its own init with its own quit.
    ttfStarted_ = TTF_Init() == 0;
    boldFile_ = FindFontFile("Arial:bold", &boldIndex_);
    regularFile_ = FindFontFile("Arial", &regularIndex_);
    if (!ttfStarted_ || !HasFonts())
        std::fprintf(stderr, "Zol: no font for the window's labels; they are left out\n");
    fonts_.reserve(8);
}

WindowPainter::~WindowPainter() {
    for (auto& [key, glyph] : glyphs_) SDL_FreeSurface(glyph.Surface);
    for (auto& slot : fonts_)
        if (slot.Font) TTF_CloseFont(slot.Font);
    if (ttfStarted_) TTF_Quit();
    SDL_FreeSurface(art_);
    SDL_FreeSurface(image_);
}

const uint32_t* WindowPainter::Pixels() const {
    return image_ ? static_cast<const uint32_t*>(image_->pixels) : nullptr;
}

bool WindowPainter::MakeImage(int Width, int Height) {
    if (image_ && image_->w == Width && image_->h == Height) return true;
    SDL_FreeSurface(image_);
    image_ = nullptr;
    painted_ = false;
    if (Width <= 0 || Height <= 0) return false;
    image_ = SDL_CreateRGBSurfaceWithFormat(0, Width, Height, 32, SDL_PIXELFORMAT_RGBA32);
    if (!image_) {
        std::fprintf(stderr, "Zol: no window image (%s)\n", SDL_GetError());
        return false;
    }
    region_ = SDL_Rect{0, 0, Width, Height};
    changed_ = {0, 0, Width, Height};
    return true;
}

uint32_t WindowPainter::ColorAt(int X, int Y) const {
    if (!image_ || X < 0 || Y < 0 || X >= image_->w || Y >= image_->h) return 0;
    const auto* row = static_cast<const uint8_t*>(image_->pixels) + Y * image_->pitch;
    const uint8_t* p = row + X * 4;
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

int WindowPainter::FontFor(float Points, bool Bold) {
    if (!ttfStarted_) return -1;
    const int px = PointsToPixels(Points);
    for (size_t i = 0; i < fonts_.size(); ++i)
        if (fonts_[i].Pixels == px && fonts_[i].Bold == Bold)
            return fonts_[i].Font ? static_cast<int>(i) : -1;
    const std::string& file = Bold && !boldFile_.empty() ? boldFile_ : regularFile_;
    const int index = Bold && !boldFile_.empty() ? boldIndex_ : regularIndex_;
    FontSlot slot{px, Bold, nullptr};
    if (!file.empty()) slot.Font = TTF_OpenFontIndex(file.c_str(), px, index);
    // A regular face asked to be bold: let SDL2_ttf embolden it.
    if (slot.Font && Bold && boldFile_.empty()) TTF_SetFontStyle(slot.Font, TTF_STYLE_BOLD);
    fonts_.push_back(slot);
    return slot.Font ? static_cast<int>(fonts_.size() - 1) : -1;
}

const WindowPainter::Glyph& WindowPainter::GlyphFor(int Slot, uint32_t CodePoint) {
    const uint64_t key = (static_cast<uint64_t>(Slot) << 32) | CodePoint;
    auto it = glyphs_.find(key);
    if (it != glyphs_.end()) return it->second;
    TTF_Font* font = fonts_[Slot].Font;
    Glyph g;
    int minx, maxx, miny, maxy, advance = 0;
    if (TTF_GlyphMetrics32(font, CodePoint, &minx, &maxx, &miny, &maxy, &advance) == 0)
        g.Advance = advance;
    if (CodePoint != ' ') {
        g.Surface = TTF_RenderGlyph32_Blended(font, CodePoint, SDL_Color{255, 255, 255, 255});
        if (g.Surface) SDL_SetSurfaceBlendMode(g.Surface, SDL_BLENDMODE_BLEND);
    }
    return glyphs_.emplace(key, g).first->second;
}

int WindowPainter::TextWidth(int Slot, const std::string& Utf8) {
    int w = 0;
    for (size_t i = 0; i < Utf8.size();) w += GlyphFor(Slot, DecodeUtf8(Utf8, i)).Advance;
    return w;
}

void WindowPainter::DrawTextLine(int Slot, const std::string& Utf8, int X, int Y, uint32_t Rgb,
                                 const SDL_Rect& Within) {
    SDL_Rect Clip;
    if (!SDL_IntersectRect(&Within, &region_, &Clip)) return;
    SDL_SetClipRect(image_, &Clip);
    int pen = X;
    for (size_t i = 0; i < Utf8.size() && pen < Clip.x + Clip.w;) {
        const Glyph& g = GlyphFor(Slot, DecodeUtf8(Utf8, i));
        if (g.Surface) {
            SDL_SetSurfaceColorMod(g.Surface, (Rgb >> 16) & 0xFF, (Rgb >> 8) & 0xFF, Rgb & 0xFF);
            SDL_Rect dst{pen, Y, g.Surface->w, g.Surface->h};
            SDL_BlitSurface(g.Surface, nullptr, image_, &dst);
        }
        pen += g.Advance;
    }
    SDL_SetClipRect(image_, &region_);
}

void WindowPainter::Fill(int X, int Y, int W, int H, uint32_t Rgb) {
    if (W <= 0 || H <= 0) return;
    SDL_Rect r{X, Y, W, H};
    SDL_FillRect(image_, &r, SDL_MapRGB(image_->format, (Rgb >> 16) & 0xFF, (Rgb >> 8) & 0xFF,
                                        Rgb & 0xFF));
}

void WindowPainter::Frame(int X, int Y, int W, int H, uint32_t Rgb) {
    Fill(X, Y, W, 1, Rgb);
    Fill(X, Y + H - 1, W, 1, Rgb);
    Fill(X, Y, 1, H, Rgb);
    Fill(X + W - 1, Y, 1, H, Rgb);
}

void WindowPainter::DrawLabel(const WindowLabel& L) {
    if (L.Width <= 0 || L.Height <= 0) return;
    if (L.HasBackColor) Fill(L.Left, L.Top, L.Width, L.Height, L.BackColor);
    if (L.Caption.empty()) return;
    const int slot = FontFor(L.FontPoints, L.Bold);
    if (slot < 0) return;
    DrawTextLine(slot, L.Caption, L.Left, L.Top, L.ForeColor,
                 SDL_Rect{L.Left, L.Top, L.Width, L.Height});
}

void WindowPainter::DrawBar(const WindowBar& B) {
    if (B.FrameWidth <= 0 || B.FrameHeight <= 0) return;
    const int x = B.FrameLeft, y = B.FrameTop, w = B.FrameWidth, h = B.FrameHeight;
    if (B.BorderStyle == BarBorderSunken) {
        // Dark edges top and left, light ones bottom and right, two pixels deep.
        Fill(x, y, w, h, kWhite);
        Fill(x, y, w - 1, h - 1, kDialogShadow);
        Fill(x + 1, y + 1, w - 2, h - 2, 0xD4D0C8);
        Fill(x + 1, y + 1, w - 3, h - 3, 0x404040);
    } else if (B.BorderStyle != BarBorderNone) {
        Frame(x, y, w, h, kBlack);
    }
    const int inset = B.BorderWidth;
    Fill(x + inset, y + inset, w - 2 * inset, h - 2 * inset, B.BackRGB);
    Fill(B.FillLeft, B.FillTop, B.FillWidth, B.FillHeight, B.ForeRGB);
}

void WindowPainter::PaintRegion(const WindowContent& Content, const SDL_Rect& Region) {
    region_ = Region;
    SDL_SetClipRect(image_, &region_);
    if (art_) {
        SDL_Rect dst{0, 0, art_->w, art_->h};
        SDL_BlitSurface(art_, nullptr, image_, &dst);
    } else {
        const ui::Rect& front = Content.Layout.Front;
        Fill(0, 0, image_->w, image_->h, kArtFallback);
        Frame(front.X, front.Y, front.W, front.H, 0x202020);
    }
    for (const WindowLabel& label : Content.Labels) DrawLabel(label);
    DrawBar(Content.Bar);
    region_ = SDL_Rect{0, 0, image_->w, image_->h};
    SDL_SetClipRect(image_, nullptr);
}

void WindowPainter::PaintBase(const WindowContent& Content) {
    PaintRegion(Content, SDL_Rect{0, 0, image_->w, image_->h});
}

bool WindowPainter::Paint(const WindowContent& Content, bool Force) {
    if (!MakeImage(Content.Layout.ClientWidth, Content.Layout.ClientHeight)) return false;
    if (painted_ && !Force && SameContent(Content, last_)) return false;
    SDL_Rect changed{0, 0, image_->w, image_->h};
    if (!painted_ || Force || Content.Labels.size() != last_.Labels.size()) {
        PaintBase(Content);
    } else {
        changed = SDL_Rect{0, 0, 0, 0};
        const auto touch = [&changed](const SDL_Rect& r) {
            if (SDL_RectEmpty(&changed)) changed = r;
            else SDL_UnionRect(&changed, &r, &changed);
        };
        // Only what changed is painted again (a counter changes every tick): the art under
        // its old and new place, then everything that reaches into that area.
        const auto rectOf = [](int32_t x, int32_t y, int32_t w, int32_t h) {
            return SDL_Rect{x, y, w, h};
        };
        for (size_t i = 0; i < Content.Labels.size(); ++i) {
            const WindowLabel &now = Content.Labels[i], &was = last_.Labels[i];
            if (now == was) continue;
            const SDL_Rect a = rectOf(now.Left, now.Top, now.Width, now.Height);
            const SDL_Rect b = rectOf(was.Left, was.Top, was.Width, was.Height);
            SDL_Rect both;
            SDL_UnionRect(&a, &b, &both);
            PaintRegion(Content, both);
            touch(both);
        }
        const WindowBar &bar = Content.Bar, &old = last_.Bar;
        if (!(bar == old)) {
            const SDL_Rect a = rectOf(bar.FrameLeft, bar.FrameTop, bar.FrameWidth, bar.FrameHeight);
            const SDL_Rect b = rectOf(old.FrameLeft, old.FrameTop, old.FrameWidth, old.FrameHeight);
            SDL_Rect both;
            SDL_UnionRect(&a, &b, &both);
            PaintRegion(Content, both);
            touch(both);
        }
    }
    last_ = Content;
    painted_ = true;
    ++version_;
    // Kept within the image, so a caller can copy exactly this part.
    changed_ = ClipTo({changed.x, changed.y, changed.x + changed.w, changed.y + changed.h},
                      image_->w, image_->h);
    return true;
}

int32_t WindowPainter::DialogTextWidth(const std::string& Utf8) {
    const int regular = FontFor(9, false);
    return regular < 0 ? 0 : TextWidth(regular, Utf8);
}

int32_t WindowPainter::DialogLineHeight() {
    const int regular = FontFor(9, false);
    return regular < 0 ? 15 : TTF_FontLineSkip(fonts_[regular].Font);
}

bool WindowPainter::BeginDialog(const WindowContent& Content, const ui::Rect& Box,
                                const ui::Rect& TitleBar, const std::string& Title,
                                const DialogBackdrop& Under) {
    if (!MakeImage(Content.Layout.ClientWidth, Content.Layout.ClientHeight)) return false;
    PaintBase(Content);
    if (Under.Front && Under.Width > 0 && Under.Height > 0) {
        SDL_Surface* front = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(Under.Front), Under.Width, Under.Height, 32, Under.Width * 4,
            SDL_PIXELFORMAT_RGBA32);
        if (front) {
            SDL_SetSurfaceBlendMode(front, SDL_BLENDMODE_NONE);
            SDL_Rect dst{Under.X, Under.Y, Under.Width, Under.Height};
            SDL_BlitSurface(front, nullptr, image_, &dst);
            SDL_FreeSurface(front);
        }
    }
    // A steel plate with a drop shadow, a dark rim and a lit inner edge, like the window's
    // frame; the title bar is dark like the drawing area's border, underlined in blue.
    Fill(Box.X + 3, Box.Y + 3, Box.W, Box.H, kDropShadow);
    Fill(Box, kSteel);
    Frame(Box, kDark);
    Fill(Box.X + 1, Box.Y + TitleBar.H, Box.W - 2, 1, kSteelLight);
    Fill(Box.X + 1, Box.Y + TitleBar.H, 1, Box.H - TitleBar.H - 1, kSteelLight);
    Fill(TitleBar.X + 1, TitleBar.Y + 1, TitleBar.W - 2, TitleBar.H - 3, kDark);
    Fill(TitleBar.X + 1, TitleBar.Y + TitleBar.H - 2, TitleBar.W - 2, 2, kBlue);
    const int bold = FontFor(9, true);
    if (bold >= 0) {
        const int ty = TitleBar.Y + (TitleBar.H - 2 - TTF_FontHeight(fonts_[bold].Font)) / 2;
        DrawTextLine(bold, Title, TitleBar.X + 8, ty, kSteelLight,
                     SDL_Rect{TitleBar.X + 1, TitleBar.Y + 1, TitleBar.W - 10, TitleBar.H - 2});
    }
    return true;
}

void WindowPainter::EndDialog() {
    ++version_;
    changed_ = {0, 0, image_->w, image_->h};
    painted_ = false;  // the next Paint draws the window without the box
}

void WindowPainter::DrawCentred(int Slot, const std::string& Utf8, const ui::Rect& R,
                                uint32_t Rgb) {
    if (Slot < 0) return;
    const int tx = R.X + (R.W - TextWidth(Slot, Utf8)) / 2;
    const int ty = R.Y + (R.H - TTF_FontHeight(fonts_[Slot].Font)) / 2;
    DrawTextLine(Slot, Utf8, tx, ty, Rgb, SDL_Rect{R.X, R.Y, R.W, R.H});
}

void WindowPainter::DrawButton(const ui::Rect& R, const std::string& Label, bool Focused) {
    Fill(R, Focused ? kBlueTint : kCreamLight);
    Frame(R, Focused ? kBlue : kSteelDark);
    if (Focused) Frame(R.X + 1, R.Y + 1, R.W - 2, R.H - 2, kBlue);
    DrawCentred(FontFor(9, Focused), Label, R, kInk);
}

void WindowPainter::DrawIcon(const ui::Rect& R, MsgIcon Icon) {
    if (Icon == MsgIcon::None || R.W <= 0) return;
    uint32_t disc = kBlue, ink = kWhite;
    const char* mark = "i";
    switch (Icon) {
        case MsgIcon::Error: disc = 0xD03A3A, mark = "x"; break;
        case MsgIcon::Warning: disc = 0xF0B428, ink = kInk, mark = "!"; break;
        case MsgIcon::Question: mark = "?"; break;
        default: break;
    }
    // A disc, drawn a row at a time, with a dark rim.
    const double r = R.W / 2.0, cx = R.X + r;
    for (int row = 0; row < R.H; ++row) {
        const double dy = row + 0.5 - r;
        const double half = std::sqrt(std::max(0.0, r * r - dy * dy));
        const int x0 = static_cast<int>(std::lround(cx - half)),
                  x1 = static_cast<int>(std::lround(cx + half));
        const double inner = std::sqrt(std::max(0.0, (r - 1.5) * (r - 1.5) - dy * dy));
        Fill(x0, R.Y + row, x1 - x0, 1, kDark);
        if (inner > 0) {
            const int i0 = static_cast<int>(std::lround(cx - inner)),
                      i1 = static_cast<int>(std::lround(cx + inner));
            Fill(i0, R.Y + row, i1 - i0, 1, disc);
        }
    }
    DrawCentred(FontFor(15, true), mark, R, ink);
}

void WindowPainter::PaintDialog(const WindowContent& Content, const ui::MessageBox& Box,
                                const ui::MessageBoxLayout& L, const DialogBackdrop& Under) {
    if (!BeginDialog(Content, L.Box, L.TitleBar, Box.Title(), Under)) return;
    // The icon and the text sit on a cream panel between the title and the buttons.
    const int top = L.TitleBar.Y + L.TitleBar.H + 6;
    const int bottom = L.Buttons[0].Y - 6;
    const ui::Rect panel{L.Box.X + 6, top, L.Box.W - 12, bottom - top};
    Fill(panel, kCream);
    Frame(panel, kSteelDark);
    DrawIcon(L.Icon, Box.Icon());
    const int regular = FontFor(9, false);
    if (regular >= 0) {
        const SDL_Rect clip{panel.X + 1, panel.Y + 1, panel.W - 2, panel.H - 2};
        int y = L.Text.Y;
        for (const std::string& line : L.Lines) {
            DrawTextLine(regular, line, L.Text.X, y, kInk, clip);
            y += L.LineHeight;
        }
    }
    for (int i = 0; i < Box.ButtonCount(); ++i)
        DrawButton(L.Buttons[static_cast<size_t>(i)], ui::MessageBox::Label(Box.ButtonAnswer(i)),
                   i == Box.Focus());
    EndDialog();
}

void WindowPainter::PaintDialog(const WindowContent& Content, const ui::InputBox& Box,
                                const ui::InputBoxLayout& L, bool CaretOn,
                                const DialogBackdrop& Under) {
    if (!BeginDialog(Content, L.Box, L.TitleBar, Box.Title(), Under)) return;
    const int regular = FontFor(9, false);
    const auto clip = [](const ui::Rect& r) { return SDL_Rect{r.X, r.Y, r.W, r.H}; };
    // The prompt sits on a cream panel, as a message box's text does.
    const int top = L.TitleBar.Y + L.TitleBar.H + 6;
    const ui::Rect panel{L.Box.X + 6, top, L.Ok.X - 6 - (L.Box.X + 6), L.Field.Y - 6 - top};
    Fill(panel, kCream);
    Frame(panel, kSteelDark);
    if (regular >= 0) {
        const int lineH = TTF_FontLineSkip(fonts_[regular].Font);
        const auto lines = ui::WrapText(
            Box.Prompt(), L.Prompt.W, [&](const std::string& t) { return TextWidth(regular, t); },
            static_cast<size_t>(std::max(L.Prompt.H / std::max(lineH, 1), 1)));
        int y = L.Prompt.Y;
        for (const std::string& line : lines) {
            DrawTextLine(regular, line, L.Prompt.X, y, kInk, clip(L.Prompt));
            y += lineH;
        }
    }
    // The field scrolls so that the caret stays visible.
    Fill(L.Field, kWhite);
    Frame(L.Field, kSteelDark);
    if (regular >= 0) {
        const int innerW = L.Field.W - 8;
        const int caretX = TextWidth(regular, Box.Text().substr(0, Box.Caret()));
        const int scroll = caretX > innerW ? caretX - innerW : 0;
        const int textY = L.Field.Y + (L.Field.H - TTF_FontHeight(fonts_[regular].Font)) / 2;
        const SDL_Rect inner{L.Field.X + 3, L.Field.Y + 2, L.Field.W - 6, L.Field.H - 4};
        DrawTextLine(regular, Box.Text(), L.Field.X + 4 - scroll, textY, kInk, inner);
        if (CaretOn) Fill(L.Field.X + 4 - scroll + caretX, L.Field.Y + 4, 1, L.Field.H - 8, kInk);
    }
    // Enter accepts, so OK is the focused button.
    DrawButton(L.Ok, "OK", true);
    DrawButton(L.Cancel, "Cancel", false);
    if (Box.GridShown() && L.Grid.W > 0) {
        for (int i = 0; i < ui::InputBox::kGridCells; ++i) {
            const ui::Rect c = L.Cell(i);
            const bool at = i == Box.GridCursor();
            const ui::Rect face{c.X + 1, c.Y + 1, c.W - 2, c.H - 2};
            Fill(face, at ? kBlueTint : kCream);
            Frame(face, at ? kBlue : kSteelDark);
            if (at) Frame(face.X + 1, face.Y + 1, face.W - 2, face.H - 2, kBlue);
            DrawCentred(FontFor(9, at), ui::InputBox::CellLabel(i), face, kInk);
        }
    }
    EndDialog();
}

}  // namespace zol::sdl

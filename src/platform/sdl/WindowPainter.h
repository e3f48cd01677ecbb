// WindowPainter: rasterises the game window's chrome into an RGBA image.
//
// What it does: the window's background art, the labels (SDL2_ttf, fonts found through
// fontconfig: "Arial:bold" for bold labels, "Arial" for the others and the dialogs), the
// level bar, and on request a modal dialog (an input box or a message box) over it all,
// over a copy of the logical screen's last frame. The dialogs take the window's own look:
// a steel frame with a dark title bar, cream panels, the focused button in the game's
// blue. Label texts are drawn from
// a cache of rendered glyphs, so repainting changed numbers allocates nothing once their
// digits have been seen.
// Who owns what: the painter owns its surfaces, fonts and glyph cache; the image stays
// valid until the next paint. Pixels are SDL_PIXELFORMAT_RGBA32 (see WindowPresenter.h).
// Failure: missing art paints a plain grey frame, a missing font leaves the texts out;
// each is reported once on stderr. Nothing here throws.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/graphics/FrameDamage.h"
#include "ui/InputBox.h"
#include "ui/MessageBox.h"
#include "ui/WindowContent.h"

namespace zol::sdl {

// The file fontconfig matches for a pattern such as "Arial:bold"; "" when none. *Index
// receives the face index inside the file.
std::string FindFontFile(const std::string& Pattern, int* Index);

// The image file at Path as an RGBA32 surface (the caller frees it), decoded like the
// game's textures (PNG, BMP, JPEG or TGA only); nullptr when it cannot be read.
SDL_Surface* LoadImageSurface(const std::string& Path);
// What lies under a dialog: the logical screen's last frame (Width x Height pixels, may be
// null) at client pixel (X, Y).
struct DialogBackdrop {
    const uint32_t* Front = nullptr;
    int Width = 0, Height = 0, X = 0, Y = 0;
};

class WindowPainter {
public:
    // A painter over the art in ArtFile (empty or missing: a plain frame). The image takes
    // the client size of the layout it is asked to paint.
    explicit WindowPainter(const std::string& ArtFile);
    ~WindowPainter();
    WindowPainter(const WindowPainter&) = delete;
    WindowPainter& operator=(const WindowPainter&) = delete;

    // True once an image has been painted.
    bool Ready() const { return image_ != nullptr; }
    int Width() const { return image_ ? image_->w : 0; }
    int Height() const { return image_ ? image_->h : 0; }
    bool HasFonts() const { return !boldFile_.empty() || !regularFile_.empty(); }

    // Repaints art, labels and bar when Content differs from the last paint (or Force);
    // true when the image changed.
    bool Paint(const WindowContent& Content, bool Force = false);
    // Paints the window with the backdrop and an input box over it.
    void PaintDialog(const WindowContent& Content, const ui::InputBox& Box,
                     const ui::InputBoxLayout& Layout, bool CaretOn, const DialogBackdrop& Under);
    // Paints the window with the backdrop and a message box over it.
    void PaintDialog(const WindowContent& Content, const ui::MessageBox& Box,
                     const ui::MessageBoxLayout& Layout, const DialogBackdrop& Under);
    // The width of a text in the dialogs' font (0 without a font), and its line height.
    int32_t DialogTextWidth(const std::string& Utf8);
    int32_t DialogLineHeight();

    const uint32_t* Pixels() const;
    // Grows with every change of the image.
    uint64_t Version() const { return version_; }
    // What the latest change (from Version() - 1 to Version()) touched, within the image.
    const PixelRect& Changed() const { return changed_; }
    // The colour 0xRRGGBB at client pixel (X, Y); 0 outside the image.
    uint32_t ColorAt(int X, int Y) const;

private:
    struct FontSlot {
        int Pixels = 0;
        bool Bold = false;
        TTF_Font* Font = nullptr;
    };
    struct Glyph {
        SDL_Surface* Surface = nullptr;  // white text on transparent, colour-modulated when drawn
        int Advance = 0;
    };

    // The slot of the font for a label size, opened on first use; -1 when there is none.
    int FontFor(float Points, bool Bold);
    const Glyph& GlyphFor(int Slot, uint32_t CodePoint);
    void DrawLabel(const WindowLabel& Label);
    void DrawBar(const WindowBar& Bar);
    // Draws one line from the glyph cache, clipped to Clip.
    void DrawTextLine(int Slot, const std::string& Utf8, int X, int Y, uint32_t Rgb,
                      const SDL_Rect& Clip);
    int TextWidth(int Slot, const std::string& Utf8);
    void Fill(int X, int Y, int W, int H, uint32_t Rgb);
    void Frame(int X, int Y, int W, int H, uint32_t Rgb);
    void Fill(const ui::Rect& R, uint32_t Rgb) { Fill(R.X, R.Y, R.W, R.H, Rgb); }
    void Frame(const ui::Rect& R, uint32_t Rgb) { Frame(R.X, R.Y, R.W, R.H, Rgb); }
    // The window, the backdrop and an empty dialog frame with its title; false without an
    // image.
    bool BeginDialog(const WindowContent& Content, const ui::Rect& Box, const ui::Rect& TitleBar,
                     const std::string& Title, const DialogBackdrop& Under);
    void EndDialog();
    // A push button with its label centred; Focused draws it in the game's blue.
    void DrawButton(const ui::Rect& R, const std::string& Label, bool Focused);
    void DrawIcon(const ui::Rect& R, MsgIcon Icon);
    // A line of text centred in R.
    void DrawCentred(int Slot, const std::string& Utf8, const ui::Rect& R, uint32_t Rgb);
    // Art, labels and bar, drawn only inside Region.
    void PaintRegion(const WindowContent& Content, const SDL_Rect& Region);
    void PaintBase(const WindowContent& Content);
    // Makes the image Width x Height (kept when it has that size); false when it cannot.
    bool MakeImage(int Width, int Height);

    SDL_Surface* image_ = nullptr;
    SDL_Surface* art_ = nullptr;
    bool ttfStarted_ = false;
    std::string boldFile_, regularFile_;
    int boldIndex_ = 0, regularIndex_ = 0;
    std::vector<FontSlot> fonts_;
    std::unordered_map<uint64_t, Glyph> glyphs_;
    SDL_Rect region_{0, 0, 0, 0};  // what drawing may touch
    WindowContent last_;
    bool painted_ = false;
    uint64_t version_ = 0;
    PixelRect changed_;
};

}  // namespace zol::sdl

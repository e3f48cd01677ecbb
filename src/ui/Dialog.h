// Dialog: what the modal boxes drawn in the game window share.
//
// What it does: names the pad buttons a dialog reads (the host maps its controllers onto
// them) and wraps a text into lines of a given pixel width, measured by whoever paints
// it (ui has no fonts).
// Who owns what: plain values and a free function.
// Failure: none; a word wider than the line is broken between characters, never inside
// one, and wrapping stops after the most lines asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zol::ui {

// The pad buttons as a dialog sees them (any pad, Xbox layout: A bottom, B right).
enum class PadKey { Up, Down, Left, Right, A, B, X, Y, Start };

// The width in pixels of a UTF-8 text as it will be painted.
using TextWidthFn = std::function<int32_t(const std::string& Utf8)>;

// Text cut into lines at most Width pixels wide: line breaks (CR LF, LF or CR) end a
// line, blanks are where long lines break (the blanks at a break are dropped, blanks at
// the end of a line do not count towards its width). At most MaxLines lines; *More (if
// given) tells whether text was left over.
std::vector<std::string> WrapText(const std::string& Text, int32_t Width,
                                  const TextWidthFn& WidthOf, size_t MaxLines,
                                  bool* More = nullptr);

// The ellipsis that marks a cut text.
inline constexpr const char* kEllipsis = "\xE2\x80\xA6";

}  // namespace zol::ui

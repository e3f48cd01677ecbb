#include "ui/Dialog.h"

#include "framework/core/qText.h"

namespace zol::ui {

std::vector<std::string> WrapText(const std::string& Text, int32_t Width,
                                  const TextWidthFn& WidthOf, size_t MaxLines, bool* More) {
    std::vector<std::string> lines;
    if (More) *More = false;
    const size_t n = Text.size();
    size_t i = 0;
    for (;;) {
        if (lines.size() >= MaxLines) {
            if (More) *More = true;
            return lines;
        }
        size_t end = Text.find_first_of("\r\n", i);
        if (end == std::string::npos) end = n;
        // Grow the line a character at a time while it fits; blanks are where it may end.
        // Only a prefix that ends in a visible character is measured, so blanks at the
        // end of a line never push it over.
        size_t lastBreak = std::string::npos, fitEnd = i, j = i;
        bool whole = true;
        while (j < end) {
            size_t next = j;
            char32_t cp = 0;
            NextUtf8(Text, next, cp);
            if (Text[j] == ' ') {
                lastBreak = j;
            } else if (WidthOf(Text.substr(i, next - i)) > Width) {
                whole = false;
                break;
            } else {
                fitEnd = next;
            }
            j = next;
        }
        if (whole) {
            lines.push_back(Text.substr(i, end - i));
            i = end;
        } else if (lastBreak != std::string::npos && lastBreak > i) {
            size_t cut = lastBreak;
            while (cut > i && Text[cut - 1] == ' ') --cut;
            lines.push_back(Text.substr(i, cut - i));
            i = lastBreak;
            while (i < end && Text[i] == ' ') ++i;
        } else {
            // One word wider than the line: break it between characters, at least one.
            if (fitEnd == i) {
                char32_t cp = 0;
                NextUtf8(Text, fitEnd, cp);
            }
            lines.push_back(Text.substr(i, fitEnd - i));
            i = fitEnd;
        }
        if (i < end) continue;
        if (end >= n) return lines;
        i = end + ((Text[end] == '\r' && end + 1 < n && Text[end + 1] == '\n') ? 2 : 1);
    }
}

}  // namespace zol::ui

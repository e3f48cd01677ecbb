#include "AssetFiles.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace zol::assettest {

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool LoadImage(const std::string& path, Image& out, std::string& error) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        error = IMG_GetError();
        return false;
    }
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) {
        error = SDL_GetError();
        return false;
    }
    out.width = rgba->w;
    out.height = rgba->h;
    out.px.resize(static_cast<size_t>(rgba->w) * rgba->h);
    for (int y = 0; y < rgba->h; ++y) {
        const auto* row = static_cast<const uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
        for (int x = 0; x < rgba->w; ++x)
            out.px[static_cast<size_t>(y) * rgba->w + x] = {row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]};
    }
    SDL_FreeSurface(rgba);
    return true;
}

namespace {

uint32_t Be(const std::vector<uint8_t>& b, size_t at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | b[at + i];
    return v;
}

bool Tag(const std::vector<uint8_t>& b, size_t at, const char* tag) {
    return at + 4 <= b.size() && std::equal(tag, tag + 4, b.begin() + static_cast<long>(at));
}

}  // namespace

bool ParseMidi(const std::vector<uint8_t>& b, Midi& m, std::string& error) {
    if (b.size() < 14 || !Tag(b, 0, "MThd") || Be(b, 4, 4) != 6) {
        error = "no MThd header";
        return false;
    }
    m.format = static_cast<int>(Be(b, 8, 2));
    m.tracks = static_cast<int>(Be(b, 10, 2));
    m.division = static_cast<int>(Be(b, 12, 2));
    size_t at = 14;
    std::map<std::pair<int, int>, std::vector<MidiNote>> open;
    for (int t = 0; t < m.tracks; ++t) {
        if (!Tag(b, at, "MTrk") || at + 8 > b.size()) {
            error = "missing MTrk";
            return false;
        }
        const size_t end = at + 8 + Be(b, at + 4, 4);
        if (end > b.size()) {
            error = "track runs past the end of the file";
            return false;
        }
        size_t p = at + 8;
        uint32_t tick = 0;
        uint8_t status = 0;
        bool ended = false;
        auto varlen = [&](uint32_t& v) {
            v = 0;
            for (int i = 0; i < 4; ++i) {
                if (p >= end) return false;
                const uint8_t c = b[p++];
                v = (v << 7) | (c & 0x7F);
                if (!(c & 0x80)) return true;
            }
            return false;
        };
        while (p < end && !ended) {
            uint32_t delta;
            if (!varlen(delta) || p >= end) {
                error = "bad delta time";
                return false;
            }
            tick += delta;
            m.lastTick = std::max(m.lastTick, tick);
            uint8_t c = b[p];
            if (c & 0x80) {
                ++p;
                if (c < 0xF0) status = c;
            } else if (!status) {
                error = "running status without a status";
                return false;
            } else {
                c = status;
            }
            if (c == 0xFF || c == 0xF0 || c == 0xF7) {
                uint8_t type = 0;
                if (c == 0xFF) {
                    if (p >= end) break;
                    type = b[p++];
                }
                uint32_t len;
                if (!varlen(len) || len > end - p) {
                    error = "bad meta length";
                    return false;
                }
                if (c == 0xFF && type == 0x51 && len == 3) m.tempos.push_back(Be(b, p, 3));
                if (c == 0xFF && type == 0x58) m.timeSignatures.emplace_back(b.begin() + static_cast<long>(p), b.begin() + static_cast<long>(p + len));
                if (c == 0xFF && type == 0x2F) ended = true;
                p += len;
                continue;
            }
            const int kind = c & 0xF0, ch = c & 0x0F;
            const int need = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            if (p + need > end) {
                error = "truncated channel message";
                return false;
            }
            const int d1 = b[p], d2 = need == 2 ? b[p + 1] : 0;
            p += need;
            if (kind == 0xC0 && !m.firstProgramChange.count(ch)) m.firstProgramChange[ch] = tick;
            if (kind == 0x90 && d2 > 0) {
                if (!m.firstNote.count(ch)) m.firstNote[ch] = tick;
                open[{ch, d1}].push_back({ch, d1, d2, tick, 0});
            } else if (kind == 0x80 || (kind == 0x90 && d2 == 0)) {
                auto& stack = open[{ch, d1}];
                if (stack.empty()) {
                    ++m.unmatchedNoteOffs;
                } else {
                    MidiNote n = stack.front();
                    stack.erase(stack.begin());
                    n.end = tick;
                    m.notes.push_back(n);
                }
            }
        }
        if (!ended) {
            error = "track without end-of-track";
            return false;
        }
        at = end;
    }
    for (const auto& [key, stack] : open) m.hangingNotes += static_cast<int>(stack.size());
    std::stable_sort(m.notes.begin(), m.notes.end(),
                     [](const MidiNote& a, const MidiNote& b) { return a.start < b.start; });
    return true;
}

}  // namespace zol::assettest

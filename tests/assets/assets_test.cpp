// Runs the built asset generator into a fresh folder and checks what it wrote
// against the layouts the game reads: image sizes and colour keys, glyph cells,
// particle cells, wave formats and levels, and the song's loop structure and level.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>
#include <tuple>

#include "AssetFiles.h"
#include "framework/sound/WaveDecoder.h"
#include "framework/sound/fluidsynth/FluidMusicDevice.h"

namespace zol::assettest {
namespace {

namespace fs = std::filesystem;

const std::string kGenerator = ZOL_BINARY_DIR "/assetgen";

// Runs the generator with one argument (or none) and returns its exit status.
int RunGenerator(const std::string& args) {
    const std::string cmd = "'" + kGenerator + "' " + args + " 2>/dev/null";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Assets : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/zol_assets_XXXXXX";
        if (const char* made = mkdtemp(pattern)) dir_ = made;
        if (!dir_.empty() && fs::exists(kGenerator)) status_ = RunGenerator("'" + dir_ + "'");
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }
    void SetUp() override {
        ASSERT_TRUE(fs::exists(kGenerator)) << "build the assetgen target first: " << kGenerator;
        ASSERT_EQ(status_, 0) << "assetgen failed writing into " << dir_;
    }
    static Image Png(const std::string& name) {
        Image img;
        std::string error;
        EXPECT_TRUE(LoadImage(dir_ + "/img/" + name, img, error)) << name << ": " << error;
        return img;
    }
    static std::string dir_;
    static int status_;
};
std::string Assets::dir_;
int Assets::status_ = -1;

// Counts the pixels of a rectangle that satisfy a test.
template <typename Test>
int Count(const Image& img, int x0, int y0, int w, int h, Test test) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) n += test(img.At(x, y)) ? 1 : 0;
    return n;
}

TEST_F(Assets, GeneratorReportsFailureInsteadOfPretendingSuccess) {
    EXPECT_EQ(RunGenerator(""), 2);
    // A folder that cannot be created because a file stands in its way.
    const std::string blocked = dir_ + "/blocked";
    { std::ofstream(blocked) << "x"; }
    EXPECT_EQ(RunGenerator("'" + blocked + "/out'"), 1);
    // No partial files are left under their final names.
    for (const auto& entry : fs::recursive_directory_iterator(dir_))
        EXPECT_NE(entry.path().extension(), ".part") << "left a temporary file: " << entry.path();
}

TEST_F(Assets, EveryImageHasItsLayoutSize) {
    const std::tuple<const char*, int, int> sizes[] = {
        {"back.png", 128, 128},     {"blocks.png", 288, 240},   {"particles.png", 224, 96},
        {"fnt_minco.png", 256, 256}, {"window.png", 580, 388},  {"icon.png", 256, 256},
        {"icon-16.png", 16, 16},    {"icon-32.png", 32, 32},    {"icon-48.png", 48, 48},
        {"icon-64.png", 64, 64},    {"icon-128.png", 128, 128},
    };
    for (const auto& [name, w, h] : sizes) {
        const Image img = Png(name);
        EXPECT_EQ(img.width, w) << name;
        EXPECT_EQ(img.height, h) << name;
    }
}

TEST_F(Assets, BlockSheetIsKeyedOnlyAroundItsShapes) {
    const Image s = Png("blocks.png");
    ASSERT_EQ(s.width, 288);
    // Cut-out drawing: every pixel opaque, and none a near-magenta fringe.
    for (const Pixel& p : s.px) {
        ASSERT_EQ(p.a, 255);
        const int dist = std::abs(p.r - 255) + p.g + std::abs(p.b - 255);
        ASSERT_TRUE(dist == 0 || dist > 90) << "pink fringe " << int(p.r) << "," << int(p.g) << "," << int(p.b);
    }
    // Blocks (kinds 1..5, timed, mystery): solid inside, keyed at the rounded corners,
    // and a dark rim where the shape meets the key.
    const std::pair<int, int> blocks[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {0, 1}, {1, 1}};
    for (const auto& [col, row] : blocks) {
        const int x0 = col * 48, y0 = row * 48;
        EXPECT_EQ(Count(s, x0 + 4, y0 + 4, 40, 40, IsMagenta), 0) << col << "," << row;
        for (const auto& [cx, cy] : {std::pair{0, 0}, {47, 0}, {0, 47}, {47, 47}})
            EXPECT_TRUE(IsMagenta(s.At(x0 + cx, y0 + cy))) << col << "," << row;
        int x = x0;
        while (IsMagenta(s.At(x, y0 + 24))) ++x;
        EXPECT_LT(Luma(s.At(x, y0 + 24)), 110) << "edge not dark at tile " << col << "," << row;
    }
    // Unused tiles are wholly keyed; the bomb's tile is keyed outside its 16 x 16 corner.
    const std::pair<int, int> unused[] = {{5, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {0, 2}, {1, 2},
                                          {2, 2}, {3, 2}, {4, 2}, {5, 2}, {1, 3}, {4, 3}, {5, 3}, {5, 4}};
    for (const auto& [col, row] : unused)
        EXPECT_EQ(Count(s, col * 48, row * 48, 48, 48, IsMagenta), 48 * 48) << col << "," << row;
    const int bomb = Count(s, 144, 144, 16, 16, [](const Pixel& p) { return !IsMagenta(p); });
    EXPECT_GT(bomb, 60);
    EXPECT_EQ(Count(s, 144, 144, 48, 48, IsMagenta), 48 * 48 - bomb);
    // Glows are light on black for additive drawing.
    for (int gx : {0, 96}) {
        EXPECT_GT(Count(s, gx, 144, 48, 48, [](const Pixel& p) { return Luma(p) > 200; }), 20);
        EXPECT_GT(Count(s, gx, 144, 48, 48, [](const Pixel& p) { return Luma(p) < 8; }), 20);
        EXPECT_EQ(Count(s, gx, 144, 48, 48, IsMagenta), 0);
    }
    // The flash shrinks over its five frames.
    int previous = 48 * 48 + 1;
    for (int f = 0; f < 5; ++f) {
        const int lit = Count(s, f * 48, 192, 48, 48, [](const Pixel& p) { return !IsMagenta(p); });
        EXPECT_GT(lit, 0) << "frame " << f;
        EXPECT_LT(lit, previous) << "frame " << f;
        previous = lit;
    }
}

TEST_F(Assets, BlockKindsDifferInHueAndInSymbol) {
    const Image s = Png("blocks.png");
    ASSERT_EQ(s.width, 288);
    std::vector<float> hues;
    std::vector<std::vector<bool>> symbols;
    for (int k = 0; k < 5; ++k) {
        double r = 0, g = 0, b = 0;
        std::vector<bool> mask;
        for (int y = 6; y < 42; ++y)
            for (int x = 6; x < 42; ++x) {
                const Pixel& p = s.At(k * 48 + x, y);
                r += p.r, g += p.g, b += p.b;
                // Symbols are drawn near-white over the saturated face.
                mask.push_back(std::min({p.r, p.g, p.b}) > 200);
            }
        hues.push_back(static_cast<float>(std::atan2(std::sqrt(3.0) * (g - b), 2 * r - g - b) * 180 / M_PI));
        symbols.push_back(mask);
    }
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j) {
            float d = std::fabs(hues[i] - hues[j]);
            d = std::min(d, 360 - d);
            EXPECT_GT(d, 30) << "kinds " << i + 1 << " and " << j + 1 << " have similar hues";
            int differ = 0;
            for (size_t n = 0; n < symbols[i].size(); ++n) differ += symbols[i][n] != symbols[j][n];
            EXPECT_GT(differ, 60) << "kinds " << i + 1 << " and " << j + 1 << " have similar symbols";
        }
}

TEST_F(Assets, FontGlyphsFitTheirCellsAndAreDistinct) {
    const Image f = Png("fnt_minco.png");
    ASSERT_EQ(f.width, 256);
    std::set<std::vector<bool>> seen;
    for (int code = 0; code < 256; ++code) {
        const int x0 = (code % 16) * 16, y0 = (code / 16) * 16;
        std::vector<bool> bits;
        int maxX = -1, maxY = -1, count = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const Pixel& p = f.At(x0 + x, y0 + y);
                ASSERT_TRUE(IsMagenta(p) || (p.r == 255 && p.g == 255 && p.b == 255)) << "code " << code;
                const bool on = !IsMagenta(p);
                bits.push_back(on);
                if (on) maxX = std::max(maxX, x), maxY = std::max(maxY, y), ++count;
            }
        EXPECT_LT(maxX, 4) << "code " << code << " wider than 4 pixels";
        EXPECT_LT(maxY, 9) << "code " << code << " taller than 9 pixels";
        const bool printable = (code > 32 && code < 127) || code >= 192;
        EXPECT_EQ(count > 0, printable) << "code " << code;
        if (printable) {
            EXPECT_TRUE(seen.insert(bits).second) << "code " << code << " repeats another glyph";
        }
        // Capitals and digits sit on the baseline; only descenders use the last two rows.
        if ((code >= 'A' && code <= 'Z' && code != 'Q') || (code >= '0' && code <= '9')) {
            EXPECT_LT(maxY, 7) << char(code);
        }
        if (std::string_view("gjpqy").find(static_cast<char>(code)) != std::string_view::npos) {
            EXPECT_GE(maxY, 7) << char(code) << " has no descender";
        }
    }
}

TEST_F(Assets, ParticleCellsAreBrightOpaqueAndSeparate) {
    const Image p = Png("particles.png");
    ASSERT_EQ(p.width, 224);
    for (const Pixel& px : p.px) ASSERT_EQ(px.a, 255);
    for (int type = 0; type < 3; ++type)
        for (int frame = 0; frame < 7; ++frame) {
            const int x0 = frame * 32, y0 = type * 32;
            EXPECT_GT(Count(p, x0, y0, 32, 32, [](const Pixel& q) { return Luma(q) > 160; }), 0)
                << "type " << type << " frame " << frame;
            // A dark border keeps smoothing from bleeding into the next cell.
            for (int i = 0; i < 32; ++i)
                for (const auto& [x, y] : {std::pair{x0 + i, y0}, {x0 + i, y0 + 31}, {x0, y0 + i}, {x0 + 31, y0 + i}})
                    ASSERT_LT(Luma(p.At(x, y)), 16) << "type " << type << " frame " << frame;
        }
}

TEST_F(Assets, BackgroundIsDarkAndTilesWithoutSeams) {
    const Image b = Png("back.png");
    ASSERT_EQ(b.width, 128);
    double sum = 0, inner = 0, seamX = 0, seamY = 0;
    auto diff = [](const Pixel& a, const Pixel& c) { return std::fabs(Luma(a) - Luma(c)); };
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            sum += Luma(b.At(x, y));
            EXPECT_EQ(b.At(x, y).a, 255);
            if (x < 127) inner += diff(b.At(x, y), b.At(x + 1, y));
        }
    for (int i = 0; i < 128; ++i) {
        seamX += diff(b.At(127, i), b.At(0, i));
        seamY += diff(b.At(i, 127), b.At(i, 0));
    }
    EXPECT_LT(sum / (128 * 128), 80);
    const double neighbour = inner / (127 * 128);
    EXPECT_LT(seamX / 128, 2.5 * neighbour + 0.5);
    EXPECT_LT(seamY / 128, 2.5 * neighbour + 0.5);
}

TEST_F(Assets, WindowArtKeepsLabelsReadableAndFramesTheScreen) {
    const Image w = Png("window.png");
    ASSERT_EQ(w.width, 580);
    const int labels[][4] = {{40, 12, 145, 27},  {288, 12, 253, 27}, {172, 356, 85, 21}, {268, 356, 81, 21},
                             {408, 364, 93, 15}, {520, 364, 45, 15}, {12, 364, 121, 15}};
    for (const auto& r : labels) {
        double sum = 0, sq = 0;
        const int n = r[2] * r[3];
        for (int y = r[1]; y < r[1] + r[3]; ++y)
            for (int x = r[0]; x < r[0] + r[2]; ++x) {
                const double l = Luma(w.At(x, y));
                sum += l, sq += l * l;
            }
        const double mean = sum / n;
        EXPECT_GT(mean, 180) << "label at " << r[0] << "," << r[1] << " is not light";
        EXPECT_LT(std::sqrt(sq / n - mean * mean), 20) << "label at " << r[0] << "," << r[1] << " is busy";
    }
    // The drawing area's one-pixel border is dark all round.
    for (int x = 49; x < 531; ++x) EXPECT_LT(Luma(w.At(x, 49)) + Luma(w.At(x, 338)), 60) << x;
    for (int y = 49; y < 339; ++y) EXPECT_LT(Luma(w.At(49, y)) + Luma(w.At(530, y)), 60) << y;
    // Icons are shapes on a transparent ground.
    for (const char* name : {"icon.png", "icon-16.png", "icon-32.png"}) {
        const Image i = Png(name);
        ASSERT_GT(i.width, 0);
        EXPECT_EQ(i.At(0, 0).a, 0) << name;
        EXPECT_EQ(i.At(i.width / 4, i.height * 3 / 4).a, 255) << name;
    }
}

TEST_F(Assets, EveryEffectIsCleanShortMono16BitSound) {
    // (name, rate when it matters, shortest and longest seconds)
    const std::tuple<const char*, int, double, double> effects[] = {
        {"pause.wav", 0, 0.2, 1.2},     {"gameover.wav", 44100, 1.2, 2.0}, {"gameover2.wav", 0, 1.2, 2.0},
        {"bomb.wav", 0, 0.4, 2.0},      {"ammo.wav", 0, 0.1, 0.6},        {"hit.wav", 0, 0.05, 0.4},
        {"ready.wav", 0, 0.1, 0.8},     {"dip.wav", 0, 0.05, 0.4},        {"hui.wav", 0, 0.3, 1.5},
        {"clack.wav", 22050, 0.05, 0.4},
    };
    std::set<std::vector<uint8_t>> distinct;
    for (const auto& [name, rate, minSeconds, maxSeconds] : effects) {
        SCOPED_TRACE(name);
        WaveData w;
        std::string error;
        ASSERT_TRUE(DecodeWaveFile(dir_ + "/wave/" + name, w, error)) << error;
        EXPECT_EQ(w.Channels, 1);
        ASSERT_EQ(w.BitsPerSample, 16);
        EXPECT_TRUE(w.SampleRate == (rate ? rate : 22050) || (!rate && w.SampleRate == 44100));
        std::vector<int16_t> samples(w.Pcm.size() / 2);
        std::memcpy(samples.data(), w.Pcm.data(), samples.size() * 2);
        const double seconds = static_cast<double>(samples.size()) / w.SampleRate;
        EXPECT_GE(seconds, minSeconds);
        EXPECT_LE(seconds, maxSeconds);
        int peak = 0;
        for (int16_t v : samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
        const double dbfs = 20 * std::log10(std::max(peak, 1) / 32768.0);
        EXPECT_GT(dbfs, -4.5);
        EXPECT_LT(dbfs, -1.5) << "too loud or clipped";
        // Silent edges: no click when a sound starts or is cut off at its end.
        ASSERT_GT(samples.size(), 8u);
        EXPECT_LT(std::abs(samples.front()), 330);
        EXPECT_LT(std::abs(samples.back()), 330);
        distinct.insert(w.Pcm);
    }
    EXPECT_EQ(distinct.size(), 10u);
}

TEST_F(Assets, SongLoopsCleanlyAtItsLoopPoint) {
    Midi m;
    std::string error;
    ASSERT_TRUE(ParseMidi(ReadFile(dir_ + "/midi/back.mid"), m, error)) << error;
    EXPECT_EQ(m.format, 1);
    ASSERT_EQ(m.division, 768);
    constexpr uint32_t kBar = 4 * 768, kLoopBars = 36 * kBar, kLoopEnd = 110600;
    EXPECT_GT(m.lastTick, kLoopEnd);
    EXPECT_EQ(m.unmatchedNoteOffs, 0);
    EXPECT_EQ(m.hangingNotes, 0);
    ASSERT_FALSE(m.tempos.empty());
    for (uint32_t t : m.tempos) {
        const double bpm = 60e6 / t;
        EXPECT_GE(bpm, 110);
        EXPECT_LE(bpm, 130);
    }
    ASSERT_FALSE(m.timeSignatures.empty());
    EXPECT_EQ(m.timeSignatures[0][0], 4);
    EXPECT_EQ(m.timeSignatures[0][1], 2);
    // Every channel that plays is set up at the start, before its first note.
    EXPECT_TRUE(m.firstNote.count(9)) << "no drums on channel 10";
    EXPECT_GE(m.firstNote.size(), 4u);
    for (const auto& [ch, tick] : m.firstNote) {
        ASSERT_TRUE(m.firstProgramChange.count(ch)) << "channel " << ch;
        EXPECT_EQ(m.firstProgramChange[ch], 0u) << "channel " << ch;
    }
    std::multiset<std::tuple<int, int, int, uint32_t, uint32_t>> firstBar, barAfterLoop;
    for (const MidiNote& n : m.notes) {
        EXPECT_GT(n.end, n.start);
        // Nothing begun inside the loop may still sound when it jumps back.
        if (n.start < kLoopBars) {
            EXPECT_LE(n.end, kLoopBars) << "note " << n.key << " at " << n.start;
        }
        if (n.start < kBar) firstBar.insert({n.channel, n.key, n.velocity, n.start, n.end - n.start});
        if (n.start >= kLoopBars && n.start < kLoopBars + kBar)
            barAfterLoop.insert({n.channel, n.key, n.velocity, n.start - kLoopBars, n.end - n.start});
    }
    EXPECT_FALSE(firstBar.empty());
    EXPECT_EQ(firstBar, barAfterLoop) << "the bar after the loop must begin like the first";
}

// The game plays the song 20 dB below full gain, so the song itself has to use the
// headroom: rendered at full gain through the soundfont it is mixed for, one trip round
// the game's loop peaks a little below full scale, neither clipping nor quiet.
TEST_F(Assets, SongPeaksJustBelowFullScaleAtFullGain) {
    const std::string soundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
    if (!fs::exists(soundfont)) GTEST_SKIP() << "no " << soundfont;
    FluidMusicDevice synth(FluidOutput::Memory, soundfont);
    ASSERT_TRUE(synth.Open()) << synth.ErrorText();
    ASSERT_TRUE(synth.LoadSong(ReadFile(dir_ + "/midi/back.mid")));
    ASSERT_TRUE(synth.SetLoopPoints(0, 110600) && synth.SetRepeat(true) && synth.SetMasterVolume(0) && synth.Play());
    // 110600 ticks at the song's 116 beats a minute: 74.5 s.
    const int frames = static_cast<int>(74.5 * synth.SampleRate());
    std::vector<float> block(2 * 1024);
    float peak = 0;
    for (int done = 0; done < frames; done += 1024) {
        ASSERT_TRUE(synth.Render(block.data(), 1024));
        for (float v : block) peak = std::max(peak, std::fabs(v));
    }
    const double dbfs = 20 * std::log10(std::max(peak, 1e-9f));
    EXPECT_GE(dbfs, -3.0);
    EXPECT_LE(dbfs, -1.0);
}

}  // namespace
}  // namespace zol::assettest

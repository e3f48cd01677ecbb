// The background song: a relaxed General MIDI piece in C major, 4/4 at 116 beats
// per minute, 768 ticks per quarter note, as a format-1 standard MIDI file.
//
// The game loops music time 0..110600: 36 bars of 3072 ticks plus 8 ticks. So the
// 36 bars form the loop (bar 36 turns back to the chord of bar 1, and no note that
// starts inside the loop sounds past its end), bar 37 repeats bar 1 exactly so that
// the 8 ticks beyond the loop point sound like the loop's own beginning (and every
// note begun there is released by the same note of bar 1 after the jump), and
// bar 38 is a short ending for a player that does not loop.
//
// The level is set for the game, which plays the song 20 dB below full gain beside sound
// effects mixed near full scale. Rendered at full gain with Debian's General MIDI
// soundfont (TimGM6mb), a trip round the loop peaks between -2.2 and -1 dBFS (the trips
// differ a little: the synthesiser starts notes on a 64-sample grid that the loop does
// not divide) at a loudness of about -13 LUFS. The tune, the harp and the bass are all
// struck sounds, so the peaks stand about 11 dB over the loudness, and the velocities
// keep them from standing higher: the loudest moments are downbeats, where the tune,
// bass, harp and kick start together, so accents are small and the accompaniment starts
// a little under the tune there. The channel volumes balance the parts.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "Assets.h"

namespace zol::assetgen {
namespace {

constexpr int kDivision = 768;
constexpr int kBar = 4 * kDivision;
constexpr int kLoopBars = 36;
constexpr uint32_t kTempo = 517241;  // microseconds per quarter note: 116 bpm

// Channels, programs (General MIDI, zero-based) and mixer settings.
enum Channel : uint8_t { Melody = 0, Arp = 1, Pad = 2, Bass = 3, Drums = 9 };

// Channel volumes (controller 7). General MIDI synthesisers turn volume, expression and
// velocity alike into a gain of (value / 127)^2, so one step near 100 is about 0.35 dB.
constexpr int kMelodyVolume = 121, kArpVolume = 120, kPadVolume = 121, kBassVolume = 121, kDrumVolume = 117;

struct Chord {
    int bass;                 // root of the bass line
    std::array<int, 4> pad;   // the pad's voicing
};
constexpr Chord kC{36, {55, 59, 60, 64}}, kAm{33, {55, 57, 60, 64}}, kDm{38, {57, 60, 62, 65}},
    kG{43, {55, 59, 62, 65}}, kF{41, {53, 57, 60, 64}}, kEm{40, {55, 59, 62, 64}};

// The chord of each bar of the loop (index 0 is bar 1).
const Chord* const kChords[kLoopBars] = {
    &kC, &kAm, &kDm, &kG,                             // intro
    &kC, &kAm, &kF, &kG, &kC, &kAm, &kDm, &kG,        // theme
    &kF, &kEm, &kDm, &kC, &kF, &kEm, &kDm, &kG,       // second theme
    &kC, &kAm, &kF, &kG, &kC, &kAm, &kDm, &kG,        // theme again
    &kAm, &kEm, &kF, &kG,                             // bridge
    &kC, &kAm, &kDm, &kG,                             // turn back to the top
};

enum class Section { Intro, Theme, Second, Bridge, Outro };

Section SectionOf(int bar) {  // bar counted from 0
    if (bar < 4) return Section::Intro;
    if (bar < 12) return Section::Theme;
    if (bar < 20) return Section::Second;
    if (bar < 28) return Section::Theme;
    if (bar < 32) return Section::Bridge;
    return Section::Outro;
}

struct Note {
    double beat, length;
    int key;
};

// The tunes, bar by bar: start beat, length in beats, key.
const std::vector<std::vector<Note>> kTheme = {
    {{0, 1, 67}, {1, 1, 72}, {2, 1.5, 76}, {3.5, 0.5, 74}},
    {{0, 1, 72}, {1, 1, 69}, {2, 2, 76}},
    {{0, 1, 77}, {1, 0.5, 76}, {1.5, 0.5, 74}, {2, 1, 72}, {3, 1, 69}},
    {{0, 1.5, 71}, {1.5, 0.5, 72}, {2, 2, 74}},
    {{0, 1, 67}, {1, 1, 72}, {2, 1.5, 76}, {3.5, 0.5, 79}},
    {{0, 1.5, 81}, {1.5, 0.5, 79}, {2, 2, 76}},
    {{0, 1, 77}, {1, 1, 76}, {2, 1, 74}, {3, 1, 71}},
    {{0, 1.5, 74}, {1.5, 0.5, 71}, {2, 2, 67}},
};
const std::vector<std::vector<Note>> kSecond = {
    {{0, 2, 81}, {2, 1, 79}, {3, 1, 77}},
    {{0, 1.5, 79}, {1.5, 0.5, 76}, {2, 2, 71}},
    {{0, 1, 77}, {1, 1, 76}, {2, 1, 74}, {3, 1, 69}},
    {{0, 3, 76}},
    {{0, 1, 84}, {1, 1, 81}, {2, 1, 77}, {3, 1, 81}},
    {{0, 1.5, 83}, {1.5, 0.5, 79}, {2, 2, 76}},
    {{0, 1, 74}, {1, 1, 77}, {2, 1, 81}, {3, 1, 84}},
    {{0, 1, 83}, {1, 1, 81}, {2, 2, 79}},
};
const std::vector<std::vector<Note>> kBridge = {
    {{0, 4, 76}}, {{0, 4, 71}}, {{0, 2, 72}, {2, 2, 69}}, {{0, 2, 71}, {2, 2, 74}},
};
const std::vector<std::vector<Note>> kOutro = {
    {}, {{2, 1, 76}, {3, 1, 79}}, {{0, 2, 77}, {2, 2, 81}}, {{0, 2, 79}},
};

struct Event {
    uint32_t tick;
    int order;  // at one tick: set-up first, then releases, then new notes
    std::vector<uint8_t> bytes;
};

class Track {
public:
    // A channel message or meta event at a tick.
    void At(uint32_t tick, int order, std::vector<uint8_t> bytes) {
        events_.push_back({tick, order, std::move(bytes)});
    }
    // A note from `start` lasting `length` ticks.
    void NoteOn(uint8_t ch, uint32_t start, uint32_t length, int key, int velocity) {
        At(start, 2, {static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(key),
                      static_cast<uint8_t>(std::clamp(velocity, 1, 127))});
        At(start + length, 1, {static_cast<uint8_t>(0x80 | ch), static_cast<uint8_t>(key), 64});
    }
    // Program, volume, full expression, pan and reverb of a channel at tick 0.
    void SetUp(uint8_t ch, int program, int volume, int pan, int reverb) {
        At(0, 0, {static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>(program)});
        At(0, 0, {static_cast<uint8_t>(0xB0 | ch), 7, static_cast<uint8_t>(volume)});
        At(0, 0, {static_cast<uint8_t>(0xB0 | ch), 11, 127});
        At(0, 0, {static_cast<uint8_t>(0xB0 | ch), 10, static_cast<uint8_t>(pan)});
        At(0, 0, {static_cast<uint8_t>(0xB0 | ch), 91, static_cast<uint8_t>(reverb)});
    }
    // A text meta event (type 3 is the track name).
    void Text(uint8_t type, const std::string& text) {
        std::vector<uint8_t> b = {0xFF, type, static_cast<uint8_t>(text.size())};
        b.insert(b.end(), text.begin(), text.end());
        At(0, 0, b);
    }
    // The track chunk with delta times and the end-of-track event.
    std::vector<uint8_t> Encode() const {
        std::vector<Event> ev = events_;
        std::stable_sort(ev.begin(), ev.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::vector<uint8_t> body;
        uint32_t now = 0;
        for (const Event& e : ev) {
            PutVarLen(body, e.tick - now);
            now = e.tick;
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        }
        PutVarLen(body, 0);
        body.insert(body.end(), {0xFF, 0x2F, 0x00});
        std::vector<uint8_t> out = {'M', 'T', 'r', 'k'};
        PutBig32(out, static_cast<uint32_t>(body.size()));
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

    static void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
    }

private:
    static void PutVarLen(std::vector<uint8_t>& out, uint32_t v) {
        uint8_t bytes[5];
        int n = 0;
        do {
            bytes[n++] = static_cast<uint8_t>(v & 0x7F);
            v >>= 7;
        } while (v);
        while (n--) out.push_back(static_cast<uint8_t>(bytes[n] | (n ? 0x80 : 0)));
    }
    std::vector<Event> events_;
};

uint32_t Ticks(double beats) { return static_cast<uint32_t>(std::lround(beats * kDivision)); }

// Writes one bar of every part; `bar` is its place in the file, `shape` the loop
// bar whose music it plays.
void PlayBar(Track& melody, Track& arp, Track& pad, Track& bass, Track& drums, int bar, int shape) {
    const uint32_t t0 = static_cast<uint32_t>(bar) * kBar;
    const Chord& ch = *kChords[shape];
    const Section sec = SectionOf(shape);

    // Melody.
    const std::vector<Note>* tune = nullptr;
    if (sec == Section::Theme) tune = &kTheme[(shape - (shape < 12 ? 4 : 20)) % 8];
    if (sec == Section::Second) tune = &kSecond[shape - 12];
    if (sec == Section::Bridge) tune = &kBridge[shape - 28];
    if (sec == Section::Outro) tune = &kOutro[shape - 32];
    if (tune)
        for (const Note& n : *tune) {
            const int accent = std::fmod(n.beat, 2.0) == 0 ? 2 : 0;
            melody.NoteOn(Melody, t0 + Ticks(n.beat), Ticks(n.length * 0.94), n.key,
                          (shape >= 20 ? 108 : 106) + accent);
        }

    // Where the tune rests (the intro) or thins out (the outro), the harp and the pad
    // carry the music and come forward.
    const int lift = sec == Section::Intro ? 10 : sec == Section::Outro ? 6 : 0;

    // Pad: the chord held for the whole bar.
    for (int key : ch.pad) pad.NoteOn(Pad, t0, kBar, key, (sec == Section::Bridge ? 55 : 49) + lift);

    // Arpeggio: eighths over the chord an octave up; quarters in the bridge.
    static const int pattern[8] = {0, 1, 2, 3, 2, 1, 2, 3};
    const bool sparse = sec == Section::Bridge;
    for (int i = 0; i < 8; i += sparse ? 2 : 1)
        arp.NoteOn(Arp, t0 + Ticks(i * 0.5), Ticks(sparse ? 0.9 : 0.45), ch.pad[pattern[i]] + 12,
                   (i == 0 ? 42 : i % 2 == 0 ? 50 : 40) + lift);

    // Bass: an even line, a little under the tune on the downbeat.
    const int r = ch.bass;
    if (sec == Section::Intro || sec == Section::Bridge) {
        const int up = sec == Section::Intro ? 6 : 0;
        bass.NoteOn(Bass, t0, Ticks(1.8), r, 72 + up);
        bass.NoteOn(Bass, t0 + Ticks(2), Ticks(1.4), r + 7, 73 + up);
        bass.NoteOn(Bass, t0 + Ticks(3.5), Ticks(0.45), r + 12, 64 + up);
    } else {
        const Note line[] = {{0, 1.5, r}, {1.5, 0.5, r + 7}, {2, 1, r + 12}, {3, 0.5, r + 7}, {3.5, 0.5, r + 10}};
        for (const Note& n : line)
            bass.NoteOn(Bass, t0 + Ticks(n.beat), Ticks(n.length * 0.9), n.key, n.beat == 0 ? 72 : 75);
    }

    // Drums: soft hats and side stick in the quiet parts, a light groove otherwise.
    auto hit = [&](double beat, int key, int vel) { drums.NoteOn(Drums, t0 + Ticks(beat), Ticks(0.25), key, vel); };
    const bool quiet = sec == Section::Intro || sec == Section::Outro;
    if (sec == Section::Bridge) {
        for (int b = 0; b < 4; ++b) hit(b, 51, b == 0 ? 54 : 42);
        hit(0, 36, 48);
    } else {
        for (int i = 0; i < 8; ++i) hit(i * 0.5, 42, i % 2 == 0 ? 46 : 32);
        hit(0, 36, 48);
        hit(2, 36, 48);
        if (!quiet) hit(2.5, 36, 42);
        hit(1, quiet ? 37 : 38, quiet ? 50 : 58);
        hit(3, quiet ? 37 : 38, quiet ? 50 : 58);
    }
    if (shape == 4 || shape == 12 || shape == 20) hit(0, 49, 66);
    if (shape == kLoopBars - 1) {
        // A small tom fill turns back to the top; it ends before the loop point.
        const int toms[] = {50, 48, 47, 45};
        for (int i = 0; i < 4; ++i) hit(2 + i * 0.5, toms[i], 56 + i * 2);
    }
}

std::vector<uint8_t> ComposeSong() {
    Track conductor, melody, arp, pad, bass, drums;
    conductor.Text(3, "Zol");
    conductor.At(0, 0, {0xFF, 0x58, 0x04, 4, 2, 24, 8});  // 4/4
    conductor.At(0, 0, {0xFF, 0x59, 0x02, 0, 0});         // C major
    conductor.At(0, 0, {0xFF, 0x51, 0x03, static_cast<uint8_t>(kTempo >> 16),
                        static_cast<uint8_t>(kTempo >> 8), static_cast<uint8_t>(kTempo)});
    melody.Text(3, "Vibraphone");
    melody.SetUp(Melody, 11, kMelodyVolume, 70, 60);
    arp.Text(3, "Harp");
    arp.SetUp(Arp, 46, kArpVolume, 40, 70);
    pad.Text(3, "Warm pad");
    pad.SetUp(Pad, 89, kPadVolume, 64, 80);
    bass.Text(3, "Bass");
    bass.SetUp(Bass, 33, kBassVolume, 64, 30);
    drums.Text(3, "Drums");
    drums.SetUp(Drums, 0, kDrumVolume, 64, 40);

    for (int bar = 0; bar < kLoopBars; ++bar) PlayBar(melody, arp, pad, bass, drums, bar, bar);
    PlayBar(melody, arp, pad, bass, drums, kLoopBars, 0);

    // The ending: one held tonic chord after the repeated first bar.
    const uint32_t end = (kLoopBars + 1) * kBar;
    const uint32_t hold = Ticks(6);
    for (int key : kC.pad) pad.NoteOn(Pad, end, hold, key, 50);
    melody.NoteOn(Melody, end, hold, 72, 106);
    bass.NoteOn(Bass, end, hold, 36, 72);
    drums.NoteOn(Drums, end, Ticks(0.25), 36, 48);
    drums.NoteOn(Drums, end, Ticks(0.25), 49, 60);

    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 6,
                                static_cast<uint8_t>(kDivision >> 8), static_cast<uint8_t>(kDivision & 0xFF)};
    for (const Track* t : {&conductor, &melody, &arp, &pad, &bass, &drums}) {
        const std::vector<uint8_t> chunk = t->Encode();
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

}  // namespace

bool WriteSong(const std::string& midiDir, std::string& error) {
    return WriteBytes(midiDir + "/back.mid", ComposeSong(), error);
}

}  // namespace zol::assetgen

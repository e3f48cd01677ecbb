// The ten sound effects, synthesised from sines, noise and simple filters and
// written as 16-bit mono PCM wave files.
//
// Every effect gets a short attack and release so it starts and stops without a
// click, and is normalised to a peak of -3 dBFS so the game's volume settings are
// the only difference in loudness between them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "Assets.h"

namespace zol::assetgen {
namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Sound {
    int rate;
    std::vector<float> samples;
};

Sound Silence(int rate, double seconds) {
    return {rate, std::vector<float>(static_cast<size_t>(std::lround(rate * seconds)), 0.0f)};
}

// Adds f(t) for t in seconds over the whole sound.
void Add(Sound& s, const std::function<double(double)>& f) {
    for (size_t i = 0; i < s.samples.size(); ++i)
        s.samples[i] += static_cast<float>(f(static_cast<double>(i) / s.rate));
}

// An attack-then-exponential-decay envelope, zero before `start`.
double Pluck(double t, double start, double attack, double decay) {
    const double u = t - start;
    if (u < 0) return 0;
    return std::min(u / attack, 1.0) * std::exp(-u / decay);
}

// A note that rises over `attack`, holds and falls over `release` by its end.
double Gate(double t, double start, double length, double attack, double release) {
    const double u = t - start;
    if (u < 0 || u > length) return 0;
    return std::min({u / attack, (length - u) / release, 1.0});
}

// A sine oscillator whose frequency follows a function of time (phase accumulated).
class Sweep {
public:
    Sweep(int rate, std::function<double(double)> freq) : rate_(rate), freq_(std::move(freq)) {}
    // The next sample's phase, advancing one sample.
    double Next(double t) {
        const double p = phase_;
        phase_ += kTwoPi * freq_(t) / rate_;
        return p;
    }

private:
    int rate_;
    std::function<double(double)> freq_;
    double phase_ = 0;
};

// One-pole low-pass, cutoff in Hz.
class LowPass {
public:
    explicit LowPass(int rate) : rate_(rate) {}
    // Filters one sample with the given cutoff.
    double Step(double x, double cutoff) {
        const double a = 1.0 - std::exp(-kTwoPi * cutoff / rate_);
        y_ += a * (x - y_);
        return y_;
    }

private:
    int rate_;
    double y_ = 0;
};

// State-variable band-pass, centre in Hz, q the resonance.
class BandPass {
public:
    explicit BandPass(int rate) : rate_(rate) {}
    // Filters one sample with the given centre frequency.
    double Step(double x, double centre, double q) {
        const double f = 2.0 * std::sin(3.141592653589793 * std::min(centre, rate_ / 6.0) / rate_);
        low_ += f * band_;
        const double high = x - low_ - band_ / q;
        band_ += f * high;
        return band_;
    }

private:
    int rate_;
    double low_ = 0, band_ = 0;
};

// Uniform white noise in -1..1 from a fixed seed.
class White {
public:
    explicit White(uint64_t seed) : n_(seed) {}
    double Next() { return n_.Next() * 2.0 - 1.0; }

private:
    Noise n_;
};

// An additive tone of `harmonics` partials with amplitudes falling as 1/n^tilt.
double Harmonic(double phase, int harmonics, double tilt, bool oddOnly) {
    double v = 0;
    for (int n = 1; n <= harmonics; n += oddOnly ? 2 : 1) v += std::sin(phase * n) / std::pow(n, tilt);
    return v;
}

double MidiHz(double note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Peak to -3 dBFS, then a short fade at both ends so nothing clicks.
void Finish(Sound& s, double fadeIn, double fadeOut) {
    double mean = 0;
    for (float v : s.samples) mean += v;
    mean /= std::max<size_t>(s.samples.size(), 1);
    float peak = 0;
    for (float& v : s.samples) {
        v -= static_cast<float>(mean);
        peak = std::max(peak, std::fabs(v));
    }
    const double gain = peak > 0 ? std::pow(10.0, -3.0 / 20.0) / peak : 0;
    const size_t n = s.samples.size();
    const size_t in = static_cast<size_t>(fadeIn * s.rate), out = static_cast<size_t>(fadeOut * s.rate);
    for (size_t i = 0; i < n; ++i) {
        double g = gain;
        if (i < in) g *= 0.5 - 0.5 * std::cos(3.141592653589793 * i / in);
        if (n - 1 - i < out) g *= 0.5 - 0.5 * std::cos(3.141592653589793 * (n - 1 - i) / out);
        s.samples[i] = static_cast<float>(s.samples[i] * g);
    }
}

// ---- The effects ----------------------------------------------------------------------

Sound Pause() {
    // A soft rising chime of two bell tones.
    Sound s = Silence(22050, 0.75);
    const struct { double start, hz; } tones[] = {{0.0, MidiHz(83)}, {0.16, MidiHz(88)}};
    for (const auto& tone : tones)
        Add(s, [&](double t) {
            const double e = Pluck(t, tone.start, 0.012, 0.22);
            const double u = t - tone.start;
            return e * (std::sin(kTwoPi * tone.hz * u) + 0.25 * std::sin(kTwoPi * tone.hz * 2 * u) * std::exp(-u / 0.08) +
                        0.08 * std::sin(kTwoPi * tone.hz * 3.01 * u));
        });
    Finish(s, 0.002, 0.02);
    return s;
}

Sound GameOver() {
    // "You lost": four falling square-ish notes, the last one long with a sad vibrato.
    Sound s = Silence(44100, 1.6);
    const double notes[] = {67, 66, 65, 64};
    const double starts[] = {0.0, 0.3, 0.6, 0.9};
    const double lengths[] = {0.26, 0.26, 0.26, 0.68};
    for (int i = 0; i < 4; ++i) {
        const double start = starts[i], length = lengths[i], hz = MidiHz(notes[i] - 12);
        Sweep osc(s.rate, [=](double t) {
            const double vib = i == 3 ? 0.012 * std::sin(kTwoPi * 5.5 * (t - start)) : 0;
            return hz * (1 + vib);
        });
        LowPass lp(s.rate);
        for (size_t k = 0; k < s.samples.size(); ++k) {
            const double t = static_cast<double>(k) / s.rate;
            const double phase = osc.Next(t);
            const double g = Gate(t, start, length, 0.01, i == 3 ? 0.3 : 0.04);
            if (g <= 0) continue;
            s.samples[k] += static_cast<float>(g * lp.Step(Harmonic(phase, 9, 1.0, true), 2200));
        }
    }
    Finish(s, 0.002, 0.03);
    return s;
}

Sound GameOver2() {
    // A quick falling arpeggio, then a long slide down into the floor.
    Sound s = Silence(44100, 1.5);
    const double arp[] = {72, 67, 64, 60};
    for (int i = 0; i < 4; ++i) {
        const double start = i * 0.14, hz = MidiHz(arp[i]);
        Add(s, [=](double t) {
            const double u = t - start;
            return Gate(t, start, 0.13, 0.005, 0.03) * 0.8 *
                   (std::sin(kTwoPi * hz * u) + 0.3 * std::sin(kTwoPi * hz * 3 * u) * std::exp(-u / 0.05));
        });
    }
    const double slideStart = 0.58, slideLength = 0.9;
    Sweep osc(s.rate, [=](double t) {
        const double u = std::clamp((t - slideStart) / slideLength, 0.0, 1.0);
        return MidiHz(60 - 9 * u * u);
    });
    for (size_t k = 0; k < s.samples.size(); ++k) {
        const double t = static_cast<double>(k) / s.rate;
        const double phase = osc.Next(t);
        const double g = Gate(t, slideStart, slideLength, 0.02, 0.45);
        if (g <= 0) continue;
        const double tremolo = 0.8 + 0.2 * std::sin(kTwoPi * 7 * (t - slideStart));
        s.samples[k] += static_cast<float>(g * tremolo * 0.7 * Harmonic(phase, 8, 1.3, false));
    }
    Finish(s, 0.002, 0.03);
    return s;
}

Sound Bomb() {
    // A burst of noise that darkens as it dies, over a falling low thump.
    Sound s = Silence(22050, 1.3);
    White noise(1);
    LowPass lp(s.rate), lp2(s.rate);
    Sweep thump(s.rate, [](double t) { return 35 + 60 * std::exp(-t / 0.12); });
    for (size_t k = 0; k < s.samples.size(); ++k) {
        const double t = static_cast<double>(k) / s.rate;
        const double cutoff = 180 + 4200 * std::exp(-t / 0.15);
        const double rumble = lp2.Step(lp.Step(noise.Next(), cutoff), cutoff * 1.5);
        const double body = Pluck(t, 0, 0.003, 0.38) * rumble * 2.2;
        const double low = Pluck(t, 0, 0.004, 0.2) * std::sin(thump.Next(t)) * 0.9;
        s.samples[k] = static_cast<float>(body + low);
    }
    Finish(s, 0.001, 0.1);
    return s;
}

Sound Ammo() {
    // A dry trigger click, then a short falling buzz: nothing left to throw.
    Sound s = Silence(22050, 0.32);
    White noise(2);
    LowPass lp(s.rate), buzzFilter(s.rate);
    Sweep buzz(s.rate, [](double t) { return 125 - 30 * t; });
    for (size_t k = 0; k < s.samples.size(); ++k) {
        const double t = static_cast<double>(k) / s.rate;
        const double click = Pluck(t, 0, 0.0005, 0.004) * (noise.Next() - lp.Step(noise.Next(), 1500)) +
                             Pluck(t, 0, 0.0005, 0.008) * std::sin(kTwoPi * 2800 * t) * 0.6;
        const double phase = buzz.Next(t);
        // A band-limited square: odd partials only up to about 2.5 kHz, so it buzzes without hiss.
        const double square = Harmonic(phase, 19, 1.0, true);
        const double hum = Gate(t, 0.05, 0.26, 0.006, 0.05) * buzzFilter.Step(square, 1400) * 0.45;
        s.samples[k] = static_cast<float>(click + hum);
    }
    Finish(s, 0.0005, 0.01);
    return s;
}

Sound Hit() {
    // A short solid knock: a falling low tone with a dull transient.
    Sound s = Silence(22050, 0.17);
    White noise(3);
    LowPass lp(s.rate);
    Sweep tone(s.rate, [](double t) { return 115 + 110 * std::exp(-t / 0.025); });
    for (size_t k = 0; k < s.samples.size(); ++k) {
        const double t = static_cast<double>(k) / s.rate;
        const double body = Pluck(t, 0, 0.001, 0.045) * std::sin(tone.Next(t));
        const double knock = Pluck(t, 0, 0.0008, 0.008) * lp.Step(noise.Next(), 1800) * 2.5;
        const double wood = Pluck(t, 0, 0.001, 0.018) * std::sin(kTwoPi * 540 * t) * 0.35;
        s.samples[k] = static_cast<float>(body + knock + wood);
    }
    Finish(s, 0.0008, 0.02);
    return s;
}

Sound Ready() {
    // A bright crunchy burst: high noise in grains, with glassy pings.
    Sound s = Silence(44100, 0.36);
    White noise(4);
    Noise grains(5);
    LowPass lp(s.rate);
    double grainLevel = 1;
    size_t nextGrain = 0;
    for (size_t k = 0; k < s.samples.size(); ++k) {
        const double t = static_cast<double>(k) / s.rate;
        if (k >= nextGrain) {
            grainLevel = 0.3 + 0.7 * grains.Next();
            nextGrain = k + static_cast<size_t>(s.rate * (0.004 + 0.008 * grains.Next()));
        }
        const double x = noise.Next();
        const double high = x - lp.Step(x, 2500);
        s.samples[k] = static_cast<float>(Pluck(t, 0, 0.002, 0.08) * grainLevel * high);
    }
    Noise pings(6);
    for (int i = 0; i < 6; ++i) {
        const double start = pings.Range(0.0f, 0.15f), hz = pings.Range(2200.0f, 5200.0f);
        Add(s, [=](double t) { return Pluck(t, start, 0.001, 0.035) * 0.35 * std::sin(kTwoPi * hz * (t - start)); });
    }
    Finish(s, 0.001, 0.03);
    return s;
}

Sound Dip() {
    // A soft low tap: a rounded sine thud without a sharp edge.
    Sound s = Silence(22050, 0.13);
    LowPass lp(s.rate), lp2(s.rate);
    White noise(7);
    Sweep tone(s.rate, [](double t) { return 105 + 50 * std::exp(-t / 0.03); });
    for (size_t k = 0; k < s.samples.size(); ++k) {
        const double t = static_cast<double>(k) / s.rate;
        const double body = Pluck(t, 0, 0.004, 0.035) * std::sin(tone.Next(t));
        const double puff = Pluck(t, 0, 0.003, 0.012) * lp2.Step(lp.Step(noise.Next(), 450), 450) * 3.0;
        s.samples[k] = static_cast<float>(body + puff);
    }
    Finish(s, 0.003, 0.02);
    return s;
}

Sound Hui() {
    // Level up: a rising whoosh of swept noise with a rising tone inside it.
    Sound s = Silence(44100, 0.8);
    White noise(8);
    BandPass bp(s.rate);
    const double length = 0.8;
    Sweep tone(s.rate, [=](double t) { return 220 * std::pow(4.0, t / length); });
    for (size_t k = 0; k < s.samples.size(); ++k) {
        const double t = static_cast<double>(k) / s.rate;
        const double u = t / length;
        const double env = std::pow(std::sin(3.141592653589793 * std::min(u, 1.0)), 1.5);
        const double centre = 300 * std::pow(12.0, u);
        const double whoosh = bp.Step(noise.Next(), centre, 3.5);
        const double sweep = 0.25 * std::sin(tone.Next(t)) + 0.08 * std::sin(2 * tone.Next(t));
        s.samples[k] = static_cast<float>(env * (whoosh + sweep));
    }
    Finish(s, 0.005, 0.03);
    return s;
}

Sound Clack() {
    // A crisp wooden click: a few quickly damped modes over a tiny noise tick.
    Sound s = Silence(22050, 0.14);
    White noise(9);
    const struct { double hz, amp, decay; } modes[] = {
        {1180, 1.0, 0.032}, {2960, 0.45, 0.014}, {4340, 0.22, 0.008}, {640, 0.3, 0.02}};
    for (const auto& m : modes)
        Add(s, [&](double t) { return m.amp * Pluck(t, 0, 0.0006, m.decay) * std::sin(kTwoPi * m.hz * t); });
    Add(s, [&](double t) { return Pluck(t, 0, 0.0003, 0.0015) * noise.Next() * 0.8; });
    Finish(s, 0.0005, 0.02);
    return s;
}

// ---- Writing -------------------------------------------------------------------------

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    const std::string temp = path + ".part";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = "cannot create " + temp;
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    std::error_code ec;
    if (!written || !closed) {
        std::filesystem::remove(temp, ec);
        error = "cannot write " + temp;
        return false;
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        error = "cannot rename " + temp + ": " + ec.message();
        return false;
    }
    return true;
}

std::vector<uint8_t> EncodeWave(int rate, const std::vector<float>& samples) {
    std::vector<uint8_t> out;
    out.reserve(44 + samples.size() * 2);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate * 2));
    Put16(out, 2);
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (float v : samples) {
        const long q = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
        Put16(out, static_cast<uint32_t>(static_cast<int16_t>(q)) & 0xFFFF);
    }
    return out;
}

bool WriteSounds(const std::string& waveDir, std::string& error) {
    const struct {
        const char* name;
        Sound (*make)();
    } effects[] = {
        {"pause.wav", Pause}, {"gameover.wav", GameOver}, {"gameover2.wav", GameOver2},
        {"bomb.wav", Bomb},   {"ammo.wav", Ammo},         {"hit.wav", Hit},
        {"ready.wav", Ready}, {"dip.wav", Dip},           {"hui.wav", Hui},
        {"clack.wav", Clack},
    };
    for (const auto& e : effects) {
        const Sound s = e.make();
        if (!WriteBytes(waveDir + "/" + e.name, EncodeWave(s.rate, s.samples), error)) return false;
    }
    return true;
}

}  // namespace zol::assetgen

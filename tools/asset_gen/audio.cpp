// Sounds and music, synthesised: explosions as filtered noise bursts over a
// falling thump, the pick-up as a rising chime, screams as pitch-swept vowels
// through formant filters, and three looping pieces with melody, bass, pads
// and drums. Mono 16-bit WAV at 22050 Hz.

#include "assets.h"
#include "noise.h"

#include "engine/core/random.h"

#include <SFML/Audio/OutputSoundFile.hpp>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace gen {

namespace {

const unsigned kRate = 22050;
const double kTau = 6.283185307179586;

using Buffer = std::vector<float>;

float White() { return static_cast<float>(vo::Rand()) / vo::kRandMax * 2.0f - 1.0f; }

void Save(Buffer buffer, std::string const& path, float peak = 0.85f) {
    float top = 0.0f;
    for (float v : buffer) top = std::max(top, std::fabs(v));
    float const gain = top > 0.0f ? peak / top : 1.0f;
    std::vector<sf::Int16> samples(buffer.size());
    for (std::size_t i = 0; i < buffer.size(); ++i)
        samples[i] = static_cast<sf::Int16>(std::lround(std::max(-1.0f, std::min(1.0f, buffer[i] * gain)) * 32767.0f));
    sf::OutputSoundFile file;
    if (!file.openFromFile(path, kRate, 1)) throw std::runtime_error("cannot write " + path);
    file.write(samples.data(), samples.size());
}

// A two-pole resonator (band pass) at frequency f with bandwidth bw (Hz).
struct Resonator {
    Resonator(double f, double bw) {
        double const r = std::exp(-M_PI * bw / kRate);
        a1 = 2.0 * r * std::cos(kTau * f / kRate);
        a2 = -r * r;
        gain = 1.0 - r;
    }
    float step(float x) {
        double const y = gain * x + a1 * y1 + a2 * y2;
        y2 = y1;
        y1 = y;
        return static_cast<float>(y);
    }
    double a1, a2, gain, y1 = 0.0, y2 = 0.0;
};

Buffer Explosion(unsigned seed, double seconds, double thump_hz, double brightness) {
    vo::SeedRand(seed);
    Buffer out(static_cast<std::size_t>(seconds * kRate));
    float low = 0.0f, low2 = 0.0f;
    double phase = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        double const t = static_cast<double>(i) / kRate;
        double const attack = std::min(1.0, t / 0.004);
        double const env = attack * std::exp(-t * 3.2 / seconds * 2.0);
        // The filter closes as the blast dies away: bright crack, dull rumble.
        double const cutoff = 120.0 + brightness * std::exp(-t * 7.0);
        float const k = static_cast<float>(1.0 - std::exp(-kTau * cutoff / kRate));
        float const n = White();
        low += k * (n - low);
        low2 += k * (low - low2);
        double const f = thump_hz * (0.35 + 0.65 * std::exp(-t * 9.0));
        phase += kTau * f / kRate;
        double const thump = std::sin(phase) * std::exp(-t * 6.0);
        // Sparse crackle on top.
        double crackle = 0.0;
        if (vo::Rand() < 40 && t < seconds * 0.6) crackle = White() * 0.8 * std::exp(-t * 4.0);
        out[i] = static_cast<float>(env * (0.9 * low2 + 0.35 * n * std::exp(-t * 25.0)) + 0.8 * thump + crackle);
    }
    return out;
}

Buffer Pickup() {
    double const seconds = 0.55;
    Buffer out(static_cast<std::size_t>(seconds * kRate));
    double const notes[3] = {784.0, 988.0, 1319.0};  // G5 B5 E6
    for (int k = 0; k < 3; ++k) {
        double const start = k * 0.07;
        for (std::size_t i = static_cast<std::size_t>(start * kRate); i < out.size(); ++i) {
            double const t = static_cast<double>(i) / kRate - start;
            double const env = std::min(1.0, t / 0.005) * std::exp(-t * 9.0);
            double const w = kTau * notes[k] * t;
            out[i] += static_cast<float>(env * (std::sin(w) + 0.4 * std::sin(2.0 * w) + 0.15 * std::sin(3.0 * w)) * 0.5);
        }
    }
    return out;
}

// A vowel: a pulse train at f0 shaped by three formants; the pitch rises,
// then falls, with a shaking vibrato, and the vowel opens from "o" to "a".
Buffer Scream(unsigned seed, double f0, double seconds, double rise, int vowel) {
    vo::SeedRand(seed);
    static const double kFormants[3][2][3] = {
        {{500, 900, 2400}, {800, 1200, 2600}},   // "o" -> "a"
        {{400, 2000, 2600}, {700, 1700, 2500}},  // "e" -> "ae"
        {{350, 800, 2300}, {650, 1100, 2500}},   // "u" -> "ah"
    };
    Buffer out(static_cast<std::size_t>(seconds * kRate));
    double phase = 0.0;
    Resonator r1(1, 1), r2(1, 1), r3(1, 1);
    for (std::size_t i = 0; i < out.size(); ++i) {
        double const t = static_cast<double>(i) / kRate;
        double const u = t / seconds;
        double const sweep = 1.0 + rise * std::sin(M_PI * std::min(1.0, u * 1.4)) - 0.25 * rise * u;
        double const vibrato = 1.0 + 0.03 * std::sin(kTau * 7.0 * t);
        double const f = f0 * sweep * vibrato;
        phase += f / kRate;
        if (phase >= 1.0) phase -= 1.0;
        // A sawtooth with a touch of breath noise.
        double const source = (2.0 * phase - 1.0) + 0.15 * White();
        if (i % 64 == 0) {
            double const open = std::min(1.0, u * 2.5);
            double const* a = kFormants[vowel][0];
            double const* b = kFormants[vowel][1];
            Resonator n1(a[0] + (b[0] - a[0]) * open, 90), n2(a[1] + (b[1] - a[1]) * open, 110),
                n3(a[2] + (b[2] - a[2]) * open, 150);
            n1.y1 = r1.y1, n1.y2 = r1.y2, n2.y1 = r2.y1, n2.y2 = r2.y2, n3.y1 = r3.y1, n3.y2 = r3.y2;
            r1 = n1, r2 = n2, r3 = n3;
        }
        double const env = std::min(1.0, t / 0.03) * std::min(1.0, (seconds - t) / 0.12);
        double const v = r1.step(static_cast<float>(source)) + 0.7 * r2.step(static_cast<float>(source)) +
                         0.35 * r3.step(static_cast<float>(source));
        out[i] = static_cast<float>(env * v);
    }
    return out;
}

// ---------------------------------------------------------------- music

struct Song {
    double bpm;
    std::vector<std::vector<int>> chords;  // per bar, MIDI notes of the chord (root first)
    int bars;
    double drive;  // 0 calm .. 1 busy drums
    unsigned seed;
};

double Midi(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Adds a note into a looping buffer: samples past the end wrap to the start,
// so the loop joins without a click.
void Note(Buffer& out, double start, double length, double freq, double volume, int instrument) {
    std::size_t const n = out.size();
    std::size_t const first = static_cast<std::size_t>(start * kRate);
    double const tail = instrument == 2 ? 0.6 : 0.25;
    std::size_t const count = static_cast<std::size_t>((length + tail) * kRate);
    for (std::size_t k = 0; k < count; ++k) {
        double const t = static_cast<double>(k) / kRate;
        double const release = t < length ? 1.0 : std::exp(-(t - length) * 12.0);
        double v = 0.0;
        double const w = kTau * freq * t;
        switch (instrument) {
            case 0:  // lead: a soft square-ish pluck with vibrato
                v = (std::sin(w + 0.2 * std::sin(kTau * 5.5 * t)) + 0.3 * std::sin(3.0 * w) + 0.12 * std::sin(5.0 * w)) *
                    std::min(1.0, t / 0.01) * (0.55 + 0.45 * std::exp(-t * 6.0));
                break;
            case 1:  // bass: round with a little growl
                v = (std::sin(w) + 0.35 * std::sin(2.0 * w) + 0.1 * std::sin(3.0 * w)) * std::min(1.0, t / 0.008) *
                    std::exp(-t * 2.0);
                break;
            default:  // pad: two detuned voices, slow attack
                v = (std::sin(w) + std::sin(w * 1.006) + 0.3 * std::sin(2.0 * w)) * std::min(1.0, t / 0.25);
                break;
        }
        out[(first + k) % n] += static_cast<float>(v * release * volume);
    }
}

void Drum(Buffer& out, double start, int kind, double volume) {
    std::size_t const n = out.size();
    std::size_t const first = static_cast<std::size_t>(start * kRate);
    double const length = kind == 0 ? 0.35 : (kind == 1 ? 0.22 : 0.06);
    double phase = 0.0, last = 0.0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(length * kRate); ++k) {
        double const t = static_cast<double>(k) / kRate;
        double v = 0.0;
        if (kind == 0) {  // kick
            phase += kTau * (45.0 + 110.0 * std::exp(-t * 30.0)) / kRate;
            v = std::sin(phase) * std::exp(-t * 9.0);
        } else if (kind == 1) {  // snare
            v = 0.7 * White() * std::exp(-t * 18.0) + 0.4 * std::sin(kTau * 190.0 * t) * std::exp(-t * 25.0);
        } else {  // hat: differentiated noise
            double const x = White();
            v = (x - last) * 0.5 * std::exp(-t * 60.0);
            last = x;
        }
        out[(first + k) % n] += static_cast<float>(v * volume);
    }
}

Buffer Music(Song const& song) {
    double const beat = 60.0 / song.bpm;
    Buffer out(static_cast<std::size_t>(song.bars * 4 * beat * kRate));
    vo::SeedRand(song.seed);
    // The scale of the piece: the notes of all its chords.
    for (int bar = 0; bar < song.bars; ++bar) {
        std::vector<int> const& chord = song.chords[static_cast<std::size_t>(bar) % song.chords.size()];
        double const t0 = bar * 4 * beat;
        // Pad: the chord held through the bar.
        for (int note : chord) Note(out, t0, 4 * beat - 0.05, Midi(note), 0.05, 2);
        // Bass: root on the beats, the fifth on the off-beats of busy songs.
        for (int b = 0; b < 4; ++b) {
            Note(out, t0 + b * beat, beat * 0.8, Midi(chord[0] - 24), 0.32, 1);
            if (song.drive > 0.5 && b % 2 == 1) Note(out, t0 + (b + 0.5) * beat, beat * 0.4, Midi(chord[0] - 17), 0.22, 1);
        }
        // Melody: eighth notes from the chord and its neighbours, with rests,
        // never leaping more than a fifth.
        int previous = chord[0] + 12;
        for (int e = 0; e < 8; ++e) {
            int const r = vo::Rand();
            if (r % 5 == 0 && e != 0) continue;
            int note = chord[static_cast<std::size_t>(r / 5) % chord.size()] + 12;
            if (r % 7 == 0) note += 2;  // a passing tone
            if (std::abs(note - previous) > 7) note += note > previous ? -12 : 12;
            previous = note;
            double const len = (r % 3 == 0 ? 2 : 1) * beat * 0.5;
            Note(out, t0 + e * beat * 0.5, len * 0.9, Midi(note), 0.2, 0);
        }
        // Drums.
        for (int b = 0; b < 4; ++b) {
            double const t = t0 + b * beat;
            if (b % 2 == 0) Drum(out, t, 0, 0.75);
            if (song.drive > 0.3 && b % 2 == 1) Drum(out, t, 1, 0.45);
            for (int h = 0; h < (song.drive > 0.6 ? 2 : 1); ++h) Drum(out, t + h * beat * 0.5, 2, 0.25 + 0.1 * song.drive);
            if (song.drive > 0.6 && b == 3) Drum(out, t + beat * 0.5, 0, 0.5);
        }
    }
    return out;
}

}  // namespace

std::vector<std::string> WriteSounds(std::string const& dir) {
    std::vector<std::string> files;
    auto save = [&](Buffer const& b, std::string const& name) {
        Save(b, OutputPath(dir, "sounds/" + name));
        files.push_back("sounds/" + name);
    };
    save(Explosion(701, 1.4, 70.0, 2600.0), "explosion.wav");
    save(Explosion(703, 0.8, 110.0, 3600.0), "explosion_small.wav");
    save(Explosion(707, 1.9, 55.0, 1800.0), "explosion_big.wav");
    save(Pickup(), "item-pickup.wav");
    // Three screams per character; the characters' pitch keys shift them
    // further when they play.
    for (Character const& ch : Characters()) {
        bool const high = ch.feature == 1 || ch.feature == 3;
        double const base = high ? 330.0 : 190.0;
        for (int k = 0; k < 3; ++k) {
            unsigned const seed = 800 + static_cast<unsigned>(ch.feature) * 10 + static_cast<unsigned>(k);
            save(Scream(seed, base * (1.0 + 0.08 * k), 0.5 + 0.1 * k, 0.45 + 0.15 * k, k),
                 "screams/" + ch.id + "_" + std::to_string(k + 1) + ".wav");
        }
    }
    return files;
}

std::vector<std::string> WriteMusic(std::string const& dir) {
    std::vector<std::string> files;
    auto save = [&](Song const& song, std::string const& name) {
        Save(Music(song), OutputPath(dir, "music/" + name), 0.8f);
        files.push_back("music/" + name);
    };
    // Am F C G: the menu, steady.
    save(Song{112, {{69, 72, 76}, {65, 69, 72}, {72, 76, 79}, {67, 71, 74}}, 8, 0.4, 901}, "main_menu.wav");
    // Dm Bb C A: the match, driving.
    save(Song{132, {{62, 65, 69}, {58, 62, 65}, {60, 64, 67}, {57, 61, 64}}, 8, 0.9, 903}, "match.wav");
    // C G Am F: the results, bright and calm.
    save(Song{104, {{60, 64, 67}, {67, 71, 74}, {69, 72, 76}, {65, 69, 72}}, 8, 0.2, 907}, "results.wav");
    return files;
}

}  // namespace gen

#pragma once

// Hearing what OpenAL played: its wave driver writes the mixed output to a
// WAV file instead of a sound device.

#include <cstddef>
#include <string>
#include <vector>

namespace vo_test {

// Points OpenAL at its wave driver writing to `wav_path` (writes the
// configuration file `conf_path` and sets ALSOFT_CONF, clearing
// ALSOFT_DRIVERS). Must run before the process first uses audio; the file
// is complete once every sound, buffer and music object is gone.
bool UseOpenALWaveDriver(std::string const& wav_path, std::string const& conf_path);

// The samples of a WAV file as the wave driver writes it (16-bit integer or
// 32-bit float, any channel count), on a -1..1 scale. A file without a
// readable format gives no samples.
struct WavData {
    unsigned sample_rate = 0;
    unsigned channels = 0;
    std::vector<double> samples;  // interleaved
};
WavData ReadWav(std::string const& path);

struct WavLevels {
    std::size_t frames = 0;
    double peak = 0.0;
    double rms = 0.0;
};
// Peak and RMS over all samples.
WavLevels Levels(WavData const& wav);
WavLevels ReadWavLevels(std::string const& path);
// RMS of consecutive blocks of `block_seconds`.
std::vector<double> BlockLevels(WavData const& wav, double block_seconds);

}  // namespace vo_test

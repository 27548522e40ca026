#pragma once

// Files that tests write for themselves: a temporary folder, PNG images, WAV
// sounds and raw bytes.

#include "support/engine/test_window.h"

#include <functional>
#include <string>
#include <vector>

namespace vo_test {

// A new empty folder below the system's temporary folder, removed with
// everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(TempFolder const&) = delete;
    TempFolder& operator=(TempFolder const&) = delete;

    std::string const& path() const { return path_; }
    // path() + "/" + name
    std::string file(std::string const& name) const;

private:
    std::string path_;
};

// Writes a PNG of width x height whose pixel (x, y), origin top left, is
// colour(x, y).
bool WritePng(std::string const& path, unsigned width, unsigned height,
              std::function<Rgba(unsigned x, unsigned y)> const& colour);

// Writes 16-bit PCM WAV samples (interleaved when channels > 1).
bool WriteWav(std::string const& path, std::vector<short> const& samples, unsigned sample_rate,
              unsigned channels);
// The encoded bytes of such a WAV file, for building containers around it.
std::vector<unsigned char> WavBytes(std::vector<short> const& samples, unsigned sample_rate, unsigned channels);
// A mono sine tone: `seconds` long at `amplitude` (0 to 1 of full scale).
std::vector<short> SineSamples(double seconds, double frequency = 440.0, double amplitude = 0.5,
                               unsigned sample_rate = 44100);

bool WriteBytes(std::string const& path, std::vector<unsigned char> const& bytes);

}  // namespace vo_test

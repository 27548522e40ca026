#pragma once

// Smooth value noise on an integer lattice whose values come from the
// engine's random sequence, so that a seed always gives the same pictures
// and sounds. With a period p the noise repeats every p lattice cells, which
// makes textures tile.

#include <vector>

namespace gen {

class Noise {
public:
    explicit Noise(unsigned seed);

    // 0..1 at lattice point (x, y), wrapped by period (> 0).
    float lattice(int x, int y, int period) const;
    // Smooth interpolation of the lattice, 0..1.
    float value(float x, float y, int period) const;
    // Sum of octaves: each doubles the frequency (and the period) and
    // scales the amplitude by gain. Normalised to 0..1.
    float fbm(float x, float y, int period, int octaves, float gain = 0.5f) const;
    // Distance from (x, y) to the nearest feature point of a jittered grid of
    // period cells (cell noise), in cells.
    float cells(float x, float y, int period) const;
    // Second nearest minus nearest feature distance: 0 along the borders
    // between cells, which draws cracks.
    float cell_edges(float x, float y, int period) const;

    // 1-D helpers for sounds: value noise along t, 0..1.
    float value1(float t) const { return value(t, 0.5f, 1 << 20); }

private:
    std::vector<float> values_;
    std::vector<int> perm_;
};

// A deterministic uniform number in [lo, hi) from the engine's sequence.
float Uniform(float lo, float hi);

}  // namespace gen

#include "noise.h"

#include "engine/core/random.h"

#include <algorithm>
#include <cmath>

namespace gen {

namespace {
const int kTable = 256;
float Fade(float t) { return t * t * (3.0f - 2.0f * t); }
int Wrap(int v, int period) {
    int const m = v % period;
    return m < 0 ? m + period : m;
}
}  // namespace

float Uniform(float lo, float hi) { return lo + (hi - lo) * (static_cast<float>(vo::Rand()) / (vo::kRandMax + 1.0f)); }

Noise::Noise(unsigned seed) : values_(kTable), perm_(kTable) {
    vo::SeedRand(seed);
    for (int i = 0; i < kTable; ++i) {
        values_[i] = static_cast<float>(vo::Rand()) / vo::kRandMax;
        perm_[i] = i;
    }
    for (int i = kTable - 1; i > 0; --i) std::swap(perm_[i], perm_[vo::Rand() % (i + 1)]);
}

float Noise::lattice(int x, int y, int period) const {
    int const wx = Wrap(x, period);
    int const wy = Wrap(y, period);
    // Two rounds of the permutation, with the high bits folded in, so that
    // periods above the table size still repeat only at the period.
    int const h = perm_[(perm_[wx & 255] + (wx >> 8) * 31 + wy) & 255];
    return values_[(h + (wy >> 8) * 17) & 255];
}

float Noise::value(float x, float y, int period) const {
    float const fx = std::floor(x), fy = std::floor(y);
    int const ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float const tx = Fade(x - fx), ty = Fade(y - fy);
    float const a = lattice(ix, iy, period), b = lattice(ix + 1, iy, period);
    float const c = lattice(ix, iy + 1, period), d = lattice(ix + 1, iy + 1, period);
    float const top = a + (b - a) * tx;
    float const bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float Noise::fbm(float x, float y, int period, int octaves, float gain) const {
    float sum = 0.0f, norm = 0.0f, amp = 1.0f, freq = 1.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * value(x * freq + o * 17.0f, y * freq + o * 31.0f, period << o);
        norm += amp;
        amp *= gain;
        freq *= 2.0f;
    }
    return sum / norm;
}

namespace {
// The two smallest distances to the jittered feature points around (x, y).
void Nearest(Noise const& n, float x, float y, int period, float& first, float& second) {
    int const ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    first = second = 4.0f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int const cx = ix + dx, cy = iy + dy;
            float const px = cx + 0.15f + 0.7f * n.lattice(cx, cy, period);
            float const py = cy + 0.15f + 0.7f * n.lattice(cx + 101, cy + 57, period);
            float const d = std::hypot(x - px, y - py);
            if (d < first) {
                second = first;
                first = d;
            } else if (d < second) {
                second = d;
            }
        }
    }
}
}  // namespace

float Noise::cells(float x, float y, int period) const {
    float first, second;
    Nearest(*this, x, y, period, first, second);
    return first;
}

float Noise::cell_edges(float x, float y, int period) const {
    float first, second;
    Nearest(*this, x, y, period, first, second);
    return second - first;
}

}  // namespace gen

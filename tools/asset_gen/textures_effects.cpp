// The charge ring, the explosion circles and their dissolve masks. A mask is
// grey: the dissolve shader shows the picture where the mask lies within the
// band that its threshold and interval move through.

#include "assets.h"
#include "canvas.h"
#include "noise.h"
#include "textures_common.h"

#include <cmath>

namespace gen {

namespace {

const float kPi = 3.14159265f;

Canvas Ring() {
    const unsigned size = 256;
    Canvas c(size, size);
    float const mid = size * 0.5f;
    c.fill([&](float x, float y) {
        float const r = std::hypot(x - mid, y - mid) / mid;
        float const band = std::fabs(r - 0.78f);
        float const core = 1.0f - Smooth(0.0f, 0.06f, band);
        float const glow = 1.0f - Smooth(0.0f, 0.2f, band);
        Rgba out = Mix(Hex(0xff5a10, 0.0f), Hex(0xffa020), glow);
        out.a = glow * 0.75f;
        Rgba const hot = Hex(0xfff4c0);
        out = Mix(out, hot, core);
        out.a = std::max(out.a, core);
        return out;
    });
    return c;
}

// Grows clockwise from the top as the threshold falls: the mask is 1 at the
// start angle and falls to 0 once round.
Canvas RingMask() {
    const unsigned size = 256;
    Canvas c(size, size);
    float const mid = size * 0.5f;
    c.fill([&](float x, float y) {
        float angle = std::atan2(x - mid, mid - y);  // 0 at the top, clockwise
        if (angle < 0.0f) angle += 2.0f * kPi;
        float const v = 1.0f - angle / (2.0f * kPi);
        return Rgba{v, v, v, 1.0f};
    });
    return c;
}

Canvas ExplosionColour(unsigned seed, Rgba centre, Rgba inner, Rgba outer, Rgba rim) {
    const unsigned size = 256;
    Noise n(seed);
    Canvas c(size, size);
    float const mid = size * 0.5f;
    c.fill([&](float x, float y) {
        float const r = std::hypot(x - mid, y - mid) / mid;
        float const angle = std::atan2(y - mid, x - mid);
        float const flame = n.fbm(std::cos(angle) * 2.0f + 4.0f, std::sin(angle) * 2.0f + 4.0f + r * 3.0f, 64, 4);
        float const t = Clamp01(r + 0.25f * (flame - 0.5f));
        Rgba out;
        if (t < 0.25f)
            out = Mix(centre, inner, t / 0.25f);
        else if (t < 0.6f)
            out = Mix(inner, outer, (t - 0.25f) / 0.35f);
        else
            out = Mix(outer, rim, (t - 0.6f) / 0.4f);
        out.a = 1.0f - Smooth(0.78f, 1.0f, t);
        return out;
    });
    return c;
}

// 1 at the centre falling to 0 at the rim, roughened: the band of the
// dissolve runs outward as a ragged shock ring.
Canvas ExplosionMask(unsigned seed) {
    const unsigned size = 256;
    Noise n(seed);
    Canvas c(size, size);
    float const mid = size * 0.5f;
    c.fill([&](float x, float y) {
        float const r = std::hypot(x - mid, y - mid) / mid;
        float const rough = n.fbm(x / size * 8.0f, y / size * 8.0f, 8, 4);
        float const v = Clamp01(1.0f - r + 0.18f * (rough - 0.5f));
        return Rgba{v, v, v, 1.0f};
    });
    return c;
}

}  // namespace

std::vector<std::string> WriteEffectTextures(std::string const& dir) {
    std::vector<std::string> files;
    auto save = [&](Canvas const& c, std::string const& name) { SaveTexture(c, dir, name, files); };
    save(Ring(), "ring_of_power.png");
    save(RingMask(), "ring_of_power_dissolve.png");
    save(ExplosionColour(101, Hex(0xffffe0), Hex(0xffd040), Hex(0xff6010), Hex(0x501008)),
         "explosion_circle_col.png");
    save(ExplosionColour(103, Hex(0xffffff), Hex(0xc0ffd0), Hex(0x40e080), Hex(0x0a4028)), "explosion_heal_col.png");
    save(ExplosionMask(107), "explosion_circle_dissolve.png");
    return files;
}

}  // namespace gen

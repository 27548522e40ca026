// Tiling textures of the level, the lava, the fluids and the backdrops.

#include "assets.h"
#include "canvas.h"
#include "noise.h"
#include "textures_common.h"

#include <cmath>
#include <vector>

namespace gen {

namespace {

// A height field lit from the upper left: the base colour darkened in the
// hollows and on the slopes turned away from the light. The field wraps, so
// the picture tiles.
Canvas LitSurface(unsigned size, std::function<float(float, float)> const& height,
                  std::function<Rgba(float h, float x, float y)> const& colour, float relief) {
    std::vector<float> h(size * size);
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x) h[y * size + x] = height(x + 0.5f, y + 0.5f);
    auto at = [&](int x, int y) {
        x = (x + static_cast<int>(size)) % static_cast<int>(size);
        y = (y + static_cast<int>(size)) % static_cast<int>(size);
        return h[y * size + x];
    };
    Canvas c(size, size);
    float const lx = -0.55f, ly = -0.55f, lz = 0.63f;
    for (unsigned y = 0; y < size; ++y) {
        for (unsigned x = 0; x < size; ++x) {
            float const dx = (at(x + 1, y) - at(x - 1, y)) * relief;
            float const dy = (at(x, y + 1) - at(x, y - 1)) * relief;
            float const len = std::sqrt(dx * dx + dy * dy + 1.0f);
            float const lambert = Clamp01((-dx * lx - dy * ly + lz) / len);
            float const v = at(x, y);
            Rgba const base = colour(v, x + 0.5f, y + 0.5f);
            c.at(x, y) = Scale(base, 0.35f + 0.85f * lambert);
        }
    }
    return c;
}

Canvas Rock(unsigned seed, Rgba dark, Rgba light, Rgba speck) {
    const unsigned size = 256;
    Noise n(seed);
    Noise detail(seed + 7);
    return LitSurface(
        size,
        [&](float x, float y) {
            float const u = x / size * 4.0f, v = y / size * 4.0f;
            float const ridge = 1.0f - std::fabs(2.0f * n.fbm(u, v, 4, 5) - 1.0f);
            float const pebbles = 1.0f - Clamp01(n.cells(u * 2.0f, v * 2.0f, 8) * 1.4f);
            return 0.55f * ridge + 0.3f * pebbles + 0.15f * detail.fbm(u * 4.0f, v * 4.0f, 16, 3);
        },
        [&](float h, float x, float y) {
            float const s = detail.value(x / size * 64.0f, y / size * 64.0f, 64);
            Rgba c = Mix(dark, light, Clamp01(h * 1.2f - 0.1f));
            if (s > 0.86f) c = Mix(c, speck, (s - 0.86f) * 6.0f);
            return c;
        },
        9.0f);
}

// Soft black-and-white blobs: which of the two diffuse textures shows where.
Canvas Blend(unsigned seed, float cells, int octaves) {
    const unsigned size = 256;
    Noise n(seed);
    Canvas c(size, size);
    c.fill([&](float x, float y) {
        float const v = Smooth(0.38f, 0.62f, n.fbm(x / size * cells, y / size * cells, static_cast<int>(cells), octaves));
        return Rgba{v, v, v, 1.0f};
    });
    return c;
}

Canvas Lava(unsigned seed) {
    const unsigned size = 256;
    Noise n(seed);
    Canvas c(size, size);
    c.fill([&](float x, float y) {
        float const u = x / size * 6.0f, v = y / size * 6.0f;
        float const cell = n.cells(u, v, 6);
        float const swirl = n.fbm(u * (2.0f / 3.0f) + 3.0f, v * (2.0f / 3.0f), 4, 4);
        float const heat = Clamp01(0.25f + 0.9f * cell + 0.35f * (swirl - 0.5f));
        Rgba const crust = Hex(0x3a0a04);
        Rgba const red = Hex(0xc8200a);
        Rgba const orange = Hex(0xff7a12);
        Rgba const yellow = Hex(0xffe46a);
        if (heat < 0.35f) return Mix(crust, red, heat / 0.35f);
        if (heat < 0.7f) return Mix(red, orange, (heat - 0.35f) / 0.35f);
        return Mix(orange, yellow, (heat - 0.7f) / 0.3f);
    });
    return c;
}

Canvas LavaCrust(unsigned seed) {
    const unsigned size = 256;
    Noise n(seed);
    return LitSurface(
        size,
        [&](float x, float y) { return n.fbm(x / size * 5.0f, y / size * 5.0f, 5, 5); },
        [&](float h, float x, float y) {
            float const crack = 1.0f - Smooth(0.02f, 0.1f, n.cell_edges(x / size * 6.0f, y / size * 6.0f, 6));
            Rgba const rock = Mix(Hex(0x1c1412), Hex(0x4a3026), h);
            return Mix(rock, Hex(0xff6a10), crack * 0.9f);
        },
        6.0f);
}

// Streaks along x: the direction the lava shader lets the flow run.
Canvas LavaFlow(unsigned seed) {
    const unsigned size = 256;
    Noise n(seed);
    Canvas c(size, size);
    c.fill([&](float x, float y) {
        float const u = x / size, v = y / size;
        float const warp = n.fbm(u * 3.0f, v * 3.0f, 3, 3);
        float const streak = 0.5f + 0.5f * std::sin((v * 12.0f + warp * 2.5f) * 6.2831853f);
        float const grain = n.fbm(u * 2.0f, v * 16.0f, 2, 3);
        float const t = Clamp01(0.6f * streak + 0.5f * grain - 0.1f);
        return Mix(Hex(0x5a1004), Hex(0xffb030), t);
    });
    return c;
}

Canvas Modulation(unsigned seed) {
    const unsigned size = 256;
    Noise n(seed);
    Canvas c(size, size);
    c.fill([&](float x, float y) {
        float const v = 0.35f + 0.65f * n.fbm(x / size * 8.0f, y / size * 8.0f, 8, 4);
        return Rgba{v, v, v, 1.0f};
    });
    return c;
}

// A cave backdrop: rock walls around a dim, warm depth. It tiles both ways.
Canvas CaveBackdrop(unsigned seed, unsigned w, unsigned h, bool near) {
    Noise n(seed);
    Canvas c(w, h);
    float const period = near ? 4.0f : 6.0f;
    c.fill([&](float x, float y) {
        float const u = x / w * period, v = y / h * period;
        float const wall = n.fbm(u, v, static_cast<int>(period), 5);
        float const glow = 0.5f + 0.5f * std::sin(y / h * 6.2831853f);
        if (near) {
            // Rock pillars as dark silhouettes, rough at their sides; open
            // cave between them.
            float const column = n.fbm(u, 0.5f, static_cast<int>(period), 4);
            float const solid = Smooth(0.455f, 0.465f, 0.88f * column + 0.12f * wall);
            Rgba const rock = Mix(Hex(0x140f10), Hex(0x3a2c28), wall);
            return Rgba{rock.r, rock.g, rock.b, solid * 0.95f};
        }
        Rgba const deep = Mix(Hex(0x0c0a12), Hex(0x2c1a1a), glow * 0.6f);
        Rgba const rock = Mix(Hex(0x201820), Hex(0x4a3a36), wall);
        Rgba out = Mix(deep, rock, Smooth(0.45f, 0.7f, wall));
        // Faint lava light from below the horizon.
        out = Mix(out, Hex(0x802008), 0.25f * Smooth(0.2f, 1.0f, glow) * (1.0f - wall));
        return out;
    });
    return c;
}

}  // namespace

std::vector<std::string> WriteLevelTextures(std::string const& dir) {
    std::vector<std::string> files;
    auto save = [&](Canvas const& c, std::string const& name) { SaveTexture(c, dir, name, files); };
    save(Rock(11, Hex(0x2a2220), Hex(0x8a7460), Hex(0xc0b090)), "level/rock.png");
    save(Rock(23, Hex(0x1a1c24), Hex(0x5a6070), Hex(0x70c0d0)), "level/rock_dark.png");
    save(Blend(31, 4.0f, 4), "level/blend_large.png");
    save(Blend(37, 16.0f, 3), "level/blend_small.png");
    save(Lava(41), "level/lava.png");
    save(LavaCrust(43), "level/lava_crust.png");
    save(LavaFlow(47), "level/lava_flow.png");
    // The readers' default names, for data that leaves a key out.
    save(Blend(53, 8.0f, 4), "bw_test.png");
    save(Rock(59, Hex(0x302820), Hex(0x907860), Hex(0xb0a080)), "tmp_lvl_tex.png");
    save(Modulation(61), "basic_modulation.png");
    save(CaveBackdrop(67, 1024, 512, false), "parallax/cave_far.png");
    save(CaveBackdrop(71, 1024, 512, true), "parallax/cave_near.png");
    return files;
}

}  // namespace gen

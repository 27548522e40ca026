// Menu pictures: backgrounds, button faces, team cards, character slots and
// the panels of the main menu.

#include "assets.h"
#include "atlas_layout.h"
#include "canvas.h"
#include "noise.h"
#include "textures_common.h"

#include "engine/core/random.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace gen {

void Bevel(Canvas& c, float left, float top, float right, float bottom, float radius, float bevel, Rgba upper,
           Rgba lower, Noise const* grain) {
    float const cx = (left + right) * 0.5f, cy = (top + bottom) * 0.5f;
    float const hw = (right - left) * 0.5f, hh = (bottom - top) * 0.5f;
    auto sd = [=](float x, float y) { return SdBox(x, y, cx, cy, hw - 0.5f, hh - 0.5f, radius); };
    c.paint(sd,
            [&](float x, float y) {
                float const t = Clamp01((y - top) / (bottom - top));
                Rgba out = Mix(upper, lower, t);
                if (grain) out = Scale(out, 0.9f + 0.2f * grain->fbm(x / 24.0f, y / 24.0f, 1 << 10, 3));
                float const d = sd(x, y);
                if (d > -bevel) {
                    // Outward normal of the edge: lit from the upper left.
                    float const gx = sd(x + 1.0f, y) - sd(x - 1.0f, y);
                    float const gy = sd(x, y + 1.0f) - sd(x, y - 1.0f);
                    float const len = std::hypot(gx, gy);
                    float const lit = len > 0.0f ? (-gx * 0.6f - gy * 0.8f) / len : 0.0f;
                    float const k = 1.0f - Clamp01(-d / bevel);
                    out = lit > 0.0f ? Mix(out, Rgba{1, 1, 1, out.a}, 0.45f * lit * k)
                                     : Mix(out, Rgba{0, 0, 0, out.a}, -0.55f * lit * k);
                }
                return out;
            },
            left, top, right, bottom);
}

namespace {

void BevelRegion(Canvas& c, Region const& r, float radius, float bevel, Rgba upper, Rgba lower, Noise const* grain) {
    Bevel(c, static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
          static_cast<float>(r.bottom), radius, bevel, upper, lower, grain);
}

Canvas Buttons() {
    Atlas const& atlas = FindAtlas("main_menu/button.png");
    Canvas c(atlas.width, atlas.height);
    Noise grain(501);
    BevelRegion(c, atlas.region("default"), 14, 6, Hex(0xf2dca8), Hex(0xc89a58), &grain);
    BevelRegion(c, atlas.region("pressed"), 14, 6, Hex(0xb8864a), Hex(0xe8b060), &grain);
    BevelRegion(c, atlas.region("disabled"), 14, 6, Hex(0xa8a8a8, 0.85f), Hex(0x808080, 0.85f), &grain);
    return c;
}

void Person(Canvas& c, float cx, float cy, float s, Rgba colour) {
    c.paint([&](float x, float y) { return SdCircle(x, y, cx, cy - 0.35f * s, 0.28f * s); }, colour, cx - s, cy - s,
            cx + s, cy + s);
    c.paint([&](float x, float y) {
                return std::max(SdEllipse(x, y, cx, cy + 0.5f * s, 0.55f * s, 0.5f * s), y - (cy + 0.55f * s));
            },
            colour, cx - s, cy - s, cx + s, cy + s);
}

void Chip(Canvas& c, float cx, float cy, float s, Rgba colour) {
    for (int i = -2; i <= 2; ++i) {
        float const o = i * 0.2f * s;
        c.paint([&](float x, float y) { return SdSegment(x, y, cx + o, cy - 0.62f * s, cx + o, cy + 0.62f * s, 0.05f * s); },
                colour, cx - s, cy - s, cx + s, cy + s);
        c.paint([&](float x, float y) { return SdSegment(x, y, cx - 0.62f * s, cy + o, cx + 0.62f * s, cy + o, 0.05f * s); },
                colour, cx - s, cy - s, cx + s, cy + s);
    }
    c.paint([&](float x, float y) { return SdBox(x, y, cx, cy, 0.45f * s, 0.45f * s, 0.08f * s); }, colour, cx - s,
            cy - s, cx + s, cy + s);
    c.paint([&](float x, float y) { return SdBox(x, y, cx, cy, 0.25f * s, 0.25f * s, 0.04f * s); }, Scale(colour, 0.55f),
            cx - s, cy - s, cx + s, cy + s);
}

Canvas TeamCard() {
    Atlas const& atlas = FindAtlas("main_menu/team_card.png");
    Canvas c(atlas.width, atlas.height);
    Noise grain(511);
    // Light faces, so that the black labels and the name read on them.
    BevelRegion(c, atlas.region("bgUnselected"), 18, 8, Hex(0xb4bfcf), Hex(0x7c889c), &grain);
    BevelRegion(c, atlas.region("bgSelected"), 18, 8, Hex(0xf6d98a), Hex(0xc8923c), &grain);
    // The name field, a lighter well at the top, and the portrait's frame.
    for (const char* name : {"bgUnselected", "bgSelected"}) {
        Region const& r = atlas.region(name);
        c.paint([&](float x, float y) { return SdBox(x, y, r.left + 180.0f, r.top + 34.0f, 162.0f, 24.0f, 8.0f); },
                Rgba{1, 1, 1, 0.45f}, r.left, r.top, r.right, r.bottom);
        c.paint([&](float x, float y) { return SdBox(x, y, r.left + 85.0f, r.top + 133.0f, 67.0f, 67.0f, 10.0f); },
                Rgba{0, 0, 0, 0.55f}, r.left, r.top, r.right, r.bottom);
    }
    auto button = [&](const char* name, bool selected, bool human) {
        Region const& r = atlas.region(name);
        Rgba const top = selected ? (human ? Hex(0x4ad060) : Hex(0x40b8e8)) : Hex(0x4a4e58);
        Rgba const bottom = selected ? (human ? Hex(0x208a30) : Hex(0x1a6a9a)) : Hex(0x2a2c34);
        BevelRegion(c, r, 10, 4, top, bottom, nullptr);
        Rgba const icon = selected ? Rgba{1, 1, 1, 1} : Hex(0x8a8e98);
        float const cx = (r.left + r.right) * 0.5f, cy = (r.top + r.bottom) * 0.5f;
        if (human)
            Person(c, cx, cy + 2.0f, 22.0f, icon);
        else
            Chip(c, cx, cy, 22.0f, icon);
    };
    button("btnHuman", false, true);
    button("btnHumanSelected", true, true);
    button("btnCpu", false, false);
    button("btnCpuSelected", true, false);
    return c;
}

Canvas CharacterSlots() {
    Atlas const& atlas = FindAtlas("main_menu/char_slot.png");
    Canvas c(atlas.width, atlas.height);
    auto slot = [&](const char* name, Rgba fill, Rgba ring, float glow) {
        Region const& r = atlas.region(name);
        float const cx = (r.left + r.right) * 0.5f, cy = (r.top + r.bottom) * 0.5f;
        c.paint([&](float x, float y) { return SdCircle(x, y, cx, cy, 60.0f); },
                [&](float x, float y) {
                    float const d = std::hypot(x - cx, y - cy) / 60.0f;
                    return Mix(fill, Scale(fill, 0.5f), d);
                },
                r.left, r.top, r.right, r.bottom);
        c.paint([&](float x, float y) { return SdRing(x, y, cx, cy, 57.0f, 3.5f + glow); }, ring, r.left, r.top, r.right,
                r.bottom);
    };
    slot("default", Hex(0x2a3040, 0.9f), Hex(0x7a8496), 0.0f);
    slot("pressed", Hex(0x6a5020, 0.95f), Hex(0xffd050), 2.5f);
    slot("disabled", Hex(0x301c1c, 0.9f), Hex(0x803030), 0.0f);
    Region const& d = atlas.region("disabled");
    c.paint([&](float x, float y) { return SdSegment(x, y, d.left + 24.0f, d.top + 24.0f, d.right - 24.0f, d.bottom - 24.0f, 4.0f); },
            Hex(0xc03030, 0.8f), d.left, d.top, d.right, d.bottom);
    return c;
}

// The map panel (the main menu's map area, 820 x 540 design units): stone
// all round, open over the preview (the top three quarters of the area
// shrunk to 90 %), a ledge for the seed buttons below.
Canvas MapFrame() {
    const float w = 820.0f, h = 540.0f;
    Canvas c(static_cast<unsigned>(w), static_cast<unsigned>(h));
    Noise grain(521);
    Bevel(c, 0, 0, w, h, 20, 10, Hex(0x3c3630, 0.92f), Hex(0x241f1c, 0.92f), &grain);
    float const pl = w * 0.05f, pr = w * 0.95f, pt = h * 0.75f * 0.05f, pb = h * 0.75f * 0.95f;
    float const cx = (pl + pr) * 0.5f, cy = (pt + pb) * 0.5f, hw = (pr - pl) * 0.5f, hh = (pb - pt) * 0.5f;
    // A bronze rim, then the window cut out.
    c.paint([&](float x, float y) { return std::fabs(SdBox(x, y, cx, cy, hw + 3.0f, hh + 3.0f, 10.0f)) - 4.0f; },
            Hex(0xc08a40), 0, 0, w, h);
    for (unsigned y = 0; y < c.height(); ++y) {
        for (unsigned x = 0; x < c.width(); ++x) {
            float const d = SdBox(x + 0.5f, y + 0.5f, cx, cy, hw, hh, 8.0f);
            if (d < 0.5f) c.at(x, y).a *= Clamp01(0.5f + d);
        }
    }
    return c;
}

Canvas CharactersPanel() {
    Canvas c(370, 370);
    Noise grain(531);
    Bevel(c, 0, 0, 370, 370, 20, 10, Hex(0x3c3630, 0.9f), Hex(0x241f1c, 0.9f), &grain);
    return c;
}

// The panel of dialogs (the options' switches, the message box): pale stone
// in a bronze rim, as the results' panels, so that the black texts of the
// message box read on it.
Canvas DialogPanel() {
    const float w = 600.0f, h = 400.0f;
    Canvas c(static_cast<unsigned>(w), static_cast<unsigned>(h));
    Noise grain(561);
    float const cx = w * 0.5f, cy = h * 0.5f, hw = w * 0.5f - 4.0f, hh = h * 0.5f - 4.0f;
    c.paint([&](float x, float y) { return SdBox(x, y, cx, cy, hw, hh, 16.0f); },
            [&](float x, float y) {
                float const g = grain.fbm(x / 40.0f, y / 40.0f, 64, 3);
                float const shade = 1.0f - 0.12f * Clamp01(y / h);
                return Scale(Mix(Hex(0xd8ccb0, 0.96f), Hex(0xefe6d0, 0.96f), g), shade);
            },
            0, 0, w, h);
    c.paint([&](float x, float y) { return std::fabs(SdBox(x, y, cx, cy, hw, hh, 16.0f)) - 2.5f; }, Hex(0x8a6a40),
            0, 0, w, h);
    c.paint([&](float x, float y) { return std::fabs(SdBox(x, y, cx, cy, hw - 7.0f, hh - 7.0f, 11.0f)) - 0.8f; },
            Hex(0xb08a50, 0.8f), 0, 0, w, h);
    return c;
}

// A lava cave: stalactites hanging from dark rock above, a far glowing
// chasm with a lava lake at its foot, rocky ground in front, drifting embers.
Canvas Backdrop(unsigned seed, Rgba sky, Rgba glow, Rgba ember) {
    const unsigned w = 1024, h = 576;
    Noise n(seed);
    vo::SeedRand(seed + 1);
    struct Spike {
        float u, half_width, length;
    };
    std::vector<Spike> spikes(26);
    for (Spike& s : spikes) s = Spike{Uniform(0.0f, 1.0f), Uniform(0.008f, 0.03f), Uniform(0.05f, 0.22f)};
    Canvas c(w, h);
    c.fill([&](float x, float y) {
        float const u = x / w, v = y / h;
        float ceiling = 0.14f + 0.08f * n.fbm(u * 6.0f, 0.5f, 64, 4);
        for (Spike const& s : spikes) ceiling = std::max(ceiling, 0.14f + s.length * (1.0f - std::fabs(u - s.u) / s.half_width));
        float const far_ridge = 0.62f + 0.08f * n.fbm(u * 4.0f + 3.0f, 1.5f, 64, 4);
        float const ground = 0.8f + 0.08f * n.fbm(u * 5.0f + 9.0f, 2.5f, 64, 4);
        float const rock = n.fbm(u * 12.0f, v * 7.0f, 64, 4);
        Rgba out = Mix(sky, glow, Smooth(0.1f, 0.75f, v));
        // The far ridge, lit from below by the lava lake.
        Rgba const ridge = Mix(Hex(0x2a1414), Hex(0x8a3010), Smooth(far_ridge, 0.8f, v));
        out = Mix(out, ridge, Smooth(far_ridge - 0.004f, far_ridge + 0.004f, v));
        float const lake = Smooth(0.72f, 0.74f, v) * (0.8f + 0.2f * n.fbm(u * 40.0f, v * 60.0f, 64, 2));
        out = Mix(out, Mix(Hex(0xff6a10), Hex(0xffd060), n.fbm(u * 20.0f, v * 30.0f, 64, 3)), lake);
        Rgba const stone = Mix(Hex(0x120e10), Hex(0x3a2c26), rock);
        float const open = Smooth(ceiling - 0.003f, ceiling + 0.003f, v) * (1.0f - Smooth(ground - 0.004f, ground + 0.004f, v));
        out = Mix(stone, out, open);
        // Lava light on the ground in front and the tips of the stalactites.
        out = Mix(out, Hex(0xff5010), 0.3f * Smooth(0.8f, 1.0f, v) * rock);
        return out;
    });
    for (int i = 0; i < 120; ++i) {
        float const x = Uniform(0.0f, static_cast<float>(w)), y = Uniform(h * 0.3f, h * 0.78f);
        float const r = Uniform(0.8f, 2.4f);
        c.paint([&](float px, float py) { return SdCircle(px, py, x, y, r); }, ember, x - 4, y - 4, x + 4, y + 4);
        c.paint([&](float px, float py) { return SdCircle(px, py, x, y, r * 3.0f); },
                Rgba{ember.r, ember.g, ember.b, 0.15f}, x - 10, y - 10, x + 10, y + 10);
    }
    return c;
}

// The results backdrop: the cave of the menus with two pale stone panels
// behind the round and match tables (their areas in the menu configuration,
// scaled from the 1600 x 900 reference frame), so dark table text reads well.
Canvas ResultsBackdrop() {
    Canvas c = Backdrop(547, Hex(0x140a24), Hex(0x3a2060), Hex(0xffe080));
    float const s = c.width() / 1600.0f;
    Noise grain(553);
    for (float const left : {20.0f, 810.0f}) {
        float const l = left * s, r = (left + 770.0f) * s, t = 40.0f * s, b = 780.0f * s;
        float const cx = (l + r) * 0.5f, cy = (t + b) * 0.5f, hw = (r - l) * 0.5f, hh = (b - t) * 0.5f;
        c.paint([&](float x, float y) { return SdBox(x, y, cx, cy, hw, hh, 12.0f); },
                [&](float x, float y) {
                    float const g = grain.fbm(x / 40.0f, y / 40.0f, 64, 3);
                    return Mix(Hex(0xd8ccb0, 0.88f), Hex(0xefe6d0, 0.88f), g);
                },
                l - 2, t - 2, r + 2, b + 2);
        c.paint([&](float x, float y) { return std::fabs(SdBox(x, y, cx, cy, hw, hh, 12.0f)) - 1.5f; }, Hex(0x8a6a40),
                l - 4, t - 4, r + 4, b + 4);
    }
    return c;
}

}  // namespace

std::vector<std::string> WriteMenuTextures(std::string const& dir) {
    std::vector<std::string> files;
    auto save = [&](Canvas const& c, std::string const& name) { SaveTexture(c, dir, name, files); };
    save(Buttons(), "main_menu/button.png");
    save(TeamCard(), "main_menu/team_card.png");
    save(CharacterSlots(), "main_menu/char_slot.png");
    save(MapFrame(), "main_menu/map_frame.png");
    save(CharactersPanel(), "main_menu/characters_panel.png");
    save(DialogPanel(), "main_menu/dialog_panel.png");
    save(Backdrop(541, Hex(0x0e0a14), Hex(0x5a1a0c), Hex(0xffb040)), "main_menu/bg_main_menu.png");
    save(ResultsBackdrop(), "main_menu/bg_results_enhanced.png");
    return files;
}

}  // namespace gen

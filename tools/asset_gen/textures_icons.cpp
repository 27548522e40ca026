// The head-up display atlas, weapon icons and bodies, item pictures and the
// power-up pictures.

#include "assets.h"
#include "atlas_layout.h"
#include "canvas.h"
#include "noise.h"
#include "textures_common.h"

#include <cmath>

namespace gen {

namespace {

const float kPi = 3.14159265f;
Rgba const kWhite{1, 1, 1, 1};
Rgba const kInk = Hex(0x141018);

using Sdf = std::function<float(float, float)>;

void Fill(Canvas& c, Sdf const& sd, Rgba colour) { c.paint(sd, colour, 0, 0, c.width(), c.height()); }

// A shape with a dark outline and a lit fill.
void Shape(Canvas& c, Sdf const& sd, Rgba colour, float outline) {
    Fill(c, [&](float x, float y) { return sd(x, y) - outline; }, kInk);
    c.paint(sd,
            [&](float, float y) {
                float const t = Clamp01(y / c.height());
                return Mix(Scale(colour, 1.25f), Scale(colour, 0.7f), t);
            },
            0, 0, c.width(), c.height());
}

// Two arrows chasing each other round a circle.
void RotateArrows(Canvas& c, float cx, float cy, float r, Rgba colour) {
    for (int k = 0; k < 2; ++k) {
        float const a0 = k * kPi + 0.35f, a1 = a0 + kPi - 0.7f;
        Fill(c,
             [&](float x, float y) {
                 float a = std::atan2(y - cy, x - cx) - a0;
                 while (a < 0.0f) a += 2.0f * kPi;
                 float const arc = SdRing(x, y, cx, cy, r, r * 0.12f);
                 return a <= a1 - a0 ? arc : std::max(arc, 3.0f);
             },
             colour);
        float const hx = cx + std::cos(a1) * r, hy = cy + std::sin(a1) * r;
        float const tx = -std::sin(a1), ty = std::cos(a1);  // along the arc
        float const nx = std::cos(a1), ny = std::sin(a1);
        std::vector<float> const head = {hx + nx * r * 0.3f, hy + ny * r * 0.3f, hx - nx * r * 0.3f,
                                         hy - ny * r * 0.3f, hx + tx * r * 0.4f, hy + ty * r * 0.4f};
        Fill(c, [&](float x, float y) { return SdPolygon(x, y, head); }, colour);
    }
}

void Clock(Canvas& c, float cx, float cy, float r) {
    Fill(c, [&](float x, float y) { return SdCircle(x, y, cx, cy, r + 2.0f); }, kInk);
    Fill(c, [&](float x, float y) { return SdCircle(x, y, cx, cy, r); }, Hex(0xf4f0e0));
    for (int i = 0; i < 12; i += 3) {
        float const a = i * kPi / 6.0f;
        Fill(c, [&](float x, float y) {
                 return SdSegment(x, y, cx + std::sin(a) * r * 0.75f, cy - std::cos(a) * r * 0.75f,
                                  cx + std::sin(a) * r * 0.9f, cy - std::cos(a) * r * 0.9f, 0.9f);
             },
             kInk);
    }
    Fill(c, [&](float x, float y) { return SdSegment(x, y, cx, cy, cx, cy - r * 0.7f, 1.3f); }, kInk);
    Fill(c, [&](float x, float y) { return SdSegment(x, y, cx, cy, cx + r * 0.5f, cy + r * 0.15f, 1.3f); }, Hex(0xc02020));
}

void Grenade(Canvas& c, float cx, float cy, float s, Rgba body) {
    // Lever and pin behind the body.
    Fill(c, [&](float x, float y) { return SdSegment(x, y, cx + 0.1f * s, cy - 0.72f * s, cx + 0.55f * s, cy - 0.2f * s, 0.07f * s); },
         Hex(0x8a8a8a));
    Fill(c, [&](float x, float y) { return SdRing(x, y, cx - 0.38f * s, cy - 0.72f * s, 0.14f * s, 0.035f * s); },
         Hex(0xd0c060));
    Shape(c, [&](float x, float y) { return SdBox(x, y, cx, cy - 0.66f * s, 0.2f * s, 0.1f * s, 0.03f * s); },
          Hex(0x9a9a9a), 1.5f);
    Shape(c, [&](float x, float y) { return SdEllipse(x, y, cx, cy + 0.08f * s, 0.5f * s, 0.62f * s); }, body, 1.8f);
    for (int i = -1; i <= 1; ++i) {
        Fill(c, [&](float x, float y) {
                 return std::max(SdSegment(x, y, cx - 0.5f * s, cy + (0.08f + i * 0.25f) * s, cx + 0.5f * s,
                                           cy + (0.08f + i * 0.25f) * s, 0.025f * s),
                                 SdEllipse(x, y, cx, cy + 0.08f * s, 0.48f * s, 0.6f * s));
             },
             Scale(body, 0.5f));
    }
    Fill(c, [&](float x, float y) { return SdEllipse(x, y, cx - 0.18f * s, cy - 0.18f * s, 0.1f * s, 0.16f * s); },
         Rgba{1, 1, 1, 0.45f});
}

void Bomb(Canvas& c, float cx, float cy, float r, Rgba body) {
    Fill(c, [&](float x, float y) { return SdSegment(x, y, cx + r * 0.5f, cy - r * 0.7f, cx + r * 0.9f, cy - r * 1.2f, r * 0.12f); },
         Hex(0xb09060));
    Fill(c, [&](float x, float y) { return SdCircle(x, y, cx + r * 0.95f, cy - r * 1.3f, r * 0.22f); }, Hex(0xffd040));
    Shape(c, [&](float x, float y) { return SdCircle(x, y, cx, cy, r); }, body, 1.5f);
    Fill(c, [&](float x, float y) { return SdCircle(x, y, cx - r * 0.35f, cy - r * 0.35f, r * 0.22f); }, Rgba{1, 1, 1, 0.5f});
}

void Mine(Canvas& c, float cx, float cy, float s) {
    for (int i = 0; i < 5; ++i) {
        float const a = -kPi * 0.5f + (i - 2) * 0.55f;
        Fill(c, [&](float x, float y) {
                 return SdSegment(x, y, cx, cy, cx + std::cos(a) * s * 0.85f, cy + std::sin(a) * s * 0.85f, 0.07f * s);
             },
             Hex(0x505860));
    }
    Shape(c, [&](float x, float y) { return std::max(SdEllipse(x, y, cx, cy, 0.68f * s, 0.56f * s), y - cy - 0.12f * s); },
          Hex(0x7a8490), 1.8f);
    Shape(c, [&](float x, float y) { return SdBox(x, y, cx, cy + 0.2f * s, 0.8f * s, 0.09f * s, 0.04f * s); }, Hex(0x5a6068), 1.5f);
    Fill(c, [&](float x, float y) { return SdCircle(x, y, cx, cy - 0.18f * s, 0.13f * s); }, Hex(0xff2a20));
    Fill(c, [&](float x, float y) { return SdCircle(x, y, cx, cy - 0.18f * s, 0.3f * s); }, Rgba{1, 0.2f, 0.1f, 0.25f});
}

Canvas Icon(int kind) {
    Canvas c(64, 64);
    switch (kind) {
        case 0:  // contact grenade
            Grenade(c, 32, 34, 40, Hex(0x5a7a34));
            break;
        case 1:  // timed grenade with its clock, at the lower left: the
                 // weapon button shows its count at the lower right
            Grenade(c, 37, 32, 36, Hex(0xb04a28));
            Clock(c, 16, 46, 12);
            break;
        case 2:  // cluster bomb: a bundle of three
            Bomb(c, 20, 42, 11, Hex(0x3a3a44));
            Bomb(c, 44, 42, 11, Hex(0x3a3a44));
            Bomb(c, 32, 26, 13, Hex(0xd0a020));
            break;
        default:  // mine
            Mine(c, 32, 38, 34);
            break;
    }
    return c;
}

// Round body skins: the soft body maps the square onto its circle.
Canvas BodySkin(unsigned seed, Rgba base, Rgba stripe, int stripes, bool light) {
    const unsigned size = 64;
    Noise n(seed);
    Canvas c(size, size);
    c.fill([&](float x, float y) {
        float const r = std::hypot(x - 32.0f, y - 32.0f) / 32.0f;
        Rgba out = Scale(base, 0.85f + 0.3f * n.fbm(x / 16.0f, y / 16.0f, 4, 3));
        if (stripes > 0 && std::fmod(y / size * stripes, 1.0f) < 0.25f) out = stripe;
        out = Mix(out, Scale(base, 0.4f), Smooth(0.7f, 1.0f, r));
        return out;
    });
    if (light) {
        Fill(c, [&](float x, float y) { return SdCircle(x, y, 32, 32, 7); }, Hex(0xff2a20));
        Fill(c, [&](float x, float y) { return SdCircle(x, y, 30, 30, 2.5f); }, Rgba{1, 0.8f, 0.7f, 0.9f});
    }
    return c;
}

Canvas ItemBall(Rgba base) {
    Canvas c(128, 128);
    c.fill([&](float x, float y) {
        float const r = std::hypot(x - 64.0f, y - 64.0f) / 64.0f;
        float const light = Clamp01(1.0f - std::hypot(x - 44.0f, y - 40.0f) / 110.0f);
        return Mix(Scale(base, 0.6f + 0.6f * light), Scale(base, 0.35f), Smooth(0.8f, 1.0f, r));
    });
    return c;
}

Canvas Item(int kind) {
    switch (kind) {
        case 0: {  // health pack
            Canvas c = ItemBall(Hex(0xf4f4f0));
            Fill(c, [](float x, float y) { return std::min(SdBox(x, y, 64, 64, 36, 12, 3), SdBox(x, y, 64, 64, 12, 36, 3)); },
                 Hex(0xd81e28));
            return c;
        }
        case 1: {  // a crate of cluster bombs
            Canvas c = ItemBall(Hex(0xa8743c));
            for (int i = 0; i < 3; ++i)
                Fill(c, [&](float x, float y) { return SdSegment(x, y, 8, 34.0f + i * 30.0f, 120, 34.0f + i * 30.0f, 2.0f); },
                     Hex(0x5a3a1a));
            Bomb(c, 44, 76, 16, Hex(0x3a3a44));
            Bomb(c, 84, 76, 16, Hex(0x3a3a44));
            Bomb(c, 64, 50, 18, Hex(0xd0a020));
            return c;
        }
        case 2: {  // a crate of timed grenades
            Canvas c = ItemBall(Hex(0x6a7a40));
            Grenade(c, 54, 62, 62, Hex(0xb04a28));
            Clock(c, 86, 86, 20);
            return c;
        }
        default: {  // world rotation
            Canvas c = ItemBall(Hex(0x3a78d0));
            RotateArrows(c, 64, 64, 34, kWhite);
            return c;
        }
    }
}

Canvas PowerUp(int kind) {
    Canvas c(64, 64);
    Rgba const back[4] = {Hex(0xa02020), Hex(0x2050a0), Hex(0xc05010), Hex(0x20a050)};
    Shape(c, [](float x, float y) { return SdBox(x, y, 32, 32, 28, 28, 8); }, back[kind], 1.5f);
    switch (kind) {
        case 0: {  // damage plus: a flame
            std::vector<float> const flame = {32, 10, 46, 34, 40, 52, 24, 52, 18, 34};
            Fill(c, [&](float x, float y) { return SdPolygon(x, y, flame); }, Hex(0xffc030));
            Fill(c, [](float x, float y) { return SdEllipse(x, y, 32, 42, 6, 9); }, Hex(0xfff0a0));
            break;
        }
        case 1:  // radius plus: rings
            for (int i = 1; i <= 3; ++i)
                Fill(c, [&](float x, float y) { return SdRing(x, y, 30, 34, i * 6.0f, 1.5f); }, kWhite);
            break;
        case 2: {  // lava explosion: a drop of lava
            Fill(c, [](float x, float y) { return std::min(SdCircle(x, y, 32, 38, 13), SdPolygon(x, y, {32, 10, 44, 32, 20, 32})); },
                 Hex(0xff7a12));
            Fill(c, [](float x, float y) { return SdCircle(x, y, 27, 36, 4); }, Hex(0xffe46a));
            break;
        }
        default:  // healing explosion: a heart
            Fill(c, [](float x, float y) {
                     return std::min(std::min(SdCircle(x, y, 24, 28, 9), SdCircle(x, y, 40, 28, 9)),
                                     SdPolygon(x, y, {16.5f, 32, 47.5f, 32, 32, 50}));
                 },
                 Hex(0xff5a7a));
            break;
    }
    // The plus in the corner.
    Fill(c, [](float x, float y) { return std::min(SdBox(x, y, 50, 14, 7, 2.2f), SdBox(x, y, 50, 14, 2.2f, 7)); }, kWhite);
    return c;
}

Canvas Hud() {
    Atlas const& atlas = FindAtlas("hud/hud.png");
    Canvas c(atlas.width, atlas.height);
    auto bevel = [&](std::string const& name, float radius, float edge, Rgba top, Rgba bottom) {
        Region const& r = atlas.region(name);
        Bevel(c, r.left, r.top, r.right, r.bottom, radius, edge, top, bottom, nullptr);
    };
    bevel("timerBox", 16, 6, Hex(0x2a2430, 0.92f), Hex(0x141018, 0.92f));
    {
        Region const& r = atlas.region("timerBox");
        c.paint([&](float x, float y) {
                    return std::fabs(SdBox(x, y, (r.left + r.right) * 0.5f, (r.top + r.bottom) * 0.5f, 72, 52, 12)) - 2.0f;
                },
                Hex(0xe0a040), r.left, r.top, r.right, r.bottom);
    }
    {  // the life bar segment: white, so the team colour tints it
        Region const& r = atlas.region("lifebar");
        c.paint([&](float x, float y) { return SdBox(x, y, (r.left + r.right) * 0.5f, (r.top + r.bottom) * 0.5f, 120, 12, 5); },
                [&](float, float y) {
                    float const t = (y - r.top) / r.height();
                    return Mix(Rgba{1, 1, 1, 1}, Rgba{0.62f, 0.62f, 0.62f, 1}, Smooth(0.3f, 1.0f, t));
                },
                r.left, r.top, r.right, r.bottom);
    }
    for (const char* button : {"timerButton", "contactButton", "worldRotateButton"}) {
        std::string const b(button);
        float const radius = b == "worldRotateButton" ? 40.0f : 10.0f;
        bevel(b + ".default", radius, 5, Hex(0x4a4658, 0.9f), Hex(0x24202c, 0.9f));
        bevel(b + ".pressed", radius, 5, Hex(0xf0b040), Hex(0xa05a10));
        bevel(b + ".disabled", radius, 5, Hex(0x3a3a3a, 0.6f), Hex(0x202020, 0.6f));
    }
    Canvas icon(64, 64);
    RotateArrows(icon, 32, 32, 20, kWhite);
    Region const& r = atlas.region("worldRotateIcon");
    c.draw(icon, r.left, r.top);
    return c;
}

}  // namespace

std::vector<std::string> WriteHudTextures(std::string const& dir) {
    Hud().save(OutputPath(dir, "textures/hud/hud.png"));
    return {"textures/hud/hud.png"};
}

std::vector<std::string> WriteIconTextures(std::string const& dir) {
    std::vector<std::string> files;
    auto save = [&](Canvas const& c, std::string const& name) { SaveTexture(c, dir, name, files); };
    const char* const weapons[] = {"grenade", "timed_grenade", "cluster_bomb", "mine"};
    for (int i = 0; i < 4; ++i) save(Icon(i), std::string("weapons/") + weapons[i] + ".png");
    save(BodySkin(601, Hex(0x5a7a34), Hex(0x34481e), 4, false), "weapons/grenade_body.png");
    save(BodySkin(603, Hex(0xb04a28), Hex(0xf0d040), 3, false), "weapons/timed_grenade_body.png");
    save(BodySkin(605, Hex(0x3a3a44), Hex(0xd0a020), 2, false), "weapons/cluster_bomb_body.png");
    save(BodySkin(607, Hex(0xd07a20), Hex(0x402010), 0, false), "weapons/bomblet_body.png");
    save(BodySkin(609, Hex(0x7a8490), Hex(0x505860), 0, true), "weapons/mine_body.png");
    const char* const items[] = {"health", "cluster_crate", "timed_crate", "world_rotation"};
    for (int i = 0; i < 4; ++i) save(Item(i), std::string("items/") + items[i] + ".png");
    const char* const powerups[] = {"damage-plus", "radius-plus", "lava-explosion", "healing-explosion"};
    for (int i = 0; i < 4; ++i) save(PowerUp(i), std::string("powerups/") + powerups[i] + ".png");
    return files;
}

}  // namespace gen

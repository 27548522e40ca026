// The five characters (portraits and body skins), the "no character"
// portrait and the engine's default body skin.

#include "assets.h"
#include "canvas.h"
#include "noise.h"
#include "textures_common.h"

#include <algorithm>
#include <cmath>

namespace gen {

std::vector<Character> const& Characters() {
    static const std::vector<Character> characters = {
        {"gronk", 0x5cbf3a, 0x2e6e1c, 0},
        {"mirabel", 0xee6fa3, 0xfff06a, 1},
        {"pudge", 0xf39a36, 0x8a3c10, 2},
        {"zyra", 0x9b62d6, 0xf0e6ff, 3},
        {"bolt", 0x3f8fe6, 0xffd23a, 4},
    };
    return characters;
}

namespace {

Rgba const kInk = Hex(0x1a1018);

// A glossy ball of colour `body` lit from the upper left, with a dark rim.
void Ball(Canvas& c, float cx, float cy, float r, Rgba body, Noise const* spots) {
    c.paint([&](float x, float y) { return SdCircle(x, y, cx, cy, r); },
            [&](float x, float y) {
                float const dx = (x - cx) / r, dy = (y - cy) / r;
                float const d = std::sqrt(dx * dx + dy * dy);
                float const light = Clamp01(1.0f - std::hypot(dx + 0.35f, dy + 0.4f) * 0.8f);
                Rgba out = Scale(body, 0.55f + 0.6f * light);
                if (spots) {
                    float const s = spots->value(x / 9.0f, y / 9.0f, 1 << 12);
                    if (s > 0.72f) out = Scale(out, 0.86f);
                }
                out = Mix(out, Scale(body, 0.35f), Smooth(0.82f, 1.0f, d));
                float const gloss = 1.0f - Smooth(0.0f, 0.22f, std::hypot(dx + 0.38f, dy + 0.45f));
                return Mix(out, Rgba{1, 1, 1, 1}, gloss * 0.7f);
            },
            cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1);
}

void Eye(Canvas& c, float cx, float cy, float s, float look) {
    c.paint([&](float x, float y) { return SdEllipse(x, y, cx, cy, 0.16f * s, 0.2f * s); }, Rgba{1, 1, 1, 1},
            cx - s, cy - s, cx + s, cy + s);
    c.paint([&](float x, float y) { return SdCircle(x, y, cx + look * s * 0.05f, cy + 0.03f * s, 0.09f * s); }, kInk,
            cx - s, cy - s, cx + s, cy + s);
    c.paint([&](float x, float y) { return SdCircle(x, y, cx + look * s * 0.05f - 0.04f * s, cy - 0.03f * s, 0.03f * s); },
            Rgba{1, 1, 1, 1}, cx - s, cy - s, cx + s, cy + s);
}

// A face centred at (cx, cy) on a ball of radius s.
void Face(Canvas& c, float cx, float cy, float s, Character const& ch) {
    Rgba const accent = Hex(ch.accent);
    float const box = s * 1.3f;
    auto paint = [&](auto sdf, Rgba colour) { c.paint(sdf, colour, cx - box, cy - box, cx + box, cy + box); };
    float const ex = 0.32f * s, ey = -0.12f * s;
    Eye(c, cx - ex, cy + ey, s, 1.0f);
    Eye(c, cx + ex, cy + ey, s, 1.0f);
    // Mouth: the lower half of a ring, or an open grin with teeth.
    if (ch.feature == 2) {
        paint([&](float x, float y) {
                  return std::max(SdEllipse(x, y, cx, cy + 0.28f * s, 0.42f * s, 0.28f * s), cy + 0.24f * s - y);
              },
              Hex(0x50101a));
        paint([&](float x, float y) {
                  return std::max(SdBox(x, y, cx, cy + 0.3f * s, 0.34f * s, 0.05f * s), cy + 0.25f * s - y);
              },
              Rgba{1, 1, 1, 1});
    } else {
        paint([&](float x, float y) {
                  return std::max(SdRing(x, y, cx, cy + 0.12f * s, 0.3f * s, 0.035f * s), cy + 0.16f * s - y);
              },
              kInk);
    }
    switch (ch.feature) {
        case 0:  // a tuft of three spikes
            for (int i = -1; i <= 1; ++i) {
                float const bx = cx + i * 0.18f * s;
                std::vector<float> const tri = {bx - 0.09f * s, cy - 0.86f * s, bx + 0.09f * s, cy - 0.86f * s,
                                                bx + i * 0.12f * s, cy - 1.18f * s};
                paint([&](float x, float y) { return SdPolygon(x, y, tri); }, accent);
            }
            break;
        case 1:  // lashes and a bow
            for (int side = -1; side <= 1; side += 2) {
                float const ox = cx + side * ex;
                for (int k = -1; k <= 1; ++k) {
                    paint([&](float x, float y) {
                              return SdSegment(x, y, ox + k * 0.07f * s, cy + ey - 0.18f * s, ox + k * 0.11f * s,
                                               cy + ey - 0.3f * s, 0.018f * s);
                          },
                          kInk);
                }
            }
            for (int side = -1; side <= 1; side += 2) {
                std::vector<float> const wing = {cx, cy - 0.8f * s, cx + side * 0.34f * s, cy - 1.02f * s,
                                                 cx + side * 0.34f * s, cy - 0.62f * s};
                paint([&](float x, float y) { return SdPolygon(x, y, wing); }, accent);
            }
            paint([&](float x, float y) { return SdCircle(x, y, cx, cy - 0.82f * s, 0.09f * s); }, Scale(accent, 0.8f));
            break;
        case 3:  // two horns
            for (int side = -1; side <= 1; side += 2) {
                std::vector<float> const horn = {cx + side * 0.3f * s, cy - 0.82f * s, cx + side * 0.6f * s,
                                                 cy - 0.62f * s, cx + side * 0.62f * s, cy - 1.2f * s};
                paint([&](float x, float y) { return SdPolygon(x, y, horn); }, accent);
            }
            break;
        case 4:  // angry brows
            for (int side = -1; side <= 1; side += 2) {
                paint([&](float x, float y) {
                          return SdSegment(x, y, cx + side * 0.14f * s, cy - 0.3f * s, cx + side * 0.48f * s,
                                           cy - 0.44f * s, 0.05f * s);
                      },
                      kInk);
            }
            break;
        default:
            break;
    }
}

Canvas Portrait(Character const& ch) {
    const unsigned size = 128;
    Canvas c(size, size);
    Rgba const back = Scale(Hex(ch.accent), 0.45f);
    c.fill([&](float x, float y) {
        float const r = std::hypot(x - 64.0f, y - 70.0f) / 90.0f;
        return Mix(Mix(back, Rgba{1, 1, 1, 1}, 0.2f), Scale(back, 0.5f), Clamp01(r));
    });
    Noise spots(200 + ch.feature);
    Ball(c, 64.0f, 74.0f, 44.0f, Hex(ch.body), &spots);
    Face(c, 64.0f, 74.0f, 44.0f, ch);
    // A frame line so the portrait reads on any background.
    c.paint([&](float x, float y) { return -SdBox(x, y, 64, 64, 62.5f, 62.5f, 10.0f); },
            Rgba{0.05f, 0.04f, 0.06f, 1.0f}, 0, 0, size, size);
    return c;
}

// The body skin: the whole square in the body colour (the soft body maps the
// square onto its circle), mottled, with the face in the middle.
Canvas Skin(Character const& ch) {
    const unsigned size = 256;
    Noise n(300 + ch.feature);
    Canvas c(size, size);
    Rgba const body = Hex(ch.body);
    c.fill([&](float x, float y) {
        float const m = n.fbm(x / size * 8.0f, y / size * 8.0f, 8, 4);
        float const r = std::hypot(x - 128.0f, y - 128.0f) / 128.0f;
        Rgba out = Scale(body, 0.8f + 0.35f * m);
        return Mix(out, Scale(body, 0.45f), Smooth(0.75f, 1.0f, r));
    });
    Face(c, 128.0f, 128.0f, 70.0f, ch);
    return c;
}

Canvas NoCharacter() {
    const unsigned size = 128;
    Canvas c(size, size, Rgba{0, 0, 0, 0});
    Ball(c, 64.0f, 64.0f, 50.0f, Hex(0x8a8a90), nullptr);
    for (int k = -1; k <= 1; k += 2) {
        c.paint([&](float x, float y) { return SdSegment(x, y, 36, 64 - k * 28, 92, 64 + k * 28, 6.0f); },
                Hex(0x40404a), 0, 0, size, size);
    }
    return c;
}

Canvas DefaultBall() {
    const unsigned size = 128;
    Noise n(401);
    Canvas c(size, size);
    c.fill([&](float x, float y) {
        float const m = n.fbm(x / size * 4.0f, y / size * 4.0f, 4, 4);
        return Mix(Hex(0x2a8a8a), Hex(0x8ae0d0), m);
    });
    return c;
}

}  // namespace

std::vector<std::string> WriteCharacterTextures(std::string const& dir) {
    std::vector<std::string> files;
    auto save = [&](Canvas const& c, std::string const& name) { SaveTexture(c, dir, name, files); };
    for (Character const& ch : Characters()) {
        save(Portrait(ch), "portraits/" + ch.id + ".png");
        save(Skin(ch), "chars/" + ch.id + ".png");
    }
    save(NoCharacter(), "char_none.png");
    save(DefaultBall(), "tarvessa_ball.png");
    return files;
}

}  // namespace gen

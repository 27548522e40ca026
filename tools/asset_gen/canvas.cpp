#include "canvas.h"

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace gen {

Rgba Mix(Rgba const& x, Rgba const& y, float t) {
    return Rgba{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Rgba Scale(Rgba const& c, float k) { return Rgba{c.r * k, c.g * k, c.b * k, c.a}; }

Rgba Hex(std::uint32_t rgb, float a) {
    return Rgba{((rgb >> 16) & 0xff) / 255.0f, ((rgb >> 8) & 0xff) / 255.0f, (rgb & 0xff) / 255.0f, a};
}

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float Smooth(float e0, float e1, float x) {
    float const t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

Canvas::Canvas(unsigned width, unsigned height, Rgba fill) : width_(width), height_(height), pixels_(width * height, fill) {}

void Canvas::fill(std::function<Rgba(float, float)> const& colour) {
    for (unsigned y = 0; y < height_; ++y)
        for (unsigned x = 0; x < width_; ++x) at(x, y) = colour(x + 0.5f, y + 0.5f);
}

void Canvas::blend(unsigned x, unsigned y, Rgba const& c) {
    Rgba& d = at(x, y);
    float const a = Clamp01(c.a);
    float const out_a = a + d.a * (1.0f - a);
    if (out_a <= 0.0f) {
        d = Rgba{0, 0, 0, 0};
        return;
    }
    d.r = (c.r * a + d.r * d.a * (1.0f - a)) / out_a;
    d.g = (c.g * a + d.g * d.a * (1.0f - a)) / out_a;
    d.b = (c.b * a + d.b * d.a * (1.0f - a)) / out_a;
    d.a = out_a;
}

void Canvas::paint(std::function<float(float, float)> const& sdf, std::function<Rgba(float, float)> const& colour,
                   float x0, float y0, float x1, float y1) {
    int const ix0 = std::max(0, static_cast<int>(std::floor(x0)));
    int const iy0 = std::max(0, static_cast<int>(std::floor(y0)));
    int const ix1 = std::min(static_cast<int>(width_), static_cast<int>(std::ceil(x1)));
    int const iy1 = std::min(static_cast<int>(height_), static_cast<int>(std::ceil(y1)));
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) {
            float const px = x + 0.5f;
            float const py = y + 0.5f;
            float const coverage = Clamp01(0.5f - sdf(px, py));
            if (coverage <= 0.0f) continue;
            Rgba c = colour(px, py);
            c.a *= coverage;
            blend(static_cast<unsigned>(x), static_cast<unsigned>(y), c);
        }
    }
}

void Canvas::paint(std::function<float(float, float)> const& sdf, Rgba const& colour, float x0, float y0, float x1,
                   float y1) {
    paint(sdf, [&colour](float, float) { return colour; }, x0, y0, x1, y1);
}

void Canvas::draw(Canvas const& src, int x, int y) {
    for (unsigned sy = 0; sy < src.height(); ++sy) {
        for (unsigned sx = 0; sx < src.width(); ++sx) {
            int const dx = x + static_cast<int>(sx);
            int const dy = y + static_cast<int>(sy);
            if (dx < 0 || dy < 0 || dx >= static_cast<int>(width_) || dy >= static_cast<int>(height_)) continue;
            blend(static_cast<unsigned>(dx), static_cast<unsigned>(dy), src.at(sx, sy));
        }
    }
}

void Canvas::save(std::string const& path) const {
    std::vector<sf::Uint8> bytes(pixels_.size() * 4);
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        Rgba const& c = pixels_[i];
        float const channels[4] = {c.r, c.g, c.b, c.a};
        for (int k = 0; k < 4; ++k) bytes[i * 4 + k] = static_cast<sf::Uint8>(std::lround(Clamp01(channels[k]) * 255.0f));
    }
    sf::Image image;
    image.create(width_, height_, bytes.data());
    if (!image.saveToFile(path)) throw std::runtime_error("cannot write " + path);
}

float SdCircle(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

float SdBox(float x, float y, float cx, float cy, float hw, float hh, float radius) {
    float const qx = std::fabs(x - cx) - hw + radius;
    float const qy = std::fabs(y - cy) - hh + radius;
    float const outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float SdSegment(float x, float y, float ax, float ay, float bx, float by, float half_width) {
    float const px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float const len2 = dx * dx + dy * dy;
    float const t = len2 > 0.0f ? Clamp01((px * dx + py * dy) / len2) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t) - half_width;
}

float SdRing(float x, float y, float cx, float cy, float r, float half_width) {
    return std::fabs(std::hypot(x - cx, y - cy) - r) - half_width;
}

float SdEllipse(float x, float y, float cx, float cy, float rx, float ry) {
    // A scaled circle: exact enough for the small ellipses of faces and icons.
    float const k = std::hypot((x - cx) / rx, (y - cy) / ry);
    return (k - 1.0f) * std::min(rx, ry);
}

float SdPolygon(float x, float y, std::vector<float> const& xy) {
    std::size_t const n = xy.size() / 2;
    float d = (x - xy[0]) * (x - xy[0]) + (y - xy[1]) * (y - xy[1]);
    float s = 1.0f;
    for (std::size_t i = 0, j = n - 1; i < n; j = i, ++i) {
        float const ex = xy[2 * j] - xy[2 * i], ey = xy[2 * j + 1] - xy[2 * i + 1];
        float const wx = x - xy[2 * i], wy = y - xy[2 * i + 1];
        float const t = Clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
        float const bx = wx - ex * t, by = wy - ey * t;
        d = std::min(d, bx * bx + by * by);
        bool const c1 = y >= xy[2 * i + 1];
        bool const c2 = y < xy[2 * j + 1];
        bool const c3 = ex * wy > ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

}  // namespace gen

#pragma once

// A floating-point RGBA picture to paint on, and the shapes the generator
// paints with. Shapes are signed distance functions (negative inside, in
// pixels), so every edge is antialiased the same way.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gen {

struct Rgba {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

Rgba Mix(Rgba const& x, Rgba const& y, float t);
Rgba Scale(Rgba const& c, float k);  // colour times k, alpha kept
Rgba Hex(std::uint32_t rgb, float a = 1.0f);
float Clamp01(float v);
float Smooth(float e0, float e1, float x);

class Canvas {
public:
    Canvas(unsigned width, unsigned height, Rgba fill = Rgba{0, 0, 0, 0});

    unsigned width() const { return width_; }
    unsigned height() const { return height_; }
    Rgba& at(unsigned x, unsigned y) { return pixels_[y * width_ + x]; }
    Rgba const& at(unsigned x, unsigned y) const { return pixels_[y * width_ + x]; }

    // Every pixel from a function of its centre (x + 0.5, y + 0.5).
    void fill(std::function<Rgba(float x, float y)> const& colour);
    // Blends colour(x, y) over the pixels where sdf < 0.5, with coverage
    // 0.5 - sdf (clamped); only the box [x0, x1) x [y0, y1) is visited.
    void paint(std::function<float(float x, float y)> const& sdf, std::function<Rgba(float x, float y)> const& colour,
               float x0, float y0, float x1, float y1);
    void paint(std::function<float(float x, float y)> const& sdf, Rgba const& colour, float x0, float y0, float x1,
               float y1);
    // Porter-Duff "over" of one pixel.
    void blend(unsigned x, unsigned y, Rgba const& c);
    // Copies src with its top left corner at (x, y), blended over.
    void draw(Canvas const& src, int x, int y);

    // Writes an 8-bit RGBA PNG; throws std::runtime_error when it cannot.
    void save(std::string const& path) const;

private:
    unsigned width_, height_;
    std::vector<Rgba> pixels_;
};

// Signed distances (pixels; negative inside).
float SdCircle(float x, float y, float cx, float cy, float r);
float SdBox(float x, float y, float cx, float cy, float hw, float hh, float radius = 0.0f);
float SdSegment(float x, float y, float ax, float ay, float bx, float by, float half_width);
float SdRing(float x, float y, float cx, float cy, float r, float half_width);
float SdEllipse(float x, float y, float cx, float cy, float rx, float ry);
// A convex polygon given counter- or clockwise.
float SdPolygon(float x, float y, std::vector<float> const& xy);

}  // namespace gen

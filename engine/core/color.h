#pragma once

namespace vo {

// RGBA colour, each component 0 to 1 (a = 1 is opaque). Default: all zero.
struct Color {
    static const unsigned int SIZE;  // 4

    Color() : r(0.0f), g(0.0f), b(0.0f), a(0.0f) {}
    Color(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}

    // 0 r, 1 g, 2 b, 3 a.
    float& operator[](int i) { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }
    float operator[](int i) const { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }

    // Scales all four components, alpha included.
    Color& operator*=(float s) {
        r *= s;
        g *= s;
        b *= s;
        a *= s;
        return *this;
    }

    float r;
    float g;
    float b;
    float a;
};

}  // namespace vo

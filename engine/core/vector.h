#pragma once

#include <iosfwd>

namespace vo {

class vector3;

// Small float vectors. Plain values: copyable by assignment, no heap storage.
// Only in-place member arithmetic is offered; sums, differences, dot products
// and lengths are written out on the components by the code that needs them.
// Default construction gives zero components.

class vector2 {
public:
    static const unsigned int SIZE;  // 2

    vector2() : x(0.0f), y(0.0f) {}
    vector2(float x_, float y_) : x(x_), y(y_) {}
    // Drops z.
    explicit vector2(const vector3& v);

    float& operator[](unsigned int i) { return i == 0 ? x : y; }
    const float& operator[](unsigned int i) const { return i == 0 ? x : y; }
    unsigned int size() const { return 2; }

    vector2& operator+=(const vector2& v) {
        x += v.x;
        y += v.y;
        return *this;
    }
    vector2& operator-=(const vector2& v) {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    vector2& operator*=(float s) {
        x *= s;
        y *= s;
        return *this;
    }

    float x;
    float y;
};

class vector3 {
public:
    static const unsigned int SIZE;  // 3

    vector3() : x(0.0f), y(0.0f), z(0.0f) {}
    vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    // z = 0.
    explicit vector3(const vector2& v) : x(v.x), y(v.y), z(0.0f) {}

    float& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : z); }
    const float& operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    unsigned int size() const { return 3; }

    vector3& operator+=(const vector3& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    vector3& operator-=(const vector3& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    vector3& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    float x;
    float y;
    float z;
};

inline vector2::vector2(const vector3& v) : x(v.x), y(v.y) {}

class vector4 {
public:
    static const unsigned int SIZE;  // 4

    vector4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    float& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    const float& operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    unsigned int size() const { return 4; }

    vector4& operator+=(const vector4& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        w += v.w;
        return *this;
    }
    vector4& operator-=(const vector4& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        w -= v.w;
        return *this;
    }
    vector4& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        w *= s;
        return *this;
    }

    float x;
    float y;
    float z;
    float w;
};

// out = v / |v| when |v| > 0, otherwise out = v. out may be v itself.
void NormalizeVector3(vector3& out, const vector3& v);

// "(x, y)", "(x, y, z)", "(x, y, z, w)" in the stream's current float format,
// no line end.
std::ostream& operator<<(std::ostream& os, const vector2& v);
std::ostream& operator<<(std::ostream& os, const vector3& v);
std::ostream& operator<<(std::ostream& os, const vector4& v);

}  // namespace vo

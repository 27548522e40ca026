#pragma once

#include "engine/core/sphere.h"
#include "engine/core/vector.h"

namespace vo {

// Axis-aligned box. The corners are kept as given: nothing sorts them, and a
// box whose min exceeds its max on an axis is merged as it stands.
//
// Union and growth work per axis: a candidate replaces the lower corner only
// when strictly smaller and the upper corner only when strictly larger, so on
// equal values (0 and -0 among them) the first operand's value stays.
// Default: both corners at the origin.
struct AABox {
    AABox() {}
    AABox(const vector3& min_, const vector3& max_) : min(min_), max(max_) {}
    // The smallest box holding both; a's values win ties.
    AABox(const AABox& a, const AABox& b) : min(a.min), max(a.max) { add_box(b); }
    // box grown to hold p.
    AABox(const AABox& box, const vector3& p) : min(box.min), max(box.max) { add_point(p); }
    explicit AABox(const Sphere& s);
    // The smallest box holding the points, added in array order; count 0
    // gives the box with both corners at the origin.
    AABox(const vector3* points, unsigned int count);

    vector3 center() const {
        return vector3((min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f, (min.z + max.z) * 0.5f);
    }
    vector3 extension() const { return vector3(max.x - min.x, max.y - min.y, max.z - min.z); }

    // Keeps the centre.
    void set_extension(const vector3& e);
    // Keeps the centre; each axis's extension is multiplied by its factor.
    void scale(const vector3& s);

    void set_point(const vector3& p) {
        min = p;
        max = p;
    }
    void add_point(const vector3& p) {
        if (p.x < min.x) min.x = p.x;
        if (p.y < min.y) min.y = p.y;
        if (p.z < min.z) min.z = p.z;
        if (p.x > max.x) max.x = p.x;
        if (p.y > max.y) max.y = p.y;
        if (p.z > max.z) max.z = p.z;
    }
    void add_box(const AABox& b) {
        if (b.min.x < min.x) min.x = b.min.x;
        if (b.min.y < min.y) min.y = b.min.y;
        if (b.min.z < min.z) min.z = b.min.z;
        if (b.max.x > max.x) max.x = b.max.x;
        if (b.max.y > max.y) max.y = b.max.y;
        if (b.max.z > max.z) max.z = b.max.z;
    }

    vector3 min;
    vector3 max;
};

}  // namespace vo

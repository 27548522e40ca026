#include "game/camera/obox.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace vo {

static_assert(sizeof(OBox) == 15 * sizeof(float), "OBox is fifteen packed floats");
static_assert(std::is_trivially_copyable<OBox>::value, "OBox is a plain value");

namespace {

const float kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

// p0 + (p2 - p0) t + (p1 + p3) b for one component, b = t - t².
float SplineComponent(float p0, float p1, float p2, float p3, float t, float b) {
    return p0 + (p2 - p0) * t + (p1 + p3) * b;
}

vector3 SplineVector(const vector3& p0, const vector3& p1, const vector3& p2, const vector3& p3, float t, float b) {
    return vector3(SplineComponent(p0.x, p1.x, p2.x, p3.x, t, b), SplineComponent(p0.y, p1.y, p2.y, p3.y, t, b),
                   SplineComponent(p0.z, p1.z, p2.z, p3.z, t, b));
}

}  // namespace

OBox::OBox() { set_rotation(kIdentity); }

vector3 OBox::to_frame(const vector3& p) const {
    const float* m = rotation;
    return vector3(m[0] * p.x + m[1] * p.y + m[2] * p.z, m[3] * p.x + m[4] * p.y + m[5] * p.z,
                   m[6] * p.x + m[7] * p.y + m[8] * p.z);
}

vector3 OBox::to_world(const vector3& q) const {
    const float* m = rotation;
    return vector3(m[0] * q.x + m[3] * q.y + m[6] * q.z, m[1] * q.x + m[4] * q.y + m[7] * q.z,
                   m[2] * q.x + m[5] * q.y + m[8] * q.z);
}

void OBox::set_rotation_z(float degrees) {
    const float r = degrees * 3.1415927f / 180.0f;
    const float c = std::cos(r);
    const float s = std::sin(r);
    const float m[9] = {c, -s, 0, s, c, 0, 0, 0, 1};
    set_rotation(m);
}

void OBox::set_rotation(const float (&m)[9]) { std::copy(m, m + 9, rotation); }

void OBox::rotate_to(const float (&m)[9]) {
    const vector3 w = world_center();
    const vector3 e = extension();
    set_rotation(m);
    set_point(to_frame(w));
    set_extension(e);
}

void OBox::add_world_box(const AABox& a, bool& empty) {
    for (int i = 0; i < 8; ++i) {
        const vector3 corner((i & 1) ? a.max.x : a.min.x, (i & 2) ? a.max.y : a.min.y, (i & 4) ? a.max.z : a.min.z);
        const vector3 q = to_frame(corner);
        if (empty) {
            set_point(q);
            empty = false;
        } else {
            add_point(q);
        }
    }
}

OBox BSplineBlend(const OBox& p0, const OBox& p1, const OBox& p2, const OBox& p3, float t) {
    const float b = t - t * t;
    OBox out;
    out.min = SplineVector(p0.min, p1.min, p2.min, p3.min, t, b);
    out.max = SplineVector(p0.max, p1.max, p2.max, p3.max, t, b);
    out.set_rotation(p3.rotation);
    return out;
}

}  // namespace vo

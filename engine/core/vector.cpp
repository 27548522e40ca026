#include "engine/core/vector.h"

#include <cmath>
#include <ostream>
#include <type_traits>

namespace vo {

static_assert(sizeof(vector2) == 2 * sizeof(float), "vector2 must be two packed floats");
static_assert(sizeof(vector3) == 3 * sizeof(float), "vector3 must be three packed floats");
static_assert(sizeof(vector4) == 4 * sizeof(float), "vector4 must be four packed floats");
static_assert(std::is_trivially_copyable<vector3>::value, "vectors are plain values");
static_assert(std::is_standard_layout<vector3>::value, "vectors are plain values");

const unsigned int vector2::SIZE = 2;
const unsigned int vector3::SIZE = 3;
const unsigned int vector4::SIZE = 4;

void NormalizeVector3(vector3& out, const vector3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length > 0.0f) {
        const float inv = 1.0f / length;
        const float x = v.x * inv;
        const float y = v.y * inv;
        const float z = v.z * inv;
        out.x = x;
        out.y = y;
        out.z = z;
    } else {
        out = v;
    }
}

std::ostream& operator<<(std::ostream& os, const vector2& v) {
    return os << "(" << v.x << ", " << v.y << ")";
}

std::ostream& operator<<(std::ostream& os, const vector3& v) {
    return os << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

std::ostream& operator<<(std::ostream& os, const vector4& v) {
    return os << "(" << v.x << ", " << v.y << ", " << v.z << ", " << v.w << ")";
}

}  // namespace vo

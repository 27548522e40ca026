#include "engine/core/aabox.h"

#include <type_traits>

namespace vo {

static_assert(sizeof(AABox) == 6 * sizeof(float), "AABox must be six packed floats");
static_assert(std::is_trivially_copyable<AABox>::value, "AABox is a plain value");

AABox::AABox(const Sphere& s)
    : min(s.center().x - s.radius(), s.center().y - s.radius(), s.center().z - s.radius()),
      max(s.center().x + s.radius(), s.center().y + s.radius(), s.center().z + s.radius()) {}

AABox::AABox(const vector3* points, unsigned int count) {
    if (count == 0) return;  // both corners stay at the origin
    min = points[0];
    max = points[0];
    for (unsigned int i = 1; i < count; ++i) add_point(points[i]);
}

void AABox::set_extension(const vector3& e) {
    const vector3 c = center();
    min = vector3(c.x - e.x * 0.5f, c.y - e.y * 0.5f, c.z - e.z * 0.5f);
    max = vector3(c.x + e.x * 0.5f, c.y + e.y * 0.5f, c.z + e.z * 0.5f);
}

void AABox::scale(const vector3& s) {
    const vector3 c = center();
    const vector3 half(s.x * (max.x - min.x) * 0.5f, s.y * (max.y - min.y) * 0.5f, s.z * (max.z - min.z) * 0.5f);
    min = vector3(c.x - half.x, c.y - half.y, c.z - half.z);
    max = vector3(c.x + half.x, c.y + half.y, c.z + half.z);
}

}  // namespace vo

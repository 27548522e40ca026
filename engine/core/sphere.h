#pragma once

#include "engine/core/vector.h"

namespace vo {

// Bounding sphere. Every test is inclusive and compares squared distances.
// Default: centre at the origin, radius 0.
class Sphere {
public:
    Sphere() : center_(), radius_(0.0f) {}
    Sphere(const vector3& center, float radius) : center_(center), radius_(radius) {}
    // Centre (x, y, 0).
    Sphere(const vector2& center, float radius) : center_(center), radius_(radius) {}

    vector3& center() { return center_; }
    const vector3& center() const { return center_; }
    float& radius() { return radius_; }
    float radius() const { return radius_; }

    // Distance in the x-y plane only; z plays no part.
    bool contains_point(const vector2& p) const {
        const float dx = center_.x - p.x;
        const float dy = center_.y - p.y;
        return dx * dx + dy * dy <= radius_ * radius_;
    }
    bool contains_point(const vector3& p) const {
        const float dx = center_.x - p.x;
        const float dy = center_.y - p.y;
        const float dz = center_.z - p.z;
        return dx * dx + dy * dy + dz * dz <= radius_ * radius_;
    }
    // Touching spheres intersect.
    bool intersects(const Sphere& o) const {
        const float dx = center_.x - o.center_.x;
        const float dy = center_.y - o.center_.y;
        const float dz = center_.z - o.center_.z;
        const float r = radius_ + o.radius_;
        return dx * dx + dy * dy + dz * dz <= r * r;
    }

private:
    vector3 center_;
    float radius_;
};

}  // namespace vo

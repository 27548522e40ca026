#pragma once

#include "engine/core/aabox.h"
#include "engine/core/vector.h"

namespace vo {

// Two-dimensional rectangle with corners min and max, kept as given.
// Default: both corners at the origin.
class Rect {
public:
    Rect() {}
    Rect(float min_x, float min_y, float max_x, float max_y) : min_(min_x, min_y), max_(max_x, max_y) {}
    Rect(const vector2& min, const vector2& max) : min_(min), max_(max) {}
    // The box's x and y.
    explicit Rect(const AABox& box) : min_(box.min.x, box.min.y), max_(box.max.x, box.max.y) {}

    vector2& min() { return min_; }
    const vector2& min() const { return min_; }
    vector2& max() { return max_; }
    const vector2& max() const { return max_; }

    // Signed: negative when the corners are crossed.
    float width() const { return max_.x - min_.x; }
    float height() const { return max_.y - min_.y; }

    // Edges and corners count as inside.
    bool contains_point(const vector2& p) const {
        return min_.x <= p.x && p.x <= max_.x && min_.y <= p.y && p.y <= max_.y;
    }
    // z is ignored.
    bool contains_point(const vector3& p) const {
        return min_.x <= p.x && p.x <= max_.x && min_.y <= p.y && p.y <= max_.y;
    }

private:
    vector2 min_;
    vector2 max_;
};

}  // namespace vo

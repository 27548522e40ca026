#pragma once

// The angle, in degrees from 0 to 360, of a unit vector (x, y) measured from
// straight down, as the match turns its world and its aims by it: (0, -1)
// gives 0, (1, 0) 90, (0, 1) 180 and (-1, 0) 270. Both components are
// clamped to -1 .. 1 first.

#include <algorithm>
#include <cmath>

namespace vo {

inline float TurnAngleDegrees(float x, float y) {
    constexpr float kPi = 3.1415927f;
    const float a = std::acos(std::max(-1.0f, std::min(1.0f, y))) * 180.0f / kPi;
    const float s = std::asin(std::max(-1.0f, std::min(1.0f, x))) * 180.0f / kPi;
    return s >= 0.0f ? 180.0f - a : a + 180.0f;
}

}  // namespace vo

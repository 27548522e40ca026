#pragma once

// Lets the engine's tweens (LinearTween, SmoothTween) animate vector3 values:
// the camera's shake offset, look-at point and pan offset.

#include "engine/core/tweener.h"
#include "engine/core/vector.h"

namespace vo {

// to s + from (1 - s), per component.
inline vector3 TweenBlend(vector3 const& from, vector3 const& to, float s) {
    const float r = 1.0f - s;
    return vector3(to.x * s + from.x * r, to.y * s + from.y * r, to.z * s + from.z * r);
}

}  // namespace vo

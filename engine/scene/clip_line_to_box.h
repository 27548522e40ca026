#pragma once

#include "engine/core/vector.h"

namespace vo {

// Where the line p + t * d lies inside the box [min, max] (slab method,
// faces included). On success writes the two ends of the parameter interval,
// the one nearer to zero to *ta and the other to *tb (null pointers are
// skipped). A point-like d succeeds when p lies in the box, with both ends 0.
bool ClipLineToBox(const vector3& p, const vector3& d, const vector3& min, const vector3& max, float* ta, float* tb);

// The test the collision queries apply to ClipLineToBox's result: the segment
// from p to p + d meets the box.
inline bool SegmentMeetsClip(float ta, float tb) { return ta * tb < 0.0f || (ta >= 0.0f && ta <= 1.0f); }

// ClipLineToBox followed by SegmentMeetsClip.
inline bool SegmentMeetsBox(const vector3& p, const vector3& d, const vector3& min, const vector3& max) {
    float ta, tb;
    return ClipLineToBox(p, d, min, max, &ta, &tb) && SegmentMeetsClip(ta, tb);
}

// p inside [min, max] on all three axes, faces included.
inline bool PointInBox(const vector3& p, const vector3& min, const vector3& max) {
    return p.x >= min.x && p.x <= max.x && p.y >= min.y && p.y <= max.y && p.z >= min.z && p.z <= max.z;
}

}  // namespace vo

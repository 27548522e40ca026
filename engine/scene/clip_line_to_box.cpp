#include "engine/scene/clip_line_to_box.h"

#include <cmath>

namespace vo {

bool ClipLineToBox(const vector3& p, const vector3& d, const vector3& min, const vector3& max, float* ta, float* tb) {
    const float eps = 1e-6f;
    bool have_interval = false;
    float lo = 0.0f, hi = 0.0f;
    for (unsigned int axis = 0; axis < 3; ++axis) {
        const float da = d[axis];
        if (std::fabs(da) > eps) {
            float t1 = (min[axis] - p[axis]) / da;
            float t2 = (max[axis] - p[axis]) / da;
            if (t1 > t2) {
                const float t = t1;
                t1 = t2;
                t2 = t;
            }
            if (!have_interval) {
                lo = t1;
                hi = t2;
                have_interval = true;
            } else {
                if (hi < t1 || t2 < lo) return false;
                if (t1 > lo) lo = t1;
                if (t2 < hi) hi = t2;
            }
        } else if (p[axis] < min[axis] || p[axis] > max[axis]) {
            return false;
        }
    }
    if (!have_interval) {
        // Point-like: every axis already checked p against the box.
        if (ta) *ta = 0.0f;
        if (tb) *tb = 0.0f;
        return true;
    }
    if (std::fabs(lo) > std::fabs(hi)) {
        const float t = lo;
        lo = hi;
        hi = t;
    }
    if (ta) *ta = lo;
    if (tb) *tb = hi;
    return true;
}

}  // namespace vo

#pragma once

// The camera's box: an axis-aligned box in a turned frame.

#include "engine/core/aabox.h"

namespace vo {

// min and max bound an axis-aligned box in the box's own frame; rotation is
// the 3 x 3 matrix M (row-major) of that frame: a world point p has frame
// coordinates M p, a frame point q has world coordinates Mᵀ q. The AABox
// operations act on min and max, that is in the frame. Copies carry all
// fifteen floats.
struct OBox : AABox {
    // Both corners at the origin, identity rotation.
    OBox();

    // M p.
    vector3 to_frame(const vector3& world) const;
    // Mᵀ q.
    vector3 to_world(const vector3& frame) const;
    // The centre in world coordinates.
    vector3 world_center() const { return to_world(center()); }

    // M := the turn about the depth axis by degrees:
    // [[cos, -sin, 0], [sin, cos, 0], [0, 0, 1]].
    void set_rotation_z(float degrees);
    void set_rotation(const float (&m)[9]);

    // Gives the box the rotation m, keeping its size and its world centre.
    void rotate_to(const float (&m)[9]);

    // Takes the eight corners of the world box a into this box's frame and
    // grows the box to hold them. While empty is true the first corner sets
    // both corners of the box (and empty becomes false).
    void add_world_box(const AABox& a, bool& empty);

    float rotation[9];
};

// The spline value of four control boxes at t: min and max each
// p0 + (p2 - p0) t + (p1 + p3)(t - t²), componentwise; the rotation is p3's.
OBox BSplineBlend(const OBox& p0, const OBox& p1, const OBox& p2, const OBox& p3, float t);

}  // namespace vo

#pragma once

// The clockwise order of a soft body's border points, shared by
// SoftBody::sort_boundary_points_clockwise and the soft-body file loader.

#include <vector>

#include "engine/core/vector.h"

namespace vo {

// Walks the border of a body clockwise from its topmost point (ties: the
// one nearest the vertical axis, then the one on the negative side), along
// the edges of the triangles (three point indices each; indices outside
// 0 .. border - 1 take no part). On success new_index[i] is the place of
// border point i in that order. False when there are fewer than two border
// points or the triangles do not chain the border into one outline.
//
// The edges are gathered once, so the walk takes time in proportion to the
// number of border points and triangle corners.
bool ClockwiseBorderOrder(const vector3* border_positions, int border, const std::vector<int>& triangles,
                          std::vector<int>& new_index);

}  // namespace vo

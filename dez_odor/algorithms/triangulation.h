#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment_accessor.h"
#include "dez_odor/grid/base_elements.h"
#include "dez_odor/grid/element_iterator.h"

namespace mg {

class Grid;
class Quadrilateral;

using vector3 = MathVector<3, float>;
using PositionAccessor3 = AttachmentAccessor<Vertex, vector3>;

// The quality of a triangle: twice the smallest 1 - |cos a| over its corner
// angles a. 1 for an equilateral triangle, 2 - sqrt(2) for a right isosceles
// one, 0 for a degenerate one (also when corners coincide).
float TriangleQuality(const vector3& p0, const vector3& p1, const vector3& p2);

// Replaces the quadrilateral (V0, V1, V2, V3) by two triangles, each created
// with q as parent, then erases q. Without positions the diagonal is V0-V2:
// (V0, V1, V2), then (V2, V3, V0). With positions the diagonal V1-V3 is taken
// when the worse triangle of the V0-V2 split is strictly worse (by
// TriangleQuality) than the worse one of the V1-V3 split: (V1, V2, V3), then
// (V3, V0, V1). Both keep q's orientation.
void Triangulate(Grid& grid, Quadrilateral* q, PositionAccessor3* paaPos = nullptr);

// Triangulates every quadrilateral of the range, for example
// grid.begin<Quadrilateral>() ... grid.end<Quadrilateral>().
void Triangulate(Grid& grid, ElementIterator<Quadrilateral> begin,
                 ElementIterator<Quadrilateral> end, PositionAccessor3* paaPos = nullptr);

}  // namespace mg

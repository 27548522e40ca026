#pragma once

#include "engine/core/vector.h"

namespace vo {

// Moves q along `direction` onto the plane of the triangle a, b, c:
// solves s (b - a) + t (c - a) - u direction = q - a by elimination with
// pivoting. Succeeds when the system is solvable and the point lies in the
// triangle (s >= -1e-6, t >= -1e-6, s + t <= 1 + 1e-6); then point = q + u
// direction and s, t are its coordinates. With direction the triangle's
// normal, the point is the foot of the perpendicular from q.
bool ProjectPointOntoTriangle(vector3& point, float& s, float& t, const vector3& q, const vector3& a,
                              const vector3& b, const vector3& c, const vector3& direction);

// The point of the triangle a, b, c nearest to q, with `normal` the
// triangle's (unnormalised) normal. Returns the distance; writes the point and
// its coordinates, point = a + s (b - a) + t (c - a). Where the perpendicular
// foot lies inside the triangle it is the answer; otherwise the nearest point
// of the three sides (the first side wins ties, in the order ab, ac, bc).
float ClosestPointOnTriangle(vector3& point, float& s, float& t, const vector3& q, const vector3& a,
                             const vector3& b, const vector3& c, const vector3& normal);

}  // namespace vo

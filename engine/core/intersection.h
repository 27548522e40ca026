#pragma once

namespace vo {

// Intersection predicates over plain float triples (x, y, z), used by the
// collision trees. All are free of state.

// True when the triangle a, b, c and the axis-aligned box share at least one
// point (faces, edges and corners count). A box with zero extent on an axis
// is treated as thickened by 1e-6 x max(1, |centre|) on that axis, which
// gives every finite triangle a definite answer.
bool TriangleIntersectsBox(float const a[3], float const b[3], float const c[3], float const box_min[3],
                           float const box_max[3]);

// 0 when the triangle (in cube coordinates) meets the cube from -0.5 to 0.5
// on every axis, 1 when it does not.
int TriangleIntersectsCube(float const t[3][3]);

// 0: no intersection; 1: the triangles cross, and when both point pointers
// are non-null they receive the end points of the common segment; 2: the
// triangles are coplanar and overlap (the points are not written).
int IntersectTriangles(float const a0[3], float const a1[3], float const a2[3], float const b0[3],
                       float const b1[3], float const b2[3], float* point1, float* point2);

// 2 when two triangles lying in one plane with normal n overlap, else 0.
int IntersectCoplanarTriangles(float const n[3], float const a0[3], float const a1[3], float const a2[3],
                               float const b0[3], float const b1[3], float const b2[3]);

// True exactly when IntersectTriangles returns 1: a coplanar overlap does
// not count.
bool TrianglesIntersect(float const a0[3], float const a1[3], float const a2[3], float const b0[3],
                        float const b1[3], float const b2[3], float* point1, float* point2);

}  // namespace vo

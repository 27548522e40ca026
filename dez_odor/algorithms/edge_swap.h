#pragma once

namespace mg {

class Grid;
class Edge;

// Replaces the edge e shared by two triangles by the other diagonal of the
// quadrilateral they form. With f0 = (c0, a, b), where c0 is f0's corner off
// e, and c1 the corner of the other face off e: the new edge (c0, c1) (of e's
// class, parent e), the triangle (c0, a, c1) (parent f0) and the triangle
// (b, c0, c1) (parent the other face) are created, then f0, the other face
// and e are erased. Both new triangles keep the old ones' orientation.
// Returns the new edge.
//
// Refuses, with one log line and a null result and without changing the
// grid, when e does not have exactly two faces, when one is no triangle, or
// when the new diagonal exists already. Runs a marking pass (so it throws
// MGError inside another pass). Convexity is not tested: on a quadrilateral
// that is not convex the new triangles fold over.
Edge* SwapEdge(Grid& grid, Edge* e);

}  // namespace mg

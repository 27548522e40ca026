#pragma once

// Questions about the neighbourhood of an edge or a face. None of them
// changes the grid, except that the face counts may run a marking pass or
// make the grid switch a stored neighbourhood on.

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment_accessor.h"
#include "dez_odor/grid/base_elements.h"

namespace mg {

class Grid;

using vector3 = MathVector<3, float>;

// The first side of the face (from side 0) that does not touch vrt, as an
// edge of the grid (null when the grid has no such edge or every side touches
// vrt). For a triangle: the side opposite vrt.
Edge* GetOppositeEdge(Grid& grid, Vertex* vrt, Face* face);

// The other end of the edge; null when vrt is no end of it.
Vertex* GetConnectedVertex(Edge* edge, Vertex* vrt);
// The first corner of the face that is no end of the edge; null if none.
Vertex* GetConnectedVertex(EdgeVertices* edge, Face* face);

// True when the edge runs in the face's corner order (vertex 0 at some
// corner i, vertex 1 at corner i + 1).
bool EdgeOrientationMatches(EdgeVertices* edge, Face* face);

// The local index of the side with the edge's two vertices; -1 when none.
int GetEdgeIndex(Face* face, Edge* edge);

// The number of faces at the edge; the first maxNumFaces of them are written
// to facesOut in the order found.
int GetAssociatedFaces(Face** facesOut, Grid& grid, Edge* edge, int maxNumFaces);
// The number of faces at the edge. Runs a marking pass when edges do not
// store their faces (so it throws MGError inside another pass).
int NumAssociatedFaces(Grid& grid, Edge* edge);
// Exactly one face at the edge.
bool IsBoundaryEdge(Grid& grid, Edge* edge);

// (p1 - p0) x (p2 - p0), normalised; (0, 0, 0) for a degenerate triangle.
void TriangleNormal(vector3& out, const vector3& p0, const vector3& p1, const vector3& p2);
// The unit normal of a face from its corner positions: a triangle's, the
// two-triangle sum of a quadrilateral, (0, 0, 0) below three corners.
void CalculateNormal(vector3& out, Face* face, const AttachmentAccessor<Vertex, vector3>& aaPos);

}  // namespace mg

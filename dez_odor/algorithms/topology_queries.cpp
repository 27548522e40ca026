#include "dez_odor/algorithms/topology_queries.h"

#include "dez_odor/grid/associated_elements.h"
#include "dez_odor/grid/grid.h"

#include <cmath>

namespace mg {

Edge* GetOppositeEdge(Grid& grid, Vertex* vrt, Face* face)
{
    const unsigned int numEdges = face->num_edges();
    EdgeDescriptor ed;
    for (unsigned int i = 0; i < numEdges; ++i) {
        face->edge_desc(static_cast<int>(i), ed);
        if (ed.vertex(0) != vrt && ed.vertex(1) != vrt)
            return grid.get_edge(ed);
    }
    return nullptr;
}

Vertex* GetConnectedVertex(Edge* edge, Vertex* vrt)
{
    if (edge->vertex(0) == vrt)
        return edge->vertex(1);
    if (edge->vertex(1) == vrt)
        return edge->vertex(0);
    return nullptr;
}

Vertex* GetConnectedVertex(EdgeVertices* edge, Face* face)
{
    Vertex* v0 = edge->vertex(0);
    Vertex* v1 = edge->vertex(1);
    const unsigned int n = face->num_vertices();
    for (unsigned int i = 0; i < n; ++i) {
        Vertex* c = face->vertex(i);
        if (c != v0 && c != v1)
            return c;
    }
    return nullptr;
}

bool EdgeOrientationMatches(EdgeVertices* edge, Face* face)
{
    Vertex* v0 = edge->vertex(0);
    const unsigned int n = face->num_vertices();
    for (unsigned int i = 0; i < n; ++i) {
        if (face->vertex(i) == v0)
            return face->vertex((i + 1) % n) == edge->vertex(1);
    }
    return false;
}

int GetEdgeIndex(Face* face, Edge* edge)
{
    const unsigned int numEdges = face->num_edges();
    EdgeDescriptor ed;
    for (unsigned int i = 0; i < numEdges; ++i) {
        face->edge_desc(static_cast<int>(i), ed);
        if (CompareVertices(&ed, edge))
            return static_cast<int>(i);
    }
    return -1;
}

int GetAssociatedFaces(Face** facesOut, Grid& grid, Edge* edge, int maxNumFaces)
{
    int count = 0;
    if (grid.option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES)) {
        Grid::AssociatedFaceIterator iEnd = grid.associated_faces_end(edge);
        for (Grid::AssociatedFaceIterator it = grid.associated_faces_begin(edge); it != iEnd;
             ++it) {
            if (count < maxNumFaces)
                facesOut[count] = *it;
            ++count;
        }
        return count;
    }

    Vertex* v0 = edge->vertex(0);
    Vertex* v1 = edge->vertex(1);
    Grid::AssociatedFaceIterator iBegin = grid.associated_faces_begin(v0);
    Grid::AssociatedFaceIterator iEnd = grid.associated_faces_end(v0);
    for (Grid::AssociatedFaceIterator it = iBegin; it != iEnd; ++it) {
        Face* f = *it;
        int numShared = 0;
        const unsigned int n = f->num_vertices();
        for (unsigned int i = 0; i < n; ++i) {
            Vertex* c = f->vertex(i);
            if (c == v0 || c == v1)
                ++numShared;
        }
        if (numShared >= 2) {
            if (count < maxNumFaces)
                facesOut[count] = f;
            ++count;
        }
    }
    return count;
}

int NumAssociatedFaces(Grid& grid, Edge* edge)
{
    if (grid.option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES))
        return static_cast<int>(grid.associated_faces_end(edge) -
                                grid.associated_faces_begin(edge));

    Vertex* v0 = edge->vertex(0);
    grid.begin_marking();
    grid.mark(v0);
    grid.mark(edge->vertex(1));
    int count = 0;
    Grid::AssociatedFaceIterator iBegin = grid.associated_faces_begin(v0);
    Grid::AssociatedFaceIterator iEnd = grid.associated_faces_end(v0);
    for (Grid::AssociatedFaceIterator it = iBegin; it != iEnd; ++it) {
        Face* f = *it;
        int numMarked = 0;
        const unsigned int n = f->num_vertices();
        for (unsigned int i = 0; i < n; ++i) {
            if (grid.is_marked(f->vertex(i)))
                ++numMarked;
        }
        if (numMarked >= 2)
            ++count;
    }
    grid.end_marking();
    return count;
}

bool IsBoundaryEdge(Grid& grid, Edge* edge)
{
    return NumAssociatedFaces(grid, edge) == 1;
}

namespace {

vector3 cross(const vector3& a, const vector3& b)
{
    return vector3(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]);
}

// Divides by the length when it is greater than 0: the length is the root of
// the single-precision sum of squares, taken in double precision.
void normalize_into(vector3& out, const vector3& v)
{
    const float sq = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const float len = static_cast<float>(std::sqrt(static_cast<double>(sq)));
    if (len > 0) {
        const float inv = 1.0f / len;
        out = vector3(v[0] * inv, v[1] * inv, v[2] * inv);
    } else {
        out = v;
    }
}

}  // namespace

void TriangleNormal(vector3& out, const vector3& p0, const vector3& p1, const vector3& p2)
{
    normalize_into(out, cross(p1 - p0, p2 - p0));
}

void CalculateNormal(vector3& out, Face* face, const AttachmentAccessor<Vertex, vector3>& aaPos)
{
    const unsigned int n = face->num_vertices();
    if (n < 3) {
        out = vector3(0, 0, 0);
        return;
    }
    if (n == 4) {
        const vector3& p0 = aaPos[face->vertex(0)];
        const vector3& p1 = aaPos[face->vertex(1)];
        const vector3& p2 = aaPos[face->vertex(2)];
        const vector3& p3 = aaPos[face->vertex(3)];
        normalize_into(out, cross(p1 - p0, p2 - p0) + cross(p3 - p2, p0 - p2));
        return;
    }
    TriangleNormal(out, aaPos[face->vertex(0)], aaPos[face->vertex(1)], aaPos[face->vertex(2)]);
}

}  // namespace mg

#include "support/grid/test_tetrahedron.h"

#include "dez_odor/grid_objects/regular_edge.h"
#include "dez_odor/grid_objects/triangle.h"

namespace mg_test {

const int TestTetrahedron::EDGE_CORNERS[6][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
const int TestTetrahedron::FACE_CORNERS[4][3] = {{0, 2, 1}, {0, 1, 3}, {1, 2, 3}, {2, 0, 3}};

void TestTetrahedron::edge_desc(int i, mg::EdgeDescriptor& edOut) const
{
    edOut.set_vertices(m_vertices[EDGE_CORNERS[i][0]], m_vertices[EDGE_CORNERS[i][1]]);
}

void TestTetrahedron::face_desc(int i, mg::FaceDescriptor& fdOut) const
{
    fdOut.set_num_vertices(3);
    for (unsigned int j = 0; j < 3; ++j)
        fdOut.set_vertex(j, m_vertices[FACE_CORNERS[i][j]]);
}

mg::Edge* TestTetrahedron::create_edge(int i) const
{
    return new mg::RegularEdge(m_vertices[EDGE_CORNERS[i][0]], m_vertices[EDGE_CORNERS[i][1]]);
}

mg::Face* TestTetrahedron::create_face(int i) const
{
    return new mg::Triangle(m_vertices[FACE_CORNERS[i][0]], m_vertices[FACE_CORNERS[i][1]],
                            m_vertices[FACE_CORNERS[i][2]]);
}

bool TestTetrahedron::refine(std::vector<mg::Volume*>& newVolumesOut,
                             mg::Vertex** newVolumeVertexOut, mg::Vertex** newEdgeVertices,
                             mg::Vertex** newFaceVertices, mg::Vertex* newVolumeVertex,
                             const mg::Vertex&, mg::Vertex** substituteVertices) const
{
    newVolumesOut.clear();
    if (newVolumeVertexOut)
        *newVolumeVertexOut = nullptr;
    if (newVolumeVertex || !newEdgeVertices)
        return false;
    if (newFaceVertices)
        for (int i = 0; i < 4; ++i)
            if (newFaceVertices[i])
                return false;

    int split = -1;
    for (int i = 0; i < 6; ++i) {
        if (newEdgeVertices[i]) {
            if (split >= 0)
                return false;
            split = i;
        }
    }
    if (split < 0)
        return false;

    mg::Vertex* const* V = substituteVertices ? substituteVertices : m_vertices;
    mg::Vertex* p = newEdgeVertices[split];
    // Moving one end of the split edge onto p keeps the orientation.
    for (int end = 1; end >= 0; --end) {
        mg::Vertex* c[4] = {V[0], V[1], V[2], V[3]};
        c[EDGE_CORNERS[split][end]] = p;
        newVolumesOut.push_back(new TestTetrahedron(c[0], c[1], c[2], c[3]));
    }
    return true;
}

}  // namespace mg_test

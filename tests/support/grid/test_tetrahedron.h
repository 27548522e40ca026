#pragma once

#include "dez_odor/grid/base_elements.h"

namespace mg_test {

// A volume for tests, since the library ships none: four corners, six edges
// ((0,1), (1,2), (2,0), (0,3), (1,3), (2,3)) and four triangular faces
// ((0,2,1), (0,1,3), (1,2,3), (2,0,3)), outward for a tetrahedron whose
// corner 3 lies above the counter-clockwise triangle (0,1,2). Its refine
// splits it at one new edge vertex into two tetrahedra of the same
// orientation and refuses every other request.
class TestTetrahedron : public mg::Volume {
public:
    static constexpr int CONTAINER_SECTION = 0;
    static constexpr int SHAPE_KIND = 4;
    static const int EDGE_CORNERS[6][2];
    static const int FACE_CORNERS[4][3];

    TestTetrahedron() : m_vertices{nullptr, nullptr, nullptr, nullptr} {}
    TestTetrahedron(mg::Vertex* v0, mg::Vertex* v1, mg::Vertex* v2, mg::Vertex* v3)
        : m_vertices{v0, v1, v2, v3}
    {
    }

    mg::Vertex* vertex(unsigned int i) const override { return m_vertices[i]; }
    mg::Vertex* const* vertices() const override { return m_vertices; }
    unsigned int num_vertices() const override { return 4; }

    mg::GridObject* create_empty_instance() const override { return new TestTetrahedron; }
    int container_section() const override { return CONTAINER_SECTION; }
    int shape_kind() const override { return SHAPE_KIND; }

    unsigned int num_edges() const override { return 6; }
    unsigned int num_faces() const override { return 4; }
    void edge_desc(int i, mg::EdgeDescriptor& edOut) const override;
    void face_desc(int i, mg::FaceDescriptor& fdOut) const override;
    mg::Edge* create_edge(int i) const override;
    mg::Face* create_face(int i) const override;
    bool refine(std::vector<mg::Volume*>& newVolumesOut, mg::Vertex** newVolumeVertexOut,
                mg::Vertex** newEdgeVertices, mg::Vertex** newFaceVertices,
                mg::Vertex* newVolumeVertex, const mg::Vertex& prototypeVertex,
                mg::Vertex** substituteVertices) const override;
    void set_vertex(unsigned int index, mg::Vertex* vrt) override { m_vertices[index] = vrt; }

private:
    mg::Vertex* m_vertices[4];
};

}  // namespace mg_test

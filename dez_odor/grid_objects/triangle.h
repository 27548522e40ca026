#pragma once

#include "dez_odor/grid/base_elements.h"

namespace mg {

// The corner storage and element operations of a three-cornered face.
// TConcrete is the finished class built on it (Triangle), TBase its face base.
template <class TConcrete, class TBase>
class CustomTriangle : public TBase {
public:
    CustomTriangle() : m_vertices{nullptr, nullptr, nullptr} {}
    explicit CustomTriangle(const TriangleDescriptor& td)
        : m_vertices{td.vertex(0), td.vertex(1), td.vertex(2)}
    {
    }
    CustomTriangle(Vertex* v0, Vertex* v1, Vertex* v2) : m_vertices{v0, v1, v2} {}

    Vertex* vertex(unsigned int i) const override { return m_vertices[i]; }
    Vertex* const* vertices() const override { return m_vertices; }
    unsigned int num_vertices() const override { return 3; }
    int shape_kind() const override { return SK_TRIANGLE; }

    bool opposite_side(const EdgeVertices* side, EdgeDescriptor& edOut) const override;
    std::pair<int, int> opposite_object(Vertex* vrt) const override;
    bool refine(std::vector<Face*>& newFacesOut, Vertex** newFaceVertexOut,
                Vertex** newEdgeVertices, Vertex* newFaceVertex,
                Vertex** substituteVertices) const override;
    bool collapse_edge(std::vector<Face*>& newFacesOut, int edgeIndex, Vertex* newVertex,
                       Vertex** substituteVertices) const override;
    bool collapse_edges(std::vector<Face*>& newFacesOut,
                        const std::vector<Vertex*>& newEdgeVertices,
                        Vertex** substituteVertices) const override;
    void split_by_edge_vertex(int edgeIndex, Vertex* newVertex, std::vector<Face*>& newFacesOut,
                              Vertex** substituteVertices) const override;
    void set_vertex(unsigned int index, Vertex* vrt) override { m_vertices[index] = vrt; }

protected:
    Vertex* m_vertices[3];
};

// The triangle of the library: face section 0.
class Triangle : public CustomTriangle<Triangle, Face> {
public:
    static constexpr int CONTAINER_SECTION = 0;

    using CustomTriangle<Triangle, Face>::CustomTriangle;

    GridObject* create_empty_instance() const override { return new Triangle; }
    int container_section() const override { return CONTAINER_SECTION; }
};

extern template class CustomTriangle<Triangle, Face>;

}  // namespace mg

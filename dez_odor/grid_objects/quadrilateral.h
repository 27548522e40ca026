#pragma once

#include "dez_odor/grid/base_elements.h"

namespace mg {

// The corner storage and element operations of a four-cornered face.
// TConcrete is the finished class built on it (Quadrilateral).
template <class TConcrete, class TBase>
class CustomQuadrilateral : public TBase {
public:
    CustomQuadrilateral() : m_vertices{nullptr, nullptr, nullptr, nullptr} {}
    CustomQuadrilateral(Vertex* v0, Vertex* v1, Vertex* v2, Vertex* v3)
        : m_vertices{v0, v1, v2, v3}
    {
    }

    Vertex* vertex(unsigned int i) const override { return m_vertices[i]; }
    Vertex* const* vertices() const override { return m_vertices; }
    unsigned int num_vertices() const override { return 4; }
    int shape_kind() const override { return SK_QUADRILATERAL; }

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
    Vertex* m_vertices[4];
};

// The quadrilateral of the library: face section 1.
class Quadrilateral : public CustomQuadrilateral<Quadrilateral, Face> {
public:
    static constexpr int CONTAINER_SECTION = 1;

    using CustomQuadrilateral<Quadrilateral, Face>::CustomQuadrilateral;

    GridObject* create_empty_instance() const override { return new Quadrilateral; }
    int container_section() const override { return CONTAINER_SECTION; }
};

extern template class CustomQuadrilateral<Quadrilateral, Face>;

}  // namespace mg

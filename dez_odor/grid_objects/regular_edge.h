#pragma once

#include "dez_odor/grid/base_elements.h"

namespace mg {

// The edge class of the library.
class RegularEdge : public Edge {
public:
    static constexpr int CONTAINER_SECTION = 0;

    RegularEdge() = default;
    RegularEdge(Vertex* v0, Vertex* v1)
    {
        m_vertices[0] = v0;
        m_vertices[1] = v1;
    }
    explicit RegularEdge(const EdgeVertices& ev) : RegularEdge(ev.vertex(0), ev.vertex(1)) {}

    GridObject* create_empty_instance() const override { return new RegularEdge; }
    int container_section() const override { return CONTAINER_SECTION; }
    int shape_kind() const override { return SK_EDGE; }

    bool refine(std::vector<Edge*>& newEdgesOut, Vertex* newVertex,
                Vertex** substituteVertices) const override;
};

}  // namespace mg

#include "dez_odor/grid_objects/regular_edge.h"

namespace mg {

bool RegularEdge::refine(std::vector<Edge*>& newEdgesOut, Vertex* newVertex,
                         Vertex** substituteVertices) const
{
    Vertex* const* v = substituteVertices ? substituteVertices : m_vertices;
    newEdgesOut.clear();
    newEdgesOut.push_back(new RegularEdge(v[0], newVertex));
    newEdgesOut.push_back(new RegularEdge(newVertex, v[1]));
    return true;
}

}  // namespace mg

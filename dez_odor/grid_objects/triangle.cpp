#include "dez_odor/grid_objects/triangle.h"

#include "common/error.h"
#include "common/log.h"
#include "dez_odor/grid_objects/quadrilateral.h"

namespace mg {

template <class TConcrete, class TBase>
bool CustomTriangle<TConcrete, TBase>::opposite_side(const EdgeVertices*, EdgeDescriptor&) const
{
    return false;  // a triangle has no side opposite a side
}

template <class TConcrete, class TBase>
std::pair<int, int> CustomTriangle<TConcrete, TBase>::opposite_object(Vertex* vrt) const
{
    for (int i = 0; i < 3; ++i)
        if (m_vertices[i] == vrt)
            return std::make_pair(static_cast<int>(BOK_EDGE), (i + 1) % 3);
    MG_THROW("The given vertex is not contained in the given face.");
}

template <class TConcrete, class TBase>
bool CustomTriangle<TConcrete, TBase>::refine(std::vector<Face*>& newFacesOut,
                                              Vertex** newFaceVertexOut, Vertex** newEdgeVertices,
                                              Vertex* newFaceVertex,
                                              Vertex** substituteVertices) const
{
    if (newFaceVertexOut)
        *newFaceVertexOut = newFaceVertex;
    newFacesOut.clear();

    Vertex* const* V = substituteVertices ? substituteVertices : m_vertices;
    Vertex* E[3] = {nullptr, nullptr, nullptr};
    int numSplit = 0;
    if (newEdgeVertices) {
        for (int i = 0; i < 3; ++i) {
            E[i] = newEdgeVertices[i];
            if (E[i])
                ++numSplit;
        }
    }

    if (newFaceVertex) {
        if (numSplit > 0)
            return false;
        Vertex* c = newFaceVertex;
        newFacesOut.push_back(new Triangle(V[0], V[1], c));
        newFacesOut.push_back(new Triangle(V[1], V[2], c));
        newFacesOut.push_back(new Triangle(V[2], V[0], c));
        return true;
    }

    switch (numSplit) {
    case 1: {
        int i = 0;
        while (!E[i])
            ++i;
        newFacesOut.push_back(new Triangle(V[(i + 2) % 3], V[i], E[i]));
        newFacesOut.push_back(new Triangle(V[(i + 2) % 3], E[i], V[(i + 1) % 3]));
        return true;
    }
    case 2: {
        int i = 0;  // the unsplit side
        while (E[i])
            ++i;
        const int i1 = (i + 1) % 3, i2 = (i + 2) % 3;
        newFacesOut.push_back(new Triangle(E[i1], V[i2], E[i2]));
        newFacesOut.push_back(new Quadrilateral(V[i], V[i1], E[i1], E[i2]));
        return true;
    }
    case 3:
        newFacesOut.push_back(new Triangle(V[0], E[0], E[2]));
        newFacesOut.push_back(new Triangle(V[1], E[1], E[0]));
        newFacesOut.push_back(new Triangle(V[2], E[2], E[1]));
        newFacesOut.push_back(new Triangle(E[0], E[1], E[2]));
        return true;
    default:
        return false;  // nothing to split at
    }
}

template <class TConcrete, class TBase>
bool CustomTriangle<TConcrete, TBase>::collapse_edge(std::vector<Face*>& newFacesOut, int, Vertex*,
                                                     Vertex**) const
{
    // The triangle vanishes with its collapsed side.
    newFacesOut.clear();
    return true;
}

template <class TConcrete, class TBase>
bool CustomTriangle<TConcrete, TBase>::collapse_edges(std::vector<Face*>& newFacesOut,
                                                      const std::vector<Vertex*>& newEdgeVertices,
                                                      Vertex**) const
{
    if (newEdgeVertices.size() > 3) {
        MG_LOG("WARNING in Triangle::collapse_edges(...): bad number of newEdgeVertices.");
        return false;
    }
    for (Vertex* v : newEdgeVertices) {
        if (v) {
            newFacesOut.clear();
            return true;
        }
    }
    MG_LOG("WARNING in Triangle::collapse:edges(...): no new vertex was specified.");
    return false;
}

template <class TConcrete, class TBase>
void CustomTriangle<TConcrete, TBase>::split_by_edge_vertex(int edgeIndex, Vertex* newVertex,
                                                            std::vector<Face*>& newFacesOut,
                                                            Vertex** substituteVertices) const
{
    Vertex* const* V = substituteVertices ? substituteVertices : m_vertices;
    const int i = edgeIndex;
    newFacesOut.push_back(new Triangle(V[i], newVertex, V[(i + 2) % 3]));
    newFacesOut.push_back(new Triangle(newVertex, V[(i + 1) % 3], V[(i + 2) % 3]));
}

template class CustomTriangle<Triangle, Face>;

}  // namespace mg

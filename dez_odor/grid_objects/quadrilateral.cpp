#include "dez_odor/grid_objects/quadrilateral.h"

#include "common/error.h"
#include "common/log.h"
#include "dez_odor/grid_objects/regular_vertex.h"
#include "dez_odor/grid_objects/triangle.h"

namespace mg {

template <class TConcrete, class TBase>
bool CustomQuadrilateral<TConcrete, TBase>::opposite_side(const EdgeVertices* side,
                                                          EdgeDescriptor& edOut) const
{
    Vertex* a = side->vertex(0);
    Vertex* b = side->vertex(1);
    for (int j = 0; j < 4; ++j) {
        Vertex* c = m_vertices[j];
        Vertex* d = m_vertices[(j + 1) % 4];
        if ((c == a && d == b) || (c == b && d == a)) {
            this->edge_desc((j + 2) % 4, edOut);
            return true;
        }
    }
    return false;
}

template <class TConcrete, class TBase>
std::pair<int, int> CustomQuadrilateral<TConcrete, TBase>::opposite_object(Vertex* vrt) const
{
    for (int i = 0; i < 4; ++i)
        if (m_vertices[i] == vrt)
            return std::make_pair(static_cast<int>(BOK_VERTEX), (i + 2) % 4);
    MG_THROW("The given vertex is not contained in the given face.");
}

template <class TConcrete, class TBase>
bool CustomQuadrilateral<TConcrete, TBase>::refine(std::vector<Face*>& newFacesOut,
                                                   Vertex** newFaceVertexOut,
                                                   Vertex** newEdgeVertices, Vertex* newFaceVertex,
                                                   Vertex** substituteVertices) const
{
    if (newFaceVertexOut)
        *newFaceVertexOut = newFaceVertex;
    newFacesOut.clear();

    Vertex* const* V = substituteVertices ? substituteVertices : m_vertices;
    Vertex* E[4] = {nullptr, nullptr, nullptr, nullptr};
    int numSplit = 0;
    if (newEdgeVertices) {
        for (int i = 0; i < 4; ++i) {
            E[i] = newEdgeVertices[i];
            if (E[i])
                ++numSplit;
        }
    }
    auto v = [V](int i) { return V[i % 4]; };
    auto e = [&E](int i) { return E[i % 4]; };

    switch (numSplit) {
    case 0: {
        if (!newFaceVertex)
            return false;
        Vertex* c = newFaceVertex;
        for (int i = 0; i < 4; ++i)
            newFacesOut.push_back(new Triangle(v(i), v(i + 1), c));
        return true;
    }
    case 1: {
        if (newFaceVertex)
            return false;
        int i = 0;
        while (!E[i])
            ++i;
        newFacesOut.push_back(new Triangle(v(i + 3), v(i), e(i)));
        newFacesOut.push_back(new Triangle(v(i + 3), e(i), v(i + 2)));
        newFacesOut.push_back(new Triangle(v(i + 2), e(i), v(i + 1)));
        return true;
    }
    case 2: {
        if (newFaceVertex)
            return false;
        int a = 0;
        while (!E[a])
            ++a;
        int b = a + 1;
        while (!E[b])
            ++b;
        if (b == a + 2) {
            // opposite sides: two quadrilaterals
            newFacesOut.push_back(new Quadrilateral(v(a + 3), v(a), e(a), e(b)));
            newFacesOut.push_back(new Quadrilateral(e(b), e(a), v(a + 1), v(a + 2)));
            return true;
        }
        // adjacent sides: s is the one whose successor is the other
        const int s = (b == a + 1) ? a : b;  // the pair (0, 3) gives s = 3
        const int t = s + 1;
        newFacesOut.push_back(new Triangle(v(s + 3), v(s), e(s)));
        newFacesOut.push_back(new Triangle(e(s), v(s + 1), e(t)));
        newFacesOut.push_back(new Triangle(v(s + 2), v(s + 3), e(t)));
        newFacesOut.push_back(new Triangle(v(s + 3), e(s), e(t)));
        return true;
    }
    case 3: {
        if (newFaceVertex)
            return false;
        int i = 0;  // the unsplit side
        while (E[i])
            ++i;
        newFacesOut.push_back(new Quadrilateral(v(i + 1), e(i + 1), e(i + 3), v(i)));
        newFacesOut.push_back(new Triangle(v(i + 2), e(i + 2), e(i + 1)));
        newFacesOut.push_back(new Triangle(v(i + 3), e(i + 3), e(i + 2)));
        newFacesOut.push_back(new Triangle(e(i + 1), e(i + 2), e(i + 3)));
        return true;
    }
    default: {
        Vertex* m = newFaceVertex;
        if (!m) {
            // The caller registers the new centre, reported through newFaceVertexOut.
            m = new RegularVertex;
            if (newFaceVertexOut)
                *newFaceVertexOut = m;
        }
        newFacesOut.push_back(new Quadrilateral(V[0], E[0], m, E[3]));
        newFacesOut.push_back(new Quadrilateral(V[1], E[1], m, E[0]));
        newFacesOut.push_back(new Quadrilateral(V[2], E[2], m, E[1]));
        newFacesOut.push_back(new Quadrilateral(V[3], E[3], m, E[2]));
        return true;
    }
    }
}

template <class TConcrete, class TBase>
bool CustomQuadrilateral<TConcrete, TBase>::collapse_edge(std::vector<Face*>& newFacesOut,
                                                          int edgeIndex, Vertex* newVertex,
                                                          Vertex** substituteVertices) const
{
    Vertex* const* V = substituteVertices ? substituteVertices : m_vertices;
    newFacesOut.clear();
    newFacesOut.push_back(new Triangle(newVertex, V[(edgeIndex + 2) % 4], V[(edgeIndex + 3) % 4]));
    return true;
}

template <class TConcrete, class TBase>
bool CustomQuadrilateral<TConcrete, TBase>::collapse_edges(
    std::vector<Face*>& newFacesOut, const std::vector<Vertex*>& newEdgeVertices,
    Vertex** substituteVertices) const
{
    if (newEdgeVertices.size() > 4) {
        MG_LOG("WARNING in Quadrilateral::collapse_edges(...): bad number of newEdgeVertices.");
        return false;
    }
    newFacesOut.clear();

    int numCollapsed = 0;
    int lastIndex = -1;
    for (size_t i = 0; i < newEdgeVertices.size(); ++i) {
        if (newEdgeVertices[i]) {
            ++numCollapsed;
            lastIndex = static_cast<int>(i);
        }
    }

    if (numCollapsed == 0) {
        MG_LOG("WARNING in Quadrilateral::collapse:edges(...): no new vertex was specified.");
        return false;
    }
    if (numCollapsed == 1)
        return collapse_edge(newFacesOut, lastIndex, newEdgeVertices[lastIndex], substituteVertices);
    return true;  // two or more sides collapse: the quadrilateral vanishes
}

template <class TConcrete, class TBase>
void CustomQuadrilateral<TConcrete, TBase>::split_by_edge_vertex(int edgeIndex, Vertex* newVertex,
                                                                 std::vector<Face*>& newFacesOut,
                                                                 Vertex** substituteVertices) const
{
    Vertex* const* V = substituteVertices ? substituteVertices : m_vertices;
    const int i = edgeIndex;
    newFacesOut.push_back(new Triangle(V[i], newVertex, V[(i + 3) % 4]));
    newFacesOut.push_back(new Triangle(newVertex, V[(i + 1) % 4], V[(i + 2) % 4]));
    newFacesOut.push_back(new Triangle(V[(i + 3) % 4], newVertex, V[(i + 2) % 4]));
}

template class CustomQuadrilateral<Quadrilateral, Face>;

}  // namespace mg

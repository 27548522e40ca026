#include "dez_odor/algorithms/edge_split.h"

#include "dez_odor/algorithms/topology_queries.h"
#include "dez_odor/grid_objects/regular_vertex.h"

#include <memory>

namespace mg {

namespace {

// The counterparts in destGrid of srcGrid's vertices.
class VertexAssociation {
public:
    VertexAssociation(Grid& destGrid, Grid& srcGrid, Attachment<Vertex*>& a)
        : m_destGrid(destGrid)
    {
        if (!srcGrid.has_vertex_attachment(a))
            srcGrid.attach_to_vertices_with_default<Vertex*>(a, nullptr);
        m_aaAssoc.bind(srcGrid.vertex_attachment_pipe(), a);
    }

    // The counterpart of v, made (a new vertex of v's class) when missing.
    Vertex* get(Vertex* v)
    {
        Vertex*& assoc = m_aaAssoc[v];
        if (!assoc)
            assoc = *m_destGrid.create_by_cloning(v);
        return assoc;
    }

    // The counterparts of the group's vertices, in order.
    void substitutes(const IVertexGroup& group, std::vector<Vertex*>& out)
    {
        out.clear();
        for (unsigned int i = 0; i < group.num_vertices(); ++i)
            out.push_back(get(group.vertex(i)));
    }

private:
    Grid& m_destGrid;
    AttachmentAccessor<Vertex, Vertex*> m_aaAssoc;
};

}  // namespace

bool CreateEdgeSplitGeometry(Grid& destGrid, Grid& srcGrid, Edge* e, Vertex* newVertex,
                             Attachment<Vertex*>* paAssociatedVertices)
{
    const bool sameGrid = &destGrid == &srcGrid;
    if (!paAssociatedVertices && !sameGrid)
        return false;

    std::unique_ptr<VertexAssociation> assoc;
    if (paAssociatedVertices)
        assoc = std::make_unique<VertexAssociation>(destGrid, srcGrid, *paAssociatedVertices);

    // The half edges. Counterparts that are missing for e's ends are made
    // first, so that no edge gets a null vertex.
    GridObject* parent = sameGrid ? e : nullptr;
    Vertex* end0 = assoc ? assoc->get(e->vertex(0)) : e->vertex(0);
    Vertex* end1 = assoc ? assoc->get(e->vertex(1)) : e->vertex(1);
    destGrid.create<RegularEdge>(EdgeDescriptor(end0, newVertex), parent);
    destGrid.create<RegularEdge>(EdgeDescriptor(newVertex, end1), parent);

    std::vector<Vertex*> substitutes;

    // The faces at e.
    if (srcGrid.num_faces() > 0) {
        std::vector<Face*> faces;
        CollectFaces(faces, srcGrid, e);
        std::vector<Face*> newFaces;
        for (Face* f : faces) {
            const int edgeIndex = GetEdgeIndex(f, e);
            if (assoc)
                assoc->substitutes(*f, substitutes);
            newFaces.clear();
            f->split_by_edge_vertex(edgeIndex, newVertex, newFaces,
                                    assoc ? substitutes.data() : nullptr);
            Face* parentFace = sameGrid ? f : nullptr;
            for (Face* nf : newFaces) {
                destGrid.register_face(nf, parentFace);
                if (parentFace)
                    destGrid.pass_on_values(parentFace, nf);
            }
        }
    }

    // The volumes at e.
    if (srcGrid.num_volumes() > 0) {
        std::vector<Volume*> vols;
        CollectVolumes(vols, srcGrid, e);
        std::vector<Volume*> newVols;
        std::vector<Vertex*> edgeVertices;
        const RegularVertex prototype;
        for (Volume* vol : vols) {
            const unsigned int numEdges = vol->num_edges();
            edgeVertices.assign(numEdges, nullptr);
            for (unsigned int i = 0; i < numEdges; ++i) {
                if (srcGrid.get_edge(vol, static_cast<int>(i)) == e)
                    edgeVertices[i] = newVertex;
            }
            if (assoc)
                assoc->substitutes(*vol, substitutes);
            Vertex* newVolumeVertex = nullptr;
            newVols.clear();
            vol->refine(newVols, &newVolumeVertex, edgeVertices.data(), nullptr, nullptr,
                        prototype, assoc ? substitutes.data() : nullptr);
            Volume* parentVol = sameGrid ? vol : nullptr;
            if (newVolumeVertex)
                destGrid.register_vertex(newVolumeVertex, parentVol);
            for (Volume* nv : newVols) {
                destGrid.register_volume(nv, parentVol);
                if (parentVol)
                    destGrid.pass_on_values(parentVol, nv);
            }
        }
    }
    return true;
}

}  // namespace mg

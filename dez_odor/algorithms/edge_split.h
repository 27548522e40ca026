#pragma once

#include "dez_odor/grid/associated_elements.h"
#include "dez_odor/grid/attachment.h"
#include "dez_odor/grid/grid.h"

#include <vector>

namespace mg {

// Builds in destGrid what replaces the edge e of srcGrid when e is split at
// newVertex (already registered in destGrid): the two half edges
// (V0, newVertex) and (newVertex, V1), the faces at e split at newVertex
// (two for a triangle, three for a quadrilateral, in the face's orientation)
// and the volumes at e refined at newVertex. Nothing is erased: the caller
// removes e and the elements at it as it sees fit.
//
// Within one grid (destGrid == srcGrid) every new element has the element it
// replaces as parent (the half edges e, a face the face it splits), and new
// faces and volumes receive the pass-on attachment values of their parent.
// Across two grids nothing has a parent, and paAssociatedVertices (an
// attachment of srcGrid's vertices, attached with null when missing) names
// for each vertex of srcGrid its counterpart in destGrid; a vertex of e or of
// a face or volume at e without one gets a new vertex of its own class in
// destGrid first, which is recorded.
//
// Returns false, and does nothing, for two different grids without an
// association attachment.
bool CreateEdgeSplitGeometry(Grid& destGrid, Grid& srcGrid, Edge* e, Vertex* newVertex,
                             Attachment<Vertex*>* paAssociatedVertices);

// Splits the edge e of srcGrid: creates a new vertex of class TVertex in
// destGrid (with e as parent when both are one grid), builds the half edges
// and the split faces and volumes (CreateEdgeSplitGeometry) and, unless
// keepOld, erases from srcGrid the faces at e (when the grid does not erase
// them with e itself), the volumes at e and e. Returns the new vertex, or
// null when the geometry could not be built (nothing is left behind then).
// The caller positions the new vertex.
template <class TVertex>
TVertex* SplitEdge(Grid& destGrid, Grid& srcGrid, Edge* e,
                   Attachment<Vertex*>* paAssociatedVertices = nullptr, bool keepOld = false)
{
    GridObject* parent = (&destGrid == &srcGrid) ? e : nullptr;
    TVertex* vrt = *destGrid.create<TVertex>(parent);
    if (!CreateEdgeSplitGeometry(destGrid, srcGrid, e, vrt, paAssociatedVertices)) {
        destGrid.erase(vrt);
        return nullptr;
    }
    if (!keepOld) {
        if (srcGrid.num_faces() > 0 && !srcGrid.option_is_enabled(FACEOPT_AUTOGENERATE_EDGES)) {
            std::vector<Face*> faces;
            CollectFaces(faces, srcGrid, e);
            for (Face* f : faces)
                srcGrid.erase(f);
        }
        // Erasing faces may already have taken volumes with them: collect now.
        if (srcGrid.num_volumes() > 0) {
            std::vector<Volume*> vols;
            CollectVolumes(vols, srcGrid, e);
            for (Volume* vol : vols)
                srcGrid.erase(vol);
        }
        srcGrid.erase(e);
    }
    return vrt;
}

}  // namespace mg

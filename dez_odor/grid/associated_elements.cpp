#include "dez_odor/grid/associated_elements.h"

#include "dez_odor/grid/grid.h"

namespace mg {

void CollectEdges(std::vector<Edge*>& out, Grid& grid, Face* face, bool clearContainer)
{
    if (clearContainer)
        out.clear();
    if (grid.num_edges() == 0)
        return;
    if (grid.option_is_enabled(FACEOPT_STORE_ASSOCIATED_EDGES)) {
        out.insert(out.end(), grid.associated_edges_begin(face), grid.associated_edges_end(face));
        return;
    }
    const int numEdges = static_cast<int>(face->num_edges());
    for (int i = 0; i < numEdges; ++i) {
        if (Edge* e = grid.get_edge(face, i))
            out.push_back(e);
    }
}

void CollectFaces(std::vector<Face*>& out, Grid& grid, Edge* edge, bool clearContainer)
{
    if (clearContainer)
        out.clear();
    if (grid.num_faces() == 0)
        return;
    if (grid.option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES)) {
        out.insert(out.end(), grid.associated_faces_begin(edge), grid.associated_faces_end(edge));
        return;
    }
    Vertex* v0 = edge->vertex(0);
    Grid::AssociatedFaceIterator iEnd = grid.associated_faces_end(v0);
    for (Grid::AssociatedFaceIterator it = grid.associated_faces_begin(v0); it != iEnd; ++it) {
        if (FaceContains(*it, edge))
            out.push_back(*it);
    }
}

void CollectFaces(std::vector<Face*>& out, Grid& grid, Volume* vol, bool clearContainer)
{
    if (clearContainer)
        out.clear();
    if (grid.num_faces() == 0)
        return;
    if (grid.option_is_enabled(VOLOPT_STORE_ASSOCIATED_FACES)) {
        out.insert(out.end(), grid.associated_faces_begin(vol), grid.associated_faces_end(vol));
        return;
    }
    const int numFaces = static_cast<int>(vol->num_faces());
    for (int i = 0; i < numFaces; ++i) {
        if (Face* f = grid.get_face(vol, i))
            out.push_back(f);
    }
}

void CollectVolumes(std::vector<Volume*>& out, Grid& grid, Edge* edge, bool clearContainer)
{
    if (clearContainer)
        out.clear();
    if (grid.num_volumes() == 0)
        return;
    if (grid.option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES)) {
        out.insert(out.end(), grid.associated_volumes_begin(edge),
                   grid.associated_volumes_end(edge));
        return;
    }
    Vertex* v0 = edge->vertex(0);
    Grid::AssociatedVolumeIterator iEnd = grid.associated_volumes_end(v0);
    for (Grid::AssociatedVolumeIterator it = grid.associated_volumes_begin(v0); it != iEnd; ++it) {
        if (VolumeContains(*it, edge))
            out.push_back(*it);
    }
}

namespace {

bool has_vertex(const IVertexGroup* group, const Vertex* vrt)
{
    const unsigned int n = group->num_vertices();
    for (unsigned int i = 0; i < n; ++i) {
        if (group->vertex(i) == vrt)
            return true;
    }
    return false;
}

}  // namespace

void CollectVolumes(std::vector<Volume*>& out, Grid& grid, Face* face, bool clearContainer,
                    bool ignoreAssociatedVolumes)
{
    if (clearContainer)
        out.clear();
    if (grid.num_volumes() == 0)
        return;
    if (!ignoreAssociatedVolumes && grid.option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES)) {
        out.insert(out.end(), grid.associated_volumes_begin(face),
                   grid.associated_volumes_end(face));
        return;
    }
    Vertex* v0 = face->vertex(0);
    Vertex* v1 = face->vertex(1);
    Vertex* v2 = face->vertex(2);
    Grid::AssociatedVolumeIterator iEnd = grid.associated_volumes_end(v0);
    for (Grid::AssociatedVolumeIterator it = grid.associated_volumes_begin(v0); it != iEnd; ++it) {
        Volume* vol = *it;
        if (has_vertex(vol, v1) && has_vertex(vol, v2) && VolumeContains(vol, face))
            out.push_back(vol);
    }
}

bool FaceContains(const Face* face, const EdgeVertices* ev)
{
    const unsigned int numEdges = face->num_edges();
    EdgeDescriptor ed;
    for (unsigned int i = 0; i < numEdges; ++i) {
        face->edge_desc(static_cast<int>(i), ed);
        if (CompareVertices(&ed, ev))
            return true;
    }
    return false;
}

bool VolumeContains(const Volume* vol, const EdgeVertices* ev)
{
    const unsigned int numEdges = vol->num_edges();
    EdgeDescriptor ed;
    for (unsigned int i = 0; i < numEdges; ++i) {
        vol->edge_desc(static_cast<int>(i), ed);
        if (CompareVertices(&ed, ev))
            return true;
    }
    return false;
}

bool VolumeContains(const Volume* vol, const FaceVertices* face)
{
    const uint32_t key = vertex_hash_key(face);
    const unsigned int numFaces = vol->num_faces();
    FaceDescriptor fd;
    for (unsigned int i = 0; i < numFaces; ++i) {
        vol->face_desc(static_cast<int>(i), fd);
        if (vertex_hash_key(&fd) == key && CompareVertices(&fd, face))
            return true;
    }
    return false;
}

bool CompareVertices(const EdgeVertices* ev1, const EdgeVertices* ev2)
{
    Vertex* a0 = ev1->vertex(0);
    Vertex* a1 = ev1->vertex(1);
    Vertex* b0 = ev2->vertex(0);
    Vertex* b1 = ev2->vertex(1);
    return (a0 == b0 && a1 == b1) || (a0 == b1 && a1 == b0);
}

bool CompareVertices(const FaceVertices* fv1, const FaceVertices* fv2)
{
    const unsigned int n = fv1->num_vertices();
    if (n != fv2->num_vertices())
        return false;
    for (unsigned int i = 0; i < n; ++i) {
        if (!has_vertex(fv2, fv1->vertex(i)))
            return false;
    }
    return true;
}

}  // namespace mg

// Grid options: switching them at run time, the stored neighbourhoods and the
// associated-element queries.

#include "dez_odor/grid/grid.h"

#include "common/log.h"
#include "dez_odor/grid/associated_elements.h"

#include <algorithm>

namespace mg {

namespace {

template <class T>
bool contains(const std::vector<T>& vec, T elem)
{
    return std::find(vec.begin(), vec.end(), elem) != vec.end();
}

}  // namespace

// ----- whole option words ---------------------------------------------------

void Grid::change_options(unsigned int options)
{
    change_vertex_options(options);
    change_edge_options(options);
    change_face_options(options);
    change_volume_options(options);
}

void Grid::enable_options(unsigned int options)
{
    change_vertex_options(m_options | options);
    change_edge_options(m_options | options);
    change_face_options(m_options | options);
    change_volume_options(m_options | options);
}

// Switches one option to the state that options asks for, through its setter.
#define MG_APPLY_OPTION(options, bit, setter)        \
    do {                                             \
        const bool want_ = ((options) & (bit)) != 0; \
        if (want_ != option_is_enabled(bit))         \
            setter(want_);                           \
    } while (false)

void Grid::change_vertex_options(unsigned int options)
{
    MG_APPLY_OPTION(options, VRTOPT_STORE_ASSOCIATED_EDGES, vertex_store_associated_edges);
    MG_APPLY_OPTION(options, VRTOPT_STORE_ASSOCIATED_FACES, vertex_store_associated_faces);
    MG_APPLY_OPTION(options, VRTOPT_STORE_ASSOCIATED_VOLUMES, vertex_store_associated_volumes);
}

void Grid::change_edge_options(unsigned int options)
{
    MG_APPLY_OPTION(options, EDGEOPT_STORE_ASSOCIATED_FACES, edge_store_associated_faces);
    MG_APPLY_OPTION(options, EDGEOPT_STORE_ASSOCIATED_VOLUMES, edge_store_associated_volumes);
}

void Grid::change_face_options(unsigned int options)
{
    MG_APPLY_OPTION(options, FACEOPT_STORE_ASSOCIATED_EDGES, face_store_associated_edges);
    MG_APPLY_OPTION(options, FACEOPT_STORE_ASSOCIATED_VOLUMES, face_store_associated_volumes);
    MG_APPLY_OPTION(options, FACEOPT_AUTOGENERATE_EDGES, face_autogenerate_edges);
}

void Grid::change_volume_options(unsigned int options)
{
    MG_APPLY_OPTION(options, VOLOPT_STORE_ASSOCIATED_EDGES, volume_store_associated_edges);
    MG_APPLY_OPTION(options, VOLOPT_STORE_ASSOCIATED_FACES, volume_store_associated_faces);
    MG_APPLY_OPTION(options, VOLOPT_AUTOGENERATE_EDGES, volume_autogenerate_edges);
    MG_APPLY_OPTION(options, VOLOPT_AUTOGENERATE_FACES, volume_autogenerate_faces);
}

#undef MG_APPLY_OPTION

// ----- store options --------------------------------------------------------
// Switching on attaches the neighbourhood, binds the accessor, fills the
// vectors from the present elements and sets the bit last. Switching off
// detaches the neighbourhood (its values go with it) and clears the bit.

void Grid::vertex_store_associated_edges(bool enable)
{
    if (enable == option_is_enabled(VRTOPT_STORE_ASSOCIATED_EDGES))
        return;
    if (!enable) {
        m_vertices.pipe().detach(m_aEdgeContainer);
        m_vrtEdges.invalidate();
        m_options &= ~VRTOPT_STORE_ASSOCIATED_EDGES;
        return;
    }
    m_vertices.pipe().attach(m_aEdgeContainer, m_aEdgeContainer.default_pass_on_behaviour());
    m_vrtEdges.bind(m_vertices.pipe(), m_aEdgeContainer);
    for (EdgeIterator it = begin<Edge>(); it != end<Edge>(); ++it) {
        Edge* e = *it;
        m_vrtEdges[e->vertex(0)].push_back(e);
        m_vrtEdges[e->vertex(1)].push_back(e);
    }
    m_options |= VRTOPT_STORE_ASSOCIATED_EDGES;
}

void Grid::vertex_store_associated_faces(bool enable)
{
    if (enable == option_is_enabled(VRTOPT_STORE_ASSOCIATED_FACES))
        return;
    if (!enable) {
        m_vertices.pipe().detach(m_aFaceContainer);
        m_vrtFaces.invalidate();
        m_options &= ~VRTOPT_STORE_ASSOCIATED_FACES;
        return;
    }
    m_vertices.pipe().attach(m_aFaceContainer, m_aFaceContainer.default_pass_on_behaviour());
    m_vrtFaces.bind(m_vertices.pipe(), m_aFaceContainer);
    for (FaceIterator it = begin<Face>(); it != end<Face>(); ++it) {
        Face* f = *it;
        const unsigned int numVrts = f->num_vertices();
        for (unsigned int i = 0; i < numVrts; ++i)
            m_vrtFaces[f->vertex(i)].push_back(f);
    }
    m_options |= VRTOPT_STORE_ASSOCIATED_FACES;
}

void Grid::vertex_store_associated_volumes(bool enable)
{
    if (enable == option_is_enabled(VRTOPT_STORE_ASSOCIATED_VOLUMES))
        return;
    if (!enable) {
        m_vertices.pipe().detach(m_aVolumeContainer);
        m_vrtVolumes.invalidate();
        m_options &= ~VRTOPT_STORE_ASSOCIATED_VOLUMES;
        return;
    }
    m_vertices.pipe().attach(m_aVolumeContainer, m_aVolumeContainer.default_pass_on_behaviour());
    m_vrtVolumes.bind(m_vertices.pipe(), m_aVolumeContainer);
    for (VolumeIterator it = begin<Volume>(); it != end<Volume>(); ++it) {
        Volume* vol = *it;
        const unsigned int numVrts = vol->num_vertices();
        for (unsigned int i = 0; i < numVrts; ++i)
            m_vrtVolumes[vol->vertex(i)].push_back(vol);
    }
    m_options |= VRTOPT_STORE_ASSOCIATED_VOLUMES;
}

void Grid::edge_store_associated_faces(bool enable)
{
    if (enable == option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES))
        return;
    if (!enable) {
        m_edges.pipe().detach(m_aFaceContainer);
        m_edgeFaces.invalidate();
        m_options &= ~EDGEOPT_STORE_ASSOCIATED_FACES;
        return;
    }
    if (!option_is_enabled(VRTOPT_STORE_ASSOCIATED_EDGES)) {
        warn(
            "WARNING in edge_store_associated_faces(...): auto-enabling "
            "VRTOPT_STORE_ASSOCIATED_EDGES.");
        vertex_store_associated_edges(true);
    }
    m_edges.pipe().attach(m_aFaceContainer, m_aFaceContainer.default_pass_on_behaviour());
    m_edgeFaces.bind(m_edges.pipe(), m_aFaceContainer);
    for (FaceIterator it = begin<Face>(); it != end<Face>(); ++it) {
        Face* f = *it;
        const int numEdges = static_cast<int>(f->num_edges());
        for (int i = 0; i < numEdges; ++i) {
            if (Edge* e = get_edge(f, i))
                m_edgeFaces[e].push_back(f);
        }
    }
    m_options |= EDGEOPT_STORE_ASSOCIATED_FACES;
}

void Grid::edge_store_associated_volumes(bool enable)
{
    if (enable == option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES))
        return;
    if (!enable) {
        m_edges.pipe().detach(m_aVolumeContainer);
        m_edgeVolumes.invalidate();
        m_options &= ~EDGEOPT_STORE_ASSOCIATED_VOLUMES;
        return;
    }
    if (!option_is_enabled(VRTOPT_STORE_ASSOCIATED_VOLUMES)) {
        warn(
            "WARNING in Grid::edge_store_associated_volumes(...): auto-enabling "
            "VRTOPT_STORE_ASSOCIATED_VOLUMES.");
        vertex_store_associated_volumes(true);
    }
    m_edges.pipe().attach(m_aVolumeContainer, m_aVolumeContainer.default_pass_on_behaviour());
    m_edgeVolumes.bind(m_edges.pipe(), m_aVolumeContainer);
    for (VolumeIterator it = begin<Volume>(); it != end<Volume>(); ++it) {
        Volume* vol = *it;
        const unsigned int numEdges = vol->num_edges();
        EdgeDescriptor ed;
        for (unsigned int i = 0; i < numEdges; ++i) {
            vol->edge_desc(static_cast<int>(i), ed);
            if (Edge* e = get_edge(ed))
                m_edgeVolumes[e].push_back(vol);
        }
    }
    m_options |= EDGEOPT_STORE_ASSOCIATED_VOLUMES;
}

void Grid::face_store_associated_edges(bool enable)
{
    if (enable == option_is_enabled(FACEOPT_STORE_ASSOCIATED_EDGES))
        return;
    if (!enable) {
        m_faces.pipe().detach(m_aEdgeContainer);
        m_faceEdges.invalidate();
        m_options &= ~FACEOPT_STORE_ASSOCIATED_EDGES;
        return;
    }
    m_faces.pipe().attach(m_aEdgeContainer, m_aEdgeContainer.default_pass_on_behaviour());
    m_faceEdges.bind(m_faces.pipe(), m_aEdgeContainer);

    // get_edge(face, i) searches through the vertices until the bit is set.
    if (!option_is_enabled(FACEOPT_AUTOGENERATE_EDGES) &&
        option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES)) {
        for (EdgeIterator it = begin<Edge>(); it != end<Edge>(); ++it) {
            Edge* e = *it;
            for (Face* f : m_edgeFaces[e])
                m_faceEdges[f].push_back(e);
        }
    } else {
        const bool autoEdges = option_is_enabled(FACEOPT_AUTOGENERATE_EDGES);
        for (FaceIterator it = begin<Face>(); it != end<Face>(); ++it) {
            Face* f = *it;
            const int numEdges = static_cast<int>(f->num_edges());
            if (autoEdges) {
                EdgeContainer edges(static_cast<size_t>(numEdges), nullptr);
                for (int i = 0; i < numEdges; ++i)
                    edges[static_cast<size_t>(i)] = get_edge(f, i);
                m_faceEdges[f].swap(edges);
            } else {
                for (int i = 0; i < numEdges; ++i) {
                    if (Edge* e = get_edge(f, i))
                        m_faceEdges[f].push_back(e);
                }
            }
        }
    }
    m_options |= FACEOPT_STORE_ASSOCIATED_EDGES;
}

void Grid::face_store_associated_volumes(bool enable)
{
    if (enable == option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES))
        return;
    if (!enable) {
        m_faces.pipe().detach(m_aVolumeContainer);
        m_faceVolumes.invalidate();
        m_options &= ~FACEOPT_STORE_ASSOCIATED_VOLUMES;
        return;
    }
    m_faces.pipe().attach(m_aVolumeContainer, m_aVolumeContainer.default_pass_on_behaviour());
    m_faceVolumes.bind(m_faces.pipe(), m_aVolumeContainer);
    if (option_is_enabled(VOLOPT_STORE_ASSOCIATED_FACES)) {
        for (VolumeIterator it = begin<Volume>(); it != end<Volume>(); ++it) {
            Volume* vol = *it;
            for (Face* f : m_volFaces[vol])
                m_faceVolumes[f].push_back(vol);
        }
    } else {
        for (VolumeIterator it = begin<Volume>(); it != end<Volume>(); ++it) {
            Volume* vol = *it;
            const int numFaces = static_cast<int>(vol->num_faces());
            for (int i = 0; i < numFaces; ++i) {
                if (Face* f = get_face(vol, i))
                    m_faceVolumes[f].push_back(vol);
            }
        }
    }
    m_options |= FACEOPT_STORE_ASSOCIATED_VOLUMES;
}

void Grid::volume_store_associated_edges(bool enable)
{
    if (enable == option_is_enabled(VOLOPT_STORE_ASSOCIATED_EDGES))
        return;
    if (!enable) {
        m_volumes.pipe().detach(m_aEdgeContainer);
        m_volEdges.invalidate();
        m_options &= ~VOLOPT_STORE_ASSOCIATED_EDGES;
        return;
    }
    m_volumes.pipe().attach(m_aEdgeContainer, m_aEdgeContainer.default_pass_on_behaviour());
    m_volEdges.bind(m_volumes.pipe(), m_aEdgeContainer);

    const bool autoEdges =
        option_is_enabled(VOLOPT_AUTOGENERATE_EDGES) ||
        option_is_enabled(VOLOPT_AUTOGENERATE_FACES | FACEOPT_AUTOGENERATE_EDGES);
    if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES) && !autoEdges) {
        for (EdgeIterator it = begin<Edge>(); it != end<Edge>(); ++it) {
            Edge* e = *it;
            for (Volume* vol : m_edgeVolumes[e])
                m_volEdges[vol].push_back(e);
        }
    } else {
        for (VolumeIterator it = begin<Volume>(); it != end<Volume>(); ++it) {
            Volume* vol = *it;
            const int numEdges = static_cast<int>(vol->num_edges());
            if (autoEdges) {
                EdgeContainer edges(static_cast<size_t>(numEdges), nullptr);
                for (int i = 0; i < numEdges; ++i)
                    edges[static_cast<size_t>(i)] = get_edge(vol, i);
                m_volEdges[vol].swap(edges);
            } else {
                for (int i = 0; i < numEdges; ++i) {
                    if (Edge* e = get_edge(vol, i))
                        m_volEdges[vol].push_back(e);
                }
            }
        }
    }
    m_options |= VOLOPT_STORE_ASSOCIATED_EDGES;
}

void Grid::volume_store_associated_faces(bool enable)
{
    if (enable == option_is_enabled(VOLOPT_STORE_ASSOCIATED_FACES))
        return;
    if (!enable) {
        m_volumes.pipe().detach(m_aFaceContainer);
        m_volFaces.invalidate();
        m_options &= ~VOLOPT_STORE_ASSOCIATED_FACES;
        return;
    }
    m_volumes.pipe().attach(m_aFaceContainer, m_aFaceContainer.default_pass_on_behaviour());
    m_volFaces.bind(m_volumes.pipe(), m_aFaceContainer);

    const bool autoFaces = option_is_enabled(VOLOPT_AUTOGENERATE_FACES);
    if (!autoFaces && option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES)) {
        for (FaceIterator it = begin<Face>(); it != end<Face>(); ++it) {
            Face* f = *it;
            for (Volume* vol : m_faceVolumes[f])
                m_volFaces[vol].push_back(f);
        }
    } else {
        for (VolumeIterator it = begin<Volume>(); it != end<Volume>(); ++it) {
            Volume* vol = *it;
            const int numFaces = static_cast<int>(vol->num_faces());
            if (autoFaces) {
                FaceContainer faces(static_cast<size_t>(numFaces), nullptr);
                for (int i = 0; i < numFaces; ++i)
                    faces[static_cast<size_t>(i)] = get_face(vol, i);
                m_volFaces[vol].swap(faces);
            } else {
                FaceDescriptor fd;
                for (int i = 0; i < numFaces; ++i) {
                    vol->face_desc(i, fd);
                    if (Face* f = get_face(fd))
                        m_volFaces[vol].push_back(f);
                }
            }
        }
    }
    m_options |= VOLOPT_STORE_ASSOCIATED_FACES;
}

// ----- auto-generate options ------------------------------------------------
// Switching on creates every missing edge (or face) at once; switching off
// only clears the bit.

void Grid::face_autogenerate_edges(bool enable)
{
    if (enable == option_is_enabled(FACEOPT_AUTOGENERATE_EDGES))
        return;
    if (!enable) {
        m_options &= ~FACEOPT_AUTOGENERATE_EDGES;
        return;
    }

    const bool storeFaceEdges = option_is_enabled(FACEOPT_STORE_ASSOCIATED_EDGES);
    const bool storeEdgeFaces = option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES);
    for (FaceIterator it = begin<Face>(); it != end<Face>(); ++it) {
        Face* f = *it;
        const unsigned int numEdges = f->num_edges();
        if (storeFaceEdges) {
            m_faceEdges[f].clear();
            m_faceEdges[f].reserve(numEdges);
        }
        EdgeDescriptor ed;
        for (unsigned int i = 0; i < numEdges; ++i) {
            f->edge_desc(static_cast<int>(i), ed);
            Edge* e = get_edge(ed);
            if (e) {
                if (storeFaceEdges)
                    m_faceEdges[f].push_back(e);
                // An edge made for an earlier face of this pass knows only
                // the face that made it.
                if (storeEdgeFaces && !contains(m_edgeFaces[e], f))
                    m_edgeFaces[e].push_back(f);
            } else {
                e = f->create_edge(static_cast<int>(i));
                if (storeFaceEdges)
                    m_faceEdges[f].push_back(e);
                register_edge(e, f, f, nullptr);
            }
        }
    }
    m_options |= FACEOPT_AUTOGENERATE_EDGES;

    if (option_is_enabled(VOLOPT_AUTOGENERATE_FACES | VOLOPT_STORE_ASSOCIATED_EDGES) &&
        !option_is_enabled(VOLOPT_AUTOGENERATE_EDGES))
        sort_volume_edges_into_order();
}

void Grid::volume_autogenerate_edges(bool enable)
{
    if (enable == option_is_enabled(VOLOPT_AUTOGENERATE_EDGES))
        return;
    if (!enable) {
        m_options &= ~VOLOPT_AUTOGENERATE_EDGES;
        return;
    }

    const bool storeVolEdges = option_is_enabled(VOLOPT_STORE_ASSOCIATED_EDGES);
    const bool storeEdgeVols = option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES);
    for (VolumeIterator it = begin<Volume>(); it != end<Volume>(); ++it) {
        Volume* vol = *it;
        const unsigned int numEdges = vol->num_edges();
        if (storeVolEdges) {
            m_volEdges[vol].clear();
            m_volEdges[vol].reserve(numEdges);
        }
        EdgeDescriptor ed;
        for (unsigned int i = 0; i < numEdges; ++i) {
            vol->edge_desc(static_cast<int>(i), ed);
            Edge* e = get_edge(ed);
            if (e) {
                if (storeVolEdges)
                    m_volEdges[vol].push_back(e);
                if (storeEdgeVols && !contains(m_edgeVolumes[e], vol))
                    m_edgeVolumes[e].push_back(vol);
            } else {
                e = vol->create_edge(static_cast<int>(i));
                if (storeVolEdges)
                    m_volEdges[vol].push_back(e);
                register_edge(e, vol, nullptr, vol);
            }
        }
    }
    m_options |= VOLOPT_AUTOGENERATE_EDGES;
}

void Grid::volume_autogenerate_faces(bool enable)
{
    if (enable == option_is_enabled(VOLOPT_AUTOGENERATE_FACES))
        return;
    if (!enable) {
        m_options &= ~VOLOPT_AUTOGENERATE_FACES;
        return;
    }

    const bool storeVolFaces = option_is_enabled(VOLOPT_STORE_ASSOCIATED_FACES);
    const bool storeFaceVols = option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES);
    for (VolumeIterator it = begin<Volume>(); it != end<Volume>(); ++it) {
        Volume* vol = *it;
        const unsigned int numFaces = vol->num_faces();
        if (storeVolFaces) {
            m_volFaces[vol].clear();
            m_volFaces[vol].reserve(numFaces);
        }
        FaceDescriptor fd;
        for (unsigned int i = 0; i < numFaces; ++i) {
            vol->face_desc(static_cast<int>(i), fd);
            Face* f = get_face(fd);
            if (f) {
                if (storeVolFaces)
                    m_volFaces[vol].push_back(f);
                if (storeFaceVols && !contains(m_faceVolumes[f], vol))
                    m_faceVolumes[f].push_back(vol);
            } else {
                f = vol->create_face(static_cast<int>(i));
                if (storeVolFaces)
                    m_volFaces[vol].push_back(f);
                register_face(f, vol, vol);
            }
        }
    }
    m_options |= VOLOPT_AUTOGENERATE_FACES;

    if (option_is_enabled(FACEOPT_AUTOGENERATE_EDGES | VOLOPT_STORE_ASSOCIATED_EDGES) &&
        !option_is_enabled(VOLOPT_AUTOGENERATE_EDGES))
        sort_volume_edges_into_order();
}

void Grid::sort_volume_edges_into_order()
{
    if (!option_is_enabled(VOLOPT_STORE_ASSOCIATED_EDGES))
        return;
    for (VolumeIterator it = begin<Volume>(); it != end<Volume>(); ++it) {
        Volume* vol = *it;
        EdgeContainer aside;
        aside.swap(m_volEdges[vol]);
        EdgeContainer& sorted = m_volEdges[vol];
        const unsigned int numEdges = vol->num_edges();
        EdgeDescriptor ed;
        for (unsigned int i = 0; i < numEdges; ++i) {
            vol->edge_desc(static_cast<int>(i), ed);
            for (auto e = aside.begin(); e != aside.end(); ++e) {
                if (CompareVertices(*e, &ed)) {
                    sorted.push_back(*e);
                    aside.erase(e);
                    break;
                }
            }
        }
    }
}

// ----- stored neighbourhoods ------------------------------------------------

void Grid::ensure_option(unsigned int option, void (Grid::*setter)(bool), const char* warning)
{
    if (!option_is_enabled(option)) {
        warn(warning);
        (this->*setter)(true);
    }
}

Grid::AssociatedEdgeIterator Grid::associated_edges_begin(Vertex* vrt)
{
    ensure_option(
        VRTOPT_STORE_ASSOCIATED_EDGES, &Grid::vertex_store_associated_edges,
        "WARNING in associated_edges_begin(vrt): auto-enabling VRTOPT_STORE_ASSOCIATED_EDGES.");
    return m_vrtEdges[vrt].begin();
}

Grid::AssociatedEdgeIterator Grid::associated_edges_begin(Face* face)
{
    ensure_option(
        FACEOPT_STORE_ASSOCIATED_EDGES, &Grid::face_store_associated_edges,
        "WARNING in associated_edges_begin(face): auto-enabling FACEOPT_STORE_ASSOCIATED_EDGES.");
    return m_faceEdges[face].begin();
}

Grid::AssociatedEdgeIterator Grid::associated_edges_begin(Volume* vol)
{
    ensure_option(
        VOLOPT_STORE_ASSOCIATED_EDGES, &Grid::volume_store_associated_edges,
        "WARNING in associated_edges_begin(vol): auto-enabling VOLOPT_STORE_ASSOCIATED_EDGES.");
    return m_volEdges[vol].begin();
}

Grid::AssociatedFaceIterator Grid::associated_faces_begin(Vertex* vrt)
{
    ensure_option(
        VRTOPT_STORE_ASSOCIATED_FACES, &Grid::vertex_store_associated_faces,
        "WARNING in associated_faces_begin(vrt): auto-enabling VRTOPT_STORE_ASSOCIATED_FACES.");
    return m_vrtFaces[vrt].begin();
}

Grid::AssociatedFaceIterator Grid::associated_faces_begin(Edge* edge)
{
    ensure_option(
        EDGEOPT_STORE_ASSOCIATED_FACES, &Grid::edge_store_associated_faces,
        "WARNING in associated_faces_begin(edge): auto-enabling EDGEOPT_STORE_ASSOCIATED_FACES.");
    return m_edgeFaces[edge].begin();
}

Grid::AssociatedFaceIterator Grid::associated_faces_begin(Volume* vol)
{
    ensure_option(
        VOLOPT_STORE_ASSOCIATED_FACES, &Grid::volume_store_associated_faces,
        "WARNING in associated_faces_begin(vol): auto-enabling VOLOPT_STORE_ASSOCIATED_FACES.");
    return m_volFaces[vol].begin();
}

Grid::AssociatedVolumeIterator Grid::associated_volumes_begin(Vertex* vrt)
{
    ensure_option(
        VRTOPT_STORE_ASSOCIATED_VOLUMES, &Grid::vertex_store_associated_volumes,
        "WARNING in associated_volumes_begin(vrt): auto-enabling VRTOPT_STORE_ASSOCIATED_VOLUMES.");
    return m_vrtVolumes[vrt].begin();
}

Grid::AssociatedVolumeIterator Grid::associated_volumes_begin(Edge* edge)
{
    ensure_option(EDGEOPT_STORE_ASSOCIATED_VOLUMES, &Grid::edge_store_associated_volumes,
                  "WARNING in associated_volumes_begin(edge): auto-enabling "
                  "EDGEOPT_STORE_ASSOCIATED_VOLUMES.");
    return m_edgeVolumes[edge].begin();
}

Grid::AssociatedVolumeIterator Grid::associated_volumes_begin(Face* face)
{
    ensure_option(FACEOPT_STORE_ASSOCIATED_VOLUMES, &Grid::face_store_associated_volumes,
                  "WARNING in associated_volumes_begin(face): auto-enabling "
                  "FACEOPT_STORE_ASSOCIATED_VOLUMES.");
    return m_faceVolumes[face].begin();
}

Grid::AssociatedEdgeIterator Grid::associated_edges_end(Vertex* vrt)
{
    ensure_option(
        VRTOPT_STORE_ASSOCIATED_EDGES, &Grid::vertex_store_associated_edges,
        "WARNING in associated_edges_end(vrt): auto-enabling VRTOPT_STORE_ASSOCIATED_EDGES.");
    return m_vrtEdges[vrt].end();
}

Grid::AssociatedEdgeIterator Grid::associated_edges_end(Face* face)
{
    ensure_option(
        FACEOPT_STORE_ASSOCIATED_EDGES, &Grid::face_store_associated_edges,
        "WARNING in associated_edges_end(face): auto-enabling FACEOPT_STORE_ASSOCIATED_EDGES.");
    return m_faceEdges[face].end();
}

Grid::AssociatedEdgeIterator Grid::associated_edges_end(Volume* vol)
{
    ensure_option(
        VOLOPT_STORE_ASSOCIATED_EDGES, &Grid::volume_store_associated_edges,
        "WARNING in associated_edges_end(vol): auto-enabling VOLOPT_STORE_ASSOCIATED_EDGES.");
    return m_volEdges[vol].end();
}

Grid::AssociatedFaceIterator Grid::associated_faces_end(Vertex* vrt)
{
    ensure_option(
        VRTOPT_STORE_ASSOCIATED_FACES, &Grid::vertex_store_associated_faces,
        "WARNING in associated_faces_end(vrt): auto-enabling VRTOPT_STORE_ASSOCIATED_FACES.");
    return m_vrtFaces[vrt].end();
}

Grid::AssociatedFaceIterator Grid::associated_faces_end(Edge* edge)
{
    ensure_option(
        EDGEOPT_STORE_ASSOCIATED_FACES, &Grid::edge_store_associated_faces,
        "WARNING in associated_faces_end(edge): auto-enabling EDGEOPT_STORE_ASSOCIATED_FACES.");
    return m_edgeFaces[edge].end();
}

Grid::AssociatedFaceIterator Grid::associated_faces_end(Volume* vol)
{
    ensure_option(
        VOLOPT_STORE_ASSOCIATED_FACES, &Grid::volume_store_associated_faces,
        "WARNING in associated_faces_end(vol): auto-enabling VOLOPT_STORE_ASSOCIATED_FACES.");
    return m_volFaces[vol].end();
}

Grid::AssociatedVolumeIterator Grid::associated_volumes_end(Vertex* vrt)
{
    ensure_option(
        VRTOPT_STORE_ASSOCIATED_VOLUMES, &Grid::vertex_store_associated_volumes,
        "WARNING in associated_volumes_end(vrt): auto-enabling VRTOPT_STORE_ASSOCIATED_VOLUMES.");
    return m_vrtVolumes[vrt].end();
}

Grid::AssociatedVolumeIterator Grid::associated_volumes_end(Edge* edge)
{
    ensure_option(
        EDGEOPT_STORE_ASSOCIATED_VOLUMES, &Grid::edge_store_associated_volumes,
        "WARNING in associated_volumes_end(edge): auto-enabling EDGEOPT_STORE_ASSOCIATED_VOLUMES.");
    return m_edgeVolumes[edge].end();
}

Grid::AssociatedVolumeIterator Grid::associated_volumes_end(Face* face)
{
    ensure_option(
        FACEOPT_STORE_ASSOCIATED_VOLUMES, &Grid::face_store_associated_volumes,
        "WARNING in associated_volumes_end(face): auto-enabling FACEOPT_STORE_ASSOCIATED_VOLUMES.");
    return m_faceVolumes[face].end();
}

// ----- associated elements --------------------------------------------------

void Grid::get_associated(ElementPointerArray<Edge*>& edgesOut, Face* face)
{
    if (option_is_enabled(FACEOPT_STORE_ASSOCIATED_EDGES)) {
        const EdgeContainer& edges = m_faceEdges[face];
        edgesOut.set_view(edges.data(), edges.size());
        return;
    }
    edgesOut.clear();
    if (num_edges() == 0)
        return;
    const int numEdges = static_cast<int>(face->num_edges());
    for (int i = 0; i < numEdges; ++i) {
        if (Edge* e = get_edge(face, i))
            edgesOut.push_back(e);
    }
}

void Grid::get_associated(ElementPointerArray<Edge*>& edgesOut, Vertex* vrt)
{
    if (!option_is_enabled(VRTOPT_STORE_ASSOCIATED_EDGES)) {
        if (num_edges() == 0) {
            edgesOut.clear();
            return;
        }
        warn("WARNING in get_associated(edges, vrt): auto-enabling VRTOPT_STORE_ASSOCIATED_EDGES.");
        vertex_store_associated_edges(true);
    }
    const EdgeContainer& edges = m_vrtEdges[vrt];
    edgesOut.set_view(edges.data(), edges.size());
}

void Grid::get_associated(ElementPointerArray<Face*>& facesOut, Edge* edge)
{
    if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES)) {
        const FaceContainer& faces = m_edgeFaces[edge];
        facesOut.set_view(faces.data(), faces.size());
        return;
    }
    facesOut.clear();
    if (!option_is_enabled(VRTOPT_STORE_ASSOCIATED_FACES)) {
        if (num_faces() == 0)
            return;
        warn(
            "WARNING in get_associated(faces, edge): auto-enabling VRTOPT_STORE_ASSOCIATED_FACES.");
        vertex_store_associated_faces(true);
    }
    for (Face* f : m_vrtFaces[edge->vertex(0)]) {
        if (FaceContains(f, edge))
            facesOut.push_back(f);
    }
}

void Grid::get_associated(ElementPointerArray<Face*>& facesOut, Vertex* vrt)
{
    if (!option_is_enabled(VRTOPT_STORE_ASSOCIATED_FACES)) {
        if (num_faces() == 0) {
            facesOut.clear();
            return;
        }
        warn("WARNING in get_associated(faces, vrt): auto-enabling VRTOPT_STORE_ASSOCIATED_FACES.");
        vertex_store_associated_faces(true);
    }
    const FaceContainer& faces = m_vrtFaces[vrt];
    facesOut.set_view(faces.data(), faces.size());
}

}  // namespace mg

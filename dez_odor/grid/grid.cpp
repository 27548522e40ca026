#include "dez_odor/grid/grid.h"

#include "common/error.h"
#include "common/log.h"
#include "common/util/callback_registry.h"
#include "dez_odor/grid/associated_elements.h"

#include <algorithm>

namespace mg {

// Parallel mode is not part of this build; the grid only ever holds none.
class DistributionManager {};

namespace {

// Removes the first occurrence of elem and keeps the order of the others.
template <class T>
void erase_first(std::vector<T>& vec, T elem)
{
    auto it = std::find(vec.begin(), vec.end(), elem);
    if (it != vec.end())
        vec.erase(it);
}

}  // namespace

// While a notification runs, observers that unregister are only nulled in the
// lists; the lists are compacted when the outermost notification ends.
struct Grid::NotificationScope {
    explicit NotificationScope(Grid& g) : grid(g) { ++grid.m_notificationDepth; }
    ~NotificationScope()
    {
        if (--grid.m_notificationDepth == 0 && grid.m_observerListsHaveGaps)
            grid.compact_observer_lists();
    }
    Grid& grid;
};

template <class TNotify>
void Grid::notify_oldest_first(std::vector<GridObserver*>& observers, TNotify notify)
{
    if (observers.empty())
        return;
    NotificationScope scope(*this);
    for (size_t i = 0; i < observers.size(); ++i) {
        if (GridObserver* obs = observers[i])
            notify(obs);
    }
}

template <class TNotify>
void Grid::notify_newest_first(std::vector<GridObserver*>& observers, TNotify notify)
{
    if (observers.empty())
        return;
    NotificationScope scope(*this);
    for (size_t i = observers.size(); i > 0; --i) {
        if (GridObserver* obs = observers[i - 1])
            notify(obs);
    }
}

Grid::Grid() : Grid(GRIDOPT_DEFAULT) {}

Grid::Grid(unsigned int options)
    : m_aVertexContainer("Grid_VertexContainer", false),
      m_aEdgeContainer("Grid_EdgeContainer", false),
      m_aFaceContainer("Grid_FaceContainer", false),
      m_aVolumeContainer("Grid_VolumeContainer", false),
      m_aMark("Grid_Mark", false),
      m_callbackRegistry(std::make_shared<CallbackRegistry>())
{
    change_options(options);
}

Grid::Grid(const Grid& src) : Grid(src.get_options())
{
    *this = src;
}

Grid::~Grid()
{
    notify_and_clear_observers(nullptr);
    clear_geometry();
    if (m_currentMark != 0) {
        m_currentMark = 0;
        m_vertices.pipe().detach(m_aMark);
        m_edges.pipe().detach(m_aMark);
        m_faces.pipe().detach(m_aMark);
        m_volumes.pipe().detach(m_aMark);
    }
    m_distributionManager.reset();
    m_callbackRegistry.reset();
}

ElementCollection Grid::get_element_collection()
{
    return ElementCollection(&m_vertices.section_container(), &m_edges.section_container(),
                             &m_faces.section_container(), &m_volumes.section_container());
}

void Grid::warn(const char* text) const
{
    MG_LOG(text << std::endl);
}

// ----- registration ---------------------------------------------------------

void Grid::register_vertex(Vertex* vrt, GridObject* parent)
{
    link_element(vrt);
    vrt->set_hash_number(m_hashCounter++);
    notify_oldest_first(m_vertexObservers,
                        [&](GridObserver* obs) { obs->vertex_created(this, vrt, parent, false); });
}

void Grid::register_edge(Edge* edge, GridObject* parent, Face* createdByFace,
                         Volume* createdByVolume)
{
    link_element(edge);
    Vertex* v0 = edge->vertex(0);

    if (option_is_enabled(VRTOPT_STORE_ASSOCIATED_EDGES)) {
        m_vrtEdges[v0].push_back(edge);
        m_vrtEdges[edge->vertex(1)].push_back(edge);
    }

    // faces at the edge
    if (createdByFace) {
        if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES))
            m_edgeFaces[edge].push_back(createdByFace);
    } else if (!option_is_enabled(FACEOPT_AUTOGENERATE_EDGES)) {
        int n = 0;
        if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES))
            n += 1;
        if (option_is_enabled(FACEOPT_STORE_ASSOCIATED_EDGES))
            n += 2;
        if (n > 0) {
            AssociatedFaceIterator iBegin = associated_faces_begin(v0);
            AssociatedFaceIterator iEnd = associated_faces_end(v0);
            EdgeDescriptor ed;
            for (AssociatedFaceIterator it = iBegin; it != iEnd; ++it) {
                Face* f = *it;
                const unsigned int numEdges = f->num_edges();
                for (unsigned int i = 0; i < numEdges; ++i) {
                    f->edge_desc(static_cast<int>(i), ed);
                    if (!CompareVertices(edge, &ed))
                        continue;
                    if (n & 1)
                        m_edgeFaces[edge].push_back(f);
                    if (n & 2)
                        m_faceEdges[f].push_back(edge);
                }
            }
        }
    }

    // volumes at the edge
    if (createdByVolume) {
        if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES))
            m_edgeVolumes[edge].push_back(createdByVolume);
    } else if (!option_is_enabled(VOLOPT_AUTOGENERATE_EDGES) &&
               !option_is_enabled(VOLOPT_AUTOGENERATE_FACES | FACEOPT_AUTOGENERATE_EDGES)) {
        int n = 0;
        if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES))
            n += 1;
        if (option_is_enabled(VOLOPT_STORE_ASSOCIATED_EDGES))
            n += 2;
        if (n > 0) {
            AssociatedVolumeIterator iBegin = associated_volumes_begin(v0);
            AssociatedVolumeIterator iEnd = associated_volumes_end(v0);
            for (AssociatedVolumeIterator it = iBegin; it != iEnd; ++it) {
                Volume* vol = *it;
                const unsigned int numEdges = vol->num_edges();
                EdgeDescriptor ed;
                for (unsigned int i = 0; i < numEdges; ++i) {
                    vol->edge_desc(static_cast<int>(i), ed);
                    if (!CompareVertices(edge, &ed))
                        continue;
                    if (n & 1)
                        m_edgeVolumes[edge].push_back(vol);
                    if (n & 2)
                        m_volEdges[vol].push_back(edge);
                }
            }
        }
    }

    notify_oldest_first(m_edgeObservers,
                        [&](GridObserver* obs) { obs->edge_created(this, edge, parent, false); });
}

void Grid::register_face(Face* face, GridObject* parent, Volume* createdByVolume)
{
    link_element(face);
    const unsigned int numVrts = face->num_vertices();

    if (option_is_enabled(VRTOPT_STORE_ASSOCIATED_FACES)) {
        for (unsigned int i = 0; i < numVrts; ++i)
            m_vrtFaces[face->vertex(i)].push_back(face);
    }

    const bool storeFaceEdges = option_is_enabled(FACEOPT_STORE_ASSOCIATED_EDGES);
    if (storeFaceEdges)
        m_faceEdges[face].reserve(face->num_edges());

    const bool autoEdges = option_is_enabled(FACEOPT_AUTOGENERATE_EDGES);
    const bool storeEdgeFaces = option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES);
    if (autoEdges || storeEdgeFaces || storeFaceEdges) {
        const unsigned int numEdges = face->num_edges();
        EdgeDescriptor ed;
        for (unsigned int i = 0; i < numEdges; ++i) {
            face->edge_desc(static_cast<int>(i), ed);
            Edge* e = get_edge(ed);
            if (!e) {
                if (autoEdges) {
                    e = face->create_edge(static_cast<int>(i));
                    if (storeFaceEdges)
                        m_faceEdges[face].push_back(e);
                    register_edge(e, parent, face, createdByVolume);
                }
            } else {
                if (storeEdgeFaces)
                    m_edgeFaces[e].push_back(face);
                if (storeFaceEdges)
                    m_faceEdges[face].push_back(e);
            }
        }
    }

    // volumes at the face
    if (createdByVolume) {
        if (option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES))
            m_faceVolumes[face].push_back(createdByVolume);
    } else if (!option_is_enabled(VOLOPT_AUTOGENERATE_FACES)) {
        int n = 0;
        if (option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES))
            n += 1;
        if (option_is_enabled(VOLOPT_STORE_ASSOCIATED_FACES))
            n += 2;
        if (n > 0) {
            std::vector<Volume*> vols;
            CollectVolumes(vols, *this, face, true, true);
            for (Volume* vol : vols) {
                if (n & 1)
                    m_faceVolumes[face].push_back(vol);
                if (n & 2)
                    m_volFaces[vol].push_back(face);
            }
        }
    }

    notify_oldest_first(m_faceObservers,
                        [&](GridObserver* obs) { obs->face_created(this, face, parent, false); });
}

void Grid::register_volume(Volume* vol, GridObject* parent)
{
    link_element(vol);

    if (option_is_enabled(VRTOPT_STORE_ASSOCIATED_VOLUMES)) {
        const unsigned int numVrts = vol->num_vertices();
        for (unsigned int i = 0; i < numVrts; ++i)
            m_vrtVolumes[vol->vertex(i)].push_back(vol);
    }

    // faces of the volume
    const bool autoFaces = option_is_enabled(VOLOPT_AUTOGENERATE_FACES);
    const bool storeFaceVols = option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES);
    const bool storeVolFaces = option_is_enabled(VOLOPT_STORE_ASSOCIATED_FACES);
    if (autoFaces || storeFaceVols || storeVolFaces) {
        const unsigned int numFaces = vol->num_faces();
        FaceDescriptor fd;
        for (unsigned int i = 0; i < numFaces; ++i) {
            vol->face_desc(static_cast<int>(i), fd);
            Face* f = get_face(fd);
            if (!f) {
                if (autoFaces) {
                    f = vol->create_face(static_cast<int>(i));
                    if (storeVolFaces)
                        m_volFaces[vol].push_back(f);
                    register_face(f, parent, vol);
                }
            } else {
                if (storeFaceVols)
                    m_faceVolumes[f].push_back(vol);
                if (storeVolFaces)
                    m_volFaces[vol].push_back(f);
            }
        }
    }

    // edges of the volume
    const bool autoEdges = option_is_enabled(VOLOPT_AUTOGENERATE_EDGES);
    const bool storeEdgeVols = option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES);
    const bool storeVolEdges = option_is_enabled(VOLOPT_STORE_ASSOCIATED_EDGES);
    if (autoEdges || storeEdgeVols || storeVolEdges) {
        const unsigned int numEdges = vol->num_edges();
        EdgeDescriptor ed;
        for (unsigned int i = 0; i < numEdges; ++i) {
            vol->edge_desc(static_cast<int>(i), ed);
            Edge* e = get_edge(ed);
            if (!e) {
                if (autoEdges) {
                    e = vol->create_edge(static_cast<int>(i));
                    if (storeVolEdges)
                        m_volEdges[vol].push_back(e);
                    register_edge(e, parent, nullptr, vol);
                }
            } else {
                // An edge that a face of this volume has just brought into
                // being already names the volume as its creator: link once.
                if (storeEdgeVols) {
                    VolumeContainer& vols = m_edgeVolumes[e];
                    if (std::find(vols.begin(), vols.end(), vol) == vols.end())
                        vols.push_back(vol);
                }
                if (storeVolEdges)
                    m_volEdges[vol].push_back(e);
            }
        }
    }

    notify_oldest_first(m_volumeObservers,
                        [&](GridObserver* obs) { obs->volume_created(this, vol, parent, false); });
}

// ----- creation -------------------------------------------------------------

Grid::VertexIterator Grid::create_by_cloning(Vertex* tmpl, GridObject* parent)
{
    Vertex* v = static_cast<Vertex*>(tmpl->create_empty_instance());
    register_vertex(v, parent);
    return m_vertices.get_iterator(v);
}

Grid::EdgeIterator Grid::create_by_cloning(Edge* tmpl, const EdgeVertices& ev, GridObject* parent)
{
    Edge* e = static_cast<Edge*>(tmpl->create_empty_instance());
    e->set_vertex(0, ev.vertex(0));
    e->set_vertex(1, ev.vertex(1));
    register_edge(e, parent);
    return m_edges.get_iterator(e);
}

// ----- erasure --------------------------------------------------------------

void Grid::erase(Vertex* vrt)
{
    unregister_vertex(vrt);
    delete vrt;
}

void Grid::erase(Edge* edge)
{
    unregister_edge(edge);
    delete edge;
}

void Grid::erase(Face* face)
{
    unregister_face(face);
    delete face;
}

void Grid::erase(Volume* vol)
{
    unregister_volume(vol);
    delete vol;
}

void Grid::unregister_vertex(Vertex* vrt)
{
    notify_newest_first(m_vertexObservers,
                        [&](GridObserver* obs) { obs->vertex_to_be_erased(this, vrt, nullptr); });

    // The vertex must know its neighbours to take them with it.
    if (!option_is_enabled(VRTOPT_STORE_ASSOCIATED_EDGES) && num_edges() > 0) {
        warn(
            "WARNING in Grid::unregister_vertex(...): auto-enabling "
            "VRTOPT_STORE_ASSOCIATED_EDGES.");
        vertex_store_associated_edges(true);
    }
    if (!option_is_enabled(VRTOPT_STORE_ASSOCIATED_FACES) && num_faces() > 0 &&
        !option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES | FACEOPT_AUTOGENERATE_EDGES)) {
        warn(
            "WARNING in Grid::unregister_vertex(...): auto-enabling "
            "VRTOPT_STORE_ASSOCIATED_FACES.");
        vertex_store_associated_faces(true);
    }
    if (!option_is_enabled(VRTOPT_STORE_ASSOCIATED_VOLUMES) && num_volumes() > 0 &&
        !option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES | VOLOPT_AUTOGENERATE_EDGES) &&
        !option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES | VOLOPT_AUTOGENERATE_FACES)) {
        warn(
            "WARNING in Grid::unregister_vertex(...): auto-enabling "
            "VRTOPT_STORE_ASSOCIATED_VOLUMES.");
        vertex_store_associated_volumes(true);
    }

    // The dependants go one by one from the front of the vertex's lists:
    // each erasure takes its element out of the list itself. The lists stay
    // in place meanwhile, so that the erasures can still find the other
    // neighbours of this vertex through it.
    if (num_volumes() > 0 && option_is_enabled(VRTOPT_STORE_ASSOCIATED_VOLUMES)) {
        while (!m_vrtVolumes[vrt].empty())
            erase(m_vrtVolumes[vrt].front());
    }
    if (num_faces() > 0 && option_is_enabled(VRTOPT_STORE_ASSOCIATED_FACES)) {
        while (!m_vrtFaces[vrt].empty())
            erase(m_vrtFaces[vrt].front());
    }
    if (num_edges() > 0) {
        while (!m_vrtEdges[vrt].empty())
            erase(m_vrtEdges[vrt].front());
    }

    unlink_element(vrt);
}

void Grid::unregister_edge(Edge* edge)
{
    notify_newest_first(m_edgeObservers,
                        [&](GridObserver* obs) { obs->edge_to_be_erased(this, edge, nullptr); });

    // volumes at the edge
    if (num_volumes() > 0 &&
        (option_is_enabled(VOLOPT_AUTOGENERATE_EDGES) ||
         option_is_enabled(VOLOPT_STORE_ASSOCIATED_EDGES)) &&
        !option_is_enabled(VOLOPT_AUTOGENERATE_FACES | FACEOPT_AUTOGENERATE_EDGES |
                           EDGEOPT_STORE_ASSOCIATED_FACES | FACEOPT_STORE_ASSOCIATED_VOLUMES)) {
        VolumeContainer vols;
        CollectVolumes(vols, *this, edge);
        if (option_is_enabled(VOLOPT_AUTOGENERATE_EDGES)) {
            if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES))
                m_edgeVolumes[edge].clear();
            for (Volume* vol : vols)
                erase(vol);
        } else {
            for (Volume* vol : vols)
                erase_first(m_volEdges[vol], edge);
        }
    }

    // faces at the edge
    if (num_faces() > 0 && (option_is_enabled(FACEOPT_AUTOGENERATE_EDGES) ||
                            option_is_enabled(FACEOPT_STORE_ASSOCIATED_EDGES))) {
        FaceContainer faces;
        CollectFaces(faces, *this, edge);
        if (option_is_enabled(FACEOPT_AUTOGENERATE_EDGES)) {
            if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES))
                m_edgeFaces[edge].clear();
            for (Face* f : faces)
                erase(f);
        } else {
            for (Face* f : faces)
                erase_first(m_faceEdges[f], edge);
        }
    }

    if (option_is_enabled(VRTOPT_STORE_ASSOCIATED_EDGES)) {
        erase_first(m_vrtEdges[edge->vertex(0)], edge);
        erase_first(m_vrtEdges[edge->vertex(1)], edge);
    }

    unlink_element(edge);
}

void Grid::unregister_face(Face* face)
{
    notify_newest_first(m_faceObservers,
                        [&](GridObserver* obs) { obs->face_to_be_erased(this, face, nullptr); });

    // volumes at the face
    if (num_volumes() > 0 && (option_is_enabled(VOLOPT_AUTOGENERATE_FACES) ||
                              option_is_enabled(VOLOPT_STORE_ASSOCIATED_FACES))) {
        VolumeContainer vols;
        CollectVolumes(vols, *this, face);
        if (option_is_enabled(VOLOPT_AUTOGENERATE_FACES)) {
            if (option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES))
                m_faceVolumes[face].clear();
            for (Volume* vol : vols)
                erase(vol);
        } else {
            for (Volume* vol : vols)
                erase_first(m_volFaces[vol], face);
        }
    }

    if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_FACES)) {
        const int numEdges = static_cast<int>(face->num_edges());
        for (int i = 0; i < numEdges; ++i) {
            if (Edge* e = get_edge(face, i))
                erase_first(m_edgeFaces[e], face);
        }
    }

    if (option_is_enabled(VRTOPT_STORE_ASSOCIATED_FACES)) {
        const unsigned int numVrts = face->num_vertices();
        for (unsigned int i = 0; i < numVrts; ++i)
            erase_first(m_vrtFaces[face->vertex(i)], face);
    }

    unlink_element(face);
}

void Grid::unregister_volume(Volume* vol)
{
    notify_newest_first(m_volumeObservers,
                        [&](GridObserver* obs) { obs->volume_to_be_erased(this, vol, nullptr); });

    if (option_is_enabled(FACEOPT_STORE_ASSOCIATED_VOLUMES)) {
        FaceContainer faces;
        CollectFaces(faces, *this, vol);
        for (Face* f : faces)
            erase_first(m_faceVolumes[f], vol);
    }

    if (option_is_enabled(EDGEOPT_STORE_ASSOCIATED_VOLUMES)) {
        const int numEdges = static_cast<int>(vol->num_edges());
        for (int i = 0; i < numEdges; ++i) {
            if (Edge* e = get_edge(vol, i))
                erase_first(m_edgeVolumes[e], vol);
        }
    }

    if (option_is_enabled(VRTOPT_STORE_ASSOCIATED_VOLUMES)) {
        const unsigned int numVrts = vol->num_vertices();
        for (unsigned int i = 0; i < numVrts; ++i)
            erase_first(m_vrtVolumes[vol->vertex(i)], vol);
    }

    unlink_element(vol);
}

void Grid::clear_geometry()
{
    const unsigned int options = m_options;
    change_options(0);

    while (num_volumes() > 0) {
        Volume* vol = *begin<Volume>();
        unregister_volume(vol);
        delete vol;
    }
    while (num_faces() > 0) {
        Face* f = *begin<Face>();
        unregister_face(f);
        delete f;
    }
    while (num_edges() > 0) {
        Edge* e = *begin<Edge>();
        unregister_edge(e);
        delete e;
    }
    while (num_vertices() > 0) {
        Vertex* v = *begin<Vertex>();
        unregister_vertex(v);
        delete v;
    }

    change_options(options);
}

void Grid::flip_orientation(Edge* edge)
{
    Vertex* v0 = edge->vertex(0);
    edge->set_vertex(0, edge->vertex(1));
    edge->set_vertex(1, v0);
}

// ----- copying --------------------------------------------------------------

namespace {

// The index map of one element kind: entry i names the source row for data
// index i of the target. Rows of the target that hold no copied element take
// the row of some copied element (a valid source row whose value is reset
// when the row is handed out again), so no entry points past the source's
// values. Without any copied element nothing is copied.
template <class TPipe>
std::vector<uint32_t> make_index_map(const TPipe& destPipe,
                                     const std::vector<std::pair<uint32_t, uint32_t>>& newToOld)
{
    std::vector<uint32_t> map;
    if (newToOld.empty())
        return map;
    map.assign(destPipe.num_data_entries(), newToOld.front().second);
    for (const auto& p : newToOld)
        map[p.first] = p.second;
    return map;
}

}  // namespace

Grid& Grid::operator=(const Grid& src)
{
    if (&src == this)
        return *this;

    change_options(0);
    clear_geometry();

    // vertices, indexed by the data index of the source vertex
    std::vector<Vertex*> newVrts(src.m_vertices.pipe().num_data_entries(), nullptr);
    std::vector<std::pair<uint32_t, uint32_t>> vrtRows;
    vrtRows.reserve(src.num_vertices());
    for (VertexIterator it = src.begin<Vertex>(); it != src.end<Vertex>(); ++it) {
        Vertex* old = *it;
        Vertex* v = static_cast<Vertex*>(old->create_empty_instance());
        register_vertex(v);
        newVrts[old->data_index()] = v;
        vrtRows.emplace_back(v->data_index(), old->data_index());
    }

    std::vector<std::pair<uint32_t, uint32_t>> edgeRows;
    edgeRows.reserve(src.num_edges());
    for (EdgeIterator it = src.begin<Edge>(); it != src.end<Edge>(); ++it) {
        Edge* old = *it;
        Edge* e = static_cast<Edge*>(old->create_empty_instance());
        e->set_vertex(0, newVrts[old->vertex(0)->data_index()]);
        e->set_vertex(1, newVrts[old->vertex(1)->data_index()]);
        register_edge(e);
        edgeRows.emplace_back(e->data_index(), old->data_index());
    }

    std::vector<std::pair<uint32_t, uint32_t>> faceRows;
    faceRows.reserve(src.num_faces());
    for (FaceIterator it = src.begin<Face>(); it != src.end<Face>(); ++it) {
        Face* old = *it;
        Face* f = static_cast<Face*>(old->create_empty_instance());
        const unsigned int numVrts = old->num_vertices();
        for (unsigned int i = 0; i < numVrts; ++i)
            f->set_vertex(i, newVrts[old->vertex(i)->data_index()]);
        register_face(f);
        faceRows.emplace_back(f->data_index(), old->data_index());
    }

    std::vector<std::pair<uint32_t, uint32_t>> volRows;
    volRows.reserve(src.num_volumes());
    for (VolumeIterator it = src.begin<Volume>(); it != src.end<Volume>(); ++it) {
        Volume* old = *it;
        Volume* vol = static_cast<Volume*>(old->create_empty_instance());
        const unsigned int numVrts = old->num_vertices();
        for (unsigned int i = 0; i < numVrts; ++i)
            vol->set_vertex(i, newVrts[old->vertex(i)->data_index()]);
        register_volume(vol);
        volRows.emplace_back(vol->data_index(), old->data_index());
    }

    change_options(src.get_options());

    CopyAttachmentValues(src.m_vertices.pipe(), m_vertices.pipe(),
                         make_index_map(m_vertices.pipe(), vrtRows));
    CopyAttachmentValues(src.m_edges.pipe(), m_edges.pipe(),
                         make_index_map(m_edges.pipe(), edgeRows));
    CopyAttachmentValues(src.m_faces.pipe(), m_faces.pipe(),
                         make_index_map(m_faces.pipe(), faceRows));
    CopyAttachmentValues(src.m_volumes.pipe(), m_volumes.pipe(),
                         make_index_map(m_volumes.pipe(), volRows));

    if (src.is_parallel())
        set_parallel(true);
    return *this;
}

// ----- lookups --------------------------------------------------------------

Edge* Grid::get_edge(const EdgeVertices& ev)
{
    Vertex* v0 = ev.vertex(0);
    AssociatedEdgeIterator iEnd = associated_edges_end(v0);
    for (AssociatedEdgeIterator it = associated_edges_begin(v0); it != iEnd; ++it) {
        if (CompareVertices(*it, &ev))
            return *it;
    }
    return nullptr;
}

Edge* Grid::get_edge(Vertex* v0, Vertex* v1)
{
    return get_edge(EdgeDescriptor(v0, v1));
}

Edge* Grid::get_edge(Face* face, int i)
{
    if (!option_is_enabled(FACEOPT_STORE_ASSOCIATED_EDGES))
        return get_edge(face->edge_desc(i));
    if (option_is_enabled(FACEOPT_AUTOGENERATE_EDGES))
        return m_faceEdges[face][static_cast<size_t>(i)];
    EdgeDescriptor ed = face->edge_desc(i);
    for (Edge* e : m_faceEdges[face]) {
        if (CompareVertices(e, &ed))
            return e;
    }
    return nullptr;
}

Edge* Grid::get_edge(Volume* vol, int i)
{
    EdgeDescriptor ed;
    vol->edge_desc(i, ed);
    if (!option_is_enabled(VOLOPT_STORE_ASSOCIATED_EDGES))
        return get_edge(ed);
    if (option_is_enabled(VOLOPT_AUTOGENERATE_EDGES) ||
        option_is_enabled(VOLOPT_AUTOGENERATE_FACES | FACEOPT_AUTOGENERATE_EDGES))
        return m_volEdges[vol][static_cast<size_t>(i)];
    for (Edge* e : m_volEdges[vol]) {
        if (CompareVertices(e, &ed))
            return e;
    }
    return nullptr;
}

Face* Grid::get_face(const FaceVertices& fv)
{
    Vertex* v0 = fv.vertex(0);
    const uint32_t key = vertex_hash_key(&fv);
    AssociatedFaceIterator iEnd = associated_faces_end(v0);
    for (AssociatedFaceIterator it = associated_faces_begin(v0); it != iEnd; ++it) {
        Face* f = *it;
        if (vertex_hash_key(f) == key && CompareVertices(f, &fv))
            return f;
    }
    return nullptr;
}

Face* Grid::get_face(Volume* vol, int i)
{
    FaceDescriptor fd;
    vol->face_desc(i, fd);
    if (!option_is_enabled(VOLOPT_STORE_ASSOCIATED_FACES))
        return get_face(fd);
    if (option_is_enabled(VOLOPT_AUTOGENERATE_FACES))
        return m_volFaces[vol][static_cast<size_t>(i)];
    const uint32_t key = vertex_hash_key(&fd);
    for (Face* f : m_volFaces[vol]) {
        if (vertex_hash_key(f) == key && CompareVertices(f, &fd))
            return f;
    }
    return nullptr;
}

// ----- attachments ----------------------------------------------------------

namespace {

template <class TPipe>
void pass_on_values_in(TPipe& pipe, uint32_t from, uint32_t to)
{
    for (auto it = pipe.attachments_begin(); it != pipe.attachments_end(); ++it) {
        if (it->passOn)
            it->container->copy_data(from, to);
    }
}

}  // namespace

void Grid::pass_on_values(Face* src, Face* dest)
{
    pass_on_values_in(m_faces.pipe(), src->data_index(), dest->data_index());
}

void Grid::pass_on_values(Volume* src, Volume* dest)
{
    pass_on_values_in(m_volumes.pipe(), src->data_index(), dest->data_index());
}

void Grid::set_parallel(bool parallel)
{
    if (parallel) {
        MG_THROW(
            "Parallelism can only be activated, if mg was compiled with PARALLEL=ON. "
            "This is not the case for this application.");
    }
    m_distributionManager.reset();
}

// ----- observers ------------------------------------------------------------

void Grid::register_observer(GridObserver* observer, unsigned int observerKinds)
{
    std::vector<GridObserver*>* lists[] = {&m_gridObservers, &m_vertexObservers, &m_edgeObservers,
                                           &m_faceObservers, &m_volumeObservers};
    for (unsigned int k = 0; k < 5; ++k) {
        if (!(observerKinds & (1u << k)))
            continue;
        std::vector<GridObserver*>& list = *lists[k];
        if (std::find(list.begin(), list.end(), observer) == list.end())
            list.push_back(observer);
    }
}

void Grid::unregister_observer(GridObserver* observer)
{
    std::vector<GridObserver*>* lists[] = {&m_gridObservers, &m_vertexObservers, &m_edgeObservers,
                                           &m_faceObservers, &m_volumeObservers};
    for (std::vector<GridObserver*>* list : lists) {
        auto it = std::find(list->begin(), list->end(), observer);
        if (it == list->end())
            continue;
        if (m_notificationDepth > 0) {
            *it = nullptr;
            m_observerListsHaveGaps = true;
        } else {
            list->erase(it);
        }
    }
}

void Grid::compact_observer_lists()
{
    std::vector<GridObserver*>* lists[] = {&m_gridObservers, &m_vertexObservers, &m_edgeObservers,
                                           &m_faceObservers, &m_volumeObservers};
    for (std::vector<GridObserver*>* list : lists)
        list->erase(std::remove(list->begin(), list->end(), nullptr), list->end());
    m_observerListsHaveGaps = false;
}

void Grid::notify_and_clear_observers(GridObserver* except)
{
    notify_newest_first(m_gridObservers, [&](GridObserver* obs) {
        if (obs != except)
            obs->grid_to_be_destroyed(this);
    });

    std::vector<GridObserver*>* lists[] = {&m_gridObservers, &m_vertexObservers, &m_edgeObservers,
                                           &m_faceObservers, &m_volumeObservers};
    for (std::vector<GridObserver*>* list : lists) {
        while (!list->empty())
            unregister_observer(list->back());
    }
}

}  // namespace mg

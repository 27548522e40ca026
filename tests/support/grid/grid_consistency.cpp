#include "support/grid/grid_consistency.h"

#include "dez_odor/grid/grid.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

namespace mg_test {

using namespace mg;

namespace {

const unsigned int KNOWN_OPTIONS =
    VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES |
    VRTOPT_STORE_ASSOCIATED_VOLUMES | EDGEOPT_STORE_ASSOCIATED_FACES |
    EDGEOPT_STORE_ASSOCIATED_VOLUMES | FACEOPT_STORE_ASSOCIATED_EDGES |
    FACEOPT_STORE_ASSOCIATED_VOLUMES | FACEOPT_AUTOGENERATE_EDGES | VOLOPT_STORE_ASSOCIATED_EDGES |
    VOLOPT_STORE_ASSOCIATED_FACES | VOLOPT_AUTOGENERATE_EDGES | VOLOPT_AUTOGENERATE_FACES;

class Problems {
public:
    template <class... T>
    void add(const T&... parts)
    {
        std::ostringstream ss;
        (ss << ... << parts);
        m_lines.push_back(ss.str());
    }
    std::vector<std::string> take() { return std::move(m_lines); }

private:
    std::vector<std::string> m_lines;
};

// The vertex set of a group, sorted, as a key.
std::vector<Vertex*> vertex_key(const IVertexGroup& g)
{
    std::vector<Vertex*> key(g.vertices(), g.vertices() + g.num_vertices());
    std::sort(key.begin(), key.end());
    return key;
}

std::pair<Vertex*, Vertex*> edge_key(Vertex* a, Vertex* b)
{
    return a < b ? std::make_pair(a, b) : std::make_pair(b, a);
}

struct PairHash {
    size_t operator()(const std::pair<Vertex*, Vertex*>& p) const
    {
        return std::hash<Vertex*>()(p.first) * 31u + std::hash<Vertex*>()(p.second);
    }
};

template <class T>
std::vector<T> sorted(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

// Walks the list of one kind: counts, sections in order, data indices and
// the attachment containers of the kind's pipe.
template <class TBase>
std::vector<TBase*> check_storage(Grid& grid, const char* kind, Problems& problems)
{
    std::vector<TBase*> elems;
    auto& storage = grid.element_storage<TBase>();
    auto& pipe = storage.pipe();
    auto& sc = storage.section_container();

    int lastSection = -1;
    std::map<int, uint32_t> perSection;
    std::unordered_set<uint32_t> indices;
    const size_t limit = static_cast<size_t>(storage.num_elements()) + 1;
    for (auto it = grid.begin<TBase>(); it != grid.end<TBase>() && elems.size() <= limit; ++it) {
        TBase* e = *it;
        elems.push_back(e);
        const int s = e->container_section();
        if (s < lastSection)
            problems.add(kind, " list: section ", s, " after section ", lastSection);
        lastSection = std::max(lastSection, s);
        ++perSection[s];
        if (e->data_index() >= pipe.num_data_entries())
            problems.add(kind, " data index ", e->data_index(), " beyond ",
                         pipe.num_data_entries());
        if (!indices.insert(e->data_index()).second)
            problems.add(kind, " data index ", e->data_index(), " used twice");
    }
    if (elems.size() != storage.num_elements())
        problems.add(kind, " list walks ", elems.size(), " elements, count says ",
                     storage.num_elements());
    if (pipe.num_elements() != storage.num_elements())
        problems.add(kind, " pipe holds ", pipe.num_elements(), " elements, list ",
                     storage.num_elements());
    for (int s = 0; s < sc.num_sections(); ++s) {
        if (sc.num_elements(s) != perSection[s])
            problems.add(kind, " section ", s, " counts ", sc.num_elements(s), " but holds ",
                         perSection[s]);
    }
    for (auto it = pipe.attachments_begin(); it != pipe.attachments_end(); ++it) {
        if (it->container->size() < pipe.num_data_entries())
            problems.add(kind, " attachment \"", it->attachment->name(), "\" holds ",
                         it->container->size(), " values for ", pipe.num_data_entries(),
                         " data entries");
    }
    return elems;
}

// Compares a stored neighbourhood with the expected one, in order or as a
// multiset.
template <class TElem, class TNeighbour>
void compare(Problems& problems, const char* what, const TElem* elem,
             const std::vector<TNeighbour*>& stored, const std::vector<TNeighbour*>& expected,
             bool inOrder)
{
    const bool same = inOrder ? stored == expected : sorted(stored) == sorted(expected);
    if (!same) {
        problems.add(what, " of element ", static_cast<const void*>(elem), " (data index ",
                     elem->data_index(), "): stored ", stored.size(), ", expected ",
                     expected.size(), inOrder ? " in order" : "");
    }
}

}  // namespace

std::vector<std::string> GridProblems(Grid& grid)
{
    Problems problems;
    const unsigned int opts = grid.get_options();
    if (opts & ~KNOWN_OPTIONS)
        problems.add("unknown option bits 0x", std::hex, opts & ~KNOWN_OPTIONS);

    const std::vector<Vertex*> vertices = check_storage<Vertex>(grid, "vertex", problems);
    const std::vector<Edge*> edges = check_storage<Edge>(grid, "edge", problems);
    const std::vector<Face*> faces = check_storage<Face>(grid, "face", problems);
    const std::vector<Volume*> volumes = check_storage<Volume>(grid, "volume", problems);

    std::unordered_set<const Vertex*> vertexSet(vertices.begin(), vertices.end());
    std::unordered_set<uint32_t> hashNumbers;
    for (Vertex* v : vertices) {
        if (!hashNumbers.insert(v->hash_number()).second)
            problems.add("vertex hash number ", v->hash_number(), " used twice");
    }

    auto check_corners = [&](const IVertexGroup& g, const char* kind) {
        for (unsigned int i = 0; i < g.num_vertices(); ++i) {
            if (!vertexSet.count(g.vertex(i)))
                problems.add(kind, " corner ", i, " is no vertex of the grid");
        }
    };

    std::unordered_map<std::pair<Vertex*, Vertex*>, Edge*, PairHash> edgeByKey;
    for (Edge* e : edges) {
        check_corners(*e, "edge");
        if (!edgeByKey.emplace(edge_key(e->vertex(0), e->vertex(1)), e).second)
            problems.add("two edges join the same two vertices");
    }
    std::map<std::vector<Vertex*>, Face*> faceByKey;
    for (Face* f : faces) {
        check_corners(*f, "face");
        faceByKey.emplace(vertex_key(*f), f);
    }
    for (Volume* vol : volumes)
        check_corners(*vol, "volume");

    auto find_edge = [&](const EdgeDescriptor& ed) -> Edge* {
        auto it = edgeByKey.find(edge_key(ed.vertex(0), ed.vertex(1)));
        return it == edgeByKey.end() ? nullptr : it->second;
    };
    auto find_face = [&](const FaceDescriptor& fd) -> Face* {
        auto it = faceByKey.find(vertex_key(fd));
        return it == faceByKey.end() ? nullptr : it->second;
    };

    // Expected neighbourhoods, recomputed from the vertices.
    std::unordered_map<const Vertex*, std::vector<Edge*>> vrtEdges;
    std::unordered_map<const Vertex*, std::vector<Face*>> vrtFaces;
    std::unordered_map<const Vertex*, std::vector<Volume*>> vrtVolumes;
    std::unordered_map<const Edge*, std::vector<Face*>> edgeFaces;
    std::unordered_map<const Edge*, std::vector<Volume*>> edgeVolumes;
    std::unordered_map<const Face*, std::vector<Edge*>> faceEdgesInOrder;  // null for missing sides
    std::unordered_map<const Face*, std::vector<Volume*>> faceVolumes;
    std::unordered_map<const Volume*, std::vector<Edge*>> volEdgesInOrder;
    std::unordered_map<const Volume*, std::vector<Face*>> volFacesInOrder;

    for (Edge* e : edges) {
        vrtEdges[e->vertex(0)].push_back(e);
        vrtEdges[e->vertex(1)].push_back(e);
    }
    for (Face* f : faces) {
        for (unsigned int i = 0; i < f->num_vertices(); ++i)
            vrtFaces[f->vertex(i)].push_back(f);
        for (unsigned int i = 0; i < f->num_edges(); ++i) {
            Edge* e = find_edge(f->edge_desc(static_cast<int>(i)));
            faceEdgesInOrder[f].push_back(e);
            if (e)
                edgeFaces[e].push_back(f);
        }
    }
    for (Volume* vol : volumes) {
        for (unsigned int i = 0; i < vol->num_vertices(); ++i)
            vrtVolumes[vol->vertex(i)].push_back(vol);
        EdgeDescriptor ed;
        for (unsigned int i = 0; i < vol->num_edges(); ++i) {
            vol->edge_desc(static_cast<int>(i), ed);
            Edge* e = find_edge(ed);
            volEdgesInOrder[vol].push_back(e);
            if (e)
                edgeVolumes[e].push_back(vol);
        }
        FaceDescriptor fd;
        for (unsigned int i = 0; i < vol->num_faces(); ++i) {
            vol->face_desc(static_cast<int>(i), fd);
            Face* f = find_face(fd);
            volFacesInOrder[vol].push_back(f);
            if (f)
                faceVolumes[f].push_back(vol);
        }
    }

    auto without_null = [](auto v) {
        v.erase(std::remove(v.begin(), v.end(), nullptr), v.end());
        return v;
    };

    // Auto-generated sides must all exist.
    const bool faceAutoEdges = (opts & FACEOPT_AUTOGENERATE_EDGES) != 0;
    const bool volAutoEdges =
        (opts & VOLOPT_AUTOGENERATE_EDGES) || ((opts & VOLOPT_AUTOGENERATE_FACES) && faceAutoEdges);
    const bool volAutoFaces = (opts & VOLOPT_AUTOGENERATE_FACES) != 0;
    if (faceAutoEdges) {
        for (Face* f : faces) {
            if (without_null(faceEdgesInOrder[f]).size() != f->num_edges())
                problems.add("face at data index ", f->data_index(), " misses an edge");
        }
    }
    for (Volume* vol : volumes) {
        if (volAutoEdges && without_null(volEdgesInOrder[vol]).size() != vol->num_edges())
            problems.add("volume at data index ", vol->data_index(), " misses an edge");
        if (volAutoFaces && without_null(volFacesInOrder[vol]).size() != vol->num_faces())
            problems.add("volume at data index ", vol->data_index(), " misses a face");
    }

    // Stored neighbourhoods against the expected ones.
    if (opts & VRTOPT_STORE_ASSOCIATED_EDGES) {
        for (Vertex* v : vertices)
            compare(
                problems, "edges at vertex", v,
                std::vector<Edge*>(grid.associated_edges_begin(v), grid.associated_edges_end(v)),
                vrtEdges[v], false);
    }
    if (opts & VRTOPT_STORE_ASSOCIATED_FACES) {
        for (Vertex* v : vertices)
            compare(
                problems, "faces at vertex", v,
                std::vector<Face*>(grid.associated_faces_begin(v), grid.associated_faces_end(v)),
                vrtFaces[v], false);
    }
    if (opts & VRTOPT_STORE_ASSOCIATED_VOLUMES) {
        for (Vertex* v : vertices)
            compare(problems, "volumes at vertex", v,
                    std::vector<Volume*>(grid.associated_volumes_begin(v),
                                         grid.associated_volumes_end(v)),
                    vrtVolumes[v], false);
    }
    if (opts & EDGEOPT_STORE_ASSOCIATED_FACES) {
        for (Edge* e : edges)
            compare(
                problems, "faces at edge", e,
                std::vector<Face*>(grid.associated_faces_begin(e), grid.associated_faces_end(e)),
                edgeFaces[e], false);
    }
    if (opts & EDGEOPT_STORE_ASSOCIATED_VOLUMES) {
        for (Edge* e : edges)
            compare(problems, "volumes at edge", e,
                    std::vector<Volume*>(grid.associated_volumes_begin(e),
                                         grid.associated_volumes_end(e)),
                    edgeVolumes[e], false);
    }
    if (opts & FACEOPT_STORE_ASSOCIATED_EDGES) {
        for (Face* f : faces)
            compare(
                problems, "edges of face", f,
                std::vector<Edge*>(grid.associated_edges_begin(f), grid.associated_edges_end(f)),
                faceAutoEdges ? faceEdgesInOrder[f] : without_null(faceEdgesInOrder[f]),
                faceAutoEdges);
    }
    if (opts & FACEOPT_STORE_ASSOCIATED_VOLUMES) {
        for (Face* f : faces)
            compare(problems, "volumes at face", f,
                    std::vector<Volume*>(grid.associated_volumes_begin(f),
                                         grid.associated_volumes_end(f)),
                    faceVolumes[f], false);
    }
    if (opts & VOLOPT_STORE_ASSOCIATED_EDGES) {
        for (Volume* vol : volumes)
            compare(problems, "edges of volume", vol,
                    std::vector<Edge*>(grid.associated_edges_begin(vol),
                                       grid.associated_edges_end(vol)),
                    volAutoEdges ? volEdgesInOrder[vol] : without_null(volEdgesInOrder[vol]),
                    volAutoEdges);
    }
    if (opts & VOLOPT_STORE_ASSOCIATED_FACES) {
        for (Volume* vol : volumes)
            compare(problems, "faces of volume", vol,
                    std::vector<Face*>(grid.associated_faces_begin(vol),
                                       grid.associated_faces_end(vol)),
                    volAutoFaces ? volFacesInOrder[vol] : without_null(volFacesInOrder[vol]),
                    volAutoFaces);
    }

    return problems.take();
}

::testing::AssertionResult GridIsConsistent(Grid& grid)
{
    const std::vector<std::string> problems = GridProblems(grid);
    if (problems.empty())
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult r = ::testing::AssertionFailure();
    r << problems.size() << " problem(s):";
    const size_t shown = std::min<size_t>(problems.size(), 20);
    for (size_t i = 0; i < shown; ++i)
        r << "\n  " << problems[i];
    return r;
}

}  // namespace mg_test

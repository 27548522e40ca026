// Options switched at run time, the warnings of automatic switches, the
// associated-element queries and the collectors.

#include "dez_odor/grid/grid.h"

#include "dez_odor/grid/associated_elements.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/recording_observer.h"
#include "support/grid/stdout_capture.h"
#include "support/grid/test_tetrahedron.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace mg;
using mg_test::GridIsConsistent;
using mg_test::NotificationLog;
using mg_test::RecordingObserver;
using mg_test::StdoutCapture;
using mg_test::TestTetrahedron;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

template <class TIter>
auto collect(TIter b, TIter e)
{
    return std::vector<typename std::iterator_traits<TIter>::value_type>(b, e);
}

template <class T>
std::vector<T> collect(const ElementPointerArray<T>& arr)
{
    return std::vector<T>(arr.begin(), arr.end());
}

// A grid with the vertices a, b, c, d, the edge (a, b), the triangle
// (a, b, c) and the tetrahedron (a, b, c, d), built under the given options.
struct Fixture {
    explicit Fixture(unsigned int options) : grid(options)
    {
        StdoutCapture quiet;  // building may switch options on
        a = *grid.create<RegularVertex>();
        b = *grid.create<RegularVertex>();
        c = *grid.create<RegularVertex>();
        d = *grid.create<RegularVertex>();
        ab = grid.get_options() & FACEOPT_AUTOGENERATE_EDGES
                 ? nullptr
                 : *grid.create<RegularEdge>(EdgeDescriptor(a, b));
        tri = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
        if (!ab)
            ab = grid.get_edge(a, b);
        tet = new TestTetrahedron(a, b, c, d);
        grid.register_volume(tet);
    }

    Grid grid;
    Vertex* a;
    Vertex* b;
    Vertex* c;
    Vertex* d;
    Edge* ab;
    Face* tri;
    Volume* tet;
};

struct WarningCase {
    const char* name;
    unsigned int options;
    std::function<void(Fixture&)> call;
    std::vector<std::string> expected;
};

std::string warning(const std::string& where, const std::string& option)
{
    return "WARNING in " + where + ": auto-enabling " + option + ".";
}

TEST(GridOptionWarnings, EachAutomaticSwitchWarnsExactlyOnce)
{
    const std::string VE = "VRTOPT_STORE_ASSOCIATED_EDGES", VF = "VRTOPT_STORE_ASSOCIATED_FACES",
                      VV = "VRTOPT_STORE_ASSOCIATED_VOLUMES", EF = "EDGEOPT_STORE_ASSOCIATED_FACES",
                      EV = "EDGEOPT_STORE_ASSOCIATED_VOLUMES",
                      FE = "FACEOPT_STORE_ASSOCIATED_EDGES",
                      FV = "FACEOPT_STORE_ASSOCIATED_VOLUMES", OE = "VOLOPT_STORE_ASSOCIATED_EDGES",
                      OF = "VOLOPT_STORE_ASSOCIATED_FACES";
    ElementPointerArray<Edge*> edges;
    ElementPointerArray<Face*> faces;
    std::vector<Face*> faceVec;
    std::vector<Volume*> volVec;

    const std::vector<WarningCase> cases = {
        {"get_associated(edges, vrt)",
         0,
         [&](Fixture& f) { f.grid.get_associated(edges, f.a); },
         {warning("get_associated(edges, vrt)", VE)}},
        {"get_associated(faces, vrt)",
         0,
         [&](Fixture& f) { f.grid.get_associated(faces, f.a); },
         {warning("get_associated(faces, vrt)", VF)}},
        {"get_associated(faces, edge)",
         0,
         [&](Fixture& f) { f.grid.get_associated(faces, f.ab); },
         {warning("get_associated(faces, edge)", VF)}},
        {"get_associated(edges, face)",
         0,
         [&](Fixture& f) { f.grid.get_associated(edges, f.tri); },
         {warning("associated_edges_end(vrt)", VE)}},
        {"get_edge(a, b)",
         0,
         [](Fixture& f) { f.grid.get_edge(f.a, f.b); },
         {warning("associated_edges_end(vrt)", VE)}},
        {"CollectFaces(edge)",
         0,
         [&](Fixture& f) { CollectFaces(faceVec, f.grid, f.ab); },
         {warning("associated_faces_end(vrt)", VF)}},
        {"CollectVolumes(edge)",
         0,
         [&](Fixture& f) { CollectVolumes(volVec, f.grid, f.ab); },
         {warning("associated_volumes_end(vrt)", VV)}},
        {"register_edge looks for faces",
         0,
         [](Fixture&) {
             Grid g(EDGEOPT_STORE_ASSOCIATED_FACES | VRTOPT_STORE_ASSOCIATED_EDGES);
             Vertex* a = *g.create<RegularVertex>();
             g.create<RegularEdge>(EdgeDescriptor(a, *g.create<RegularVertex>()));
         },
         {warning("associated_faces_begin(vrt)", VF)}},
        {"register_edge looks for volumes",
         0,
         [](Fixture&) {
             Grid g(VOLOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_EDGES);
             Vertex* a = *g.create<RegularVertex>();
             g.create<RegularEdge>(EdgeDescriptor(a, *g.create<RegularVertex>()));
         },
         {warning("associated_volumes_begin(vrt)", VV)}},
        {"edge_store_associated_faces",
         0,
         [](Fixture& f) { f.grid.edge_store_associated_faces(true); },
         {warning("edge_store_associated_faces(...)", VE)}},
        {"edge_store_associated_volumes",
         VRTOPT_STORE_ASSOCIATED_EDGES,
         [](Fixture& f) { f.grid.edge_store_associated_volumes(true); },
         {warning("Grid::edge_store_associated_volumes(...)", VV)}},
        {"erase a vertex",
         0,
         [](Fixture& f) { f.grid.erase(f.a); },
         {warning("Grid::unregister_vertex(...)", VE), warning("Grid::unregister_vertex(...)", VF),
          warning("Grid::unregister_vertex(...)", VV)}},
        {"erase a vertex, faces via edges",
         EDGEOPT_STORE_ASSOCIATED_FACES | FACEOPT_AUTOGENERATE_EDGES |
             VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_VOLUMES,
         [](Fixture& f) { f.grid.erase(f.a); },
         {}},
    };

    // Stored-neighbourhood accessors: whichever of begin and end comes first
    // switches the option on and warns; the other one is then silent. The
    // options keep whatever the setter itself needs switched on already.
    struct Accessor {
        const char* func;
        const char* elem;
        std::string option;
        unsigned int options;
        std::function<void(Fixture&, bool)> call;  // bool: begin
    };
    const unsigned int OPT_VE = VRTOPT_STORE_ASSOCIATED_EDGES,
                       OPT_VF = VRTOPT_STORE_ASSOCIATED_FACES,
                       OPT_VV = VRTOPT_STORE_ASSOCIATED_VOLUMES;
    const std::vector<Accessor> accessors = {
        {"associated_edges", "vrt", VE, 0,
         [](Fixture& f, bool b) {
             b ? (void)f.grid.associated_edges_begin(f.a) : (void)f.grid.associated_edges_end(f.a);
         }},
        {"associated_edges", "face", FE, OPT_VE,
         [](Fixture& f, bool b) {
             b ? (void)f.grid.associated_edges_begin(f.tri)
               : (void)f.grid.associated_edges_end(f.tri);
         }},
        {"associated_edges", "vol", OE, OPT_VE,
         [](Fixture& f, bool b) {
             b ? (void)f.grid.associated_edges_begin(f.tet)
               : (void)f.grid.associated_edges_end(f.tet);
         }},
        {"associated_faces", "vrt", VF, 0,
         [](Fixture& f, bool b) {
             b ? (void)f.grid.associated_faces_begin(f.a) : (void)f.grid.associated_faces_end(f.a);
         }},
        {"associated_faces", "edge", EF, OPT_VE,
         [](Fixture& f, bool b) {
             b ? (void)f.grid.associated_faces_begin(f.ab)
               : (void)f.grid.associated_faces_end(f.ab);
         }},
        {"associated_faces", "vol", OF, OPT_VF,
         [](Fixture& f, bool b) {
             b ? (void)f.grid.associated_faces_begin(f.tet)
               : (void)f.grid.associated_faces_end(f.tet);
         }},
        {"associated_volumes", "vrt", VV, 0,
         [](Fixture& f, bool b) {
             b ? (void)f.grid.associated_volumes_begin(f.a)
               : (void)f.grid.associated_volumes_end(f.a);
         }},
        {"associated_volumes", "edge", EV, OPT_VE | OPT_VV,
         [](Fixture& f, bool b) {
             b ? (void)f.grid.associated_volumes_begin(f.ab)
               : (void)f.grid.associated_volumes_end(f.ab);
         }},
        {"associated_volumes", "face", FV, OPT_VF,
         [](Fixture& f, bool b) {
             b ? (void)f.grid.associated_volumes_begin(f.tri)
               : (void)f.grid.associated_volumes_end(f.tri);
         }},
    };

    std::vector<WarningCase> all = cases;
    for (const Accessor& acc : accessors) {
        for (bool beginFirst : {true, false}) {
            const std::string func =
                std::string(acc.func) + (beginFirst ? "_begin(" : "_end(") + acc.elem + ")";
            auto call = acc.call;
            all.push_back({acc.func,
                           acc.options,
                           [call, beginFirst](Fixture& f) {
                               call(f, beginFirst);
                               call(f, !beginFirst);
                           },
                           {warning(func, acc.option)}});
        }
    }

    for (const WarningCase& wc : all) {
        const std::string name = wc.name;
        SCOPED_TRACE(name + " / " + (wc.expected.empty() ? "-" : wc.expected.front()));
        Fixture f(wc.options);
        std::string expected;
        for (const std::string& line : wc.expected)
            expected += line + "\n";
        {
            StdoutCapture out;
            wc.call(f);
            EXPECT_EQ(out.str(), expected);
        }
        // The option stays on: the same call again prints nothing.
        if (name.rfind("erase", 0) != 0 && name.rfind("register", 0) != 0) {
            StdoutCapture out;
            wc.call(f);
            EXPECT_EQ(out.str(), "");
        }
        EXPECT_TRUE(GridIsConsistent(f.grid));
    }
}

TEST(GridAssociated, OptionlessGridWithoutEdgesAnswersEmptyAndStaysOptionless)
{
    Grid grid(0);
    Vertex* a = *grid.create<RegularVertex>();
    ElementPointerArray<Edge*> edges;
    ElementPointerArray<Face*> faces;
    StdoutCapture out;
    grid.get_associated(edges, a);
    grid.get_associated(faces, a);
    EXPECT_TRUE(edges.empty());
    EXPECT_TRUE(faces.empty());
    EXPECT_EQ(grid.get_options(), 0u);
    EXPECT_EQ(out.str(), "");
}

TEST(GridAssociated, ViewsOfStoredNeighbourhoodsAndFilledLists)
{
    Grid grid(GRIDOPT_LEVEL_MESH);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Vertex* d = *grid.create<RegularVertex>();
    Face* t1 = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    Face* t2 = *grid.create<Triangle>(TriangleDescriptor(c, b, d));
    Edge* bc = grid.get_edge(b, c);

    ElementPointerArray<Edge*> edges;
    grid.get_associated(edges, t2);  // stored: a view, in side order
    EXPECT_TRUE(edges.is_view());
    EXPECT_THAT(collect(edges), ElementsAre(bc, grid.get_edge(b, d), grid.get_edge(d, c)));

    // appending to a view copies first; the stored neighbourhood stays
    edges.push_back(nullptr);
    EXPECT_FALSE(edges.is_view());
    EXPECT_EQ(edges.size(), 4u);
    EXPECT_EQ(collect(grid.associated_edges_begin(t2), grid.associated_edges_end(t2)).size(), 3u);

    grid.get_associated(edges, b);
    EXPECT_TRUE(edges.is_view());
    EXPECT_EQ(edges.size(), 3u);

    ElementPointerArray<Face*> faces;
    grid.get_associated(faces, bc);  // edges keep no faces here: searched
    EXPECT_FALSE(faces.is_view());
    EXPECT_THAT(collect(faces), ElementsAre(t1, t2));
    grid.get_associated(faces, grid.get_edge(c, a));
    EXPECT_THAT(collect(faces), ElementsAre(t1));
    grid.get_associated(faces, d);
    EXPECT_TRUE(faces.is_view());
    EXPECT_THAT(collect(faces), ElementsAre(t2));

    // a copy of an own list is independent
    grid.get_associated(faces, bc);
    ElementPointerArray<Face*> copy = faces;
    faces.push_back(nullptr);
    EXPECT_EQ(copy.size(), 2u);
}

TEST(GridOptions, SwitchingFaceOptionsOffOnTheLevelGrid)
{
    Grid grid(GRIDOPT_LEVEL_MESH);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Face* tri = *grid.create<Triangle>(TriangleDescriptor(a, b, c));

    grid.change_face_options(0);
    EXPECT_EQ(grid.get_options(), VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES);
    EXPECT_FALSE(grid.face_attachment_pipe().num_attachments() > 1);  // only the list links remain
    ElementPointerArray<Edge*> edges;
    grid.get_associated(edges, tri);
    EXPECT_FALSE(edges.is_view());
    EXPECT_EQ(edges.size(), 3u);

    // without auto-generated edges, erasing an edge keeps the face
    grid.erase(grid.get_edge(a, b));
    EXPECT_EQ(grid.num_faces(), 1u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridOptions, SwitchingEdgeGenerationOnCreatesSharedEdgesOnce)
{
    Grid grid(VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES);
    NotificationLog log;
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Vertex* d = *grid.create<RegularVertex>();
    Face* t1 = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    Face* t2 = *grid.create<Triangle>(TriangleDescriptor(c, b, d));
    RecordingObserver obs(log);
    obs.observe(grid);
    log.set_name(t1, "T1");
    log.set_name(t2, "T2");

    grid.face_autogenerate_edges(true);
    EXPECT_THAT(log.lines(), ElementsAre("edge_created e0 parent T1", "edge_created e1 parent T1",
                                         "edge_created e2 parent T1", "edge_created e3 parent T2",
                                         "edge_created e4 parent T2"));
    EXPECT_EQ(grid.num_edges(), 5u);
    EXPECT_TRUE(GridIsConsistent(grid));

    // Now erasing the shared edge takes both triangles with it.
    grid.erase(grid.get_edge(b, c));
    EXPECT_EQ(grid.num_faces(), 0u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridOptions, SwitchingEdgeGenerationOnKeepsEveryEdgeFaceLink)
{
    // Edges that keep their faces must also learn of the second face that
    // finds an edge made earlier in the same switch.
    Grid grid(VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES |
              EDGEOPT_STORE_ASSOCIATED_FACES | FACEOPT_STORE_ASSOCIATED_EDGES);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Vertex* d = *grid.create<RegularVertex>();
    Face* t1 = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    Face* t2 = *grid.create<Triangle>(TriangleDescriptor(c, b, d));
    Edge* cd = *grid.create<RegularEdge>(EdgeDescriptor(c, d));  // exists before the switch

    grid.face_autogenerate_edges(true);
    EXPECT_TRUE(GridIsConsistent(grid));
    Edge* bc = grid.get_edge(b, c);
    EXPECT_THAT(collect(grid.associated_faces_begin(bc), grid.associated_faces_end(bc)),
                ElementsAre(t1, t2));
    EXPECT_THAT(collect(grid.associated_faces_begin(cd), grid.associated_faces_end(cd)),
                ElementsAre(t2));

    // erasing the shared edge erases both faces; nothing keeps the dead edge
    grid.erase(bc);
    EXPECT_EQ(grid.num_faces(), 0u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridOptions, StoringFaceEdgesUnderEdgeGenerationGivesSideOrder)
{
    Grid grid(VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES |
              FACEOPT_AUTOGENERATE_EDGES);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Vertex* d = *grid.create<RegularVertex>();
    grid.create<Triangle>(TriangleDescriptor(a, b, c));
    Face* t2 = *grid.create<Triangle>(TriangleDescriptor(c, b, d));

    grid.face_store_associated_edges(true);
    EXPECT_THAT(collect(grid.associated_edges_begin(t2), grid.associated_edges_end(t2)),
                ElementsAre(grid.get_edge(c, b), grid.get_edge(b, d), grid.get_edge(d, c)));
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridOptions, EnableOptionsAndOptionQueries)
{
    Grid grid(0);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    grid.create<Triangle>(TriangleDescriptor(a, b, c));
    {
        StdoutCapture quiet;
        grid.enable_options(GRIDOPT_LEVEL_MESH);
        EXPECT_EQ(quiet.str(), "");
    }
    EXPECT_EQ(grid.get_options(), static_cast<unsigned int>(GRIDOPT_LEVEL_MESH));
    EXPECT_EQ(grid.num_edges(), 3u);
    EXPECT_TRUE(grid.option_is_enabled(VRTOPT_STORE_ASSOCIATED_EDGES | FACEOPT_AUTOGENERATE_EDGES));
    EXPECT_FALSE(
        grid.option_is_enabled(VRTOPT_STORE_ASSOCIATED_EDGES | EDGEOPT_STORE_ASSOCIATED_FACES));
    EXPECT_TRUE(GridIsConsistent(grid));

    EXPECT_EQ(Grid().get_options(), 0x10080007u);
}

TEST(GridOptions, VolumesCreateTheirFacesAndEdges)
{
    Grid grid;  // default options: volumes make faces, faces make edges
    NotificationLog log;
    RecordingObserver obs(log);
    obs.observe(grid);
    Vertex* v[4];
    for (Vertex*& x : v)
        x = *grid.create<RegularVertex>();
    Volume* tet = new TestTetrahedron(v[0], v[1], v[2], v[3]);
    grid.register_volume(tet);
    EXPECT_EQ(grid.num_faces(), 4u);
    EXPECT_EQ(grid.num_edges(), 6u);
    EXPECT_EQ(log.lines().back(), "volume_created vol0 parent -");
    EXPECT_TRUE(GridIsConsistent(grid));

    // erasing one of its faces erases the volume; the faces and edges stay
    grid.erase(grid.get_face(tet, 0));
    EXPECT_EQ(grid.num_volumes(), 0u);
    EXPECT_EQ(grid.num_faces(), 3u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridOptions, EdgesMadeByAVolumesFacesNameTheVolumeOnce)
{
    // The volume's new faces make new edges that already name the volume;
    // linking the volume's edges afterwards must not name it twice, or the
    // edge would keep the volume after it is erased.
    Grid grid(GRIDOPT_DEFAULT | EDGEOPT_STORE_ASSOCIATED_VOLUMES | VOLOPT_STORE_ASSOCIATED_EDGES |
              FACEOPT_STORE_ASSOCIATED_VOLUMES | VOLOPT_STORE_ASSOCIATED_FACES);
    Vertex* v[5];
    for (Vertex*& x : v)
        x = *grid.create<RegularVertex>();
    Volume* t1 = new TestTetrahedron(v[0], v[1], v[2], v[3]);
    grid.register_volume(t1);
    Volume* t2 = new TestTetrahedron(v[1], v[0], v[2], v[4]);
    grid.register_volume(t2);
    EXPECT_TRUE(GridIsConsistent(grid));
    Edge* shared = grid.get_edge(v[0], v[1]);
    EXPECT_THAT(collect(grid.associated_volumes_begin(shared), grid.associated_volumes_end(shared)),
                UnorderedElementsAre(t1, t2));

    grid.erase(t1);
    EXPECT_TRUE(GridIsConsistent(grid));
    grid.erase(v[4]);
    EXPECT_EQ(grid.num_volumes(), 0u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridCollectors, CollectorsAndContainment)
{
    Grid grid(GRIDOPT_LEVEL_MESH);
    Vertex* v[4];
    for (Vertex*& x : v)
        x = *grid.create<RegularVertex>();
    Face* q = new Quadrilateral(v[0], v[1], v[2], v[3]);
    grid.register_face(q);

    EdgeDescriptor diagonal(v[0], v[2]);
    EXPECT_FALSE(FaceContains(q, &diagonal));
    EdgeDescriptor side(v[3], v[0]);
    EXPECT_TRUE(FaceContains(q, &side));

    std::vector<Face*> faces = {nullptr};
    CollectFaces(faces, grid, grid.get_edge(v[1], v[2]), false);
    EXPECT_THAT(faces, ElementsAre(nullptr, q));
    CollectFaces(faces, grid, grid.get_edge(v[1], v[2]));
    EXPECT_THAT(faces, ElementsAre(q));

    std::vector<Edge*> edges;
    CollectEdges(edges, grid, q);
    EXPECT_THAT(edges, ElementsAre(grid.get_edge(v[0], v[1]), grid.get_edge(v[1], v[2]),
                                   grid.get_edge(v[2], v[3]), grid.get_edge(v[3], v[0])));

    std::vector<Volume*> vols = {nullptr};
    CollectVolumes(vols, grid, q);
    EXPECT_THAT(vols, IsEmpty());  // no volumes in the grid

    FaceDescriptor fd(4);
    for (unsigned int i = 0; i < 4; ++i)
        fd.set_vertex(i, v[(i + 2) % 4]);
    EXPECT_TRUE(CompareVertices(q, &fd));
    fd.set_num_vertices(3);
    EXPECT_FALSE(CompareVertices(q, &fd));
    EXPECT_EQ(grid.get_face(FaceDescriptor(fd)), nullptr);
}

}  // namespace

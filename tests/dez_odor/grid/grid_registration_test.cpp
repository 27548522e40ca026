// Registration and erasure: what a grid links, creates and erases, and in
// which order its observers hear of it.

#include "dez_odor/grid/grid.h"

#include "common/error.h"
#include "dez_odor/grid/global_attachments.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/recording_observer.h"
#include "support/grid/stdout_capture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace mg;
using mg_test::GridIsConsistent;
using mg_test::NotificationLog;
using mg_test::RecordingObserver;
using mg_test::StdoutCapture;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

template <class TIter>
auto collect(TIter b, TIter e)
{
    return std::vector<typename std::iterator_traits<TIter>::value_type>(b, e);
}

template <class TElem>
std::vector<TElem*> elements(Grid& g)
{
    std::vector<TElem*> out;
    for (auto it = g.begin<TElem>(); it != g.end<TElem>(); ++it)
        out.push_back(*it);
    return out;
}

bool joins(Edge* e, Vertex* a, Vertex* b)
{
    return e && e->vertex(0) == a && e->vertex(1) == b;
}

// A grid with the level's options and three named bare vertices a, b, c.
class LevelGridTest : public ::testing::Test {
protected:
    LevelGridTest() : grid(GRIDOPT_LEVEL_MESH), observer(log)
    {
        a = *grid.create<RegularVertex>();
        b = *grid.create<RegularVertex>();
        c = *grid.create<RegularVertex>();
        d = *grid.create<RegularVertex>();
        observer.observe(grid);
        log.set_name(a, "a");
        log.set_name(b, "b");
        log.set_name(c, "c");
        log.set_name(d, "d");
    }

    Grid grid;
    NotificationLog log;
    RecordingObserver observer;
    Vertex* a;
    Vertex* b;
    Vertex* c;
    Vertex* d;
};

TEST_F(LevelGridTest, TriangleOnBareVerticesCreatesItsEdgesInSideOrderBeforeItself)
{
    Vertex* parent = d;
    Face* tri = *grid.create<Triangle>(TriangleDescriptor(a, b, c), parent);
    log.set_name(tri, "T");

    // Edge observers hear of the three edges (parent: the triangle's parent)
    // before face observers hear of the triangle.
    EXPECT_THAT(log.lines(), ElementsAre("edge_created e0 parent d", "edge_created e1 parent d",
                                         "edge_created e2 parent d", "face_created f0 parent d"));

    std::vector<Edge*> edges =
        collect(grid.associated_edges_begin(tri), grid.associated_edges_end(tri));
    ASSERT_EQ(edges.size(), 3u);
    EXPECT_TRUE(joins(edges[0], a, b));
    EXPECT_TRUE(joins(edges[1], b, c));
    EXPECT_TRUE(joins(edges[2], c, a));
    EXPECT_EQ(elements<Edge>(grid), edges);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(grid.get_edge(tri, i), edges[static_cast<size_t>(i)]);

    for (Vertex* v : {a, b, c})
        EXPECT_THAT(collect(grid.associated_faces_begin(v), grid.associated_faces_end(v)),
                    ElementsAre(tri));
    EXPECT_THAT(collect(grid.associated_edges_begin(a), grid.associated_edges_end(a)),
                UnorderedElementsAre(edges[0], edges[2]));
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST_F(LevelGridTest, NeighbouringTriangleCreatesOnlyItsTwoNewEdges)
{
    Face* t1 = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    Edge* shared = grid.get_edge(b, c);
    log.clear();
    Face* t2 = *grid.create<Triangle>(TriangleDescriptor(c, b, d));

    EXPECT_EQ(log.lines_of("edge_created").size(), 2u);
    EXPECT_EQ(grid.num_edges(), 5u);
    EXPECT_EQ(grid.get_edge(t2, 0), shared);
    EXPECT_EQ(grid.get_edge(t1, 1), shared);
    EXPECT_TRUE(joins(grid.get_edge(t2, 1), b, d));
    EXPECT_TRUE(joins(grid.get_edge(t2, 2), d, c));
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST_F(LevelGridTest, ErasingAnEdgeErasesItsFacesAfterTellingTheEdgeObservers)
{
    Face* tri = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    log.set_name(tri, "T");
    Edge* ab = grid.get_edge(a, b);
    Edge* bc = grid.get_edge(b, c);
    Edge* ca = grid.get_edge(c, a);
    log.set_name(ab, "ab");
    log.clear();

    grid.erase(ab);

    EXPECT_THAT(log.lines(), ElementsAre("edge_to_be_erased ab", "face_to_be_erased T"));
    EXPECT_EQ(grid.num_faces(), 0u);
    EXPECT_THAT(elements<Edge>(grid), ElementsAre(bc, ca));
    EXPECT_EQ(grid.num_vertices(), 4u);
    EXPECT_THAT(collect(grid.associated_edges_begin(a), grid.associated_edges_end(a)),
                ElementsAre(ca));
    EXPECT_THAT(collect(grid.associated_faces_begin(a), grid.associated_faces_end(a)), IsEmpty());
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST_F(LevelGridTest, ErasingAVertexErasesItsFacesThenItsEdgesSilently)
{
    Face* t1 = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    Face* t2 = *grid.create<Triangle>(TriangleDescriptor(c, b, d));
    log.set_name(t1, "T1");
    log.set_name(t2, "T2");
    log.set_name(grid.get_edge(a, b), "ab");
    log.set_name(grid.get_edge(b, c), "bc");
    log.set_name(grid.get_edge(b, d), "bd");
    log.clear();

    StdoutCapture out;
    grid.erase(b);

    EXPECT_EQ(out.str(), "");
    EXPECT_THAT(log.lines(), ElementsAre("vertex_to_be_erased b", "face_to_be_erased T1",
                                         "face_to_be_erased T2", "edge_to_be_erased ab",
                                         "edge_to_be_erased bc", "edge_to_be_erased bd"));
    EXPECT_EQ(grid.num_vertices(), 3u);
    EXPECT_EQ(grid.num_edges(), 2u);  // ca and dc stay
    EXPECT_EQ(grid.num_faces(), 0u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridRegistration, ErasingAVertexOfAnOptionlessGridSwitchesEdgeStorageOnOnce)
{
    Grid grid(0);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    grid.create<RegularEdge>(EdgeDescriptor(a, b));
    grid.create<RegularEdge>(EdgeDescriptor(b, c));

    StdoutCapture out;
    grid.erase(a);
    grid.erase(b);
    EXPECT_EQ(
        out.str(),
        "WARNING in Grid::unregister_vertex(...): auto-enabling VRTOPT_STORE_ASSOCIATED_EDGES.\n");
    EXPECT_TRUE(grid.option_is_enabled(VRTOPT_STORE_ASSOCIATED_EDGES));
    EXPECT_EQ(grid.num_edges(), 0u);
    EXPECT_EQ(grid.num_vertices(), 1u);
}

TEST(GridRegistration, ErasingAVertexWithFacesButNoStoredFacesWarnsForFaces)
{
    Grid grid(VRTOPT_STORE_ASSOCIATED_EDGES | FACEOPT_AUTOGENERATE_EDGES);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    grid.create<Triangle>(TriangleDescriptor(a, b, c));

    StdoutCapture out;
    grid.erase(a);
    EXPECT_EQ(
        out.str(),
        "WARNING in Grid::unregister_vertex(...): auto-enabling VRTOPT_STORE_ASSOCIATED_FACES.\n");
    EXPECT_EQ(grid.num_faces(), 0u);
    EXPECT_EQ(grid.num_edges(), 1u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridRegistration, ErasingAVertexWhoseFacesAreFoundThroughItsEdges)
{
    // Vertices keep no faces: the faces go with the vertex's edges, and each
    // of them must still find all its edges (through the vertex) to leave
    // their face lists.
    Grid grid(VRTOPT_STORE_ASSOCIATED_EDGES | EDGEOPT_STORE_ASSOCIATED_FACES |
              FACEOPT_AUTOGENERATE_EDGES);
    NotificationLog log;
    RecordingObserver obs(log);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Vertex* d = *grid.create<RegularVertex>();
    grid.create<Triangle>(TriangleDescriptor(a, b, c));
    grid.create<Triangle>(TriangleDescriptor(b, a, d));
    Vertex* e = *grid.create<RegularVertex>();
    grid.create<Triangle>(TriangleDescriptor(c, b, e));  // stays
    obs.observe(grid);

    StdoutCapture out;
    grid.erase(a);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(log.lines_of("face_to_be_erased").size(), 2u);
    EXPECT_EQ(log.lines_of("edge_to_be_erased").size(), 3u);
    EXPECT_EQ(grid.num_faces(), 1u);
    EXPECT_EQ(grid.num_edges(), 4u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridRegistration, VerticesTakeRunningHashNumbers)
{
    Grid grid;
    Vertex* v0 = *grid.create<RegularVertex>();
    Vertex* v1 = *grid.create<RegularVertex>();
    grid.erase(v0);
    Vertex* v2 = *grid.create<RegularVertex>();
    EXPECT_EQ(v1->hash_number(), 1u);
    EXPECT_EQ(v2->hash_number(), 2u);  // the counter is never reset
}

TEST(GridRegistration, EdgeRegisteredAfterItsFacesIsLinkedToThem)
{
    // Without auto-generated edges an edge finds its faces through its first
    // vertex when it is registered.
    Grid grid(VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES |
              EDGEOPT_STORE_ASSOCIATED_FACES | FACEOPT_STORE_ASSOCIATED_EDGES);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Vertex* d = *grid.create<RegularVertex>();
    Face* t1 = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    Face* t2 = *grid.create<Triangle>(TriangleDescriptor(c, b, d));
    EXPECT_EQ(grid.num_edges(), 0u);

    Edge* bc = *grid.create<RegularEdge>(EdgeDescriptor(b, c));
    EXPECT_THAT(collect(grid.associated_faces_begin(bc), grid.associated_faces_end(bc)),
                ElementsAre(t1, t2));
    EXPECT_THAT(collect(grid.associated_edges_begin(t1), grid.associated_edges_end(t1)),
                ElementsAre(bc));
    EXPECT_EQ(grid.get_edge(t2, 0), bc);
    EXPECT_EQ(grid.get_edge(t2, 1), nullptr);

    grid.erase(bc);  // the faces stay: they do not generate their edges
    EXPECT_EQ(grid.num_faces(), 2u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridRegistration, QuadrilateralsFollowTheTrianglesInTheFaceList)
{
    Grid grid;
    std::vector<Vertex*> v;
    for (int i = 0; i < 6; ++i)
        v.push_back(*grid.create<RegularVertex>());
    Face* q = new Quadrilateral(v[0], v[1], v[2], v[3]);
    grid.register_face(q);
    Face* t = *grid.create<Triangle>(TriangleDescriptor(v[3], v[2], v[4]));

    EXPECT_THAT(elements<Face>(grid), ElementsAre(t, q));
    EXPECT_THAT(elements<Triangle>(grid), ElementsAre(t));
    EXPECT_THAT(elements<Quadrilateral>(grid), ElementsAre(q));
    EXPECT_EQ(grid.num<Triangle>(), 1u);
    EXPECT_EQ(grid.num<Quadrilateral>(), 1u);
    EXPECT_EQ(grid.num<Face>(), 2u);
    EXPECT_EQ(grid.num_edges(), 6u);
    EXPECT_TRUE(GridIsConsistent(grid));
}

TEST(GridRegistration, CreationHelpers)
{
    Grid grid(GRIDOPT_LEVEL_MESH);
    NotificationLog log;
    RecordingObserver obs(log);
    obs.observe(grid);

    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create_by_cloning(a, a);
    Edge* e = *grid.create<RegularEdge>(EdgeDescriptor(a, b), a);
    Edge* clone = *grid.create_by_cloning(e, EdgeDescriptor(b, a), e);
    EXPECT_TRUE(joins(e, a, b));
    EXPECT_TRUE(joins(clone, b, a));
    EXPECT_NE(dynamic_cast<RegularVertex*>(b), nullptr);
    EXPECT_NE(dynamic_cast<RegularEdge*>(clone), nullptr);
    EXPECT_THAT(log.lines(),
                ElementsAre("vertex_created v0 parent -", "vertex_created v1 parent v0",
                            "edge_created e0 parent v0", "edge_created e1 parent e0"));

    // flip_orientation swaps the vertices and tells nobody
    log.clear();
    grid.flip_orientation(e);
    EXPECT_TRUE(joins(e, b, a));
    EXPECT_THAT(log.lines(), IsEmpty());

    EXPECT_EQ(grid.get_edge(a, b), e);
    EXPECT_EQ(grid.get_edge(EdgeDescriptor(b, a)), e);
}

TEST(GridRegistration, ParallelModeIsRefused)
{
    Grid grid;
    grid.set_parallel(false);
    try {
        grid.set_parallel(true);
        FAIL() << "no error";
    } catch (const MGError& err) {
        EXPECT_EQ(err.get_msg(),
                  "Parallelism can only be activated, if mg was compiled with PARALLEL=ON. This is "
                  "not the case for this application.");
        EXPECT_THAT(err.get_file(0), ::testing::EndsWith("grid.cpp"));
    }
    EXPECT_FALSE(grid.is_parallel());
}

TEST(GridRegistration, PassOnValuesCopiesOnlyPassOnAttachments)
{
    Grid grid;
    Attachment<int> aPassed("passed", true);
    Attachment<int> aKept("kept", false);
    grid.attach_to_faces(aPassed);
    grid.attach_to_faces_with_default(aKept, 7);
    AttachmentAccessor<Face, int> aaPassed(grid.face_attachment_pipe(), aPassed);
    AttachmentAccessor<Face, int> aaKept(grid.face_attachment_pipe(), aKept);

    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Face* f1 = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    Face* f2 = *grid.create<Triangle>(TriangleDescriptor(a, c, b));
    EXPECT_EQ(aaKept[f2], 7);
    aaPassed[f1] = 11;
    aaKept[f1] = 12;
    grid.pass_on_values(f1, f2);
    EXPECT_EQ(aaPassed[f2], 11);
    EXPECT_EQ(aaKept[f2], 7);
}

TEST(GridRegistration, AttachmentHelpersWorkOnEveryKind)
{
    Grid grid;
    Attachment<Vertex*> aSplit;
    Attachment<float> aRim;
    grid.attach_to_edges_with_default(aSplit, static_cast<Vertex*>(nullptr));
    grid.attach_to_vertices_with_default(aRim, 0.5f);
    EXPECT_TRUE(grid.has_edge_attachment(aSplit));
    EXPECT_FALSE(grid.has_vertex_attachment(aSplit));
    EXPECT_TRUE(grid.has_vertex_attachment(aRim));

    Vertex* a = *grid.create<RegularVertex>();
    AttachmentAccessor<Vertex, float> aaRim(grid.vertex_attachment_pipe(), aRim);
    EXPECT_EQ(aaRim[a], 0.5f);

    grid.attach_to_vertices(aPosition);
    EXPECT_TRUE(grid.has_vertex_attachment(aPosition));
    grid.detach_from_vertices(aRim);
    grid.detach_from_edges(aSplit);
    EXPECT_FALSE(grid.has_vertex_attachment(aRim));
    EXPECT_FALSE(grid.has_edge_attachment(aSplit));
    grid.detach_from_faces(aRim);  // not attached: nothing happens
}

}  // namespace

// Splitting an edge: the geometry that replaces it, within one grid and
// across two, and SplitEdge, which also removes what it replaces.

#include "dez_odor/algorithms/edge_split.h"

#include "dez_odor/algorithms/topology_queries.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "dez_odor/tools/selector.h"
#include "support/grid/element_fixtures.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/recording_observer.h"
#include "support/grid/test_tetrahedron.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace mg;
using mg_test::NotificationLog;
using mg_test::RecordingObserver;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

std::vector<std::vector<Vertex*>> faces_of(Grid& grid)
{
    std::vector<std::vector<Vertex*>> out;
    for (auto it = grid.begin<Face>(); it != grid.end<Face>(); ++it)
        out.push_back(mg_test::corners(**it));
    return out;
}

// Vertices a (0, 0), b (2, 0), c (1, 2) and the triangle (a, b, c), with
// positions, in a grid with the given options.
struct TriangleGrid {
    explicit TriangleGrid(unsigned int options = GRIDOPT_LEVEL_MESH) : grid(options)
    {
        grid.attach_to_vertices(aPosition);
        aaPos.bind(grid.vertex_attachment_pipe(), aPosition);
        a = vertex(0, 0);
        b = vertex(2, 0);
        c = vertex(1, 2);
        abc = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
        if (!grid.get_edge(a, b))
            grid.create<RegularEdge>(EdgeDescriptor(a, b));
        ab = grid.get_edge(a, b);
    }

    Vertex* vertex(float x, float y)
    {
        Vertex* v = *grid.create<RegularVertex>();
        aaPos[v] = vector3(x, y, 0);
        return v;
    }

    Grid grid;
    AttachmentAccessor<Vertex, vector3> aaPos;
    Vertex *a, *b, *c;
    Face* abc;
    Edge* ab;
};

TEST(CreateEdgeSplitGeometry, WithinOneGridEveryNewElementHasItsParent)
{
    TriangleGrid g;
    Attachment<int> aTag("tag", true);  // passes its values on
    Attachment<int> aPlain("plain", false);
    g.grid.attach_to_faces(aTag);
    g.grid.attach_to_faces(aPlain);
    AttachmentAccessor<Face, int> aaTag(g.grid.face_attachment_pipe(), aTag);
    AttachmentAccessor<Face, int> aaPlain(g.grid.face_attachment_pipe(), aPlain);
    aaTag[g.abc] = 7;
    aaPlain[g.abc] = 9;

    Vertex* m = g.vertex(1, 0);
    NotificationLog log;
    log.set_name(g.abc, "abc");
    log.set_name(g.ab, "ab");
    RecordingObserver obs(log);
    obs.observe(g.grid);
    ASSERT_TRUE(CreateEdgeSplitGeometry(g.grid, g.grid, g.ab, m, nullptr));

    EXPECT_THAT(log.lines(),
                ElementsAre("edge_created e0 parent ab", "edge_created e1 parent ab",
                            "edge_created e2 parent abc", "face_created f0 parent abc",
                            "face_created f1 parent abc"));
    EXPECT_THAT(faces_of(g.grid), ElementsAre(ElementsAre(g.a, g.b, g.c),
                                              ElementsAre(g.a, m, g.c), ElementsAre(m, g.b, g.c)));
    EXPECT_NE(g.grid.get_edge(g.a, m), nullptr);
    EXPECT_NE(g.grid.get_edge(m, g.b), nullptr);
    EXPECT_EQ(g.grid.get_edge(g.a, g.b), g.ab);  // nothing erased
    for (auto it = ++g.grid.begin<Face>(); it != g.grid.end<Face>(); ++it) {
        EXPECT_EQ(aaTag[*it], 7);
        EXPECT_EQ(aaPlain[*it], 0);
    }
}

TEST(CreateEdgeSplitGeometry, AQuadrilateralBecomesThreeFacesOfItsOrientation)
{
    Grid grid(GRIDOPT_LEVEL_MESH);
    mg_test::PlanarPositions pos;
    Vertex* v[5];
    const double xy[5][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 2}};
    for (int i = 0; i < 5; ++i) {
        v[i] = *grid.create<RegularVertex>();
        pos.set(v[i], xy[i][0], xy[i][1]);
    }
    auto* q = new Quadrilateral(v[0], v[1], v[2], v[3]);
    grid.register_face(q);
    ASSERT_TRUE(CreateEdgeSplitGeometry(grid, grid, grid.get_edge(v[2], v[3]), v[4], nullptr));

    EXPECT_EQ(grid.num_faces(), 4u);
    double area = 0;
    for (auto it = grid.begin<Face>(); it != grid.end<Face>(); ++it) {
        if (*it == q)
            continue;
        EXPECT_GT(pos.signed_area(**it), 0);
        area += pos.signed_area(**it);
    }
    EXPECT_DOUBLE_EQ(area, 4.0);
    EXPECT_TRUE(mg_test::GridIsConsistent(grid));
}

TEST(CreateEdgeSplitGeometry, TwoGridsWithoutAssociationsAreRefused)
{
    TriangleGrid src;
    Grid dest(GRIDOPT_LEVEL_MESH);
    Vertex* m = *dest.create<RegularVertex>();
    EXPECT_FALSE(CreateEdgeSplitGeometry(dest, src.grid, src.ab, m, nullptr));
    EXPECT_EQ(dest.num_vertices(), 1u);
    EXPECT_EQ(dest.num_edges(), 0u);
    EXPECT_EQ(src.grid.num_edges(), 3u);
    EXPECT_EQ(src.grid.num_faces(), 1u);
}

// Across two grids, vertices of the source without a counterpart in the
// destination get one before anything is built from them: the half edges too
// are built between real vertices.
TEST(CreateEdgeSplitGeometry, AcrossTwoGridsMissingCounterpartsAreMadeFirst)
{
    TriangleGrid src;
    Grid dest(GRIDOPT_LEVEL_MESH);
    Attachment<Vertex*> aAssoc("associated");
    Vertex* aInDest = *dest.create<RegularVertex>();
    Vertex* m = *dest.create<RegularVertex>();
    // only a has a counterpart so far
    src.grid.attach_to_vertices_with_default<Vertex*>(aAssoc, nullptr);
    AttachmentAccessor<Vertex, Vertex*> aaAssoc(src.grid.vertex_attachment_pipe(), aAssoc);
    aaAssoc[src.a] = aInDest;

    NotificationLog log;
    RecordingObserver obs(log);
    obs.observe(dest);
    ASSERT_TRUE(CreateEdgeSplitGeometry(dest, src.grid, src.ab, m, &aAssoc));

    Vertex* bInDest = aaAssoc[src.b];
    Vertex* cInDest = aaAssoc[src.c];
    ASSERT_NE(bInDest, nullptr);
    ASSERT_NE(cInDest, nullptr);
    EXPECT_EQ(aaAssoc[src.a], aInDest);
    EXPECT_EQ(dest.num_vertices(), 4u);
    for (auto it = dest.begin<Edge>(); it != dest.end<Edge>(); ++it) {
        EXPECT_NE((*it)->vertex(0), nullptr);
        EXPECT_NE((*it)->vertex(1), nullptr);
    }
    EXPECT_NE(dest.get_edge(aInDest, m), nullptr);
    EXPECT_NE(dest.get_edge(m, bInDest), nullptr);
    EXPECT_THAT(faces_of(dest), ElementsAre(ElementsAre(aInDest, m, cInDest),
                                            ElementsAre(m, bInDest, cInDest)));
    // nothing in the destination has a parent
    for (const auto& ev : log.events())
        EXPECT_EQ(ev.other, nullptr) << ev.what;
    EXPECT_TRUE(mg_test::GridIsConsistent(dest));
    // the source is untouched
    EXPECT_EQ(src.grid.num_faces(), 1u);
    EXPECT_EQ(src.grid.num_edges(), 3u);
    EXPECT_TRUE(src.grid.has_vertex_attachment(aAssoc));
}

// The level's split: one grid, no associations, the old edge and its faces
// erased; halves inherit the edge's subset and the new faces the face's.
TEST(SplitEdge, OnTheLevelGrid)
{
    TriangleGrid g;
    Vertex* d = g.vertex(1, -2);
    Face* abd = *g.grid.create<Triangle>(TriangleDescriptor(g.b, g.a, d));
    GridSubsetHandler sh(&g.grid);
    sh.set_strict_inheritance(true);
    Selector sel(&g.grid);
    sel.set_autoselect_new(true);
    sh.assign_subset(g.abc, 0);
    sh.assign_subset(abd, 1);
    sh.assign_subset(g.grid.begin<Edge>(), g.grid.end<Edge>(), 5);

    RegularVertex* m = SplitEdge<RegularVertex>(g.grid, g.grid, g.ab);
    ASSERT_NE(m, nullptr);
    g.aaPos[m] = vector3(1, 0, 0);

    EXPECT_EQ(g.grid.get_edge(g.a, g.b), nullptr);
    EXPECT_EQ(g.grid.num_vertices(), 5u);
    EXPECT_EQ(g.grid.num_faces(), 4u);
    EXPECT_EQ(g.grid.num_edges(), 8u);
    EXPECT_EQ(sh.subset_index(g.grid.get_edge(g.a, m)), 5);
    EXPECT_EQ(sh.subset_index(g.grid.get_edge(m, g.b)), 5);
    EXPECT_EQ(sh.subset_index(g.grid.get_edge(m, g.c)), -1);
    EXPECT_EQ(sh.subset_index(g.grid.get_edge(m, d)), -1);
    EXPECT_EQ(sh.subset_index(m), -1);
    EXPECT_EQ(sh.num<Triangle>(0), 2u);
    EXPECT_EQ(sh.num<Triangle>(1), 2u);
    // everything new is selected, nothing else
    EXPECT_EQ(sel.num<Vertex>(), 1u);
    EXPECT_EQ(sel.num<Face>(), 4u);
    EXPECT_EQ(sel.num<Edge>(), 4u);
    for (auto it = g.grid.begin<Face>(); it != g.grid.end<Face>(); ++it) {
        const vector3& p0 = g.aaPos[(*it)->vertex(0)];
        const vector3& p1 = g.aaPos[(*it)->vertex(1)];
        const vector3& p2 = g.aaPos[(*it)->vertex(2)];
        EXPECT_GT((p1[0] - p0[0]) * (p2[1] - p0[1]) - (p2[0] - p0[0]) * (p1[1] - p0[1]), 0);
    }
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid, &sel, &sh));
}

TEST(SplitEdge, KeepingTheOldElements)
{
    TriangleGrid g;
    RegularVertex* m = SplitEdge<RegularVertex>(g.grid, g.grid, g.ab, nullptr, true);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(g.grid.get_edge(g.a, g.b), g.ab);
    EXPECT_EQ(g.grid.num_faces(), 3u);
    EXPECT_EQ(g.grid.num_edges(), 6u);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid));
}

// Faces that the grid does not erase with their edges are erased by the split.
TEST(SplitEdge, InAGridWhoseEdgesDoNotTakeTheirFaces)
{
    TriangleGrid g(VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES);
    RegularVertex* m = SplitEdge<RegularVertex>(g.grid, g.grid, g.ab);
    ASSERT_NE(m, nullptr);
    EXPECT_THAT(faces_of(g.grid),
                ElementsAre(ElementsAre(g.a, m, g.c), ElementsAre(m, g.b, g.c)));
    EXPECT_EQ(g.grid.get_edge(g.a, g.b), nullptr);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid));
}

TEST(SplitEdge, TwoGridsWithoutAssociationsLeaveNothingBehind)
{
    TriangleGrid src;
    Grid dest(GRIDOPT_LEVEL_MESH);
    EXPECT_EQ(SplitEdge<RegularVertex>(dest, src.grid, src.ab), nullptr);
    EXPECT_EQ(dest.num_vertices(), 0u);
    EXPECT_EQ(src.grid.get_edge(src.a, src.b), src.ab);
    EXPECT_EQ(src.grid.num_faces(), 1u);
}

TEST(SplitEdge, AcrossTwoGrids)
{
    TriangleGrid src;
    Grid dest(GRIDOPT_LEVEL_MESH);
    Attachment<Vertex*> aAssoc("associated");
    RegularVertex* m = SplitEdge<RegularVertex>(dest, src.grid, src.ab, &aAssoc);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(dest.num_vertices(), 4u);
    EXPECT_EQ(dest.num_faces(), 2u);
    EXPECT_EQ(dest.num_edges(), 5u);
    EXPECT_TRUE(mg_test::GridIsConsistent(dest));
    // the source lost the edge and its face
    EXPECT_EQ(src.grid.num_edges(), 2u);
    EXPECT_EQ(src.grid.num_faces(), 0u);
    EXPECT_TRUE(mg_test::GridIsConsistent(src.grid));
}

TEST(SplitEdge, AVolumeAtTheEdgeIsRefined)
{
    Grid grid;  // volumes make their faces, faces their edges
    Vertex* v[4];
    for (Vertex*& x : v)
        x = *grid.create<RegularVertex>();
    Attachment<int> aTag("tag", true);
    grid.attach_to_volumes(aTag);
    AttachmentAccessor<Volume, int> aaTag(grid.volume_attachment_pipe(), aTag);
    auto* tet = new mg_test::TestTetrahedron(v[0], v[1], v[2], v[3]);
    grid.register_volume(tet);
    aaTag[tet] = 4;

    NotificationLog log;
    log.set_name(tet, "tet");
    RecordingObserver obs(log);
    obs.observe(grid, OBSERVE_VOLUMES);
    RegularVertex* m = SplitEdge<RegularVertex>(grid, grid, grid.get_edge(v[0], v[1]));
    ASSERT_NE(m, nullptr);

    EXPECT_THAT(log.lines(), ElementsAre("volume_created vol0 parent tet",
                                         "volume_created vol1 parent tet",
                                         "volume_to_be_erased tet"));
    EXPECT_EQ(grid.num_volumes(), 2u);
    EXPECT_EQ(grid.num_vertices(), 5u);
    EXPECT_EQ(grid.num_edges(), 9u);
    EXPECT_EQ(grid.num_faces(), 7u);
    for (auto it = grid.begin<Volume>(); it != grid.end<Volume>(); ++it) {
        EXPECT_EQ(aaTag[*it], 4);
        EXPECT_THAT(mg_test::corners(**it), ::testing::Contains(m));
    }
    EXPECT_EQ(grid.get_edge(v[0], v[1]), nullptr);
    EXPECT_TRUE(mg_test::GridIsConsistent(grid));
}

}  // namespace

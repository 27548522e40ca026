// Swapping the diagonal of two triangles, and the swaps that are refused.

#include "dez_odor/algorithms/edge_swap.h"

#include "common/error.h"
#include "dez_odor/algorithms/topology_queries.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "dez_odor/tools/selector.h"
#include "support/grid/element_fixtures.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/recording_observer.h"
#include "support/grid/stdout_capture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace mg;
using mg_test::NotificationLog;
using mg_test::RecordingObserver;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

// The square a (0, 0), b (1, 0), c (1, 1), d (0, 1) as the triangles
// (a, b, c) and (c, d, a), with the level's options, a subset handler with
// strict inheritance and a selector that selects new elements.
struct Square {
    explicit Square(unsigned int options = GRIDOPT_LEVEL_MESH) : grid(options), sh(&grid), sel(&grid)
    {
        grid.attach_to_vertices(aPosition);
        aaPos.bind(grid.vertex_attachment_pipe(), aPosition);
        sh.set_strict_inheritance(true);
        a = vertex(0, 0);
        b = vertex(1, 0);
        c = vertex(1, 1);
        d = vertex(0, 1);
        abc = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
        cda = *grid.create<Triangle>(TriangleDescriptor(c, d, a));
        diagonal = grid.get_edge(a, c);
        sel.set_autoselect_new(true);
        sel.clear();
    }

    Vertex* vertex(float x, float y)
    {
        Vertex* v = *grid.create<RegularVertex>();
        aaPos[v] = vector3(x, y, 0);
        return v;
    }

    float twice_area(Face* f)
    {
        const vector3& p0 = aaPos[f->vertex(0)];
        const vector3& p1 = aaPos[f->vertex(1)];
        const vector3& p2 = aaPos[f->vertex(2)];
        return (p1[0] - p0[0]) * (p2[1] - p0[1]) - (p2[0] - p0[0]) * (p1[1] - p0[1]);
    }

    Grid grid;
    GridSubsetHandler sh;
    Selector sel;
    AttachmentAccessor<Vertex, vector3> aaPos;
    Vertex *a, *b, *c, *d;
    Face* abc;
    Face* cda;
    Edge* diagonal;
};

TEST(SwapEdge, ReplacesTheDiagonalAndKeepsTheOrientation)
{
    Square sq;
    sq.sh.assign_subset(sq.abc, 1);
    sq.sh.assign_subset(sq.cda, 2);
    sq.sh.assign_subset(sq.diagonal, 5);
    NotificationLog log;
    log.set_name(sq.abc, "abc");
    log.set_name(sq.cda, "cda");
    log.set_name(sq.diagonal, "ac");
    RecordingObserver obs(log);
    obs.observe(sq.grid);

    mg_test::StdoutCapture out;
    Edge* e = SwapEdge(sq.grid, sq.diagonal);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(out.str(), "");
    EXPECT_THAT(mg_test::corners(*e), UnorderedElementsAre(sq.b, sq.d));
    EXPECT_EQ(sq.grid.get_edge(sq.a, sq.c), nullptr);
    EXPECT_EQ(sq.grid.num_faces(), 2u);
    EXPECT_EQ(sq.grid.num_edges(), 5u);

    // created with their parents, then the old elements go
    EXPECT_THAT(log.lines(),
                ElementsAre("edge_created e0 parent ac", "face_created f0 parent abc",
                            "face_created f1 parent cda", "face_to_be_erased abc",
                            "face_to_be_erased cda", "edge_to_be_erased ac"));
    for (auto it = sq.grid.begin<Face>(); it != sq.grid.end<Face>(); ++it) {
        EXPECT_FLOAT_EQ(sq.twice_area(*it), 1.0f);
        EXPECT_TRUE(sq.sel.is_selected(*it));
    }
    // strict inheritance: each new triangle from its face, the edge from the
    // old edge
    Face* fromAbc = *sq.grid.begin<Face>();
    Face* fromCda = *++sq.grid.begin<Face>();
    EXPECT_EQ(sq.sh.subset_index(fromAbc), 1);
    EXPECT_EQ(sq.sh.subset_index(fromCda), 2);
    EXPECT_EQ(sq.sh.subset_index(e), 5);
    EXPECT_EQ(NumAssociatedFaces(sq.grid, e), 2);
    EXPECT_TRUE(mg_test::GridIsConsistent(sq.grid, &sq.sel, &sq.sh));

    // and back again
    Edge* back = SwapEdge(sq.grid, e);
    ASSERT_NE(back, nullptr);
    EXPECT_THAT(mg_test::corners(*back), UnorderedElementsAre(sq.a, sq.c));
    for (auto it = sq.grid.begin<Face>(); it != sq.grid.end<Face>(); ++it)
        EXPECT_FLOAT_EQ(sq.twice_area(*it), 1.0f);
    EXPECT_TRUE(mg_test::GridIsConsistent(sq.grid, &sq.sel, &sq.sh));
}

// Each refusal: its message, a null result, and a grid as it was.
TEST(SwapEdge, Refusals)
{
    struct Outcome {
        std::string message;
        Edge* result;
        size_t faces, edges;
    };
    auto attempt = [](Square& sq, Edge* e) {
        const size_t faces = sq.grid.num_faces();
        const size_t edges = sq.grid.num_edges();
        mg_test::StdoutCapture out;
        Edge* result = SwapEdge(sq.grid, e);
        EXPECT_EQ(sq.grid.num_faces(), faces);
        EXPECT_EQ(sq.grid.num_edges(), edges);
        EXPECT_TRUE(mg_test::GridIsConsistent(sq.grid, &sq.sel, &sq.sh));
        EXPECT_FALSE(sq.sel.contains_edges() || sq.sel.contains_faces());
        return Outcome{out.str(), result, faces, edges};
    };

    {
        Square sq;  // a boundary edge has one face
        Outcome o = attempt(sq, sq.grid.get_edge(sq.a, sq.b));
        EXPECT_EQ(o.message, "Swap Failed: #neighbor-faces != 2.\n");
        EXPECT_EQ(o.result, nullptr);
    }
    {
        Square sq;  // an edge between a triangle and a quadrilateral
        Vertex* e = sq.vertex(2, 0);
        Vertex* f = sq.vertex(2, 1);
        sq.grid.register_face(new Quadrilateral(sq.b, e, f, sq.c));
        sq.sel.clear();
        Outcome o = attempt(sq, sq.grid.get_edge(sq.b, sq.c));
        EXPECT_EQ(o.message, "Swap Failed: At least one neighbor-face is not a triangle.\n");
        EXPECT_EQ(o.result, nullptr);
    }
    {
        Square sq;  // the other diagonal exists already
        sq.grid.create<RegularEdge>(EdgeDescriptor(sq.d, sq.b));
        sq.sel.clear();
        Outcome o = attempt(sq, sq.diagonal);
        EXPECT_EQ(o.message, "Swap Failed: New edge already exists in the grid.\n");
        EXPECT_EQ(o.result, nullptr);
    }
    {
        // A triangle without a corner off the edge: (c, a, c) beside (a, b,
        // c), in a grid whose faces do not make their edges.
        Square sq(VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES);
        sq.grid.erase(sq.cda);
        sq.grid.create<RegularEdge>(EdgeDescriptor(sq.a, sq.c));
        sq.grid.create<Triangle>(TriangleDescriptor(sq.c, sq.a, sq.c));
        sq.sel.clear();
        Outcome o = attempt(sq, sq.grid.get_edge(sq.a, sq.c));
        EXPECT_EQ(o.message, "Swap Failed: connected vertices were not found correctly.\n");
        EXPECT_EQ(o.result, nullptr);
    }
}

TEST(SwapEdge, InsideAnotherMarkingPassThrowsBeforeChangingAnything)
{
    Square sq;
    sq.grid.begin_marking();
    EXPECT_THROW(SwapEdge(sq.grid, sq.diagonal), MGError);
    sq.grid.end_marking();
    EXPECT_EQ(sq.grid.get_edge(sq.a, sq.c), sq.diagonal);
    EXPECT_EQ(sq.grid.num_faces(), 2u);
    EXPECT_FALSE(sq.sel.contains_edges());
    EXPECT_NE(SwapEdge(sq.grid, sq.diagonal), nullptr);
}

}  // namespace

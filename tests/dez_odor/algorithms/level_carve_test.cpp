// The level's use of the grid tools: a mesh with the level's options, a
// subset handler with strict inheritance and a selector that selects new
// elements, carved with the operations the level's carve uses, then repaired
// with edge swaps and edge splits on the hole's boundary.

#include "support/grid/level_carve.h"

#include "dez_odor/algorithms/edge_split.h"
#include "dez_odor/algorithms/edge_swap.h"
#include "dez_odor/algorithms/topology_queries.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace {

using namespace mg;
using mg_test::CircleCarve;
using mg_test::LevelMesh;
using mg_test::TwiceSignedArea;

// Remembers the elements created while it listens, with the subset their
// parent had at that moment, and forgets erased ones.
class CreationLog : public GridObserver {
public:
    // The parent may be gone by the time the entry is read.
    struct Entry {
        int parentKind;  // -1: no parent
        int parentSubset;
    };

    CreationLog(Grid& grid, ISubsetHandler& sh) : m_grid(grid), m_sh(sh)
    {
        grid.register_observer(this, OBSERVE_VERTICES | OBSERVE_EDGES | OBSERVE_FACES);
    }
    ~CreationLog() override { m_grid.unregister_observer(this); }

    void vertex_created(Grid*, Vertex* v, GridObject* p, bool) override { add(v, p); }
    void edge_created(Grid*, Edge* e, GridObject* p, bool) override { add(e, p); }
    void face_created(Grid*, Face* f, GridObject* p, bool) override { add(f, p); }
    void vertex_to_be_erased(Grid*, Vertex* v, Vertex*) override { m_created.erase(v); }
    void edge_to_be_erased(Grid*, Edge* e, Edge*) override { m_created.erase(e); }
    void face_to_be_erased(Grid*, Face* f, Face*) override { m_created.erase(f); }

    void clear() { m_created.clear(); }
    // The living elements of one kind created while listening.
    template <class TBase>
    std::set<TBase*> alive() const
    {
        std::set<TBase*> out;
        for (const auto& c : m_created) {
            if (c.first->base_object_kind() == BaseObjectKindOf<TBase>())
                out.insert(static_cast<TBase*>(c.first));
        }
        return out;
    }
    const Entry& entry(GridObject* elem) const { return m_created.at(elem); }

private:
    void add(GridObject* elem, GridObject* parent)
    {
        m_created[elem] = Entry{parent ? parent->base_object_kind() : -1,
                               parent ? m_sh.subset_index(parent) : -1};
    }

    Grid& m_grid;
    ISubsetHandler& m_sh;
    std::map<GridObject*, Entry> m_created;
};

template <class TElem>
std::set<TElem*> selected(const Selector& sel)
{
    return std::set<TElem*>(sel.begin<TElem>(), sel.end<TElem>());
}

size_t num_clockwise_faces(LevelMesh& level)
{
    size_t n = 0;
    for (auto it = level.grid.begin<Face>(); it != level.grid.end<Face>(); ++it)
        n += TwiceSignedArea(*it, level.position) <= 0;
    return n;
}

TEST(LevelCarve, CuttingFacesSelectsExactlyTheNewElementsWithTheirParentsSubsets)
{
    mg_test::StdoutCapture out;
    LevelMesh level;
    CreationLog log(level.grid, level.subsets);

    CircleCarve carve(level, 21.0f, 9.5f, 10.0f);
    carve.prepare();
    carve.refine();
    carve.vertex_pass();
    EXPECT_TRUE(mg_test::GridIsConsistent(level.grid, &level.selector, &level.subsets));
    log.clear();
    carve.edge_pass();
    ASSERT_GT(carve.num_split_edges(), 20u);

    // Made while autoselect is off: the split vertices (no subset: their
    // parent is an edge) and the halves (the split edge's subset).
    const std::set<Vertex*> splitVertices = log.alive<Vertex>();
    const std::set<Edge*> halves = log.alive<Edge>();
    EXPECT_EQ(splitVertices.size(), carve.num_split_edges());
    EXPECT_EQ(halves.size(), 2 * carve.num_split_edges());
    for (Vertex* v : splitVertices) {
        EXPECT_FALSE(level.selector.is_selected(v));
        EXPECT_EQ(level.subsets.subset_index(v), -1);
    }
    for (Edge* e : halves) {
        EXPECT_FALSE(level.selector.is_selected(e));
        EXPECT_EQ(level.subsets.subset_index(e), LevelMesh::SUBSET_EDGES);
    }
    const std::set<Edge*> splitEdges = selected<Edge>(level.selector);
    EXPECT_EQ(splitEdges.size(), carve.num_split_edges());
    const std::set<Vertex*> inside = selected<Vertex>(level.selector);

    log.clear();
    carve.cut_faces();
    EXPECT_EQ(level.grid.num<Quadrilateral>(), 0u);

    // The selection: the inside vertices and split edges chosen before, and
    // exactly the faces and edges the cut created.
    const std::set<Face*> newFaces = log.alive<Face>();
    const std::set<Edge*> newEdges = log.alive<Edge>();
    EXPECT_TRUE(log.alive<Vertex>().empty());
    EXPECT_GT(newFaces.size(), 2 * carve.num_split_edges());
    EXPECT_EQ(selected<Face>(level.selector), newFaces);
    std::set<Edge*> expectedEdges = newEdges;
    expectedEdges.insert(splitEdges.begin(), splitEdges.end());
    EXPECT_EQ(selected<Edge>(level.selector), expectedEdges);
    EXPECT_EQ(selected<Vertex>(level.selector), inside);
    EXPECT_EQ(inside.size(), carve.inside_vertices().size());

    // New faces carry their parent face's subset, new edges none.
    for (Face* f : newFaces) {
        EXPECT_EQ(log.entry(f).parentSubset, LevelMesh::SUBSET_GEOMETRY);
        EXPECT_EQ(level.subsets.subset_index(f), log.entry(f).parentSubset);
    }
    for (Edge* e : newEdges) {
        EXPECT_EQ(log.entry(e).parentKind, BOK_FACE);
        EXPECT_EQ(level.subsets.subset_index(e), -1);
    }
    EXPECT_EQ(num_clockwise_faces(level), 0u);
    EXPECT_TRUE(mg_test::GridIsConsistent(level.grid, &level.selector, &level.subsets));

    carve.assign_new_edges();
    for (Edge* e : newEdges)
        EXPECT_EQ(level.subsets.subset_index(e), LevelMesh::SUBSET_EDGES);

    carve.find_boundary();
    carve.remove();
    carve.mark_boundary_ends();
    carve.finish();
    EXPECT_TRUE(level.selector.autoselect_new_enabled());
    EXPECT_TRUE(mg_test::GridIsConsistent(level.grid, &level.selector, &level.subsets));
    EXPECT_EQ(out.str(), "");
}

struct Circle {
    float x, y, r;
};

// The triangles that hold the point (x, y) inside or on their sides.
size_t num_faces_covering(LevelMesh& level, float x, float y)
{
    size_t n = 0;
    for (auto it = level.grid.begin<Face>(); it != level.grid.end<Face>(); ++it) {
        Face* f = *it;
        if (f->num_vertices() != 3)
            continue;
        bool inside = true;
        for (unsigned int i = 0; i < 3 && inside; ++i) {
            const vector3& a = level.position[f->vertex(i)];
            const vector3& b = level.position[f->vertex((i + 1) % 3)];
            inside = (b[0] - a[0]) * (y - a[1]) - (x - a[0]) * (b[1] - a[1]) >= 0;
        }
        n += inside;
    }
    return n;
}

// Carves one circle after the other into one mesh and checks the level's
// contract after each.
TEST(LevelCarve, SuccessiveCarvesKeepTheContract)
{
    mg_test::StdoutCapture out;
    LevelMesh level;
    const Circle circles[] = {
        {0.0f, 0.0f, 10.0f},     // the centre
        {12.0f, 3.0f, 8.0f},     // into the first hole
        {-60.5f, 40.2f, 6.0f},   // a small one
        {0.0f, 196.0f, 15.0f},   // across the outer border
        {-60.5f, 40.2f, 6.0f},   // the same again: nothing inside any more
        {97.0f, -20.0f, 12.0f},  // across ring 49 into the long outer triangles
    };
    for (const Circle& c : circles) {
        SCOPED_TRACE(::testing::Message() << "circle " << c.x << ", " << c.y << ", " << c.r);
        CircleCarve carve(level, c.x, c.y, c.r);
        carve.run();

        EXPECT_TRUE(mg_test::GridIsConsistent(level.grid, &level.selector, &level.subsets));
        EXPECT_EQ(num_clockwise_faces(level), 0u);
        EXPECT_EQ(level.grid.num<Quadrilateral>(), 0u);

        // The new boundary is in subset 3, each edge with exactly one face;
        // the selection holds it and the ends of its chains.
        std::set<Edge*> boundary(carve.new_boundary().begin(), carve.new_boundary().end());
        EXPECT_EQ(selected<Edge>(level.selector), boundary);
        for (Edge* e : boundary) {
            EXPECT_EQ(level.subsets.subset_index(e), LevelMesh::SUBSET_COLLISION);
            EXPECT_TRUE(IsBoundaryEdge(level.grid, e));
        }
        EXPECT_EQ(level.selector.num<Face>(), 0u);
        EXPECT_EQ(level.subsets.num<Quadrilateral>(LevelMesh::SUBSET_GEOMETRY), 0u);
        EXPECT_EQ(level.subsets.num<Face>(LevelMesh::SUBSET_GEOMETRY), level.grid.num_faces());

        // No vertex is left strictly inside the circle, and no rock covers
        // its centre (in the coarse band beyond ring 49 too, where a
        // triangle may be wider than the circle).
        for (auto it = level.grid.begin<Vertex>(); it != level.grid.end<Vertex>(); ++it) {
            const vector3& p = level.position[*it];
            const float d = std::hypot(p[0] - c.x, p[1] - c.y);
            EXPECT_GE(d, c.r - 1e-3f);
        }
        EXPECT_EQ(num_faces_covering(level, c.x, c.y), 0u);
    }
    EXPECT_GT(level.subsets.num<Edge>(LevelMesh::SUBSET_COLLISION), 100u);
    EXPECT_EQ(out.str(), "");
}

// The convex quadrilateral around an interior edge: swapping keeps every
// face counter-clockwise there.
bool swap_keeps_orientation(LevelMesh& level, Edge* e)
{
    Face* faces[2];
    if (GetAssociatedFaces(faces, level.grid, e, 2) != 2)
        return false;
    Vertex* c0 = GetConnectedVertex(e, faces[0]);
    Vertex* c1 = GetConnectedVertex(e, faces[1]);
    auto twice_area = [&](Vertex* a, Vertex* b, Vertex* c) {
        const vector3& p = level.position[a];
        const vector3& q = level.position[b];
        const vector3& r = level.position[c];
        return (q[0] - p[0]) * (r[1] - p[1]) - (r[0] - p[0]) * (q[1] - p[1]);
    };
    // c0 and c1 on opposite sides of e, e's ends on opposite sides of c0-c1
    const float s0 = twice_area(c0, c1, e->vertex(0));
    const float s1 = twice_area(c0, c1, e->vertex(1));
    return s0 * s1 < 0 && std::fabs(s0) > 1e-3f && std::fabs(s1) > 1e-3f;
}

TEST(LevelCarve, SwapsAndSplitsOnTheHoleBoundary)
{
    mg_test::StdoutCapture out;
    LevelMesh level(40.0f, 2.0f);  // a smaller disc: its border lies at 80
    CircleCarve carve(level, 0.0f, 77.0f, 12.0f);
    carve.run();
    level.selector.clear();
    ASSERT_TRUE(mg_test::GridIsConsistent(level.grid, &level.selector, &level.subsets));

    // Split the boundary edges as spike removal splits long ones: the
    // midpoint pushed out by an eighth of the edge's length.
    size_t numSplits = 0;
    std::set<Edge*> splitAway;
    for (Edge* e : carve.new_boundary()) {
        if (numSplits == 6)
            break;
        if (!splitAway.insert(e).second)
            continue;
        Face* f = nullptr;
        ASSERT_EQ(GetAssociatedFaces(&f, level.grid, e, 1), 1);
        const int faceSubset = level.subsets.subset_index(f);
        const vector3 p0 = level.position[e->vertex(0)];
        const vector3 p1 = level.position[e->vertex(1)];
        const vector3 c = level.position[GetConnectedVertex(e, f)];
        const vector3 mid = (p0 + p1) * 0.5f;
        vector3 outward = mid - c;
        const vector3 d = p1 - p0;
        const float len = std::sqrt(d[0] * d[0] + d[1] * d[1]);
        outward = outward - d * ((outward[0] * d[0] + outward[1] * d[1]) / (len * len));
        const float outLen = std::sqrt(outward[0] * outward[0] + outward[1] * outward[1]);
        Vertex* v0 = e->vertex(0);
        Vertex* v1 = e->vertex(1);

        RegularVertex* m = SplitEdge<RegularVertex>(level.grid, level.grid, e);
        ASSERT_NE(m, nullptr);
        level.position[m] = mid + outward * (0.125f * len / outLen);
        ++numSplits;

        SCOPED_TRACE(::testing::Message() << "split " << numSplits);
        EXPECT_TRUE(mg_test::GridIsConsistent(level.grid, &level.selector, &level.subsets));
        EXPECT_EQ(num_clockwise_faces(level), 0u);
        Edge* h0 = level.grid.get_edge(v0, m);
        Edge* h1 = level.grid.get_edge(m, v1);
        ASSERT_TRUE(h0 && h1);
        EXPECT_EQ(level.subsets.subset_index(h0), LevelMesh::SUBSET_COLLISION);
        EXPECT_EQ(level.subsets.subset_index(h1), LevelMesh::SUBSET_COLLISION);
        EXPECT_TRUE(IsBoundaryEdge(level.grid, h0));
        EXPECT_TRUE(IsBoundaryEdge(level.grid, h1));
        EXPECT_EQ(level.subsets.subset_index(m), -1);
        ElementPointerArray<Face*> faces;
        level.grid.get_associated(faces, m);
        ASSERT_EQ(faces.size(), 2u);
        for (Face* nf : faces)
            EXPECT_EQ(level.subsets.subset_index(nf), faceSubset);
        // the new vertex and what came with it are selected (autoselect)
        EXPECT_TRUE(level.selector.is_selected(m));
        EXPECT_TRUE(level.selector.is_selected(faces[0]) && level.selector.is_selected(faces[1]));
    }
    EXPECT_EQ(numSplits, 6u);

    // Swap the interior edges at the ends of boundary edges where the
    // quadrilateral around them is convex.
    std::set<Edge*> candidates;
    for (Edge* e : carve.new_boundary()) {
        if (splitAway.count(e))
            continue;  // split above
        for (unsigned int i = 0; i < 2; ++i) {
            ElementPointerArray<Edge*> edges;
            level.grid.get_associated(edges, e->vertex(i));
            for (Edge* ie : edges)
                if (ie != e && NumAssociatedFaces(level.grid, ie) == 2)
                    candidates.insert(ie);
        }
    }
    size_t numSwaps = 0;
    for (Edge* e : candidates) {
        if (numSwaps == 6)
            break;
        if (!swap_keeps_orientation(level, e))
            continue;
        const int edgeSubset = level.subsets.subset_index(e);
        Edge* ne = SwapEdge(level.grid, e);
        ASSERT_NE(ne, nullptr);
        ++numSwaps;
        SCOPED_TRACE(::testing::Message() << "swap " << numSwaps);
        EXPECT_TRUE(mg_test::GridIsConsistent(level.grid, &level.selector, &level.subsets));
        EXPECT_EQ(num_clockwise_faces(level), 0u);
        EXPECT_EQ(level.subsets.subset_index(ne), edgeSubset);
        EXPECT_EQ(NumAssociatedFaces(level.grid, ne), 2);
    }
    EXPECT_GE(numSwaps, 3u);
    EXPECT_EQ(out.str(), "");
}

}  // namespace

// Spike removal at the ends of new boundary chains.

#include "dez_odor/algorithms/topology_queries.h"
#include "game/level/mesh/boundary_edge_normal.h"
#include "game/level/mesh/spike_removal.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace vo;

// Rock around a boundary vertex v at the origin: a fan of triangles from
// neighbour[0] (where the boundary leaves v) counter-clockwise to the last
// neighbour (where it enters v), and behind every fan triangle one more
// triangle, so that the fan's outer edges are interior. The two boundary
// edges at v are collision edges, as a carve leaves them.
struct Corner {
    explicit Corner(const std::vector<MeshVector>& neighbours, float spacing = 2.0f)
    {
        mesh.spacing = spacing;
        mesh.snap_distance = 0.2f * spacing;
        v = make(MeshVector(0, 0, 0));
        for (const MeshVector& p : neighbours)
            ring.push_back(make(p));
        for (size_t i = 0; i + 1 < ring.size(); ++i) {
            mesh.grid.create<mg::Triangle>(mg::TriangleDescriptor(v, ring[i], ring[i + 1]));
            const MeshVector mid = (neighbours[i] + neighbours[i + 1]) * 0.5f;
            mg::Vertex* w = make(mid + Unit(mid) * 1.5f);
            mesh.grid.create<mg::Triangle>(mg::TriangleDescriptor(ring[i + 1], ring[i], w));
        }
        mesh.subsets.assign_subset(mesh.grid.begin<mg::Face>(), mesh.grid.end<mg::Face>(),
                                   LEVEL_SUBSET_ROCK);
        mesh.subsets.assign_subset(mesh.grid.begin<mg::Edge>(), mesh.grid.end<mg::Edge>(),
                                   LEVEL_SUBSET_EDGES);
        mesh.subsets.assign_subset(mesh.grid.get_edge(v, ring.front()), LEVEL_SUBSET_COLLISION);
        mesh.subsets.assign_subset(mesh.grid.get_edge(v, ring.back()), LEVEL_SUBSET_COLLISION);
        mesh.selector.clear();
        mesh.selector.select(v);
    }

    mg::Vertex* make(const MeshVector& p)
    {
        mg::Vertex* x = *mesh.grid.create<mg::RegularVertex>();
        mesh.position[x] = p;
        return x;
    }

    bool v_remains() const
    {
        for (auto it = mesh.grid.begin<mg::Vertex>(); it != mesh.grid.end<mg::Vertex>(); ++it) {
            if (*it == v)
                return true;
        }
        return false;
    }

    LevelMesh mesh;
    mg::Vertex* v = nullptr;
    std::vector<mg::Vertex*> ring;
};

MeshVector At(float degrees, float length = 2.0f)
{
    const double a = degrees * 3.14159265358979 / 180.0;
    return MeshVector(static_cast<float>(length * std::cos(a)),
                      static_cast<float>(length * std::sin(a)), 0);
}

// The boundary runs from the last neighbour through v to the first, with
// the rock on its left. It turns left (towards the rock) at a tip.
TEST(SpikeRemoval, OnlySharpCornersTowardsTheRockAreSpikes)
{
    const MeshVector behind(-2, 0, 0);  // the boundary arrives along +x
    const struct {
        const char* name;
        std::vector<MeshVector> neighbours;
        bool removed;
    } cases[] = {
        {"straight on (u.w = 1)", {MeshVector(2, 0, 0), At(90), behind}, false},
        // 1 + 1.7320508^2 rounds to 4: u.w is exactly 0.5
        {"turn of 60 degrees (u.w = 0.5)", {MeshVector(1, 1.7320508f, 0), At(120), behind}, true},
        {"turn of 58.7 degrees (u.w = 0.52)", {MeshVector(1.04f, 1.7083328f, 0), At(120), behind},
         false},
        {"a thin tip", {At(170), At(175), behind}, true},
        {"turning away from the rock", {At(-60), At(0), At(60), At(120), behind}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Corner corner(c.neighbours);
        mg_test::StdoutCapture out;
        RemoveSpikes(corner.mesh, 0.5f, nullptr);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(corner.v_remains(), !c.removed);
        EXPECT_TRUE(corner.mesh.selector.autoselect_new_enabled());
        for (auto it = corner.mesh.grid.begin<mg::Face>(); it != corner.mesh.grid.end<mg::Face>();
             ++it)
            EXPECT_GT(TwiceSignedArea(*it, corner.mesh.position), 0.0f);
    }
}

// A tip v of 120 degrees in a larger rock whose boundary runs straight on
// beyond the tip's neighbours a and b. The interior edge at the tip is
// flipped away first, so only one triangle goes; the long edge a-b it leaves
// on the boundary is split once, the new vertex an eighth of the edge's
// length outside its midpoint; a and b are looked at and stay.
TEST(SpikeRemoval, ARemovedSpikeLeavesItsLongOppositeEdgeSplit)
{
    LevelMesh mesh;
    mesh.spacing = 1.0f;
    auto make = [&](float x, float y) {
        mg::Vertex* p = *mesh.grid.create<mg::RegularVertex>();
        mesh.position[p] = MeshVector(x, y, 0);
        return p;
    };
    mg::Vertex* v = make(0, 0);
    mg::Vertex* a = make(-2, 0);
    mg::Vertex* b = make(1, 1.7320508f);
    mg::Vertex* m = make(-1, 1.7320508f);
    mg::Vertex* a0 = make(-4, 0);
    mg::Vertex* b0 = make(2, 3.4641016f);
    mg::Vertex* top = make(-1, 4);
    for (auto t : {std::array<mg::Vertex*, 3>{v, b, m}, {v, m, a}, {a, m, a0}, {m, b, b0},
                   {m, b0, top}, {a0, m, top}})
        mesh.grid.create<mg::Triangle>(mg::TriangleDescriptor(t[0], t[1], t[2]));
    mesh.subsets.assign_subset(mesh.grid.begin<mg::Face>(), mesh.grid.end<mg::Face>(),
                               LEVEL_SUBSET_ROCK);
    mesh.subsets.assign_subset(mesh.grid.begin<mg::Edge>(), mesh.grid.end<mg::Edge>(),
                               LEVEL_SUBSET_EDGES);
    mesh.subsets.assign_subset(mesh.grid.get_edge(a, v), LEVEL_SUBSET_COLLISION);
    mesh.subsets.assign_subset(mesh.grid.get_edge(v, b), LEVEL_SUBSET_COLLISION);
    mesh.selector.clear();
    mesh.selector.select(v);
    const MeshVector pa = mesh.position[a];
    const MeshVector pb = mesh.position[b];
    CarveResult result;

    mg_test::StdoutCapture out;
    RemoveSpikes(mesh, 0.5f, &result);
    EXPECT_EQ(out.str(), "");

    EXPECT_EQ(mesh.grid.num_vertices(), 7u);  // v went, one came
    EXPECT_EQ(mesh.grid.num_faces(), 6u);     // v's triangle went, one was split
    EXPECT_EQ(mesh.grid.get_edge(a, b), nullptr);
    mg::Vertex* split = nullptr;
    for (auto it = mesh.grid.begin<mg::Vertex>(); it != mesh.grid.end<mg::Vertex>(); ++it) {
        if (*it != m && mesh.grid.get_edge(a, *it) && mesh.grid.get_edge(*it, b))
            split = *it;
    }
    ASSERT_NE(split, nullptr);
    const MeshVector mid = (pa + pb) * 0.5f;
    const MeshVector outwards = mesh.position[split] - mid;
    EXPECT_NEAR(Length(outwards), Length(pb - pa) / 8, 1e-5f);
    EXPECT_NEAR(Dot(outwards, pb - pa), 0.0f, 1e-5f);
    EXPECT_GT(Dot(outwards, MeshVector(0, 0, 0) - mid), 0.0f);  // where the tip was
    for (mg::Edge* half : {mesh.grid.get_edge(a, split), mesh.grid.get_edge(split, b)}) {
        EXPECT_EQ(mesh.subsets.subset_index(half), LEVEL_SUBSET_COLLISION);
        EXPECT_TRUE(mg::IsBoundaryEdge(mesh.grid, half));
    }
    EXPECT_EQ(mesh.subsets.subset_index(mesh.grid.get_edge(split, m)), LEVEL_SUBSET_EDGES);
    EXPECT_EQ(mesh.light[split], 1.0f);
    for (auto it = mesh.grid.begin<mg::Face>(); it != mesh.grid.end<mg::Face>(); ++it)
        EXPECT_GT(TwiceSignedArea(*it, mesh.position), 0.0f);

    // One triangle went, with the two collision edges at the tip; its
    // neighbours were queued and found to be no spikes.
    EXPECT_EQ(result.removed_corners.size(), 3u);
    EXPECT_EQ(result.removed_corner_lava.size(), 3u);
    EXPECT_EQ(result.removed_boundary_points.size(), 4u);
    EXPECT_EQ(mesh.selector.num<mg::Vertex>(), 0u);
    EXPECT_TRUE(mesh.grid.get_edge(a0, a) && mesh.grid.get_edge(b, b0));
}

// Every vertex that is not a boundary vertex is reported and dropped; after
// 100 vertices the removal gives up and leaves the rest selected.
TEST(SpikeRemoval, StopsAfterItsBudget)
{
    LevelMesh mesh;
    mesh.build_disc(20.0f, 2.0f, 3.0f);
    mesh.selector.clear();
    auto it = mesh.grid.begin<mg::Vertex>();
    for (int i = 0; i < 150; ++i, ++it)
        mesh.selector.select(*it);
    const size_t vertices = mesh.grid.num_vertices();

    mg_test::StdoutCapture out;
    RemoveSpikes(mesh, 0.5f, nullptr);

    const std::string irregular =
        "Irregular vertex encountered. Please implement removal method in "
        "LevelGeometryImpl::remove_spikes!\n\n";
    const std::string bailOut = "max iterations reached in remove_spikes. Security bail out!\n";
    std::string expected;
    for (int i = 0; i < 100; ++i)
        expected += irregular;
    EXPECT_EQ(out.str(), expected + bailOut);
    EXPECT_EQ(mesh.selector.num<mg::Vertex>(), 50u);
    EXPECT_EQ(mesh.grid.num_vertices(), vertices);
}

}  // namespace

// Lava fields and random points on the collision boundary.

#include "level_fixtures.h"

#include "dez_odor/algorithms/topology_queries.h"
#include "engine/core/random.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/mesh/boundary_edge_normal.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

using namespace vo;

class LavaTest : public ::testing::Test {
protected:
    void SetUp() override { level_test::CreateDisc(level, 30.0f); }
    LevelMesh& mesh() { return level.geometry().mesh(); }
    LevelGeometryHandle level;
};

// Core (lava 1) inside the radius, rim (lava fading over the rim width),
// full glow out to 1 x (radius + rim width) here and fading glow to 3 x.
TEST_F(LavaTest, AFieldRaisesLavaAndGlowByDistance)
{
    level.add_lava(0, 0, 4);
    ASSERT_EQ(level.edit_log().size(), 1u);
    EXPECT_EQ(level.edit_log()[0].op, static_cast<std::uint32_t>(LEVEL_EDIT_LAVA));
    for (auto it = mesh().grid.begin<mg::Vertex>(); it != mesh().grid.end<mg::Vertex>(); ++it) {
        const float d = level_test::DistanceTo(mesh(), *it, 0, 0);
        SCOPED_TRACE(d);
        const float lava = d < 4 ? 1.0f : d < 7 ? 1 - (d - 4) / 3 : 0.0f;
        const float light = d < 7 ? 1.0f : d < 21 ? 1 - (d - 7) / 14 : 0.0f;
        EXPECT_NEAR(mesh().lava[*it], lava, 1e-5f);
        EXPECT_NEAR(mesh().light[*it], light, 1e-5f);
        EXPECT_EQ(mesh().selector.is_selected(*it), d < 4 ? 1 : d < 7 ? 2 : 0);
    }
    // Faces with every corner in the core are lava alone, other touched
    // faces lava on rock.
    for (auto it = mesh().grid.begin<mg::Face>(); it != mesh().grid.end<mg::Face>(); ++it) {
        int core = 0;
        int touched = 0;
        for (unsigned int i = 0; i < 3; ++i) {
            const float d = level_test::DistanceTo(mesh(), (*it)->vertex(i), 0, 0);
            core += d < 4;
            touched += d < 7;
        }
        const int expected = core == 3 ? LEVEL_SUBSET_LAVA : touched > 0 ? LEVEL_SUBSET_LAVA_ON_ROCK
                                                                       : LEVEL_SUBSET_ROCK;
        EXPECT_EQ(mesh().subsets.subset_index(*it), expected);
    }
}

// Values only grow: the larger lava of two rims, the glow of an earlier
// carve; a field far from every vertex changes nothing but is logged.
TEST_F(LavaTest, FieldsOnlyRaiseValues)
{
    level.explode(10, 0, 3, nullptr);  // full glow around (10, 0)
    mg::Vertex* v = level_test::NearestVertex(mesh(), 0, 6);
    const MeshVector p = mesh().position[v];
    const float d = level_test::DistanceTo(mesh(), v, 0, 0);
    level.add_lava(0, 0, d - 1.0f);            // v 1 into the rim: lava 2/3
    level.add_lava(p[0] + 5, p[1], 3.0f);      // v 2 into the rim: 1/3
    EXPECT_NEAR(mesh().lava[v], 2.0f / 3.0f, 1e-5f);
    level.add_lava(p[0] - 4.5f, p[1], 4.0f);   // v 0.5 into the rim: 5/6
    EXPECT_NEAR(mesh().lava[v], 5.0f / 6.0f, 1e-5f);

    mg::Vertex* lit = level_test::NearestVertex(mesh(), 10, 4.5f);
    ASSERT_EQ(mesh().light[lit], 1.0f);
    const MeshVector q = mesh().position[lit];
    level.add_lava(q[0] - 12, q[1], 2);  // lit lies in this field's fading glow (0.3)
    EXPECT_EQ(mesh().light[lit], 1.0f);

    const level_test::MeshImage before = level_test::ImageOf(level.geometry());
    level.add_lava(500, 500, 2);
    EXPECT_TRUE(level_test::ImageOf(level.geometry()) == before);
    EXPECT_EQ(level.edit_log().size(), 6u);
}

// Lava marked after the last carve shows with the next one: lava on rock
// is drawn by the rock pass and again by the lava pass.
TEST_F(LavaTest, LavaShowsInTheDrawCallsAfterTheNextCarve)
{
    level.add_lava(0, 0, 4);
    EXPECT_EQ(level.geometry().visual()->subsets().size(), 1u);
    level.explode(20, 0, 2, nullptr);

    LevelMesh& m = mesh();
    const size_t rock = m.subsets.num<mg::Triangle>(LEVEL_SUBSET_ROCK);
    const size_t lavaOnRock = m.subsets.num<mg::Triangle>(LEVEL_SUBSET_LAVA_ON_ROCK);
    const size_t lava = m.subsets.num<mg::Triangle>(LEVEL_SUBSET_LAVA);
    ASSERT_GT(lavaOnRock, 0u);
    ASSERT_GT(lava, 0u);
    const auto& calls = level.geometry().visual()->subsets();
    ASSERT_EQ(calls.size(), 4u);
    const size_t counts[] = {rock, lavaOnRock, lava, lavaOnRock};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(calls[i].num_indices, static_cast<int>(3 * counts[i]));
    EXPECT_EQ(level.geometry().visual()->index_buffer()->num_indices(),
              3 * (rock + 2 * lavaOnRock + lava));
}

TEST_F(LavaTest, NoBoundaryPointBeforeTheFirstCarve)
{
    vector3 out(1, 2, 3);
    mg_test::StdoutCapture capture;
    EXPECT_FALSE(level.random_boundary_point(out, 0));
    EXPECT_EQ(capture.str(), "no boundary points avaiable!\n\n");
    EXPECT_EQ(out.x, 1.0f);
}

// Every point found is a collision vertex with exactly two collision edges
// whose neighbours do not rise above it towards the rock: level ground or a
// hollow, never a tip.
TEST_F(LavaTest, BoundaryPointsLieOnLevelGroundOrInHollows)
{
    for (const auto& c : {std::array<float, 3>{0, 0, 8}, {9, 5, 4}, {-6, -9, 5}, {5, -10, 3}})
        level.explode(c[0], c[1], c[2], nullptr);
    LevelMesh& m = mesh();
    SeedRand(11);
    int found = 0;
    for (int i = 0; i < 200; ++i) {
        vector3 out;
        if (!level.random_boundary_point(out, 0))
            continue;
        ++found;
        mg::Vertex* v = level_test::NearestVertex(m, out.x, out.y);
        ASSERT_EQ(level_test::DistanceTo(m, v, out.x, out.y), 0.0f);
        mg::ElementPointerArray<mg::Edge*> edges;
        m.grid.get_associated(edges, v);
        std::vector<mg::Edge*> collision;
        for (mg::Edge* e : edges) {
            if (m.subsets.subset_index(e) == LEVEL_SUBSET_COLLISION)
                collision.push_back(e);
        }
        ASSERT_EQ(collision.size(), 2u);
        MeshVector n0, n1;
        ASSERT_TRUE(BoundaryEdgeNormal(n0, m.grid, collision[0], m.position));
        ASSERT_TRUE(BoundaryEdgeNormal(n1, m.grid, collision[1], m.position));
        const MeshVector n = Unit(n0 + n1);
        for (mg::Edge* e : collision)
            EXPECT_GE(Dot(m.position[mg::GetConnectedVertex(e, v)] - m.position[v], n), 0.0f);
    }
    EXPECT_GT(found, 150);

    // A rise no vertex has: every draw fails, after 10 tries per call.
    vector3 out(1, 2, 3);
    EXPECT_FALSE(level.random_boundary_point(out, 100));
    EXPECT_EQ(out.x, 1.0f);
}

}  // namespace

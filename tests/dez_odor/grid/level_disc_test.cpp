// The test copy of the level's disc builder on the level grid.

#include "support/grid/level_disc.h"

#include "dez_odor/algorithms/topology_queries.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/stdout_capture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace mg;
using mg_test::LevelDiscGrid;
using ::testing::ElementsAre;

std::vector<size_t> ring_sizes(const mg_test::LevelDisc& disc)
{
    std::vector<size_t> sizes;
    for (size_t i = 1; i < disc.rings.size(); ++i)
        sizes.push_back(disc.rings[i].size());
    return sizes;
}

float signed_area(Face* f, const mg_test::PositionAccessor& aaPos)
{
    const vector3& a = aaPos[f->vertex(0)];
    const vector3& b = aaPos[f->vertex(1)];
    const vector3& c = aaPos[f->vertex(2)];
    return 0.5f * ((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]));
}

TEST(LevelDisc, TheMatchLevelHasItsExactCounts)
{
    mg_test::StdoutCapture out;
    LevelDiscGrid level(100.0f, 2.0f);
    EXPECT_EQ(out.str(), "");  // the level's options need no automatic switch

    Grid& grid = level.grid;
    EXPECT_EQ(grid.num_vertices(), 7987u);
    EXPECT_EQ(grid.num<Triangle>(), 15658u);
    EXPECT_EQ(grid.num<Quadrilateral>(), 0u);
    EXPECT_EQ(grid.num_edges(), 23644u);
    EXPECT_EQ(level.disc.num_triangles, 15658u);
    ASSERT_EQ(level.disc.rings.size(), 51u);
    std::vector<size_t> sizes = ring_sizes(level.disc);
    sizes.resize(8);
    EXPECT_THAT(sizes, ElementsAre(6, 12, 18, 25, 31, 37, 43, 50));

    // every triangle counter-clockwise; the border pushed out to 200
    size_t clockwise = 0;
    for (auto it = grid.begin<Triangle>(); it != grid.end<Triangle>(); ++it)
        clockwise += signed_area(*it, level.aaPos) <= 0;
    EXPECT_EQ(clockwise, 0u);
    for (Vertex* v : level.disc.rings.back()) {
        const vector3& p = level.aaPos[v];
        EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1]), 200.0f, 1e-3f);
    }

    // a closed disc: the boundary is the outer ring
    Edge* border = grid.get_edge(level.disc.rings.back()[0], level.disc.rings.back()[1]);
    ASSERT_NE(border, nullptr);
    EXPECT_TRUE(IsBoundaryEdge(grid, border));
    EXPECT_TRUE(mg_test::GridIsConsistent(grid));
}

TEST(LevelDisc, SmallDiscs)
{
    LevelDiscGrid small(10.0f, 2.0f);
    EXPECT_THAT(ring_sizes(small.disc), ElementsAre(6, 12, 18, 25, 31));
    const vector3& outer = small.aaPos[small.disc.rings.back()[0]];
    EXPECT_FLOAT_EQ(outer[1], 20.0f);
    EXPECT_EQ(small.disc.num_triangles, 6u + 18u + 30u + 43u + 56u);
    EXPECT_TRUE(mg_test::GridIsConsistent(small.grid));

    LevelDiscGrid tiny(0.9f, 2.0f);
    EXPECT_THAT(ring_sizes(tiny.disc), ElementsAre(6));
    EXPECT_EQ(tiny.grid.num_faces(), 6u);
}

}  // namespace

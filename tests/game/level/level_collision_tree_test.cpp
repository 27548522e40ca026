// The level's collision tree kept from carve to carve, and the physics'
// flat copy of its edges kept from build to build, against ones built whole.

#include "engine/physics/level_edges.h"
#include "engine/scene/traverser_project_point.h"
#include "game/level/level_generation.h"
#include "game/level/level_geometry_handle.h"
#include "support/engine/collision_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <vector>

namespace {

using namespace vo;

std::vector<double> Picture(LevelGeometryHandle& level)
{
    return vo::testing::TreePicture(level.collision_tree().get());
}

void Leaves(const Node* node, std::vector<SmartPtr<Node>>& out)
{
    if (!node)
        return;
    if (node->get_node_id() == NODE_ID_COLLISION_EDGES)
        return;
    const auto* group = static_cast<const GroupNode*>(node);
    for (int i = 0; i < group->num_children(); ++i) {
        const SmartPtr<Node> child = group->get_child(i);
        if (child && child->get_node_id() == NODE_ID_COLLISION_EDGES)
            out.push_back(child);
        Leaves(child.get(), out);
    }
}

bool SameEdges(const std::vector<PreparedEdge>& a, const std::vector<PreparedEdge>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

// Two levels generated alike and carved alike, 150 times at random: one
// keeps its tree from carve to carve, the other builds it whole after each
// carve. After every carve the trees are the same, node for node and index
// for index, and answer the same projections; a flat copy kept from carve to
// carve answers the same box queries with the same edges, and its map the
// same emptiness questions, as one made anew. Most leaves are kept, not
// made anew.
TEST(LevelCollisionTree, KeptFromCarveToCarveItIsTheTreeBuiltWhole)
{
    LevelGeometryHandle kept;
    LevelGeometryHandle whole;
    GenerateLevelArea(kept, LevelGenerationParams(), 0, EffectHandle(), EffectHandle());
    GenerateLevelArea(whole, LevelGenerationParams(), 0, EffectHandle(), EffectHandle());
    LevelEdges kept_edges;
    const SmartPtr<Node> kept_node(kept.collision_node());
    kept_edges.refresh(kept_node);

    std::mt19937 rng(36);
    std::uniform_real_distribution<float> coord(-95.0f, 95.0f);
    std::uniform_real_distribution<float> radius(1.5f, 12.0f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    size_t leaves_before = 0;
    size_t leaves_kept = 0;
    float x = 0.0f, y = 0.0f;
    for (int carve = 0; carve < 150; ++carve) {
        // Every other carve next to the one before, into the hole it made.
        if (carve % 2 == 0) {
            x = coord(rng);
            y = coord(rng);
        } else {
            x += 6.0f * unit(rng) - 3.0f;
            y += 6.0f * unit(rng) - 3.0f;
        }
        const float r = radius(rng);
        std::vector<SmartPtr<Node>> before;
        Leaves(kept.collision_tree().get(), before);
        kept.explode(x, y, r, nullptr);
        whole.explode(x, y, r, nullptr);
        whole.geometry().rebuild_collision_tree();
        ASSERT_EQ(Picture(kept), Picture(whole)) << "carve " << carve << " at " << x << ", " << y << " r " << r;

        std::vector<SmartPtr<Node>> after;
        Leaves(kept.collision_tree().get(), after);
        std::set<const Node*> earlier;
        for (const SmartPtr<Node>& leaf : before)
            earlier.insert(leaf.get());
        leaves_before += before.size();
        for (const SmartPtr<Node>& leaf : after)
            leaves_kept += earlier.count(leaf.get());

        kept_edges.refresh(kept_node);
        LevelEdges anew;
        anew.refresh(SmartPtr<Node>(whole.collision_node()));
        std::vector<PreparedEdge> found_kept;
        std::vector<PreparedEdge> found_anew;
        for (int q = 0; q < 40; ++q) {
            const float qx = q < 20 ? x + 4.0f * r * (unit(rng) - 0.5f) : coord(rng);
            const float qy = q < 20 ? y + 4.0f * r * (unit(rng) - 0.5f) : coord(rng);
            const float size = 6.0f * unit(rng);
            const vector3 lo(qx, qy, 0.0f);
            const vector3 hi(qx + size, qy + size, 0.0f);
            ASSERT_EQ(kept_edges.collect(lo, hi, found_kept), anew.collect(lo, hi, found_anew)) << carve;
            ASSERT_TRUE(SameEdges(found_kept, found_anew)) << "carve " << carve << ", query " << q;
            ASSERT_EQ(kept_edges.map().certainly_empty(qx, qy, qx + size, qy + size),
                      anew.map().certainly_empty(qx, qy, qx + size, qy + size))
                << "carve " << carve << ", query " << q;

            Traverser_ProjectPoint from_kept;
            Traverser_ProjectPoint from_whole;
            ASSERT_EQ(from_kept.project(lo, SmartPtr<Node>(kept.collision_tree()), nullptr),
                      from_whole.project(lo, SmartPtr<Node>(whole.collision_tree()), nullptr));
            int a0 = 0, b0 = 0, a1 = 0, b1 = 0;
            from_kept.get_closest_edge_point_indices(a0, b0);
            from_whole.get_closest_edge_point_indices(a1, b1);
            EXPECT_EQ(a0, a1);
            EXPECT_EQ(b0, b1);
            EXPECT_EQ(from_kept.get_distance(), from_whole.get_distance());
        }
    }
    EXPECT_GT(leaves_kept, leaves_before * 3 / 4);
}

}  // namespace

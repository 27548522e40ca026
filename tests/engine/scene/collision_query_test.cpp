#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "engine/core/intersection.h"
#include "engine/scene/clip_line_to_box.h"
#include "engine/scene/octree.h"
#include "engine/scene/traverser_collect_edges.h"
#include "engine/scene/traverser_intersect_edges_2d.h"
#include "engine/scene/traverser_intersect_faces.h"
#include "support/engine/allocation_counter.h"
#include "support/engine/collision_fixtures.h"

namespace vo {
namespace {

using testing::ElementSet;

// ---- ClipLineToBox

struct ClipCase {
    const char* name;
    vector3 p, d;
    bool ok;
    float ta, tb;
};

TEST(ClipLineToBoxTest, Cases) {
    const vector3 lo(0, 0, 0), hi(1, 1, 1);
    const std::vector<ClipCase> cases = {
        // Starting inside: one negative and one positive parameter.
        {"starts inside", vector3(0.5f, 0.5f, 0.5f), vector3(2, 0, 0), true, -0.25f, 0.25f},
        {"point on a face", vector3(1, 0.5f, 0.5f), vector3(0, 0, 0), true, 0.0f, 0.0f},
        {"point outside", vector3(1.5f, 0.5f, 0.5f), vector3(0, 0, 0), false, 0, 0},
        // Ends exactly on a face: ta = 1 (the nearer end).
        {"ends on a face", vector3(-1, 0.5f, 0.5f), vector3(1, 0, 0), true, 1.0f, 2.0f},
        {"passes beside", vector3(-1, 2, 0.5f), vector3(3, 0, 0), false, 0, 0},
        {"diagonal miss", vector3(-1, 0.5f, 0.5f), vector3(1, 3, 0), false, 0, 0},
        // The nearer end goes first even when it is the larger parameter.
        {"pointing away", vector3(-1, 0.5f, 0.5f), vector3(-1, 0, 0), true, -1.0f, -2.0f},
        {"tiny d counts as a point", vector3(0.5f, 0.5f, 0.5f), vector3(1e-7f, 0, 0), true, 0.0f, 0.0f},
        {"flat box, in plane", vector3(-1, 0.5f, 0), vector3(4, 0, 0), true, 0.25f, 0.5f},
    };
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.name);
        float ta = 99, tb = 99;
        const vector3 box_hi = std::string(c.name) == "flat box, in plane" ? vector3(1, 1, 0) : hi;
        ASSERT_EQ(ClipLineToBox(c.p, c.d, lo, box_hi, &ta, &tb), c.ok);
        if (!c.ok) continue;
        EXPECT_FLOAT_EQ(ta, c.ta);
        EXPECT_FLOAT_EQ(tb, c.tb);
        EXPECT_TRUE(ClipLineToBox(c.p, c.d, lo, box_hi, nullptr, nullptr));
    }
}

// ---- Random trees against brute force

struct TreeCase {
    bool by_centroid;
    int dimension;
};

const TreeCase TREE_CASES[] = {{true, 2}, {false, 2}, {true, 3}, {false, 3}};

SmartPtr<CollisionTreeRootNode> BuildWithIds(const ElementSet& set, const TreeCase& c, int per_leaf = 2) {
    std::vector<CollisionElementID> ids;
    for (int k = 0; k < set.num_elements(); ++k) ids.push_back(CollisionElementID(k));
    return CreateOctree(set.points.data(), static_cast<unsigned>(set.points.size()), set.indices.data(),
                        static_cast<unsigned>(set.indices.size()), set.indices_per_element, ids.data(), 6, per_leaf,
                        c.by_centroid, c.dimension);
}

TEST(CollectEdgesTest, MatchesBruteForceOnRandomTrees) {
    std::mt19937 rng(1);
    Traverser_CollectEdges query;
    for (const TreeCase& c : TREE_CASES) {
        SCOPED_TRACE(::testing::Message() << "by_centroid " << c.by_centroid << " dimension " << c.dimension);
        const ElementSet set = testing::MakeRandomEdges(rng, 400, -50.0f, 50.0f, 8.0f, c.dimension == 2);
        SmartPtr<CollisionTreeRootNode> root = BuildWithIds(set, c);
        const vector3* pts = root->get_points();
        int total_found = 0;
        for (int q = 0; q < 400; ++q) {
            const float size = testing::RandomFloat(rng, 0.0f, q % 4 == 0 ? 20.0f : 2.0f);
            vector3 min(testing::RandomFloat(rng, -55.0f, 55.0f), testing::RandomFloat(rng, -55.0f, 55.0f),
                        c.dimension == 2 ? 0.0f : testing::RandomFloat(rng, -55.0f, 55.0f));
            if (q % 7 == 0) min = set.points[rng() % set.points.size()];  // start on a point
            const vector3 max(min.x + size, min.y + size, c.dimension == 2 ? 0.0f : min.z + size);
            const std::vector<int> expected = testing::BruteCollectEdges(set, min, max);
            const bool any = query.collect_edges(min, max, root);
            EXPECT_EQ(any, !expected.empty());
            std::vector<int> found;
            for (unsigned k = 0; k < query.num_edges(); ++k) {
                const int e = static_cast<int>(query.edge_ids()[k].value);
                found.push_back(e);
                // The point pointers address the root's points of that edge.
                EXPECT_EQ(query.edge_points()[2 * k], pts + set.indices[static_cast<size_t>(2 * e)]);
                EXPECT_EQ(query.edge_points()[2 * k + 1], pts + set.indices[static_cast<size_t>(2 * e + 1)]);
            }
            std::sort(found.begin(), found.end());
            if (c.by_centroid) {
                EXPECT_EQ(std::adjacent_find(found.begin(), found.end()), found.end());
            }
            found.erase(std::unique(found.begin(), found.end()), found.end());
            ASSERT_EQ(found, expected) << "query " << q;
            total_found += static_cast<int>(expected.size());
        }
        EXPECT_GT(total_found, 100);  // the queries do hit
    }
}

TEST(CollectEdgesTest, BoxMissingTheRootFindsNothingAndTouchingCounts) {
    const vector3 pts[4] = {vector3(0, 0, 0), vector3(2, 0, 0), vector3(5, 5, 0), vector3(5, 5, 0)};
    const int idx[4] = {0, 1, 2, 3};
    SmartPtr<CollisionTreeRootNode> root = CreateOctree(pts, 4, idx, 4, 2, nullptr, 6, 1, true, 2);
    Traverser_CollectEdges query;
    ASSERT_TRUE(query.collect_edges(vector3(-1, -1, 0), vector3(10, 10, 0), root));
    EXPECT_EQ(query.num_edges(), 2u);

    EXPECT_FALSE(query.collect_edges(vector3(20, 20, 0), vector3(21, 21, 0), root));
    EXPECT_EQ(query.num_edges(), 0u);

    // A box touching the edge's end point only.
    ASSERT_TRUE(query.collect_edges(vector3(2, -1, 0), vector3(3, 1, 0), root));
    EXPECT_EQ(query.edge_ids()[0], CollisionElementID());
    // A zero-length edge whose point lies on the box face.
    ASSERT_TRUE(query.collect_edges(vector3(4, 4, 0), vector3(5, 5, 0), root));
    EXPECT_EQ(query.edge_points()[0], root->get_points() + 2);
}

TEST(CollectEdgesTest, EdgeInTwoLeavesIsCollectedTwice) {
    SmartPtr<CollisionTreeRootNode> root = CollisionTreeRootNode::create();
    const vector3 pts[2] = {vector3(0, 0, 0), vector3(1, 0, 0)};
    root->add_points(pts, 2);
    root->set_box(vector3(0, 0, 0), vector3(1, 0, 0));
    for (int i = 0; i < 2; ++i) {
        SmartPtr<CollisionEdgesNode> leaf = CollisionEdgesNode::create();
        leaf->add_edge(0, 1, 4);
        root->add_child(leaf);
    }
    Traverser_CollectEdges query;
    ASSERT_TRUE(query.collect_edges(vector3(0.5f, 0, 0), vector3(0.6f, 0, 0), root));
    EXPECT_EQ(query.num_edges(), 2u);
    EXPECT_EQ(query.edge_ids()[1], CollisionElementID(4));
    EXPECT_EQ(query.edge_points()[2], root->get_points());
}

TEST(CollectEdgesTest, NestedRootsAddressTheirOwnPoints) {
    SmartPtr<CollisionTreeRootNode> outer = CollisionTreeRootNode::create();
    SmartPtr<CollisionTreeRootNode> inner = CollisionTreeRootNode::create();
    const vector3 outer_pts[2] = {vector3(0, 0, 0), vector3(1, 0, 0)};
    const vector3 inner_pts[2] = {vector3(0, 0.5f, 0), vector3(1, 0.5f, 0)};
    outer->add_points(outer_pts, 2);
    inner->add_points(inner_pts, 2);
    outer->set_box(vector3(0, 0, 0), vector3(1, 1, 0));
    inner->set_box(vector3(0, 0, 0), vector3(1, 1, 0));
    SmartPtr<CollisionEdgesNode> inner_leaf = CollisionEdgesNode::create();
    inner_leaf->add_edge(0, 1, 1);
    inner->add_child(inner_leaf);
    SmartPtr<CollisionEdgesNode> outer_leaf = CollisionEdgesNode::create();
    outer_leaf->add_edge(0, 1, 2);
    outer->add_child(inner);
    outer->add_child(outer_leaf);

    Traverser_CollectEdges query;
    ASSERT_TRUE(query.collect_edges(vector3(0, 0, 0), vector3(1, 1, 0), outer));
    ASSERT_EQ(query.num_edges(), 2u);
    EXPECT_EQ(query.edge_points()[0], inner->get_points());
    EXPECT_EQ(query.edge_points()[2], outer->get_points());

    // A leaf outside any root has no points to read and is skipped.
    SmartPtr<GroupNode> bare = GroupNode::create();
    bare->add_child(outer_leaf);
    EXPECT_FALSE(query.collect_edges(vector3(0, 0, 0), vector3(1, 1, 0), bare));
}

// ---- Segment crossings

TEST(IntersectEdges2dTest, MatchesBruteForceOrderedAlongTheSegment) {
    std::mt19937 rng(2);
    Traverser_IntersectEdges2d query;
    for (const TreeCase& c : TREE_CASES) {
        SCOPED_TRACE(::testing::Message() << "by_centroid " << c.by_centroid << " dimension " << c.dimension);
        // The crossings are taken in the x-y plane but cells are pruned in
        // three dimensions: the edges lie at z = 0 like the segments, and
        // dimension 3 splits the flat tree in z as well.
        const ElementSet set = c.by_centroid ? testing::MakeLevelOutline(c.dimension, 800)
                                             : testing::MakeRandomEdges(rng, 400, -100.0f, 100.0f, 30.0f, true);
        SmartPtr<CollisionTreeRootNode> root = BuildWithIds(set, c);
        int total = 0;
        for (int q = 0; q < 200; ++q) {
            const vector3 p0(testing::RandomFloat(rng, -110, 110), testing::RandomFloat(rng, -110, 110), 0.0f);
            const float len = testing::RandomFloat(rng, 5.0f, 80.0f), a = testing::RandomFloat(rng, 0.0f, 6.28f);
            const vector3 p1(p0.x + len * std::cos(a), p0.y + len * std::sin(a), 0.0f);
            const std::vector<testing::BruteCrossing> expected = testing::BruteIntersectEdges(set, p0, p1);
            const unsigned int n = query.intersect_edges(p0, p1, root);
            EXPECT_EQ(n, query.num_intersections());
            EXPECT_EQ(n, static_cast<unsigned>(std::distance(query.intersections_begin(), query.intersections_end())));
            std::vector<int> found;
            float last = -1.0f;
            for (auto it = query.intersections_begin(); it != query.intersections_end(); ++it) {
                EXPECT_GE(it->segment_param, last);
                last = it->segment_param;
                const int e = static_cast<int>(it->id.value);
                found.push_back(e);
                EXPECT_EQ(it->edge_p0, root->get_points() + set.indices[static_cast<size_t>(2 * e)]);
                EXPECT_EQ(it->edge_p1, root->get_points() + set.indices[static_cast<size_t>(2 * e + 1)]);
                const auto match = std::find_if(expected.begin(), expected.end(),
                                                [&](const testing::BruteCrossing& b) { return b.element == e; });
                ASSERT_NE(match, expected.end());
                EXPECT_EQ(it->segment_param, match->segment_param);
            }
            std::sort(found.begin(), found.end());
            if (c.by_centroid) {
                EXPECT_EQ(std::adjacent_find(found.begin(), found.end()), found.end());
            }
            found.erase(std::unique(found.begin(), found.end()), found.end());
            std::vector<int> expected_ids;
            for (const testing::BruteCrossing& b : expected) expected_ids.push_back(b.element);
            ASSERT_EQ(found, expected_ids) << "query " << q;
            total += static_cast<int>(expected.size());
        }
        EXPECT_GT(total, 50);
    }
}

SmartPtr<CollisionTreeRootNode> EdgeTree(const std::vector<vector3>& pts) {
    std::vector<int> idx;
    std::vector<CollisionElementID> ids;
    for (size_t i = 0; i < pts.size(); i += 2) {
        idx.push_back(static_cast<int>(i));
        idx.push_back(static_cast<int>(i + 1));
        ids.push_back(CollisionElementID(static_cast<int>(i / 2)));
    }
    return CreateOctree(pts.data(), static_cast<unsigned>(pts.size()), idx.data(), static_cast<unsigned>(idx.size()),
                        2, ids.data(), 6, 1, true, 2);
}

TEST(IntersectEdges2dTest, CrossingsComeOrderedWithTheirRecords) {
    SmartPtr<CollisionTreeRootNode> root = EdgeTree({vector3(7, -1, 0), vector3(7, 1, 0), vector3(2, -1, 0),
                                                     vector3(2, 3, 0), vector3(5, 1, 0), vector3(5, -1, 2)});
    Traverser_IntersectEdges2d query;
    ASSERT_EQ(query.intersect_edges(vector3(0, 0, 0), vector3(10, 0, 0), root), 3u);
    std::vector<Traverser_IntersectEdges2d::Intersection> hits(query.intersections_begin(), query.intersections_end());
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_FLOAT_EQ(hits[0].segment_param, 0.2f);
    EXPECT_FLOAT_EQ(hits[1].segment_param, 0.5f);
    EXPECT_FLOAT_EQ(hits[2].segment_param, 0.7f);
    EXPECT_EQ(hits[0].id, CollisionElementID(1));
    EXPECT_FLOAT_EQ(hits[0].edge_param, 0.25f);
    EXPECT_FLOAT_EQ(hits[0].point.x, 2.0f);
    EXPECT_FLOAT_EQ(hits[0].point.y, 0.0f);
    // The crossing point takes its z from the edge.
    EXPECT_EQ(hits[1].id, CollisionElementID(2));
    EXPECT_FLOAT_EQ(hits[1].point.z, 1.0f);
    EXPECT_EQ(hits[2].edge_p0->x, 7.0f);
    EXPECT_EQ(hits[2].edge_p0->y, -1.0f);
    EXPECT_EQ(hits[2].edge_p1->y, 1.0f);
}

TEST(IntersectEdges2dTest, ToleranceOnTheEdgeButNotOnTheSegment) {
    Traverser_IntersectEdges2d query;
    // Through an edge's end point: counts.
    SmartPtr<CollisionTreeRootNode> end_point = EdgeTree({vector3(5, 0, 0), vector3(5, 4, 0)});
    EXPECT_EQ(query.intersect_edges(vector3(0, 0, 0), vector3(10, 0, 0), end_point), 1u);
    // Just beyond the edge's end (within 1e-6 of t): counts.
    SmartPtr<CollisionTreeRootNode> beyond_edge = EdgeTree({vector3(5, 0.0000005f, 0), vector3(5, 1, 0)});
    EXPECT_EQ(query.intersect_edges(vector3(0, 0, 0), vector3(10, 0, 0), beyond_edge), 1u);
    // The crossing lies just beyond the segment's end: does not count.
    SmartPtr<CollisionTreeRootNode> beyond_segment = EdgeTree({vector3(10.001f, -1, 0), vector3(10.001f, 1, 0)});
    EXPECT_EQ(query.intersect_edges(vector3(0, 0, 0), vector3(10, 0, 0), beyond_segment), 0u);
    // On the segment's end exactly: counts.
    SmartPtr<CollisionTreeRootNode> at_end = EdgeTree({vector3(10, -1, 0), vector3(10, 1, 0)});
    EXPECT_EQ(query.intersect_edges(vector3(0, 0, 0), vector3(10, 0, 0), at_end), 1u);
}

TEST(IntersectEdges2dTest, ParallelAndDegenerateEdgesGiveNothing) {
    Traverser_IntersectEdges2d query;
    SmartPtr<CollisionTreeRootNode> root = EdgeTree({vector3(1, 0, 0), vector3(8, 0, 0), vector3(0, 1, 0),
                                                     vector3(9, 1, 0), vector3(4, 0, 0), vector3(4, 0, 0)});
    EXPECT_EQ(query.intersect_edges(vector3(0, 0, 0), vector3(10, 0, 0), root), 0u);
    EXPECT_EQ(query.intersections_begin(), query.intersections_end());
}

TEST(IntersectEdges2dTest, NullChildOfAGroupIsSkipped) {
    // The game hangs a null tree below its collision group when a level has
    // no edges.
    SmartPtr<GroupNode> group = GroupNode::create();
    group->add_child(SmartPtr<Node>());
    Traverser_IntersectEdges2d query;
    EXPECT_EQ(query.intersect_edges(vector3(0, 0, 0), vector3(10, 0, 0), group), 0u);
    Traverser_CollectEdges collect;
    EXPECT_FALSE(collect.collect_edges(vector3(0, 0, 0), vector3(10, 0, 0), group));
}

// ---- Triangle queries

TEST(IntersectFacesTest, MatchesBruteForceOnRandomTrees) {
    std::mt19937 rng(6);
    Traverser_IntersectFaces query;
    // The last runs use a flat floor at y = 0.1, whose cells have no height.
    const float floor_y = 0.1f;
    for (int run = 0; run < 6; ++run) {
        const TreeCase& c = TREE_CASES[run % 4];
        SCOPED_TRACE(::testing::Message() << "by_centroid " << c.by_centroid << " dimension " << c.dimension
                                          << " run " << run);
        const ElementSet set =
            testing::MakeRandomTriangles(rng, 300, -20.0f, 20.0f, 4.0f, run >= 4 ? &floor_y : nullptr);
        SmartPtr<CollisionTreeRootNode> root = BuildWithIds(set, c);
        int total = 0;
        for (int q = 0; q < 200; ++q) {
            const float y_range = run >= 4 ? 3.0f : 22.0f;
            const vector3 a(testing::RandomFloat(rng, -22, 22), testing::RandomFloat(rng, -y_range, y_range),
                            testing::RandomFloat(rng, -22, 22));
            vector3 v[3] = {a, a, a};
            for (int k = 1; k < 3; ++k) {
                v[k].x += testing::RandomFloat(rng, -6, 6);
                v[k].y += testing::RandomFloat(rng, -6, 6);
                v[k].z += testing::RandomFloat(rng, -6, 6);
            }
            std::vector<int> expected;
            for (int k = 0; k < set.num_elements(); ++k) {
                const float p0[3] = {v[0].x, v[0].y, v[0].z}, p1[3] = {v[1].x, v[1].y, v[1].z},
                            p2[3] = {v[2].x, v[2].y, v[2].z};
                const vector3 &ta = set.point(k, 0), &tb = set.point(k, 1), &tc = set.point(k, 2);
                const float t0[3] = {ta.x, ta.y, ta.z}, t1[3] = {tb.x, tb.y, tb.z}, t2[3] = {tc.x, tc.y, tc.z};
                if (TrianglesIntersect(p0, p1, p2, t0, t1, t2, nullptr, nullptr)) expected.push_back(k);
            }
            EXPECT_EQ(query.intersect_tri(v[0], v[1], v[2], root), !expected.empty());
            std::vector<int> found;
            for (const CollisionElementID& id : query.get_intersected_element_ids())
                found.push_back(static_cast<int>(id.value));
            std::sort(found.begin(), found.end());
            if (c.by_centroid) {
                EXPECT_EQ(std::adjacent_find(found.begin(), found.end()), found.end());
            }
            found.erase(std::unique(found.begin(), found.end()), found.end());
            ASSERT_EQ(found, expected) << "query " << q;
            total += static_cast<int>(expected.size());
        }
        EXPECT_GT(total, 30);
    }
}

TEST(IntersectFacesTest, CoplanarOverlapDoesNotCountAndIgnoredIdsAreSkipped) {
    const vector3 pts[6] = {vector3(0, 0, 0), vector3(4, 0, 0), vector3(0, 4, 0),
                            vector3(10, 0, 0), vector3(14, 0, 0), vector3(10, 4, 0)};
    const int idx[6] = {0, 1, 2, 3, 4, 5};
    const CollisionElementID ids[2] = {CollisionElementID(7), CollisionElementID(8)};
    SmartPtr<CollisionTreeRootNode> root = CreateOctree(pts, 6, idx, 6, 3, ids, 6, 1, true, 3);
    Traverser_IntersectFaces query;
    // In the plane of the first triangle, overlapping it.
    EXPECT_FALSE(query.intersect_tri(vector3(1, 1, 0), vector3(3, 1, 0), vector3(1, 3, 0), root));
    // Crossing it.
    const vector3 a(1, 1, -1), b(1, 1, 1), c(2, 2, 0);
    ASSERT_TRUE(query.intersect_tri(a, b, c, root));
    EXPECT_EQ(query.get_intersected_element_ids(), (std::vector<CollisionElementID>{CollisionElementID(7)}));
    query.ignore_element(CollisionElementID(7));
    EXPECT_FALSE(query.intersect_tri(a, b, c, root));
    EXPECT_TRUE(query.get_intersected_element_ids().empty());
    // The ignore list lives until cleared.
    EXPECT_FALSE(query.intersect_tri(a, b, c, root));
    query.clear_ignore_list();
    EXPECT_TRUE(query.intersect_tri(a, b, c, root));
}

TEST(CollectEdgesTest, RepeatedQueriesDoNotAllocate) {
    const ElementSet level = testing::MakeLevelOutline(21, 1000);
    SmartPtr<Node> root = CreateOctree(level.points.data(), static_cast<unsigned>(level.points.size()),
                                       level.indices.data(), static_cast<unsigned>(level.indices.size()), 2, nullptr, 6,
                                       2, true, 2);
    Traverser_CollectEdges query;
    const vector3 big_min(-120, -120, 0), big_max(120, 120, 0);
    query.collect_edges(big_min, big_max, root);  // warm-up: the result arrays reach full size
    vo_test::AllocationScope scope;
    for (int i = 0; i < 200; ++i) {
        const float x = static_cast<float>(i % 20) * 10.0f - 100.0f, y = static_cast<float>(i / 20) * 20.0f - 100.0f;
        query.collect_edges(vector3(x, y, 0), vector3(x + 0.5f, y + 0.5f, 0), root);
    }
    query.collect_edges(big_min, big_max, root);
    EXPECT_EQ(scope.count(), 0u);
}

}  // namespace
}  // namespace vo

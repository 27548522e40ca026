#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/scene/closest_point_on_triangle.h"
#include "engine/scene/octree.h"
#include "engine/scene/traverser_project_point.h"
#include "support/engine/collision_fixtures.h"

namespace vo {
namespace {

using testing::ElementSet;

SmartPtr<CollisionTreeRootNode> BuildWithIds(const ElementSet& set, bool by_centroid, int dimension) {
    std::vector<CollisionElementID> ids;
    for (int k = 0; k < set.num_elements(); ++k) ids.push_back(CollisionElementID(k));
    return CreateOctree(set.points.data(), static_cast<unsigned>(set.points.size()), set.indices.data(),
                        static_cast<unsigned>(set.indices.size()), set.indices_per_element, ids.data(), 6, 2,
                        by_centroid, dimension);
}

float Dist(const vector3& a, const vector3& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

TEST(ProjectPointTest, MatchesBruteForceOnRandomOutlines) {
    std::mt19937 rng(11);
    Traverser_ProjectPoint query;
    for (bool by_centroid : {true, false}) {
        SCOPED_TRACE(::testing::Message() << "by_centroid " << by_centroid);
        const ElementSet sets[2] = {testing::MakeLevelOutline(by_centroid ? 8 : 9, 1500),
                                    testing::MakeRandomEdges(rng, 300, -100.0f, 100.0f, 15.0f, true)};
        for (const ElementSet& set : sets) {
            SmartPtr<CollisionTreeRootNode> root = BuildWithIds(set, by_centroid, 2);
            for (int q = 0; q < 300; ++q) {
                // Inside the level, beyond its box, and off the plane.
                const float range = q % 5 == 0 ? 180.0f : 100.0f;
                const vector3 p(testing::RandomFloat(rng, -range, range), testing::RandomFloat(rng, -range, range),
                                q % 7 == 0 ? testing::RandomFloat(rng, -3.0f, 3.0f) : 0.0f);
                int brute_element = -1;
                const float expected = testing::BruteClosestEdgeDistance(set, p, &brute_element);
                ASSERT_TRUE(query.project(p, root)) << "query " << q;
                ASSERT_NEAR(query.get_distance(), expected, 1e-5f * (1.0f + expected)) << "query " << q;
                ASSERT_EQ(query.get_closest_element_type(), Traverser_ProjectPoint::ELEMENT_EDGE);
                EXPECT_EQ(query.get_closest_root_node(), root.get());
                // The reported element, indices and point agree with each other.
                const int e = static_cast<int>(query.get_closest_element_id().value);
                ASSERT_LT(e, set.num_elements());
                int a, b;
                query.get_closest_edge_point_indices(a, b);
                EXPECT_EQ(a, set.indices[static_cast<size_t>(2 * e)]);
                EXPECT_EQ(b, set.indices[static_cast<size_t>(2 * e + 1)]);
                EXPECT_NEAR(Dist(query.get_closest_point(), p), query.get_distance(), 1e-4f * (1.0f + expected));
            }
        }
    }
}

TEST(ProjectPointTest, FindsTrianglesAsBruteForceDoes) {
    std::mt19937 rng(12);
    Traverser_ProjectPoint query;
    for (bool by_centroid : {true, false}) {
        const ElementSet set = testing::MakeRandomTriangles(rng, 150, -20.0f, 20.0f, 5.0f);
        SmartPtr<CollisionTreeRootNode> root = BuildWithIds(set, by_centroid, 3);
        for (int q = 0; q < 200; ++q) {
            const vector3 p(testing::RandomFloat(rng, -30, 30), testing::RandomFloat(rng, -30, 30),
                            testing::RandomFloat(rng, -30, 30));
            float best = -1.0f;
            for (int k = 0; k < set.num_elements(); ++k) {
                const vector3 &a = set.point(k, 0), &b = set.point(k, 1), &c = set.point(k, 2);
                const vector3 n((b.y - a.y) * (c.z - a.z) - (b.z - a.z) * (c.y - a.y),
                                (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z),
                                (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
                vector3 x;
                float s, t;
                const float d = ClosestPointOnTriangle(x, s, t, p, a, b, c, n);
                if (best < 0 || d < best) best = d;
            }
            ASSERT_TRUE(query.project(p, root));
            ASSERT_EQ(query.get_closest_element_type(), Traverser_ProjectPoint::ELEMENT_TRIANGLE);
            ASSERT_FLOAT_EQ(query.get_distance(), best) << "query " << q;
            const int e = static_cast<int>(query.get_closest_element_id().value);
            int i0, i1, i2;
            query.get_closest_triangle_point_indices(i0, i1, i2);
            EXPECT_EQ(i0, set.indices[static_cast<size_t>(3 * e)]);
            EXPECT_EQ(i1, set.indices[static_cast<size_t>(3 * e + 1)]);
            EXPECT_EQ(i2, set.indices[static_cast<size_t>(3 * e + 2)]);
        }
    }
}

// A root holding one leaf with the given edges (ids 0, 1, ...).
SmartPtr<CollisionTreeRootNode> EdgeRoot(const std::vector<vector3>& pts, const std::vector<int>& idx) {
    SmartPtr<CollisionTreeRootNode> root = CollisionTreeRootNode::create();
    root->add_points(pts.data(), static_cast<int>(pts.size()));
    vector3 lo, hi;
    ComputeBoundingBox(lo, hi, pts.data(), static_cast<int>(pts.size()));
    root->set_box(lo, hi);
    SmartPtr<CollisionEdgesNode> leaf = CollisionEdgesNode::create();
    for (size_t i = 0; i + 1 < idx.size(); i += 2) leaf->add_edge(idx[i], idx[i + 1], static_cast<int>(i / 2));
    root->add_child(leaf);
    return root;
}

TEST(ProjectPointTest, PointOutsideTheRootBoxIsAnswered) {
    SmartPtr<CollisionTreeRootNode> root = EdgeRoot({vector3(0, 0, 0), vector3(10, 0, 0)}, {0, 1});
    Traverser_ProjectPoint query;
    // Outside in x, and off the root's (zero) z range.
    ASSERT_TRUE(query.project(vector3(13, 4, 0), root));
    EXPECT_FLOAT_EQ(query.get_distance(), 5.0f);
    ASSERT_TRUE(query.project(vector3(5, 0, 0.5f), root));
    EXPECT_FLOAT_EQ(query.get_distance(), 0.5f);
    // Wrapped in a plain group the same.
    SmartPtr<GroupNode> group = GroupNode::create();
    group->add_child(root);
    ASSERT_TRUE(query.project(vector3(13, 4, 0), group));
    EXPECT_FLOAT_EQ(query.get_distance(), 5.0f);
    EXPECT_EQ(query.get_closest_root_node(), root.get());
}

TEST(ProjectPointTest, EmptyCellAroundThePointFallsBackToTheRest) {
    SmartPtr<CollisionTreeRootNode> root = CollisionTreeRootNode::create();
    const vector3 pts[2] = {vector3(8, 0, 0), vector3(8, 10, 0)};
    root->add_points(pts, 2);
    root->set_box(vector3(0, 0, 0), vector3(10, 10, 0));
    SmartPtr<BoxedGroupNode> empty_cell = BoxedGroupNode::create();
    empty_cell->set_box(vector3(0, 0, 0), vector3(5, 10, 0));
    SmartPtr<BoxedGroupNode> full_cell = BoxedGroupNode::create();
    full_cell->set_box(vector3(8, 0, 0), vector3(8, 10, 0));
    SmartPtr<CollisionEdgesNode> leaf = CollisionEdgesNode::create();
    leaf->add_edge(0, 1);
    full_cell->add_child(leaf);
    root->add_child(empty_cell);
    root->add_child(full_cell);
    Traverser_ProjectPoint query;
    ASSERT_TRUE(query.project(vector3(2, 5, 0), root));
    EXPECT_FLOAT_EQ(query.get_distance(), 6.0f);
    EXPECT_FALSE(query.get_closest_element_id().is_valid());
}

TEST(ProjectPointTest, EdgeCases) {
    Traverser_ProjectPoint query;
    // Equal distances: the edge reached first.
    SmartPtr<CollisionTreeRootNode> twins =
        EdgeRoot({vector3(0, 1, 0), vector3(10, 1, 0), vector3(0, -1, 0), vector3(10, -1, 0)}, {2, 3, 0, 1});
    ASSERT_TRUE(query.project(vector3(5, 0, 0), twins));
    EXPECT_EQ(query.get_closest_element_id(), CollisionElementID(0));
    EXPECT_FLOAT_EQ(query.get_distance(), 1.0f);

    // A degenerate edge: its point.
    SmartPtr<CollisionTreeRootNode> dot = EdgeRoot({vector3(3, 4, 0)}, {0, 0});
    ASSERT_TRUE(query.project(vector3(0, 0, 0), dot));
    EXPECT_FLOAT_EQ(query.get_distance(), 5.0f);
    EXPECT_EQ(query.get_closest_point().x, 3.0f);
    EXPECT_EQ(query.get_closest_point().y, 4.0f);

    // Beyond an edge's end: that end, with the edge's indices.
    SmartPtr<CollisionTreeRootNode> edge = EdgeRoot({vector3(0, 0, 0), vector3(1, 1, 0), vector3(4, 0, 0)}, {0, 2});
    ASSERT_TRUE(query.project(vector3(7, 4, 0), edge));
    EXPECT_EQ(query.get_closest_element_type(), 2);
    EXPECT_FLOAT_EQ(query.get_distance(), 5.0f);
    EXPECT_EQ(query.get_closest_point().x, 4.0f);
    int a, b;
    query.get_closest_edge_point_indices(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 2);
}

SmartPtr<CollisionTreeRootNode> TriangleRoot(const vector3& a, const vector3& b, const vector3& c) {
    SmartPtr<CollisionTreeRootNode> root = CollisionTreeRootNode::create();
    const vector3 pts[3] = {a, b, c};
    root->add_points(pts, 3);
    root->set_box(vector3(-100, -100, -100), vector3(100, 100, 100));
    SmartPtr<CollisionTrianglesNode> leaf = CollisionTrianglesNode::create();
    leaf->add_triangle(0, 1, 2, 42);
    root->add_child(leaf);
    return root;
}

TEST(ProjectPointTest, TriangleFootAndDirectionFilter) {
    SmartPtr<CollisionTreeRootNode> root = TriangleRoot(vector3(0, 0, 0), vector3(10, 0, 0), vector3(0, 10, 0));
    Traverser_ProjectPoint query;
    ASSERT_TRUE(query.project(vector3(2, 3, 5), root));
    EXPECT_EQ(query.get_closest_element_type(), 3);
    EXPECT_EQ(query.get_closest_element_id(), CollisionElementID(42));
    EXPECT_FLOAT_EQ(query.get_distance(), 5.0f);
    EXPECT_FLOAT_EQ(query.get_closest_point().x, 2.0f);
    EXPECT_FLOAT_EQ(query.get_closest_point().y, 3.0f);
    EXPECT_FLOAT_EQ(query.get_closest_point().z, 0.0f);
    int i0, i1, i2;
    query.get_closest_triangle_point_indices(i0, i1, i2);
    EXPECT_EQ((std::vector<int>{i0, i1, i2}), (std::vector<int>{0, 1, 2}));

    // The normal is +z: a direction along it keeps the triangle, others hide it.
    const vector3 up(0, 0, 1), down(0, 0, -1), sideways(1, 0, 0);
    EXPECT_TRUE(query.project(vector3(2, 3, 5), root, &up));
    EXPECT_FALSE(query.project(vector3(2, 3, 5), root, &down));
    EXPECT_FALSE(query.project(vector3(2, 3, 5), root, &sideways));
    EXPECT_EQ(query.get_distance(), -1.0f);
    EXPECT_EQ(query.get_closest_element_type(), 0);
    EXPECT_FALSE(query.get_closest_element_id().is_valid());
    EXPECT_TRUE(query.project(vector3(2, 3, 5), root, nullptr));
}

TEST(ClosestPointOnTriangleTest, OutsideTheFootTheNearestSidePointWins) {
    // An obtuse, flat triangle: below it the nearest line is the extension of
    // ab, but the nearest point of the triangle lies on bc.
    const vector3 a(0, 0, 0), b(10, 0, 0), c(20, 1, 0), n(0, 0, 10);
    vector3 x;
    float s, t;
    const float d = ClosestPointOnTriangle(x, s, t, vector3(15, -0.5f, 0), a, b, c, n);
    EXPECT_NEAR(d, 10.0f / std::sqrt(101.0f), 1e-5);
    EXPECT_NEAR(x.x, 10.0f + 10.0f * 49.5f / 101.0f, 1e-4);
    // The coordinates describe the point.
    EXPECT_NEAR(a.x + s * (b.x - a.x) + t * (c.x - a.x), x.x, 1e-4);
    EXPECT_NEAR(a.y + s * (b.y - a.y) + t * (c.y - a.y), x.y, 1e-4);

    // A corner region: corner a.
    const float dc = ClosestPointOnTriangle(x, s, t, vector3(-3, -4, 0), a, b, vector3(0, 10, 0), n);
    EXPECT_FLOAT_EQ(dc, 5.0f);
    EXPECT_EQ(x.x, 0.0f);
    EXPECT_EQ(x.y, 0.0f);
    EXPECT_EQ(s, 0.0f);
    EXPECT_EQ(t, 0.0f);
}

TEST(ClosestPointOnTriangleTest, NoSampledPointOfTheTriangleIsNearer) {
    std::mt19937 rng(3);
    for (int i = 0; i < 300; ++i) {
        vector3 v[3];
        for (vector3& p : v) p = vector3(testing::RandomFloat(rng, -5, 5), testing::RandomFloat(rng, -5, 5),
                                         testing::RandomFloat(rng, -5, 5));
        if (i % 10 == 0) v[2] = v[1];  // degenerate now and then
        const vector3 &a = v[0], &b = v[1], &c = v[2];
        const vector3 n((b.y - a.y) * (c.z - a.z) - (b.z - a.z) * (c.y - a.y),
                        (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z),
                        (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
        const vector3 q(testing::RandomFloat(rng, -10, 10), testing::RandomFloat(rng, -10, 10),
                        testing::RandomFloat(rng, -10, 10));
        vector3 x;
        float s, t;
        const float d = ClosestPointOnTriangle(x, s, t, q, a, b, c, n);
        // The point lies on the triangle and at the distance reported.
        EXPECT_GE(s, -1e-4f);
        EXPECT_GE(t, -1e-4f);
        EXPECT_LE(s + t, 1.0f + 1e-4f);
        EXPECT_NEAR(Dist(x, q), d, 1e-4f);
        const int steps = 40;
        for (int si = 0; si <= steps; ++si)
            for (int ti = 0; si + ti <= steps; ++ti) {
                const float ss = static_cast<float>(si) / steps, tt = static_cast<float>(ti) / steps;
                const vector3 p(a.x + ss * (b.x - a.x) + tt * (c.x - a.x), a.y + ss * (b.y - a.y) + tt * (c.y - a.y),
                                a.z + ss * (b.z - a.z) + tt * (c.z - a.z));
                ASSERT_GE(Dist(p, q), d - 1e-4f) << "triangle " << i;
            }
    }
}

}  // namespace
}  // namespace vo

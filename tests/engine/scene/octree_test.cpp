#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "engine/scene/octree.h"
#include "engine/scene/updatable_edge_tree.h"
#include "support/engine/collision_fixtures.h"

namespace vo {
namespace {

using testing::ElementSet;

struct Leaf {
    std::vector<const BoxedGroupNode*> cells;  // from the root down
    const Node* node;
};

void CollectLeaves(const Node* node, std::vector<const BoxedGroupNode*>& path, std::vector<Leaf>& out) {
    const unsigned int id = node->get_node_id();
    if (id == NODE_ID_COLLISION_EDGES || id == NODE_ID_COLLISION_TRIANGLES) {
        out.push_back({path, node});
        return;
    }
    ASSERT_TRUE(id == NODE_ID_BOXED_GROUP || id == NODE_ID_COLLISION_TREE_ROOT) << id;
    const BoxedGroupNode* cell = static_cast<const BoxedGroupNode*>(node);
    path.push_back(cell);
    for (int i = 0; i < cell->num_children(); ++i) CollectLeaves(cell->get_child(i).get(), path, out);
    path.pop_back();
}

std::vector<Leaf> Leaves(const SmartPtr<CollisionTreeRootNode>& root) {
    std::vector<Leaf> leaves;
    std::vector<const BoxedGroupNode*> path;
    CollectLeaves(root.get(), path, leaves);
    return leaves;
}

int LeafCount(const Leaf& leaf) {
    return leaf.node->get_node_id() == NODE_ID_COLLISION_EDGES
               ? static_cast<const CollisionEdgesNode*>(leaf.node)->num_edges()
               : static_cast<int>(static_cast<const CollisionTrianglesNode*>(leaf.node)->num_triangles());
}

CollisionElementID LeafId(const Leaf& leaf, int k) {
    return leaf.node->get_node_id() == NODE_ID_COLLISION_EDGES
               ? static_cast<const CollisionEdgesNode*>(leaf.node)->get_edge_id(k)
               : static_cast<const CollisionTrianglesNode*>(leaf.node)->get_triangle_id(static_cast<unsigned>(k));
}

const int* LeafElement(const Leaf& leaf, int k) {
    return leaf.node->get_node_id() == NODE_ID_COLLISION_EDGES
               ? static_cast<const CollisionEdgesNode*>(leaf.node)->edge(k)
               : static_cast<const CollisionTrianglesNode*>(leaf.node)->triangle(static_cast<unsigned>(k));
}

SmartPtr<CollisionTreeRootNode> Build(const ElementSet& set, bool with_ids, int depth, int per_leaf, bool by_centroid,
                                      int dimension, std::vector<CollisionElementID>* ids_out = nullptr) {
    std::vector<CollisionElementID> ids;
    for (int k = 0; k < set.num_elements(); ++k) ids.push_back(CollisionElementID(k));
    if (ids_out) *ids_out = ids;
    return CreateOctree(set.points.data(), static_cast<unsigned>(set.points.size()), set.indices.data(),
                        static_cast<unsigned>(set.indices.size()), set.indices_per_element,
                        with_ids ? ids.data() : nullptr, depth, per_leaf, by_centroid, dimension);
}

ElementSet Edges(std::vector<vector3> points, std::vector<int> indices) {
    ElementSet set;
    set.points = std::move(points);
    set.indices = std::move(indices);
    set.indices_per_element = 2;
    return set;
}

TEST(OctreeTest, RefusesNoIndicesAndOtherElementSizes) {
    vector3 p[4] = {vector3(0, 0, 0), vector3(1, 0, 0), vector3(0, 1, 0), vector3(1, 1, 0)};
    int idx[4] = {0, 1, 2, 3};
    EXPECT_FALSE(CreateOctree(p, 4, idx, 0, 2, nullptr, 6, 2, true, 2));
    EXPECT_FALSE(CreateOctree(p, 4, idx, 4, 4, nullptr, 6, 2, true, 2));
    EXPECT_FALSE(CreateOctree(p, 4, idx, 4, 1, nullptr, 6, 2, true, 2));
}

TEST(OctreeTest, SmallCellsAndDepthZeroAreOneLeaf) {
    const ElementSet set =
        Edges({vector3(0, 0, 0), vector3(1, 0, 0), vector3(2, 3, 0), vector3(5, 5, 0)}, {0, 1, 1, 2, 2, 3});
    for (int depth_or_leaf : {0, 1}) {
        SmartPtr<CollisionTreeRootNode> root =
            depth_or_leaf == 0 ? Build(set, false, 0, 1, true, 2) : Build(set, false, 6, 3, true, 2);
        ASSERT_TRUE(root);
        ASSERT_EQ(root->num_children(), 1);
        SmartPtr<Node> leaf = root->get_child(0);
        ASSERT_EQ(leaf->get_node_id(), static_cast<unsigned>(NODE_ID_COLLISION_EDGES));
        const CollisionEdgesNode* edges = static_cast<const CollisionEdgesNode*>(leaf.get());
        EXPECT_EQ(std::vector<int>(edges->get_edges(), edges->get_edges() + 6), set.indices);
        EXPECT_EQ(root->num_points(), 4);
    }
}

TEST(OctreeTest, RootBoxIsWidenedAbsolutelyThenRelatively) {
    const ElementSet set = Edges({vector3(0, 0, 0), vector3(10, 10, 0)}, {0, 1});
    SmartPtr<CollisionTreeRootNode> root = Build(set, false, 6, 2, true, 2);
    // Each side pushed out by 1e-6, then the half extent scaled by 1.001.
    // (Float arithmetic: the centre minus the half extent cancels digits.)
    EXPECT_NEAR(root->min_corner().x, -0.005001f, 1e-6);
    EXPECT_NEAR(root->min_corner().y, -0.005001f, 1e-6);
    EXPECT_NEAR(root->max_corner().x, 10.005001f, 1e-6);
    EXPECT_NEAR(root->max_corner().y, 10.005001f, 1e-6);
    EXPECT_NEAR(root->min_corner().z, -0.000001001f, 1e-12);
    EXPECT_NEAR(root->max_corner().z, 0.000001001f, 1e-12);
}

TEST(OctreeTest, OverlapPlacementSplitsRegularlyAndStoresCrossingEdgesTwice) {
    // Three edges keep the root splitting; edge 0 crosses the vertical centre line.
    const ElementSet set = Edges({vector3(2, 2, 0), vector3(8, 2, 0), vector3(0, 0, 0), vector3(10, 10, 0),
                                  vector3(1, 9, 0), vector3(2, 9, 0)},
                                 {0, 1, 2, 2, 4, 5});
    std::vector<CollisionElementID> ids;
    SmartPtr<CollisionTreeRootNode> root = Build(set, true, 1, 1, false, 2, &ids);
    ASSERT_EQ(root->num_children(), 4);
    const vector3 rmin = root->min_corner(), rmax = root->max_corner();
    const float midx = static_cast<float>(static_cast<double>(rmin.x) + static_cast<double>(rmax.x - rmin.x) * 0.5);
    const float midy = static_cast<float>(static_cast<double>(rmin.y) + static_cast<double>(rmax.y - rmin.y) * 0.5);
    for (int i = 0; i < 4; ++i) {
        const BoxedGroupNode* cell = static_cast<const BoxedGroupNode*>(root->get_child(i).get());
        ASSERT_EQ(cell->get_node_id(), static_cast<unsigned>(NODE_ID_BOXED_GROUP));
        EXPECT_EQ(cell->min_corner().x, i % 2 ? midx : rmin.x) << i;
        EXPECT_EQ(cell->max_corner().x, i % 2 ? rmax.x : midx) << i;
        EXPECT_EQ(cell->min_corner().y, i / 2 ? midy : rmin.y) << i;
        EXPECT_EQ(cell->max_corner().y, i / 2 ? rmax.y : midy) << i;
        EXPECT_EQ(cell->min_corner().z, rmin.z);
        EXPECT_EQ(cell->max_corner().z, rmax.z);
    }
    // Edge 0 lies in the lower half, crossing from child 0 into child 1.
    int seen_edge0 = 0;
    for (const Leaf& leaf : Leaves(root))
        for (int k = 0; k < LeafCount(leaf); ++k)
            if (LeafId(leaf, k) == CollisionElementID(0)) {
                ++seen_edge0;
                EXPECT_EQ(LeafElement(leaf, k)[0], 0);
                EXPECT_EQ(LeafElement(leaf, k)[1], 1);
            }
    EXPECT_EQ(seen_edge0, 2);
}

TEST(OctreeTest, ThreeDimensionsMakeEightChildrenInBitOrder) {
    ElementSet set;
    set.indices_per_element = 3;
    std::mt19937 rng(5);
    set = testing::MakeRandomTriangles(rng, 20, 0.0f, 8.0f, 1.0f);
    SmartPtr<CollisionTreeRootNode> root = Build(set, false, 1, 1, false, 3);
    ASSERT_EQ(root->num_children(), 8);
    const vector3 rmin = root->min_corner(), rmax = root->max_corner();
    const BoxedGroupNode* child5 = static_cast<const BoxedGroupNode*>(root->get_child(5).get());
    const float cx = (rmin.x + rmax.x) * 0.5f, cy = (rmin.y + rmax.y) * 0.5f, cz = (rmin.z + rmax.z) * 0.5f;
    // Child 5: upper x, lower y, upper z.
    EXPECT_NEAR(child5->min_corner().x, cx, 1e-5);
    EXPECT_EQ(child5->max_corner().x, rmax.x);
    EXPECT_EQ(child5->min_corner().y, rmin.y);
    EXPECT_NEAR(child5->max_corner().y, cy, 1e-5);
    EXPECT_NEAR(child5->min_corner().z, cz, 1e-5);
    EXPECT_NEAR(child5->max_corner().z, rmax.z, 1e-5);
}

TEST(OctreeTest, CentroidPlacementTakesTheFirstChildAndShrinksBoxes) {
    // The root spans x 0..10 and y 0..10; the edge (4,1)-(6,1) has its centroid
    // on the mid-plane between child 0 and child 1 only up to the widening,
    // and goes to child 0. The upper children receive nothing.
    const vector3 mid(5.0f, 1.0f, 0.0f);
    const ElementSet set = Edges({vector3(0, 0, 0), vector3(0.5f, 0.5f, 0), vector3(10, 0, 0), vector3(9.5f, 0.5f, 0),
                                  vector3(4, 1, 0), vector3(6, 1, 0), vector3(5, 10, 0)},
                                 {0, 1, 2, 3, 4, 5});
    SmartPtr<CollisionTreeRootNode> root = Build(set, true, 1, 1, true, 2);
    // The root's centre line in x passes through the middle edge's centroid.
    ASSERT_FLOAT_EQ((root->min_corner().x + root->max_corner().x) * 0.5f, mid.x);
    ASSERT_EQ(root->num_children(), 4);
    std::vector<std::vector<int>> ids_per_child(4);
    for (int i = 0; i < 4; ++i) {
        const BoxedGroupNode* cell = static_cast<const BoxedGroupNode*>(root->get_child(i).get());
        for (int c = 0; c < cell->num_children(); ++c) {
            const CollisionEdgesNode* leaf = static_cast<const CollisionEdgesNode*>(cell->get_child(c).get());
            for (int k = 0; k < leaf->num_edges(); ++k)
                ids_per_child[static_cast<size_t>(i)].push_back(static_cast<int>(leaf->get_edge_id(k).value));
        }
    }
    EXPECT_EQ(ids_per_child[0], (std::vector<int>{0, 2}));
    EXPECT_EQ(ids_per_child[1], (std::vector<int>{1}));
    // Child 0's box fits its points, widened by 1.001 about the centre.
    const BoxedGroupNode* child0 = static_cast<const BoxedGroupNode*>(root->get_child(0).get());
    EXPECT_FLOAT_EQ(child0->min_corner().x, 3.0f - 3.0f * 1.001f);
    EXPECT_FLOAT_EQ(child0->max_corner().x, 3.0f + 3.0f * 1.001f);
    EXPECT_FLOAT_EQ(child0->min_corner().y, 0.5f - 0.5f * 1.001f);
    EXPECT_EQ(child0->min_corner().z, 0.0f);
    EXPECT_EQ(child0->max_corner().z, 0.0f);
    for (int i : {2, 3}) {
        const BoxedGroupNode* empty = static_cast<const BoxedGroupNode*>(root->get_child(i).get());
        EXPECT_EQ(empty->num_children(), 0);
        for (unsigned a = 0; a < 3; ++a) {
            EXPECT_EQ(empty->min_corner()[a], 0.0f);
            EXPECT_EQ(empty->max_corner()[a], 0.0f);
        }
    }
}

// Every element sits in at least one leaf (exactly one by centroid), with its
// id beside it, and every cell on the way holds the element: its points by
// centroid, a touching part by overlap.
void CheckEveryElementReachable(const ElementSet& set, bool by_centroid, int dimension) {
    SCOPED_TRACE(::testing::Message() << "by_centroid " << by_centroid << " dimension " << dimension);
    SmartPtr<CollisionTreeRootNode> root = Build(set, true, 6, 2, by_centroid, dimension);
    ASSERT_TRUE(root);
    std::vector<int> count(static_cast<size_t>(set.num_elements()), 0);
    for (const Leaf& leaf : Leaves(root)) {
        for (int k = 0; k < LeafCount(leaf); ++k) {
            const CollisionElementID id = LeafId(leaf, k);
            ASSERT_TRUE(id.is_valid());
            ASSERT_LT(id.value, count.size());
            const int e = static_cast<int>(id.value);
            ++count[id.value];
            const int* element = LeafElement(leaf, k);
            for (int c = 0; c < set.indices_per_element; ++c)
                ASSERT_EQ(element[c], set.indices[static_cast<size_t>(e * set.indices_per_element + c)]);
            if (!by_centroid) continue;
            for (const BoxedGroupNode* cell : leaf.cells)
                for (int c = 0; c < set.indices_per_element; ++c) {
                    const vector3& p = set.point(e, c);
                    for (unsigned a = 0; a < 3; ++a) {
                        ASSERT_GE(p[a], cell->min_corner()[a]) << "element " << e << " axis " << a;
                        ASSERT_LE(p[a], cell->max_corner()[a]) << "element " << e << " axis " << a;
                    }
                }
        }
    }
    for (int e = 0; e < set.num_elements(); ++e) {
        if (by_centroid)
            EXPECT_EQ(count[static_cast<size_t>(e)], 1) << "element " << e;
        else
            EXPECT_GE(count[static_cast<size_t>(e)], 1) << "element " << e;
    }
}

TEST(OctreeTest, EveryElementIsReachableFromALeaf) {
    std::mt19937 rng(42);
    for (bool by_centroid : {true, false}) {
        for (int dimension : {2, 3}) {
            CheckEveryElementReachable(testing::MakeRandomEdges(rng, 300, -50.0f, 50.0f, 10.0f, dimension == 2),
                                       by_centroid, dimension);
            CheckEveryElementReachable(testing::MakeRandomTriangles(rng, 200, -20.0f, 20.0f, 4.0f), by_centroid,
                                       dimension);
        }
    }
    CheckEveryElementReachable(testing::MakeLevelOutline(3, 1000), true, 2);
}

TEST(OctreeTest, FlatTriangleMeshLosesNoTriangle) {
    // Every point at y = 0.1: cell boxes have no height, and a centroid
    // computed in float lies a hair above them.
    std::mt19937 rng(7);
    const float y = 0.1f;
    const ElementSet floor = testing::MakeRandomTriangles(rng, 400, -10.0f, 10.0f, 1.0f, &y);
    for (bool by_centroid : {true, false})
        for (int dimension : {2, 3}) CheckEveryElementReachable(floor, by_centroid, dimension);
}

// A tree kept through rounds of random changes of its edges (some gone,
// some moved, some new, now and then two kept ones swapped in order, new
// edges far out that grow the box of the points and their loss that shrinks
// it again, and once no edges at all) is after every round the tree
// CreateOctree builds from the edges then, index for index; little of it is
// built anew when little has changed.
TEST(UpdatableEdgeTreeTest, EveryUpdateGivesTheTreeBuiltAnew) {
    struct Shape {
        int depth, per_leaf, dimension;
    };
    for (const Shape shape : {Shape{6, 2, 2}, Shape{3, 4, 3}}) {
        std::mt19937 rng(static_cast<unsigned>(shape.depth));
        // The edges as their two ends, in order; points are shared by ends
        // that coincide.
        std::vector<std::pair<vector3, vector3>> edges;
        const ElementSet start = testing::MakeLevelOutline(5, 600);
        for (int k = 0; k < start.num_elements(); ++k) edges.emplace_back(start.point(k, 0), start.point(k, 1));
        std::vector<int> earlier(edges.size());
        UpdatableEdgeTree tree(shape.depth, shape.per_leaf, shape.dimension);
        std::size_t small_changes = 0, cells_for_small_changes = 0, whole = 0;
        for (int round = 0; round < 60; ++round) {
            std::vector<vector3> points;
            std::vector<int> indices;
            for (const auto& e : edges) {
                for (const vector3& p : {e.first, e.second}) {
                    std::size_t at = 0;
                    while (at < points.size() && (points[at].x != p.x || points[at].y != p.y || points[at].z != p.z)) ++at;
                    if (at == points.size()) points.push_back(p);
                    indices.push_back(static_cast<int>(at));
                }
            }
            const unsigned n = static_cast<unsigned>(edges.size());
            if (round == 0) {
                tree.build(points.data(), static_cast<unsigned>(points.size()), indices.data(), n);
                whole = tree.num_cells_built();
            } else {
                tree.update(points.data(), static_cast<unsigned>(points.size()), indices.data(), n, earlier.data());
            }
            const SmartPtr<CollisionTreeRootNode> anew =
                CreateOctree(points.data(), static_cast<unsigned>(points.size()), indices.data(), 2 * n, 2, nullptr,
                             shape.depth, shape.per_leaf, true, shape.dimension);
            ASSERT_EQ(testing::TreePicture(tree.root().get()), testing::TreePicture(anew.get()))
                << "round " << round << ", dimension " << shape.dimension;
            if (round > 0 && round % 3 != 0) {
                ++small_changes;
                cells_for_small_changes += tree.num_cells_built();
            }

            // The next round's edges: earlier[k] is edge k's place now.
            std::vector<std::pair<vector3, vector3>> next;
            earlier.clear();
            const float cx = testing::RandomFloat(rng, -80.0f, 80.0f), cy = testing::RandomFloat(rng, -80.0f, 80.0f);
            for (std::size_t k = 0; k < edges.size(); ++k) {
                const auto& e = edges[k];
                const float dx = e.first.x - cx, dy = e.first.y - cy;
                const bool near = dx * dx + dy * dy < 100.0f;
                if (round % 17 == 16 || (near && rng() % 3 == 0)) continue;  // gone
                if (e.first.x > 150.0f && rng() % 2 == 0) continue;           // the far ones go again
                if (near && rng() % 4 == 0) {                                 // moved
                    next.emplace_back(e.first, vector3(e.second.x + 0.25f, e.second.y, 0.0f));
                    earlier.push_back(-1);
                    continue;
                }
                next.push_back(e);
                earlier.push_back(static_cast<int>(k));
            }
            if (round % 5 == 4 && next.size() > 2) {
                std::swap(next[1], next[next.size() - 2]);
                std::swap(earlier[1], earlier[earlier.size() - 2]);
            }
            const int added = round % 3 == 0 ? 40 : 4;
            for (int a = 0; a < added; ++a) {
                const float far = round % 7 == 6 ? 200.0f : 0.0f;
                const vector3 p(cx + far + testing::RandomFloat(rng, -8.0f, 8.0f), cy + testing::RandomFloat(rng, -8.0f, 8.0f), 0.0f);
                next.emplace_back(p, vector3(p.x + testing::RandomFloat(rng, -2.0f, 2.0f), p.y + 1.0f, 0.0f));
                earlier.push_back(-1);
            }
            edges.swap(next);
        }
        EXPECT_LT(cells_for_small_changes, small_changes * whole / 4) << shape.dimension;
    }
}

}  // namespace
}  // namespace vo

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/scene/collision_nodes.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/transform_node.h"
#include "engine/scene/traverser.h"
#include "engine/scene/visual_node.h"
#include "engine/visuals/visual.h"

namespace vo {
namespace {

TEST(CollisionElementIDTest, EmptyValidAndEqual) {
    EXPECT_FALSE(CollisionElementID().is_valid());
    EXPECT_TRUE(CollisionElementID(0).is_valid());
    EXPECT_NE(CollisionElementID(0), CollisionElementID());
    EXPECT_EQ(CollisionElementID(7), CollisionElementID(7));
    EXPECT_NE(CollisionElementID(7), CollisionElementID(8));
    // -1 is all bits set: the empty id.
    EXPECT_EQ(CollisionElementID(-1), CollisionElementID());
    // An id holds a whole pointer: two objects differing only in high bits
    // stay apart.
    const void* p = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0x1234) << 32 | 0x10);
    const void* q = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0x4321) << 32 | 0x10);
    EXPECT_NE(CollisionElementID(p), CollisionElementID(q));
    EXPECT_EQ(CollisionElementID(p), CollisionElementID(p));
    EXPECT_TRUE(CollisionElementID(p).is_valid());
}

TEST(NodeTest, EachClassCarriesItsNodeId) {
    EXPECT_EQ(GroupNode::create()->get_node_id(), 2u);
    EXPECT_EQ(BoxedGroupNode::create()->get_node_id(), 3u);
    EXPECT_EQ(CollisionTreeRootNode::create()->get_node_id(), 4u);
    EXPECT_EQ(CollisionEdgesNode::create()->get_node_id(), 5u);
    EXPECT_EQ(CollisionTrianglesNode::create()->get_node_id(), 6u);
    EXPECT_EQ(TransformNode::create()->get_node_id(), 7u);
    EXPECT_EQ(VisualNode::create()->get_node_id(), 8u);
    // A handle converted to the base shares the count and keeps the id.
    SmartPtr<CollisionTreeRootNode> root = CollisionTreeRootNode::create();
    SmartPtr<Node> as_node = root;
    EXPECT_EQ(as_node->get_node_id(), 4u);
    EXPECT_EQ(root.use_count(), 2);
}

// Each case builds a leaf through a sequence of calls and states the ids of
// every element afterwards (-1 for the empty id) and whether ids are kept.
struct IdCase {
    const char* name;
    std::function<void(CollisionEdgesNode&)> edges;
    std::function<void(CollisionTrianglesNode&)> triangles;
    std::vector<int> expected_ids;
    bool keeps_ids;
};

TEST(CollisionLeafTest, IdBookkeeping) {
    int two_edges[4] = {0, 1, 1, 2};
    int two_triangles[6] = {1, 2, 3, 2, 3, 4};
    CollisionElementID two_ids[2] = {CollisionElementID(11), CollisionElementID(12)};
    const std::vector<IdCase> cases = {
        {"no ids given", [](CollisionEdgesNode& n) { n.add_edge(0, 1); n.add_edge(1, 2); },
         [](CollisionTrianglesNode& n) { n.add_triangle(0, 1, 2); n.add_triangle(1, 2, 3); }, {-1, -1}, false},
        {"set id after plain adds",
         [](CollisionEdgesNode& n) { n.add_edge(0, 1); n.add_edge(1, 2); n.set_edge_id(1, 7); },
         [](CollisionTrianglesNode& n) { n.add_triangle(0, 1, 2); n.add_triangle(1, 2, 3); n.set_triangle_id(1, 7); },
         {-1, 7}, true},
        {"id on the third element, then a plain one",
         [](CollisionEdgesNode& n) { n.add_edge(0, 1); n.add_edge(1, 2); n.add_edge(2, 3, 9); n.add_edge(4, 5); },
         [](CollisionTrianglesNode& n) {
             n.add_triangle(0, 1, 2); n.add_triangle(1, 2, 3); n.add_triangle(2, 3, 4, 9); n.add_triangle(4, 5, 6);
         },
         {-1, -1, 9, -1}, true},
        {"id on the first element", [](CollisionEdgesNode& n) { n.add_edge(0, 1, 5); n.add_edge(1, 2); },
         [](CollisionTrianglesNode& n) { n.add_triangle(0, 1, 2, 5); n.add_triangle(1, 2, 3); }, {5, -1}, true},
        {"many with ids after one without",
         [&](CollisionEdgesNode& n) { n.add_edge(0, 1); n.add_edges(two_edges, two_ids, 2); },
         [&](CollisionTrianglesNode& n) { n.add_triangle(0, 1, 2); n.add_triangles(two_triangles, two_ids, 2); },
         {-1, 11, 12}, true},
        {"many without ids after one with",
         [&](CollisionEdgesNode& n) { n.add_edge(0, 1, 3); n.add_edges(two_edges, 2); },
         [&](CollisionTrianglesNode& n) { n.add_triangle(0, 1, 2, 3); n.add_triangles(two_triangles, 2); },
         {3, -1, -1}, true},
        {"many without ids", [&](CollisionEdgesNode& n) { n.add_edges(two_edges, 2); },
         [&](CollisionTrianglesNode& n) { n.add_triangles(two_triangles, 2); }, {-1, -1}, false},
    };
    for (const IdCase& c : cases) {
        SCOPED_TRACE(c.name);
        SmartPtr<CollisionEdgesNode> edges = CollisionEdgesNode::create();
        SmartPtr<CollisionTrianglesNode> triangles = CollisionTrianglesNode::create();
        c.edges(*edges);
        c.triangles(*triangles);
        ASSERT_EQ(edges->num_edges(), static_cast<int>(c.expected_ids.size()));
        ASSERT_EQ(triangles->num_triangles(), c.expected_ids.size());
        EXPECT_EQ(edges->has_ids(), c.keeps_ids);
        EXPECT_EQ(triangles->has_ids(), c.keeps_ids);
        for (size_t k = 0; k < c.expected_ids.size(); ++k) {
            EXPECT_EQ(edges->get_edge_id(static_cast<int>(k)), CollisionElementID(c.expected_ids[k])) << k;
            EXPECT_EQ(triangles->get_triangle_id(static_cast<unsigned>(k)), CollisionElementID(c.expected_ids[k])) << k;
        }
        if (c.keeps_ids) {
            EXPECT_EQ(triangles->num_ids(), c.expected_ids.size());
        }
    }
}

TEST(CollisionLeafTest, IndicesReadBackInOrder) {
    SmartPtr<CollisionEdgesNode> edges = CollisionEdgesNode::create();
    edges->add_edge(3, 4);
    int more[4] = {5, 6, 7, 8};
    edges->add_edges(more, 2);
    int a, b;
    edges->get_edge(2, a, b);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 8);
    EXPECT_EQ(std::vector<int>(edges->get_edges(), edges->get_edges() + 6), (std::vector<int>{3, 4, 5, 6, 7, 8}));

    SmartPtr<CollisionTrianglesNode> triangles = CollisionTrianglesNode::create();
    triangles->add_triangle(0, 1, 2);
    triangles->add_triangle(1, 2, 3);
    int c;
    triangles->get_triangle(1, a, b, c);
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(triangles->get_triangles()[3], 1);
}

TEST(CollisionLeafTest, TriangleIdBeyondTheEndLengthensEdgeIdBeyondTheEndIsIgnored) {
    SmartPtr<CollisionTrianglesNode> triangles = CollisionTrianglesNode::create();
    triangles->add_triangle(0, 1, 2, 1);
    triangles->add_triangle(1, 2, 3, 2);
    triangles->set_triangle_id(4, 3);
    EXPECT_EQ(triangles->num_ids(), 5u);
    EXPECT_EQ(triangles->get_triangle_id(2), CollisionElementID());
    EXPECT_EQ(triangles->get_triangle_id(3), CollisionElementID());
    EXPECT_EQ(triangles->get_triangle_id(4), CollisionElementID(3));
    // The next triangle takes the id given with it.
    triangles->add_triangle(2, 3, 4, 8);
    EXPECT_EQ(triangles->get_triangle_id(2), CollisionElementID(8));

    SmartPtr<CollisionEdgesNode> edges = CollisionEdgesNode::create();
    edges->add_edge(0, 1, 1);
    edges->set_edge_id(5, 4);   // out of range: ignored, no write past the ids
    edges->set_edge_id(-1, 4);
    EXPECT_EQ(edges->num_edges(), 1);
    EXPECT_EQ(edges->get_edge_id(0), CollisionElementID(1));
    edges->add_edge(1, 2);
    EXPECT_EQ(edges->get_edge_id(1), CollisionElementID());
}

TEST(GroupNodeTest, RemoveChildTakesTheFirstOccurrenceAndIgnoresStrangers) {
    SmartPtr<GroupNode> group = GroupNode::create();
    SmartPtr<Node> a = GroupNode::create();
    SmartPtr<Node> b = TransformNode::create();
    group->add_child(a);
    group->add_child(b);
    group->add_child(a);
    EXPECT_EQ(a.use_count(), 3);

    group->remove_child(GroupNode::create());
    EXPECT_EQ(group->num_children(), 3);

    group->remove_child(a);
    ASSERT_EQ(group->num_children(), 2);
    EXPECT_EQ(group->get_child(0), b);
    EXPECT_EQ(group->get_child(1), a);
    EXPECT_EQ(a.use_count(), 2);

    group->clear();
    EXPECT_EQ(group->num_children(), 0);
    EXPECT_EQ(a.use_count(), 1);
}

TEST(GroupNodeTest, ManyChildrenKeepTheirOrderThroughRemovals) {
    SmartPtr<GroupNode> group = GroupNode::create();
    std::vector<SmartPtr<Node>> nodes;
    for (int i = 0; i < 9; ++i) {
        nodes.push_back(GroupNode::create());
        group->add_child(nodes.back());
    }
    // Remove from the front, from the middle and from the end.
    for (int removed : {0, 5, 8, 3}) {
        group->remove_child(nodes[static_cast<size_t>(removed)]);
        EXPECT_EQ(nodes[static_cast<size_t>(removed)].use_count(), 1);
    }
    const std::vector<int> left = {1, 2, 4, 6, 7};
    ASSERT_EQ(group->num_children(), static_cast<int>(left.size()));
    for (size_t i = 0; i < left.size(); ++i)
        EXPECT_EQ(group->get_child(static_cast<int>(i)), nodes[static_cast<size_t>(left[i])]) << i;
    group->add_child(nodes[0]);
    EXPECT_EQ(group->get_child(5), nodes[0]);
    group->clear();
    for (const SmartPtr<Node>& n : nodes) EXPECT_EQ(n.use_count(), 1);
}

TEST(GroupNodeTest, NullChildIsKept) {
    SmartPtr<GroupNode> group = GroupNode::create();
    group->add_child(SmartPtr<Node>());
    EXPECT_EQ(group->num_children(), 1);
    EXPECT_FALSE(group->get_child(0));
}

TEST(BoxedGroupNodeTest, BoxIsStoredAsGiven) {
    SmartPtr<BoxedGroupNode> cell = BoxedGroupNode::create();
    cell->set_box(vector3(3, 2, 1), vector3(0, 5, -1));
    EXPECT_EQ(cell->min_corner().x, 3.0f);
    EXPECT_EQ(cell->max_corner().z, -1.0f);
}

TEST(CollisionTreeRootNodeTest, PointsAppendIncludingFromItsOwnArray) {
    SmartPtr<CollisionTreeRootNode> root = CollisionTreeRootNode::create();
    root->add_child(CollisionEdgesNode::create());
    vector3 p[3] = {vector3(1, 2, 3), vector3(4, 5, 6), vector3(7, 8, 9)};
    root->add_points(p, 0);
    root->add_points(p, -1);
    EXPECT_EQ(root->num_points(), 0);
    root->add_points(p, 3);
    // The source is the root's own array, which has to grow meanwhile.
    for (int i = 0; i < 6; ++i) root->add_points(root->get_points(), root->num_points());
    ASSERT_EQ(root->num_points(), 3 * 64);
    for (int i = 0; i < root->num_points(); ++i) EXPECT_EQ(root->get_point(i).x, p[i % 3].x) << i;
    root->add_points(root->get_points() + 1, 1);
    EXPECT_EQ(root->get_point(root->num_points() - 1).y, 5.0f);

    root->clear_points();
    EXPECT_EQ(root->num_points(), 0);
    EXPECT_EQ(root->num_children(), 1);
}

TEST(TransformNodeTest, StartsAsIdentityAndCopiesTheMatrix) {
    SmartPtr<TransformNode> node = TransformNode::create();
    EXPECT_EQ(node->transform()[0], 1.0f);
    EXPECT_EQ(node->transform()[1], 0.0f);
    EXPECT_EQ(node->transform()[15], 1.0f);
    MathMatrix<4, 4, float> m = MathMatrix<4, 4, float>::identity();
    m[12] = 3.0f;
    node->set_transform(m);
    m[12] = 4.0f;
    EXPECT_EQ(node->transform()[12], 3.0f);
}

class CountingVisual : public IVisual {
public:
    explicit CountingVisual(int& draws) : draws_(draws) {}
    const char* object_type_name() const override { return "CountingVisual"; }
    unsigned int object_type_id() const override { return 0; }
    bool is_animated() const override { return false; }
    void draw() const override { ++draws_; }

private:
    int& draws_;
};

TEST(VisualNodeTest, HoldsSharesAndDrawsItsVisual) {
    SmartPtr<VisualNode> node = VisualNode::create();
    EXPECT_FALSE(node->get_visual());
    node->draw();  // nothing held: nothing happens

    int draws = 0;
    SmartPtr<IVisual> first(new CountingVisual(draws));
    node->set_visual(first);
    EXPECT_EQ(first.use_count(), 2);
    EXPECT_EQ(node->get_visual(), first);
    node->draw();
    EXPECT_EQ(draws, 1);

    // A copy shares the visual.
    VisualNode copy(*node);
    EXPECT_EQ(first.use_count(), 3);
    copy.draw();
    EXPECT_EQ(draws, 2);

    node->set_visual(SmartPtr<IVisual>(new CountingVisual(draws)));
    EXPECT_EQ(first.use_count(), 2);
    node->set_visual(SmartPtr<IVisual>());
    node->draw();
    EXPECT_EQ(draws, 2);
}

// Records the order in which a walk meets nodes; it handles groups (2, 3)
// through the base and leaves (5) by recording.
class RecordingTraverser : public Traverser {
public:
    RecordingTraverser() { install_handler<RecordingTraverser, Node, &RecordingTraverser::record>(NODE_ID_COLLISION_EDGES); }
    void run(const SmartPtr<Node>& root) { apply(root); }
    bool registered(unsigned int id) const { return handler_function_registered(id); }
    std::vector<const Node*> seen;

protected:
    void handle_group(GroupNode* group) override {
        seen.push_back(group);
        Traverser::handle_group(group);
    }

private:
    void record(Node* node) { seen.push_back(node); }
};

TEST(TraverserTest, WalksDepthFirstSkippingNullChildrenAndNodesWithoutHandler) {
    SmartPtr<GroupNode> root = GroupNode::create();
    SmartPtr<BoxedGroupNode> cell = BoxedGroupNode::create();
    SmartPtr<Node> leaf1 = CollisionEdgesNode::create();
    SmartPtr<Node> leaf2 = CollisionEdgesNode::create();
    SmartPtr<GroupNode> hidden = GroupNode::create();  // below a transform node: never reached
    root->add_child(SmartPtr<Node>());
    root->add_child(cell);
    cell->add_child(leaf1);
    cell->add_child(SmartPtr<Node>());
    root->add_child(TransformNode::create());
    root->add_child(leaf2);

    RecordingTraverser t;
    t.run(root);
    const std::vector<const Node*> expected = {root.get(), cell.get(), leaf1.get(), leaf2.get()};
    EXPECT_EQ(t.seen, expected);

    t.seen.clear();
    t.run(SmartPtr<Node>());
    EXPECT_TRUE(t.seen.empty());

    for (unsigned int id : {2u, 3u, 5u}) EXPECT_TRUE(t.registered(id)) << id;
    for (unsigned int id : {0u, 1u, 4u, 6u, 7u, 8u, 9u, 10u, 1000u}) EXPECT_FALSE(t.registered(id)) << id;
}

}  // namespace
}  // namespace vo

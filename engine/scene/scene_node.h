#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"

namespace vo {

// Node ids: every node carries the id of its class, and traversers pick
// their handler by it. 0 and 1 are not used.
enum NodeId : unsigned int {
    NODE_ID_GROUP = 2,
    NODE_ID_BOXED_GROUP = 3,
    NODE_ID_COLLISION_TREE_ROOT = 4,
    NODE_ID_COLLISION_EDGES = 5,
    NODE_ID_COLLISION_TRIANGLES = 6,
    NODE_ID_TRANSFORM = 7,
    NODE_ID_VISUAL = 8,
};

// Base of the scene-graph and collision-tree nodes. Nodes only hold data;
// traversers walk them. Nodes are made by the static create() of their class
// and held in SmartPtr handles.
//
// Revisions: every node carries a number drawn from one process-wide
// counter when it is made and drawn anew by every operation that changes
// what it holds: a group's add_child, remove_child (when it removes) and
// clear, a boxed group's set_box, a collision tree root's add_points and
// clear_points, and the collision leaves' adding and clearing of elements
// and setting of ids. No two changes anywhere share a number, so a copy of the newest
// revision found in a tree tells whether anything in it has changed since:
// replacing a group's child changes the group's revision, and a tree built
// anew brings nodes with revisions newer than any before. Subclasses that
// change their content in other ways call mark_changed() themselves.
class Node {
public:
    virtual ~Node();

    unsigned int get_node_id() const { return node_id_; }

    std::uint64_t revision() const { return revision_; }
    // The newest revision handed out to any node so far.
    static std::uint64_t latest_revision();

protected:
    explicit Node(unsigned int node_id);

    // Draws a new revision for this node.
    void mark_changed();

private:
    unsigned int node_id_;
    std::uint64_t revision_;
};

// The children of a group: the first four in place (an octree cell of a flat
// tree has exactly four), the rest in a growable array.
class NodeChildList {
public:
    int size() const { return size_; }
    const SmartPtr<Node>& operator[](int i) const {
        return i < INLINE ? inline_[i] : more_[static_cast<size_t>(i - INLINE)];
    }
    void push_back(SmartPtr<Node> node);
    void erase(int i);
    void clear();

private:
    static constexpr int INLINE = 4;
    SmartPtr<Node>& at(int i) { return i < INLINE ? inline_[i] : more_[static_cast<size_t>(i - INLINE)]; }

    SmartPtr<Node> inline_[INLINE];
    std::vector<SmartPtr<Node>> more_;
    int size_ = 0;
};

// An ordered list of children. A group owns its children only through the
// handles it keeps, so one node may sit under several groups. A null child
// is kept (it counts in num_children) and skipped by every traverser.
class GroupNode : public Node {
public:
    static SmartPtr<GroupNode> create();
    ~GroupNode() override;

    virtual void clear();
    virtual void add_child(SmartPtr<Node> child);
    // Removes the first child that is the same object; strangers are ignored.
    virtual void remove_child(SmartPtr<Node> child);
    virtual int num_children() const;
    // 0 <= index < num_children().
    virtual SmartPtr<Node> get_child(int index) const;

protected:
    GroupNode() : GroupNode(NODE_ID_GROUP) {}
    explicit GroupNode(unsigned int node_id) : Node(node_id) {}

private:
    NodeChildList children_;
};

// A group with an axis-aligned box around everything below it (a cell of a
// collision tree). The box is stored as given; create() makes it a point at
// the origin and the creator sets it before the node is read.
class BoxedGroupNode : public GroupNode {
public:
    static SmartPtr<BoxedGroupNode> create();
    ~BoxedGroupNode() override;

    virtual void set_box(const vector3& min, const vector3& max);
    virtual const vector3& min_corner() const;
    virtual const vector3& max_corner() const;

protected:
    BoxedGroupNode() : BoxedGroupNode(NODE_ID_BOXED_GROUP) {}
    explicit BoxedGroupNode(unsigned int node_id) : GroupNode(node_id) {}

private:
    vector3 min_{0.0f, 0.0f, 0.0f};
    vector3 max_{0.0f, 0.0f, 0.0f};
};

}  // namespace vo

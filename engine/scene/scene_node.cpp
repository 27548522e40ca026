#include "engine/scene/scene_node.h"

namespace vo {

Node::~Node() = default;

SmartPtr<GroupNode> GroupNode::create() { return SmartPtr<GroupNode>(new GroupNode()); }

GroupNode::~GroupNode() = default;

void GroupNode::clear() { children_.clear(); }

void GroupNode::add_child(SmartPtr<Node> child) {
    // Octree cells get four or eight children: start with room for four.
    if (children_.capacity() == 0) children_.reserve(4);
    children_.push_back(std::move(child));
}

void GroupNode::remove_child(SmartPtr<Node> child) {
    for (auto it = children_.begin(); it != children_.end(); ++it) {
        if (it->get() == child.get()) {
            children_.erase(it);
            return;
        }
    }
}

int GroupNode::num_children() const { return static_cast<int>(children_.size()); }

SmartPtr<Node> GroupNode::get_child(int index) const { return children_[static_cast<size_t>(index)]; }

SmartPtr<BoxedGroupNode> BoxedGroupNode::create() { return SmartPtr<BoxedGroupNode>(new BoxedGroupNode()); }

BoxedGroupNode::~BoxedGroupNode() = default;

void BoxedGroupNode::set_box(const vector3& min, const vector3& max) {
    min_ = min;
    max_ = max;
}

const vector3& BoxedGroupNode::min_corner() const { return min_; }

const vector3& BoxedGroupNode::max_corner() const { return max_; }

}  // namespace vo

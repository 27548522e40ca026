#include "engine/scene/scene_node.h"

#include <atomic>

namespace vo {

namespace {

std::atomic<std::uint64_t> g_latest_revision{0};

std::uint64_t NextRevision() { return g_latest_revision.fetch_add(1, std::memory_order_relaxed) + 1; }

}  // namespace

Node::Node(unsigned int node_id) : node_id_(node_id), revision_(NextRevision()) {}

Node::~Node() = default;

std::uint64_t Node::latest_revision() { return g_latest_revision.load(std::memory_order_relaxed); }

void Node::mark_changed() { revision_ = NextRevision(); }

void NodeChildList::push_back(SmartPtr<Node> node) {
    if (size_ < INLINE) {
        inline_[size_] = std::move(node);
    } else {
        more_.push_back(std::move(node));
    }
    ++size_;
}

void NodeChildList::erase(int i) {
    for (int k = i; k + 1 < size_; ++k) at(k) = std::move(at(k + 1));
    if (size_ > INLINE)
        more_.pop_back();
    else
        inline_[size_ - 1].reset();
    --size_;
}

void NodeChildList::clear() {
    // Release in order, first to last.
    for (int k = 0; k < size_ && k < INLINE; ++k) inline_[k].reset();
    more_.clear();
    size_ = 0;
}

SmartPtr<GroupNode> GroupNode::create() { return SmartPtr<GroupNode>(new GroupNode()); }

GroupNode::~GroupNode() = default;

void GroupNode::clear() {
    children_.clear();
    mark_changed();
}

void GroupNode::add_child(SmartPtr<Node> child) {
    children_.push_back(std::move(child));
    mark_changed();
}

void GroupNode::remove_child(SmartPtr<Node> child) {
    for (int i = 0; i < children_.size(); ++i) {
        if (children_[i].get() == child.get()) {
            children_.erase(i);
            mark_changed();
            return;
        }
    }
}

int GroupNode::num_children() const { return children_.size(); }

SmartPtr<Node> GroupNode::get_child(int index) const { return children_[index]; }

SmartPtr<BoxedGroupNode> BoxedGroupNode::create() { return SmartPtr<BoxedGroupNode>(new BoxedGroupNode()); }

BoxedGroupNode::~BoxedGroupNode() = default;

void BoxedGroupNode::set_box(const vector3& min, const vector3& max) {
    min_ = min;
    max_ = max;
    mark_changed();
}

const vector3& BoxedGroupNode::min_corner() const { return min_; }

const vector3& BoxedGroupNode::max_corner() const { return max_; }

}  // namespace vo

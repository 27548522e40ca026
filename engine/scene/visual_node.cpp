#include "engine/scene/visual_node.h"

#include "engine/visuals/visual.h"

namespace vo {

VisualNode::VisualNode() : Node(NODE_ID_VISUAL) {}

VisualNode::VisualNode(const VisualNode& other) = default;

VisualNode& VisualNode::operator=(const VisualNode& other) = default;

VisualNode::~VisualNode() = default;

SmartPtr<VisualNode> VisualNode::create() { return SmartPtr<VisualNode>(new VisualNode()); }

void VisualNode::set_visual(SmartPtr<IVisual> visual) { visual_ = std::move(visual); }

SmartPtr<IVisual> VisualNode::get_visual() { return visual_; }

void VisualNode::draw() {
    if (visual_) visual_->draw();
}

}  // namespace vo

#include "engine/scene/transform_node.h"

namespace vo {

SmartPtr<TransformNode> TransformNode::create() { return SmartPtr<TransformNode>(new TransformNode()); }

TransformNode::~TransformNode() = default;

void TransformNode::set_transform(const MathMatrix<4, 4, float>& m) { transform_ = m; }

const MathMatrix<4, 4, float>& TransformNode::transform() const { return transform_; }

}  // namespace vo

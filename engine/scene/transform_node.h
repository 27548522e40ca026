#pragma once

#include "engine/core/math_matrix.h"
#include "engine/core/smart_ptr.h"
#include "engine/scene/scene_node.h"

namespace vo {

// A 4x4 transformation that the renderer multiplies into the model-view
// matrix for the siblings after it. create() sets the identity.
class TransformNode : public Node {
public:
    static SmartPtr<TransformNode> create();
    ~TransformNode() override;

    virtual void set_transform(const MathMatrix<4, 4, float>& m);
    virtual const MathMatrix<4, 4, float>& transform() const;

protected:
    TransformNode() : Node(NODE_ID_TRANSFORM), transform_(MathMatrix<4, 4, float>::identity()) {}

private:
    MathMatrix<4, 4, float> transform_;
};

}  // namespace vo

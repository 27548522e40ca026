#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/scene/behavior.h"

namespace vo {

class GroupNode;
class IVisual;
class TransformNode;
class VisualNode;

namespace behaviors {

class Transform;

// Hangs a small scene-graph branch into the entity's scene: a group holding a
// transform node that carries the entity's Transform matrix and a visual
// node that draws an IVisual. The entity must carry a Transform, added before
// this behavior so that the matrix drawn is the one of the current step.
class Visual : public IBehavior {
public:
    Visual();
    ~Visual() override;

    // A new Visual with nodes of its own, drawing the same IVisual.
    IBehavior* clone() const override;
    // Adds the group to the entity's scene. Throws Error when the entity has
    // no Transform.
    void initialize(Entity* entity) override;
    // Copies the Transform's current matrix into the transform node.
    void update(float dt) override;
    // Removes the group from the entity's scene (nothing when it has none).
    void finalize(Entity* entity) override;

    void set_visual(SmartPtr<IVisual> visual);
    SmartPtr<IVisual> get_visual() const;

private:
    Transform* transform_ = nullptr;
    SmartPtr<VisualNode> visual_node_;
    SmartPtr<GroupNode> group_;
    SmartPtr<TransformNode> transform_node_;
};

}  // namespace behaviors
}  // namespace vo

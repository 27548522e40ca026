#include "engine/scene/visual_behavior.h"

#include "engine/core/error.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/transform_behavior.h"
#include "engine/scene/transform_node.h"
#include "engine/scene/visual_node.h"
#include "engine/visuals/visual.h"

namespace vo {
namespace behaviors {

Visual::Visual()
    : visual_node_(VisualNode::create()), group_(GroupNode::create()), transform_node_(TransformNode::create()) {
    group_->add_child(transform_node_);
    group_->add_child(visual_node_);
}

Visual::~Visual() = default;

IBehavior* Visual::clone() const {
    Visual* copy = new Visual();
    copy->set_visual(get_visual());
    return copy;
}

void Visual::initialize(Entity* entity) {
    Transform* transform = entity->get_behavior<Transform>();
    if (!transform) throw Error("Visual: entity has no transform behavior!");
    IScene* scene = entity->get_scene();
    if (!scene) throw Error("Visual: entity is in no scene!");
    transform_ = transform;
    scene->add_visual(group_, entity, IScene::VISUAL_TYPE_DEFAULT);
    transform_node_->set_transform(transform_->transformation_matrix());
}

void Visual::update(float) {
    if (transform_) transform_node_->set_transform(transform_->transformation_matrix());
}

void Visual::finalize(Entity* entity) {
    IScene* scene = entity ? entity->get_scene() : nullptr;
    if (scene) scene->remove_visual(group_, entity);
    transform_ = nullptr;
}

void Visual::set_visual(SmartPtr<IVisual> visual) { visual_node_->set_visual(visual); }

SmartPtr<IVisual> Visual::get_visual() const { return visual_node_->get_visual(); }

}  // namespace behaviors
}  // namespace vo

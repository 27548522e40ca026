#include "game/behaviors/aim.h"

#include "engine/core/error.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene.h"
#include "engine/scene/transform_behavior.h"
#include "engine/scene/visual_node.h"
#include "engine/visuals/sprite.h"

#include <cmath>

namespace vo {
namespace behaviors {

Aim::Aim() : sprite_(new Sprite()), node_(VisualNode::create()) {
    node_->set_visual(sprite_);
    update_aim_vector();
}

Aim::~Aim() = default;

IBehavior* Aim::clone() const {
    Aim* copy = new Aim();
    *copy->sprite_ = *sprite_;
    copy->power_ = power_;
    copy->angle_ = angle_;
    copy->update_aim_vector();
    return copy;
}

void Aim::initialize(Entity* entity) {
    transform_ = entity->get_behavior<Transform>();
    if (!transform_) throw Error("A transform-behavior has to be attached to an entity with ans aim-behavior.");
    if (IScene* scene = entity->get_scene()) scene->add_visual(node_, entity, IScene::VISUAL_TYPE_DEFAULT);
}

void Aim::update(float) {
    if (!transform_) return;
    vector3 tip = transform_->position();
    tip += aim_vector_;
    sprite_->set_position(tip);
    sprite_->set_rotation(angle_);
}

void Aim::finalize(Entity* entity) {
    if (IScene* scene = entity->get_scene()) scene->remove_visual(node_, entity);
}

void Aim::set_angle(float degrees) {
    angle_ = degrees;
    update_aim_vector();
}

void Aim::set_power(float power) {
    power_ = power;
    update_aim_vector();
}

vector3 Aim::direction() const {
    const vector3& v = aim_vector_;
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0f)) return v;
    return vector3(v.x / length, v.y / length, v.z / length);
}

void Aim::update_aim_vector() {
    const float r = angle_ * 3.1415927f / 180.0f;
    aim_vector_ = vector3(power_ * std::sin(r), power_ * std::cos(r), 0.0f);
}

}  // namespace behaviors
}  // namespace vo

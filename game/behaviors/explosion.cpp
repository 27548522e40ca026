#include "game/behaviors/explosion.h"

#include "engine/core/crc32.h"
#include "engine/core/error.h"
#include "engine/core/resources.h"
#include "engine/scene/scene.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/transform_behavior.h"
#include "engine/scene/visual_node.h"
#include "engine/visuals/sprite.h"

namespace vo {
namespace behaviors {

Explosion::Explosion() = default;

Explosion::~Explosion() {
    // Entities finalize their behaviors, so the effect is normally gone by
    // now; a behavior deleted on its own still gives it back.
    try {
        free_effect();
    } catch (const Error&) {
        // The back end no longer knows the effect: nothing is left to free.
    }
}

IBehavior* Explosion::clone() const { return new Explosion(); }

void Explosion::initialize(Entity* entity) {
    entity_ = entity;
    transform_ = entity->get_behavior<Transform>();
    if (!transform_) throw Error("An explosion behavior needs a transform behavior on its entity.");

    free_effect();
    node_ = GroupNode::create();
    Image image;
    image.set_texture(GetTexture(damage_ >= 0.0f ? "explosion_circle_col.png" : "explosion_heal_col.png"));
    image.set_dissolve_texture(GetTexture("explosion_circle_dissolve.png"));
    const float r = 1.25f * radius_;
    image.dest_frame = Frame(-r, -r, r, r);
    // The sprite's image is the one copy of the effect handle that is drawn
    // and freed.
    sprite_ = SmartPtr<Sprite>(new Sprite());
    sprite_->set_image(image);
    SmartPtr<VisualNode> visual = VisualNode::create();
    visual->set_visual(sprite_);
    node_->add_child(visual);

    threshold_.reset();
    threshold_.add_key(1.0f, 0.0);
    threshold_.add_key(0.25f, 0.25);
    threshold_.add_key(0.0f, 0.25);
    threshold_.add_key(-0.25f, 0.5);
    interval_.reset();
    interval_.add_key(0.5f, 0.0);
    interval_.add_key(0.1f, 1.0);

    if (IScene* scene = entity->get_scene()) scene->add_visual(node_, entity, IScene::VISUAL_TYPE_DEFAULT);
}

void Explosion::update(float dt) {
    if (!sprite_ || !transform_) return;
    for (StackedAnimation<float>* animation : {&threshold_, &interval_}) {
        if (animation->time < animation->duration()) {
            animation->evaluate(animation->value, animation->time);
            animation->time += static_cast<double>(dt);
        }
    }
    sprite_->set_position(transform_->position());
    sprite_->image().set_dissolve_parameters(threshold_.value, 0.1f, interval_.value);
    if (!(threshold_.duration() > threshold_.time) && entity_) entity_->kill_entity();
}

void Explosion::finalize(Entity* entity) {
    if (node_) {
        if (IScene* scene = entity->get_scene()) scene->remove_visual(node_, entity);
    }
    free_effect();
}

void Explosion::free_effect() {
    // Taking the mask away frees the effect and leaves the handle invalid,
    // so a second call finds nothing to free.
    if (sprite_ && sprite_->image().effect.valid) sprite_->image().set_dissolve_texture(SmartPtr<Texture>());
}

bool Explosion::bounding_box(AABox& box) const {
    const vector3 p = transform_ ? transform_->position() : vector3();
    box = AABox(vector3(p.x - radius_, p.y - radius_, p.z - radius_),
                vector3(p.x + radius_, p.y + radius_, p.z + radius_));
    return true;
}

}  // namespace behaviors

const char* ExplosionEntity::TYPE_NAME() { return "ExplosionEntity"; }

unsigned int ExplosionEntity::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

ExplosionEntity::ExplosionEntity() = default;

ExplosionEntity::~ExplosionEntity() = default;

const char* ExplosionEntity::object_type_name() const { return TYPE_NAME(); }

unsigned int ExplosionEntity::object_type_id() const { return TYPE_ID(); }

}  // namespace vo

#pragma once

// The visible part of an explosion: a circle that dissolves from the middle
// outward over one second, after which the explosion entity removes itself.

#include "engine/core/smart_ptr.h"
#include "engine/scene/behavior.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene_node.h"
#include "engine/visuals/sprite.h"
#include "game/behaviors/stacked_animation.h"

namespace vo {

namespace behaviors {

class Transform;

class Explosion : public IBehavior {
public:
    // Radius 10, damage 0.
    Explosion();
    ~Explosion() override;

    // A new explosion behavior with radius 10 and damage 0: nothing is copied.
    IBehavior* clone() const override;
    // Needs the entity's transform (throws Error without one). Builds the
    // circle, the ordinary or (for negative damage) the healing one, with
    // its dissolve effect, and shows it in the entity's scene.
    void initialize(Entity* entity) override;
    // Advances the dissolve, places the circle on the entity and flags the
    // entity for removal once the dissolve has run its course.
    void update(float dt) override;
    // Takes the circle out of the scene and frees its dissolve effect.
    void finalize(Entity* entity) override;
    // Position +- radius on every axis.
    bool bounding_box(AABox& box) const override;

    void set_parameters(float radius, float damage) {
        radius_ = radius;
        damage_ = damage;
    }
    float radius() const { return radius_; }
    float damage() const { return damage_; }

    // The circle (null before initialize).
    SmartPtr<Sprite> sprite() const { return sprite_; }
    SmartPtr<GroupNode> node() const { return node_; }
    const StackedAnimation<float>& threshold_animation() const { return threshold_; }
    const StackedAnimation<float>& interval_animation() const { return interval_; }

private:
    void free_effect();

    Entity* entity_ = nullptr;
    SmartPtr<GroupNode> node_;
    Transform* transform_ = nullptr;
    SmartPtr<Sprite> sprite_;
    float radius_ = 10.0f;
    float damage_ = 0.0f;
    StackedAnimation<float> threshold_;
    StackedAnimation<float> interval_;
};

}  // namespace behaviors

// The short-lived entity of an explosion: a transform, the explosion's circle
// and a rest behavior kept awake, so that nothing counts as resting while an
// explosion is still to be seen. Made only by LevelScene::create_explosion.
class ExplosionEntity : public Entity {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    ExplosionEntity();
    ~ExplosionEntity() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;
};

}  // namespace vo

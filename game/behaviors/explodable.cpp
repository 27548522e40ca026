#include "game/behaviors/explodable.h"

#include "engine/core/error.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/soft_body.h"
#include "game/level/level_scene.h"

namespace vo {
namespace behaviors {

Explodable::Explodable() : trigger_(new Trigger()) {}

Explodable::~Explodable() = default;

IBehavior* Explodable::clone() const { return new Explodable(); }

void Explodable::initialize(Entity* entity) {
    entity_ = entity;
    if (SoftBody* soft_body = entity->get_behavior<SoftBody>()) body_ = soft_body->soft_body();
}

void Explodable::update(float) {
    // A flagged grenade has exploded already (or was taken away): it waits
    // for its removal and never explodes again.
    if (entity_ && entity_->was_killed()) return;
    if (trigger_ && trigger_->fired) {
        explode();
    } else if (has_cluster_ && body_) {
        velocity_ = body_->get_velocity();
    }
}

void Explodable::set_cluster_desc(const ptree& desc) {
    cluster_desc_ = desc;
    has_cluster_ = desc.get<int>("num", 0) > 0;
}

void Explodable::explode() {
    LevelScene* scene = entity_ ? dynamic_cast<LevelScene*>(entity_->get_scene()) : nullptr;
    if (!scene) throw Error("The scene in the associated entity has to be a LevelScene!");
    vector3 position;
    if (!entity_->get_behavior<Transform>() || !GetPosition(entity_, position)) {
        throw Error("Explodable entities have to feature a transform behavior!");
    }
    ClusterDesc cluster;
    if (has_cluster_) {
        cluster.description = cluster_desc_;
        cluster.position = position;
        cluster.velocity = velocity_;
    }
    scene->create_explosion(position, explosion_desc_, cluster);
    entity_->kill_entity();
}

}  // namespace behaviors
}  // namespace vo

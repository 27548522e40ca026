#include "game/behaviors/soft_body_entities.h"

#include "engine/core/crc32.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/health.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/aim.h"
#include "game/behaviors/explodable.h"
#include "game/behaviors/rest.h"
#include "game/behaviors/soft_body.h"
#include "game/behaviors/soft_body_collision_trigger.h"
#include "game/behaviors/trigger.h"

namespace vo {

// SoftBodyEntity

const char* SoftBodyEntity::TYPE_NAME() { return "SoftBodyEntity"; }

unsigned int SoftBodyEntity::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

SoftBodyEntity::SoftBodyEntity() { add_behaviors(SmartPtr<SoftBody>(new SoftBody())); }

SoftBodyEntity::~SoftBodyEntity() = default;

const char* SoftBodyEntity::object_type_name() const { return TYPE_NAME(); }

unsigned int SoftBodyEntity::object_type_id() const { return TYPE_ID(); }

void SoftBodyEntity::add_behaviors(SmartPtr<SoftBody> body) {
    add_behavior<behaviors::Transform>("transform");
    soft_body_ = add_behavior<behaviors::SoftBody>("softBody");
    soft_body_->set_soft_body(body);
    rest_ = add_behavior<behaviors::Rest>("rest");
}

void SoftBodyEntity::set_soft_body(SmartPtr<SoftBody> body) { soft_body_->set_soft_body(body); }

void SoftBodyEntity::set_texture(SmartPtr<Texture> texture) { soft_body_->set_texture(texture); }

SmartPtr<SoftBody> SoftBodyEntity::soft_body() const { return soft_body_->soft_body(); }

// SlobEntity

const char* SlobEntity::TYPE_NAME() { return "SlobEntity"; }

unsigned int SlobEntity::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

SlobEntity::SlobEntity() {
    aim_ = add_behavior<behaviors::Aim>("aim");
    health_ = add_behavior<behaviors::Health>("health");
}

SlobEntity::~SlobEntity() = default;

const char* SlobEntity::object_type_name() const { return TYPE_NAME(); }

unsigned int SlobEntity::object_type_id() const { return TYPE_ID(); }

// GrenadeEntity

const char* GrenadeEntity::TYPE_NAME() { return "GrenadeEntity"; }

unsigned int GrenadeEntity::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

GrenadeEntity::GrenadeEntity(double timer, bool ground_triggered, bool slob_triggered) {
    setup_triggers(timer, ground_triggered, slob_triggered);
}

GrenadeEntity::~GrenadeEntity() = default;

const char* GrenadeEntity::object_type_name() const { return TYPE_NAME(); }

unsigned int GrenadeEntity::object_type_id() const { return TYPE_ID(); }

void GrenadeEntity::setup_triggers(double timer, bool ground_triggered, bool slob_triggered) {
    SmartPtr<Trigger> trigger(new Trigger());
    if (timer > 0.0) {
        behaviors::TimedTrigger* timed = add_behavior<behaviors::TimedTrigger>("timedTrigger");
        timed->timer = timer;
        timed->time = 0.0;
        timed->set_trigger(trigger);
    } else {
        behaviors::SoftBodyCollisionTrigger* contact =
            add_behavior<behaviors::SoftBodyCollisionTrigger>("collisionTrigger");
        contact->set_trigger(trigger);
        contact->set_flags(ground_triggered, slob_triggered);
    }
    explodable_ = add_behavior<behaviors::Explodable>("explodable");
    explodable_->set_trigger(trigger);
}

}  // namespace vo

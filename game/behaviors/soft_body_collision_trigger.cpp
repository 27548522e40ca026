#include "game/behaviors/soft_body_collision_trigger.h"

#include "engine/core/error.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "game/behaviors/soft_body.h"

namespace vo {
namespace behaviors {

SoftBodyCollisionTrigger::SoftBodyCollisionTrigger() : trigger_(new Trigger()) {}

SoftBodyCollisionTrigger::~SoftBodyCollisionTrigger() = default;

IBehavior* SoftBodyCollisionTrigger::clone() const { return new SoftBodyCollisionTrigger(); }

void SoftBodyCollisionTrigger::initialize(Entity* entity) {
    soft_body_ = entity->get_behavior<SoftBody>();
    if (!soft_body_) throw Error("A soft-body behavior has to exist in the given entity");
}

void SoftBodyCollisionTrigger::update(float) {
    if (!soft_body_ || !trigger_) return;
    const SmartPtr<vo::SoftBody> body = soft_body_->soft_body();
    if (!body) return;
    if ((ground_triggered_ && body->touches_ground()) || (slob_triggered_ && body->touches_body())) trigger_->fire();
}

}  // namespace behaviors
}  // namespace vo

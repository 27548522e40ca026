#include "game/behaviors/rest.h"

#include "engine/scene/entity.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/trigger.h"

namespace vo {
namespace behaviors {

Rest::Rest() = default;

Rest::~Rest() = default;

IBehavior* Rest::clone() const { return new Rest(); }

void Rest::initialize(Entity* entity) {
    timed_trigger_ = entity->get_behavior<TimedTrigger>();
    transform_ = entity->get_behavior<Transform>();
    if (transform_) last_position_ = transform_->position();
    time_ = 0.0;
}

void Rest::update(float dt) {
    if (!transform_) return;
    time_ += dt;
    const vector3& p = transform_->position();
    const float dx = p.x - last_position_.x;
    const float dy = p.y - last_position_.y;
    const float dz = p.z - last_position_.z;
    if (dx * dx + dy * dy + dz * dz > radius * radius) {
        last_position_ = p;
        time_ = 0.0;
    }
}

bool Rest::is_resting() const {
    if (keep_awake) return false;
    if (timed_trigger_) return timed_trigger_->time >= timed_trigger_->timer;
    if (!transform_) return rest_without_transform;
    return time_ > duration;
}

}  // namespace behaviors
}  // namespace vo

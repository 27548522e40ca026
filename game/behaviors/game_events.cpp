#include "game/behaviors/game_events.h"

namespace vo {

namespace {

// 2 (1 - x) held within 0 .. 1; a NaN (a radius of 0 at the centre) gives 0.
float Falloff(float x) {
    const float f = 2.0f * (1.0f - x);
    if (f > 1.0f) return 1.0f;
    if (f > 0.0f) return f;
    return 0.0f;
}

}  // namespace

ExplosionEvent::ExplosionEvent(const vector3& position_, float radius_, float damage_, float force_)
    : ExplosionEvent(EVENT_NAME(), position_, radius_, damage_, force_) {}

ExplosionEvent::ExplosionEvent(const char* name, const vector3& position_, float radius_, float damage_,
                               float force_)
    : GameEvent(name), position(position_), radius(radius_), damage(damage_), force(force_) {}

ExplosionEvent::~ExplosionEvent() = default;

float ExplosionEvent::damage_at(float distance) const { return damage * Falloff(distance / radius); }

float ExplosionEvent::force_at(float distance) const { return force * Falloff(distance / (1.5f * radius)); }

ExplosionPeakEvent::ExplosionPeakEvent(const vector3& position_, float radius_, float damage_, float force_)
    : ExplosionEvent(EVENT_NAME(), position_, radius_, damage_, force_) {}

ExplosionPeakEvent::~ExplosionPeakEvent() = default;

ClusterEvent::ClusterEvent(const ClusterDesc& desc_) : GameEvent(EVENT_NAME()), desc(desc_) {}

ClusterEvent::~ClusterEvent() = default;

HealthEvent::HealthEvent(float amount_) : GameEvent(EVENT_NAME()), amount(amount_) {}

HealthEvent::~HealthEvent() = default;

ItemEvent::ItemEvent(Entity* item_, Entity* other_) : GameEvent(EVENT_NAME()), item(item_), other(other_) {}

ItemEvent::~ItemEvent() = default;

}  // namespace vo

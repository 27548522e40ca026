#include "game/behaviors/kill_self.h"

#include "engine/scene/entity.h"

namespace vo {
namespace behaviors {

KillSelf::KillSelf() = default;

KillSelf::~KillSelf() = default;

IBehavior* KillSelf::clone() const { return new KillSelf(); }

void KillSelf::initialize(Entity* entity) { entity_ = entity; }

void KillSelf::update(float dt) {
    if (!(timer >= 0.0)) return;
    timer -= dt;
    if (timer < 0.0 && entity_) entity_->kill_entity();
}

}  // namespace behaviors
}  // namespace vo

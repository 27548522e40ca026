#include "game/match/match_entities.h"

#include "engine/scene/health.h"
#include "engine/scene/visual_node.h"
#include "game/behaviors/aim.h"
#include "game/behaviors/soft_body_entities.h"

namespace vo {

SoftBody* BodyOf(Entity* entity) {
    auto* body_entity = dynamic_cast<SoftBodyEntity*>(entity);
    return body_entity ? body_entity->soft_body().get() : nullptr;
}

behaviors::Health* HealthOf(Entity* entity) {
    return entity ? entity->get_behavior<behaviors::Health>() : nullptr;
}

behaviors::Aim* AimOf(Entity* entity) { return entity ? entity->get_behavior<behaviors::Aim>() : nullptr; }

}  // namespace vo

#include "engine/scene/health.h"

#include "engine/scene/entity.h"

namespace vo {

// Only the lookup and the field are used here: the operations of
// behaviors::Health live in the game program.
bool DecreaseHealth(Entity* entity, float amount) {
    if (!entity) return false;
    behaviors::Health* health = entity->get_behavior<behaviors::Health>(nullptr);
    if (!health) return false;
    health->value -= amount;
    return true;
}

}  // namespace vo

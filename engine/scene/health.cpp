#include "engine/scene/health.h"

#include "engine/scene/entity.h"

namespace vo {

// Only the lookup and the field are used here: the operations of
// behaviors::Health, and with them its run-time type information, live in the
// game program. The sanitizer's dynamic-type check of the cast and the field
// access would need that information inside this library, so it is left out;
// the key lookup has already made sure of the exact class.
__attribute__((no_sanitize("vptr"))) bool DecreaseHealth(Entity* entity, float amount) {
    if (!entity) return false;
    IBehavior* found = entity->get_behavior_by_key(TypeKey<behaviors::Health>(), nullptr);
    if (!found) return false;
    behaviors::Health* health = static_cast<behaviors::Health*>(found);
    health->value -= amount;
    return true;
}

}  // namespace vo

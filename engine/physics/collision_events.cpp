#include "engine/physics/collision_events.h"

namespace vo {

EntityWorldCollisionEvent::EntityWorldCollisionEvent(Entity* entity_, const vector3& velocity_,
                                                     const vector3& normal_)
    : GameEvent(EVENT_NAME()), entity(entity_), velocity(velocity_), normal(normal_) {}

EntityWorldCollisionEvent::~EntityWorldCollisionEvent() = default;

EntityEntityCollisionEvent::EntityEntityCollisionEvent(Entity* entity1_, const vector3& velocity1_,
                                                       const vector3& center1_, Entity* entity2_,
                                                       const vector3& velocity2_, const vector3& center2_)
    : GameEvent(EVENT_NAME()),
      entity1(entity1_),
      velocity1(velocity1_),
      center1(center1_),
      entity2(entity2_),
      velocity2(velocity2_),
      center2(center2_) {}

EntityEntityCollisionEvent::~EntityEntityCollisionEvent() = default;

}  // namespace vo

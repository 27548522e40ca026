#pragma once

// What the match reads and steers of the scene's bodies, in one place.

namespace vo {

class Entity;
class SoftBody;

namespace behaviors {
class Aim;
class Health;
}  // namespace behaviors

// The physics body of a soft-body entity (slob, grenade, mine, item body);
// null for any other entity.
SoftBody* BodyOf(Entity* entity);
// The entity's health behavior, or null.
behaviors::Health* HealthOf(Entity* entity);
// The entity's aim behavior, or null.
behaviors::Aim* AimOf(Entity* entity);

}  // namespace vo

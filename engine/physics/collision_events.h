#pragma once

#include "engine/core/vector.h"
#include "engine/scene/game_event.h"

namespace vo {

class Entity;

// Sent by the physics step, synchronously, to the entity whose soft body
// touched the level in that step. Built on the stack: receivers must not keep
// it.
class EntityWorldCollisionEvent : public GameEvent {
public:
    static const char* EVENT_NAME() { return "entityWorldCollision"; }

    EntityWorldCollisionEvent(Entity* entity, const vector3& velocity, const vector3& normal);
    ~EntityWorldCollisionEvent() override;

    Entity* entity;    // the owner of the body
    vector3 velocity;  // the body's mean particle velocity before the step
    vector3 normal;    // unit sum of the normals of the level edges hit; z = 0
};

// Sent by the physics step, synchronously, to each of two entities whose soft
// bodies touched: two events per contact, each with its receiver first. Built
// on the stack: receivers must not keep it.
class EntityEntityCollisionEvent : public GameEvent {
public:
    static const char* EVENT_NAME() { return "entityEntityCollision"; }

    EntityEntityCollisionEvent(Entity* entity1, const vector3& velocity1, const vector3& center1, Entity* entity2,
                               const vector3& velocity2, const vector3& center2);
    ~EntityEntityCollisionEvent() override;

    Entity* entity1;    // the receiver
    vector3 velocity1;  // mean velocity of its points that crossed the contact plane, before the response
    vector3 center1;    // centre of its bounding sphere at the contact
    Entity* entity2;    // the other body's entity
    vector3 velocity2;
    vector3 center2;
};

}  // namespace vo

#pragma once

// The game's own events: explosions and the moment they cut the level,
// cluster releases, health changes and item contacts. Receivers tell the kind
// of an event by its type id (EventTypeId<T>()) and then cast it with
// GameEvent::cast<T>().

#include "engine/core/config.h"
#include "engine/core/crc32.h"
#include "engine/core/vector.h"
#include "engine/scene/game_event.h"

#include <boost/property_tree/ptree.hpp>

namespace vo {

class Entity;
class SoftBody;

// The type id of the event class T: crc32 of T::EVENT_NAME(), computed on the
// first call and kept. Works for the engine's collision events too.
template <class T>
unsigned int EventTypeId() {
    static const unsigned int id = crc32(T::EVENT_NAME());
    return id;
}

// An explosion: pushes and damages the bodies around its centre.
class ExplosionEvent : public GameEvent {
public:
    static const char* EVENT_NAME() { return "explosion"; }

    ExplosionEvent(const vector3& position, float radius, float damage, float force);
    ~ExplosionEvent() override;

    // The damage at distance from the centre: full within half the radius,
    // falling linearly to none at the radius.
    float damage_at(float distance) const;
    // The push at distance from the centre: full within 0.75 of the radius,
    // falling linearly to none at 1.5 times the radius.
    float force_at(float distance) const;

    vector3 position;
    float radius;
    float damage;  // at the centre
    float force;   // at the centre

protected:
    // For derived events of another name.
    ExplosionEvent(const char* name, const vector3& position, float radius, float damage, float force);
};

// The moment an explosion cuts the level; the same values as its "explosion".
// It casts to ExplosionEvent as well, so receivers of "explosion" must check
// the type id before they cast.
class ExplosionPeakEvent : public ExplosionEvent {
public:
    static const char* EVENT_NAME() { return "explosionPeak"; }

    ExplosionPeakEvent(const vector3& position, float radius, float damage, float force);
    ~ExplosionPeakEvent() override;
};

// What a cluster release needs. A description without a "num" above 0 stands
// for no cluster.
struct ClusterDesc {
    ptree description;      // the weapon's cluster description
    vector3 position;       // where the exploding body was
    vector3 velocity;       // the velocity of what releases the clusters
    SoftBody* ignored_body = nullptr;  // not owned; the clusters do not collide with it until apart
};

// An explosion that releases cluster grenades.
class ClusterEvent : public GameEvent {
public:
    static const char* EVENT_NAME() { return "cluster"; }

    explicit ClusterEvent(const ClusterDesc& desc);
    ~ClusterEvent() override;

    ClusterDesc desc;
};

// A change of a body's health, sent straight to the body's own entity.
class HealthEvent : public GameEvent {
public:
    static const char* EVENT_NAME() { return "health"; }

    explicit HealthEvent(float amount);
    ~HealthEvent() override;

    float amount;  // added to the health; negative for damage
};

// An item body was touched.
class ItemEvent : public GameEvent {
public:
    static const char* EVENT_NAME() { return "item"; }

    ItemEvent(Entity* item, Entity* other);
    ~ItemEvent() override;

    Entity* item;   // the item body's entity
    Entity* other;  // the entity that touched it
};

}  // namespace vo

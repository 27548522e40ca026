#pragma once

// The entities of every round body of a match: SoftBodyEntity (item bodies),
// SlobEntity (a player's creature) and GrenadeEntity (grenades, clusters and
// mines). Each is assembled from named behaviors in its constructor; the
// order is the order of update and of event delivery.

#include "engine/core/smart_ptr.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "engine/sfml/texture.h"

namespace vo {

namespace behaviors {
class Aim;
class Explodable;
class Health;
class Rest;
class SoftBody;
}  // namespace behaviors

// "transform", "softBody", "rest".
class SoftBodyEntity : public Entity {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    // With an empty body: its creator installs the real one with
    // set_soft_body before the entity joins a scene.
    SoftBodyEntity();
    ~SoftBodyEntity() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;

    // Forward to the soft-body behavior.
    void set_soft_body(SmartPtr<SoftBody> body);
    void set_texture(SmartPtr<Texture> texture);
    SmartPtr<SoftBody> soft_body() const;

    behaviors::SoftBody* soft_body_behavior() const { return soft_body_; }
    behaviors::Rest* rest_behavior() const { return rest_; }

protected:
    void add_behaviors(SmartPtr<SoftBody> body);

private:
    behaviors::SoftBody* soft_body_ = nullptr;
    behaviors::Rest* rest_ = nullptr;
};

// A SoftBodyEntity with "aim" and "health".
class SlobEntity : public SoftBodyEntity {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    SlobEntity();
    ~SlobEntity() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;

    behaviors::Aim* aim_behavior() const { return aim_; }
    behaviors::Health* health_behavior() const { return health_; }

private:
    behaviors::Aim* aim_ = nullptr;
    behaviors::Health* health_ = nullptr;
};

// A SoftBodyEntity with a trigger behavior and "explodable", which share one
// trigger: "timedTrigger" when the timer is above 0 (the contact flags are
// then ignored), otherwise "collisionTrigger" with the two contact flags.
// The trigger comes first, so the grenade explodes in the update in which
// its trigger fires.
class GrenadeEntity : public SoftBodyEntity {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    // The defaults are those of a grenade made by name through the object
    // factory: it goes off at its first contact with the level or a body.
    explicit GrenadeEntity(double timer = 0.0, bool ground_triggered = true, bool slob_triggered = true);
    ~GrenadeEntity() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;

    behaviors::Explodable* explodable_behavior() const { return explodable_; }

private:
    void setup_triggers(double timer, bool ground_triggered, bool slob_triggered);

    behaviors::Explodable* explodable_ = nullptr;
};

}  // namespace vo

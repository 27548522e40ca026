#pragma once

// Makes a grenade (or cluster, or mine) explode once its trigger has fired:
// asks the level scene for the explosion of its weapon and removes the
// grenade.

#include "engine/core/config.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/behavior.h"
#include "game/behaviors/trigger.h"

#include <boost/property_tree/ptree.hpp>

namespace vo {

namespace behaviors {

class Explodable : public IBehavior {
public:
    // An own, unfired trigger; no explosion type, no clusters.
    Explodable();
    ~Explodable() override;

    // A new explodable as constructed: nothing is copied.
    IBehavior* clone() const override;
    // Remembers the entity and its soft body, if it has one.
    void initialize(Entity* entity) override;
    // Explodes once the trigger has fired; until then, for a grenade with
    // clusters, remembers the body's velocity (so the clusters leave with the
    // velocity of the step before the explosion).
    void update(float dt) override;

    // The explosion type (a child of "explosionTypes"), copied.
    virtual void set_explosion_desc(const ptree& desc) { explosion_desc_ = desc; }
    // The weapon's cluster description, copied; it releases clusters when
    // its "num" is above 0.
    virtual void set_cluster_desc(const ptree& desc);
    // Creates the explosion at the entity's position through its LevelScene
    // (throws Error when the scene is none, or the entity has no position)
    // and flags the entity for removal.
    virtual void explode();

    // Replaces the held trigger.
    void set_trigger(SmartPtr<Trigger> trigger) { trigger_ = trigger; }
    const SmartPtr<Trigger>& trigger() const { return trigger_; }
    const ptree& explosion_desc() const { return explosion_desc_; }
    const ptree& cluster_desc() const { return cluster_desc_; }
    bool has_cluster() const { return has_cluster_; }
    // The velocity the clusters will leave with.
    const vector3& velocity() const { return velocity_; }

private:
    Entity* entity_ = nullptr;
    SmartPtr<Trigger> trigger_;
    ptree explosion_desc_;
    ptree cluster_desc_;
    SmartPtr<SoftBody> body_;
    vector3 velocity_;
    bool has_cluster_ = false;
};

}  // namespace behaviors
}  // namespace vo

#pragma once

// Fires a grenade's trigger when its body touches the level or another body.

#include "engine/core/smart_ptr.h"
#include "engine/scene/behavior.h"
#include "game/behaviors/trigger.h"

namespace vo {
namespace behaviors {

class SoftBody;

class SoftBodyCollisionTrigger : public IBehavior {
public:
    // An own, unfired trigger; both kinds of contact fire it.
    SoftBodyCollisionTrigger();
    ~SoftBodyCollisionTrigger() override;

    // A new collision trigger as constructed: nothing is copied.
    IBehavior* clone() const override;
    // Needs the entity's soft-body behavior (throws Error without one).
    void initialize(Entity* entity) override;
    // Fires on a contact of the last physics step: with the level when
    // ground triggered, with another body when slob triggered.
    void update(float dt) override;

    // Replaces the held trigger.
    void set_trigger(SmartPtr<Trigger> trigger) { trigger_ = trigger; }
    const SmartPtr<Trigger>& trigger() const { return trigger_; }

    void set_flags(bool ground_triggered, bool slob_triggered) {
        ground_triggered_ = ground_triggered;
        slob_triggered_ = slob_triggered;
    }
    bool ground_triggered() const { return ground_triggered_; }
    bool slob_triggered() const { return slob_triggered_; }

private:
    SoftBody* soft_body_ = nullptr;
    SmartPtr<Trigger> trigger_;
    bool ground_triggered_ = true;
    bool slob_triggered_ = true;
};

}  // namespace behaviors
}  // namespace vo

#pragma once

// The shared trigger of a grenade and the behavior that fires it after a fuse
// time.

#include "engine/core/smart_ptr.h"
#include "engine/scene/behavior.h"

namespace vo {

// Fired once by a trigger behavior and watched by the grenade's explosion.
class Trigger {
public:
    virtual ~Trigger();
    virtual void fire() { fired = true; }
    virtual void reset() { fired = false; }

    bool fired = false;
};

namespace behaviors {

// Fires its trigger once time has reached timer, and again in every later
// update (firing twice changes nothing).
class TimedTrigger : public IBehavior {
public:
    // An own, unfired trigger; timer and time 0.
    TimedTrigger();
    ~TimedTrigger() override;

    // A new timed trigger as constructed: nothing is copied.
    IBehavior* clone() const override;
    // time += dt, then fires when time >= timer.
    void update(float dt) override;

    // Replaces the held trigger.
    void set_trigger(SmartPtr<Trigger> trigger) { trigger_ = trigger; }
    const SmartPtr<Trigger>& trigger() const { return trigger_; }

    double timer = 0.0;  // seconds of fuse
    double time = 0.0;   // seconds elapsed

private:
    SmartPtr<Trigger> trigger_;
};

}  // namespace behaviors
}  // namespace vo

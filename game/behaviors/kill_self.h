#pragma once

// Removes its entity after a given time.

#include "engine/scene/behavior.h"

namespace vo {
namespace behaviors {

class KillSelf : public IBehavior {
public:
    KillSelf();
    ~KillSelf() override;

    // A new kill-self behavior: timer off.
    IBehavior* clone() const override;
    void initialize(Entity* entity) override;
    // While the timer is not negative, counts it down by dt and flags the
    // entity for removal once it falls below 0.
    void update(float dt) override;

    double timer = -1.0;  // seconds left; negative: off

private:
    Entity* entity_ = nullptr;
};

}  // namespace behaviors
}  // namespace vo

#include "game/behaviors/trigger.h"

namespace vo {

Trigger::~Trigger() = default;

namespace behaviors {

TimedTrigger::TimedTrigger() : trigger_(new Trigger()) {}

TimedTrigger::~TimedTrigger() = default;

IBehavior* TimedTrigger::clone() const { return new TimedTrigger(); }

void TimedTrigger::update(float dt) {
    time += dt;
    if (time >= timer && trigger_) trigger_->fire();
}

}  // namespace behaviors
}  // namespace vo

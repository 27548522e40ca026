#pragma once

// Whether an entity has stopped moving: the match ends a turn only once every
// entity rests.

#include "engine/core/vector.h"
#include "engine/scene/behavior.h"

namespace vo {
namespace behaviors {

class TimedTrigger;
class Transform;

class Rest : public IBehavior {
public:
    Rest();
    ~Rest() override;

    // A new rest behavior with the settings of a new one.
    IBehavior* clone() const override;
    // Finds the entity's timed trigger and transform and starts counting at
    // the transform's position.
    void initialize(Entity* entity) override;
    // Counts dt; a move farther than the radius from where the entity last
    // moved restarts the count there.
    void update(float dt) override;

    // In this order: never while keep_awake is set; with a timed trigger,
    // once its time has reached its timer (a fuse still burning is not rest,
    // however still the grenade lies); without a transform,
    // rest_without_transform; otherwise once the time since the last move is
    // above duration.
    bool is_resting() const;

    double duration = 0.5;  // seconds
    float radius = 0.1f;    // world units
    bool rest_without_transform = false;
    bool keep_awake = false;

private:
    Transform* transform_ = nullptr;
    TimedTrigger* timed_trigger_ = nullptr;
    vector3 last_position_;
    double time_ = 0.0;  // seconds since the last move beyond the radius
};

}  // namespace behaviors
}  // namespace vo

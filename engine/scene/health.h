#pragma once

#include "engine/scene/behavior.h"

namespace vo {

class Entity;

namespace behaviors {

// The game's health behavior. The engine knows only its class (to find it on
// an entity) and its one field; the game program defines its operations.
class Health : public IBehavior {
public:
    ~Health() override;
    IBehavior* clone() const override;
    void initialize(Entity* entity) override;
    void update(float dt) override;
    void finalize(Entity* entity) override;
    bool accepts_game_events() const override;
    void handle_game_event(const GameEvent& event) override;

    float value = 0.0f;  // no bounds: may fall below 0
};

}  // namespace behaviors

// Lowers the health of entity's behaviors::Health (the first one, found by its
// exact class) by amount and answers true; answers false and changes nothing
// when the entity is null or has no health behavior.
//
// Library code reaches Health only through this function: get_behavior<Health>
// compiled into the library would need the class's type information, which
// lives in the program, as soon as the sanitizers check dynamic types.
bool DecreaseHealth(Entity* entity, float amount);

}  // namespace vo

// The operations of the health behavior, whose class the engine declares so
// that its physics can lower a body's health.
#include "engine/scene/health.h"

#include "game/behaviors/game_events.h"

namespace vo {
namespace behaviors {

Health::~Health() = default;

IBehavior* Health::clone() const { return new Health(); }

void Health::initialize(Entity*) { value = 1.0f; }

void Health::update(float) {}

void Health::finalize(Entity*) {}

bool Health::accepts_game_events() const { return true; }

void Health::handle_game_event(const GameEvent& event) {
    if (event.type != EventTypeId<HealthEvent>()) return;
    value += event.cast<HealthEvent>()->amount;
}

}  // namespace behaviors
}  // namespace vo

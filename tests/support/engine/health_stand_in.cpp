// The game program defines the operations of behaviors::Health; engine test
// programs stand in for it with this minimal definition. A test program that
// adds a Health behavior links it from the support library; one that defines
// Health itself does not.
#include "engine/scene/health.h"

namespace vo {
namespace behaviors {

Health::~Health() = default;
IBehavior* Health::clone() const { return new Health(); }
void Health::initialize(Entity*) { value = 1.0f; }
void Health::update(float) {}
void Health::finalize(Entity*) {}
bool Health::accepts_game_events() const { return true; }
void Health::handle_game_event(const GameEvent&) {}

}  // namespace behaviors
}  // namespace vo

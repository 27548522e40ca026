#include "game/behaviors/register_game_entities.h"

#include "engine/core/object_factory.h"

namespace vo {

void RegisterGameEntities() {
    // The game's entity types join here, in this order, each with origin 1:
    // LevelGeometry, SoftBodyEntity, SlobEntity, GrenadeEntity.
}

}  // namespace vo

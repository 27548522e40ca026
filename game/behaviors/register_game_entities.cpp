#include "game/behaviors/register_game_entities.h"

#include "engine/core/object_factory.h"
#include "game/behaviors/level_geometry.h"
#include "game/behaviors/soft_body_entities.h"

namespace vo {

void RegisterGameEntities() {
    ObjectFactory::register_type<entities::LevelGeometry>(1);
    ObjectFactory::register_type<SoftBodyEntity>(1);
    ObjectFactory::register_type<SlobEntity>(1);
    ObjectFactory::register_type<GrenadeEntity>(1);
}

}  // namespace vo

#include "engine/visuals/register_engine_objects.h"

#include "engine/core/object_factory.h"
#include "engine/scene/entity.h"
#include "engine/visuals/static_visual.h"

namespace vo {

void RegisterEngineObjects() {
    ObjectFactory::register_type<Entity>(0);
    ObjectFactory::register_type<StaticVisual>(0);
}

}  // namespace vo

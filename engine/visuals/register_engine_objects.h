#pragma once

namespace vo {

// Registers the engine's factory types with ObjectFactory, origin 0: Entity,
// then StaticVisual. A second call throws the factory's error for "Entity"
// and registers nothing more.
void RegisterEngineObjects();

}  // namespace vo

#include "engine/scene/scene_physics.h"

// No physics handler yet: scenes run without physics. The physics part of
// the engine replaces these bodies with ones that make, step, clear and
// delete a real PhysicsHandler.

namespace vo {

PhysicsHandler* CreateScenePhysicsHandler() { return nullptr; }

void DestroyScenePhysicsHandler(PhysicsHandler*) {}

void UpdateScenePhysicsHandler(PhysicsHandler*, double) {}

void ClearScenePhysicsHandler(PhysicsHandler*) {}

}  // namespace vo

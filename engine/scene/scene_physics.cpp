#include "engine/scene/scene_physics.h"

#include "engine/physics/physics_handler.h"

namespace vo {

PhysicsHandler* CreateScenePhysicsHandler() { return new PhysicsHandler(); }

void DestroyScenePhysicsHandler(PhysicsHandler* handler) { delete handler; }

void UpdateScenePhysicsHandler(PhysicsHandler* handler, double dt) {
    if (handler) handler->update(dt);
}

void ClearScenePhysicsHandler(PhysicsHandler* handler) {
    if (handler) handler->clear();
}

}  // namespace vo

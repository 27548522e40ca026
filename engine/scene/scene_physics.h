#pragma once

// The narrow seam between a scene and its physics handler. A scene owns one
// handler, made when the scene is made; it steps it once per update and
// empties it when the scene is cleared. The physics part of the engine
// defines these four functions.

namespace vo {

class PhysicsHandler;

// A new handler owned by the caller.
PhysicsHandler* CreateScenePhysicsHandler();
// Deletes a handler made by CreateScenePhysicsHandler; null is ignored.
void DestroyScenePhysicsHandler(PhysicsHandler* handler);
// One physics step of dt seconds; null is ignored.
void UpdateScenePhysicsHandler(PhysicsHandler* handler, double dt);
// Unregisters everything the handler steps; null is ignored.
void ClearScenePhysicsHandler(PhysicsHandler* handler);

}  // namespace vo

#pragma once

namespace vo {

// Registers the game's own object types with the engine's object factory
// (origin 1), so that levels and scenes can create them by name. Called once,
// by start-up.
void RegisterGameEntities();

}  // namespace vo

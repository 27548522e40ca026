#pragma once

// The jump of a slob: the one push that the turn control gives a body that
// jumps, shared with the tests that hold the shipped jump to what a player
// expects of it.

#include "engine/core/vector.h"

namespace vo {

class SoftBody;

// Lets go of the rock (the body's sticky particles) and throws the body up:
// every particle's velocity loses the part of it that points down along up
// (a unit vector) and gains speed along up.
void LaunchJump(SoftBody& body, const vector3& up, float speed);

}  // namespace vo

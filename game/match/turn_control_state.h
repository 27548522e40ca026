#pragma once

// What the turn control remembers from one step to the next while a slob is
// steered: whether the jump and fire actions have been up since they last
// acted, and the charge of a throw in progress. There is one set for the
// whole program (one match runs at a time), shared by human and computer
// turns. Every match start resets it, so that a charge or a held key of a
// match that was left never carries into the next one.

namespace vo {

class Entity;

struct TurnControlState {
    bool jump_released = true;
    bool fire_released = true;
    Entity* charging_slob = nullptr;  // compared only, never dereferenced
    double charge_time = 0.0;         // seconds charged so far
};

TurnControlState& GetTurnControlState();

// Back to the values above.
void ResetTurnControlState();

}  // namespace vo

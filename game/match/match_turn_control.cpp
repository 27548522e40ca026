// The steering of the acting slob and the computer player's part in a turn.
//
// For now a turn is steered only as far as ending it: the acting team's
// controls may end the turn at once; walking, jumping, aiming, charging and
// throwing come with the turn control, and computer teams wait for their
// round timer until the computer player drives them.

#include "game/match/match.h"

#include "game/match/turn_control_state.h"

namespace vo {

void Match::control_active_slob(double, PlayerControls& controls) {
    if (controls.is_down(PlayerAction::end_turn)) {
        enter_phase(MatchPhase::turn_over);
        return;
    }
    const TurnControlState& state = GetTurnControlState();
    charging_ = state.charging_slob != nullptr;
    charge_fraction_ = charging_ ? static_cast<float>(state.charge_time / config_->maxShootTime) : 0.0f;
}

void Match::prepare_computer_player() {}

void Match::begin_computer_turn() {}

void Match::drive_computer_player(double) {}

}  // namespace vo

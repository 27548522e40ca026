#include "game/match/turn_control_state.h"

namespace vo {

TurnControlState& GetTurnControlState() {
    static TurnControlState state;
    return state;
}

void ResetTurnControlState() { GetTurnControlState() = TurnControlState(); }

}  // namespace vo

// The team panel of the head-up display: a row per team with its name and a
// life bar of its slobs. The panel itself is not built yet; these are the
// points at which the match keeps it up to date.

#include "game/match/match.h"

namespace vo {

// Rebuilt at every match start.
void Match::init_team_widgets() {}

// The slobs' health into the bars.
void Match::refresh_life_bars() {}

// At every turn start the bars' ghosts keep the health the turn began with.
void Match::reset_life_bar_ghosts() {}

// At the end of a turn the ghosts go.
void Match::clear_life_bar_ghosts() {}

}  // namespace vo

// The labels above the slobs (name and health) and the slobs' screams: the
// steps of the health pass that belong to them. Labels and voices are not
// shown or heard yet.

#include "game/match/match.h"

namespace vo {

// A hurt slob may scream.
void Match::scream(SlobRecord&) {}

// The label's text and height for the slob's whole health.
void Match::update_slob_label(SlobRecord&, int) {}

// The label's place above the slob, every step.
void Match::place_slob_label(SlobRecord&) {}

// Every label of a slob that was present at the last health pass.
void Match::draw_slob_labels() {}

}  // namespace vo

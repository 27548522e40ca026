#pragma once

// The two made-up rounds that the main menu's results preview
// ("-drawDebugScreen 1") records for its first two teams: shown one after
// the other, the second is the last round and both together the match.

namespace vo {

class MatchStats;

// Each opens its turns on stats (already initialised with at least two
// teams of at least two members) and records their events and the winner.
void RecordFirstPreviewRound(MatchStats& stats);
void RecordSecondPreviewRound(MatchStats& stats);

}  // namespace vo

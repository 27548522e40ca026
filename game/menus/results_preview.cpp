#include "game/menus/results_preview.h"

#include "game/match/match_stats.h"

namespace vo {

void RecordFirstPreviewRound(MatchStats& stats) {
    stats.next_round(0, 0);
    stats.add_damage(1, 0, 43);
    stats.add_damage(0, 1, 67);
    stats.add_damage(1, 1, 40);
    stats.next_round(1, 0);
    stats.add_damage(0, 1, 40);
    stats.add_kill(0, 1);
    stats.add_damage(0, 0, 1008);
    stats.add_kill(0, 0);
    stats.add_damage(1, 1, 60);
    stats.add_kill(1, 1);
    stats.set_winner(1);
}

void RecordSecondPreviewRound(MatchStats& stats) {
    stats.next_round(0, 0);
    stats.add_damage(1, 0, 43);
    stats.add_damage(1, 1, 40);
    stats.add_kill(1, 1);
    stats.next_round(1, 0);
    stats.add_damage(0, 1, 8);
    stats.add_kill(0, 0);
    stats.set_winner(0);
}

}  // namespace vo

#pragma once

// Whole matches between computer teams, stepped at the fixed step without
// drawing, with the match's health checked all along:
// - every step: no exception, no body point or fluid particle that is not a
//   finite number, no phase that lasts 120 simulated seconds (a round
//   whose turns go on past a limit is given up, not failed);
// - after every carve: the level's invariants (a vertex may lie inside an
//   earlier carved circle by the sagitta of a boundary chord: a later carve
//   splits the chords of earlier ones);
// - every explosion gone after its second;
// - every round starting with as many entities (level, slobs, mines) as the
//   first;
// - at the end of every round: a winner with a living slob (or none when
//   nobody lives), the winner's 10 points, kills and damage adding up, and
//   no growth of the engine's shader effect records;
// and a trace of what happened (every turn's team, member, damage and
// kills, every winner, the level's final edit log) whose hash is the same
// for the same options in any process.
//
// The data is a copy of the shipped data set with more of everything:
// items every turn, the cluster bomb as the first weapon, more mines and
// lava fields, a short round time; or the shipped data as it is.

#include "support/game/test_data_set.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace vo_test {

struct SoakOptions {
    int teams = 2;
    int members = 2;
    int cpu_level = 1;
    // Level seed and set-up seed of the first round; each round adds to the
    // set-up seed.
    int seed = 1;
    // Rounds played one after the other through "Fight again!".
    int rounds = 1;
    // When set, the last team is a human team nobody plays: it lets its
    // turns run out (for the difficulty table).
    bool idle_last_team = false;
    // A round not over after this many turns of computer teams is given up
    // (not a failure; counted as not won).
    int max_cpu_turns = 1000;
    // The cluster bomb starts selected (otherwise the shipped grenade).
    bool clusters_first = true;
    // Items at every turn (two), rather than the shipped chance.
    bool many_items = true;
    // The shipped data as it is: no change to the round time, the mines or
    // the lava fields, and the shipped weapons and item chances.
    bool shipped_data = false;
    // Above 0: the slobs' jump speed instead of the shipped one.
    double jump_velocity = 0.0;
    double round_time = 18.0;
    double max_round_seconds = 45.0 * 60.0;  // simulated
    // A round counts as decided when it ends within this time (simulated).
    double decision_seconds = 15.0 * 60.0;
    double watchdog_seconds = 120.0;         // simulated, per phase
};

struct SoakReport {
    std::vector<std::string> failures;
    int rounds = 0;
    int rounds_given_up = 0;
    std::vector<int> winners;  // per round; -1 for none
    int cpu_turns = 0;
    int throws = 0;        // by computer teams
    int hits = 0;          // computer turns with a throw that hurt an enemy
    long enemy_damage = 0; // done by computer teams to other teams
    long own_damage = 0;   // done in computer teams' turns to their own team
    int cpu_kills = 0;     // slobs killed in computer teams' turns
    int cpu_own_kills = 0; // of those, slobs of the acting team
    // Rounds with a winner (or a draw by a last blast) within the decision
    // time; the round lengths, simulated seconds.
    int decided = 0;
    std::vector<double> round_seconds;
    // How slobs died: by a blast in an enemy's turn or in their own team's
    // (flying into the rock after a blast counts as the blast), burnt in
    // lava, or by a fall or hit against the rock (leaving the level too).
    int enemy_kills = 0;
    int own_kills = 0;
    int lava_kills = 0;
    int fall_kills = 0;
    int carves = 0;
    long lava_lost = 0;  // fluid particles that left the level disc
    long steps = 0;
    double simulated_seconds = 0.0;
    double wall_seconds = 0.0;
    std::uint64_t trace_hash = 0;

    bool ok() const { return failures.empty(); }
    // Shares of the computer teams' damage and kills that hit their own team
    // (0 when they did none).
    double own_damage_share() const;
    double own_kill_share() const;
    double median_round_seconds() const;
    std::string failure_text() const;
};

// Plays the rounds in this process's one game environment; trace (when not
// null) receives the trace text.
SoakReport RunSoak(SoakOptions const& options, std::ostream* trace = nullptr);

// The soak's data set (see above).
void PrepareSoakData(TestDataSet& data, SoakOptions const& options);

}  // namespace vo_test

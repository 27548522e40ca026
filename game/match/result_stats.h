#pragma once

// The seven per-team numbers the results screen shows for a round and for a
// whole series of rounds, with the largest and smallest value of each over
// all teams (the best and the worst team).

#include <string>
#include <vector>

namespace vo {

class MatchStats;

// The statistics in table order. The names are also the configuration keys
// of their captions.
enum StatId : int {
    wins = 0,              // 1 for the round's winner
    mostKills = 1,         // kills in the team's turns
    killsWithOneShot = 2,  // most kills in one turn of the team
    mostDmg = 3,           // damage dealt in the team's turns
    dmgWithOneShot = 4,    // most damage in one turn of the team
    mostSelfKills = 5,     // own members killed in the team's turns
    mostSelfDmg = 6,       // damage to own members in the team's turns
    NUM_STATS = 7          // the number of statistics; not a statistic
};

class ResultStats {
public:
    // Makes this the statistics of the round the recorder holds: one entry
    // per team of its set-up. A winner that is no team of the set-up wins
    // nothing; a set-up without teams throws Error (after values changed).
    void compute(MatchStats const& stats);
    // Folds a round into series totals: wins are summed, every other
    // statistic keeps each team's best round. Teams beyond the round's team
    // count keep their values.
    void add(ResultStats const& round);

    // Throw Error for NUM_STATS and other ids or teams that hold no value.
    int value(StatId id, int team) const;
    int max_value(StatId id) const;
    int min_value(StatId id) const;
    int num_teams() const { return static_cast<int>(values_[wins].size()); }

    // Recomputes the largest and smallest entry of every statistic; throws
    // Error when a statistic has no entries.
    void update_extremes();

private:
    std::vector<int> values_[NUM_STATS];
    int max_values_[NUM_STATS] = {};
    int min_values_[NUM_STATS] = {};
};

// A value as the results tables show it: "-" for 0, else the decimal number.
std::string StatValueText(int value);

}  // namespace vo

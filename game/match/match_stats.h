#pragma once

// The record of what happened in a match, turn by turn: who acted, every
// health loss and every death during the turn, and at the end the winner.
// The per-team readers answer one question each over all turns; whatever
// happens during a turn counts for the team that acted in it.

#include "game/match/match_settings.h"

#include <vector>

namespace vo {

// An entry of the damage readers: the team, a member of it (-1 for none) and
// the value.
struct TeamValue {
    int team = 0;
    int member = -1;
    int value = 0;
};

class MatchStats {
public:
    // A health loss of the member of the team.
    struct DamageEvent {
        int team = 0;
        int member = 0;
        int amount = 0;
    };
    // The death of the member of the team.
    struct KillEvent {
        int team = 0;
        int member = 0;
    };
    // One turn: the acting team and member, and what happened in it.
    struct Round {
        int team = 0;
        int member = 0;
        std::vector<DamageEvent> damage;
        std::vector<KillEvent> kills;
    };

    // No teams, no turns, no winner.
    MatchStats();

    // Starts the record of a match with a copy of its set-up: no turns, no
    // winner. A set-up without teams, or with a team without members, throws
    // Error and leaves the record as it was.
    void init(MatchSettings const& settings);
    // Opens a new turn of the acting member.
    void next_round(int team, int member);
    // The last turn; throws Error when no turn has been opened.
    Round& current_round();
    // Events of the current turn, naming the member hit or killed. Both
    // throw Error when no turn has been opened.
    void add_damage(int team, int member, int amount);
    void add_kill(int team, int member);
    // -1 for none.
    void set_winner(int team);
    int winner() const { return winner_; }

    MatchSettings const& settings() const { return settings_; }
    std::vector<Round> const& rounds() const { return rounds_; }
    int num_teams() const { return static_cast<int>(settings_.num_teams()); }

    // The readers: one entry per team of the set-up, in team order. A turn
    // or event whose team index is not a team of the set-up throws Error.

    // Damage summed per acting team; member -1.
    std::vector<TeamValue> damage_per_team() const;
    // Damage to the acting team's own members, summed; member -1.
    std::vector<TeamValue> self_damage_per_team() const;
    // The largest damage sum of one turn of the team, with the member that
    // acted in that turn (-1 while the team has none above 0). A later turn
    // replaces the kept one only when its sum is strictly larger.
    std::vector<TeamValue> damage_with_one_shot() const;
    // Deaths during the team's turns.
    std::vector<int> kills_per_team() const;
    // Deaths of the acting team's own members.
    std::vector<int> self_kills_per_team() const;
    // The largest number of deaths in one turn of the team.
    std::vector<int> kills_with_one_shot() const;

private:
    // Throws Error for a turn or event naming a team the set-up lacks.
    void check_team_indices() const;

    MatchSettings settings_;
    std::vector<Round> rounds_;
    int winner_ = -1;
};

}  // namespace vo

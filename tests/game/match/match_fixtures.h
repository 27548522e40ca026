#pragma once

// Set-ups for the statistics tests: teams named "T0", "T1", ... with two
// members each, without textures.

#include "game/match/match_settings.h"

#include <string>

namespace vo_test {

inline vo::MatchSettings TeamsOfTwo(int num_teams) {
    vo::MatchSettings settings;
    for (int t = 0; t < num_teams; ++t) {
        vo::TeamDesc team;
        team.name = "T" + std::to_string(t);
        team.members = {team.name + "a", team.name + "b"};
        settings.add_team(team, t % 2 == 1, vo::Color(0.5f, 0.5f, 1.0f, 1.0f));
    }
    return settings;
}

}  // namespace vo_test

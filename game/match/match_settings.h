#pragma once

// The set-up of a match: the teams that take part, in playing order, with
// whether the computer plays each one and each team's colour. The three
// lists always have the same length.

#include "engine/core/color.h"
#include "game/app/characters.h"

#include <cstddef>
#include <vector>

namespace vo {

class MatchSettings {
public:
    // Appends a copy of the team with its flag and colour. The arguments may
    // refer into this record's own lists: they are copied before any list
    // grows. Either all three lists grow or none does.
    void add_team(TeamDesc const& team, bool cpu_controlled, Color const& colour);

    std::vector<TeamDesc> const& teams() const { return teams_; }
    std::vector<bool> const& cpu_controlled() const { return cpu_controlled_; }
    std::vector<Color> const& colours() const { return colours_; }
    std::size_t num_teams() const { return teams_.size(); }

    // The team's record, for the match to update its points. Throws Error
    // for an index not below num_teams().
    TeamDesc& team(std::size_t index);

private:
    std::vector<TeamDesc> teams_;
    std::vector<bool> cpu_controlled_;
    std::vector<Color> colours_;
};

}  // namespace vo

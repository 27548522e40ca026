#include "game/match/match_settings.h"

#include "engine/core/error.h"

#include <sstream>
#include <utility>

namespace vo {

void MatchSettings::add_team(TeamDesc const& team, bool cpu_controlled, Color const& colour) {
    // Copies first: growing a list would invalidate an argument that points
    // into it.
    TeamDesc copy = team;
    Color const colour_copy = colour;
    bool const cpu = cpu_controlled;
    // With room reserved in all three, only the team's copy can fail, and it
    // goes in first.
    teams_.reserve(teams_.size() + 1);
    cpu_controlled_.reserve(cpu_controlled_.size() + 1);
    colours_.reserve(colours_.size() + 1);
    teams_.push_back(std::move(copy));
    cpu_controlled_.push_back(cpu);
    colours_.push_back(colour_copy);
}

TeamDesc& MatchSettings::team(std::size_t index) {
    if (index >= teams_.size()) {
        std::ostringstream msg;
        msg << "MatchSettings has no team " << index << " (" << teams_.size() << " teams)";
        throw Error(msg.str());
    }
    return teams_[index];
}

}  // namespace vo

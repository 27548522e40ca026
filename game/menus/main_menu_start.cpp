// START on the main menu: the match set-up from the team cards, and the
// start of the match or, for the results preview, the results screen with
// made-up statistics.

#include "engine/core/random.h"
#include "game/app/int_to_string.h"
#include "game/match/match.h"
#include "game/match/match_seed.h"
#include "game/match/match_settings.h"
#include "game/match/match_stats.h"
#include "game/menus/main_menu_screen.h"
#include "game/menus/match_results_screen.h"
#include "game/menus/menu_kit.h"
#include "game/menus/results_preview.h"
#include "game/menus/team_representation_widget.h"

#include <iostream>
#include <string>

namespace vo {

namespace {

// The team colours by card position.
const float kTeamColours[6][3] = {
    {1.0f, 0.5f, 0.5f}, {0.5f, 1.0f, 0.5f}, {0.5f, 0.5f, 1.0f},
    {1.0f, 1.0f, 0.5f}, {1.0f, 0.5f, 1.0f}, {0.5f, 1.0f, 1.0f},
};

// The members take the first three letters of the team's name and their
// number; a team without a name plays with "guy1", "guy2", ...
void NameMembersAfterTeam(TeamDesc& team) {
    std::string prefix = team.name.empty() ? std::string("guy") : team.name.substr(0, 3);
    for (std::size_t j = 0; j < team.members.size(); ++j) {
        team.members[j] = prefix + IntToString(static_cast<int>(j) + 1);
    }
}

}  // namespace

Color TeamColour(int card_position) {
    const int row = ((card_position % 6) + 6) % 6;
    return Color(kTeamColours[row][0], kTeamColours[row][1], kTeamColours[row][2], 1.0f);
}

MatchSettings MainMenuScreen::match_settings() const {
    MatchSettings settings;
    for (std::size_t i = 0; i < cards_.size(); ++i) {
        TeamDesc team = cards_[i]->team();
        if (team.character.index < 0) continue;
        NameMembersAfterTeam(team);
        settings.add_team(team, cards_[i]->is_cpu(), TeamColour(static_cast<int>(i)));
    }
    return settings;
}

void MainMenuScreen::start_match_clicked(Widget*) {
    // The match draws its first team from the shared generator.
    SeedRand(static_cast<unsigned>(MatchSetUpSeed()));
    const MatchSettings settings = match_settings();
    if (settings.num_teams() < 2) {
        ShowMessageBox(tree_.get(), "At least two teams have to\nparticipate!", "OK!", "messageBox");
        return;
    }
    if (!preview_results) {
        match_->set_cpu_level(cpu_levels_[static_cast<std::size_t>(cpu_level())].level);
        match_->start_match(settings, true);
        PushScreen(match_);
    } else {
        show_results_preview(settings);
    }
}

void MainMenuScreen::show_results_preview(MatchSettings const& settings) {
    std::cout << "DEBUG: showing results screen in MainMenuScreen::start_match_clicked\n" << std::flush;
    SmartPtr<MatchResultsScreen> results(new MatchResultsScreen());
    MatchStats stats;
    stats.init(settings);
    RecordFirstPreviewRound(stats);
    results->set_results(stats);
    stats.init(settings);
    RecordSecondPreviewRound(stats);
    results->set_results(stats);
    PushScreen(results);
}

}  // namespace vo

#include "support/game/game_environment.h"

#include "game/app/characters.h"
#include "game/menus/menu_kit.h"
#include "support/game/config_copy.h"

namespace vo_test {

GameEnvironment::GameEnvironment(AppSetup setup, std::map<std::string, std::string> const& config_files)
    : app_(std::move(setup)) {
    app_.init();
    if (!config_files.empty()) config_copy_ = UseConfigCopy(config_files);
    match_ = vo::SmartPtr<vo::Match>(new vo::Match);
    match_->transform(vo::MenuTransform());
}

GameEnvironment::~GameEnvironment() {
    // The screens go before the match: the stack may hold it.
    app_.app().pop_all_screens();
}

void GameEnvironment::push_match() { vo::PushScreen(vo::SmartPtr<vo::IScreen>(match_)); }

vo::MatchSettings TeamsOf(int num_teams, int num_members, bool cpu) {
    vo::MatchSettings settings;
    const unsigned characters = vo::NumCharacters();
    for (int t = 0; t < num_teams; ++t) {
        vo::TeamDesc team;
        team.character = vo::GetCharacter(characters > 0 ? static_cast<unsigned>(t) % characters : 0u);
        team.name = "Team " + std::to_string(t);
        for (int m = 0; m < num_members; ++m) team.members.push_back("T" + std::to_string(t) + " m" + std::to_string(m));
        team.cpuControlled = cpu;
        const float shade = static_cast<float>(t) / static_cast<float>(num_teams > 1 ? num_teams - 1 : 1);
        settings.add_team(team, cpu, vo::Color(1.0f - shade, 0.4f, shade, 1.0f));
    }
    return settings;
}

}  // namespace vo_test

#include "game/app/team_settings.h"

#include "engine/core/config.h"
#include "engine/core/error.h"
#include "engine/core/info_file.h"
#include "engine/core/path_provider.h"
#include "engine/core/platform.h"
#include "game/app/user_file.h"

#include <boost/property_tree/ptree.hpp>

namespace vo {

namespace {

const std::size_t team_slots = 4;
const int team_members = 4;
const unsigned no_character = static_cast<unsigned>(-1);

std::string TeamSettingsPath(std::string const& file_name) { return PathProvider::get_path(8) + "/" + file_name; }

TeamDesc MakeTeam(std::string const& name, CharacterDesc const& character, bool cpu) {
    TeamDesc team;
    team.name = name;
    team.character = character;
    team.cpuControlled = cpu;
    return team;
}

std::string PlayerName(std::size_t number) { return "Player " + std::to_string(number); }

// The first loaded character of exactly that name, else the fallback.
CharacterDesc const& CharacterNamed(std::string const& name) {
    const unsigned count = NumCharacters();
    for (unsigned i = 0; i < count; ++i) {
        CharacterDesc const& character = GetCharacter(i);
        if (character.name == name) return character;
    }
    return GetCharacter(no_character);
}

void AddDefaultTeams(std::vector<TeamDesc>& teams) {
    teams.push_back(MakeTeam("Player 1", GetCharacter(2), false));
    teams.push_back(MakeTeam("CPU 1", GetCharacter(3), true));
    teams.push_back(MakeTeam("CPU 2", GetCharacter(4), true));
}

// The "team" groups of the file. Throws when the file cannot be read, is not
// INFO, breaks the INFO file limits or holds no entry at all (the writer
// always writes some).
void ReadTeamsFromFile(std::string const& path, std::vector<TeamDesc>& teams) {
    ptree tree;
    ReadInfoFile(path, tree);
    if (tree.empty()) throw Error("the file is empty");
    for (auto const& child : tree) {
        if (teams.size() >= team_slots) break;
        if (child.first != "team") continue;
        ptree const& entry = child.second;
        TeamDesc team = MakeTeam(entry.get<std::string>("teamName", PlayerName(teams.size() + 1)),
                                 GetCharacter(no_character), entry.get<bool>("cpuControlled", false));
        team.character = CharacterNamed(entry.get<std::string>("characterName", "char_none"));
        teams.push_back(team);
    }
}

}  // namespace

std::vector<TeamDesc> ReadTeamDescs(std::string file_name) {
    std::vector<TeamDesc> teams;
    const std::string path = TeamSettingsPath(file_name);
    if (FileExists(path)) {
        if (!ReadUserFileOrSetAside(path, "the default teams", [&] { ReadTeamsFromFile(path, teams); })) {
            teams.clear();
            AddDefaultTeams(teams);
        }
    } else {
        AddDefaultTeams(teams);
    }
    while (teams.size() < team_slots) teams.push_back(MakeTeam(PlayerName(teams.size() + 1), GetCharacter(no_character), false));

    for (std::size_t p = 0; p < teams.size(); ++p) {
        TeamDesc& team = teams[p];
        team.owner = "...";
        team.points = 100;
        team.index = static_cast<int>(p);
        const std::string prefix = team.character.isMale ? "guy " : "gal ";
        for (int member = 1; member <= team_members; ++member) team.members.push_back(prefix + std::to_string(member));
    }
    return teams;
}

void WriteTeamDescs(std::vector<TeamDesc> const& teams, std::string file_name) {
    ptree tree;
    for (TeamDesc const& team : teams) {
        ptree entry;
        entry.put("teamName", team.name);
        entry.put("characterName", team.character.name);
        entry.put("cpuControlled", team.cpuControlled);
        tree.add_child("team", entry);
    }
    WriteInfoFileAtomically(tree, TeamSettingsPath(file_name));
}

}  // namespace vo

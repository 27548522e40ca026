#include "game/app/team_settings.h"

#include "character_files.h"
#include "engine/core/platform.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace vo {
namespace {

const char* const file_name = "team_settings.info";

std::string ReadText(std::string const& path) {
    std::ifstream in(path.c_str());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Expected {
    std::string name;
    std::string character;
    bool cpu;
};

// Every record carries the rebuilt fields: owner, points, index, members.
void ExpectTeams(std::vector<Expected> const& expected, std::vector<TeamDesc> const& teams, std::string const& label) {
    ASSERT_EQ(4u, teams.size()) << label;
    for (std::size_t p = 0; p < 4; ++p) {
        TeamDesc const& team = teams[p];
        EXPECT_EQ(expected[p].name, team.name) << label << " " << p;
        EXPECT_EQ(expected[p].character, team.character.name) << label << " " << p;
        EXPECT_EQ(expected[p].cpu, team.cpuControlled) << label << " " << p;
        EXPECT_EQ("...", team.owner);
        EXPECT_EQ(100, team.points);
        EXPECT_EQ(static_cast<int>(p), team.index);
        const std::string prefix = team.character.isMale ? "guy " : "gal ";
        EXPECT_EQ((std::vector<std::string>{prefix + "1", prefix + "2", prefix + "3", prefix + "4"}), team.members)
            << label << " " << p;
    }
}

class TeamSettingsTest : public ::testing::Test {
protected:
    vo_test::CharacterFiles files;
    std::string path = files.file(file_name);
};

TEST_F(TeamSettingsTest, NoFileGivesTheDefaultSetUp) {
    files.load_characters({"c0", "c1", "c2", "c3", "c4"});
    const std::vector<TeamDesc> five = ReadTeamDescs(file_name);
    ExpectTeams({{"Player 1", "c2", false}, {"CPU 1", "c3", true}, {"CPU 2", "c4", true}, {"Player 4", "char_none", false}},
                five, "five characters");
    EXPECT_EQ(2, five[0].character.index);
    EXPECT_EQ("gal 1", five[1].members[0]);  // c3 is female
    EXPECT_EQ(-1, five[3].character.index);

    files.load_characters({"c0", "c1", "c2"});
    ExpectTeams({{"Player 1", "c2", false},
                 {"CPU 1", "char_none", true},
                 {"CPU 2", "char_none", true},
                 {"Player 4", "char_none", false}},
                ReadTeamDescs(file_name), "three characters");
    EXPECT_FALSE(FileExists(path));  // reading never writes
}

TEST_F(TeamSettingsTest, FileContentsTable) {
    files.load_characters({"c0", "c1", "c2", "c3", "c4"});
    struct Case {
        const char* label;
        const char* text;
        std::vector<Expected> expected;
    };
    const Case cases[] = {
        {"six teams keep the first four",
         "team { teamName A\n characterName c0 }\nteam { teamName B\n characterName c1 }\n"
         "team { teamName C\n characterName c2 }\nteam { teamName D\n characterName c3 }\n"
         "team { teamName E\n characterName c4 }\nteam { teamName F }\n",
         {{"A", "c0", false}, {"B", "c1", false}, {"C", "c2", false}, {"D", "c3", false}}},
        {"one team is padded",
         "team { teamName Solo\n characterName c4\n cpuControlled true }\n",
         {{"Solo", "c4", true}, {"Player 2", "char_none", false}, {"Player 3", "char_none", false},
          {"Player 4", "char_none", false}}},
        {"missing keys and other entries",
         "other { teamName X }\nteam { teamName A\n characterName c1 }\nteam { characterName c0\n cpuControlled 1 }\n"
         "team { teamName C\n characterName nobody\n cpuControlled maybe }\n",
         {{"A", "c1", false}, {"Player 2", "c0", true}, {"C", "char_none", false}, {"Player 4", "char_none", false}}},
        {"names match exactly",
         "team { characterName C0 }\nteam { characterName \"c0 \" }\n",
         {{"Player 1", "char_none", false}, {"Player 2", "char_none", false}, {"Player 3", "char_none", false},
          {"Player 4", "char_none", false}}},
    };
    for (Case const& c : cases) {
        files.write(file_name, c.text);
        ExpectTeams(c.expected, ReadTeamDescs(file_name), c.label);
    }
}

TEST_F(TeamSettingsTest, WrittenTeamsReadBackWithAwkwardNames) {
    files.load_characters({"c0", "c1", "c2", "c3", "c4"});
    std::vector<TeamDesc> teams = ReadTeamDescs(file_name);
    teams[0].name = "say \"hi\"";
    teams[1].name = "back\\slash; { brace }";
    teams[2].name = "";
    teams[3].name = "  two\tlines\nhere  ";
    teams[3].character = GetCharacter(0);
    teams[3].cpuControlled = true;
    teams[0].points = 7;
    teams[0].owner = "someone";
    WriteTeamDescs(teams, file_name);
    EXPECT_FALSE(FileExists(path + ".tmp"));

    ExpectTeams({{"say \"hi\"", "c2", false},
                 {"back\\slash; { brace }", "c3", true},
                 {"", "c4", true},
                 {"  two\tlines\nhere  ", "c0", true}},
                ReadTeamDescs(file_name), "round trip");

    // Four space indentation, keys in order.
    const std::string text = ReadText(path);
    EXPECT_NE(std::string::npos, text.find("team\n{\n    teamName \"say \\\"hi\\\"\"\n    characterName c2\n"
                                           "    cpuControlled false\n}\n"))
        << text;
}

TEST_F(TeamSettingsTest, BrokenFileIsKeptAsideAndDefaultsUsed) {
    files.load_characters({"c0", "c1", "c2", "c3", "c4"});
    for (const char* broken : {"team { teamName \"unterminated\n", "team {\n", "\n"}) {
        files.write(file_name, broken);
        ::testing::internal::CaptureStdout();
        const std::vector<TeamDesc> teams = ReadTeamDescs(file_name);
        const std::string out = ::testing::internal::GetCapturedStdout();
        ExpectTeams({{"Player 1", "c2", false},
                     {"CPU 1", "c3", true},
                     {"CPU 2", "c4", true},
                     {"Player 4", "char_none", false}},
                    teams, broken);
        EXPECT_EQ(0u, out.find("WARNING: couldn't read " + path + ": ")) << out;
        EXPECT_NE(std::string::npos, out.find("WARNING: kept the broken file as " + path + ".bad")) << out;
        EXPECT_EQ(broken, ReadText(path + ".bad"));
        EXPECT_FALSE(FileExists(path));
    }
}

TEST_F(TeamSettingsTest, FailedWriteKeepsTheOldFile) {
    files.load_characters({"c0", "c1", "c2", "c3", "c4"});
    std::vector<TeamDesc> teams = ReadTeamDescs(file_name);
    WriteTeamDescs(teams, file_name);
    const std::string before = ReadText(path);
    ASSERT_EQ(0, ::mkdir((path + ".tmp").c_str(), 0700));
    teams[0].name = "changed";
    EXPECT_THROW(WriteTeamDescs(teams, file_name), std::runtime_error);
    EXPECT_EQ(before, ReadText(path));
}

}  // namespace
}  // namespace vo

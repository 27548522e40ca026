#include "game/match/match_settings.h"

#include "engine/core/error.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vo::Color;
using vo::MatchSettings;
using vo::TeamDesc;

TEST(MatchSettings, AddTeamKeepsTheListsParallelEvenFromItsOwnEntries) {
    MatchSettings settings;
    EXPECT_EQ(settings.num_teams(), 0u);
    TeamDesc first;
    first.name = "Player 1";
    first.members = {"Pla1", "Pla2"};
    settings.add_team(first, true, Color(1.0f, 0.5f, 0.5f, 1.0f));

    // Appending the record's own first entry again and again grows the
    // lists many times over; each copy is taken before the lists move.
    for (int i = 0; i < 40; ++i) {
        settings.add_team(settings.teams()[0], settings.cpu_controlled()[0], settings.colours()[0]);
    }
    ASSERT_EQ(settings.num_teams(), 41u);
    ASSERT_EQ(settings.cpu_controlled().size(), 41u);
    ASSERT_EQ(settings.colours().size(), 41u);
    for (std::size_t i = 0; i < settings.num_teams(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(settings.teams()[i].name, "Player 1");
        EXPECT_EQ(settings.teams()[i].members.size(), 2u);
        EXPECT_TRUE(settings.cpu_controlled()[i]);
        EXPECT_EQ(settings.colours()[i].r, 1.0f);
        EXPECT_EQ(settings.colours()[i].g, 0.5f);
        EXPECT_EQ(settings.colours()[i].a, 1.0f);
    }

    // The match updates its own copy's points; other copies keep theirs.
    MatchSettings copy = settings;
    copy.team(3).points += 10;
    EXPECT_EQ(copy.teams()[3].points, 10);
    EXPECT_EQ(settings.teams()[3].points, 0);
    try {
        copy.team(41);
        ADD_FAILURE() << "no error for team 41";
    } catch (vo::Error const& e) {
        EXPECT_EQ(std::string(e.message()), "MatchSettings has no team 41 (41 teams)");
    }
}

}  // namespace

#include "game/match/match_stats.h"

#include "engine/core/error.h"
#include "match_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using vo::MatchSettings;
using vo::MatchStats;
using vo::TeamValue;

std::string ErrorOf(std::function<void()> const& f) {
    try {
        f();
    } catch (vo::Error const& e) {
        return e.message();
    }
    return "no error";
}

std::vector<int> Values(std::vector<TeamValue> const& entries, bool members = false) {
    std::vector<int> out;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].team, static_cast<int>(i));
        out.push_back(members ? entries[i].member : entries[i].value);
    }
    return out;
}

// Three teams; every reader's answer after each turn of a scripted match.
TEST(MatchStats, ReadersOverAScriptedMatch) {
    MatchStats stats;
    stats.init(vo_test::TeamsOfTwo(3));

    struct Turn {
        std::function<void(MatchStats&)> script;
        std::vector<int> damage, self_damage, one_shot, one_shot_member, kills, self_kills, kills_one_shot;
    };
    std::vector<Turn> const turns = {
        // Team 0's member 1 hits an enemy and its own member 0, and kills the enemy.
        {[](MatchStats& s) {
             s.next_round(0, 1);
             s.add_damage(1, 0, 30);
             s.add_damage(0, 0, 20);
             s.add_kill(1, 0);
         },
         {50, 0, 0}, {20, 0, 0}, {50, 0, 0}, {1, -1, -1}, {1, 0, 0}, {0, 0, 0}, {1, 0, 0}},
        // Team 1 kills an enemy and one of its own: both kills count for team 1.
        {[](MatchStats& s) {
             s.next_round(1, 1);
             s.add_damage(0, 1, 25);
             s.add_damage(1, 1, 25);
             s.add_kill(0, 1);
             s.add_kill(1, 1);
         },
         {50, 50, 0}, {20, 25, 0}, {50, 50, 0}, {1, 1, -1}, {1, 2, 0}, {0, 1, 0}, {1, 2, 0}},
        // Team 0 deals 50 again: equal, so the earlier turn and its member stay.
        {[](MatchStats& s) {
             s.next_round(0, 0);
             s.add_damage(2, 0, 50);
         },
         {100, 50, 0}, {20, 25, 0}, {50, 50, 0}, {1, 1, -1}, {1, 2, 0}, {0, 1, 0}, {1, 2, 0}},
        // A turn without events changes nothing.
        {[](MatchStats& s) { s.next_round(2, 0); },
         {100, 50, 0}, {20, 25, 0}, {50, 50, 0}, {1, 1, -1}, {1, 2, 0}, {0, 1, 0}, {1, 2, 0}},
        // Team 0 deals 51 and kills two: a new best with the acting member 0.
        {[](MatchStats& s) {
             s.next_round(0, 0);
             s.add_damage(2, 1, 51);
             s.add_kill(2, 1);
             s.add_kill(2, 0);
         },
         {151, 50, 0}, {20, 25, 0}, {51, 50, 0}, {0, 1, -1}, {3, 2, 0}, {0, 1, 0}, {2, 2, 0}},
    };
    for (std::size_t i = 0; i < turns.size(); ++i) {
        SCOPED_TRACE("after turn " + std::to_string(i));
        Turn const& turn = turns[i];
        turn.script(stats);
        EXPECT_EQ(Values(stats.damage_per_team()), turn.damage);
        EXPECT_EQ(Values(stats.damage_per_team(), true), std::vector<int>(3, -1));
        EXPECT_EQ(Values(stats.self_damage_per_team()), turn.self_damage);
        EXPECT_EQ(Values(stats.self_damage_per_team(), true), std::vector<int>(3, -1));
        EXPECT_EQ(Values(stats.damage_with_one_shot()), turn.one_shot);
        EXPECT_EQ(Values(stats.damage_with_one_shot(), true), turn.one_shot_member);
        EXPECT_EQ(stats.kills_per_team(), turn.kills);
        EXPECT_EQ(stats.self_kills_per_team(), turn.self_kills);
        EXPECT_EQ(stats.kills_with_one_shot(), turn.kills_one_shot);
    }
    EXPECT_EQ(stats.rounds().size(), turns.size());
    EXPECT_EQ(stats.winner(), -1);  // nobody was declared the winner
    stats.set_winner(2);
    EXPECT_EQ(stats.winner(), 2);

    // A new match starts a fresh record.
    stats.init(vo_test::TeamsOfTwo(2));
    EXPECT_EQ(stats.winner(), -1);
    EXPECT_TRUE(stats.rounds().empty());
    EXPECT_EQ(Values(stats.damage_with_one_shot(), true), std::vector<int>(2, -1));
    EXPECT_EQ(stats.kills_per_team(), std::vector<int>(2, 0));
}

TEST(MatchStats, EventsNeedAnOpenTurn) {
    std::string const expected = "On has to initialize each round in MatchStats with next_round()";
    MatchStats stats;
    stats.init(vo_test::TeamsOfTwo(2));
    EXPECT_EQ(ErrorOf([&] { stats.current_round(); }), expected);
    EXPECT_EQ(ErrorOf([&] { stats.add_damage(0, 0, 10); }), expected);
    EXPECT_EQ(ErrorOf([&] { stats.add_kill(0, 0); }), expected);
    stats.next_round(1, 0);
    stats.add_kill(0, 1);
    EXPECT_EQ(stats.current_round().team, 1);
    EXPECT_EQ(stats.current_round().kills.size(), 1u);
}

TEST(MatchStats, InitRefusesASetUpWithoutTeamsOrMembers) {
    MatchSettings lonely = vo_test::TeamsOfTwo(1);
    vo::TeamDesc empty;
    empty.name = "nobody";
    lonely.add_team(empty, false, vo::Color(1, 1, 1, 1));

    MatchStats stats;
    stats.init(vo_test::TeamsOfTwo(2));
    stats.next_round(0, 0);
    stats.set_winner(1);
    for (MatchSettings const& bad : {lonely, MatchSettings()}) {
        EXPECT_EQ(ErrorOf([&] { stats.init(bad); }), "There have to be teams and each team has to have members!");
        // The record is left as it was.
        EXPECT_EQ(stats.num_teams(), 2);
        EXPECT_EQ(stats.rounds().size(), 1u);
        EXPECT_EQ(stats.winner(), 1);
    }
}

TEST(MatchStats, ReadersRefuseTeamIndicesOutsideTheMatch) {
    struct Case {
        const char* what;
        std::function<void(MatchStats&)> script;
        std::string message;
    };
    std::vector<Case> const cases = {
        {"acting team too large", [](MatchStats& s) { s.next_round(2, 0); },
         "MatchStats: the acting team 2 of turn 0 is not a team of the match (2 teams)"},
        {"negative acting team", [](MatchStats& s) { s.next_round(-1, 0); },
         "MatchStats: the acting team -1 of turn 0 is not a team of the match (2 teams)"},
        {"damaged team", [](MatchStats& s) {
             s.next_round(0, 0);
             s.next_round(1, 0);
             s.add_damage(5, 0, 10);
         },
         "MatchStats: the damaged team 5 of turn 1 is not a team of the match (2 teams)"},
        {"killed team", [](MatchStats& s) {
             s.next_round(0, 0);
             s.add_kill(-3, 0);
         },
         "MatchStats: the killed team -3 of turn 0 is not a team of the match (2 teams)"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        MatchStats stats;
        stats.init(vo_test::TeamsOfTwo(2));
        c.script(stats);
        EXPECT_EQ(ErrorOf([&] { stats.damage_per_team(); }), c.message);
        EXPECT_EQ(ErrorOf([&] { stats.self_damage_per_team(); }), c.message);
        EXPECT_EQ(ErrorOf([&] { stats.damage_with_one_shot(); }), c.message);
        EXPECT_EQ(ErrorOf([&] { stats.kills_per_team(); }), c.message);
        EXPECT_EQ(ErrorOf([&] { stats.self_kills_per_team(); }), c.message);
        EXPECT_EQ(ErrorOf([&] { stats.kills_with_one_shot(); }), c.message);
    }
}

}  // namespace

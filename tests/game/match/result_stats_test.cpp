#include "game/match/result_stats.h"

#include "engine/core/error.h"
#include "game/match/match_stats.h"
#include "match_fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using vo::MatchStats;
using vo::ResultStats;
using vo::StatId;

// One turn of the acting team (its member 0): the hits as (victim team,
// amount) and the victims' teams of the kills, each naming member 0.
struct Turn {
    int team;
    std::vector<std::pair<int, int>> hits;
    std::vector<int> kills;
};

MatchStats Script(int num_teams, int winner, std::vector<Turn> const& turns) {
    MatchStats stats;
    stats.init(vo_test::TeamsOfTwo(num_teams));
    for (Turn const& turn : turns) {
        stats.next_round(turn.team, 0);
        for (auto const& hit : turn.hits) stats.add_damage(hit.first, 0, hit.second);
        for (int victim : turn.kills) stats.add_kill(victim, 0);
    }
    stats.set_winner(winner);
    return stats;
}

ResultStats Computed(MatchStats const& stats) {
    ResultStats s;
    s.compute(stats);
    return s;
}

// Each team's values in StatId order.
std::vector<std::vector<int>> Table(ResultStats const& s) {
    std::vector<std::vector<int>> out;
    for (int t = 0; t < s.num_teams(); ++t) {
        std::vector<int> row;
        for (int id = 0; id < vo::NUM_STATS; ++id) row.push_back(s.value(static_cast<StatId>(id), t));
        out.push_back(row);
    }
    return out;
}

std::string ErrorOf(void (*f)()) {
    try {
        f();
    } catch (vo::Error const& e) {
        return e.message();
    }
    return "no error";
}

TEST(ResultStats, ComputeTakesTheReadersTeamByTeam) {
    // Team 1 won; team 2 only hurt itself, which counts as damage and as self damage.
    ResultStats const s = Computed(Script(3, 1,
                                          {
                                              {0, {{1, 50}}, {1}},
                                              {1, {{0, 70}, {1, 10}}, {0, 1}},
                                              {2, {{2, 30}}, {}},
                                              {0, {{2, 30}}, {}},
                                              {1, {{0, 40}}, {0}},
                                          }));
    std::vector<std::vector<int>> const expected = {
        // wins, kills, one-shot kills, damage, one-shot damage, self kills, self damage
        {0, 1, 1, 80, 50, 0, 0},
        {1, 3, 2, 120, 80, 1, 10},
        {0, 0, 0, 30, 30, 0, 30},
    };
    EXPECT_EQ(Table(s), expected);

    struct Extremes {
        StatId id;
        int max, min;
    };
    for (Extremes e : {Extremes{vo::wins, 1, 0}, Extremes{vo::mostKills, 3, 0}, Extremes{vo::mostDmg, 120, 30},
                       Extremes{vo::mostSelfDmg, 30, 0}}) {
        SCOPED_TRACE(e.id);
        EXPECT_EQ(s.max_value(e.id), e.max);
        EXPECT_EQ(s.min_value(e.id), e.min);
    }
}

TEST(ResultStats, RoundWithoutWinnerOrWithAWinnerNoTeamHas) {
    std::vector<Turn> const turns = {{0, {{1, 5}}, {1}}, {1, {{0, 5}}, {0}}};
    for (int winner : {-1, 2, 7, -5}) {
        SCOPED_TRACE(winner);
        ResultStats const s = Computed(Script(2, winner, turns));
        EXPECT_EQ(s.num_teams(), 2);
        EXPECT_EQ(s.max_value(vo::wins), 0);
        // All teams equal: max equals min.
        EXPECT_EQ(s.max_value(vo::killsWithOneShot), 1);
        EXPECT_EQ(s.min_value(vo::killsWithOneShot), 1);
    }
}

TEST(ResultStats, SeriesSumsWinsAndKeepsEachTeamsBestRound) {
    ResultStats series;
    ResultStats const first = Computed(Script(3, 0,
                                              {
                                                  {0, {{1, 40}}, {1, 1}},
                                                  {0, {{0, 5}}, {0}},
                                                  {1, {{0, 90}}, {0}},
                                              }));
    series.add(first);
    EXPECT_EQ(Table(series), Table(first));  // into an empty total: the round itself

    series.add(Computed(Script(3, 0,
                               {
                                   {0, {{1, 50}}, {}},
                                   {1, {{1, 8}}, {1, 1}},
                                   {1, {{0, 2}}, {0}},
                                   {2, {{0, 5}}, {0}},
                               })));
    series.add(Computed(Script(3, -1, {})));  // a draw without a single hit
    std::vector<std::vector<int>> const expected = {
        {2, 3, 2, 50, 50, 1, 5},
        {0, 3, 2, 90, 90, 2, 8},
        {0, 1, 1, 5, 5, 0, 0},
    };
    EXPECT_EQ(Table(series), expected);
    EXPECT_EQ(series.max_value(vo::wins), 2);
    EXPECT_EQ(series.min_value(vo::wins), 0);

    // A 2-team round changes only the first two teams of a 3-team total.
    series.add(Computed(Script(2, 1, {{0, {{1, 99}}, {}}})));
    EXPECT_EQ(Table(series)[2], expected[2]);
    EXPECT_EQ(series.value(vo::wins, 1), 1);
    EXPECT_EQ(series.value(vo::mostDmg, 0), 99);
    EXPECT_EQ(series.max_value(vo::mostDmg), 99);
}

TEST(ResultStats, NegativeValuesCompareSigned) {
    MatchStats const round = Script(2, -1, {{0, {{1, -4}}, {}}, {1, {{0, 3}}, {}}});
    EXPECT_EQ(Computed(round).min_value(vo::mostDmg), -4);
    ResultStats series;
    series.add(Computed(round));
    EXPECT_EQ(series.value(vo::mostDmg, 0), 0);  // the larger of the empty total's 0 and -4
}

TEST(ResultStats, Errors) {
    EXPECT_EQ(ErrorOf([] { ResultStats().value(vo::NUM_STATS, 0); }), "NUM_STATS is not a valid stat-id!");
    EXPECT_EQ(ErrorOf([] { ResultStats().max_value(vo::NUM_STATS); }), "NUM_STATS is not a valid stat-id!");
    EXPECT_EQ(ErrorOf([] { ResultStats().min_value(vo::NUM_STATS); }), "NUM_STATS is not a valid stat-id!");
    EXPECT_EQ(ErrorOf([] { ResultStats().update_extremes(); }), "no stats are present for id 0");
    EXPECT_EQ(ErrorOf([] { Computed(MatchStats()); }), "no stats are present for id 0");  // a match without teams
    EXPECT_EQ(ErrorOf([] { ResultStats().value(vo::wins, 0); }), "no stat value for team 0 (0 teams)");
    EXPECT_EQ(ErrorOf([] { ResultStats().value(static_cast<StatId>(9), 0); }), "invalid stat-id 9");
}

TEST(ResultStats, ValueText) {
    EXPECT_EQ(vo::StatValueText(0), "-");
    EXPECT_EQ(vo::StatValueText(-3), "-3");
    EXPECT_EQ(vo::StatValueText(12), "12");
    EXPECT_EQ(vo::StatValueText(-2147483647 - 1), "-2147483648");
}

}  // namespace

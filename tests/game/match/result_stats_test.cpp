#include "game/match/result_stats.h"

#include "engine/core/error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vo::ResultStats;
using vo::RoundTallies;
using vo::StatId;

// A round with per-team rows {kills, one-shot kills, damage, one-shot damage,
// self kills, self damage}.
RoundTallies Round(int winner, std::vector<std::vector<int>> const& rows) {
    RoundTallies r;
    r.num_teams = static_cast<int>(rows.size());
    r.winner = winner;
    for (auto const& row : rows) {
        r.kills_per_team.push_back(row[0]);
        r.kills_with_one_shot.push_back(row[1]);
        r.damage_per_team.push_back(row[2]);
        r.damage_with_one_shot.push_back(row[3]);
        r.self_kills_per_team.push_back(row[4]);
        r.self_damage_per_team.push_back(row[5]);
    }
    return r;
}

ResultStats Computed(RoundTallies const& r) {
    ResultStats s;
    s.compute(r);
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
    ResultStats const s = Computed(Round(1, {{2, 1, 80, 50, 0, 0}, {3, 2, 120, 70, 1, 10}, {0, 0, 30, 30, 0, 30}}));
    std::vector<std::vector<int>> const expected = {
        {0, 2, 1, 80, 50, 0, 0},
        {1, 3, 2, 120, 70, 1, 10},
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

TEST(ResultStats, RoundWithoutWinnerAndShortOrBadReaders) {
    RoundTallies r = Round(-1, {{1, 1, 5, 5, 0, 0}, {1, 1, 5, 5, 0, 0}});
    r.num_teams = 3;             // the third team has no reader entries
    r.kills_per_team.push_back(9);
    r.kills_per_team.push_back(9);  // one entry too many is dropped
    ResultStats const s = Computed(r);
    EXPECT_EQ(s.num_teams(), 3);
    EXPECT_EQ(s.max_value(vo::wins), 0);
    EXPECT_EQ(s.value(vo::mostKills, 2), 9);
    EXPECT_EQ(s.value(vo::mostDmg, 2), 0);
    // All teams equal: max equals min.
    EXPECT_EQ(s.max_value(vo::killsWithOneShot), 1);
    EXPECT_EQ(s.min_value(vo::killsWithOneShot), 0);

    r.winner = 7;  // no such team: nobody gets the win
    EXPECT_EQ(Computed(r).max_value(vo::wins), 0);
}

TEST(ResultStats, SeriesSumsWinsAndKeepsEachTeamsBestRound) {
    ResultStats series;
    ResultStats const first = Computed(Round(0, {{2, 2, 40, 40, 1, 5}, {1, 1, 90, 60, 0, 0}, {0, 0, 0, 0, 0, 0}}));
    series.add(first);
    EXPECT_EQ(Table(series), Table(first));  // into an empty total: the round itself

    series.add(Computed(Round(0, {{1, 1, 50, 20, 0, 3}, {4, 3, 10, 10, 2, 8}, {1, 1, 5, 5, 0, 0}})));
    series.add(Computed(Round(-1, {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}})));  // a draw
    std::vector<std::vector<int>> const expected = {
        {2, 2, 2, 50, 40, 1, 5},
        {0, 4, 3, 90, 60, 2, 8},
        {0, 1, 1, 5, 5, 0, 0},
    };
    EXPECT_EQ(Table(series), expected);
    EXPECT_EQ(series.max_value(vo::wins), 2);
    EXPECT_EQ(series.min_value(vo::wins), 0);

    // A 2-team round changes only the first two teams of a 3-team total.
    series.add(Computed(Round(1, {{9, 9, 99, 99, 9, 99}, {0, 0, 0, 0, 0, 0}})));
    EXPECT_EQ(Table(series)[2], expected[2]);
    EXPECT_EQ(series.value(vo::wins, 1), 1);
    EXPECT_EQ(series.value(vo::mostDmg, 0), 99);
    EXPECT_EQ(series.max_value(vo::mostDmg), 99);
}

TEST(ResultStats, NegativeValuesCompareSigned) {
    ResultStats series;
    series.add(Computed(Round(-1, {{0, 0, -4, 0, 0, 0}, {0, 0, 3, 0, 0, 0}})));
    EXPECT_EQ(series.value(vo::mostDmg, 0), 0);  // the larger of the empty total's 0 and -4
    EXPECT_EQ(Computed(Round(-1, {{0, 0, -4, 0, 0, 0}, {0, 0, 3, 0, 0, 0}})).min_value(vo::mostDmg), -4);
}

TEST(ResultStats, Errors) {
    EXPECT_EQ(ErrorOf([] { ResultStats().value(vo::NUM_STATS, 0); }), "NUM_STATS is not a valid stat-id!");
    EXPECT_EQ(ErrorOf([] { ResultStats().max_value(vo::NUM_STATS); }), "NUM_STATS is not a valid stat-id!");
    EXPECT_EQ(ErrorOf([] { ResultStats().min_value(vo::NUM_STATS); }), "NUM_STATS is not a valid stat-id!");
    EXPECT_EQ(ErrorOf([] { ResultStats().update_extremes(); }), "no stats are present for id 0");
    EXPECT_EQ(ErrorOf([] { Computed(RoundTallies()); }), "no stats are present for id 0");
    EXPECT_EQ(ErrorOf([] { ResultStats().value(vo::wins, 0); }), "no stat value for team 0 (0 teams)");
    EXPECT_EQ(ErrorOf([] { ResultStats().value(static_cast<StatId>(9), 0); }), "invalid stat-id 9");
}

TEST(ResultStats, ValueText) {
    EXPECT_EQ(vo::StatValueText(0), "-");
    EXPECT_EQ(vo::StatValueText(-3), "-3");
    EXPECT_EQ(vo::StatValueText(12), "12");
}

}  // namespace

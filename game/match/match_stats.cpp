#include "game/match/match_stats.h"

#include "engine/core/error.h"

#include <algorithm>
#include <cstddef>
#include <sstream>
#include <utility>

namespace vo {

namespace {

void CheckTeam(int team, int num_teams, const char* role, std::size_t turn) {
    if (team >= 0 && team < num_teams) return;
    std::ostringstream msg;
    msg << "MatchStats: the " << role << " team " << team << " of turn " << turn
        << " is not a team of the match (" << num_teams << " teams)";
    throw Error(msg.str());
}

std::vector<TeamValue> NoValues(int num_teams) {
    std::vector<TeamValue> values(static_cast<std::size_t>(num_teams));
    for (int t = 0; t < num_teams; ++t) values[static_cast<std::size_t>(t)].team = t;
    return values;
}

}  // namespace

MatchStats::MatchStats() = default;

void MatchStats::init(MatchSettings const& settings) {
    bool complete = settings.num_teams() > 0;
    for (TeamDesc const& team : settings.teams()) complete = complete && !team.members.empty();
    if (!complete) throw Error("There have to be teams and each team has to have members!");
    MatchSettings copy = settings;
    settings_ = std::move(copy);
    rounds_.clear();
    winner_ = -1;
}

void MatchStats::next_round(int team, int member) {
    Round round;
    round.team = team;
    round.member = member;
    rounds_.push_back(std::move(round));
}

MatchStats::Round& MatchStats::current_round() {
    if (rounds_.empty()) throw Error("On has to initialize each round in MatchStats with next_round()");
    return rounds_.back();
}

void MatchStats::add_damage(int team, int member, int amount) {
    DamageEvent event;
    event.team = team;
    event.member = member;
    event.amount = amount;
    current_round().damage.push_back(event);
}

void MatchStats::add_kill(int team, int member) {
    KillEvent event;
    event.team = team;
    event.member = member;
    current_round().kills.push_back(event);
}

void MatchStats::set_winner(int team) { winner_ = team; }

void MatchStats::check_team_indices() const {
    int const n = num_teams();
    for (std::size_t turn = 0; turn < rounds_.size(); ++turn) {
        Round const& round = rounds_[turn];
        CheckTeam(round.team, n, "acting", turn);
        for (DamageEvent const& d : round.damage) CheckTeam(d.team, n, "damaged", turn);
        for (KillEvent const& k : round.kills) CheckTeam(k.team, n, "killed", turn);
    }
}

std::vector<TeamValue> MatchStats::damage_per_team() const {
    check_team_indices();
    std::vector<TeamValue> values = NoValues(num_teams());
    for (Round const& round : rounds_) {
        for (DamageEvent const& d : round.damage) values[static_cast<std::size_t>(round.team)].value += d.amount;
    }
    return values;
}

std::vector<TeamValue> MatchStats::self_damage_per_team() const {
    check_team_indices();
    std::vector<TeamValue> values = NoValues(num_teams());
    for (Round const& round : rounds_) {
        for (DamageEvent const& d : round.damage) {
            if (d.team == round.team) values[static_cast<std::size_t>(d.team)].value += d.amount;
        }
    }
    return values;
}

std::vector<TeamValue> MatchStats::damage_with_one_shot() const {
    check_team_indices();
    std::vector<TeamValue> values = NoValues(num_teams());
    for (Round const& round : rounds_) {
        // The turn's sum is formed in float and kept truncated, as the
        // record has always been computed.
        float sum = 0.0f;
        for (DamageEvent const& d : round.damage) sum += static_cast<float>(d.amount);
        TeamValue& best = values[static_cast<std::size_t>(round.team)];
        if (sum > static_cast<float>(best.value)) {
            best.value = static_cast<int>(sum);
            best.member = round.member;
        }
    }
    return values;
}

std::vector<int> MatchStats::kills_per_team() const {
    check_team_indices();
    std::vector<int> values(static_cast<std::size_t>(num_teams()), 0);
    for (Round const& round : rounds_) values[static_cast<std::size_t>(round.team)] += static_cast<int>(round.kills.size());
    return values;
}

std::vector<int> MatchStats::self_kills_per_team() const {
    check_team_indices();
    std::vector<int> values(static_cast<std::size_t>(num_teams()), 0);
    for (Round const& round : rounds_) {
        for (KillEvent const& k : round.kills) {
            if (k.team == round.team) ++values[static_cast<std::size_t>(k.team)];
        }
    }
    return values;
}

std::vector<int> MatchStats::kills_with_one_shot() const {
    check_team_indices();
    std::vector<int> values(static_cast<std::size_t>(num_teams()), 0);
    for (Round const& round : rounds_) {
        int& best = values[static_cast<std::size_t>(round.team)];
        best = std::max(best, static_cast<int>(round.kills.size()));
    }
    return values;
}

}  // namespace vo

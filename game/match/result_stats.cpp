#include "game/match/result_stats.h"

#include "engine/core/error.h"
#include "game/app/int_to_string.h"
#include "game/match/match_stats.h"

#include <algorithm>
#include <sstream>

namespace vo {

namespace {

void CheckId(StatId id) {
    if (id == NUM_STATS) throw Error("NUM_STATS is not a valid stat-id!");
    if (id < 0 || id > NUM_STATS) {
        std::ostringstream msg;
        msg << "invalid stat-id " << static_cast<int>(id);
        throw Error(msg.str());
    }
}

// The value fields of a damage reader.
std::vector<int> Values(std::vector<TeamValue> const& entries) {
    std::vector<int> out;
    out.reserve(entries.size());
    for (TeamValue const& e : entries) out.push_back(e.value);
    return out;
}

}  // namespace

void ResultStats::compute(MatchStats const& stats) {
    int const n = stats.num_teams();
    values_[wins].assign(static_cast<std::size_t>(n), 0);
    int const winner = stats.winner();
    if (winner >= 0 && winner < n) values_[wins][static_cast<std::size_t>(winner)] = 1;
    values_[mostKills] = stats.kills_per_team();
    values_[killsWithOneShot] = stats.kills_with_one_shot();
    values_[mostDmg] = Values(stats.damage_per_team());
    values_[dmgWithOneShot] = Values(stats.damage_with_one_shot());
    values_[mostSelfKills] = stats.self_kills_per_team();
    values_[mostSelfDmg] = Values(stats.self_damage_per_team());
    update_extremes();
}

void ResultStats::add(ResultStats const& round) {
    std::size_t const n = round.values_[wins].size();
    if (values_[wins].size() < n) {
        for (auto& v : values_) {
            if (v.size() < n) v.resize(n, 0);
        }
    }
    for (int id = 0; id < NUM_STATS; ++id) {
        std::vector<int> const& from = round.values_[id];
        std::vector<int>& to = values_[id];
        std::size_t const count = std::min(n, from.size());
        for (std::size_t t = 0; t < count; ++t) {
            if (id == wins) {
                to[t] += from[t];
            } else {
                to[t] = std::max(to[t], from[t]);
            }
        }
    }
    update_extremes();
}

int ResultStats::value(StatId id, int team) const {
    CheckId(id);
    std::vector<int> const& v = values_[id];
    if (team < 0 || static_cast<std::size_t>(team) >= v.size()) {
        std::ostringstream msg;
        msg << "no stat value for team " << team << " (" << v.size() << " teams)";
        throw Error(msg.str());
    }
    return v[static_cast<std::size_t>(team)];
}

int ResultStats::max_value(StatId id) const {
    CheckId(id);
    return max_values_[id];
}

int ResultStats::min_value(StatId id) const {
    CheckId(id);
    return min_values_[id];
}

void ResultStats::update_extremes() {
    for (int id = 0; id < NUM_STATS; ++id) {
        std::vector<int> const& v = values_[id];
        if (v.empty()) {
            std::ostringstream msg;
            msg << "no stats are present for id " << id;
            throw Error(msg.str());
        }
        auto const extremes = std::minmax_element(v.begin(), v.end());
        min_values_[id] = *extremes.first;
        max_values_[id] = *extremes.second;
    }
}

std::string StatValueText(int value) {
    if (value == 0) return "-";
    return IntToString(value);
}

}  // namespace vo

#include "game/match/result_stats.h"

#include "engine/core/error.h"

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

// Exactly n entries taken from the reader's list, 0 where it has none.
std::vector<int> Entries(std::vector<int> const& reader, int n) {
    std::vector<int> out(static_cast<std::size_t>(n), 0);
    std::size_t const count = std::min(out.size(), reader.size());
    std::copy(reader.begin(), reader.begin() + static_cast<std::ptrdiff_t>(count), out.begin());
    return out;
}

}  // namespace

void ResultStats::compute(RoundTallies const& round) {
    int const n = std::max(round.num_teams, 0);
    values_[wins].assign(static_cast<std::size_t>(n), 0);
    if (round.winner >= 0 && round.winner < n) values_[wins][static_cast<std::size_t>(round.winner)] = 1;
    values_[mostKills] = Entries(round.kills_per_team, n);
    values_[killsWithOneShot] = Entries(round.kills_with_one_shot, n);
    values_[mostDmg] = Entries(round.damage_per_team, n);
    values_[dmgWithOneShot] = Entries(round.damage_with_one_shot, n);
    values_[mostSelfKills] = Entries(round.self_kills_per_team, n);
    values_[mostSelfDmg] = Entries(round.self_damage_per_team, n);
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
    return std::to_string(value);
}

}  // namespace vo

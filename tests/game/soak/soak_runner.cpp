#include "soak_runner.h"


#include "engine/core/error.h"
#include "engine/physics/collision_events.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/health.h"
#include "engine/sfml/engine.h"
#include "engine/sfml/sfml_engine.h"
#include "engine/scene/entity.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/fluid_behavior.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/behaviors/rest.h"
#include "game/level/fluid.h"
#include "game/level/level_geometry_handle.h"
#include "game/match/match.h"
#include "game/match/match_internals.h"
#include "game/match/match_seed.h"
#include "game/match/match_entities.h"
#include "game/menus/match_results_screen.h"
#include "support/game/game_environment.h"
#include "support/game/level_invariants.h"
#include "support/game/scripted_devices.h"

#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <iomanip>
#include <map>
#include <set>
#include <sstream>

namespace vo_test {

namespace {

using Phase = vo::MatchPhase;
constexpr double kStep = 1.0 / 60.0;
// An explosion lives one second.
constexpr double kMaxExplosionLife = 1.5;
// Broken level checks reported per round.
constexpr int kMaxLevelReports = 3;

std::uint64_t Fnv1a(std::string const& text, std::uint64_t hash = 1469598103934665603ull) {
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

struct ExplosionKey {
    vo::Entity* entity;
    float x;
    float y;
    bool operator<(ExplosionKey const& o) const {
        if (entity != o.entity) return entity < o.entity;
        if (x != o.x) return x < o.x;
        return y < o.y;
    }
};

// The entities that keep the match from resting, with where they are and
// how fast their bodies move.
std::string RestlessEntities(vo::Match& match) {
    vo::MatchInternals inside(match);
    std::ostringstream text;
    for (unsigned i = 0; i < inside.scene().num_entities(); ++i) {
        vo::Entity* entity = inside.scene().entity(i);
        auto* rest = entity->get_behavior<vo::behaviors::Rest>();
        if (!rest || rest->is_resting()) continue;
        vo::vector3 at;
        if (entity->get_behavior<vo::behaviors::Transform>()) vo::GetPosition(entity, at);
        text << "\n  restless " << entity->object_type_name() << " at " << at;
        if (vo::SoftBody* body = vo::BodyOf(entity)) text << " velocity " << body->get_velocity();
    }
    return text.str();
}

bool Finite(vo::vector3 const& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// Shader effects alive in the engine.
int LiveEffects() {
    auto* backend = dynamic_cast<vo::SFML_Engine*>(&vo::Engine::instance());
    return backend ? static_cast<int>(backend->live_effect_count()) : -1;
}

// Rides on a slob and notes what reached it in a step: a blast, or a hit
// against the rock or another body. It changes nothing.
class HarmWitness : public vo::IBehavior {
public:
    IBehavior* clone() const override { return new HarmWitness(); }
    bool accepts_game_events() const override { return true; }
    void handle_game_event(vo::GameEvent const& event) override {
        if (event.type == vo::EventTypeId<vo::ExplosionEvent>())
            blast = true;
        else if (event.type == vo::EventTypeId<vo::EntityWorldCollisionEvent>() ||
                 event.type == vo::EventTypeId<vo::EntityEntityCollisionEvent>())
            hit = true;
    }
    bool blast = false;
    bool hit = false;
};

// What last hurt each slob of a round, and how each one died.
class DeathCauses {
public:
    enum Cause { unknown, enemy_blast, own_blast, lava, fall };

    // After a step: the health drops of the living slobs and their causes,
    // and the causes of the slobs that have died since the last step.
    void observe(vo::Match& match, long step, SoakReport& report) {
        vo::MatchInternals inside(match);
        std::vector<vo::SlobRecord> const& slobs = inside.slobs();
        if (slobs.size() != slobs_.size()) slobs_.assign(slobs.size(), Slob());
        const vo::TeamState* acting = inside.current_team_state();
        const int acting_team = acting ? static_cast<int>(acting - inside.teams().data()) : -1;
        for (std::size_t i = 0; i < slobs.size(); ++i) {
            Slob& s = slobs_[i];
            vo::Entity* entity = slobs[i].entity;
            if (!entity) {
                if (s.alive) count(s, report);
                s = Slob();
                continue;
            }
            auto* slob = dynamic_cast<vo::SlobEntity*>(entity);
            if (!slob) continue;
            auto* witness = slob->get_behavior<HarmWitness>();
            if (!witness) {
                witness = slob->add_behavior<HarmWitness>("harmWitness");
                witness->initialize(slob);
            }
            const float health = slob->health_behavior()->value;
            vo::GetPosition(slob, s.position);
            if (s.alive && health < s.health) {
                if (witness->blast) {
                    s.blast_team = acting_team;
                    s.blast_step = step;
                    s.cause = acting_team == slobs[i].team ? own_blast : enemy_blast;
                } else if (witness->hit) {
                    // Thrown into the rock by a recent blast: the blast's.
                    const bool flung = s.blast_team >= 0 && step - s.blast_step < kFlightSteps;
                    s.cause = flung ? (s.blast_team == slobs[i].team ? own_blast : enemy_blast) : fall;
                } else {
                    s.cause = lava;
                }
            }
            s.alive = true;
            s.health = health;
            witness->blast = false;
            witness->hit = false;
        }
    }

private:
    // Steps after a blast in which a hit against the rock is the blast's.
    static constexpr long kFlightSteps = 180;
    // Beyond this distance from the centre a slob has left the level.
    static constexpr float kLeftTheLevel = 200.0f;

    struct Slob {
        bool alive = false;
        float health = 0.0f;
        vo::vector3 position;
        Cause cause = unknown;
        int blast_team = -1;
        long blast_step = 0;
    };

    static void count(Slob const& s, SoakReport& report) {
        const bool left = std::hypot(s.position.x, s.position.y) > kLeftTheLevel;
        switch (left ? fall : s.cause) {
            case enemy_blast: ++report.enemy_kills; break;
            case own_blast: ++report.own_kills; break;
            case lava: ++report.lava_kills; break;
            default: ++report.fall_kills; break;
        }
    }

    std::vector<Slob> slobs_;
};

// Observes one round: the phases, the turns and the throws.
struct RoundWatch {
    explicit RoundWatch(vo::Match& match) : match(match) {}

    void on_phase(vo::MatchPhase, vo::MatchPhase phase) {
        last_change_step = steps;
        if (phase == Phase::play) {
            if (!first_turn_seen) {
                first_turn_seen = true;
                for (std::size_t i = 0; i < inside.slobs().size(); ++i)
                    if (!inside.slobs()[i].entity) dead_before_first_turn.insert(i);
            }
            vo::TeamState* team = inside.current_team_state();
            if (team && team->cpu_controlled == 1) ++cpu_turns;
        }
        if (phase == Phase::shot_fired) {
            vo::TeamState* team = inside.current_team_state();
            if (team && team->cpu_controlled == 1) {
                ++throws;
                turns_with_throw.insert(inside.stats().rounds().size() - 1);
            }
        }
    }

    vo::Match& match;
    vo::MatchInternals inside{match};
    long steps = 0;
    long last_change_step = 0;
    bool first_turn_seen = false;
    std::set<std::size_t> dead_before_first_turn;
    std::set<std::size_t> turns_with_throw;
    int cpu_turns = 0;
    int throws = 0;
};

// The round's checks at the results; problems go to failures.
void CheckRoundEnd(vo::Match& match, RoundWatch const& watch, std::vector<int> const& points_before,
                   std::vector<std::string>& failures, std::string const& where) {
    vo::MatchInternals inside(match);
    vo::MatchStats const& stats = inside.stats();
    const int n = static_cast<int>(inside.teams().size());

    std::vector<bool> living(static_cast<std::size_t>(n), false);
    int removed = 0;
    for (std::size_t i = 0; i < inside.slobs().size(); ++i) {
        vo::SlobRecord const& record = inside.slobs()[i];
        if (record.entity)
            living[static_cast<std::size_t>(record.team)] = true;
        else if (!watch.dead_before_first_turn.count(i))
            ++removed;
    }
    const int winner = stats.winner();
    for (int t = 0; t < n; ++t) {
        const bool should_live = t == winner;
        if (living[static_cast<std::size_t>(t)] != should_live) {
            std::ostringstream text;
            text << where << ": winner " << winner << " but team " << t
                 << (living[static_cast<std::size_t>(t)] ? " has" : " has no") << " living slob";
            failures.push_back(text.str());
        }
        const int expected = points_before[static_cast<std::size_t>(t)] + (t == winner ? 10 : 0);
        if (inside.settings().teams()[static_cast<std::size_t>(t)].points != expected)
            failures.push_back(where + ": points of team " + std::to_string(t) + " are " +
                               std::to_string(inside.settings().teams()[static_cast<std::size_t>(t)].points) +
                               ", expected " + std::to_string(expected));
    }

    int kills = 0;
    for (int k : stats.kills_per_team()) kills += k;
    if (kills != removed)
        failures.push_back(where + ": " + std::to_string(kills) + " kills recorded, " + std::to_string(removed) +
                           " slobs removed");

    long all = 0;
    std::vector<long> own(static_cast<std::size_t>(n), 0);
    for (auto const& turn : stats.rounds())
        for (auto const& event : turn.damage) {
            all += event.amount;
            if (event.team == turn.team) own[static_cast<std::size_t>(turn.team)] += event.amount;
        }
    long reader_all = 0;
    for (auto const& v : stats.damage_per_team()) reader_all += v.value;
    if (reader_all != all)
        failures.push_back(where + ": damage readers sum " + std::to_string(reader_all) + ", events " +
                           std::to_string(all));
    for (auto const& v : stats.self_damage_per_team())
        if (v.value != own[static_cast<std::size_t>(v.team)])
            failures.push_back(where + ": self damage of team " + std::to_string(v.team) + " is " +
                               std::to_string(v.value) + ", events " + std::to_string(own[static_cast<std::size_t>(v.team)]));

}

// Every turn of the round, the winner and the level's edit log.
void TraceRound(vo::Match& match, int round, std::ostream& out) {
    vo::MatchInternals inside(match);
    vo::MatchStats const& stats = inside.stats();
    out << "round " << round << " start_team " << inside.start_team() << "\n";
    for (auto const& turn : stats.rounds()) {
        out << "turn " << turn.team << " " << turn.member;
        for (auto const& d : turn.damage) out << " d" << d.team << "." << d.member << "=" << d.amount;
        for (auto const& k : turn.kills) out << " k" << k.team << "." << k.member;
        out << "\n";
    }
    out << "winner " << stats.winner() << "\n";
    inside.serialize();
    vo::BinaryBuffer& buffer = inside.snapshot_buffer();
    const std::string bytes(buffer.buffer() ? buffer.buffer() : "", buffer.write_pos());
    out << "level " << std::hex << Fnv1a(bytes) << std::dec << " bytes " << bytes.size() << "\n";
}

}  // namespace

std::string SoakReport::failure_text() const {
    std::string text;
    for (std::string const& f : failures) text += f + "\n";
    return text;
}

double SoakReport::own_damage_share() const {
    const long all = enemy_damage + own_damage;
    return all > 0 ? static_cast<double>(own_damage) / static_cast<double>(all) : 0.0;
}

double SoakReport::own_kill_share() const {
    return cpu_kills > 0 ? static_cast<double>(cpu_own_kills) / static_cast<double>(cpu_kills) : 0.0;
}

double SoakReport::median_round_seconds() const {
    if (round_seconds.empty()) return 0.0;
    std::vector<double> sorted = round_seconds;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
}

void PrepareSoakData(TestDataSet& data, SoakOptions const& options) {
    data.edit("game_config.info", [&](boost::property_tree::ptree& c) {
        if (!options.shipped_data) {
            c.put("roundTime", options.round_time);
            c.put("numMines", 6);
            c.put("randLava.numFields", 30);
        }
        if (options.jump_velocity > 0.0) c.put("jumpVelocity", options.jump_velocity);
    });
    if (options.shipped_data) return;
    if (options.clusters_first) {
        data.edit("weapons.info", [](boost::property_tree::ptree& w) {
            // Cluster bombs first; when they are used up the turn starts with
            // the last listed weapon that has throws (the grenade, unlimited).
            w.put("availableWeapons.defaultWeapon", "clusterBomb");
        });
    }
    if (options.many_items) {
        data.edit("items.info", [](boost::property_tree::ptree& items) {
            items.put("frequency", 1);
            items.put("maxThrowsPerRound", 2);
            items.put("maxInitialThrows", 2);
        });
    }
}

SoakReport RunSoak(SoakOptions const& options, std::ostream* trace) {
    SoakReport report;
    const auto wall_start = std::chrono::steady_clock::now();

    TestDataSet data;
    PrepareSoakData(data, options);
    AppSetup setup;
    setup.config_info = data.config_info();
    GameEnvironment env(setup);
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    ScriptedDevices::install(inside.controls());  // idle human teams press nothing

    vo::MatchSettings settings = TeamsOf(options.teams, options.members, true);
    if (options.idle_last_team) {
        vo::MatchSettings mixed;
        for (std::size_t t = 0; t < settings.num_teams(); ++t) {
            const bool cpu = t + 1 < settings.num_teams();
            vo::TeamDesc team = settings.teams()[t];
            team.cpuControlled = cpu;
            mixed.add_team(team, cpu, settings.colours()[t]);
        }
        settings = mixed;
    }

    RoundWatch watch(match);
    inside.set_phase_observer([&](vo::MatchPhase from, vo::MatchPhase to) { watch.on_phase(from, to); });
    match.set_cpu_level(options.cpu_level);
    vo::SetMatchSeedOverride(options.seed * 1000);
    match.show_level_preview(options.seed, -1.0f);
    match.start_match(settings, false);
    env.push_match();

    // Every round starts as the first did: the same number of entities,
    // and every shader effect of the rounds before handed back.
    int baseline_entities = -1;
    int baseline_effects = -1;
    auto check_fresh_round = [&](std::string const& where) {
        const int entities = static_cast<int>(inside.scene().num_entities());
        const int effects = LiveEffects();
        if (baseline_entities < 0) {
            baseline_entities = entities;
            baseline_effects = effects;
            return;
        }
        if (entities != baseline_entities)
            report.failures.push_back(where + ": starts with " + std::to_string(entities) +
                                      " entities, the first round with " + std::to_string(baseline_entities));
        if (effects != baseline_effects)
            report.failures.push_back(where + ": starts with " + std::to_string(effects) +
                                      " shader effects alive, the first round with " + std::to_string(baseline_effects));
    };
    std::ostringstream trace_text;
    trace_text << "soak teams " << options.teams << " members " << options.members << " level " << options.cpu_level
               << " seed " << options.seed << "\n";

    for (int round = 0; round < options.rounds; ++round) {
        const std::string where = "round " + std::to_string(round);
        std::vector<int> points_before;
        for (vo::TeamDesc const& team : inside.settings().teams()) points_before.push_back(team.points);
        watch.first_turn_seen = false;
        watch.dead_before_first_turn.clear();
        watch.turns_with_throw.clear();
        watch.steps = 0;
        watch.last_change_step = 0;
        const int cpu_turns_before = watch.cpu_turns;
        std::size_t carves_seen = inside.level()->edit_log().size();
        bool given_up = false;
        std::map<ExplosionKey, long> explosions;  // and the step each was first seen
        bool round_checked = false;
        int level_problems = 0;
        DeathCauses causes;

        while (!env.app().top<vo::MatchResultsScreen>()) {
            try {
                env.step();
            } catch (vo::Error const& e) {
                report.failures.push_back(where + ": Error: " + e.message());
                return report;
            } catch (std::exception const& e) {
                report.failures.push_back(where + ": exception: " + e.what());
                return report;
            }
            ++watch.steps;
            ++report.steps;
            causes.observe(match, watch.steps, report);
            if (!round_checked && match.phase() != Phase::match_start) {
                // The level, the slobs and the mines of a fresh round.
                round_checked = true;
                check_fresh_round(where);
            }

            for (unsigned i = 0; i < inside.scene().num_entities(); ++i) {
                vo::Entity* entity = inside.scene().entity(i);
                if (auto* fluid = dynamic_cast<vo::FluidEntity*>(entity)) {
                    vo::Fluid const& particles = fluid->fluid_behavior()->fluid();
                    bool finite = true;
                    for (unsigned p = 0; p < particles.num_particles(); ++p)
                        finite = finite && Finite(particles.position(p)) && Finite(particles.velocity(p));
                    if (!finite) {
                        report.failures.push_back(where + ": a fluid particle is not finite");
                        return report;
                    }
                    continue;
                }
                vo::SoftBody* body = vo::BodyOf(entity);
                if (!body) continue;
                bool finite = true;
                for (int p = 0; p < body->num_points(); ++p) finite = finite && Finite(body->point_get_coords(p));
                for (int p = 0; p < body->num_particles(); ++p)
                    finite = finite && Finite(body->particle_get_velocity(p));
                if (!finite) {
                    report.failures.push_back(where + ": a body of " +
                                              std::string(entity->object_type_name()) +
                                              " has a point that is not finite");
                    return report;
                }
            }

            // Explosions go after their second; nothing piles up. (An
            // explosion is known by its entity and its place: a new one may
            // take the memory of one just gone.)
            std::map<ExplosionKey, long> still;
            for (unsigned i = 0; i < inside.scene().num_entities(); ++i) {
                vo::Entity* entity = inside.scene().entity(i);
                if (std::string(entity->object_type_name()) != "ExplosionEntity") continue;
                vo::vector3 at;
                vo::GetPosition(entity, at);
                const ExplosionKey key{entity, at.x, at.y};
                auto seen = explosions.find(key);
                const long since = seen == explosions.end() ? watch.steps : seen->second;
                still[key] = since;
                if ((watch.steps - since) * kStep > kMaxExplosionLife) {
                    report.failures.push_back(where + ": an explosion still there after " +
                                              std::to_string(kMaxExplosionLife) + " s");
                    return report;
                }
            }
            explosions.swap(still);

            const std::size_t carves = inside.level()->edit_log().size();
            if (carves != carves_seen) {
                report.carves += static_cast<int>(carves - carves_seen);
                carves_seen = carves;
                vo::LevelGeometryImpl& level = inside.level()->geometry();
                const LevelInvariantReport check = CheckLevelInvariants(level, CarveInteriors(level));
                // Recorded, and the round goes on: what follows a broken
                // level is worth seeing too.
                if (!check.ok() && ++level_problems <= kMaxLevelReports) {
                    vo::LevelEditRecord const& last = inside.level()->edit_log().back();
                    std::ostringstream text;
                    text << where << ": level after carve " << carves << " (" << last.x << ", " << last.y << ") r "
                         << last.radius << ":\n"
                         << check.text();
                    report.failures.push_back(text.str());
                }
            }

            if ((watch.steps - watch.last_change_step) * kStep > options.watchdog_seconds) {
                report.failures.push_back(where + ": phase " + std::to_string(static_cast<int>(match.phase())) + " for " +
                                          std::to_string(options.watchdog_seconds) + " s" + RestlessEntities(match));
                return report;
            }
            // Turns that go on and on are play, not a fault (the watchdog
            // catches a match that stops changing phase): the round is given
            // up at the start of the next turn.
            const bool too_long = watch.steps * kStep > options.max_round_seconds;
            if ((too_long || watch.cpu_turns - cpu_turns_before > options.max_cpu_turns) &&
                match.phase() == Phase::play) {
                given_up = true;
                break;
            }
        }
        const double round_seconds = static_cast<double>(watch.steps) * kStep;
        report.simulated_seconds += round_seconds;
        report.round_seconds.push_back(round_seconds);
        if (!given_up && round_seconds <= options.decision_seconds) ++report.decided;

        // Turns, throws and hits of the computer teams in this round.
        vo::MatchStats const& stats = inside.stats();
        for (std::size_t i = 0; i < stats.rounds().size(); ++i) {
            auto const& turn = stats.rounds()[i];
            if (inside.teams()[static_cast<std::size_t>(turn.team)].cpu_controlled != 1) continue;
            long enemy = 0;
            for (auto const& d : turn.damage) {
                if (d.team != turn.team)
                    enemy += d.amount;
                else
                    report.own_damage += d.amount;
            }
            report.enemy_damage += enemy;
            for (auto const& k : turn.kills) {
                ++report.cpu_kills;
                if (k.team == turn.team) ++report.cpu_own_kills;
            }
            if (watch.turns_with_throw.count(i) && enemy > 0) ++report.hits;
        }
        report.cpu_turns += watch.cpu_turns - cpu_turns_before;
        report.throws += static_cast<int>(watch.turns_with_throw.size());

        if (given_up) {
            ++report.rounds_given_up;
            report.winners.push_back(-2);
            trace_text << "round " << round << " given up\n";
        } else {
            ++report.rounds;
            report.winners.push_back(stats.winner());
            CheckRoundEnd(match, watch, points_before, report.failures, where);
            TraceRound(match, round, trace_text);
        }
        bool only_level = true;
        for (std::string const& f : report.failures) only_level = only_level && f.find(": level after carve") != std::string::npos;
        if (!report.ok() && !only_level) break;

        if (round + 1 < options.rounds) {
            vo::SetMatchSeedOverride(options.seed * 1000 + round + 1);
            if (given_up) {
                const vo::MatchSettings copy = inside.settings();
                match.start_match(copy, false);
            } else {
                env.app().top<vo::MatchResultsScreen>()->on_fight_again(nullptr);
                env.step();
            }
        }
    }

    // The last round is held to the same count: one more round is set up
    // (not played, and not part of the trace).
    if (report.ok() && env.app().top<vo::MatchResultsScreen>()) {
        vo::SetMatchSeedOverride(options.seed * 1000 + options.rounds);
        env.app().top<vo::MatchResultsScreen>()->on_fight_again(nullptr);
        env.step();
        int steps = 0;
        do {
            env.step();
        } while (match.phase() == Phase::match_start && ++steps < 100000);
        check_fresh_round("after the last round");
    }

    vo::ClearMatchSeedOverride();
    report.lava_lost = vo::Inspect(match).lost_fluid_particles();
    report.trace_hash = Fnv1a(trace_text.str());
    if (trace) *trace << trace_text.str();
    report.wall_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    return report;
}

}  // namespace vo_test

// The computer player's difficulty in play, with the shipped data: the same
// seeded turns (a thrower and a target standing still on the floors of
// generated levels, the grenade flying in the real physics) played at each
// difficulty, each turn with two seeds of the player's random error. A turn
// counts when every player throws. Harder players hit more often and do more
// damage per turn, each step up by more than the two seeds differ at any
// difficulty. LEVELS=n plays n levels instead of 2 (30 placements each) and
// prints the table only.

#include "ai_turn_driver.h"

#include "engine/core/random.h"
#include "engine/physics/physics_handler.h"
#include "engine/scene/health.h"
#include "engine/scene/transform_behavior.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <iostream>

namespace {

using namespace vo;
using vo_test::AITurnDriver;
using vo_test::LevelSceneHarness;

constexpr int kSeeds = 2;
constexpr int kDifficulties = 3;

struct Tally {
    int turns = 0;   // turns in which the player threw
    int hits = 0;    // throws that hurt the target
    float damage = 0.0f;
    float miss = 0.0f;  // summed distance from the target to where the grenade went off

    float hit_rate() const { return turns ? static_cast<float>(hits) / static_cast<float>(turns) : 0.0f; }
    float damage_per_turn() const { return turns ? damage / static_cast<float>(turns) : 0.0f; }
    float mean_miss() const { return turns ? miss / static_cast<float>(turns) : 0.0f; }
    void add(Tally const& o) {
        turns += o.turns;
        hits += o.hits;
        damage += o.damage;
        miss += o.miss;
    }
};

// Turn t of level: a thrower and a target on the level's ground; the
// difficulty's throw with the seed's error draws. False when the player
// finds no shot there (it would walk). The level is generated again only
// after a throw has carved it.
bool PlayTurn(LevelSceneHarness& world, int level, int t, int difficulty, int seed, Tally& tally, bool& carved) {
    if (carved) {
        world.new_level(level);
        carved = false;
    }
    world.scene().physics_handler()->set_gravity(vector3(0, -world.config().gravity, 0));
    const int a = t % 5;
    const int b = (a + 1 + (t / 5) % 4) % 6;
    vector3 from;
    vector3 to;
    try {
        from = world.ground_spot(4.0f, a);
        to = world.ground_spot(4.0f, b);
    } catch (std::exception const&) {
        return false;
    }
    SlobEntity* thrower = world.add_slob(vector3(from.x, from.y + 1.2f, 0));
    SlobEntity* target = world.add_slob(vector3(to.x, to.y + 1.2f, 0));
    world.step(60);

    WorldDesc desc;
    desc.scene = &world.scene();
    desc.collision_node = world.level().collision_node();
    desc.config = SmartPtr<MatchConfig>(new MatchConfig(world.config()));
    desc.entities = {EntityDesc{1, thrower, 0}, EntityDesc{1, target, 1}};

    AIPlayer player;
    player.difficulty = difficulty;
    SeedRand(static_cast<unsigned>(1000 + t + 7919 * seed));
    player.begin_turn(desc.entities[0], desc);
    AITurnDriver driver(world, player, thrower, *desc.config);
    auto leave = [&] {
        thrower->kill_entity();
        target->kill_entity();
        world.step();
        return false;
    };
    for (int i = 0; i < 60 * 10 && !driver.thrown; ++i) {
        driver.step();
        if (player.state() == AIPlayer::start_walk) return leave();
    }
    if (!driver.thrown) return leave();
    carved = true;
    Entity* grenade = driver.thrown;
    vector3 last;
    world.step_until(
        [&] {
            if (!world.holds(grenade)) return true;
            GetPosition(grenade, last);
            return false;
        },
        60 * 6);
    vector3 aimed;
    GetPosition(target, aimed);
    tally.miss += std::hypot(last.x - aimed.x, last.y - aimed.y);
    world.step(30);
    const float health = target->health_behavior()->value;
    tally.turns += 1;
    tally.hits += health < 100.0f;
    tally.damage += 100.0f - health;
    return true;
}

TEST(AIDifficulty, EachHarderPlayerHitsMoreOftenAndHurtsMoreThanTheSeedsDiffer) {
    LevelSceneHarness world;
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a statistical figure; the soak plays the computer player under the sanitizers";
#endif
    const char* levels = std::getenv("LEVELS");
    const int kLevels = levels ? std::atoi(levels) : 2;
    constexpr int kTurnsPerLevel = 30;
    Tally tallies[kSeeds][kDifficulties];
    int played = 0;
    for (int level = 0; level < kLevels; ++level) {
        bool carved = true;
        for (int t = 0; t < kTurnsPerLevel; ++t) {
            // Whether the player throws at all is decided before any draw of
            // the difficulty's error: when one walks, all would.
            Tally probe[kSeeds][kDifficulties];
            bool all = true;
            for (int s = 0; s < kSeeds && all; ++s)
                for (int d = 0; d < kDifficulties && all; ++d)
                    all = PlayTurn(world, level, level * 100 + t, d, s, probe[s][d], carved);
            if (!all) continue;
            ++played;
            for (int s = 0; s < kSeeds; ++s)
                for (int d = 0; d < kDifficulties; ++d) tallies[s][d].add(probe[s][d]);
        }
    }

    const char* names[kDifficulties] = {"easy", "normal", "hard"};
    Tally all[kDifficulties];
    std::cout << "difficulty | seed | turns | hit rate | damage per turn | mean miss\n" << std::fixed
              << std::setprecision(2);
    for (int d = 0; d < kDifficulties; ++d) {
        for (int s = 0; s < kSeeds; ++s) {
            Tally const& t = tallies[s][d];
            all[d].add(t);
            std::cout << std::left << std::setw(10) << names[d] << " | " << s << " | " << t.turns << " | "
                      << t.hit_rate() << " | " << t.damage_per_turn() << " | " << t.mean_miss() << "\n";
        }
        std::cout << std::left << std::setw(10) << names[d] << " | all | " << all[d].turns << " | "
                  << all[d].hit_rate() << " | " << all[d].damage_per_turn() << " | " << all[d].mean_miss() << "\n";
    }
    if (levels) return;
    ASSERT_GE(played, 30);

    // The largest difference between the seeds at any difficulty, and the
    // steps between the difficulties over both seeds.
    auto check = [&](char const* what, float (Tally::*figure)() const) {
        float spread = 0.0f;
        for (int d = 0; d < kDifficulties; ++d) {
            float lo = (tallies[0][d].*figure)();
            float hi = lo;
            for (int s = 1; s < kSeeds; ++s) {
                lo = std::min(lo, (tallies[s][d].*figure)());
                hi = std::max(hi, (tallies[s][d].*figure)());
            }
            spread = std::max(spread, hi - lo);
        }
        for (int d = 1; d < kDifficulties; ++d)
            EXPECT_GT((all[d].*figure)() - (all[d - 1].*figure)(), spread)
                << what << ": " << names[d - 1] << " to " << names[d];
    };
    check("hit rate", &Tally::hit_rate);
    check("damage per turn", &Tally::damage_per_turn);
}

}  // namespace

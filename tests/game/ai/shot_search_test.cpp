// The computer player's shot search: the ballistic solution, the sweep and
// its trimming, the circle test, the search over slobs in a level scene and
// the choice among the shots.

#include "game/ai/shot_search.h"

#include "engine/core/error.h"
#include "engine/core/random.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "game/ai/ai_random.h"
#include "game/behaviors/soft_body_entities.h"
#include "ai_turn_driver.h"
#include "support/game/level_scene_harness.h"

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace vo;
using vo_test::LevelSceneHarness;

float Speed(const vector2& v) { return std::sqrt(v.x * v.x + v.y * v.y); }

// The solution at sweep angle index k (|a| = 4k + 0.0004) for a target 10
// units to the right at the thrower's height, gravity (0, -10).
ShotSolution Example(int k) {
    const vector2 right(1, 0), up(0, 1);
    ShotSolution s;
    s.solve(vector2(0, 0), vector2(10, 0), SweepDirection(4.0f * k + 0.0004f, right, up), vector2(0, -10));
    return s;
}

TEST(ShotSolution, TheWorkedExampleGivesItsSpeedsAndEndsBelowTheHorizontal) {
    const struct {
        int k;
        float speed;
        float tolerance;
    } table[] = {{0, 5984.0f, 5.0f}, {1, 59.8f, 0.05f}, {8, 20.2f, 0.05f}, {9, 18.7f, 0.05f},
                 {20, 10.04f, 0.01f}, {22, 17.2f, 0.05f}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.k);
        const ShotSolution s = Example(row.k);
        ASSERT_TRUE(s.has_velocity());
        EXPECT_NEAR(Speed(s.velocity), row.speed, row.tolerance);
        // Launched along the direction, the point is at the target after the
        // flight time.
        const float t = s.flight_time;
        EXPECT_NEAR(s.velocity.x * t, 10.0f, 1e-3f * 10.0f);
        EXPECT_NEAR(s.velocity.y * t - 5.0f * t * t, 0.0f, 2e-3f * (1.0f + s.velocity.y * t));
    }
    // k = 20 is the slowest of the sweep, 48.6 degrees from up.
    for (int k = 0; k <= 22; ++k) {
        if (k == 20) continue;
        EXPECT_GT(Speed(Example(k).velocity), Speed(Example(20).velocity)) << k;
    }
    const vector2 v = Example(20).velocity;
    EXPECT_NEAR(std::atan2(v.x, v.y) * 180.0f / 3.1415927f, 48.6f, 0.1f);
    EXPECT_FALSE(Example(23).has_velocity());
}

TEST(ShotSolution, ThePathRunsFromStartToTargetAtEqualTimeSteps) {
    const ShotSolution s = Example(20);
    std::vector<vector2> path;
    ASSERT_TRUE(s.path(path, 10));
    ASSERT_EQ(path.size(), 10u);
    EXPECT_EQ(path.front().x, 0.0f);
    EXPECT_EQ(path.back().x, 10.0f);
    for (std::size_t i = 1; i < path.size(); ++i) EXPECT_NEAR(path[i].x - path[i - 1].x, 10.0f / 9.0f, 1e-4f);
    EXPECT_GT(path[4].y, 2.0f);  // the arc's top

    ShotSolution none;
    EXPECT_FALSE(none.path(path, 10));
    EXPECT_TRUE(path.empty());
}

TEST(ShotSolution, AStraightUpDirectionIsNudgedSidewaysAndAZeroGravityHasNoSolution) {
    ShotSolution s;
    s.solve(vector2(0, 0), vector2(1, 5), vector2(0, 1), vector2(0, -10));
    ASSERT_TRUE(s.has_velocity());
    EXPECT_GT(s.velocity.x, 0.0f);
    s.solve(vector2(0, 0), vector2(5, 0), vector2(1, 1), vector2(0, 0));
    EXPECT_FALSE(s.has_velocity());
}

TEST(ShotSweep, TrimmingDropsTheEndsOfRuns) {
    const struct {
        const char* in;
        const char* out;
    } table[] = {{"0111110", "0011100"}, {"0110", "0010"},  {"011000111", "001000110"},
                 {"111", "010"},         {"00100", "00100"}, {"", ""}};
    for (const auto& row : table) {
        std::vector<bool> usable;
        for (const char* c = row.in; *c; ++c) usable.push_back(*c == '1');
        TrimUsableRuns(usable);
        std::string out;
        for (bool u : usable) out += u ? '1' : '0';
        EXPECT_EQ(out, row.out) << row.in;
    }
}

TEST(ShotSweep, DirectionsCrowdTowardsUpButReachTheSides) {
    const vector2 right(1, 0), up(0, 1);
    const vector2 d45 = SweepDirection(45.0f, right, up);
    EXPECT_NEAR(std::atan2(d45.x, d45.y) * 180.0f / 3.1415927f, 11.3f, 0.05f);
    const vector2 d90 = SweepDirection(90.0f, right, up);
    EXPECT_NEAR(d90.x, 1.0f, 1e-6f);
    EXPECT_NEAR(d90.y, 0.0f, 1e-6f);
    const vector2 dm90 = SweepDirection(-90.0f, right, up);
    EXPECT_NEAR(dm90.x, -1.0f, 1e-6f);
}

TEST(LineCircle, MissTouchCutAndAZeroDirection) {
    float t0 = -7, t1 = -7;
    // Misses: outputs untouched.
    EXPECT_EQ(LineCircleIntersection(t0, t1, vector2(0, 2), vector2(1, 0), vector2(5, 0), 1.0f), 0);
    EXPECT_EQ(t0, -7.0f);
    // Touches at the foot of the perpendicular.
    EXPECT_EQ(LineCircleIntersection(t0, t1, vector2(0, 1), vector2(10, 0), vector2(5, 0), 1.0f), 1);
    EXPECT_FLOAT_EQ(t0, 0.5f);
    EXPECT_FLOAT_EQ(t1, 0.5f);
    // Cuts: the far crossing first.
    EXPECT_EQ(LineCircleIntersection(t0, t1, vector2(0, 0), vector2(10, 0), vector2(5, 0), 1.0f), 2);
    EXPECT_FLOAT_EQ(t0, 0.6f);
    EXPECT_FLOAT_EQ(t1, 0.4f);
    // A point inside a circle.
    EXPECT_EQ(LineCircleIntersection(t0, t1, vector2(5, 0), vector2(0, 0), vector2(5, 0), 1.0f), 0);
    EXPECT_EQ(t0, 0.0f);
    EXPECT_EQ(t1, 0.0f);
}

// The weapons with the grenade's "maxVelocity" replaced.
std::string WeaponsWithMaxVelocity(float v) {
    boost::property_tree::ptree tree;
    boost::property_tree::read_info(std::string(QV_GAME_DATA_DIR) + "/config/weapons.info", tree);
    tree.put("grenade.maxVelocity", v);
    std::ostringstream out;
    boost::property_tree::write_info(out, tree);
    return out.str();
}

// Slobs standing in open space (no level edges in the world) under gravity
// (0, -10), with the grenade's speed capped at 20.
class ShotSearchScene : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        vo_test::LevelSceneSetup setup;
        setup.config_files["weapons.info"] = WeaponsWithMaxVelocity(20.0f);
        harness_ = new LevelSceneHarness(setup);
    }
    static void TearDownTestSuite() {
        delete harness_;
        harness_ = nullptr;
    }
    void SetUp() override {
        harness_->scene().clear(true);
        harness_->scene().physics_handler()->set_gravity(vector3(0, -10, 0));
        world_.clear();
        world_.scene = &harness_->scene();
        world_.config = SmartPtr<MatchConfig>(new MatchConfig());
    }

    EntityDesc Slob(float x, float y, int team) { return vo_test::AddListedSlob(*harness_, world_, x, y, team); }

    std::vector<Shot> Search(const EntityDesc& self) {
        ARFindPossibleShots search(self, world_);
        EXPECT_TRUE(search.run());
        return search.shots;
    }

    static LevelSceneHarness* harness_;
    WorldDesc world_;
};

LevelSceneHarness* ShotSearchScene::harness_ = nullptr;

TEST_F(ShotSearchScene, AnOpenThrowTakesTheSlowestUsableAngleTowardsEitherSide) {
    for (float side : {1.0f, -1.0f}) {
        SCOPED_TRACE(side);
        SetUp();
        const EntityDesc self = Slob(0, 0, 0);
        Slob(10 * side, 0, 1);
        const std::vector<Shot> shots = Search(self);
        ASSERT_EQ(shots.size(), 1u);
        const vector2 expected = Example(20).velocity;
        EXPECT_NEAR(shots[0].velocity.x, expected.x * side, 1e-3f);
        EXPECT_NEAR(shots[0].velocity.y, expected.y, 1e-3f);
        EXPECT_NEAR(shots[0].start.x, 0.0f, 1e-5f);
        EXPECT_EQ(shots[0].enemies_hit, 1);
        EXPECT_EQ(shots[0].own_hit, 0);
        EXPECT_EQ(shots[0].self_hit, 0);
    }
}

TEST_F(ShotSearchScene, ATeamMateInTheArcForcesAnotherAngleAndIsNeverATarget) {
    const EntityDesc self = Slob(0, 0, 0);
    Slob(10, 0, 1);
    // Where the slowest arc passes half way.
    const ShotSolution slowest = Example(20);
    std::vector<vector2> path;
    slowest.path(path, 10);
    Slob(path[4].x, path[4].y, 0);
    const std::vector<Shot> shots = Search(self);
    ASSERT_EQ(shots.size(), 1u);  // the team mate is no target
    EXPECT_GT(Speed(shots[0].velocity), Speed(slowest.velocity) + 0.1f);
    EXPECT_LE(Speed(shots[0].velocity), 20.0f);
}

TEST_F(ShotSearchScene, BlastCountsUseTheExplosionTypesRadius) {
    // The grenade's explosion type, "normal", of the shipped weapons.
    const float r = world_.scene->weapons.get<float>("explosionTypes.normal.radius");
    EXPECT_FLOAT_EQ(ARFindPossibleShots(EntityDesc(), world_).blast_radius(), r);
    const EntityDesc self = Slob(0, 0, 0);
    const float target = r + 4.0f;  // the thrower well out of the blast
    Slob(target, 0, 1);
    // Half a unit inside the blast and the slobs' radius of 1.
    Slob(target + r + 0.5f, 0, 2);
    Slob(target + (r + 0.5f) * 0.7071f, -(r + 0.5f) * 0.7071f, 0);  // a team mate near the target
    const std::vector<Shot> shots = Search(self);
    ASSERT_GE(shots.size(), 1u);
    EXPECT_EQ(shots[0].enemies_hit, 2);
    EXPECT_EQ(shots[0].own_hit, 1);
    EXPECT_EQ(shots[0].self_hit, 0);
}

TEST_F(ShotSearchScene, ATargetInsideTheBlastOfTheThrowerCountsTheThrower) {
    const EntityDesc self = Slob(0, 0, 0);
    Slob(3, 0, 1);
    const std::vector<Shot> shots = Search(self);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0].self_hit, 1);
}

TEST_F(ShotSearchScene, TheThrowerMustBeInTheWorldAndReachableTargetsNeedASpeedWithinTheCap) {
    EntityDesc self = Slob(0, 0, 0);
    Slob(60, 0, 1);  // beyond the reach of 20 units per second
    EXPECT_TRUE(Search(self).empty());

    EntityDesc stranger;
    stranger.entity = harness_->add_slob(vector3(5, 5, 0));
    ARFindPossibleShots search(stranger, world_);
    try {
        search.run();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.message(), "Current actor not included in world entity desc!");
    }
}

// A slob that has gone from the match since the search was made is dropped
// with its sphere, and never read again.
TEST_F(ShotSearchScene, GoneSlobsAreDroppedBeforeTheSearchRuns) {
    const EntityDesc self = Slob(0, 0, 0);
    const EntityDesc target = Slob(10, 0, 1);
    ARFindPossibleShots search(self, world_);
    ASSERT_EQ(search.spheres().size(), 2u);

    WorldDesc fresh = world_;
    fresh.entities.pop_back();
    target.entity->kill_entity();
    harness_->step();  // deleted here
    ASSERT_FALSE(harness_->holds(target.entity));
    search.retain_entities(fresh);
    ASSERT_EQ(search.spheres().size(), 1u);
    EXPECT_TRUE(search.run());
    EXPECT_TRUE(search.shots.empty());
}

TEST_F(ShotSearchScene, AWorldWithTheLevelRefusesPathsThroughRock) {
    harness_->new_level(0);
    world_.collision_node = harness_->level().collision_node();
    const vector3 ground = harness_->ground_spot();
    const EntityDesc self = Slob(ground.x, ground.y + 1.5f, 0);
    // Under the ground the thrower stands on.
    const vector2 buried(ground.x + 2.0f, ground.y - 3.0f);
    ASSERT_TRUE(world_.segment_hits_level(vector2(ground.x, ground.y + 1.5f), buried));
    Slob(buried.x, buried.y, 1);
    EXPECT_TRUE(Search(self).empty());
    // The same target in open space is reachable.
    world_.collision_node = SmartPtr<GroupNode>();
    EXPECT_EQ(Search(self).size(), 1u);
}

TEST(ShotChoice, ScoresWeighEnemiesTeamMatesAndTheThrower) {
    ARFindPossibleShots search{EntityDesc(), WorldDesc()};
    Shot two_and_mate;
    two_and_mate.enemies_hit = 2;
    two_and_mate.own_hit = 1;  // 2 - 1.9 = 0.1
    Shot clean;
    clean.enemies_hit = 1;  // 1.0
    clean.velocity = vector2(1, 2);
    Shot with_self;
    with_self.enemies_hit = 1;
    with_self.self_hit = 1;  // 0.99
    search.shots = {two_and_mate, with_self, clean};

    SeedRand(5);
    const Shot best = search.choose_best_shot(1.0f, -1.9f, -0.01f);
    EXPECT_EQ(best.velocity.y, 2.0f);
    // No tie, no draw.
    SeedRand(5);
    const int first = Rand();
    SeedRand(5);
    search.choose_best_shot(1.0f, -1.9f, -0.01f);
    EXPECT_EQ(Rand(), first);
}

TEST(ShotChoice, EqualScoresAreDrawnAmongAtRandomAndNoShotsIsAnError) {
    ARFindPossibleShots search{EntityDesc(), WorldDesc()};
    for (int i = 0; i < 3; ++i) {
        Shot s;
        s.enemies_hit = 1;
        s.velocity = vector2(static_cast<float>(i), 0);
        search.shots.push_back(s);
    }
    Shot worse;
    search.shots.push_back(worse);
    std::vector<int> seen(3, 0);
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SeedRand(seed);
        const int expected = RandomIndex(3);
        SeedRand(seed);
        const int chosen = static_cast<int>(search.choose_best_shot(1.0f, -1.9f, -0.01f).velocity.x);
        EXPECT_EQ(chosen, expected);
        seen[static_cast<std::size_t>(chosen)]++;
    }
    for (int count : seen) EXPECT_GT(count, 5);

    search.shots.clear();
    try {
        search.choose_best_shot(1.0f, -1.9f, -0.01f);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.message(), "There are no possible shots from which the best one could be chosen.");
    }
}

}  // namespace

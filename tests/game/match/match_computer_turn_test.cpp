// Computer teams in a seeded match: the description of the match the
// computer player gets, and its throws through the turn control.

#include "match_scenarios.h"

#include "engine/physics/soft_body.h"
#include "game/behaviors/soft_body_entities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

namespace {

using vo_test::GameEnvironment;
using Phase = vo::MatchPhase;

TEST(ComputerTurn, TheHardPlayerThrowsAlongItsAimAtTheChargedSpeed) {
    GameEnvironment env;
    vo::Match& match = env.match();
    match.set_cpu_level(2);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 2, true));
    EXPECT_EQ(match.ai().difficulty, 2);

    struct Throw {
        vo::vector3 aim_reference;
        vo::vector3 velocity;
    };
    std::vector<Throw> throws;
    std::set<vo::Entity*> before;
    int turns = 0;
    match.set_phase_observer([&](vo::MatchPhase, vo::MatchPhase phase) {
        if (phase == Phase::play) {
            ++turns;
            before.clear();
            for (unsigned i = 0; i < match.scene().num_entities(); ++i) before.insert(match.scene().entity(i));
            // The description lists every living slob, team by team.
            vo::WorldDesc const& world = match.ai().world();
            std::size_t living = 0;
            for (std::size_t i = 0; i < match.slobs().size(); ++i)
                living += match.slobs()[i].entity && vo_test::HealthOfSlob(match, static_cast<int>(i)) > 0.0f;
            EXPECT_EQ(world.entities.size(), living);
            EXPECT_EQ(world.team_summaries.size(), 2u);
            EXPECT_EQ(match.ai().self_desc().entity, match.acting_slob());
            EXPECT_EQ(match.ai().self_desc().team, match.current_team());
        }
        if (phase == Phase::shot_fired) {
            for (unsigned i = 0; i < match.scene().num_entities(); ++i) {
                auto* g = dynamic_cast<vo::GrenadeEntity*>(match.scene().entity(i));
                if (g && !before.count(g)) throws.push_back({match.ai().aim_reference(), g->soft_body()->get_velocity()});
            }
        }
    });
    ASSERT_TRUE(env.step_until([&] { return throws.size() >= 2 || turns > 6; }, 60 * 60 * 5));
    ASSERT_GE(throws.size(), 1u) << "in " << turns << " turns";

    const float max_velocity = match.scene().weapons.get<float>("grenade.maxVelocity");
    for (Throw const& t : throws) {
        const vo::vector3 r = t.aim_reference;
        const vo::vector3 v = t.velocity;
        const float aim = std::hypot(r.x, r.y);
        const float speed = std::hypot(v.x, v.y);
        // Along minus the reference, within one step's turn of the aim.
        const float cosine = -(r.x * v.x + r.y * v.y) / (aim * speed);
        EXPECT_GT(cosine, std::cos(1.6f * 3.1415927f / 180.0f));
        // The charge held for |reference| / maxVelocity of the full time.
        EXPECT_NEAR(speed, aim, max_velocity / 60.0f + 1e-3f);
    }
}

}  // namespace

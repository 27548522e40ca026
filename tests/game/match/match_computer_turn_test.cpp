// Computer teams in a seeded match: the description of the match the
// computer player gets, and its throws through the turn control.

#include "match_scenarios.h"

#include "engine/physics/soft_body.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/match/match_internals.h"

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
    vo::MatchInternals inside(match);
    match.set_cpu_level(2);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 2, true));
    EXPECT_EQ(inside.ai().difficulty, 2);

    struct Throw {
        vo::vector3 aim_reference;
        vo::vector3 velocity;
    };
    std::vector<Throw> throws;
    std::set<vo::Entity*> before;
    int turns = 0;
    inside.set_phase_observer([&](vo::MatchPhase, vo::MatchPhase phase) {
        if (phase == Phase::play) {
            ++turns;
            before.clear();
            for (unsigned i = 0; i < inside.scene().num_entities(); ++i) before.insert(inside.scene().entity(i));
            // The description lists every living slob, team by team.
            vo::WorldDesc const& world = inside.ai().world();
            std::size_t living = 0;
            for (std::size_t i = 0; i < inside.slobs().size(); ++i)
                living += inside.slobs()[i].entity && vo_test::HealthOfSlob(match, static_cast<int>(i)) > 0.0f;
            EXPECT_EQ(world.entities.size(), living);
            EXPECT_EQ(world.team_summaries.size(), 2u);
            EXPECT_EQ(inside.ai().self_desc().entity, inside.acting_slob());
            EXPECT_EQ(inside.ai().self_desc().team, inside.current_team());
        }
        if (phase == Phase::shot_fired) {
            for (unsigned i = 0; i < inside.scene().num_entities(); ++i) {
                auto* g = dynamic_cast<vo::GrenadeEntity*>(inside.scene().entity(i));
                if (g && !before.count(g))
                    throws.push_back({inside.ai().aim_reference(), g->soft_body()->get_velocity()});
            }
        }
    });
    ASSERT_TRUE(env.step_until([&] { return throws.size() >= 2 || turns > 6; }, 60 * 60 * 5));
    ASSERT_GE(throws.size(), 1u) << "in " << turns << " turns";

    const float max_velocity = inside.scene().weapons.get<float>("grenade.maxVelocity");
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

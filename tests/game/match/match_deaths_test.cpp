// Slob deaths, the end of a round with its winner and results, another
// fight, the escape menu, leaving a paused match or the results, and bodies
// that leave the level.

#include "match_scenarios.h"

#include "engine/scene/transform_behavior.h"
#include "engine/widgets/text_widget.h"
#include "game/behaviors/fluid_behavior.h"
#include "game/level/mesh/carve_result.h"
#include "game/match/match_entities.h"
#include "game/match/match_internals.h"
#include "game/match/turn_control_state.h"
#include "game/menus/esc_menu_screen.h"
#include "game/menus/match_results_screen.h"
#include "game/menus/notification_widget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using vo_test::GameEnvironment;
using Phase = vo::MatchPhase;

std::string NewestNotice(vo::Match& match) {
    auto const& lines = vo::Inspect(match).notifications()->lines();
    return lines.empty() ? std::string() : std::string(lines.back().text->text());
}

TEST(MatchDeaths, ATeamDiesTwoSecondsApartAndTheOtherWinsAndFightsAgain) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 3));
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));
    ASSERT_EQ(inside.current_team(), 0);

    for (int i = 0; i < 3; ++i) vo_test::SetHealthOfSlob(match, i, 0.5f);

    struct Death {
        int slob;
        double time;
    };
    std::vector<Death> deaths;
    std::vector<vo::vector3> last_place(6);
    double queued = -1.0;
    const bool results = env.step_until(
        [&] {
            if (queued < 0.0 && !inside.dying_slobs().empty()) queued = inside.clock();
            for (int i = 0; i < 6; ++i) {
                vo::Entity* entity = inside.slobs()[static_cast<std::size_t>(i)].entity;
                if (entity) {
                    vo::GetPosition(entity, last_place[static_cast<std::size_t>(i)]);
                    continue;
                }
                bool counted = false;
                for (Death const& d : deaths) counted = counted || d.slob == i;
                if (counted) continue;
                deaths.push_back({i, inside.clock()});
                EXPECT_EQ(NewestNotice(match), "Team 0 Lost a Guy!");
                // A small explosion where the slob was.
                bool explosion_there = false;
                for (unsigned e = 0; e < inside.scene().num_entities(); ++e) {
                    vo::Entity* other = inside.scene().entity(e);
                    if (std::string(other->object_type_name()) != "ExplosionEntity") continue;
                    vo::vector3 p;
                    vo::GetPosition(other, p);
                    explosion_there = explosion_there || (p.x == last_place[static_cast<std::size_t>(i)].x &&
                                                          p.y == last_place[static_cast<std::size_t>(i)].y);
                }
                EXPECT_TRUE(explosion_there) << "slob " << i;
            }
            if (match.phase() == Phase::count_teams) {
                EXPECT_EQ(deaths.size(), 3u);
            }
            return env.app().top<vo::MatchResultsScreen>() != nullptr;
        },
        60 * 30);
    ASSERT_TRUE(results) << "phase " << match.phase();

    // In record order, the first 2 s after the queue filled, then 2 s apart
    // (measured in steps, so just over).
    ASSERT_EQ(deaths.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(deaths[static_cast<std::size_t>(i)].slob, i);
        const double since = deaths[static_cast<std::size_t>(i)].time - (i == 0 ? queued : deaths[i - 1].time);
        EXPECT_GT(since, 2.0);
        EXPECT_LT(since, 2.0 + 1.5 / 60.0);
    }

    // Team 1 won: 10 points, and the statistics agree.
    EXPECT_EQ(inside.settings().teams()[1].points, 10);
    EXPECT_EQ(inside.settings().teams()[0].points, 0);
    vo::MatchStats const& stats = inside.stats();
    EXPECT_EQ(stats.winner(), 1);
    EXPECT_EQ(stats.kills_per_team(), (std::vector<int>{3, 0}));
    EXPECT_EQ(stats.self_kills_per_team(), (std::vector<int>{3, 0}));
    EXPECT_EQ(stats.kills_with_one_shot()[0], 3);
    // The 100 points of each slob, and whatever the explosions of the
    // deaths did to those still dying.
    int own_damage = 0;
    int all_damage = 0;
    for (auto const& round : stats.rounds()) {
        if (round.team != 0) continue;
        for (auto const& event : round.damage) {
            all_damage += event.amount;
            if (event.team == 0) own_damage += event.amount;
        }
    }
    EXPECT_GE(own_damage, 300);
    EXPECT_EQ(stats.self_damage_per_team()[0].value, own_damage);
    EXPECT_EQ(stats.damage_per_team()[0].value, all_damage);
    EXPECT_EQ(match.phase(), Phase::idle);
    EXPECT_EQ(inside.start_team(), 1);

    // "Fight again!": the same teams, the winner's points kept, the next
    // team opens.
    env.app().top<vo::MatchResultsScreen>()->on_fight_again(nullptr);
    env.step();
    EXPECT_EQ(env.app().top<vo::Match>(), &match);
    EXPECT_EQ(match.phase(), Phase::wait) << "started, and its first step done";
    EXPECT_EQ(inside.turn_count(), 0);
    EXPECT_EQ(inside.settings().teams()[1].points, 10);
    EXPECT_EQ(inside.slobs().size(), 6u);
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::settle_bodies, 600));
    EXPECT_EQ(inside.current_team(), 1);
}

TEST(MatchDeaths, EscapeMenuGoesOnRestartsOrLeaves) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(3, 1));
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));

    // "CONTINUE": the match goes on as it was.
    env.app().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    ASSERT_NE(env.app().top<vo::EscMenuScreen>(), nullptr);
    const double clock = inside.clock();
    env.app().click(vo_test::FindButton(env.app().top<vo::EscMenuScreen>()->root_widget(), "CONTINUE"));
    env.step();
    ASSERT_EQ(env.app().top<vo::Match>(), &match);
    EXPECT_EQ(match.phase(), Phase::play);
    EXPECT_NEAR(inside.clock(), clock + 1.0 / 60.0, 1e-6) << "one step after the menu closed";

    // "Restart Match": a new start team drawn from the shared generator, and
    // no charge of the old match survives.
    vo::GetTurnControlState().charging_slob = inside.acting_slob();
    vo::GetTurnControlState().jump_released = false;
    env.app().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    vo::SeedRand(77);
    const int r = vo::Rand();
    const int expected = static_cast<int>(r / 32767.0 * 3);
    vo::SeedRand(77);
    env.app().click(vo_test::FindButton(env.app().top<vo::EscMenuScreen>()->root_widget(), "Restart Match"));
    env.step();
    ASSERT_EQ(env.app().top<vo::Match>(), &match);
    EXPECT_EQ(match.phase(), Phase::wait) << "started, and its first step done";
    EXPECT_EQ(inside.start_team(), expected);
    EXPECT_EQ(vo::GetTurnControlState().charging_slob, nullptr);
    EXPECT_TRUE(vo::GetTurnControlState().jump_released);
    EXPECT_EQ(inside.turn_count(), 0);

    // "Main Menu": the match leaves the stack.
    env.app().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    env.app().click(vo_test::FindButton(env.app().top<vo::EscMenuScreen>()->root_widget(), "Main Menu"));
    env.step(2);
    EXPECT_EQ(match.phase(), Phase::leave);
    EXPECT_EQ(env.app().app().num_screens(), 0u);
}

// A pause ends with the match that was left: the preview behind the menu
// turns and the next match runs. Escape on the results screen leaves as
// "Main Menu" does, instead of closing onto a match standing idle.
TEST(MatchDeaths, NeitherAPauseNorTheResultsKeepAMatchThatWasLeft) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 1));
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));
    ASSERT_NE(inside.pause_notice(), nullptr);
    EXPECT_FALSE(inside.pause_notice()->is_visible());

    env.app().key(vo::KEY_PRESSED, vo::KEY_P);
    ASSERT_TRUE(inside.paused());
    EXPECT_TRUE(inside.pause_notice()->is_visible());
    EXPECT_EQ(std::string(inside.pause_notice()->text()), "Paused - P to go on");
    env.step();
    env.app().screenshot("match_paused");
    env.app().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    env.app().click(vo_test::FindButton(env.app().top<vo::EscMenuScreen>()->root_widget(), "Main Menu"));
    env.step(2);
    ASSERT_EQ(match.phase(), Phase::leave);

    // The main menu shows its preview, which turns.
    match.show_level_preview(vo_test::kLevelSeed, -1.0f);
    EXPECT_FALSE(inside.paused());
    const float rotation = inside.world_rotation();
    match.update(1.0 / 60.0);
    EXPECT_GT(inside.world_rotation(), rotation);

    // Paused while it previews, the match object still starts a match that
    // runs.
    match.process_key_event(vo::KeyEvent(vo::KEY_PRESSED, vo::KEY_P, false));
    ASSERT_TRUE(inside.paused());
    match.start_match(vo_test::TeamsOf(2, 1), false);
    env.push_match();
    EXPECT_FALSE(inside.paused());
    EXPECT_FALSE(inside.pause_notice()->is_visible());
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));

    // Team 0's only slob dies; Escape on the results leaves the match.
    vo_test::SetHealthOfSlob(match, 0, 0.5f);
    ASSERT_TRUE(env.step_until([&] { return env.app().top<vo::MatchResultsScreen>() != nullptr; }, 60 * 30))
        << "phase " << match.phase();
    env.app().key(vo::KEY_RELEASED, vo::KEY_ESCAPE);
    env.step(2);
    EXPECT_EQ(match.phase(), Phase::leave);
    EXPECT_EQ(env.app().app().num_screens(), 0u);
}

TEST(MatchDeaths, BodiesFarBeyondTheLevelLeaveTheMatch) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 2));
    inside.config()->roundTime = 1.0;
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));
    ASSERT_EQ(inside.current_team(), 0);

    // A slob of the waiting team and a mine fall out of the level.
    const float far = 1.6f * inside.level()->outer_radius();
    vo::Entity* slob = inside.slobs()[2].entity;
    vo::Entity* mine = nullptr;
    for (unsigned i = 0; i < inside.scene().num_entities(); ++i)
        if (std::string(inside.scene().entity(i)->object_type_name()) == "GrenadeEntity")
            mine = inside.scene().entity(i);
    ASSERT_NE(mine, nullptr);
    const int mines = vo_test::CountEntities(match, "GrenadeEntity");
    // (A body follows its entity's position at its next update.)
    vo::SetPosition(slob, vo::vector3(0.0f, -far, 0.0f));
    vo::SetPosition(mine, vo::vector3(far, 0.0f, 0.0f));
    env.step(2);
    EXPECT_EQ(vo_test::CountEntities(match, "GrenadeEntity"), mines - 1);
    EXPECT_LT(vo_test::HealthOfSlob(match, 2), 1.0f);

    // The turn ends by its timer; the lost slob dies as every slob dies and
    // the match goes on to the next turn.
    std::vector<std::string> notices;
    ASSERT_TRUE(env.step_until(
        [&] {
            const std::string notice = NewestNotice(match);
            if (!notice.empty() && (notices.empty() || notices.back() != notice)) notices.push_back(notice);
            return match.phase() == Phase::turn_preparation;
        },
        60 * 20));
    EXPECT_EQ(inside.slobs()[2].entity, nullptr);
    EXPECT_NE(std::find(notices.begin(), notices.end(), "Team 1 Lost a Guy!"), notices.end());
    EXPECT_EQ(inside.stats().kills_per_team()[0], 1);
}

// Lava that leaves the level disc is counted once; as far out as a lost
// body, it is gone: inactive after that step, its slot free after the next.
TEST(MatchDeaths, LavaFarBeyondTheLevelIsGoneTheStepAfter) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 2));
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));

    vo::CarveResult carve;
    carve.removed_corners = {vo::vector3(0, 0, 0), vo::vector3(4, 0, 0), vo::vector3(0, 4, 0)};
    carve.removed_corner_lava = {1.0f, 1.0f, 1.0f};
    auto* burst = static_cast<vo::FluidEntity*>(inside.scene().create_lava_fluid(carve));
    ASSERT_NE(burst, nullptr);
    vo::Fluid& lava = burst->fluid_behavior()->fluid();
    const unsigned particles = lava.num_active_particles();
    ASSERT_GE(particles, 3u);
    const float outer = inside.level()->outer_radius();
    const long lost = inside.lost_fluid_particles();
    lava.set_position(0, vo::vector3(0.0f, -1.6f * outer, 0.0f));  // beyond the distance of lost bodies
    lava.set_position(1, vo::vector3(1.2f * outer, 0.0f, 0.0f));   // off the disc, not that far

    env.step();
    EXPECT_FALSE(lava.is_active(0));
    EXPECT_TRUE(lava.is_active(1));
    EXPECT_TRUE(lava.is_active(2));
    EXPECT_EQ(inside.lost_fluid_particles(), lost + 2);
    env.step();
    EXPECT_EQ(lava.num_active_particles(), particles - 1);
    EXPECT_EQ(inside.lost_fluid_particles(), lost + 2);
}

}  // namespace

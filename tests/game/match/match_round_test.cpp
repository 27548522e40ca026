// Quiet turns of a seeded match: the phases, the turn order, the world
// turning to each acting slob's ground, the round timer, the fuse buttons,
// pausing and the camera.

#include "match_scenarios.h"

#include "engine/scene/collision_nodes.h"
#include "engine/scene/traverser_project_point.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "game/camera/action_camera_controller.h"
#include "game/level/level_geometry_handle.h"
#include "game/behaviors/rest.h"
#include "game/match/match_config.h"
#include "game/match/match_internals.h"

#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using vo_test::GameEnvironment;
using Phase = vo::MatchPhase;

// The outward normal of the level edge closest to p.
vo::vector3 GroundNormal(vo::Match& match, vo::vector3 const& p) {
    vo::SmartPtr<vo::CollisionTreeRootNode> tree = vo::Inspect(match).level()->collision_tree();
    vo::Traverser_ProjectPoint projector;
    EXPECT_TRUE(projector.project(p, vo::SmartPtr<vo::Node>(tree), nullptr));
    int a = 0;
    int b = 0;
    projector.get_closest_edge_point_indices(a, b);
    const vo::vector3 p0 = tree->get_point(a);
    const vo::vector3 p1 = tree->get_point(b);
    const float dx = p1.x - p0.x;
    const float dy = p1.y - p0.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    return vo::vector3(dy / length, -dx / length, 0.0f);
}

// a - b turned into -180 .. 180.
float AngleBetween(float a, float b) {
    float d = std::fmod(a - b, 360.0f);
    if (d > 180.0f) d -= 360.0f;
    if (d < -180.0f) d += 360.0f;
    return d;
}

// The phases of one quiet turn from its preparation to the count of the
// teams, with a wait for every item announced and any number of 0.2 s waits
// for rest.
bool IsQuietTurn(std::vector<Phase> const& trace, std::size_t& at) {
    const std::vector<Phase> head = {Phase::turn_preparation, Phase::item_draw, Phase::item_notices,
                                   Phase::new_turn,         Phase::settle_bodies, Phase::settle_step,
                                   Phase::fast_settle,      Phase::turn_begins,   Phase::play,
                                   Phase::turn_over,        Phase::wait_for_rest};
    for (Phase phase : head) {
        if (at >= trace.size() || trace[at] != phase) return false;
        ++at;
        if (phase != Phase::item_notices) continue;
        while (at + 1 < trace.size() && trace[at] == Phase::wait && trace[at + 1] == Phase::item_notices) at += 2;
    }
    while (at + 1 < trace.size() && trace[at] == Phase::wait && trace[at + 1] == Phase::wait_for_rest) at += 2;
    if (at >= trace.size() || trace[at] != Phase::count_teams) return false;
    ++at;
    return true;
}

TEST(MatchRound, QuietTurnsFollowThePhasesTheTurnOrderAndTheGround) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);

    std::vector<Phase> trace = {Phase::match_start};
    struct Turn {
        int team;
        int member;
        float rotation_before;
        float ground_rotation;
        float rotation_at_play = 0.0f;
        bool playing = false;
        std::vector<std::string> timer_texts;
    };
    std::vector<Turn> turns;
    // A level whose first turn shows rock, lava, parallax, a slob and a mine.
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 2), 6);
    inside.set_phase_observer([&](vo::MatchPhase, vo::MatchPhase phase) {
        trace.push_back(phase);
        if (phase == Phase::settle_bodies) {
            // The turn has just been handed over.
            vo::vector3 p;
            vo::GetPosition(inside.acting_slob(), p);
            const vo::vector3 n = GroundNormal(match, p);
            const float ground = std::atan2(n.x, n.y) * 180.0f / 3.1415927f;
            turns.push_back(Turn{inside.current_team(), inside.current_team_state()->acting_member,
                                 inside.world_rotation(), ground, 0.0f, false, {}});
            turns.back().timer_texts.push_back(inside.round_timer_text()->text());
        }
    });

    inside.config()->roundTime = 3.0;

    bool screenshot_taken = false;
    const bool four_turns = env.step_until(
        [&] {
            if (match.phase() == Phase::play && !turns.empty()) {
                Turn& turn = turns.back();
                const std::string text = inside.round_timer_text()->text();
                if (text != turn.timer_texts.back()) turn.timer_texts.push_back(text);
                if (!turn.playing) {
                    turn.playing = true;
                    turn.rotation_at_play = inside.world_rotation();
                    // The camera starts the play on the acting slob at the
                    // zoom of the smallest box.
                    EXPECT_EQ(inside.camera()->focus_entity(), inside.acting_slob());
                    EXPECT_FLOAT_EQ(inside.camera()->zoom(), inside.camera()->zoom_for_min_box());
                    EXPECT_FLOAT_EQ(inside.camera()->level_sphere.radius(),
                                    inside.level()->bounding_sphere()->radius());
                    if (!screenshot_taken) {
                        const sf::Image shot = env.app().screenshot("match_turn_start");
                        std::set<unsigned> colours;
                        for (unsigned y = 0; y < shot.getSize().y; y += 8)
                            for (unsigned x = 0; x < shot.getSize().x; x += 8)
                                colours.insert(shot.getPixel(x, y).toInteger());
                        EXPECT_GT(colours.size(), 50u);
                        screenshot_taken = true;
                    }
                }
            }
            return turns.size() == 5;
        },
        60 * 60);
    ASSERT_TRUE(four_turns) << "phase " << match.phase();

    std::size_t at = 0;
    const std::vector<Phase> start = {Phase::match_start, Phase::wait};
    for (Phase phase : start) {
        ASSERT_LT(at, trace.size());
        EXPECT_EQ(trace[at++], phase);
    }
    for (int turn = 0; turn < 4; ++turn) EXPECT_TRUE(IsQuietTurn(trace, at)) << "turn " << turn << " at " << at;

    // Teams take turns; each team's members take its turns in order.
    const std::vector<std::pair<int, int>> order = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 0}};
    for (std::size_t i = 0; i < order.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(turns[i].team, order[i].first);
        EXPECT_EQ(turns[i].member, order[i].second);
    }
    for (std::size_t i = 0; i + 1 < turns.size(); ++i) {
        SCOPED_TRACE(i);
        // The world turned the short way to the acting slob's ground.
        const float turned = turns[i].rotation_at_play - turns[i].rotation_before;
        EXPECT_LE(std::fabs(turned), 180.0f + 1e-3f);
        EXPECT_NEAR(AngleBetween(turns[i].rotation_at_play, turns[i].ground_rotation), 0.0f, 0.01f);
        EXPECT_EQ(turns[i].timer_texts, (std::vector<std::string>{"3", "2", "1", "0"}));
    }
    EXPECT_EQ(inside.turn_count(), 5);
    EXPECT_EQ(inside.stats().rounds().size(), 5u);
}

TEST(MatchRound, WorldRotationsFuseButtonsPausingAndSingleSteps) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 1));
    inside.config()->roundTime = 2.0;
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));

    // The acting team's world rotations on the world-rotate button; each
    // click uses one, the last leaves the button disabled.
    vo::ButtonWidget* rotate = inside.world_rotate_button();
    ASSERT_EQ(inside.current_team_state()->world_rotations_left, 2);
    EXPECT_TRUE(rotate->is_enabled());
    EXPECT_EQ(rotate->text(), "2");
    env.app().click(rotate);
    EXPECT_EQ(rotate->text(), "1");
    env.app().click(rotate);
    EXPECT_EQ(rotate->text(), "0");
    EXPECT_FALSE(rotate->is_enabled());
    env.app().click(rotate);
    EXPECT_EQ(inside.current_team_state()->world_rotations_left, 0);

    // A click on "3" selects a three-second fuse for the acting slob.
    env.app().click(inside.timer_buttons().at(3));
    env.step();
    EXPECT_EQ(inside.timer_selection(), 3);
    EXPECT_TRUE(inside.timer_buttons()[3]->is_checked());
    EXPECT_FALSE(inside.timer_buttons()[0]->is_checked());

    // 'p' freezes the clock, the timers and the scene; 'n' lets one step
    // through.
    env.app().key(vo::KEY_PRESSED, vo::KEY_N);
    env.app().key(vo::KEY_PRESSED, vo::KEY_P);
    ASSERT_TRUE(inside.paused());
    const double clock = inside.clock();
    const double timer = inside.round_timer();
    vo::vector3 before;
    vo::GetPosition(inside.acting_slob(), before);
    env.step(30);
    EXPECT_EQ(inside.clock(), clock);
    EXPECT_EQ(inside.round_timer(), timer);
    vo::vector3 after;
    vo::GetPosition(inside.acting_slob(), after);
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    env.app().key(vo::KEY_PRESSED, vo::KEY_N);
    env.step(5);
    EXPECT_NEAR(inside.clock(), clock + 1.0 / 60.0, 1e-6);
    env.app().key(vo::KEY_PRESSED, vo::KEY_P);
    EXPECT_FALSE(inside.paused());
    env.step();
    EXPECT_NEAR(inside.clock(), clock + 2.0 / 60.0, 1e-6);

    // When the turn is over the pressed button counts the fuse down, a
    // second at a time, and comes back to "contact", while the grenade
    // thrown with that fuse keeps the match waiting.
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::wait_for_rest, 600));
    const double over = inside.clock();
    vo::vector3 above;
    vo::GetPosition(inside.acting_slob(), above);
    above.x += 3.0f * inside.world_up().x;
    above.y += 3.0f * inside.world_up().y;
    ASSERT_NE(inside.scene().throw_grenade("timedGrenade", above, inside.world_up(), 0.0f, 3.0, nullptr), nullptr);
    std::vector<std::pair<int, double>> shown = {{inside.pressed_timer_button(), 0.0}};
    env.step_until(
        [&] {
            const int pressed = inside.pressed_timer_button();
            if (pressed != shown.back().first) shown.push_back({pressed, inside.clock() - over});
            return pressed == 0;
        },
        600);
    ASSERT_EQ(shown.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(shown[static_cast<std::size_t>(i)].first, 3 - i);
        // The count is looked at whenever the match checks for rest, every 0.2 s.
    for (std::size_t i = 1; i < shown.size(); ++i) EXPECT_NEAR(shown[i].second, static_cast<double>(i), 0.25);
}

}  // namespace

namespace {

// A body that never comes to rest (bodies in a heap can keep each other
// jostling) holds the end of a turn for twenty seconds, no longer.
TEST(MatchRound, ABodyThatNeverRestsHoldsTheTurnForTwentySecondsAtMost) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 1), 3);
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::wait_for_rest, 60 * 120));
    const double over = inside.clock();
    vo::Entity* restless = inside.slobs()[1].entity;
    ASSERT_NE(restless, nullptr);
    restless->get_behavior<vo::behaviors::Rest>()->keep_awake = true;

    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::count_teams, 60 * 30));
    EXPECT_NEAR(inside.clock() - over, vo::MatchInternals::longest_rest_wait(), 0.25);
}

}  // namespace

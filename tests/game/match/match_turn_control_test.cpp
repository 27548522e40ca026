// A human player's turn through the player-controls seam: charging and
// throwing, fixed-velocity weapons, throw counts, jumping, the fuse keys,
// ending the turn, panning and zooming.

#include "match_scenarios.h"
#include "support/game/scripted_devices.h"

#include "engine/physics/soft_body.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/match/match_entities.h"
#include "game/match/match_internals.h"
#include "game/match/turn_control_state.h"
#include "game/menus/notification_widget.h"
#include "game/menus/weapon_select_widget.h"
#include "support/game/test_data_set.h"

#include <boost/property_tree/ptree.hpp>

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using vo_test::GameEnvironment;
using Phase = vo::MatchPhase;



// A seeded match of human teams whose devices the test holds, run to the
// first turn's play.
class HumanTurn {
public:
    explicit HumanTurn(vo_test::AppSetup setup = vo_test::AppSetup(), int teams = 2)
        : env(std::move(setup)), match(env.match()) {
        devices = vo_test::ScriptedDevices::install(inside.controls());
        vo_test::StartSeeded(env, vo_test::TeamsOf(teams, 1));
        inside.set_phase_observer([this](vo::MatchPhase, vo::MatchPhase phase) {
            if (phase == Phase::play) known = Grenades();
            if (phase == Phase::shot_fired) {
                for (vo::GrenadeEntity* g : Grenades())
                    if (!known.count(g)) thrown.push_back(g->soft_body()->get_velocity());
            }
        });
        EXPECT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));
    }

    std::set<vo::GrenadeEntity*> Grenades() {
        std::set<vo::GrenadeEntity*> found;
        for (unsigned i = 0; i < inside.scene().num_entities(); ++i)
            if (auto* g = dynamic_cast<vo::GrenadeEntity*>(inside.scene().entity(i))) found.insert(g);
        return found;
    }
    float LastThrowSpeed() const {
        const vo::vector3& v = thrown.back();
        return std::sqrt(v.x * v.x + v.y * v.y);
    }
    // Steps with the key held (or not) for count steps.
    void Hold(vo::KeyCode key, bool down, int count = 1) {
        devices->hold(key, down);
        env.step(count);
    }
    // Bodies the turned world sets rolling may take most of a minute to
    // come to rest.
    bool NextPlay() { return vo_test::RunToPhase(env, Phase::play, 60 * 120); }

    GameEnvironment env;
    vo::Match& match;
    vo::MatchInternals inside{match};
    vo_test::ScriptedDevices* devices = nullptr;  // owned by the match's controls
    std::set<vo::GrenadeEntity*> known;
    std::vector<vo::vector3> thrown;
};

TEST(HumanTurnControl, ChargesThrowWithTheirPowerAndAHeldFireChargesOnlyOnce) {
    HumanTurn turn;
    vo::Match& match = turn.match;
    vo::MatchInternals inside(match);

    // 0.4 s of charge: the first step starts it, 24 more add to it.
    turn.Hold(vo::KEY_SPACE, true, 25);
    EXPECT_TRUE(inside.charging());
    EXPECT_NEAR(inside.charge_fraction(), 0.4f, 1e-4f);
    EXPECT_EQ(match.phase(), Phase::play);
    turn.Hold(vo::KEY_SPACE, false);
    ASSERT_EQ(turn.thrown.size(), 1u);
    const float max_velocity = inside.scene().weapons.get<float>("grenade.maxVelocity");
    EXPECT_NEAR(turn.LastThrowSpeed(), 0.4f * max_velocity, 0.01f);
    EXPECT_FALSE(inside.charging());

    // Held on: the throw goes by itself at full charge, and the held key
    // starts no charge in the next turn until it is let go.
    ASSERT_TRUE(turn.NextPlay());
    turn.Hold(vo::KEY_SPACE, true, 60);
    EXPECT_EQ(turn.thrown.size(), 1u);
    EXPECT_TRUE(inside.charging());
    turn.env.step_until([&] { return turn.thrown.size() == 2; }, 3);
    ASSERT_EQ(turn.thrown.size(), 2u);
    EXPECT_GE(turn.LastThrowSpeed(), max_velocity - 0.01f);
    EXPECT_LE(turn.LastThrowSpeed(), max_velocity * (1.0f + 1.0f / 60.0f) + 0.01f);

    ASSERT_TRUE(turn.NextPlay());
    turn.Hold(vo::KEY_SPACE, true, 30);
    EXPECT_FALSE(inside.charging());
    turn.Hold(vo::KEY_SPACE, false);
    turn.Hold(vo::KEY_SPACE, true);
    EXPECT_TRUE(inside.charging());

    // Ending the turn wins over everything else in the step; a restart
    // forgets the charge.
    turn.devices->hold(vo::KEY_TAB, true);
    turn.env.step();
    EXPECT_EQ(turn.thrown.size(), 2u);
    EXPECT_NE(match.phase(), Phase::play);
    const vo::MatchSettings settings = inside.settings();
    turn.devices->hold(vo::KEY_TAB, false);
    match.start_match(settings, false);
    EXPECT_EQ(vo::GetTurnControlState().charging_slob, nullptr);
    EXPECT_TRUE(vo::GetTurnControlState().fire_released);
    EXPECT_TRUE(vo::GetTurnControlState().jump_released);
}

// Weapons of a test data set: the timed grenade starts selected, with three
// throws and a fixed velocity; the mine has one throw.
vo_test::AppSetup CountedWeapons(vo_test::TestDataSet& data) {
    data.edit("weapons.info", [](boost::property_tree::ptree& w) {
        w.put("availableWeapons.defaultWeapon", "timedGrenade");
        w.put("timedGrenade.fixedVelocity", 30);
    });
    vo_test::AppSetup setup;
    setup.config_info = data.config_info();
    return setup;
}

TEST(HumanTurnControl, FixedVelocityWeaponsGoAtOnceAndThrowsAreCounted) {
    vo_test::TestDataSet data;
    HumanTurn turn(CountedWeapons(data));
    vo::Match& match = turn.match;
    vo::MatchInternals inside(match);
    vo::WeaponSelectWidget* weapons = inside.weapon_select();
    ASSERT_EQ(weapons->selected_weapon(), "timedGrenade");

    // Thrown in the step the key comes down, at full power.
    turn.Hold(vo::KEY_SPACE, true);
    ASSERT_EQ(turn.thrown.size(), 1u);
    EXPECT_NEAR(turn.LastThrowSpeed(), 30.0f, 0.01f);
    EXPECT_EQ(inside.teams()[0].weapon_counts.at("timedGrenade"), 2);
    EXPECT_EQ(weapons->button("timedGrenade")->text(), "2");
    turn.Hold(vo::KEY_SPACE, false);

    // Unlimited throws stay unlimited.
    ASSERT_TRUE(turn.NextPlay());
    turn.env.app().click(weapons->button("grenade"));
    ASSERT_EQ(weapons->selected_weapon(), "grenade");
    turn.Hold(vo::KEY_SPACE, true);
    turn.Hold(vo::KEY_SPACE, false);
    ASSERT_EQ(turn.thrown.size(), 2u);
    EXPECT_EQ(inside.teams()[1].weapon_counts.at("grenade"), -1);

    // A team out of its timed grenades starts its turn with the last listed
    // weapon it has, and an empty weapon is refused with a notice.
    const_cast<vo::TeamState&>(inside.teams()[0]).weapon_counts["timedGrenade"] = 0;
    ASSERT_TRUE(turn.NextPlay());
    ASSERT_EQ(inside.current_team(), 0);
    EXPECT_EQ(weapons->selected_weapon(), "grenade");
    weapons->on_weapon_clicked(weapons->button("timedGrenade"));
    const std::size_t notices = inside.notifications()->lines().size();
    turn.Hold(vo::KEY_SPACE, true, 5);
    EXPECT_EQ(turn.thrown.size(), 2u);
    EXPECT_EQ(match.phase(), Phase::play);
    EXPECT_FALSE(inside.charging());
    ASSERT_EQ(inside.notifications()->lines().size(), notices + 1);
    EXPECT_EQ(std::string(inside.notifications()->lines().back().text->text()), "No timedGrenade left!");
}

TEST(HumanTurnControl, AJumpNeedsContactAndAPauseAndOnePressJumpsOnce) {
    HumanTurn turn;
    vo::Match& match = turn.match;
    vo::MatchInternals inside(match);
    const double delay = 1.5 * inside.config()->touchDelay;
    vo::SoftBody* body = vo::BodyOf(inside.acting_slob());
    auto up_speed = [&] {
        const vo::vector3 v = body->get_velocity();
        return v.x * inside.world_up().x + v.y * inside.world_up().y;
    };

    // Without contact a held key tries again every step; it jumps as soon
    // as the slob touches the ground.
    turn.devices->hold(vo::KEY_W, true);
    ASSERT_TRUE(turn.env.step_until([&] { return inside.last_jump_time() > 0.0; }, 300));
    const double first = inside.last_jump_time();
    EXPECT_NEAR(first, inside.clock(), 1e-9);
    EXPECT_GT(up_speed(), 6.0f);

    // Held on: no second jump, even back on the ground.
    turn.Hold(vo::KEY_W, true, 180);
    EXPECT_EQ(inside.last_jump_time(), first);

    // Let go and pressed again: it jumps (once in contact) ...
    turn.Hold(vo::KEY_W, false);
    turn.devices->hold(vo::KEY_W, true);
    ASSERT_TRUE(turn.env.step_until([&] { return inside.last_jump_time() > first; }, 300));
    const double second = inside.last_jump_time();
    // ... but not again within 1.5 touch delays of the last jump.
    turn.Hold(vo::KEY_W, false);
    turn.Hold(vo::KEY_W, true);
    ASSERT_LT(inside.clock() - second, delay);
    EXPECT_EQ(inside.last_jump_time(), second);
}

TEST(HumanTurnControl, FuseKeysPanAndZoom) {
    HumanTurn turn;
    vo::Match& match = turn.match;
    vo::MatchInternals inside(match);

    turn.Hold(vo::KEY_3, true);
    EXPECT_EQ(inside.timer_selection(), 3);
    EXPECT_TRUE(inside.timer_buttons()[3]->is_checked());
    turn.Hold(vo::KEY_3, false);
    turn.Hold(vo::KEY_0, true);
    EXPECT_EQ(inside.timer_selection(), 0);
    EXPECT_TRUE(inside.timer_buttons()[0]->is_checked());
    turn.Hold(vo::KEY_0, false);

    // The pad's timer axis steps one button at a time and stops at the
    // last button, as the digit keys do: never past it to no button at all.
    const int last = static_cast<int>(inside.timer_buttons().size()) - 1;
    turn.devices->now.joystick_connected = true;
    for (int i = 0; i < last + 3; ++i) {
        turn.devices->now.joystick_axes[6] = 1.0f;
        turn.env.step();
        EXPECT_EQ(inside.timer_selection(), std::min(i + 1, last));
        turn.devices->now.joystick_axes[6] = 0.0f;
        turn.env.step();
    }
    EXPECT_TRUE(inside.timer_buttons()[static_cast<std::size_t>(last)]->is_checked());
    turn.devices->now.joystick_axes[6] = -1.0f;
    turn.env.step();
    turn.devices->now.joystick_axes[6] = 0.0f;
    turn.env.step();
    EXPECT_EQ(inside.timer_selection(), last - 1);
    turn.devices->now.joystick_connected = false;

    // A 25-pixel drag reaches the camera in five steps of 2 units; 15 wait.
    vo::SmartPtr<vo::ActionCameraController> camera = inside.camera();
    const vo::vector3 before = camera->custom_offset();
    turn.devices->now.mouse_buttons = vo::MOUSE_BUTTON_LEFT;
    turn.env.step();
    turn.devices->now.mouse_x += 25.0f;
    turn.env.step();
    const vo::vector3 after = camera->custom_offset();
    EXPECT_NEAR(std::hypot(after.x - before.x, after.y - before.y), 10.0f, 1e-3f);
    EXPECT_NEAR(std::hypot(inside.pan_offset().x, inside.pan_offset().y), 15.0f, 1e-3f);
    // Moving along the turned world's right.
    EXPECT_NEAR((after.x - before.x) * inside.world_right().x + (after.y - before.y) * inside.world_right().y, 10.0f,
                1e-3f);
    turn.devices->now.mouse_buttons = 0;
    turn.env.step(3);
    EXPECT_NEAR(std::hypot(inside.pan_offset().x, inside.pan_offset().y), 0.0f, 1e-3f);

    // The wheel far out stops at 0.02.
    turn.devices->now.mouse_wheel = -100.0f;
    turn.env.step();
    EXPECT_FLOAT_EQ(camera->zoom_limit(), 0.02f);
    // One notch in from there: 10 % closer than the present zoom.
    turn.devices->now.mouse_wheel = 1.0f;
    const float z = camera->zoom();
    turn.env.step();
    EXPECT_FLOAT_EQ(camera->zoom_limit(), 1.1f * std::max(z, 0.02f));
}

}  // namespace

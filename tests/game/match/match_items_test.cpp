// Items of a seeded match: the draws of a turn with their notices and the
// camera's flight to each item, the pick-up by a touching slob and the
// effects of an item, one pick-up however many slobs touch it, and the
// power-ups dealt to every team.

#include "match_scenarios.h"

#include "engine/audio/sound_handler.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/item.h"
#include "game/behaviors/rest.h"
#include "game/match/match_internals.h"
#include "game/menus/notification_widget.h"
#include "game/menus/weapon_select_widget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using vo_test::GameEnvironment;
using Phase = vo::MatchPhase;

std::string ItemsInfo(const char* frequency) {
    return std::string("frequency ") + frequency + R"(
maxInitialThrows 3
maxThrowsPerRound 1
itemBody { radius 0.6 numBoundaryPoints 10 friction 0.5 mass 0.4 }
items
{
    health { relativeFrequency 1 name "Health Pack" image { texture items/health.png } addHealth 25 addHealth 5 }
    weapons { relativeFrequency 1 name "Timed Grenades" image { texture items/timed_crate.png } addWeapon timedGrenade addWeapon timedGrenade addWeapon grenade }
    rotation { relativeFrequency 1 name "World Rotation" image { texture items/world_rotation.png } addRotateWorld 2 }
}
)";
}

std::vector<std::string> Notices(vo::Match& match) {
    std::vector<std::string> lines;
    for (vo::NotificationWidget::Line const& line : vo::Inspect(match).notifications()->lines())
        lines.push_back(line.text->text());
    return lines;
}

std::vector<vo::Entity*> Items(vo::Match& match) {
    vo::MatchInternals inside(match);
    std::vector<vo::Entity*> items;
    for (unsigned i = 0; i < inside.scene().num_entities(); ++i) {
        vo::Entity* e = inside.scene().entity(i);
        if (e->get_behavior<vo::behaviors::Item>() && !e->was_killed()) items.push_back(e);
    }
    return items;
}

float Distance(vo::vector3 const& a, vo::vector3 const& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// With frequency 1 every draw gives an item: three at the first turn, one at
// every later one. Each is announced while the camera flies to it.
TEST(MatchItems, WithFrequencyOneEveryDrawGivesAnAnnouncedItem) {
    GameEnvironment env({}, {{"items.info", ItemsInfo("1")}});
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    std::set<std::string> notices;
    std::vector<vo::vector3> announced_at;
    std::vector<float> camera_to_item;
    std::size_t items_before_draw = 0;
    std::vector<std::size_t> items_drawn;
    inside.set_phase_observer([&](vo::MatchPhase old_phase, vo::MatchPhase phase) {
        if (phase == Phase::wait && old_phase == Phase::item_notices) {
            for (std::string const& line : Notices(match)) notices.insert(line);
            announced_at.clear();
            for (vo::Entity* item : Items(match)) {
                announced_at.emplace_back();
                vo::GetPosition(item, announced_at.back());
            }
        }
        if (phase == Phase::item_notices && old_phase == Phase::wait) {
            // The flight to the item just announced has ended where the item
            // was.
            float nearest = 1e9f;
            for (vo::vector3 const& p : announced_at)
                nearest = std::min(nearest, Distance(p, inside.camera()->look_at()));
            camera_to_item.push_back(nearest);
        }
        // Items drawn in a turn: those lying at its start minus those lying
        // before the draw (some may have been taken in between).
        if (phase == Phase::item_draw) items_before_draw = Items(match).size();
        if (phase == Phase::new_turn) items_drawn.push_back(Items(match).size() - items_before_draw);
    });
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 1));
    ASSERT_TRUE(env.step_until([&] { return items_drawn.size() == 2; }, 60 * 60));

    EXPECT_EQ(items_drawn, (std::vector<std::size_t>{3, 1}));
    ASSERT_EQ(camera_to_item.size(), 4u);
    for (float d : camera_to_item) EXPECT_LT(d, 1.0f);
    std::set<std::string> item_notices;
    for (std::string const& line : notices)
        if (line.rfind("new item: ", 0) == 0) item_notices.insert(line);
    EXPECT_FALSE(item_notices.empty());
    for (std::string const& line : item_notices) {
        EXPECT_TRUE(line == "new item: Health Pack" || line == "new item: Timed Grenades" ||
                    line == "new item: World Rotation")
            << line;
    }
}

class MatchPickUps : public testing::Test {
protected:
    MatchPickUps() : env({}, {{"items.info", ItemsInfo("0")}}), match(env.match()) {}

    // A seeded match of two teams of two, team 0 playing, with time to play.
    void SetUp() override {
        vo_test::StartSeeded(env, vo_test::TeamsOf(2, 2));
        ASSERT_TRUE(vo_test::RunToPhase(env, Phase::new_turn, 60 * 20));
        inside.config()->roundTime = 1000.0;
        ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 60 * 20));
        ASSERT_EQ(inside.current_team(), 0);
    }

    // An item lying far from everything, for the events the tests send.
    vo::Entity* AnItem(const char* key) {
        return inside.scene().create_item(std::string("items.") + key, vo::vector3(0.0f, 0.0f, 0.0f));
    }
    void Touch(vo::Entity* item, vo::Entity* other) {
        inside.scene().emit_event(new vo::ItemEvent(item, other), 0.0);
    }
    vo::Entity* Slob(int index) { return inside.slobs()[static_cast<std::size_t>(index)].entity; }
    std::size_t Count(std::string const& notice) {
        std::size_t n = 0;
        for (std::string const& line : Notices(match)) n += line == notice;
        return n;
    }

    GameEnvironment env;
    vo::Match& match;
    vo::MatchInternals inside{match};
};

// A slob of the team that is not playing lands on a health item: it heals
// by both "addHealth" entries, its team is told, the pick-up sounds and the
// item goes.
TEST_F(MatchPickUps, ASlobTouchingAHealthItemTakesIt) {
    vo::Entity* slob = Slob(2);  // team 1's first
    ASSERT_EQ(inside.slobs()[2].team, 1);
    // The world has turned to the acting slob's ground: the slob settles on
    // its new ground first.
    vo::behaviors::Rest& rest = *slob->get_behavior<vo::behaviors::Rest>();
    ASSERT_TRUE(env.step_until([&] { return rest.is_resting(); }, 60 * 20));
    vo::vector3 at;
    vo::GetPosition(slob, at);
    const vo::vector3 up = inside.world_up();
    vo::Entity* item =
        inside.scene().create_item("items.health", vo::vector3(at.x + 2.2f * up.x, at.y + 2.2f * up.y, 0.0f));
    const float health = vo_test::HealthOfSlob(match, 2);
    const std::size_t sounds = vo::SoundHandler::num_kept_sounds();
    ASSERT_TRUE(env.step_until([&] { return Items(match).empty(); }, 120));
    EXPECT_EQ(vo_test::HealthOfSlob(match, 2), health + 30.0f);
    EXPECT_EQ(Count("Team 1 Got Health Pack"), 1u);
    EXPECT_GT(vo::SoundHandler::num_kept_sounds(), sounds);
    env.step();
    for (unsigned i = 0; i < inside.scene().num_entities(); ++i) EXPECT_NE(inside.scene().entity(i), item);
}

// Two slobs touching one item in the same step: the first takes it, the
// second finds it gone. Bodies that are no slobs never take an item.
TEST_F(MatchPickUps, AnItemIsTakenOnceAndOnlyBySlobs) {
    vo::Entity* item = AnItem("health");
    Touch(item, AnItem("rotation"));
    Touch(item, inside.scene().throw_grenade("mine", vo::vector3(0.0f, 0.0f, 0.0f), vo::vector3(), 0.0f, 0.0, nullptr));
    env.step();
    EXPECT_EQ(Items(match).size(), 2u);
    EXPECT_EQ(Count("Team 0 Got Health Pack"), 0u);

    const float health0 = vo_test::HealthOfSlob(match, 0);
    const float health2 = vo_test::HealthOfSlob(match, 2);
    Touch(item, Slob(0));
    Touch(item, Slob(2));
    env.step();
    EXPECT_EQ(vo_test::HealthOfSlob(match, 0), health0 + 30.0f);
    EXPECT_EQ(vo_test::HealthOfSlob(match, 2), health2);
    EXPECT_EQ(Count("Team 0 Got Health Pack"), 1u);
    EXPECT_EQ(Items(match).size(), 1u);
}

// "addWeapon": one more throw per entry (an unlimited weapon stays
// unlimited); the acting team's button shows the count and pulses. Another
// team's pick-up leaves the buttons showing the acting team.
TEST_F(MatchPickUps, WeaponsAddThrowsAndPulseTheButton) {
    vo::WeaponSelectWidget& weapons = *inside.weapon_select();
    vo::ButtonWidget& button = *weapons.button("timedGrenade");
    const vo::Frame rest = button.frame();
    const int timed = inside.teams()[0].weapon_counts.at("timedGrenade");

    Touch(AnItem("weapons"), Slob(0));
    env.step();
    EXPECT_EQ(inside.teams()[0].weapon_counts.at("timedGrenade"), timed + 2);
    EXPECT_EQ(inside.teams()[0].weapon_counts.at("grenade"), -1);
    EXPECT_EQ(button.text(), std::to_string(timed + 2));
    EXPECT_GT(button.frame().width(), 1.5f * rest.width());
    env.step(40);
    EXPECT_FLOAT_EQ(button.frame().width(), rest.width());

    Touch(AnItem("weapons"), Slob(2));  // team 1's
    env.step();
    EXPECT_EQ(inside.teams()[1].weapon_counts.at("timedGrenade"), timed + 2);
    EXPECT_EQ(button.text(), std::to_string(timed + 2));
    EXPECT_FLOAT_EQ(button.frame().width(), rest.width());
}

// A weapon that is no available weapon (the load rules refuse such an item;
// here the description is changed after loading) is skipped with a warning;
// the item's other effects still apply.
TEST_F(MatchPickUps, AnUnknownWeaponIsIgnored) {
    vo::Entity* item = AnItem("health");
    vo::ptree& description = item->get_behavior<vo::behaviors::Item>()->description;
    description.clear();
    description.add("name", "Nukes");
    description.add("addWeapon", "nukes");
    description.add("addHealth", "5");
    const std::map<std::string, int> counts = inside.teams()[0].weapon_counts;
    const float health = vo_test::HealthOfSlob(match, 0);
    testing::internal::CaptureStdout();
    Touch(item, Slob(0));
    env.step();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("WARNING: an item gives the weapon 'nukes'"), std::string::npos) << out;
    EXPECT_EQ(inside.teams()[0].weapon_counts, counts);
    EXPECT_EQ(vo_test::HealthOfSlob(match, 0), health + 5.0f);
    EXPECT_EQ(Count("Team 0 Got Nukes"), 1u);
}

// "addRotateWorld": more turns of the world for the team; the acting team's
// button shows them, is enabled and pops from twice its size back to rest.
TEST_F(MatchPickUps, WorldRotationsAreAddedAndTheButtonPops) {
    vo::ButtonWidget& button = *inside.world_rotate_button();
    const vo::Frame rest = button.frame();
    const int before = inside.teams()[0].world_rotations_left;
    ASSERT_GE(before, 0);
    Touch(AnItem("rotation"), Slob(0));
    env.step();
    EXPECT_EQ(inside.teams()[0].world_rotations_left, before + 2);
    EXPECT_EQ(button.text(), std::to_string(before + 2));
    EXPECT_TRUE(button.is_enabled());
    EXPECT_GT(button.frame().width(), 1.5f * rest.width());
    env.step(40);
    EXPECT_FLOAT_EQ(button.frame().width(), rest.width());
    EXPECT_FLOAT_EQ(button.frame().left(), rest.left());
}

// Every team is dealt its numbered power-ups. None has a switch in the
// interface, so none is on; a team whose power-up had a pressed toggle
// would have it on, and used once asked to consume it.
TEST_F(MatchPickUps, EveryTeamIsDealtPowerUpsThatNoSwitchTurnsOn) {
    for (vo::TeamState const& team : inside.teams()) {
        ASSERT_EQ(static_cast<int>(team.power_ups.size()), inside.config()->numPowerupsPerTeam);
        for (std::size_t i = 0; i < team.power_ups.size(); ++i) {
            EXPECT_EQ(team.power_ups[i].sequence, static_cast<int>(i) + 2);
            EXPECT_EQ(team.power_ups[i].button, nullptr);
            EXPECT_FALSE(team.power_ups[i].used);
        }
    }
    for (int kind = 0; kind < 4; ++kind) EXPECT_FALSE(inside.use_power_up(kind, true));
    EXPECT_EQ(inside.scene().lava_explosions, 0);

    auto& team = const_cast<vo::TeamState&>(inside.teams()[0]);
    ASSERT_FALSE(team.power_ups.empty());
    vo::ButtonWidget toggle;
    toggle.set_checkable(true);
    team.power_ups[0].button = &toggle;
    const int kind = team.power_ups[0].power_up.kind;
    EXPECT_FALSE(inside.use_power_up(kind, true));  // not pressed
    toggle.press();
    EXPECT_TRUE(inside.use_power_up(kind, false));
    EXPECT_FALSE(team.power_ups[0].used);
    EXPECT_TRUE(inside.use_power_up(kind, true));
    EXPECT_TRUE(team.power_ups[0].used);
    // The pressed toggle switches on its own kind only: no other power-up
    // of the team has a toggle.
    EXPECT_FALSE(inside.use_power_up((kind + 1) % 4, true));
    team.power_ups[0].button = nullptr;
}

}  // namespace

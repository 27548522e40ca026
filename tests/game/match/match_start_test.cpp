// The level preview and the start of a match on the real game environment.

#include "match_scenarios.h"

#include "engine/core/binary_buffer.h"
#include "engine/core/path_provider.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/camera_2d_perspective.h"
#include "engine/sfml/buffers.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/static_visual.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/widget.h"
#include "game/app/characters.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/camera/action_camera_controller.h"
#include "game/level/level_geometry_handle.h"
#include "game/match/match_config.h"
#include "game/match/match_entities.h"
#include "game/match/match_internals.h"
#include "game/match/turn_control_state.h"
#include "support/game/level_scene_harness.h"

#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include <set>
#include <string>
#include <vector>

namespace {

using vo_test::GameEnvironment;

// What identifies a generated level: its snapshot and the sizes of its mesh.
struct LevelPrint {
    std::vector<char> snapshot;
    unsigned vertices = 0;
    unsigned indices = 0;
    std::size_t collision_vertices = 0;

    bool operator==(LevelPrint const& o) const {
        return snapshot == o.snapshot && vertices == o.vertices && indices == o.indices &&
               collision_vertices == o.collision_vertices;
    }
};

LevelPrint PrintOf(vo::Match& match) {
    vo::MatchInternals inside(match);
    LevelPrint print;
    inside.serialize();
    vo::BinaryBuffer& buffer = inside.snapshot_buffer();
    print.snapshot.assign(buffer.buffer(), buffer.buffer() + buffer.write_pos());
    vo::LevelGeometryImpl const& level = inside.level()->geometry();
    print.vertices = level.visual()->vertex_buffer()->num_vertices();
    print.indices = level.visual()->index_buffer()->num_indices();
    print.collision_vertices = level.collision_vertices().size();
    return print;
}

TEST(MatchPreview, OneSeedGivesOneLevelAndTheDiscTurnsInView) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);

    match.show_level_preview(41, -1.0f);
    const LevelPrint first = PrintOf(match);
    match.show_level_preview(41, 4.0f / 3.0f);
    EXPECT_TRUE(PrintOf(match) == first);
    EXPECT_FLOAT_EQ(inside.scene().camera().aspect_ratio(), 4.0f / 3.0f);
    match.show_level_preview(42, -1.0f);
    EXPECT_FALSE(PrintOf(match) == first);
    EXPECT_GT(first.snapshot.size(), 8u);
    EXPECT_GT(first.collision_vertices, 0u);

    // The snapshot alone rebuilds the level.
    match.show_level_preview(41, -1.0f);
    inside.serialize();
    inside.deserialize();
    EXPECT_TRUE(PrintOf(match) == first);

    // The screen's own aspect ratio with -1; the whole disc in view.
    vo::Engine& engine = vo::Engine::instance();
    EXPECT_FLOAT_EQ(inside.scene().camera().aspect_ratio(),
                    static_cast<float>(engine.screen_width()) / static_cast<float>(engine.screen_height()));
    EXPECT_FLOAT_EQ(inside.camera()->zoom(), 0.02f);
    EXPECT_EQ(match.phase(), vo::MatchPhase::preview);
    EXPECT_TRUE(inside.preview_mode());
    EXPECT_TRUE(inside.slobs().empty());
    EXPECT_EQ(vo_test::CountEntities(match, "LevelGeometry"), 1);
    EXPECT_EQ(inside.scene().num_entities(), 1u);

    // 20 degrees per second.
    env.push_match();
    env.step(60);
    EXPECT_NEAR(inside.world_rotation(), 20.0f, 1e-3f);
    EXPECT_NEAR(inside.camera()->rotation(), 20.0f, 1e-3f);

    const sf::Image shot = env.app().screenshot("match_preview");
    // The rock and its lava fill the middle of the window; no head-up display.
    std::set<unsigned> colours;
    for (unsigned y = 0; y < shot.getSize().y; y += 16)
        for (unsigned x = 0; x < shot.getSize().x; x += 16) colours.insert(shot.getPixel(x, y).toInteger());
    EXPECT_GT(colours.size(), 20u);
    EXPECT_FALSE(inside.hud_built());
}

TEST(MatchStart, RefusesSetUpsThatCannotBePlayedBeforeAnythingChanges) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    match.show_level_preview(5, -1.0f);
    const LevelPrint level = PrintOf(match);

    vo::MatchSettings with_empty_team = vo_test::TeamsOf(2, 2);
    vo::TeamDesc empty;
    empty.name = "Nobody";
    with_empty_team.add_team(empty, false, vo::Color(1.0f, 1.0f, 1.0f, 1.0f));
    const vo::MatchSettings set_ups[] = {vo::MatchSettings(), vo_test::TeamsOf(1, 3), with_empty_team};

    for (vo::MatchSettings const& settings : set_ups) {
        SCOPED_TRACE(settings.num_teams());
        EXPECT_THROW(match.start_match(settings, true), vo::Error);
        EXPECT_EQ(match.phase(), vo::MatchPhase::preview);
        EXPECT_TRUE(inside.preview_mode());
        EXPECT_EQ(inside.settings().num_teams(), 0u);
        EXPECT_FALSE(inside.hud_built());
        EXPECT_TRUE(PrintOf(match) == level);
    }
}

// Without mines to lay and without a computer team, a match needs neither
// "mine" nor "grenade"; a computer team's match without "grenade" is refused
// at its start, naming it, before the display is built.
TEST(MatchStart, NeedsMineAndGrenadeOnlyForMinesAndComputerTeams) {
    std::string game_config = vo_test::ShippedConfig("game_config.info");
    const std::string mines = "\nnumMines ";
    const std::size_t at = game_config.find(mines);
    ASSERT_NE(at, std::string::npos);
    game_config.replace(at, game_config.find('\n', at + 1) - at, "\nnumMines 0");
    GameEnvironment env(vo_test::AppSetup(), {{"weapons.info", vo_test::ShippedWeaponsWithoutMineAndGrenade()},
                                             {"game_config.info", game_config}});
    vo::Match& match = env.match();
    vo::SetMatchSeedOverride(vo_test::kSetUpSeed);
    match.show_level_preview(vo_test::kLevelSeed, -1.0f);

    testing::internal::CaptureStdout();
    EXPECT_THROW(match.start_match(vo_test::TeamsOf(2, 1, true), false), vo::Error);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("weapons.info: grenade: no weapon description (the match throws 'grenade' by name)"),
              std::string::npos)
        << out;
    EXPECT_FALSE(vo::Inspect(match).hud_built());

    match.start_match(vo_test::TeamsOf(2, 1), false);
    env.push_match();
    EXPECT_TRUE(vo_test::RunToPhase(env, vo::MatchPhase::play, 600));
    EXPECT_EQ(vo_test::CountEntities(match, "GrenadeEntity"), 0);
}

// The match's configuration file is held to the load rules when it is
// loaded: a slob body the circle builder would refuse at population ends
// the preview at start-up with the file's line, not the first match.
TEST(MatchPreview, RefusesAGameConfigurationWhoseSlobsCannotBeBuilt) {
    std::string config = vo_test::ShippedConfig("game_config.info");
    const std::string points = "numBoundaryPoints 12";
    ASSERT_NE(config.find(points), std::string::npos);
    config.replace(config.find(points), points.size(), "numBoundaryPoints 5000");
    GameEnvironment env(vo_test::AppSetup(), {{"game_config.info", config}});
    try {
        env.match().show_level_preview(5, -1.0f);
        ADD_FAILURE() << "no Error";
    } catch (vo::Error const& e) {
        EXPECT_EQ(std::string(e.message()), "game_config.info: slob.numBoundaryPoints: is 5000, it must lie in 3 .. 4096");
    }
}

// Slobs draw with their character's texture, and with the slob body's only
// for a character that has none: then the body's must be there. A body
// number that does not read takes its default, with a warning, as the file
// is loaded.
TEST(MatchPreview, NeedsTheSlobTextureOnlyForACharacterWithoutOne) {
    std::string config = vo_test::ShippedConfig("game_config.info");
    for (auto const& edit : {std::make_pair(std::string("texture tarvessa_ball.png"), std::string("texture gone.png")),
                             std::make_pair(std::string("numBoundaryPoints 12"), std::string("numBoundaryPoints twelve"))}) {
        ASSERT_NE(config.find(edit.first), std::string::npos) << edit.first;
        config.replace(config.find(edit.first), edit.first.size(), edit.second);
    }
    std::string characters = vo_test::ShippedConfig("characters.info");
    const std::string gronk = "textureName chars/gronk.png";
    ASSERT_NE(characters.find(gronk), std::string::npos);
    characters.replace(characters.find(gronk), gronk.size(), "textureName \"\"");
    GameEnvironment env(vo_test::AppSetup(), {{"game_config.info", config}, {"characters.info", characters}});
    // The characters as the game reads them at start-up, from the changed
    // configuration folder.
    vo::SetCharactersFilePath(vo::PathProvider::get_path(1) + "characters.info");
    vo::LoadCharacters();
    testing::internal::CaptureStdout();
    std::string refusal = "no Error";
    try {
        env.match().show_level_preview(5, -1.0f);
    } catch (vo::Error const& e) {
        refusal = e.message();
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(refusal, "game_config.info: slob.texture: no texture file 'gone.png'");
    EXPECT_NE(out.find("WARNING: game_config.info: slob.numBoundaryPoints: 'twelve' is not a whole number, 12 used"),
              std::string::npos)
        << out;
}

TEST(MatchStart, PopulatesTheLevelOnceAndTheDisplayOnlyOnce) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo::SetMatchSeedOverride(vo_test::kSetUpSeed);
    match.show_level_preview(vo_test::kLevelSeed, -1.0f);
    const LevelPrint preview = PrintOf(match);

    // Left over from a match that was abandoned mid-charge.
    vo::GetTurnControlState().fire_released = false;
    vo::GetTurnControlState().charge_time = 0.7;

    match.start_match(vo_test::TeamsOf(2, 3), false);
    vo::MatchConfig const& config = *inside.config();

    EXPECT_EQ(match.phase(), vo::MatchPhase::match_start);
    EXPECT_FALSE(inside.preview_mode());
    EXPECT_TRUE(PrintOf(match) == preview) << "the match is played on the previewed level";
    EXPECT_TRUE(vo::GetTurnControlState().fire_released);
    EXPECT_EQ(vo::GetTurnControlState().charge_time, 0.0);
    EXPECT_DOUBLE_EQ(inside.death_interval(), 2.0);
    EXPECT_EQ(inside.scene().physics_handler()->get_gravity().y, 0.0f);

    // Six slobs in team and member order, full health, all apart.
    ASSERT_EQ(inside.slobs().size(), 6u);
    ASSERT_EQ(inside.teams().size(), 2u);
    for (int i = 0; i < 6; ++i) {
        vo::SlobRecord const& record = inside.slobs()[static_cast<std::size_t>(i)];
        EXPECT_EQ(record.team, i / 3);
        EXPECT_EQ(record.member, i % 3);
        EXPECT_EQ(record.last_health, -1);
        EXPECT_NE(dynamic_cast<vo::SlobEntity*>(record.entity), nullptr);
        EXPECT_FLOAT_EQ(vo_test::HealthOfSlob(match, i), 100.0f);
    }
    for (std::size_t t = 0; t < 2; ++t) {
        vo::TeamState const& team = inside.teams()[t];
        EXPECT_EQ(team.members, (std::vector<int>{static_cast<int>(3 * t), static_cast<int>(3 * t + 1),
                                                  static_cast<int>(3 * t + 2)}));
        EXPECT_EQ(team.desc, &inside.settings().teams()[t]);
        EXPECT_EQ(team.acting_member, -1);
        EXPECT_EQ(team.world_rotations_left, config.numWorldRotates);
        EXPECT_EQ(static_cast<int>(team.power_ups.size()), config.numPowerupsPerTeam);
        for (vo::TeamPowerUp const& p : team.power_ups) EXPECT_TRUE(p.power_up.kind >= 0 && p.power_up.kind < 4);
        EXPECT_FALSE(team.weapon_counts.empty());
        EXPECT_EQ(team.weapon_counts.count("defaultWeapon"), 0u);
    }
    EXPECT_EQ(vo_test::CountEntities(match, "GrenadeEntity"), config.numMines);

    std::vector<vo::Sphere> const& spheres = inside.occupied_spheres();
    ASSERT_EQ(static_cast<int>(spheres.size()), 6 + config.numMines);
    for (std::size_t a = 0; a < spheres.size(); ++a)
        for (std::size_t b = a + 1; b < spheres.size(); ++b)
            EXPECT_FALSE(spheres[a].intersects(spheres[b])) << "spheres " << a << " and " << b;
    // Each slob lies against the rock.
    for (vo::SlobRecord const& record : inside.slobs()) {
        const vo::vector3 c = vo::BodyOf(record.entity)->calculate_center();
        EXPECT_LT(c.x * c.x + c.y * c.y, 100.0f * 100.0f);
    }

    // The head-up display, once: a second start reuses every widget.
    ASSERT_TRUE(inside.hud_built());
    const unsigned widgets = inside.hud_root()->num_children();
    vo::ButtonWidget* const contact = inside.timer_buttons().at(0);
    EXPECT_EQ(inside.timer_buttons().size(), 7u);
    EXPECT_TRUE(inside.round_timer_box()->is_visible());
    match.start_match(vo_test::TeamsOf(2, 3), false);
    EXPECT_EQ(inside.hud_root()->num_children(), widgets);
    EXPECT_EQ(inside.timer_buttons().at(0), contact);
    EXPECT_EQ(inside.slobs().size(), 6u);
}

}  // namespace

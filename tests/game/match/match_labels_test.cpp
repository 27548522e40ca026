// The labels above the slobs, their screams and the team panel's life bars
// in a seeded match of human teams.

#include "match_scenarios.h"

#include "engine/sfml/engine.h"
#include "engine/widgets/text_widget.h"
#include "game/app/characters.h"
#include "game/match/match_internals.h"
#include "game/match/scream_lengths.h"
#include "game/menus/bar_widget.h"

#include <SFML/Audio/SoundBuffer.hpp>

#include <gtest/gtest.h>

#include <boost/property_tree/ptree.hpp>

#include <boost/property_tree/info_parser.hpp>

#include <cmath>
#include <string>
#include <vector>

namespace {

using vo_test::GameEnvironment;
using Phase = vo::MatchPhase;

std::string Label(vo::Match& match, int index) {
    return vo::Inspect(match).slobs()[static_cast<std::size_t>(index)].label.text();
}

TEST(SlobLabels, NameAndWholeHealthTheActingSlobsLargerAndFramed) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 2));
    inside.config()->roundTime = 2.0;  // the turns end by themselves
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));
    ASSERT_EQ(inside.current_team(), 0);
    const float h = static_cast<float>(inside.name_text_height());

    // Records are team by team: T0 m0 acts.
    EXPECT_EQ(Label(match, 0), "+ T0 m0: 100 +");
    EXPECT_EQ(Label(match, 1), "T0 m1: 100");
    EXPECT_EQ(Label(match, 2), "T1 m0: 100");
    EXPECT_FLOAT_EQ(inside.slobs()[0].label.text_height(), 1.25f * h);
    EXPECT_FLOAT_EQ(inside.slobs()[2].label.text_height(), h);
    EXPECT_EQ(inside.slobs()[2].label.color().b, inside.teams()[1].color.b);
    // The acting slob's label stands above it, in view.
    vo::Engine& engine = vo::Engine::instance();
    const vo::vector3 at = inside.slobs()[0].label.position();
    EXPECT_GT(at.x, 0.0f);
    EXPECT_GT(at.y, 0.0f);
    EXPECT_LT(at.y, 0.5f * static_cast<float>(engine.screen_height()));

    // Whole numbers only: 80.7 -> 80.2 changes nothing, 80 -> 79.5 does.
    vo_test::SetHealthOfSlob(match, 2, 80.7f);
    env.step();
    EXPECT_EQ(Label(match, 2), "T1 m0: 80");
    vo_test::SetHealthOfSlob(match, 2, 80.2f);
    env.step();
    EXPECT_EQ(Label(match, 2), "T1 m0: 80");
    EXPECT_EQ(inside.slobs()[2].last_health, 80);

    // The framing moves to the next acting slob.
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::turn_over, 300));
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 60 * 120));
    ASSERT_EQ(inside.current_team(), 1);
    // (The turned world may have hurt them meanwhile.)
    EXPECT_EQ(Label(match, 0), "T0 m0: " + std::to_string(inside.slobs()[0].last_health));
    EXPECT_EQ(Label(match, 2), "+ T1 m0: " + std::to_string(inside.slobs()[2].last_health) + " +");
    EXPECT_FLOAT_EQ(inside.slobs()[2].label.text_height(), 1.25f * h);
}

TEST(SlobVoices, AHurtSlobScreamsOnceUntilItsVoiceAndThePauseAreOver) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 1));
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));
    vo::SlobRecord const& slob = inside.slobs()[1];
    vo::CharacterDesc const& character = inside.teams()[1].desc->character;
    ASSERT_FALSE(inside.teams()[1].screams.empty());
    std::vector<double> const& lengths = vo::ScreamLengths(character);
    ASSERT_EQ(lengths.size(), inside.teams()[1].screams.size());

    // A rise is shown but heard not.
    vo_test::SetHealthOfSlob(match, 1, 150.0f);
    env.step();
    EXPECT_EQ(slob.next_scream_time, 0.0);

    vo_test::SetHealthOfSlob(match, 1, 90.0f);
    env.step();
    const double screamed = inside.clock();
    const double next = slob.next_scream_time;
    const double busy = slob.voice_end_time;
    auto const& config = *inside.config();
    EXPECT_GE(next, screamed + config.minTimeBetweenScreams);
    EXPECT_LT(next, screamed + config.maxTimeBetweenScreams);
    // Busy for one of the samples' length at the character's pitch.
    bool one_of_them = false;
    for (double length : lengths) one_of_them |= std::abs(busy - (screamed + length / character.pitch)) < 1e-9;
    EXPECT_TRUE(one_of_them);

    // A second hit soon after: no new scream.
    vo_test::SetHealthOfSlob(match, 1, 80.0f);
    env.step();
    EXPECT_EQ(slob.next_scream_time, next);
    EXPECT_EQ(slob.voice_end_time, busy);
    // Once both times have passed, the next hit screams again.
    env.step_until([&] { return inside.clock() > std::max(next, busy); }, 600);
    vo_test::SetHealthOfSlob(match, 1, 70.0f);
    env.step();
    EXPECT_GT(slob.next_scream_time, next);
}

TEST(SlobVoices, ScreamLengthsAreTheSoundFilesPlayingTimes) {
    vo_test::AppHarness app;
    app.init();
    for (unsigned c = 0; c < vo::NumCharacters(); ++c) {
        vo::CharacterDesc const& character = vo::GetCharacter(c);
        std::vector<double> const& lengths = vo::ScreamLengths(character);
        boost::property_tree::ptree voice;
        boost::property_tree::read_info(std::string(QV_GAME_DATA_DIR) + "/config/" + character.voiceFile, voice);
        std::size_t i = 0;
        for (auto const& file : voice.get_child("screams")) {
            sf::SoundBuffer buffer;
            ASSERT_TRUE(buffer.loadFromFile(std::string(QV_GAME_DATA_DIR) + "/sounds/" + file.second.data()));
            ASSERT_LT(i, lengths.size());
            EXPECT_NEAR(lengths[i], buffer.getDuration().asSeconds(), 1e-4) << file.second.data();
            ++i;
        }
        EXPECT_EQ(i, lengths.size());
    }
    EXPECT_EQ(vo::WavSeconds("/nonexistent.wav"), 0.0);
}

// Two teams of different sizes: bars as wide as their teams, names as wide
// as the widest; the ghost keeps the health of the turn's start.
TEST(TeamPanel, BarsFollowTheSlobsAndTheGhostKeepsTheTurnsStart) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo::MatchSettings settings = vo_test::TeamsOf(2, 1);
    vo::MatchSettings three = vo_test::TeamsOf(2, 3);
    vo::MatchSettings mixed;
    mixed.add_team(settings.teams()[0], false, settings.colours()[0]);
    mixed.add_team(three.teams()[1], false, three.colours()[1]);
    vo_test::StartSeeded(env, mixed);
    inside.config()->roundTime = 2.0;

    std::vector<vo::BarWidget*> const& bars = inside.life_bars();
    ASSERT_EQ(bars.size(), 2u);
    const float h = inside.config()->teamNameTextHeight;
    // Laid out in whole pixels of the scaled display.
    EXPECT_NEAR(bars[0]->frame().width(), static_cast<float>(static_cast<int>(1.5f * h)), 2.0f);
    EXPECT_NEAR(bars[1]->frame().width(), static_cast<float>(static_cast<int>(4.5f * h)), 2.0f);
    EXPECT_NEAR(bars[1]->frame().height(), static_cast<float>(static_cast<int>(1.25f * h)), 2.0f);
    EXPECT_EQ(bars[1]->values, (std::vector<float>{100.0f, 100.0f, 100.0f}));
    EXPECT_EQ(bars[1]->fill_color.b, inside.teams()[1].color.b);
    EXPECT_FLOAT_EQ(bars[1]->ghost_color.a, inside.teams()[1].color.a * 0.35f);
    auto labels = vo_test::FindAll<vo::TextWidget>(inside.team_panel());
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0]->frame().width(), labels[1]->frame().width());
    EXPECT_GE(labels[0]->frame().width(), labels[0]->estimate_width());
    // At the top left of the display.
    EXPECT_LT(inside.team_panel()->global_frame().top(), 1.0f);
    EXPECT_LT(inside.team_panel()->global_frame().left(), 1.0f);

    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));
    ASSERT_EQ(bars[1]->ghost_values.size(), 3u);
    EXPECT_EQ(bars[1]->ghost_values[0], 1.0f);

    // A drop reaches the bar at once; the ghost stays. A rise waits for the
    // next drop.
    vo_test::SetHealthOfSlob(match, 2, 60.0f);
    env.step();
    EXPECT_EQ(bars[1]->values[1], 60.0f);
    EXPECT_EQ(bars[1]->ghost_values[1], 1.0f);
    vo_test::SetHealthOfSlob(match, 2, 70.0f);
    env.step();
    EXPECT_EQ(bars[1]->values[1], 60.0f);
    vo_test::SetHealthOfSlob(match, 1, 99.0f);
    env.step();
    EXPECT_EQ(bars[1]->values[1], 70.0f);
    EXPECT_EQ(bars[1]->values[0], 99.0f);

    // The end of the turn takes the ghost away; the next turn sets it anew.
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::count_teams, 60 * 120));
    env.step();
    EXPECT_TRUE(bars[1]->ghost_values.empty());
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 60 * 120));
    ASSERT_EQ(bars[1]->ghost_values.size(), 3u);
    EXPECT_FLOAT_EQ(bars[1]->ghost_values[1], bars[1]->fill(vo_test::HealthOfSlob(match, 2)));
}

}  // namespace

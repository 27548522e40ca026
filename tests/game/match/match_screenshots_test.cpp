// The match as it is drawn: a turn in the middle of a charge, and the size
// of the parallax layers. Both leave a screenshot in the artefacts folder.

#include "match_scenarios.h"
#include "support/game/scripted_devices.h"

#include "engine/sfml/engine.h"
#include "game/match/match_internals.h"
#include "game/menus/bar_widget.h"
#include "game/menus/notification_widget.h"
#include "support/game/test_data_set.h"

#include <boost/property_tree/ptree.hpp>

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using vo_test::GameEnvironment;
using Phase = vo::MatchPhase;

bool Near(sf::Color a, sf::Color b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// Pixels of the region near the colour.
int CountNear(sf::Image const& image, unsigned x0, unsigned y0, unsigned x1, unsigned y1, sf::Color colour,
              int tolerance) {
    int count = 0;
    for (unsigned y = y0; y < y1; ++y)
        for (unsigned x = x0; x < x1; ++x) count += Near(image.getPixel(x, y), colour, tolerance);
    return count;
}

sf::Color Sf(vo::Color const& c) {
    return sf::Color(static_cast<sf::Uint8>(c.r * 255.0f + 0.5f), static_cast<sf::Uint8>(c.g * 255.0f + 0.5f),
                     static_cast<sf::Uint8>(c.b * 255.0f + 0.5f));
}

// A turn of a human team half way through a charge: parallax layers, the
// level with lava, slobs and a mine, the aim, the charge ring, the labels,
// the round timer, the weapon panel with the fuse buttons, the world-rotate
// button, the team panel and the notice of the turn.
TEST(MatchScreens, AChargeInTheMiddleOfATurn) {
    GameEnvironment env;
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::ScriptedDevices* devices = vo_test::ScriptedDevices::install(inside.controls());
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 2), 6);
    ASSERT_TRUE(vo_test::RunToPhase(env, Phase::play, 600));
    // A few notches out, so that the other slobs are in the picture.
    devices->now.mouse_wheel = -3.0f;
    env.step();
    devices->now.mouse_wheel = 0.0f;
    env.step(60);
    devices->hold(vo::KEY_SPACE, true);
    env.step(30);
    ASSERT_TRUE(inside.charging());
    const sf::Image shot = env.app().screenshot("match_mid_turn");

    std::set<unsigned> colours;
    for (unsigned y = 0; y < shot.getSize().y; y += 4)
        for (unsigned x = 0; x < shot.getSize().x; x += 4) colours.insert(shot.getPixel(x, y).toInteger());
    EXPECT_GT(colours.size(), 200u);
    // The team panel at the top left shows both teams' colours.
    const vo::Frame panel = inside.team_panel()->global_transformed_frame();
    for (int t = 0; t < 2; ++t) {
        EXPECT_GT(CountNear(shot, static_cast<unsigned>(panel.left()), static_cast<unsigned>(panel.top()),
                            static_cast<unsigned>(panel.right()), static_cast<unsigned>(panel.bottom()),
                            Sf(inside.teams()[static_cast<std::size_t>(t)].color), 40),
                  20)
            << "team " << t;
    }
    EXPECT_FALSE(inside.notifications()->lines().empty());
}

// One layer of geometry scale 1 in a single colour, nothing else drawn.
vo_test::AppSetup OnlyALayer(vo_test::TestDataSet& data, float scale) {
    data.add_texture("test_layer.png", vo_test::Rgba{255, 255, 255});
    data.edit("game_config.info", [&](boost::property_tree::ptree& config) {
        boost::property_tree::ptree layer;
        layer.put("distance", 100);
        layer.put("texture", "test_layer.png");
        layer.put("geometryScaleX", scale);
        layer.put("geometryScaleY", scale);
        layer.put("colorR", 1);
        layer.put("colorG", 0);
        layer.put("colorB", 1);
        boost::property_tree::ptree layers;
        layers.add_child("layer", layer);
        config.put_child("parallaxLayers", layers);
        config.put("background.rotates", true);
    });
    data.set("debug_config.info", "renderer.drawScene", "false");
    data.set("debug_config.info", "renderer.drawWidgets", "false");
    data.set("debug_config.info", "renderer.drawInGameNames", "false");
    vo_test::AppSetup setup;
    setup.config_info = data.config_info();
    return setup;
}

// Draws the match at its start with one layer of the scale, the world at 0
// and at 45 degrees; answers the bare pixels of both screenshots.
void CheckLayerCover(float scale) {
    vo_test::TestDataSet data;
    GameEnvironment env(OnlyALayer(data, scale));
    vo::Match& match = env.match();
    vo::MatchInternals inside(match);
    vo_test::StartSeeded(env, vo_test::TeamsOf(2, 1));
    ASSERT_FLOAT_EQ(inside.camera()->zoom(), inside.camera()->zoom_for_min_box());
    for (float rotation : {0.0f, 45.0f}) {
        SCOPED_TRACE(rotation);
        inside.set_world_rotation(rotation);
        const std::string name = "parallax_scale_" + std::to_string(static_cast<int>(scale * 10.0f + 0.5f)) +
                                 "_at_" + std::to_string(static_cast<int>(rotation));
        const sf::Image shot = env.app().screenshot(name);
        const unsigned w = shot.getSize().x;
        const unsigned h = shot.getSize().y;
        const sf::Color magenta(255, 0, 255);
        const int bare = static_cast<int>(w * h) - CountNear(shot, 0, 0, w, h, magenta, 8);
        if (scale >= 1.0f || rotation == 0.0f) {
            EXPECT_EQ(bare, 0);
        } else {
            EXPECT_FALSE(Near(shot.getPixel(0, 0), magenta, 8));
            EXPECT_FALSE(Near(shot.getPixel(w - 1, h - 1), magenta, 8));
            EXPECT_TRUE(Near(shot.getPixel(w / 2, h / 2), magenta, 8));
        }
    }
}

// At the zoom every turn starts with, a layer of geometry scale 1 covers
// the window however the world is turned ...
TEST(MatchScreens, ALayerOfScaleOneFillsTheViewAtTheStartingZoom) { CheckLayerCover(1.0f); }

// ... and only just: a tenth smaller leaves the corners bare when the world
// stands at 45 degrees.
TEST(MatchScreens, ALayerATenthSmallerLeavesTheCornersWhenTheWorldTurns) { CheckLayerCover(0.9f); }

}  // namespace

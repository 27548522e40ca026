// The shipped shaders, compiled through the engine's effect loader in a real
// window, with the textures and uniforms the match gives them, and drawn
// with the vertex data the level and the fluids feed them.

#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/drawer.h"
#include "support/engine/test_window.h"

#include <SFML/System/Err.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using vo::Color;
using vo::EffectDesc;
using vo::EffectHandle;
using vo::Variant;
using vo_test::Rgba;

const std::string kData = QV_GAME_DATA_DIR;

class ShippedShaders : public testing::Test {
protected:
    void SetUp() override {
        vo::PathProvider::set_path(7, kData + "/shaders/");
        vo::Textures().path = kData + "/textures/";
        window_.use_pixel_coordinates();
        engine().set_state(vo::STATE_TEXTURING, true);
        engine().set_state(vo::STATE_BLENDING, true);
        engine().set_blend_mode(0);
        // The graphics library reports uniforms and samplers a shader does
        // not have on its error stream.
        old_err_ = sf::err().rdbuf(err_.rdbuf());
    }
    void TearDown() override {
        sf::err().rdbuf(old_err_);
        vo::Textures().clear();
        vo::Textures().path.clear();
    }

    vo::Engine& engine() { return window_.engine(); }

    EffectDesc desc(std::string const& name, std::vector<std::string> const& textures,
                    std::map<std::string, Variant> parameters = {}) {
        EffectDesc d;
        d.name = name;
        for (std::string const& t : textures) d.textures.push_back(vo::GetTexture(t));
        d.parameters = std::move(parameters);
        return d;
    }

    // A quad drawn through the effect with every vertex of the given colour
    // (the level and the fluids carry their data there), read at its centre.
    Rgba draw(EffectHandle effect, Color vertex) {
        engine().set_clear_color(Color(0, 0, 0, 1));
        engine().clear();
        engine().apply_effect(effect);
        vo::Drawer& drawer = vo::SharedDrawer();
        drawer.set_color(vertex);
        drawer.draw_rect(100, 80, 220, 160, true, 0);
        engine().unapply_effect();
        return window_.pixel(160, 120);
    }

    static int Sum(Rgba c) { return c.r + c.g + c.b; }

    vo_test::TestWindow window_{320, 240};
    std::ostringstream err_;
    std::streambuf* old_err_ = nullptr;
};

TEST_F(ShippedShaders, EachCompilesWithTheTexturesAndUniformsItIsGiven) {
    struct Case {
        std::string name;
        std::vector<std::string> textures;
        std::map<std::string, Variant> parameters;
    };
    const Case cases[] = {
        {"level_shader",
         {"level/blend_large.png", "level/blend_small.png", "level/rock.png", "level/rock_dark.png"},
         {{"fadeOutColor", Variant(vo::vector4(0, 0, 0, 1))}}},
        {"lava_shader",
         {"level/blend_large.png", "level/blend_small.png", "level/lava_crust.png", "level/lava.png",
          "level/lava_flow.png"},
         {{"curTime", Variant(1.5)}, {"phaseDuration", Variant(4.0f)}}},
        {"fluid_preprocess", {}, {}},
        {"fluid_shader",
         {"level/lava.png", "basic_modulation.png", "basic_modulation.png"},
         {{"modulator", Variant(vo::vector2(1, 1))},
          {"screenSize", Variant(vo::vector2(320, 240))},
          {"color", Variant(vo::vector4(1, 1, 1, 0.8f))}}},
        {"dissolve_shader",
         {"explosion_circle_dissolve.png", "explosion_circle_col.png"},
         {{"threshold", Variant(0.5f)}, {"alphaRange", Variant(0.1f)}, {"interval", Variant(0.5f)}}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        EffectHandle const effect = engine().create_effect(desc(c.name, c.textures, c.parameters));
        EXPECT_TRUE(effect.valid);
        // Setting them again later, as the match does every frame, is heard too.
        for (auto const& p : c.parameters) engine().set_effect_parameter(effect, p.first.c_str(), p.second);
        draw(effect, Color(1, 1, 1, 1));
        engine().free_effect(effect);
    }
    EXPECT_EQ(err_.str(), "");
}

TEST_F(ShippedShaders, LevelRockDarkensTowardCutsAndGlowsNearThem) {
    EffectHandle const effect = engine().create_effect(
        desc("level_shader", {"level/blend_large.png", "level/blend_small.png", "level/rock.png", "level/rock_dark.png"},
             {{"fadeOutColor", Variant(vo::vector4(0, 0, 0, 1))}}));
    // Vertex colour: (rim, light, rim, lava).
    Rgba const deep = draw(effect, Color(1, 0, 1, 0));
    Rgba const at_cut = draw(effect, Color(0, 0, 0, 0));
    Rgba const glowing = draw(effect, Color(1, 1, 1, 1));
    EXPECT_GT(Sum(deep), Sum(at_cut));
    EXPECT_GT(glowing.r - glowing.b, deep.r - deep.b);  // warmer
    EXPECT_EQ(deep.a, 255);
}

TEST_F(ShippedShaders, LavaShowsOnlyWhereTheLevelHasLava) {
    EffectHandle const effect =
        engine().create_effect(desc("lava_shader",
                                    {"level/blend_large.png", "level/blend_small.png", "level/lava_crust.png",
                                     "level/lava.png", "level/lava_flow.png"},
                                    {{"curTime", Variant(2.0)}, {"phaseDuration", Variant(4.0f)}}));
    EXPECT_EQ(draw(effect, Color(1, 0, 1, 0)), (Rgba{0, 0, 0, 255}));
    Rgba const lava = draw(effect, Color(1, 0, 1, 1));
    EXPECT_GT(lava.r, 100);
    EXPECT_GT(lava.r, lava.b);
}

TEST_F(ShippedShaders, FluidDensityIsFullAtAParticlesCentreAndNoneAtItsCorners) {
    EffectHandle const effect = engine().create_effect(desc("fluid_preprocess", {}));
    engine().set_blend_mode(1);  // additive, as the fluid pass draws
    // Red and green give the corner of the particle's quad.
    EXPECT_GT(draw(effect, Color(0.5f, 0.5f, 1, 1)).r, 240);
    EXPECT_EQ(draw(effect, Color(0, 0, 1, 1)).r, 0);
}

TEST_F(ShippedShaders, DissolveShowsTheImageWithinItsBandOnly) {
    EffectHandle const effect =
        engine().create_effect(desc("dissolve_shader", {"explosion_circle_dissolve.png", "explosion_circle_col.png"}));
    auto set = [&](float threshold, float interval) {
        engine().set_effect_parameter(effect, "threshold", Variant(threshold));
        engine().set_effect_parameter(effect, "alphaRange", Variant(0.1f));
        engine().set_effect_parameter(effect, "interval", Variant(interval));
    };
    // The charge ring's empty and full settings; the mask is 1 at the centre.
    set(1.01f, 1000000.0f);
    EXPECT_EQ(draw(effect, Color(1, 1, 1, 1)), (Rgba{0, 0, 0, 255}));
    set(-0.04f, 1000000.0f);
    EXPECT_GT(Sum(draw(effect, Color(1, 1, 1, 1))), 600);
    // An explosion's band past the centre: the middle is gone again.
    set(0.0f, 0.3f);
    EXPECT_EQ(draw(effect, Color(1, 1, 1, 1)), (Rgba{0, 0, 0, 255}));
}

}  // namespace

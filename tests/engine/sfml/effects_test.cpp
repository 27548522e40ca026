// Shader effects in a real window under Xvfb: fragment shaders written by the
// tests into a shader folder, drawn with the pixels read back.

#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/sfml/sfml_engine.h"
#include "engine/visuals/drawer.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

using vo::Color;
using vo::EffectDesc;
using vo::EffectHandle;
using vo::SmartPtr;
using vo::Texture;
using vo::Variant;
using vo_test::Rgba;

// Picks one of two colours by the green channel of userTex0 against a
// threshold; every uniform kind the engine sets takes part.
const char* const SPLIT_SHADER = R"(#version 120
uniform sampler2D userTex0;
uniform float threshold;
uniform vec2 pair;
uniform vec3 rgb;
uniform vec4 color;
void main() {
    vec4 t = texture2D(userTex0, gl_TexCoord[0].xy);
    if (t.g > threshold) gl_FragColor = color;
    else gl_FragColor = vec4(rgb.r, pair.x, pair.y * rgb.b, 1.0);
}
)";

const char* const SOLID_SHADER = R"(#version 120
uniform vec4 color;
void main() { gl_FragColor = color; }
)";

const char* const SAMPLE_SHADER = R"(#version 120
uniform sampler2D userTex0;
void main() { gl_FragColor = texture2D(userTex0, gl_TexCoord[0].xy); }
)";

bool WriteShader(std::string const& folder, std::string const& name, std::string const& source) {
    std::error_code ec;
    std::filesystem::create_directories(folder + "/glsl", ec);
    std::ofstream out(folder + "/glsl/" + name + ".psh", std::ios::binary | std::ios::trunc);
    out << source;
    return static_cast<bool>(out.flush());
}

const Rgba BLACK{0, 0, 0};
const Rgba WHITE{255, 255, 255};
const Rgba RED{255, 0, 0};
const Rgba GREEN{0, 255, 0};
const Rgba BLUE{0, 0, 255};

class Effects : public ::testing::Test {
protected:
    void SetUp() override {
        vo::PathProvider::set_path(7, folder.path() + "/");
        ASSERT_TRUE(WriteShader(folder.path(), "split", SPLIT_SHADER));
        ASSERT_TRUE(WriteShader(folder.path(), "solid", SOLID_SHADER));
        ASSERT_TRUE(WriteShader(folder.path(), "sample", SAMPLE_SHADER));
        ASSERT_TRUE(WriteShader(folder.path(), "broken", "#version 120\nvoid main() { nonsense; }\n"));
        window.use_pixel_coordinates();
        engine.set_clear_color(Color(0, 0, 0, 1));
        engine.clear();
    }

    // A texture whose left half is white and right half black, or one colour.
    SmartPtr<Texture> texture(Rgba left, Rgba right) {
        const std::string file = folder.file("t" + std::to_string(++made) + ".png");
        EXPECT_TRUE(vo_test::WritePng(file, 16, 16, [&](unsigned x, unsigned) { return x < 8 ? left : right; }));
        SmartPtr<Texture> t = engine.create_texture();
        EXPECT_TRUE(t->load(file.c_str()));
        t->set_smooth(false);
        return t;
    }

    EffectDesc split_desc(float threshold) {
        EffectDesc d;
        d.name = "split";
        d.textures.push_back(texture(WHITE, BLACK));
        d.parameters["threshold"] = Variant(threshold);
        d.parameters["pair"] = Variant(vo::vector2(1.0f, 0.5f));
        d.parameters["rgb"] = Variant(vo::vector3(1.0f, 0.0f, 1.0f));
        d.parameters["color"] = Variant(vo::vector4(0.0f, 0.0f, 1.0f, 1.0f));
        return d;
    }

    EffectHandle solid(Color const& c) {
        EffectDesc d;
        d.name = "solid";
        d.parameters["color"] = Variant(vo::vector4(c.r, c.g, c.b, c.a));
        return engine.create_effect(d);
    }

    // Draws a 100 x 60 quad at (100, 80) and returns the pixels of its left
    // and right halves.
    std::pair<Rgba, Rgba> draw_and_read() {
        engine.clear();
        drawer.set_color(Color(1, 1, 1, 1));
        drawer.draw_rect(100, 80, 200, 140, true, 0);
        return {window.pixel(120, 110), window.pixel(180, 110)};
    }

    std::string shader_path(std::string const& name) const { return folder.path() + "/glsl/" + name + ".psh"; }

    vo_test::TestWindow window{320, 240};
    vo::Engine& engine = window.engine();
    vo::Drawer& drawer = vo::SharedDrawer();
    vo_test::TempFolder folder;
    int made = 0;
};

#define EXPECT_COLOR(actual, expected) EXPECT_PRED3(vo_test::ColorNear, actual, expected, 2)

TEST_F(Effects, ParametersAndTexturesReachTheShader) {
    const Rgba yellowish{255, 255, 128};
    struct Case {
        Variant threshold;
        Rgba left;
        Rgba right;
    };
    const Case cases[] = {
        {Variant(0.5f), BLUE, yellowish},      // white half above, black half below
        {Variant(1.5), yellowish, yellowish},  // a double: nothing above
        {Variant(-1), BLUE, BLUE},             // an int: everything above
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.threshold.type_name());
        EffectDesc d = split_desc(0.0f);
        d.parameters["threshold"] = c.threshold;
        EffectHandle h = engine.create_effect(d);
        engine.apply_effect(h);
        const auto seen = draw_and_read();
        EXPECT_COLOR(seen.first, c.left);
        EXPECT_COLOR(seen.second, c.right);
        engine.unapply_effect();
        engine.free_effect(h);
    }
}

TEST_F(Effects, ParameterAndTextureUpdatesShowAtTheNextDraw) {
    EffectHandle h = engine.create_effect(split_desc(0.5f));
    engine.apply_effect(h);
    EXPECT_COLOR(draw_and_read().first, BLUE);

    engine.set_effect_parameter(h, "color", Variant(vo::vector4(0.0f, 1.0f, 0.0f, 1.0f)));
    EXPECT_COLOR(draw_and_read().first, GREEN);

    // A texture the caller lets go of at once: the effect keeps it.
    engine.update_effect_texture(h, 0, texture(BLACK, WHITE));
    const auto seen = draw_and_read();
    EXPECT_COLOR(seen.first, (Rgba{255, 255, 128}));
    EXPECT_COLOR(seen.second, GREEN);

    // Without the effect the quad is drawn plain (white vertices).
    engine.unapply_effect();
    EXPECT_COLOR(draw_and_read().first, WHITE);
}

TEST_F(Effects, ErrorsCarryTheirMessages) {
    engine.create_render_target("rt", 16, 16, false);
    EffectHandle freed = engine.free_effect(solid(Color(1, 0, 0, 1)));  // the invalid handle
    EffectHandle live = solid(Color(1, 0, 0, 1));
    engine.free_effect(engine.create_effect(split_desc(0.5f)));
    EffectHandle stale_split(1, vo::EFFECT_PIXEL_SHADER, true);

    struct Case {
        const char* what;
        std::function<void()> call;
        std::string message;
    };
    const Case cases[] = {
        {"missing file", [&] { engine.create_effect(EffectDesc{"missing", {}, {}}); },
         "Couln't load pixel shader: " + shader_path("missing")},
        {"compile error", [&] { engine.create_effect(EffectDesc{"broken", {}, {}}); },
         "Couln't load pixel shader: " + shader_path("broken")},
        {"bool parameter",
         [&] {
             EffectDesc d = split_desc(0.5f);
             d.parameters["threshold"] = Variant(true);
             engine.create_effect(d);
         },
         "Unsupported paramter type in specification of shader: bool"},
        {"string parameter", [&] { engine.set_effect_parameter(live, "color", Variant(std::string("red"))); },
         "Unsupported paramter type in specification of shader: stdstring"},
        {"null texture",
         [&] {
             EffectDesc d = split_desc(0.5f);
             d.textures.push_back(SmartPtr<Texture>());
             engine.create_effect(d);
         },
         "Invalid texture specified in creation of shader split. Texture index: 1"},
        {"null texture update", [&] { engine.update_effect_texture(live, 3, SmartPtr<Texture>()); },
         "Invalid texture specified in set_effect_texture for texture index3"},
        {"missing target, invalid effect", [&] { engine.set_effect_render_target("missing", freed, 0); },
         "Invalid render texture specified: missing"},
        {"invalid effect", [&] { engine.set_effect_render_target("rt", freed, 0); }, "Invalid effect specified."},
        {"freed effect", [&] { engine.set_effect_render_target("rt", stale_split, 0); },
         "Effect contains invalid shader."},
        {"free invalid", [&] { engine.free_effect(freed); }, "Trying to free an invalid effect."},
        {"free twice", [&] { engine.free_effect(stale_split); }, "Trying to free an invalid effect."},
        {"apply invalid", [&] { engine.apply_effect(freed); }, "Trying to apply an invalid effect."},
        {"apply out of range", [&] { engine.apply_effect(EffectHandle(99, vo::EFFECT_PIXEL_SHADER, true)); },
         "Trying to apply an invalid effect."},
        {"unforce unforced", [&] { engine.unforce_effect(); }, "Can't unforce effect. Current effect is not forced."},
        {"force twice",
         [&] {
             engine.force_effect(live);
             engine.force_effect(live);
         },
         "Only one effect may be forced at a time."},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no Error";
        } catch (vo::Error const& e) {
            EXPECT_EQ(std::string(e.message()), c.message);
        }
    }
    engine.unforce_effect();

    // Operations that only set data ignore handles they cannot use.
    engine.set_effect_parameter(freed, "color", Variant(true));
    engine.update_effect_texture(stale_split, 0, SmartPtr<Texture>());
    engine.init_effect(stale_split, EffectDesc{"split", {SmartPtr<Texture>()}, {}});
}

TEST_F(Effects, FreedRecordsAreReusedLastFreedFirst) {
    std::vector<EffectHandle> h;
    for (int i = 0; i < 6; ++i) h.push_back(solid(Color(1, 0, 0, 1)));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(h[i].id, i);
    EXPECT_EQ(engine.free_effect(h[2]), EffectHandle());
    engine.free_effect(h[5]);
    EXPECT_EQ(solid(Color(1, 0, 0, 1)).id, 5);
    EXPECT_EQ(solid(Color(1, 0, 0, 1)).id, 2);
    EXPECT_EQ(solid(Color(1, 0, 0, 1)).id, 6);
}

// A creation that fails hands its record back: the next effect takes it,
// and a handle naming it is not taken for a live effect.
TEST_F(Effects, FailedCreationReturnsItsRecord) {
    EffectHandle first = solid(Color(1, 0, 0, 1));
    EXPECT_THROW(engine.create_effect(EffectDesc{"missing", {}, {}}), vo::Error);
    EffectDesc null_texture = split_desc(0.5f);
    null_texture.textures.push_back(SmartPtr<Texture>());
    EXPECT_THROW(engine.create_effect(null_texture), vo::Error);

    EffectHandle stale(1, vo::EFFECT_PIXEL_SHADER, true);
    EXPECT_THROW(engine.apply_effect(stale), vo::Error);
    EXPECT_THROW(engine.free_effect(stale), vo::Error);

    EffectHandle next = solid(Color(0, 1, 0, 1));
    EXPECT_EQ(next.id, 1);
    EXPECT_EQ(solid(Color(0, 1, 0, 1)).id, 2);
    (void)first;
}

TEST_F(Effects, ForcedEffectWinsUntilUnforced) {
    EffectHandle red = solid(Color(1, 0, 0, 1));
    EffectHandle green = solid(Color(0, 1, 0, 1));

    engine.apply_effect(green);
    engine.force_effect(red);
    EXPECT_COLOR(draw_and_read().first, RED);
    engine.apply_effect(green);  // does nothing, raises nothing
    engine.unapply_effect();     // likewise
    EXPECT_COLOR(draw_and_read().first, RED);

    engine.unforce_effect();
    EXPECT_COLOR(draw_and_read().first, WHITE);
    engine.apply_effect(green);
    EXPECT_COLOR(draw_and_read().first, GREEN);
    engine.unapply_effect();
}

// Freeing the forced effect ends the forcing: the next effect made in its
// record is not pinned.
TEST_F(Effects, FreeingTheForcedEffectEndsTheForcing) {
    EffectHandle red = solid(Color(1, 0, 0, 1));
    engine.force_effect(red);
    engine.free_effect(red);
    EXPECT_COLOR(draw_and_read().first, WHITE);
    EXPECT_THROW(engine.unforce_effect(), vo::Error);

    EffectHandle blue = solid(Color(0, 0, 1, 1));
    EXPECT_EQ(blue.id, red.id);
    EffectHandle green = solid(Color(0, 1, 0, 1));
    engine.apply_effect(blue);
    engine.apply_effect(green);
    EXPECT_COLOR(draw_and_read().first, GREEN);
    engine.force_effect(blue);
    EXPECT_COLOR(draw_and_read().first, BLUE);
    engine.unforce_effect();
}

TEST_F(Effects, ReinitialisingKeepsSampledTexturesAlive) {
    EffectDesc d = split_desc(0.5f);
    EffectHandle h = engine.create_effect(d);
    engine.update_effect_texture(h, 1, texture(RED, RED));  // held by the effect only
    d.textures.clear();
    d.parameters.clear();
    engine.init_effect(h, d);  // fewer textures: none is let go while sampled
    engine.apply_effect(h);
    EXPECT_COLOR(draw_and_read().first, BLUE);

    // A throw halfway leaves the sampled textures in place.
    EffectDesc bad;
    bad.name = "split";
    bad.textures = {texture(BLACK, BLACK), SmartPtr<Texture>()};
    EXPECT_THROW(engine.init_effect(h, bad), vo::Error);
    const auto seen = draw_and_read();  // userTex0 is the black texture now
    EXPECT_COLOR(seen.first, (Rgba{255, 255, 128}));
    engine.unapply_effect();
}

TEST_F(Effects, ShaderSamplesTheImageOfAnOffscreenTarget) {
    engine.create_render_target("lava", 32, 32, false);
    engine.set_render_target("lava");
    engine.set_clear_color(Color(1, 0, 0, 1));
    engine.clear();
    engine.set_render_target(nullptr);
    engine.set_clear_color(Color(0, 0, 0, 1));

    // Through a proxy texture in the description, and by target name.
    EffectDesc by_proxy;
    by_proxy.name = "sample";
    by_proxy.textures.push_back(engine.render_target_texture("lava"));
    EffectHandle proxy = engine.create_effect(by_proxy);
    EffectHandle named = engine.create_effect(EffectDesc{"sample", {texture(BLUE, BLUE)}, {}});
    engine.set_effect_render_target("lava", named, 0);
    for (EffectHandle h : {proxy, named}) {
        engine.apply_effect(h);
        EXPECT_COLOR(draw_and_read().first, RED);
    }

    // Replacing the target frees the old image; both effects follow it.
    engine.create_render_target("lava", 16, 16, false);
    engine.set_render_target("lava");
    engine.set_clear_color(Color(0, 1, 0, 1));
    engine.clear();
    engine.set_render_target(nullptr);
    engine.set_clear_color(Color(0, 0, 0, 1));
    for (EffectHandle h : {proxy, named}) {
        engine.apply_effect(h);
        EXPECT_COLOR(draw_and_read().first, GREEN);
    }
    engine.unapply_effect();
}

}  // namespace

// Offscreen render targets in a real window under Xvfb: drawn into, then
// shown through a texture that stands for them, with the pixels read back.

#include "engine/core/error.h"
#include "engine/sfml/sfml_engine.h"
#include "engine/visuals/drawer.h"
#include "engine/visuals/image.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <SFML/OpenGL.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using vo::Color;
using vo::SmartPtr;
using vo::Texture;
using vo_test::Rgba;

const Rgba RED{255, 0, 0};
const Rgba GREEN{0, 255, 0};
const Rgba BLUE{0, 0, 255};
const Rgba BLACK{0, 0, 0};

#define EXPECT_COLOR(actual, expected) EXPECT_PRED3(vo_test::ColorNear, actual, expected, 2)

class RenderTargets : public ::testing::Test {
protected:
    void SetUp() override {
        window.use_pixel_coordinates();
        engine.set_clear_color(Color(0, 0, 0, 1));
        engine.clear();
    }

    // Draws into the 64 x 64 target: red over its top half, `bottom` below.
    void paint_target(const char* name, Color const& bottom) {
        engine.set_render_target(name);
        // The target is drawn in the window's graphics context and inherits
        // its viewport: set one of the target's size.
        glViewport(0, 0, 64, 64);
        engine.set_ortho(0, 64, 64, 0, -1, 1);
        engine.set_clear_color(Color(0, 0, 0, 1));
        engine.clear();
        drawer.set_color(Color(1, 0, 0, 1));
        drawer.draw_rect(0, 0, 64, 32, true, 0);
        drawer.set_color(bottom);
        drawer.draw_rect(0, 32, 64, 64, true, 0);
        engine.display();
        engine.set_render_target(nullptr);
        window.use_pixel_coordinates();
    }

    // Draws the texture as an image over the 64 x 64 square at (100, 50).
    void show(SmartPtr<Texture> const& texture) {
        engine.clear();
        engine.set_state(vo::STATE_TEXTURING, true);
        vo::Image image(texture, vo::Frame(100, 50, 164, 114), vo::Frame(0, 0, 1, 1), Color(1, 1, 1, 1));
        image.draw();
        engine.set_state(vo::STATE_TEXTURING, false);
    }
    Rgba top() { return window.pixel(132, 58); }
    Rgba bottom() { return window.pixel(132, 106); }

    vo_test::TestWindow window{320, 240};
    vo::Engine& engine = window.engine();
    vo::Drawer& drawer = vo::SharedDrawer();
    vo_test::TempFolder folder;
};

TEST_F(RenderTargets, TargetShowsUprightAndRedrawsThroughTheSameHandle) {
    engine.create_render_target("rt", 64, 64, false);
    paint_target("rt", Color(0, 1, 0, 1));
    SmartPtr<Texture> proxy = engine.render_target_texture("rt");
    EXPECT_EQ(proxy->frame().right(), 0.0f);  // its own image stays empty

    show(proxy);
    EXPECT_COLOR(top(), RED);
    EXPECT_COLOR(bottom(), GREEN);

    paint_target("rt", Color(0, 0, 1, 1));
    show(proxy);
    EXPECT_COLOR(top(), RED);
    EXPECT_COLOR(bottom(), BLUE);

    // Binding by name shows the same image.
    engine.clear();
    engine.set_state(vo::STATE_TEXTURING, true);
    engine.bind_render_target_texture("rt");
    drawer.set_color(Color(1, 1, 1, 1));
    drawer.draw_tex_rect(vo::Frame(100, 50, 164, 114), vo::Frame(0, 0, 1, 1), true, 0, 0);
    engine.set_state(vo::STATE_TEXTURING, false);
    EXPECT_COLOR(top(), RED);
    EXPECT_COLOR(bottom(), BLUE);

    // An ordinary texture drawn afterwards is still upright.
    const std::string file = folder.file("updown.png");
    ASSERT_TRUE(vo_test::WritePng(file, 8, 8, [](unsigned, unsigned y) { return y < 4 ? GREEN : BLUE; }));
    SmartPtr<Texture> plain = engine.create_texture();
    ASSERT_TRUE(plain->load(file.c_str()));
    show(plain);
    EXPECT_COLOR(top(), GREEN);
    EXPECT_COLOR(bottom(), BLUE);
}

TEST_F(RenderTargets, DrawsGoToTheActiveTargetOnly) {
    engine.create_render_target("a", 64, 64, true);
    engine.create_render_target("b", 64, 64, false);
    paint_target("a", Color(0, 1, 0, 1));
    paint_target("b", Color(0, 0, 1, 1));
    EXPECT_COLOR(window.pixel(10, 10), BLACK);  // the window got nothing

    show(engine.render_target_texture("a"));
    EXPECT_COLOR(bottom(), GREEN);
    show(engine.render_target_texture("b"));
    EXPECT_COLOR(bottom(), BLUE);

    // A target replaced by one of the same name starts anew; the texture made
    // for the name shows the new one.
    SmartPtr<Texture> proxy = engine.render_target_texture("a");
    engine.create_render_target("a", 64, 64, false);
    paint_target("a", Color(1, 0, 0, 1));
    show(proxy);
    EXPECT_COLOR(bottom(), RED);
}

TEST_F(RenderTargets, ErrorsCarryTheirMessages) {
    struct Case {
        const char* what;
        std::function<void()> call;
        std::string message;
    };
    const Case cases[] = {
        {"too wide", [&] { engine.create_render_target("big", 100000, 10, false); },
         "Couldn't create offscreen render target 'big' with dimensions 100000, 10"},
        {"empty", [&] { engine.create_render_target("none", 0, 10, false); },
         "Couldn't create offscreen render target 'none' with dimensions 0, 10"},
        {"negative", [&] { engine.create_render_target("neg", -4, 4, true); },
         "Couldn't create offscreen render target 'neg' with dimensions -4, 4"},
        {"set", [&] { engine.set_render_target("nope"); }, "Invalid render texture specified: nope"},
        {"bind", [&] { engine.bind_render_target_texture("nope"); }, "Invalid render texture specified: nope"},
        {"texture", [&] { engine.render_target_texture("nope"); }, "Invalid render texture specified: nope"},
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
    EXPECT_THROW(engine.render_target_texture("big"), vo::Error);  // nothing was kept

    // A failed switch leaves the old target deactivated: drawing reaches the
    // window again.
    engine.create_render_target("rt", 64, 64, false);
    engine.set_render_target("rt");
    EXPECT_THROW(engine.set_render_target("nope"), vo::Error);
    window.use_pixel_coordinates();
    engine.clear();
    drawer.set_color(Color(0, 0, 1, 1));
    drawer.draw_rect(0, 0, 320, 240, true, 0);
    EXPECT_COLOR(window.pixel(160, 120), BLUE);
}

}  // namespace

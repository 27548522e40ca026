// The drawer's quads, lines and calls, and how images draw through it,
// recorded from a recording engine with the buffers read back.

#include "engine/core/vertex.h"
#include "engine/visuals/drawer.h"
#include "engine/visuals/image.h"
#include "support/engine/recording_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

struct Corner {
    float x, y, u, v;
};

class Drawing : public ::testing::Test {
protected:
    vo_test::RecordingEngine engine;
    vo_test::EngineOverride use{engine};

    Drawing() {
        vo::SharedDrawer();  // made on first use: not part of what the tests record
        engine.clear_calls();
    }

    // The first n vertices the drawer wrote.
    std::vector<vo::ColorVertex> vertices(vo::Drawer const& d, unsigned n = 4) {
        void* p = nullptr;
        EXPECT_TRUE(d.vertex_buffer()->lock(&p, 0, n));
        std::vector<vo::ColorVertex> out(static_cast<vo::ColorVertex*>(p), static_cast<vo::ColorVertex*>(p) + n);
        d.vertex_buffer()->unlock();
        return out;
    }
    std::vector<unsigned> indices(vo::Drawer const& d, unsigned n) {
        unsigned* p = nullptr;
        EXPECT_TRUE(d.index_buffer()->lock(&p, 0, n));
        std::vector<unsigned> out(p, p + n);
        d.index_buffer()->unlock();
        return out;
    }
    void expect_corners(vo::Drawer const& d, std::vector<Corner> const& expected, float z) {
        const auto v = vertices(d);
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_NEAR(v[k].position.x, expected[k].x, 1e-4) << "vertex " << k;
            EXPECT_NEAR(v[k].position.y, expected[k].y, 1e-4) << "vertex " << k;
            EXPECT_EQ(v[k].position.z, z);
            EXPECT_EQ(v[k].tex_coord.x, expected[k].u) << "vertex " << k;
            EXPECT_EQ(v[k].tex_coord.y, expected[k].v) << "vertex " << k;
        }
    }

};

TEST_F(Drawing, UnturnedQuadRunsBottomLeftToTopLeft) {
    vo::Drawer d;
    d.set_color(0.1f, 0.2f, 0.3f, 0.4f);
    engine.clear_calls();
    d.draw_rect(vo::Frame(10, 20, 50, 40), vo::Frame(0.25f, 0.5f, 0.75f, 1.0f), true, 0.5f,
                vo::ConstSmartPtr<vo::Texture>(), 0.0f);
    expect_corners(d, {{10, 40, 0.25f, 1.0f}, {50, 40, 0.75f, 1.0f}, {50, 20, 0.75f, 0.5f}, {10, 20, 0.25f, 0.5f}},
                   0.5f);
    for (auto const& v : vertices(d)) {
        EXPECT_FLOAT_EQ(v.color.g, 0.2f);
        EXPECT_FLOAT_EQ(v.color.a, 0.4f);
    }
    EXPECT_EQ(indices(d, 6), (std::vector<unsigned>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(engine.calls(), (Calls{"set_texture(null)", "set_vertex_buffer(vertices)", "set_index_buffer(indices)",
                                     "draw_indexed(0, 4, 0, 6, 0, 3)"}));
    EXPECT_FALSE(d.vertex_buffer()->is_locked());
    EXPECT_FALSE(d.index_buffer()->is_locked());
}

TEST_F(Drawing, SwappedEdgesDrawTheSameQuad) {
    vo::Drawer d;
    d.draw_rect(vo::Frame(10, 20, 50, 40), false, 0.0f);
    const auto ordered = vertices(d);
    d.draw_rect(vo::Frame(50, 40, 10, 20), false, 0.0f);
    const auto swapped = vertices(d);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(ordered[k].position.x, swapped[k].position.x);
        EXPECT_EQ(ordered[k].position.y, swapped[k].position.y);
    }
}

TEST_F(Drawing, OutlineIsAClosedLineStrip) {
    vo::Drawer d;
    engine.clear_calls();
    d.draw_rect(0, 0, 10, 10, false, 0.5f);
    EXPECT_EQ(indices(d, 5), (std::vector<unsigned>{0, 1, 2, 3, 0}));
    EXPECT_EQ(engine.calls().back(), "draw_indexed(0, 4, 0, 5, 0, 2)");
}

TEST_F(Drawing, TurnedByNinetyDegrees) {
    vo::Drawer d;
    // 60 x 20 around (100, 50), turned 90 degrees: a 20 x 60 footprint.
    d.draw_rect(vo::Frame(70, 40, 130, 60), vo::Frame(0, 0, 1, 1), true, 0.0f, vo::ConstSmartPtr<vo::Texture>(), 90.0f);
    const auto v = vertices(d);
    float min_x = 1e9f, max_x = -1e9f, min_y = 1e9f, max_y = -1e9f;
    for (auto const& c : v) {
        min_x = std::min(min_x, c.position.x);
        max_x = std::max(max_x, c.position.x);
        min_y = std::min(min_y, c.position.y);
        max_y = std::max(max_y, c.position.y);
    }
    EXPECT_NEAR(max_x - min_x, 20.0f, 1e-3);
    EXPECT_NEAR(max_y - min_y, 60.0f, 1e-3);
    EXPECT_NEAR((max_x + min_x) / 2, 100.0f, 1e-3);
    EXPECT_NEAR((max_y + min_y) / 2, 50.0f, 1e-3);
    // theta = 270 degrees: C = 0, S = -1; vertex 0 = (cx + hh, cy + hw).
    EXPECT_NEAR(v[0].position.x, 110.0f, 1e-3);
    EXPECT_NEAR(v[0].position.y, 80.0f, 1e-3);
}

TEST_F(Drawing, CentreFormUsesThePointsZ) {
    vo::Drawer d;
    d.draw_rect(vo::vector3(5, 6, 0.25f), 4, 2, true);
    expect_corners(d, {{3, 7, 0, 1}, {7, 7, 1, 1}, {7, 5, 1, 0}, {3, 5, 0, 0}}, 0.25f);
}

TEST_F(Drawing, LineUnbindsTheTextureAndDrawsTwoIndices) {
    vo::Drawer d;
    d.set_color(vo::Color(1, 0, 0, 1));
    engine.clear_calls();
    d.draw_line(1, 2, 3, 4, 0.5f);
    const auto v = vertices(d, 2);
    EXPECT_EQ(v[0].position.x, 1.0f);
    EXPECT_EQ(v[1].position.y, 4.0f);
    EXPECT_EQ(v[1].position.z, 0.5f);
    EXPECT_EQ(v[1].color.r, 1.0f);
    EXPECT_EQ(indices(d, 2), (std::vector<unsigned>{0, 1}));
    EXPECT_EQ(engine.calls(), (Calls{"set_texture(null)", "set_vertex_buffer(vertices)", "set_index_buffer(indices)",
                                     "draw_indexed(0, 2, 0, 2, 0, 2)"}));
}

TEST_F(Drawing, CopiesShareTheirBuffers) {
    vo::Drawer a;
    vo::Drawer b = a;
    EXPECT_EQ(a.vertex_buffer().get(), b.vertex_buffer().get());
    EXPECT_EQ(a.index_buffer().get(), b.index_buffer().get());
    b.set_color(0, 1, 0, 1);
    EXPECT_FLOAT_EQ(a.color().g, 1.0f);
    a.draw_rect(0, 0, 1, 1, true, 0);
    b.draw_rect(100, 100, 101, 101, true, 0);
    EXPECT_EQ(vertices(a)[2].position.x, 101.0f);  // b overwrote what a wrote
}

TEST_F(Drawing, ALockedBufferIsNotWrittenThrough) {
    vo::Drawer d;
    void* p = nullptr;
    ASSERT_TRUE(d.vertex_buffer()->lock(&p, 0, 1));  // held elsewhere
    engine.clear_calls();
    d.draw_rect(0, 0, 1, 1, true, 0);
    EXPECT_TRUE(engine.calls_starting_with("draw_indexed").empty());
    d.vertex_buffer()->unlock();
}

// ---- images ----

TEST_F(Drawing, ImageDrawsItsTextureAtHalfDepth) {
    vo::SmartPtr<vo::Texture> texture(new vo_test::FakeTexture(64, 32));
    vo::Image image(texture);
    EXPECT_EQ(image.dest_frame.right(), 64.0f);
    EXPECT_EQ(image.dest_frame.bottom(), 32.0f);
    EXPECT_EQ(image.src_frame.right(), 1.0f);
    EXPECT_FALSE(image.effect.valid);
    EXPECT_FALSE(image.is_animated());
    image.color = vo::Color(1, 1, 1, 0.5f);
    image.angle = 10.0f;
    engine.clear_calls();
    image.draw(vo::FrameTransform(vo::vector2(2, 2), vo::vector2(1, 0), false));
    EXPECT_EQ(engine.calls(), (Calls{"set_state(1, false)", "set_texture(texture)", "set_vertex_buffer(vertices)",
                                     "set_index_buffer(indices)", "draw_indexed(0, 4, 0, 6, 0, 3)"}));
    EXPECT_EQ(engine.texture.get(), texture.get());
    const auto v = vertices(vo::SharedDrawer());
    EXPECT_EQ(v[0].position.z, 0.5f);
    EXPECT_FLOAT_EQ(v[0].color.a, 0.5f);
    // The transform scaled the destination: 128 x 64 around (65, 32).
    float cx = 0, cy = 0;
    for (auto const& c : v) {
        cx += c.position.x / 4;
        cy += c.position.y / 4;
    }
    EXPECT_NEAR(cx, 65.0f, 1e-3);
    EXPECT_NEAR(cy, 32.0f, 1e-3);
}

TEST_F(Drawing, ImageWithAnEffectDrawsThroughItUnturnedAndUntextured) {
    vo::SmartPtr<vo::Texture> texture(new vo_test::FakeTexture(8, 8));
    vo::Image image(texture, vo::Frame(0, 0, 8, 8), vo::Frame(0, 0, 1, 1), vo::Color(1, 1, 1, 1));
    image.angle = 45.0f;
    image.set_dissolve_parameters(0.3f, 0.1f, 2.0f);  // stored until an effect exists
    EXPECT_TRUE(engine.calls_starting_with("set_effect_parameter").empty());
    vo::SmartPtr<vo::Texture> mask(new vo_test::FakeTexture(8, 8));
    image.set_dissolve_texture(mask);
    ASSERT_TRUE(image.effect.valid);
    EXPECT_EQ(engine.calls().back(), "create_effect(dissolve_shader) -> effect(1)");
    engine.clear_calls();
    image.draw();
    EXPECT_EQ(engine.calls(), (Calls{"set_state(1, false)", "apply_effect(effect(1))", "set_texture(null)",
                                     "set_vertex_buffer(vertices)", "set_index_buffer(indices)",
                                     "draw_indexed(0, 4, 0, 6, 0, 3)", "unapply_effect()"}));
    const auto v = vertices(vo::SharedDrawer());
    EXPECT_NEAR(v[0].position.x, 0.0f, 1e-4);  // not turned
    EXPECT_NEAR(v[0].position.y, 8.0f, 1e-4);

    engine.clear_calls();
    image.set_dissolve_texture(mask);  // a second mask swaps texture 0 only
    image.set_texture(texture);
    image.set_dissolve_parameters(0.5f, 0.2f, 3.0f);
    image.set_dissolve_texture(vo::SmartPtr<vo::Texture>());
    EXPECT_EQ(engine.calls(), (Calls{"update_effect_texture(effect(1), 0, texture)",
                                     "update_effect_texture(effect(1), 1, texture)",
                                     "set_effect_parameter(effect(1), threshold, 0.5)",
                                     "set_effect_parameter(effect(1), alphaRange, 0.2)",
                                     "set_effect_parameter(effect(1), interval, 3)", "free_effect(effect(1))"}));
    EXPECT_FALSE(image.effect.valid);
    engine.clear_calls();
    image.set_texture(texture);  // no effect: nothing else happens
    image.set_dissolve_texture(vo::SmartPtr<vo::Texture>());
    EXPECT_TRUE(engine.calls().empty());
}

TEST_F(Drawing, ImagesCopyAndShareTheirTexture) {
    vo::SmartPtr<vo::Texture> texture(new vo_test::FakeTexture(8, 8));
    vo::Image a(texture);
    vo::Image b;
    EXPECT_FALSE(b.texture());
    EXPECT_EQ(b.dest_frame.right(), 0.0f);
    b = a;
    EXPECT_EQ(texture.use_count(), 3);
    vo::Image c(b);
    EXPECT_EQ(c.texture().get(), texture.get());
    engine.clear_calls();
    vo::Image().draw();  // no texture: an untextured quad in the colour
    EXPECT_EQ(engine.calls()[1], "set_texture(null)");
}

}  // namespace

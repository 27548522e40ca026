// Static and simple visuals, sprites and the engine's factory types: call
// orders recorded, pixels read back from a real window.

#include "engine/core/crc32.h"
#include "engine/core/error.h"
#include "engine/core/object_factory.h"
#include "engine/core/vertex.h"
#include "engine/visuals/register_engine_objects.h"
#include "engine/visuals/simple_visual.h"
#include "engine/visuals/sprite.h"
#include "engine/visuals/static_visual.h"
#include "support/engine/media_files.h"
#include "support/engine/recording_engine.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;
using vo_test::Rgba;

// A quad in pixel units as vertices 0..3 and indices 0..5 (two triangles).
template <class Visual>
void FillQuad(Visual const& v, float left, float top, float right, float bottom, bool lit) {
    vo::SmartPtr<vo::VertexBuffer> vb = v.vertex_buffer();
    void* p = nullptr;
    if (lit) {
        vb->create(4, sizeof(vo::NormalVertex), vo::NormalVertex::VRT_DESC);
        ASSERT_TRUE(vb->lock(&p, 0, 4));
        auto* nv = static_cast<vo::NormalVertex*>(p);
        const vo::vector3 n(0, 0, 1);
        nv[0] = vo::NormalVertex(vo::vector3(left, top, 0), n, vo::vector2(0, 0));
        nv[1] = vo::NormalVertex(vo::vector3(right, top, 0), n, vo::vector2(1, 0));
        nv[2] = vo::NormalVertex(vo::vector3(right, bottom, 0), n, vo::vector2(1, 1));
        nv[3] = vo::NormalVertex(vo::vector3(left, bottom, 0), n, vo::vector2(0, 1));
    } else {
        vb->create(4, sizeof(vo::ColorVertex), vo::ColorVertex::VRT_DESC);
        ASSERT_TRUE(vb->lock(&p, 0, 4));
        auto* cv = static_cast<vo::ColorVertex*>(p);
        const vo::Color white(1, 1, 1, 1);
        cv[0] = vo::ColorVertex(vo::vector3(left, top, 0), white, vo::vector2(0, 0));
        cv[1] = vo::ColorVertex(vo::vector3(right, top, 0), white, vo::vector2(1, 0));
        cv[2] = vo::ColorVertex(vo::vector3(right, bottom, 0), white, vo::vector2(1, 1));
        cv[3] = vo::ColorVertex(vo::vector3(left, bottom, 0), white, vo::vector2(0, 1));
    }
    vb->unlock();
    vo::SmartPtr<vo::IndexBuffer> ib = v.index_buffer();
    ib->create(6);
    unsigned* i = nullptr;
    ASSERT_TRUE(ib->lock(&i, 0, 6));
    const unsigned quad[6] = {0, 1, 2, 0, 2, 3};
    std::copy(quad, quad + 6, i);
    ib->unlock();
}

class Recorded : public ::testing::Test {
protected:
    vo_test::RecordingEngine engine;
    vo_test::EngineOverride use{engine};
};

TEST_F(Recorded, StaticVisualDrawsItsSubsetsInOrder) {
    vo::StaticVisual visual;
    EXPECT_EQ(engine.calls(), (Calls{"create_vertex_buffer()", "create_index_buffer()"}));
    EXPECT_STREQ(visual.object_type_name(), "StaticVisual");
    EXPECT_EQ(visual.object_type_id(), vo::crc32("StaticVisual"));
    EXPECT_FALSE(visual.is_animated());
    FillQuad(visual, 0, 0, 10, 10, false);

    vo::StaticVisual::Subset textured;
    textured.num_indices = 3;
    textured.texture = vo::SmartPtr<vo::Texture>(new vo_test::FakeTexture(4, 4));
    textured.color = vo::Color(0.5f, 0.5f, 0.5f, 1.0f);
    vo::StaticVisual::Subset shaded;
    shaded.first_vertex = 1;
    shaded.num_vertices = 3;
    shaded.first_index = 3;
    shaded.num_indices = 3;
    shaded.reserved = 7;
    shaded.type = vo::PRIMITIVE_LINE_STRIP;
    shaded.effect = vo::EffectHandle(4, vo::EFFECT_PIXEL_SHADER, true);
    visual.add_subset(textured);
    visual.add_subset(shaded);
    engine.clear_calls();
    visual.draw();
    EXPECT_EQ(engine.calls(), (Calls{"set_vertex_buffer(vertices)", "set_index_buffer(indices)", "set_state(1, false)",
                                     "set_texture(texture)", "set_material_diffuse((0.5, 0.5, 0.5, 1))",
                                     "draw_indexed(0, 0, 0, 3, 0, 3)", "apply_effect(effect(4))",
                                     "draw_indexed(1, 3, 3, 3, 7, 2)", "unapply_effect()"}));

    // Lit geometry switches lighting on; without subsets nothing is drawn.
    FillQuad(visual, 0, 0, 10, 10, true);
    visual.clear_subsets();
    engine.clear_calls();
    visual.draw();
    EXPECT_EQ(engine.calls(), (Calls{"set_vertex_buffer(vertices)", "set_index_buffer(indices)", "set_state(1, true)"}));
}

TEST_F(Recorded, StaticVisualCopiesShareBuffers) {
    vo::StaticVisual a;
    a.set_filename("level.obj");
    vo::StaticVisual b(a);
    EXPECT_EQ(a.vertex_buffer().get(), b.vertex_buffer().get());
    EXPECT_EQ(b.filename(), "level.obj");
    FillQuad(a, 0, 0, 1, 1, false);
    EXPECT_EQ(b.vertex_buffer()->num_vertices(), 4u);
}

TEST(SimpleVisualIndexCount, PrimitivesToIndices) {
    struct Case {
        vo::PrimitiveType type;
        int n;
        int expected;
    };
    const Case cases[] = {
        {vo::PRIMITIVE_POINTS, 5, 5},          {vo::PRIMITIVE_LINES, 5, 10},
        {vo::PRIMITIVE_LINE_STRIP, 5, 6},      {vo::PRIMITIVE_TRIANGLES, 5, 15},
        {vo::PRIMITIVE_TRIANGLE_STRIP, 5, 7},  {vo::PRIMITIVE_LINE_STRIP, 0, 1},
        {vo::PRIMITIVE_TRIANGLE_STRIP, 0, 2},  {vo::PRIMITIVE_TRIANGLES, 0, 0},
        {vo::PRIMITIVE_TRIANGLES, -1, 99},     {vo::PRIMITIVE_POINTS, -7, 99},
        // Counts that do not fit stay at the largest int (and the engine
        // then refuses the draw as too long for the buffer).
        {vo::PRIMITIVE_TRIANGLES, 2147483647, 2147483647},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(vo::SimpleVisual::index_count(c.type, c.n, 99), c.expected) << c.type << " " << c.n;
    }
}

TEST_F(Recorded, SimpleVisualWithAnEffectSetsItsColourAndSkipsTheTexture) {
    vo::SimpleVisual visual(vo::PRIMITIVE_TRIANGLES, vo::SmartPtr<vo::Texture>(new vo_test::FakeTexture(2, 2)));
    EXPECT_EQ(visual.num_primitives(), -1);
    EXPECT_FLOAT_EQ(visual.point_size(), 1.0f);
    EXPECT_FLOAT_EQ(visual.color().a, 1.0f);
    FillQuad(visual, 0, 0, 1, 1, false);
    visual.set_effect(vo::EffectHandle(2, vo::EFFECT_PIXEL_SHADER, true));
    visual.set_color(vo::Color(0.25f, 0.5f, 0.75f, 1.0f));
    visual.set_num_primitives(1);
    engine.clear_calls();
    visual.draw();
    EXPECT_EQ(engine.calls(),
              (Calls{"set_vertex_buffer(vertices)", "set_index_buffer(indices)",
                     "set_effect_parameter(effect(2), color, (0.25, 0.5, 0.75, 1))", "apply_effect(effect(2))",
                     "set_state(1, false)", "draw_indexed(0, 4, 0, 3, 0, 3)", "unapply_effect()"}));
}

TEST_F(Recorded, SimpleVisualPointsAndLitGeometry) {
    vo::SimpleVisual points;
    FillQuad(points, 0, 0, 1, 1, false);
    points.set_point_size(4.0f);
    engine.clear_calls();
    points.draw();
    EXPECT_EQ(engine.calls(), (Calls{"set_vertex_buffer(vertices)", "set_index_buffer(indices)", "set_texture(null)",
                                     "set_state(1, false)", "set_point_size(4)", "draw_indexed(0, 4, 0, 6, 0, 0)"}));

    vo::SimpleVisual lit(vo::PRIMITIVE_TRIANGLE_STRIP);
    FillQuad(lit, 0, 0, 1, 1, true);
    lit.set_color(vo::Color(1, 0, 0, 1));
    lit.set_num_primitives(2);
    engine.clear_calls();
    lit.draw();
    EXPECT_EQ(engine.calls(), (Calls{"set_vertex_buffer(vertices)", "set_index_buffer(indices)", "set_texture(null)",
                                     "set_state(1, true)", "set_material_diffuse((1, 0, 0, 1))",
                                     "draw_indexed(0, 4, 0, 4, 0, 4)"}));
}

TEST_F(Recorded, SpriteTransformsAroundItsImage) {
    vo::Image image;
    image.dest_frame = vo::Frame(-1, -1, 1, 1);
    vo::Sprite sprite(vo::vector3(10, 20, 0.5f), vo::vector2(2, 3), 30.0f, image);
    EXPECT_TRUE(sprite.is_visible());
    EXPECT_STREQ(sprite.object_type_name(), "Sprite");
    vo::SharedDrawer();
    engine.clear_calls();
    sprite.draw();
    const Calls expected_start{"push_matrix(true, false, false)", "translate(10, 20, 0.5)", "scale(2, 3, 1)",
                               "rotate(30, 0, 0, -1)", "set_state(1, false)"};
    ASSERT_GE(engine.calls().size(), expected_start.size() + 1);
    EXPECT_EQ(Calls(engine.calls().begin(), engine.calls().begin() + 5), expected_start);
    EXPECT_EQ(engine.calls().back(), "pop_matrix(true, false, false)");

    sprite.set_visible(false);
    engine.clear_calls();
    sprite.draw();
    EXPECT_TRUE(engine.calls().empty());

    vo::Sprite plain;
    EXPECT_EQ(plain.transform().scaling.x, 1.0f);
    EXPECT_EQ(plain.transform().position.z, 0.0f);
    vo::Sprite::Transform t;
    t.rotation = 90.0f;
    plain.set_transform(t);
    EXPECT_EQ(plain.transform().rotation, 90.0f);
}

TEST_F(Recorded, SpritePopsItsMatrixWhenTheImageThrows) {
    struct Throwing : vo_test::RecordingEngine {
        void apply_effect(vo::EffectHandle) override { throw vo::Error("no effect"); }
    } throwing;
    vo_test::EngineOverride use_throwing(throwing);
    vo::Image image;
    image.effect = vo::EffectHandle(1, vo::EFFECT_PIXEL_SHADER, true);
    vo::Sprite sprite(vo::vector3(0, 0, 0), vo::vector2(1, 1), 0.0f, image);
    EXPECT_THROW(sprite.draw(), vo::Error);
    EXPECT_EQ(throwing.calls().back(), "pop_matrix(true, false, false)");
}

// ---- pixels ----

class VisualPixels : public ::testing::Test {
protected:
    void SetUp() override {
        window.use_pixel_coordinates();
        engine.set_clear_color(vo::Color(0, 0, 0, 1));
        engine.clear();
    }
    void TearDown() override {
        for (int s = 0; s < 3; ++s) engine.set_state(s, false);
    }

    vo_test::TestWindow window{120, 90};
    vo::Engine& engine = window.engine();
};

TEST_F(VisualPixels, StaticVisualSubsetsTexturedAndColoured) {
    vo_test::TempFolder folder;
    const std::string file = folder.file("blue.png");
    ASSERT_TRUE(vo_test::WritePng(file, 4, 4, [](unsigned, unsigned) { return Rgba{0, 0, 255}; }));
    vo::SmartPtr<vo::Texture> blue = engine.create_texture();
    ASSERT_TRUE(blue->load(file.c_str()));

    vo::StaticVisual visual;
    // Two quads: vertices 0..3 left, 4..7 right; indices 0..5 and 6..11.
    vo::SmartPtr<vo::VertexBuffer> vb = visual.vertex_buffer();
    vb->create(8, sizeof(vo::ColorVertex), vo::ColorVertex::VRT_DESC);
    void* p = nullptr;
    ASSERT_TRUE(vb->lock(&p, 0, 8));
    auto* cv = static_cast<vo::ColorVertex*>(p);
    const vo::Color white(1, 1, 1, 1);
    const float lefts[2] = {10, 60};
    for (int q = 0; q < 2; ++q) {
        const float l = lefts[q];
        cv[q * 4 + 0] = vo::ColorVertex(vo::vector3(l, 10, 0), white, vo::vector2(0, 0));
        cv[q * 4 + 1] = vo::ColorVertex(vo::vector3(l + 40, 10, 0), white, vo::vector2(1, 0));
        cv[q * 4 + 2] = vo::ColorVertex(vo::vector3(l + 40, 50, 0), white, vo::vector2(1, 1));
        cv[q * 4 + 3] = vo::ColorVertex(vo::vector3(l, 50, 0), vo::Color(1, 1, 0, 1), vo::vector2(0, 1));
    }
    for (int k = 0; k < 4; ++k) cv[4 + k].color = vo::Color(1, 1, 0, 1);
    vb->unlock();
    vo::SmartPtr<vo::IndexBuffer> ib = visual.index_buffer();
    ib->create(12);
    unsigned* i = nullptr;
    ASSERT_TRUE(ib->lock(&i, 0, 12));
    const unsigned quads[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
    std::copy(quads, quads + 12, i);
    ib->unlock();

    vo::StaticVisual::Subset left;
    left.num_indices = 6;
    left.texture = blue;
    vo::StaticVisual::Subset right;
    right.first_index = 6;
    right.num_indices = 6;
    visual.add_subset(left);
    visual.add_subset(right);
    engine.set_state(vo::STATE_TEXTURING, true);
    visual.draw();
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(20, 20), (Rgba{0, 0, 255}), 0);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(80, 20), (Rgba{255, 255, 0}), 0);  // vertex colour, unlit
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(55, 20), (Rgba{0, 0, 0}), 0);
}

TEST_F(VisualPixels, LitStaticVisualTakesItsSubsetColour) {
    engine.set_ambient_light(vo::Color(0, 0, 0, 1));
    engine.set_material_ambient(vo::Color(0, 0, 0, 1));
    vo::StaticVisual visual;
    FillQuad(visual, 10, 10, 50, 50, true);
    vo::StaticVisual::Subset s;
    s.num_indices = 6;
    s.color = vo::Color(0.0f, 0.6f, 0.2f, 1.0f);
    visual.add_subset(s);
    visual.draw();
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(30, 30), (Rgba{0, 153, 51}), 2);
}

TEST_F(VisualPixels, SimpleVisualDrawsOnlyItsPrimitives) {
    vo::SimpleVisual visual(vo::PRIMITIVE_TRIANGLES);
    FillQuad(visual, 10, 10, 50, 50, false);
    visual.set_num_primitives(1);  // the upper-right triangle only
    visual.draw();
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(45, 15), (Rgba{255, 255, 255}), 0);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(15, 45), (Rgba{0, 0, 0}), 0);
    // Too many primitives for the buffers: nothing more is drawn.
    engine.clear();
    visual.set_num_primitives(3);
    visual.draw();
    EXPECT_EQ(window.count_pixels(Rgba{255, 255, 255}, 0), 0);
}

TEST_F(VisualPixels, SpriteTurnsAboutMinusZ) {
    // A turn about -z by 90 degrees takes +x to -y: in pixel coordinates
    // (y downward) a bar reaching right from the position then reaches up.
    vo::Image image;
    image.dest_frame = vo::Frame(0, -5, 30, 5);  // 30 x 10, to the right of the position
    image.color = vo::Color(1, 0, 0, 1);
    vo::Sprite sprite(vo::vector3(60, 45, 0), vo::vector2(1, 1), 90.0f, image);
    engine.load_identity();
    sprite.draw();
    int count = 0, min_x = 1000, max_x = -1, min_y = 1000, max_y = -1;
    const auto frame = window.pixels();
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            if (!vo_test::ColorNear(frame[static_cast<size_t>(y * window.width() + x)], Rgba{255, 0, 0}, 0)) continue;
            ++count;
            min_x = std::min(min_x, x);
            max_x = std::max(max_x, x);
            min_y = std::min(min_y, y);
            max_y = std::max(max_y, y);
        }
    }
    EXPECT_EQ(count, 300);
    EXPECT_EQ(max_x - min_x + 1, 10);
    EXPECT_EQ(max_y - min_y + 1, 30);
    EXPECT_EQ(min_x, 55);
    EXPECT_EQ(max_y, 44);
    float m[16];
    engine.get_modelview_matrix(m);
    EXPECT_FLOAT_EQ(m[12], 0.0f);  // the sprite popped its matrix
}

// ---- the factory ----

TEST(EngineObjects, RegisteredOnceInOrder) {
    vo::RegisterEngineObjects();
    ASSERT_EQ(vo::ObjectFactory::num_types(), 2u);
    EXPECT_EQ(vo::ObjectFactory::type_desc(0).name, "Entity");
    EXPECT_EQ(vo::ObjectFactory::type_desc(0).origin, 0u);
    EXPECT_EQ(vo::ObjectFactory::type_desc(1).name, "StaticVisual");
    EXPECT_EQ(vo::ObjectFactory::type_desc(1).id, vo::StaticVisual::TYPE_ID());
    std::unique_ptr<vo::Object> made(vo::ObjectFactory::create("StaticVisual"));
    ASSERT_NE(dynamic_cast<vo::StaticVisual*>(made.get()), nullptr);
    EXPECT_TRUE(static_cast<vo::StaticVisual*>(made.get())->vertex_buffer());
    try {
        vo::RegisterEngineObjects();
        ADD_FAILURE() << "a second registration was accepted";
    } catch (vo::Error const& e) {
        EXPECT_STREQ(e.message(), "Type Entity has already been registered.");
    }
    EXPECT_EQ(vo::ObjectFactory::num_types(), 2u);
}

}  // namespace

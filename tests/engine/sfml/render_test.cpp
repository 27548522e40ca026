// Drawing into a real window under Xvfb, with the pixels read back.

#include "engine/core/error.h"
#include "engine/core/vertex.h"
#include "engine/sfml/sfml_engine.h"
#include "support/engine/test_window.h"

#include <SFML/OpenGL.hpp>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

using vo_test::Rgba;
using vo_test::TestWindow;
using vo_test::ToRgba;

const vo::Color RED(1, 0, 0, 1);
const vo::Color GREEN(0, 1, 0, 1);
const vo::Color BLUE(0, 0, 1, 1);
const vo::Color BLACK(0, 0, 0, 1);

class Render : public ::testing::Test {
protected:
    void SetUp() override {
        window.use_pixel_coordinates();
        engine.set_clear_color(BLACK);
        engine.clear();
        vertices = engine.create_vertex_buffer();
        indices = engine.create_index_buffer();
    }

    // Two triangles covering the rectangle, in pixel units, one colour.
    void fill_quad(float left, float top, float right, float bottom, vo::Color const& c) {
        write_quad(left, top, right, bottom, c);
        engine.set_vertex_buffer(vertices);
        engine.set_index_buffer(indices);
        engine.draw_indexed(0, 4, 0, 6, 0, vo::PRIMITIVE_TRIANGLES);
    }

    void write_quad(float left, float top, float right, float bottom, vo::Color const& c) {
        vertices->create(4, sizeof(vo::ColorVertex), vo::ColorVertex::VRT_DESC);
        void* v = nullptr;
        ASSERT_TRUE(vertices->lock(&v, 0, 4));
        auto* cv = static_cast<vo::ColorVertex*>(v);
        cv[0] = vo::ColorVertex(vo::vector3(left, top, 0), c, vo::vector2(0, 0));
        cv[1] = vo::ColorVertex(vo::vector3(right, top, 0), c, vo::vector2(1, 0));
        cv[2] = vo::ColorVertex(vo::vector3(right, bottom, 0), c, vo::vector2(1, 1));
        cv[3] = vo::ColorVertex(vo::vector3(left, bottom, 0), c, vo::vector2(0, 1));
        vertices->unlock();
        indices->create(6);
        unsigned* i = nullptr;
        ASSERT_TRUE(indices->lock(&i, 0, 6));
        const unsigned quad[6] = {0, 1, 2, 0, 2, 3};
        std::copy(quad, quad + 6, i);
        indices->unlock();
    }

    Rgba pixel(int x, int y) { return window.pixel(x, y); }

    TestWindow window{320, 240};
    vo::Engine& engine = window.engine();
    vo::SmartPtr<vo::VertexBuffer> vertices;
    vo::SmartPtr<vo::IndexBuffer> indices;
};

std::array<GLint, 4> Query(GLenum what) {
    std::array<GLint, 4> r{};
    glGetIntegerv(what, r.data());
    return r;
}

TEST_F(Render, ClearGivesTheClearColour) {
    engine.set_clear_color(vo::Color(0.2f, 0.4f, 0.6f, 1.0f));
    engine.clear();
    EXPECT_PRED3(vo_test::ColorNear, pixel(0, 0), (Rgba{51, 102, 153}), 1);
    EXPECT_PRED3(vo_test::ColorNear, pixel(319, 239), (Rgba{51, 102, 153}), 1);
}

TEST_F(Render, IndexedTrianglesColourOnlyTheirPixels) {
    fill_quad(100, 50, 200, 150, GREEN);
    EXPECT_PRED3(vo_test::ColorNear, pixel(102, 52), ToRgba(GREEN), 0);
    EXPECT_PRED3(vo_test::ColorNear, pixel(197, 147), ToRgba(GREEN), 0);
    EXPECT_PRED3(vo_test::ColorNear, pixel(97, 100), ToRgba(BLACK), 0);
    EXPECT_PRED3(vo_test::ColorNear, pixel(150, 152), ToRgba(BLACK), 0);
    EXPECT_EQ(window.count_pixels(ToRgba(GREEN), 0), 100 * 100);
}

TEST_F(Render, DrawArraysUsesTheVertexRange) {
    write_quad(10, 10, 60, 60, RED);
    engine.set_vertex_buffer(vertices);
    engine.draw_arrays(0, 3, vo::PRIMITIVE_TRIANGLES);  // the upper-right half
    EXPECT_PRED3(vo_test::ColorNear, pixel(55, 15), ToRgba(RED), 0);
    EXPECT_PRED3(vo_test::ColorNear, pixel(15, 55), ToRgba(BLACK), 0);
}

TEST_F(Render, DrawsWithoutBuffersOrOutsideThemDrawNothing) {
    write_quad(0, 0, 320, 240, RED);
    engine.set_vertex_buffer(vo::SmartPtr<vo::VertexBuffer>());
    engine.set_index_buffer(indices);
    engine.draw_indexed(0, 4, 0, 6, 0, vo::PRIMITIVE_TRIANGLES);  // no vertex buffer set
    engine.set_vertex_buffer(vertices);
    engine.set_index_buffer(vo::SmartPtr<vo::IndexBuffer>());
    engine.draw_indexed(0, 4, 0, 6, 0, vo::PRIMITIVE_TRIANGLES);  // no index buffer
    engine.set_index_buffer(indices);
    struct Range {
        int first, count;
    };
    const Range bad_index_ranges[] = {{1, 6}, {6, 1}, {-1, 3}, {0, 7}, {2147483647, 2}, {0, -6}};
    for (Range r : bad_index_ranges) engine.draw_indexed(0, 4, r.first, r.count, 0, vo::PRIMITIVE_TRIANGLES);
    const Range bad_vertex_ranges[] = {{2, 3}, {-1, 3}, {0, 5}, {2147483647, 3}};
    for (Range r : bad_vertex_ranges) engine.draw_arrays(r.first, r.count, vo::PRIMITIVE_TRIANGLES);
    engine.draw_indexed(0, 4, 0, 6, 0, static_cast<vo::PrimitiveType>(7));
    // An index naming a vertex the buffer does not have.
    unsigned* i = nullptr;
    ASSERT_TRUE(indices->lock(&i, 5, 1));
    *i = 4;
    indices->unlock();
    engine.draw_indexed(0, 4, 0, 6, 0, vo::PRIMITIVE_TRIANGLES);
    EXPECT_EQ(window.count_pixels(ToRgba(RED), 0), 0);
}

TEST_F(Render, DrawsUseTheBoundBufferCurrentStorage) {
    write_quad(0, 0, 50, 50, RED);
    engine.set_vertex_buffer(vertices);
    engine.set_index_buffer(indices);
    // The storage is made anew after binding; the draw must not read the
    // old (freed) storage.
    write_quad(100, 100, 150, 150, BLUE);
    engine.draw_indexed(0, 4, 0, 6, 0, vo::PRIMITIVE_TRIANGLES);
    EXPECT_PRED3(vo_test::ColorNear, pixel(125, 125), ToRgba(BLUE), 0);
    EXPECT_EQ(window.count_pixels(ToRgba(RED), 0), 0);
}

TEST_F(Render, ViewportStackNestsAndRestores) {
    vo::Engine& e = engine;
    e.push_viewport(10, 20, 100, 50, false);
    EXPECT_EQ(Query(GL_VIEWPORT), (std::array<GLint, 4>{10, 240 - 20 - 50, 100, 50}));
    e.push_viewport(5, 5, 10, 10, true);
    EXPECT_EQ(Query(GL_VIEWPORT), (std::array<GLint, 4>{15, 170 + 50 - 5 - 10, 10, 10}));
    // A quad over the whole projection fills the inner viewport only.
    fill_quad(0, 0, 320, 240, GREEN);
    EXPECT_EQ(window.count_pixels(ToRgba(GREEN), 0), 100);
    EXPECT_PRED3(vo_test::ColorNear, pixel(15, 25), ToRgba(GREEN), 0);
    e.pop_viewport();
    EXPECT_EQ(Query(GL_VIEWPORT), (std::array<GLint, 4>{10, 170, 100, 50}));
    e.pop_viewport();
    EXPECT_EQ(Query(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 320, 240}));
    e.pop_viewport();  // empty: the default again, no failure
    EXPECT_EQ(Query(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 320, 240}));
}

TEST_F(Render, ViewportsOfAnEightHundredBySixHundredWindow) {
    TestWindow big(800, 600);
    big.engine().push_viewport(10, 20, 100, 50, false);
    EXPECT_EQ(Query(GL_VIEWPORT), (std::array<GLint, 4>{10, 530, 100, 50}));
    big.engine().push_viewport(5, 5, 10, 10, true);
    EXPECT_EQ(Query(GL_VIEWPORT), (std::array<GLint, 4>{15, 565, 10, 10}));
    big.engine().pop_viewport();
    big.engine().pop_viewport();
}

TEST_F(Render, ScissorStackClipsRelativeToItsOwnTop) {
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    engine.push_viewport(100, 100, 50, 50, false);  // not the scissor's reference
    engine.push_scissor(20, 30, 100, 80, false);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(Query(GL_SCISSOR_BOX), (std::array<GLint, 4>{20, 240 - 30 - 80, 100, 80}));
    engine.push_scissor(10, 10, 20, 20, true);
    EXPECT_EQ(Query(GL_SCISSOR_BOX), (std::array<GLint, 4>{30, 130 + 80 - 10 - 20, 20, 20}));
    engine.pop_viewport();
    fill_quad(0, 0, 320, 240, BLUE);
    EXPECT_EQ(window.count_pixels(ToRgba(BLUE), 0), 400);
    EXPECT_PRED3(vo_test::ColorNear, pixel(30, 40), ToRgba(BLUE), 0);
    engine.pop_scissor();
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(Query(GL_SCISSOR_BOX), (std::array<GLint, 4>{20, 130, 100, 80}));
    engine.pop_scissor();
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    engine.pop_scissor();  // already empty
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(Render, BlendModesGiveTheirPixelArithmetic) {
    struct Case {
        int mode;
        vo::Color source;
        Rgba expected;  // over a background of (0.4, 0.6, 0.8)
    };
    const Case cases[] = {
        // source alpha, one minus source alpha: 0.5 * src + 0.5 * dst
        {vo::BLEND_ALPHA, vo::Color(1.0f, 0.0f, 0.0f, 0.5f), Rgba{179, 77, 102}},
        // one, one: src + dst, saturating
        {vo::BLEND_ADDITIVE, vo::Color(0.2f, 0.2f, 0.4f, 0.3f), Rgba{153, 204, 255}},
        // zero, source colour: src * dst
        {vo::BLEND_MULTIPLY, vo::Color(0.5f, 0.5f, 0.25f, 1.0f), Rgba{51, 77, 51}},
    };
    for (Case const& c : cases) {
        engine.set_state(vo::STATE_BLENDING, false);
        engine.set_clear_color(vo::Color(0.4f, 0.6f, 0.8f, 1.0f));
        engine.clear();
        engine.set_state(vo::STATE_BLENDING, true);
        engine.set_blend_mode(c.mode);
        fill_quad(0, 0, 320, 240, c.source);
        EXPECT_PRED3(vo_test::ColorNear, pixel(160, 120), c.expected, 2) << "mode " << c.mode;
    }
}

TEST_F(Render, UnknownBlendModeThrowsAndKeepsTheFunction) {
    engine.set_blend_mode(vo::BLEND_ADDITIVE);
    for (int mode : {3, -1}) {
        try {
            engine.set_blend_mode(mode);
            ADD_FAILURE() << "no error for mode " << mode;
        } catch (vo::Error const& e) {
            EXPECT_STREQ(e.message(), "ERROR in Engine::set_blend_mode: Unknown blend mode.\n");
        }
    }
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_ONE);
    EXPECT_EQ(destination, GL_ONE);
}

TEST_F(Render, StatesSwitchTheirCapabilities) {
    const GLenum caps[] = {GL_TEXTURE_2D, GL_LIGHTING, GL_BLEND};
    for (int s = 0; s < 3; ++s) {
        engine.set_state(s, true);
        EXPECT_TRUE(glIsEnabled(caps[s])) << s;
        engine.set_state(s, false);
        EXPECT_FALSE(glIsEnabled(caps[s])) << s;
    }
    engine.set_state(3, true);  // no such state: nothing happens
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Render, LitGeometryTakesTheDiffuseMaterial) {
    vertices->create(4, sizeof(vo::NormalVertex), vo::NormalVertex::VRT_DESC);
    void* v = nullptr;
    ASSERT_TRUE(vertices->lock(&v, 0, 4));
    auto* nv = static_cast<vo::NormalVertex*>(v);
    const float corners[4][2] = {{20, 20}, {120, 20}, {120, 120}, {20, 120}};
    for (int k = 0; k < 4; ++k) {
        nv[k] = vo::NormalVertex(vo::vector3(corners[k][0], corners[k][1], 0), vo::vector3(0, 0, 1), vo::vector2(0, 0));
    }
    vertices->unlock();
    indices->create(6);
    unsigned* i = nullptr;
    ASSERT_TRUE(indices->lock(&i, 0, 6));
    const unsigned quad[6] = {0, 1, 2, 0, 2, 3};
    std::copy(quad, quad + 6, i);
    indices->unlock();

    // Light 0 shines along -z by default; with no ambient light the quad
    // shows its diffuse colour.
    engine.set_ambient_light(vo::Color(0, 0, 0, 1));
    engine.set_material_ambient(vo::Color(0, 0, 0, 1));
    engine.set_material_diffuse(vo::Color(0.0f, 0.8f, 0.4f, 1.0f));
    engine.set_state(vo::STATE_LIGHTING, true);
    engine.set_vertex_buffer(vertices);
    engine.set_index_buffer(indices);
    engine.draw_indexed(0, 4, 0, 6, 0, vo::PRIMITIVE_TRIANGLES);
    engine.set_state(vo::STATE_LIGHTING, false);
    EXPECT_PRED3(vo_test::ColorNear, pixel(70, 70), (Rgba{0, 204, 102}), 2);
}

TEST_F(Render, PointsTakeThePointSize) {
    vertices->create(1, sizeof(vo::ColorVertex), vo::ColorVertex::VRT_DESC);
    void* v = nullptr;
    ASSERT_TRUE(vertices->lock(&v, 0, 1));
    *static_cast<vo::ColorVertex*>(v) = vo::ColorVertex(vo::vector3(50, 50, 0), RED, vo::vector2(0, 0));
    vertices->unlock();
    engine.set_vertex_buffer(vertices);
    engine.set_point_size(6.0f);
    engine.draw_arrays(0, 1, vo::PRIMITIVE_POINTS);
    engine.set_point_size(1.0f);
    EXPECT_EQ(window.count_pixels(ToRgba(RED), 0), 36);
}

std::array<float, 16> Get(GLenum which) {
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

TEST_F(Render, MatrixStacksHaveNoDepthLimit) {
    // Deeper than the graphics library's texture stack (10 here) and
    // projection stack (32).
    const int depth = 40;
    engine.set_ortho(0, 10, 10, 0, -1, 1);
    const auto projection = Get(GL_PROJECTION_MATRIX);
    const auto modelview = Get(GL_MODELVIEW_MATRIX);
    for (int k = 0; k < depth; ++k) {
        engine.push_matrix(true, true, true);
        engine.translate(1, 2, 3);
        glMatrixMode(GL_TEXTURE);
        glTranslatef(0.5f, 0, 0);
        glMatrixMode(GL_PROJECTION);
        glScalef(2, 2, 2);
        glMatrixMode(GL_MODELVIEW);
    }
    for (int k = 0; k < depth; ++k) engine.pop_matrix(true, true, true);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(Get(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(Get(GL_MODELVIEW_MATRIX), modelview);
    const auto texture = Get(GL_TEXTURE_MATRIX);
    EXPECT_FLOAT_EQ(texture[12], 0.0f);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    // Popping an empty stack changes nothing.
    engine.translate(4, 0, 0);
    engine.pop_matrix(true, false, false);
    EXPECT_FLOAT_EQ(Get(GL_MODELVIEW_MATRIX)[12], 4.0f);
}

TEST_F(Render, MatrixOperationsActOnTheModelView) {
    engine.load_identity();
    engine.translate(1, 2, 3);
    engine.scale(2, 2, 2);
    float m[16];
    engine.get_modelview_matrix(m);
    EXPECT_FLOAT_EQ(m[0], 2.0f);
    EXPECT_FLOAT_EQ(m[12], 1.0f);
    EXPECT_FLOAT_EQ(m[13], 2.0f);
    EXPECT_FLOAT_EQ(m[14], 3.0f);
    engine.rotate(90, 0, 0, 1);
    engine.get_modelview_matrix(m);
    EXPECT_NEAR(m[1], 2.0f, 1e-6);  // x axis turned onto y
    const float half[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1};
    engine.load_matrix(half);
    engine.mult_matrix(half);
    engine.get_modelview_matrix(m);
    EXPECT_FLOAT_EQ(m[0], 0.25f);
    EXPECT_FLOAT_EQ(m[15], 1.0f);
}

TEST_F(Render, OnePixelOrthoStillProjects) {
    // A one-pixel-wide and one-pixel-high area asks for left == right and
    // bottom == top; it gets a unit extent instead of no projection.
    engine.push_viewport(40, 30, 1, 1, false);
    engine.set_ortho(0, 0, 0, 0, -1, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const auto p = Get(GL_PROJECTION_MATRIX);
    EXPECT_FLOAT_EQ(p[0], 2.0f);
    EXPECT_FLOAT_EQ(p[5], -2.0f);  // y downward, as widgets draw
    write_quad(0, 0, 1, 1, GREEN);
    engine.set_vertex_buffer(vertices);
    engine.set_index_buffer(indices);
    engine.draw_indexed(0, 4, 0, 6, 0, vo::PRIMITIVE_TRIANGLES);
    engine.pop_viewport();
    EXPECT_PRED3(vo_test::ColorNear, pixel(40, 30), ToRgba(GREEN), 0);
    EXPECT_EQ(window.count_pixels(ToRgba(GREEN), 0), 1);
}

TEST_F(Render, ProjectAndUnprojectUnderAnOrtho) {
    engine.set_ortho(0, 320, 0, 240, -1, 1);  // y upward, window coordinates
    engine.load_identity();
    float x = -1, y = -1, z = -1;
    engine.project(&x, &y, &z, 100, 50, 0);
    EXPECT_NEAR(x, 100.0f, 1e-3);
    EXPECT_NEAR(y, 50.0f, 1e-3);
    EXPECT_NEAR(z, 0.5f, 1e-6);
    engine.unproject(&x, &y, &z, 100, 50, 0.5f);
    EXPECT_NEAR(x, 100.0f, 1e-3);
    EXPECT_NEAR(y, 50.0f, 1e-3);
    EXPECT_NEAR(z, 0.0f, 1e-6);
}

TEST_F(Render, ProjectAndUnprojectWithASingularMatrixAnswerZero) {
    engine.set_ortho(0, 320, 0, 240, -1, 1);
    const float zero[16] = {};
    engine.load_matrix(zero);
    float x = 7, y = 7, z = 7;
    engine.project(&x, &y, &z, 1, 2, 3);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(z, 0.0f);
    x = y = z = 7;
    engine.unproject(&x, &y, &z, 1, 2, 0.5f);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(z, 0.0f);
    engine.load_identity();
}

}  // namespace

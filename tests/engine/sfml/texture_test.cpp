// Back-end textures: loading real PNG files, frames, updates and binding.

#include "engine/core/vertex.h"
#include "engine/sfml/sfml_engine.h"
#include "engine/sfml/sfml_texture.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <vector>

namespace {

using vo_test::Rgba;

const Rgba RED{255, 0, 0};
const Rgba BLUE{0, 0, 255};

vo::SFML_Texture& Own(vo::SmartPtr<vo::Texture> const& t) { return dynamic_cast<vo::SFML_Texture&>(*t); }

void ExpectFrame(vo::Frame const& f, float right, float bottom) {
    EXPECT_EQ(f.left(), 0.0f);
    EXPECT_EQ(f.top(), 0.0f);
    EXPECT_EQ(f.right(), right);
    EXPECT_EQ(f.bottom(), bottom);
}

class Textures : public ::testing::Test {
protected:
    vo_test::TestWindow window{64, 64};
    vo::Engine& engine = window.engine();
    vo_test::TempFolder folder;
};

TEST_F(Textures, LoadsAPngAndReportsItsFrame) {
    const std::string file = folder.file("red_blue.png");
    ASSERT_TRUE(vo_test::WritePng(file, 64, 32, [](unsigned, unsigned y) { return y < 16 ? RED : BLUE; }));
    vo::SmartPtr<vo::Texture> t = engine.create_texture();
    ExpectFrame(t->frame(), 0, 0);  // never loaded
    ASSERT_TRUE(t->load(file.c_str()));
    ExpectFrame(t->frame(), 64, 32);
    EXPECT_TRUE(Own(t).texture().isSmooth());
    const sf::Image image = Own(t).texture().copyToImage();
    EXPECT_EQ(image.getPixel(3, 3), sf::Color::Red);
    EXPECT_EQ(image.getPixel(3, 30), sf::Color::Blue);
}

TEST_F(Textures, MissingOrGarbageFilesDoNotLoad) {
    const std::string garbage = folder.file("garbage.png");
    ASSERT_TRUE(vo_test::WriteBytes(garbage, {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5}));
    vo::SmartPtr<vo::Texture> t = engine.create_texture();
    EXPECT_FALSE(t->load(folder.file("missing.png").c_str()));
    EXPECT_FALSE(t->load(garbage.c_str()));
    EXPECT_FALSE(t->load(nullptr));
    ExpectFrame(t->frame(), 0, 0);
}

TEST_F(Textures, UpdateWritesInsideAndIgnoresRectanglesOutside) {
    vo::SmartPtr<vo::Texture> t = engine.create_texture();
    const std::vector<unsigned char> white(16 * 16 * 4, 255);
    // Nothing created yet: ignored rather than aborting the process.
    t->update(0, 0, 1, 1, white.data());
    ASSERT_TRUE(t->create(16, 8));
    ExpectFrame(t->frame(), 16, 8);
    t->update(4, 2, 2, 3, white.data());
    struct Rect {
        unsigned x, y, w, h;
    };
    const Rect outside[] = {{15, 0, 2, 1}, {0, 7, 1, 2}, {16, 0, 1, 1}, {0xFFFFFFFFu, 0, 2, 1},
                            {1, 1, 0xFFFFFFFFu, 1}, {0, 0, 17, 8}};
    for (Rect r : outside) t->update(r.x, r.y, r.w, r.h, white.data());
    t->update(0, 0, 1, 1, nullptr);
    const sf::Image image = Own(t).texture().copyToImage();
    int lit = 0;
    for (unsigned y = 0; y < 8; ++y) {
        for (unsigned x = 0; x < 16; ++x) lit += image.getPixel(x, y) == sf::Color::White ? 1 : 0;
    }
    EXPECT_EQ(lit, 6);
    EXPECT_EQ(image.getPixel(4, 2), sf::Color::White);
    EXPECT_EQ(image.getPixel(5, 4), sf::Color::White);
}

TEST_F(Textures, RenderTargetNameMakesAProxy) {
    vo::SmartPtr<vo::Texture> t = engine.create_texture();
    Own(t).set_render_target_name("lava");
    EXPECT_EQ(Own(t).render_target_name(), "lava");
    ExpectFrame(t->frame(), 0, 0);
}

TEST_F(Textures, BoundTextureShowsUprightWithNormalisedCoordinates) {
    const std::string file = folder.file("red_blue.png");
    ASSERT_TRUE(vo_test::WritePng(file, 8, 8, [](unsigned, unsigned y) { return y < 4 ? RED : BLUE; }));
    vo::SmartPtr<vo::Texture> t = engine.create_texture();
    ASSERT_TRUE(t->load(file.c_str()));
    t->set_smooth(false);
    EXPECT_FALSE(Own(t).texture().isSmooth());
    t->set_repeated(true);
    EXPECT_TRUE(Own(t).texture().isRepeated());

    window.use_pixel_coordinates();
    vo::SmartPtr<vo::VertexBuffer> vb = engine.create_vertex_buffer();
    vo::SmartPtr<vo::IndexBuffer> ib = engine.create_index_buffer();
    vb->create(4, sizeof(vo::ColorVertex), vo::ColorVertex::VRT_DESC);
    void* v = nullptr;
    ASSERT_TRUE(vb->lock(&v, 0, 4));
    auto* cv = static_cast<vo::ColorVertex*>(v);
    const vo::Color white(1, 1, 1, 1);
    cv[0] = vo::ColorVertex(vo::vector3(0, 0, 0), white, vo::vector2(0, 0));
    cv[1] = vo::ColorVertex(vo::vector3(64, 0, 0), white, vo::vector2(1, 0));
    cv[2] = vo::ColorVertex(vo::vector3(64, 64, 0), white, vo::vector2(1, 1));
    cv[3] = vo::ColorVertex(vo::vector3(0, 64, 0), white, vo::vector2(0, 1));
    vb->unlock();
    ib->create(6);
    unsigned* i = nullptr;
    ASSERT_TRUE(ib->lock(&i, 0, 6));
    const unsigned quad[6] = {0, 1, 2, 0, 2, 3};
    std::copy(quad, quad + 6, i);
    ib->unlock();

    engine.set_state(vo::STATE_TEXTURING, true);
    engine.set_texture(t);
    engine.set_vertex_buffer(vb);
    engine.set_index_buffer(ib);
    engine.draw_indexed(0, 4, 0, 6, 0, vo::PRIMITIVE_TRIANGLES);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(32, 8), RED, 0);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(32, 56), BLUE, 0);

    // Unbound: the quad takes its vertex colour.
    engine.set_texture(vo::SmartPtr<vo::Texture>());
    engine.draw_indexed(0, 4, 0, 6, 0, vo::PRIMITIVE_TRIANGLES);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(32, 8), (Rgba{255, 255, 255}), 0);
    engine.set_state(vo::STATE_TEXTURING, false);
}

}  // namespace

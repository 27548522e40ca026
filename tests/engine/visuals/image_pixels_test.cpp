// Images and drawer rectangles in a real window, pixels read back.

#include "engine/visuals/drawer.h"
#include "engine/visuals/image.h"
#include "support/engine/allocation_counter.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

namespace {

using vo_test::Rgba;

const Rgba RED{255, 0, 0};
const Rgba BLUE{0, 0, 255};
const Rgba BLACK{0, 0, 0};
const Rgba WHITE{255, 255, 255};

class ImagePixels : public ::testing::Test {
protected:
    void SetUp() override {
        window.use_pixel_coordinates();
        engine.set_clear_color(vo::Color(0, 0, 0, 1));
        engine.clear();
        engine.set_state(vo::STATE_TEXTURING, true);
    }
    void TearDown() override { engine.set_state(vo::STATE_TEXTURING, false); }

    // A 60 x 20 texture, red in its upper half and blue in its lower half.
    vo::SmartPtr<vo::Texture> red_over_blue() {
        const std::string file = folder.file("red_over_blue.png");
        EXPECT_TRUE(vo_test::WritePng(file, 60, 20, [](unsigned, unsigned y) { return y < 10 ? RED : BLUE; }));
        vo::SmartPtr<vo::Texture> t = engine.create_texture();
        EXPECT_TRUE(t->load(file.c_str()));
        return t;
    }

    vo_test::TestWindow window{160, 120};
    vo::Engine& engine = window.engine();
    vo_test::TempFolder folder;
};

TEST_F(ImagePixels, UnitSourceFrameShowsTheTextureUpright) {
    vo::Image image(red_over_blue());
    image.dest_frame.move(20, 30);
    image.draw();
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(50, 33), RED, 2);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(50, 46), BLUE, 2);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(50, 52), BLACK, 0);
}

TEST_F(ImagePixels, SourceFrameWithTopOneShowsItUpsideDown) {
    vo::Image image(red_over_blue());
    image.src_frame = vo::Frame(0, 1, 1, 0);
    image.draw();
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(30, 3), BLUE, 2);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(30, 16), RED, 2);
}

TEST_F(ImagePixels, NinetyDegreesTurnsTheFootprint) {
    vo::Image image(red_over_blue(), vo::Frame(50, 50, 110, 70), vo::Frame(0, 0, 1, 1), vo::Color(1, 1, 1, 1));
    image.angle = 90.0f;
    image.draw();
    int min_x = 1000, max_x = -1, min_y = 1000, max_y = -1;
    const auto frame = window.pixels();
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            if (vo_test::ColorNear(frame[static_cast<size_t>(y * window.width() + x)], BLACK, 0)) continue;
            min_x = std::min(min_x, x);
            max_x = std::max(max_x, x);
            min_y = std::min(min_y, y);
            max_y = std::max(max_y, y);
        }
    }
    EXPECT_EQ(max_x - min_x + 1, 20);
    EXPECT_EQ(max_y - min_y + 1, 60);
    EXPECT_EQ(min_x, 70);
    EXPECT_EQ(min_y, 30);
}

TEST_F(ImagePixels, ImageWithoutTextureIsItsColour) {
    vo::Image image;
    image.dest_frame = vo::Frame(10, 10, 20, 20);
    image.color = vo::Color(0, 1, 0, 1);
    image.draw();
    EXPECT_EQ(window.count_pixels(Rgba{0, 255, 0}, 0), 100);
}

TEST_F(ImagePixels, OutlineLightsTheEdgesOnly) {
    engine.set_state(vo::STATE_TEXTURING, false);
    vo::Drawer& drawer = vo::SharedDrawer();
    drawer.set_color(1, 1, 1, 1);
    drawer.draw_rect(20.5f, 20.5f, 60.5f, 50.5f, false, 0.0f);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(40, 20), WHITE, 0);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(40, 50), WHITE, 0);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(20, 35), WHITE, 0);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(60, 35), WHITE, 0);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(40, 35), BLACK, 0);
    const int lit = window.count_pixels(WHITE, 0);
    EXPECT_GE(lit, 2 * 40 + 2 * 30 - 4);
    EXPECT_LE(lit, 2 * 41 + 2 * 31);

    drawer.draw_line(0.5f, 100.5f, 159.5f, 100.5f, 0.0f);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(80, 100), WHITE, 0);
}

TEST_F(ImagePixels, ThousandRectanglesAllocateNothingAfterWarmUp) {
    engine.set_state(vo::STATE_TEXTURING, false);
    vo::Drawer& drawer = vo::SharedDrawer();
    vo::SmartPtr<vo::Texture> texture = red_over_blue();
    vo::Image image(texture, vo::Frame(0, 0, 8, 8), vo::Frame(0, 0, 1, 1), vo::Color(1, 1, 1, 1));
    auto draw_all = [&] {
        for (int i = 0; i < 1000; ++i) {
            const float x = static_cast<float>(i % 150);
            drawer.set_color(0.5f, 0.5f, 0.5f, 1.0f);
            drawer.draw_rect(x, 10.0f, x + 5.0f, 15.0f, (i & 1) != 0, 0.5f);
        }
        for (int i = 0; i < 10; ++i) image.draw();
        drawer.draw_line(0, 0, 10, 10, 0);
    };
    draw_all();  // warm-up: the driver builds what it needs once
    vo_test::AllocationScope scope;
    draw_all();
    EXPECT_EQ(scope.count(), 0u);
}

}  // namespace

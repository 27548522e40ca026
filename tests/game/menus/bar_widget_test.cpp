// The life bar: the fill of a value, the ghost behind it, and what a bar
// draws in a real window.

#include "game/menus/bar_widget.h"

#include "engine/core/frame_transform.h"
#include "engine/visuals/image.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using vo::BarWidget;
using vo::Frame;
using vo_test::Rgba;

TEST(BarFill, WholeNumbersBetweenTheLimitsWithAFifteenPercentFloor) {
    BarWidget bar(nullptr, vo::WS_VISIBLE);
    bar.min_value = 0.0f;
    bar.max_value = 100.0f;
    const struct {
        float value, fill;
    } table[] = {{0.9f, 0.0f},   {1.0f, 0.1585f}, {1.7f, 0.1585f}, {50.0f, 0.575f}, {100.0f, 1.0f},
                 {100.5f, 1.0f}, {101.0f, 1.0f},  {150.0f, 1.0f},  {0.0f, 0.0f},   {-20.0f, 0.0f}};
    for (const auto& row : table) EXPECT_FLOAT_EQ(bar.fill(row.value), row.fill) << row.value;

    bar.min_value = 10.0f;
    EXPECT_FLOAT_EQ(bar.fill(10.9f), 0.0f);
    EXPECT_FLOAT_EQ(bar.fill(55.0f), 0.575f);
    bar.max_value = 10.0f;  // an empty range shows nothing
    EXPECT_EQ(bar.fill(50.0f), 0.0f);
}

TEST(BarFill, AFreshBarIsOneFullSegmentAndTheGhostCopiesTheFills) {
    BarWidget bar(nullptr, vo::WS_VISIBLE);
    ASSERT_EQ(bar.values.size(), 1u);
    EXPECT_EQ(bar.fill(bar.values[0]), 1.0f);
    EXPECT_FLOAT_EQ(bar.inner_frame().width(), 90.0f);
    EXPECT_FLOAT_EQ(bar.inner_frame().height(), 30.0f);
    EXPECT_TRUE(bar.ghost_values.empty());

    bar.max_value = 100.0f;
    bar.values = {100.0f, 1.0f, 0.5f};
    bar.reset_ghost();
    ASSERT_EQ(bar.ghost_values.size(), 3u);
    EXPECT_FLOAT_EQ(bar.ghost_values[0], 1.0f);
    EXPECT_FLOAT_EQ(bar.ghost_values[1], 0.1585f);
    EXPECT_FLOAT_EQ(bar.ghost_values[2], 0.0f);
}

TEST(BarFill, StylePropertiesReachTheirFields) {
    BarWidget bar(nullptr, vo::WS_VISIBLE);
    bar.set_property("spacer", 4.0f);
    bar.set_property("boundaryOffset", vo::vector2(2, 3));
    bar.set_property("other", 9.0f);
    EXPECT_EQ(bar.spacer, 4.0f);
    EXPECT_EQ(bar.boundaryOffset.y, 3.0f);
    vo::Image image;
    image.color = vo::Color(1, 0, 0, 1);
    bar.set_property("bar", image);
    EXPECT_EQ(bar.bar_image.color.r, 1.0f);
}

// A bar 300 x 40 pixels at (10, 10) over black.
class BarDrawing : public ::testing::Test {
protected:
    BarDrawing() : bar_(nullptr, vo::WS_VISIBLE | vo::WS_ENABLED) {
        bar_.set_frame(Frame(10, 10, 310, 50));
        bar_.min_value = 0.0f;
        bar_.max_value = 100.0f;
        bar_.spacer = 0.0f;
    }

    void Draw() {
        window_.use_pixel_coordinates();
        vo::Engine& engine = window_.engine();
        engine.set_state(vo::STATE_TEXTURING, true);
        engine.set_state(vo::STATE_BLENDING, true);
        engine.set_blend_mode(0);
        engine.set_clear_color(vo::Color(0, 0, 0, 1));
        engine.clear();
        bar_.draw();
    }
    // The pixel at the fraction f of segment i of n, half way down.
    Rgba At(int i, int n, float f) {
        const float seg = 300.0f / static_cast<float>(n);
        return window_.pixel(static_cast<int>(10 + seg * (static_cast<float>(i) + f)), 30);
    }

    vo_test::TestWindow window_{320, 64};
    BarWidget bar_;
};

const Rgba kGreen{0, 255, 0};
const Rgba kBlack{0, 0, 0};
// The background (0.1, 0.1, 0.1, 0.8) over black.
const Rgba kBackground{20, 20, 20};
// The ghost (0, 1, 0, 0.35) over the background.
const Rgba kGhost{13, 102, 13};

TEST_F(BarDrawing, SegmentsShowFillGhostAndBackgroundInThatOrder) {
    bar_.values = {100.0f, 50.0f, 0.9f, 150.0f};
    bar_.ghost_values = {1.0f, 0.9f, 0.5f, 0.2f};
    Draw();
    // Full: only the fill.
    EXPECT_PRED3(vo_test::ColorNear, At(0, 4, 0.5f), kGreen, 3);
    // Half: fill to 57.5 %, the ghost on to 90 %, then the background.
    EXPECT_PRED3(vo_test::ColorNear, At(1, 4, 0.3f), kGreen, 3);
    EXPECT_PRED3(vo_test::ColorNear, At(1, 4, 0.75f), kGhost, 3);
    EXPECT_PRED3(vo_test::ColorNear, At(1, 4, 0.95f), kBackground, 3);
    // Below one: empty, with the ghost of the turn's start.
    EXPECT_PRED3(vo_test::ColorNear, At(2, 4, 0.3f), kGhost, 3);
    EXPECT_PRED3(vo_test::ColorNear, At(2, 4, 0.7f), kBackground, 3);
    // Above the maximum: full, the ghost hidden.
    EXPECT_PRED3(vo_test::ColorNear, At(3, 4, 0.1f), kGreen, 3);
    // Each part has a black outline: the fill's right edge in segment 1.
    int dark = 0;
    for (int x = 10 + 75 + 40; x < 10 + 75 + 48; ++x) dark += vo_test::ColorNear(window_.pixel(x, 30), kBlack, 3);
    EXPECT_GE(dark, 1);
}

TEST_F(BarDrawing, AGhostEqualToTheFillAndAnEmptyValueListDrawNoGhost) {
    bar_.values = {50.0f};
    bar_.ghost_values = {0.575f};
    Draw();
    EXPECT_PRED3(vo_test::ColorNear, At(0, 1, 0.3f), kGreen, 3);
    EXPECT_PRED3(vo_test::ColorNear, At(0, 1, 0.8f), kBackground, 3);

    bar_.values.clear();
    bar_.ghost_values.clear();
    Draw();
    ASSERT_EQ(bar_.values.size(), 1u);
    EXPECT_EQ(bar_.values[0], 0.0f);
    EXPECT_PRED3(vo_test::ColorNear, At(0, 1, 0.5f), kBackground, 3);
}

TEST_F(BarDrawing, SpacerAndBoundaryOffsetScaleWithTheWidget) {
    bar_.values = {100.0f, 100.0f};
    bar_.spacer = 10.0f;
    bar_.boundaryOffset = vo::vector2(5, 5);
    bar_.transform(vo::FrameTransform(vo::vector2(0.5f, 0.5f), vo::vector2(0, 0), false));
    Draw();
    // At half scale the bar covers (5, 5) - (155, 25); the offset takes
    // 5 pixels off each side, the gap 5 pixels between 67.5-wide segments.
    EXPECT_PRED3(vo_test::ColorNear, window_.pixel(7, 15), kBlack, 3);
    EXPECT_PRED3(vo_test::ColorNear, window_.pixel(40, 15), kGreen, 3);
    EXPECT_PRED3(vo_test::ColorNear, window_.pixel(80, 15), kBlack, 3);
    EXPECT_PRED3(vo_test::ColorNear, window_.pixel(120, 15), kGreen, 3);
    EXPECT_PRED3(vo_test::ColorNear, window_.pixel(40, 8), kBlack, 3);
}

// A bar image is cut to the fill, not squeezed into it.
TEST_F(BarDrawing, TheBarImageIsCutToTheFill) {
    vo_test::TempFolder folder;
    const std::string file = folder.file("halves.png");
    ASSERT_TRUE(vo_test::WritePng(file, 64, 8, [](unsigned x, unsigned) {
        return x < 32 ? Rgba{255, 0, 0} : Rgba{0, 0, 255};
    }));
    vo::SmartPtr<vo::Texture> texture = window_.engine().create_texture();
    ASSERT_TRUE(texture->load(file.c_str()));
    bar_.set_property("bar", vo::Image(texture));
    bar_.fill_color = vo::Color(1, 1, 1, 1);
    bar_.values = {50.0f};  // 57.5 %
    Draw();
    // 80 % into the fill is 46 % into the texture: still its red half.
    EXPECT_PRED3(vo_test::ColorNear, At(0, 1, 0.8f * 0.575f), (Rgba{255, 0, 0}), 3);
    EXPECT_PRED3(vo_test::ColorNear, At(0, 1, 0.55f), (Rgba{0, 0, 255}), 3);
    EXPECT_EQ(bar_.bar_image.src_frame.right(), 1.0f);  // put back after the draw
}

}  // namespace

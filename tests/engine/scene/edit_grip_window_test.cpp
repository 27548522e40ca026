#include "engine/scene/edit_grip.h"
#include "engine/scene/transform_behavior.h"

#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <vector>

namespace vo {
namespace {

using vo_test::Rgba;

// The grips drawn into a real window, 40 pixels to a unit.
TEST(EditGripWindowTest, GripsDrawSquaresOfAQuarterUnitInTheirColours) {
    vo_test::TestWindow window(320, 240);
    Engine& engine = window.engine();
    engine.clear();
    window.use_pixel_coordinates();
    engine.scale(40.0f, 40.0f, 1.0f);

    behaviors::Transform transform;
    transform.set_position(vector3(2, 1, 0));
    std::vector<SmartPtr<EditGrip>> grips;
    transform.get_edit_grips(grips);
    for (auto& grip : grips) grip->draw();

    const Rgba background = window.pixel(5, 5);
    // position grip: (2, 1) -> pixel (80, 40), a 10-pixel square
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(80, 40), vo_test::ToRgba(Color(1.0f, 0.25f, 0.25f, 0.75f))))
        << window.pixel(80, 40);
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(76, 36), window.pixel(80, 40)));
    EXPECT_EQ(background, window.pixel(80, 47));
    // rotation grip: 2 units along +y -> (2, 3) -> pixel (80, 120)
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(80, 120), vo_test::ToRgba(Color(1.0f, 0.75f, 0.25f, 0.25f))))
        << window.pixel(80, 120);
    EXPECT_EQ(background, window.pixel(80, 127));
    EXPECT_EQ(background, window.pixel(80, 80));
}

}  // namespace
}  // namespace vo

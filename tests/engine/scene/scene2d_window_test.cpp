#include "engine/core/crc32.h"
#include "engine/scene/camera_controller.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene2d.h"
#include "engine/scene/transform_behavior.h"
#include "engine/scene/visual_behavior.h"
#include "engine/visuals/drawer.h"
#include "engine/visuals/visual.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <SFML/OpenGL.hpp>

#include <cmath>

namespace vo {
namespace {

// A green unit square around the origin; keeps the model-view matrix and the
// GL error state seen while drawing.
class ProbeVisual : public IVisual {
public:
    const char* object_type_name() const override { return "ProbeVisual"; }
    unsigned int object_type_id() const override { return crc32("ProbeVisual"); }
    bool is_animated() const override { return false; }
    void draw() const override {
        Engine::instance().get_modelview_matrix(modelview);
        Drawer& drawer = SharedDrawer();
        drawer.set_color(0.0f, 1.0f, 0.0f, 1.0f);
        drawer.draw_rect(vector3(0.0f, 0.0f, 0.0f), 1.0f, 1.0f, true);
        error = glGetError();
        ++draws;
    }
    mutable float modelview[16] = {};
    mutable GLenum error = GL_NO_ERROR;
    mutable int draws = 0;
};

class FixedController : public ICameraController2D {
public:
    vector3 position() override { return vector3(3.0f, 4.0f, 0.0f); }
    float rotation() override { return 30.0f; }
    float zoom() override { return 2.0f; }
};

// out = a * b for column-major 4x4 matrices (the GL convention).
void MultiplyColumnMajor(const float* a, const float* b, float* out) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += static_cast<double>(a[k * 4 + r]) * b[c * 4 + k];
            out[c * 4 + r] = static_cast<float>(sum);
        }
    }
}

TEST(Scene2dWindowTest, VisualEntityIsDrawnUnderCameraTimesTransform) {
    vo_test::TestWindow window(320, 240);
    Engine& engine = window.engine();
    engine.set_clear_color(Color(0.0f, 0.0f, 0.0f, 1.0f));
    engine.clear();
    window.use_pixel_coordinates();
    while (glGetError() != GL_NO_ERROR) {
    }

    Scene2d scene;
    scene.camera().set_aspect_ratio(320.0f / 240.0f);
    scene.camera().set_default_distance(20.0f);
    scene.camera().set_camera_controller(SmartPtr<ICameraController2D>(new FixedController));

    SmartPtr<ProbeVisual> probe(new ProbeVisual);
    Entity* entity = new Entity();
    behaviors::Transform* transform = entity->add_behavior<behaviors::Transform>("transform");
    entity->add_behavior<behaviors::Visual>()->set_visual(probe);
    transform->set_position(vector3(4.0f, 5.0f, 0.0f));
    transform->set_rotation(vector3(0.0f, 0.0f, 0.5f));
    transform->set_scaling(vector3(2.0f, 2.0f, 1.0f));
    scene.add_entity(entity, true);
    scene.update(1.0f / 60.0f);

    scene.camera().apply_transform();
    float camera[16];
    engine.get_modelview_matrix(camera);
    scene.draw();

    ASSERT_EQ(1, probe->draws);
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), probe->error);
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());

    float expected[16];
    MultiplyColumnMajor(camera, transform->transformation_matrix().data(), expected);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(expected[i], probe->modelview[i], 1e-5f) << i;

    // the matrix after the draw is the camera's again
    float after[16];
    engine.get_modelview_matrix(after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(camera[i], after[i]) << i;

    // the square is green where the entity's position lands in the window
    float wx = 0.0f, wy = 0.0f, wz = 0.0f;
    engine.project(&wx, &wy, &wz, 4.0f, 5.0f, 0.0f);
    const int px = static_cast<int>(std::lround(wx));
    const int py = window.height() - 1 - static_cast<int>(std::lround(wy));
    ASSERT_GT(px, 2);
    ASSERT_LT(px, window.width() - 2);
    ASSERT_GT(py, 2);
    ASSERT_LT(py, window.height() - 2);
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(px, py), vo_test::Rgba{0, 255, 0, 255})) << window.pixel(px, py);
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(2, 2), vo_test::Rgba{0, 0, 0, 255})) << window.pixel(2, 2);
}

}  // namespace
}  // namespace vo

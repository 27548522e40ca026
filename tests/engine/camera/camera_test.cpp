// The camera's calls into the engine, recorded.

#include "engine/scene/camera_2d_perspective.h"
#include "support/engine/recording_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

struct Controller : vo::ICameraController2D {
    vo::vector3 position() override {
        ++position_queries;
        return where;
    }
    float rotation() override { return turn; }
    float zoom() override { return zoom_factor; }
    void update(double dt) override { updates.push_back(dt); }

    vo::vector3 where{3, 4, 0};
    float turn = 0.0f;
    float zoom_factor = 2.0f;
    int position_queries = 0;
    std::vector<double> updates;
};

class Camera : public ::testing::Test {
protected:
    vo_test::RecordingEngine engine;
    vo_test::EngineOverride use{engine};
    vo::Camera2DPerspective camera;
};

TEST_F(Camera, DefaultsApplyThePerspectiveAndIdentityOnly) {
    EXPECT_FLOAT_EQ(camera.aspect_ratio(), 1.0f);
    EXPECT_FLOAT_EQ(camera.field_of_view(), 90.0f);
    EXPECT_FLOAT_EQ(camera.near_clipping_plane(), 0.1f);
    EXPECT_FLOAT_EQ(camera.far_clipping_plane(), 1000.0f);
    EXPECT_FLOAT_EQ(camera.default_distance(), 1.0f);
    EXPECT_FALSE(camera.camera_controller());
    camera.update(0.5);  // no controller: nothing
    camera.apply_transform();
    EXPECT_EQ(engine.calls(), (Calls{"set_perspective(90, 1, 0.1, 1000)", "load_identity()"}));
}

TEST_F(Camera, ControllerTurnsAndMovesTheView) {
    vo::SmartPtr<Controller> controller(new Controller);
    camera.set_camera_controller(controller);
    camera.set_default_distance(10.0f);
    camera.apply_transform();
    EXPECT_EQ(engine.calls(), (Calls{"set_perspective(90, 1, 0.1, 1000)", "load_identity()", "rotate(0, 0, 0, 1)",
                                     "translate(-3, -4, -5)"}));
    camera.update(0.25);
    EXPECT_EQ(controller->updates, std::vector<double>{0.25});
    EXPECT_EQ(camera.camera_controller().get(), controller.get());
}

TEST_F(Camera, NoZoomAboveZeroLeavesOutTheMove) {
    vo::SmartPtr<Controller> controller(new Controller);
    controller->turn = 30.0f;
    camera.set_camera_controller(controller);
    for (float zoom : {0.0f, -1.0f}) {
        controller->zoom_factor = zoom;
        engine.clear_calls();
        camera.apply_transform();
        EXPECT_EQ(engine.calls(), (Calls{"set_perspective(90, 1, 0.1, 1000)", "load_identity()", "rotate(30, 0, 0, 1)"}));
    }
    EXPECT_EQ(controller->position_queries, 0);
}

TEST_F(Camera, SettingsAndCopies) {
    camera.set_far_clipping_plane(500.0f);
    EXPECT_FLOAT_EQ(camera.far_clipping_plane(), 500.0f);
    EXPECT_FLOAT_EQ(camera.near_clipping_plane(), 0.1f);
    camera.set_aspect_ratio(1.5f);
    camera.set_field_of_view(60.0f);
    camera.set_near_clipping_plane(1.0f);
    vo::SmartPtr<Controller> controller(new Controller);
    camera.set_camera_controller(controller);
    const vo::Camera2DPerspective copy = camera;
    EXPECT_EQ(controller.use_count(), 3);  // the copy shares the controller
    engine.clear_calls();
    vo::Camera2DPerspective(copy).apply_transform();
    EXPECT_EQ(engine.calls().front(), "set_perspective(60, 1.5, 1, 500)");
    camera.set_camera_controller(vo::SmartPtr<vo::ICameraController2D>());
    EXPECT_EQ(controller.use_count(), 2);
}

}  // namespace

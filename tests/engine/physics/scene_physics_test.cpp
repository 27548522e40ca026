#include <gtest/gtest.h>

#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/scene2d.h"
#include "support/engine/physics_level_scenes.h"
#include "support/engine/physics_scenes.h"

namespace {

TEST(ScenePhysics, AScene2dOwnsAndStepsItsPhysicsHandler) {
    vo::Scene2d scene;
    vo::PhysicsHandler* physics = scene.physics_handler();
    ASSERT_NE(physics, nullptr);
    EXPECT_EQ(physics->get_gravity().y, -10.0f);

    vo_test::LevelBuilder level;
    level.add_floor(0.0f, -10.0f, 10.0f);
    physics->set_collision_tree(level.build_tree());
    vo::SoftBody body;
    vo_test::BuildCircleBody(body, vo_test::SlobDesc(), vo::vector3(0, 3, 0));
    physics->add(&body, nullptr);
    for (int i = 0; i < 120; ++i) scene.update(1.0f / 60.0f);
    EXPECT_TRUE(body.touched_ground(0.5));
    EXPECT_GT(body.calculate_center().y, 0.5f);
    EXPECT_LT(body.calculate_center().y, 1.2f);

    // Clearing the scene empties the handler: the body is no longer stepped.
    scene.clear(true);
    const float y = body.calculate_center().y;
    scene.update(1.0f / 60.0f);
    EXPECT_EQ(body.calculate_center().y, y);
}

}  // namespace

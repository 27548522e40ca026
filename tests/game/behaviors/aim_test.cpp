#include "game/behaviors/aim.h"

#include "engine/core/error.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene2d.h"
#include "engine/scene/transform_behavior.h"
#include "engine/scene/visual_node.h"
#include "engine/visuals/sprite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

using namespace vo;

class GraphScene : public Scene2d {
public:
    using Scene2d::root;
};

TEST(Aim, AngleZeroPointsUpAndPositiveAnglesTurnClockwise) {
    struct Row {
        float angle;
        float x, y;
    };
    const Row rows[] = {{0, 0, 3}, {90, 3, 0}, {-90, -3, 0}, {180, 0, -3}, {45, 2.1213203f, 2.1213203f}};
    for (const Row& r : rows) {
        behaviors::Aim aim;
        aim.set_power(3.0f);
        aim.set_angle(r.angle);
        EXPECT_NEAR(aim.aim_vector().x, r.x, 1e-5f) << r.angle;
        EXPECT_NEAR(aim.aim_vector().y, r.y, 1e-5f) << r.angle;
        EXPECT_EQ(aim.aim_vector().z, 0.0f);
        EXPECT_NEAR(aim.direction().x, r.x / 3.0f, 1e-6f) << r.angle;
        EXPECT_NEAR(aim.direction().y, r.y / 3.0f, 1e-6f) << r.angle;
        EXPECT_EQ(aim.angle(), r.angle);  // the power kept the angle
        aim.set_power(1.0f);
        EXPECT_EQ(aim.angle(), r.angle);
        aim.set_angle(r.angle);
        EXPECT_EQ(aim.power(), 1.0f);  // and the angle the power
    }
    behaviors::Aim fresh;
    EXPECT_EQ(fresh.aim_vector().x, 0.0f);
    EXPECT_EQ(fresh.aim_vector().y, 2.0f);
    fresh.set_power(0.0f);
    const vector3 none = fresh.direction();
    EXPECT_EQ(none.x, 0.0f);
    EXPECT_EQ(none.y, 0.0f);
    EXPECT_FALSE(std::isnan(none.x));
}

TEST(Aim, NeedsATransform) {
    Entity entity;
    entity.add_behavior<behaviors::Aim>("aim");
    try {
        entity.initialize();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.message()),
                  "A transform-behavior has to be attached to an entity with ans aim-behavior.");
    }
}

TEST(Aim, TheSpriteSitsAtTheTipInTheSceneUntilTheEntityGoes) {
    GraphScene scene;
    Entity* slob = new Entity();
    slob->add_behavior<behaviors::Transform>()->set_position(vector3(5, 6, 0));
    behaviors::Aim* aim = slob->add_behavior<behaviors::Aim>("aim");
    aim->sprite().set_visible(false);  // hidden sprites follow too
    aim->set_power(3.0f);
    aim->set_angle(90.0f);
    const int before = scene.root()->num_children();
    scene.add_entity(slob, true);
    ASSERT_EQ(scene.root()->num_children(), before + 1);
    EXPECT_EQ(scene.root()->get_child(before), aim->node());
    EXPECT_EQ(aim->node()->get_visual().get(), &aim->sprite());

    scene.update(1.0f / 60.0f);
    const Sprite::Transform& at = aim->sprite().transform();
    EXPECT_NEAR(at.position.x, 8.0f, 1e-5f);
    EXPECT_NEAR(at.position.y, 6.0f, 1e-5f);
    EXPECT_EQ(at.rotation, 90.0f);

    slob->kill_entity();
    scene.update(1.0f / 60.0f);
    EXPECT_EQ(scene.root()->num_children(), before);
}

TEST(Aim, ACloneCopiesAngleAndPowerAndTheSpritesLook) {
    behaviors::Aim aim;
    aim.set_angle(45.0f);
    aim.set_power(3.0f);
    aim.sprite().set_visible(false);
    aim.sprite().set_scaling(vector2(2, 2));
    const std::unique_ptr<behaviors::Aim> copy(static_cast<behaviors::Aim*>(aim.clone()));
    EXPECT_NEAR(copy->aim_vector().x, 2.1213f, 1e-4f);
    EXPECT_NEAR(copy->aim_vector().y, 2.1213f, 1e-4f);
    EXPECT_FALSE(copy->sprite().is_visible());
    EXPECT_EQ(copy->sprite().transform().scaling.x, 2.0f);
    EXPECT_NE(&copy->sprite(), &aim.sprite());  // its own sprite in its own node
    EXPECT_NE(copy->node(), aim.node());
}

}  // namespace

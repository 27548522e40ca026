#include "engine/scene/scene2d.h"

#include "engine/physics/collision_events.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "support/engine/physics_level_scenes.h"
#include "support/engine/physics_scenes.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vo {
namespace {

// Registers a slob's soft body with its entity's scene while the entity is
// in it.
class SoftBodyOwner : public IBehavior {
public:
    IBehavior* clone() const override { return new SoftBodyOwner(); }
    void initialize(Entity* entity) override {
        vo_test::BuildCircleBody(body, vo_test::SlobDesc(), start);
        entity->get_scene()->physics_handler()->add(&body, entity);
    }
    void finalize(Entity* entity) override {
        if (entity->get_scene()) entity->get_scene()->physics_handler()->remove(&body);
    }

    vector3 start;
    SoftBody body;
};

Entity* AddSlob(Scene2d& scene, const vector3& center) {
    Entity* entity = new Entity();
    entity->add_behavior<SoftBodyOwner>()->start = center;
    entity->add_behavior<vo_test::CollisionRecorder>();
    scene.add_entity(entity, true);
    return entity;
}

std::vector<vector3> Positions(const SoftBody& body) {
    std::vector<vector3> out;
    for (int i = 0; i < body.num_points(); ++i) out.push_back(body.point_get_coords(i));
    return out;
}

// The drop scene of the physics tests, run by the scene's update: the same
// positions bit for bit as the handler stepped alone, and the floor's
// collision events reach the entity's behaviors.
TEST(Scene2dPhysicsTest, DropSceneRunsThroughTheSceneUpdate) {
    const float dt = 1.0f / 60.0f;
    const int steps = 150;

    vo_test::PhysicsScene reference;
    vo_test::BuildDropScene(reference);
    for (int i = 0; i < steps; ++i) reference.handler.update(static_cast<double>(dt));

    Scene2d scene;
    vo_test::LevelBuilder level;
    level.add_floor(0.0f, -20.0f, 20.0f);
    scene.physics_handler()->set_collision_tree(level.build_tree());
    Entity* slob = AddSlob(scene, vector3(0.0f, 6.0f, 0.0f));
    for (int i = 0; i < steps; ++i) scene.update(dt);

    const std::vector<vector3> expected = vo_test::AllPositions(reference);
    const std::vector<vector3> actual = Positions(slob->get_behavior<SoftBodyOwner>()->body);
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].x, actual[i].x) << i;
        EXPECT_EQ(expected[i].y, actual[i].y) << i;
    }
    const auto* events = slob->get_behavior<vo_test::CollisionRecorder>();
    EXPECT_EQ(reference.slobs[0]->events->world_hits.size(), events->world_hits.size());
    ASSERT_FALSE(events->world_hits.empty());
    EXPECT_GT(events->world_hits.back().normal.y, 0.9f);  // the floor pushes up

    // the slob rests on the floor
    EXPECT_GT(actual[0].y, 0.0f);
    EXPECT_LT(actual[0].y, 3.0f);
}

TEST(Scene2dPhysicsTest, TwoSlobsMeetAndKilledBodiesLeaveThePhysics) {
    Scene2d scene;
    vo_test::LevelBuilder level;
    level.add_floor(0.0f, -20.0f, 20.0f);
    scene.physics_handler()->set_collision_tree(level.build_tree());
    Entity* lower = AddSlob(scene, vector3(0.0f, 1.5f, 0.0f));
    Entity* upper = AddSlob(scene, vector3(0.2f, 5.0f, 0.0f));
    for (int i = 0; i < 120; ++i) scene.update(1.0f / 60.0f);

    const auto* lower_events = lower->get_behavior<vo_test::CollisionRecorder>();
    const auto* upper_events = upper->get_behavior<vo_test::CollisionRecorder>();
    ASSERT_FALSE(upper_events->contacts.empty());
    EXPECT_EQ(upper, upper_events->contacts[0].self);
    EXPECT_EQ(lower, upper_events->contacts[0].other);
    ASSERT_FALSE(lower_events->contacts.empty());
    EXPECT_EQ(lower, lower_events->contacts[0].self);

    // the killed slob's body is unregistered when the scene deletes it; the
    // other keeps falling onto the floor alone
    lower->kill_entity();
    scene.update(1.0f / 60.0f);
    ASSERT_EQ(1u, scene.num_entities());
    const std::size_t contacts = upper_events->contacts.size();
    for (int i = 0; i < 120; ++i) scene.update(1.0f / 60.0f);
    EXPECT_EQ(contacts, upper_events->contacts.size());
    EXPECT_LT(upper->get_behavior<SoftBodyOwner>()->body.point_get_coords(0).y, 3.0f);
}

}  // namespace
}  // namespace vo

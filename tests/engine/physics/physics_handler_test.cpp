#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/core/error.h"
#include "engine/physics/particle_handler.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "physics_test_access.h"
#include "support/engine/allocation_counter.h"
#include "support/engine/physics_level_scenes.h"
#include "support/engine/physics_scenes.h"

namespace {

using vo::PhysicsHandler;
using vo::SoftBody;
using vo::vector3;
using vo_test::PhysicsScene;

std::string Message(PhysicsHandler& h, SoftBody* a, SoftBody* b) {
    try {
        h.ignore_collisions(a, b, vo::COLLISION_IGNORE_ALWAYS);
    } catch (const vo::Error& e) {
        return e.message();
    }
    return "(no error)";
}

TEST(PhysicsHandler, WithoutATreeBodiesFallFreely) {
    PhysicsScene scene;
    EXPECT_EQ(scene.handler.get_gravity().y, -10.0f);
    EXPECT_EQ(scene.handler.get_gravity().x, 0.0f);
    vo_test::Slob& s = scene.add_slob(vector3(0, 0, 0), vo_test::DefaultCircleDesc());
    s.body->set_touches_something(true, true, vector3(0, 1, 0));
    scene.step(30);
    // The body's damping shortens each stage's motion, not its velocity.
    EXPECT_NEAR(s.body->get_velocity().y, -5.0f, 0.01f);
    EXPECT_LT(s.body->calculate_center().y, -0.9f);
    EXPECT_FALSE(s.body->touches_ground());
    EXPECT_FALSE(s.body->touches_body());
    EXPECT_TRUE(s.events->world_hits.empty());

    scene.handler.set_gravity(vector3(0, 0, 0));
    const float vy = s.body->get_velocity().y;
    scene.step(1);
    EXPECT_NEAR(s.body->get_velocity().y, vy, 1e-4f);
}

TEST(PhysicsHandler, StepsOfNoLengthDoNothing) {
    PhysicsScene scene;
    vo_test::BuildLavaBowl(scene, 50);
    scene.add_slob(vector3(0, 0, 0), vo_test::DefaultCircleDesc());
    scene.step(5);
    const std::vector<vector3> before = vo_test::AllPositions(scene);
    const double time = scene.lava->time();
    for (double dt : {0.0, -1.0 / 60.0, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity()}) {
        scene.handler.update(dt);
    }
    const std::vector<vector3> after = vo_test::AllPositions(scene);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].x, after[i].x);
        EXPECT_EQ(before[i].y, after[i].y);
    }
    EXPECT_EQ(scene.lava->time(), time);
}

TEST(PhysicsHandler, IgnoreListRules) {
    PhysicsScene scene;
    SoftBody* a = scene.add_slob(vector3(0, 0, 0), vo_test::DefaultCircleDesc()).body.get();
    SoftBody* b = scene.add_slob(vector3(5, 0, 0), vo_test::DefaultCircleDesc()).body.get();
    SoftBody* c = scene.add_slob(vector3(10, 0, 0), vo_test::DefaultCircleDesc()).body.get();
    PhysicsHandler& h = scene.handler;

    h.ignore_collisions(a, b, vo::COLLISION_IGNORE_UNTIL_APART);
    h.ignore_collisions(a, b, vo::COLLISION_IGNORE_UNTIL_APART);
    h.ignore_collisions(b, a, vo::COLLISION_IGNORE_ALWAYS);  // keeps the first condition
    h.ignore_collisions(a, c, vo::COLLISION_IGNORE_NONE);    // records nothing
    ASSERT_EQ(h.ignore_list(a)->size(), 1u);
    ASSERT_EQ(h.ignore_list(b)->size(), 1u);
    EXPECT_EQ((*h.ignore_list(a))[0].other, b);
    EXPECT_EQ((*h.ignore_list(a))[0].condition, vo::COLLISION_IGNORE_UNTIL_APART);
    EXPECT_EQ((*h.ignore_list(b))[0].other, a);
    EXPECT_EQ((*h.ignore_list(b))[0].condition, vo::COLLISION_IGNORE_UNTIL_APART);

    SoftBody stranger;
    EXPECT_EQ(Message(h, a, &stranger), "Invalid objects used in call to PhysicsHandler::ignore_collisions.");
    EXPECT_EQ(Message(h, &stranger, c), "Invalid objects used in call to PhysicsHandler::ignore_collisions.");
    EXPECT_EQ(h.ignore_list(a)->size(), 1u);
    EXPECT_TRUE(h.ignore_list(c)->empty());
    EXPECT_EQ(h.ignore_list(&stranger), nullptr);

    // A removed body leaves no pair behind, so that a body made later at
    // its address starts clean.
    h.ignore_collisions(c, b, vo::COLLISION_IGNORE_ALWAYS);
    h.remove(b);
    EXPECT_TRUE(h.ignore_list(a)->empty());
    EXPECT_TRUE(h.ignore_list(c)->empty());
    EXPECT_EQ(h.ignore_list(b), nullptr);
    h.remove(b);  // not registered: nothing
    h.add(b, nullptr);
    EXPECT_TRUE(h.ignore_list(b)->empty());
}

TEST(PhysicsHandler, RemovedAndClearedObjectsAreNoLongerStepped) {
    PhysicsScene scene;
    vo_test::BuildDropScene(scene);
    SoftBody& body = *scene.slobs[0]->body;
    scene.add_lava(vo_test::LavaDesc());
    scene.add_lava_block(vector3(0, 10, 0), 2, 1, 0.5f);
    scene.handler.remove(&body);
    scene.handler.remove(scene.lava.get());
    scene.step(10);
    EXPECT_EQ(body.calculate_center().y, 6.0f);
    EXPECT_EQ(scene.lava->position(0).y, 10.0f);

    // clear() forgets the level too: a body added afterwards falls through.
    scene.handler.clear();
    scene.handler.add(&body, scene.slobs[0]->entity.get());
    scene.step(120);
    EXPECT_LT(body.calculate_center().y, -5.0f);
}

TEST(PhysicsHandler, ParticleHandlersCollideWhetherOrNotTheyInteract) {
    PhysicsScene scene;
    scene.level.add_floor(0.0f, -10.0f, 10.0f);
    scene.install_level();
    vo::ParticleHandler::ParticleDesc d = vo_test::LavaDesc();
    d.particlesInteract = false;
    scene.add_lava(d);
    scene.add_lava_block(vector3(-1, 2, 0), 5, 1, 0.5f);  // overlapping: would repel if interacting
    scene.step(120);
    for (unsigned int i = 0; i < scene.lava->num_particles(); ++i) {
        EXPECT_GE(scene.lava->position(i).y, 0.0f);
        EXPECT_LT(scene.lava->position(i).y, 0.01f);
        EXPECT_EQ(scene.lava->position(i).x, -1.0f + 0.5f * static_cast<float>(i));
    }
}

TEST(PhysicsHandler, DampingStopsSoftBodiesOnly) {
    PhysicsScene scene;
    vo_test::Slob& s = scene.add_slob(vector3(0, 0, 0), vo_test::DefaultCircleDesc());
    scene.add_lava(vo_test::LavaDesc());
    scene.add_lava_block(vector3(10, 0, 0), 1, 1, 1.0f);
    scene.step(10);
    scene.handler.damp_softbodies(0.0f);
    for (int i = 0; i < s.body->num_particles(); ++i) {
        EXPECT_EQ(s.body->particle_get_velocity(i).x, 0.0f);
        EXPECT_EQ(s.body->particle_get_velocity(i).y, 0.0f);
    }
    EXPECT_LT(scene.lava->velocity(0).y, -1.0f);
    scene.handler.damp_softbodies(0.5f);  // on bodies at rest: still at rest
    EXPECT_EQ(s.body->particle_get_velocity(0).y, 0.0f);
}

// A slob resting on the floor of the drop scene.
void SettledDrop(PhysicsScene& scene) {
    vo_test::BuildDropScene(scene);
    scene.step(180);
}

TEST(PhysicsHandler, WorldEventsReportTheImpact) {
    PhysicsScene scene;
    vo_test::BuildDropScene(scene);
    vo_test::Slob& s = *scene.slobs[0];
    scene.step(120);
    ASSERT_FALSE(s.events->world_hits.empty());
    // The first one: the speed before the impact (at least sqrt(2 g h) = 10
    // after falling 5 units; the body's damping makes the fall a little
    // slower), and the floor's normal.
    const vo_test::CollisionRecorder::WorldHit& first = s.events->world_hits[0];
    EXPECT_LT(first.velocity.y, -9.8f);
    EXPECT_GT(first.velocity.y, -12.0f);
    EXPECT_NEAR(first.velocity.x, 0.0f, 1e-4f);
    EXPECT_EQ(first.normal.x, 0.0f);
    EXPECT_EQ(first.normal.y, 1.0f);
    EXPECT_EQ(first.normal.z, 0.0f);
}

TEST(PhysicsHandler, MovedByHandTheBodySkipsOneLevelCollision) {
    PhysicsScene scene;
    SettledDrop(scene);
    vo_test::Slob& s = *scene.slobs[0];
    SoftBody& body = *s.body;
    scene.step(1);
    ASSERT_TRUE(body.touches_ground());

    // Moved down through the floor by hand: the next step does not sweep it
    // back from where it was.
    for (int i = 0; i < body.num_points(); ++i) {
        vector3 p = body.point_get_coords(i);
        p.y -= 3.0f;
        body.point_set_coords(i, p);
    }
    scene.handler.ignore_previous_state(&body);
    const std::size_t hits = s.events->world_hits.size();
    scene.step(1);
    EXPECT_EQ(s.events->world_hits.size(), hits);
    EXPECT_FALSE(body.touches_ground());
    EXPECT_LT(body.calculate_center().y, -1.0f);

    // Put back above the floor, the body is treated normally again.
    for (int i = 0; i < body.num_points(); ++i) {
        vector3 p = body.point_get_coords(i);
        p.y += 3.0f;
        body.point_set_coords(i, p);
    }
    scene.handler.ignore_previous_state(&body);
    scene.step(1);
    scene.step(30);
    EXPECT_GT(s.events->world_hits.size(), hits);
    EXPECT_TRUE(body.touched_ground(0.2));
}

TEST(PhysicsHandler, TouchingFloorAndBodyGivesOneStateAndOneWorldEvent) {
    PhysicsScene scene;
    scene.level.add_floor(0.0f, -20.0f, 20.0f);
    scene.install_level();
    const vo::SoftBodyDesc desc = vo_test::SlobDesc();
    vo_test::Slob& left = scene.add_slob(vector3(-0.95f, 1.0f, 0), desc);
    vo_test::Slob& right = scene.add_slob(vector3(0.95f, 1.0f, 0), desc);
    scene.step(60);
    left.events->world_hits.clear();
    left.events->contacts.clear();
    scene.step(1);
    ASSERT_TRUE(left.body->touches_ground());
    ASSERT_TRUE(left.body->touches_body());
    EXPECT_EQ(left.events->world_hits.size(), 1u);
    EXPECT_EQ(left.events->contacts.size(), 1u);
    // Between the floor's normal and the direction away from the other body.
    const vector3 n = left.body->touch_normal();
    EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y), 1.0f, 1e-5f);
    EXPECT_LT(n.x, -0.3f);
    EXPECT_GT(n.y, 0.3f);
    EXPECT_EQ(n.z, 0.0f);
    EXPECT_GT(right.body->touch_normal().x, 0.3f);
}

TEST(PhysicsHandler, RegistrationOrderDecidesWhichBodyMovesFirst) {
    // Two bodies flying into each other: the earlier-registered one is
    // integrated before the contact, the later one after it.
    auto run = [](bool swapped) {
        PhysicsScene scene;
        scene.handler.set_gravity(vector3(0, 0, 0));
        vo::SoftBodyDesc desc = vo_test::DefaultCircleDesc();
        vo_test::Slob* a;
        vo_test::Slob* b;
        if (!swapped) {
            a = &scene.add_slob(vector3(-1.1f, 0, 0), desc);
            b = &scene.add_slob(vector3(1.1f, 0, 0), desc);
        } else {
            b = &scene.add_slob(vector3(1.1f, 0, 0), desc);
            a = &scene.add_slob(vector3(-1.1f, 0, 0), desc);
        }
        a->body->set_velocity(vector3(6, 0, 0), false);
        b->body->set_velocity(vector3(-6, 0, 0), false);
        scene.step(3);
        return a->body->calculate_center().x;
    };
    EXPECT_NE(run(false), run(true));
}

TEST(PhysicsHandler, ASettledSceneStepsWithoutAllocating) {
    PhysicsScene scene;
    vo_test::BuildGameScene(scene, 500, true);
    for (auto& s : scene.slobs) s->entity->get_behavior<vo_test::CollisionRecorder>()->world_hits.reserve(4096);
    for (auto& s : scene.slobs) s->entity->get_behavior<vo_test::CollisionRecorder>()->contacts.reserve(4096);
    vo_test::CollisionRecorder::log().reserve(100000);
    scene.step(60);
    vo_test::AllocationScope scope;
    scene.step(30);
    EXPECT_EQ(scope.count(), 0u);
}

// A lava burst in a cave with a slob in it and a few particles far outside,
// which stretch the grid until most of the burst lies in one cell: stepped
// with the search in that cell's sub-cells and with every cell read whole,
// in the order of the cells' chains, every bit of the result is the same.
TEST(PhysicsHandler, SearchingSubCellsStepsTheSameAsReadingWholeCells) {
    struct Run {
        std::vector<vector3> state;
        unsigned int split_cells = 0;
    };
    auto run = [](bool whole_cells) {
        PhysicsHandlerAccess handler;
        handler.search_whole_cells(whole_cells);
        vo_test::LevelBuilder level;
        level.add_cave_ring(vector3(), 30.0f, 600);
        handler.set_collision_tree(level.build_tree());
        vo::Entity lava_entity;
        vo::ParticleHandler lava;
        lava.set_particle_desc(vo_test::LavaDesc());
        std::vector<vo::ParticleSource::ParticleDesc> burst;
        for (int k = 0; k < 3000; ++k) {
            vo::ParticleSource::ParticleDesc d;
            d.position = vector3(-10.0f + 0.41f * static_cast<float>(k % 50), -28.0f + 0.37f * static_cast<float>(k / 50), 0.0f);
            burst.push_back(d);
        }
        for (const vector3& far : {vector3(0, 900, 0), vector3(-700, -40, 0), vector3(650, 300, 0)}) {
            vo::ParticleSource::ParticleDesc d;
            d.position = far;
            burst.push_back(d);
        }
        lava.create_particles(static_cast<unsigned int>(burst.size()), burst.data());
        handler.add(&lava, &lava_entity);
        vo::Entity slob_entity;
        SoftBody slob;
        vo_test::BuildCircleBody(slob, vo_test::SlobDesc(), vector3(0, -10, 0));
        handler.add(&slob, &slob_entity);

        Run result;
        for (int step = 0; step < 40; ++step) handler.update(1.0 / 60.0);
        result.split_cells = handler.particle_grid().num_split_cells();
        for (unsigned int i = 0; i < lava.num_particles(); ++i) {
            result.state.push_back(lava.position(i));
            result.state.push_back(lava.velocity(i));
        }
        for (int i = 0; i < slob.num_particles(); ++i) result.state.push_back(slob.point_get_coords(i));
        handler.clear();
        return result;
    };
    const Run sub_cells = run(false);
    const Run whole = run(true);
    EXPECT_GT(sub_cells.split_cells, 0u);
    EXPECT_EQ(whole.split_cells, 0u);
    ASSERT_EQ(sub_cells.state.size(), whole.state.size());
    EXPECT_EQ(std::memcmp(sub_cells.state.data(), whole.state.data(), whole.state.size() * sizeof(vector3)), 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include <random>

#include "engine/physics/edge_occupancy.h"
#include "engine/physics/level_edges.h"
#include "engine/physics/particle_handler.h"
#include "engine/physics/soft_body.h"
#include "physics_test_access.h"
#include "engine/scene/collision_nodes.h"
#include "engine/scene/traverser_collect_edges.h"
#include "support/engine/physics_level_scenes.h"

namespace {

using vo::ParticleHandler;
using vo::SoftBody;
using vo::vector3;

// The floor edge from (1, 0) to (-1, 0): its front is y > 0.
vo::SmartPtr<vo::Node> Floor() {
    vo_test::LevelBuilder level;
    level.add_edge(vector3(1, 0, 0), vector3(-1, 0, 0));
    return level.build_tree();
}

// One fluid particle swept from s to e with velocity v.
struct FluidCase {
    const char* name;
    float friction;
    float hardness;
    float dt;
    vector3 s, e, v;
    bool hit;
    vector3 end_position;
    vector3 end_velocity;
    bool sticky;
};

TEST(LevelCollision, FluidParticleAgainstTheFloor) {
    const FluidCase cases[] = {
        {"bounce", 0, 0.5f, 0.1f, {0, 1, 3}, {0, -1, 3}, {0, -10, 0}, true, {0, 0.5001f, 3}, {0, 5, 0}, false},
        {"slower than the sticky velocity", 0, 0.5f, 0.1f, {0, 1, 0}, {0, -1, 0}, {0, -0.5f, 0}, true,
         {0, 0.5001f, 0}, {0, 0, 0}, true},
        // f = 1 / (10 x 0.1 + 1) = 0.5 halves the tangential motion and velocity.
        {"friction", 10, 0.5f, 0.1f, {0.5f, 1, 0}, {-0.5f, -1, 0}, {-4, -10, 0}, true, {-0.25f, 0.5001f, 0},
         {-2, 5, 0}, false},
        {"from behind", 0, 0.5f, 0.1f, {0, -1, 0}, {0, 1, 0}, {0, 10, 0}, false, {0, 1, 0}, {0, 10, 0}, false},
        // Ends exactly on the line: t = 1 clamped to 0.9999.
        {"ending on the line", 0, 0.5f, 0.1f, {0, 1, 0}, {0, 0, 0}, {0, -10, 0}, true, {0, 0.00015f, 0},
         {0, 5, 0}, false},
        {"parallel", 0, 0.5f, 0.1f, {-1, 0.5f, 0}, {1, 0.5f, 0}, {10, 0, 0}, false, {1, 0.5f, 0}, {10, 0, 0}, false},
        // A fluid particle's query box is its own path: an edge that does
        // not reach it is not tested at all.
        {"just past the end", 0, 0.5f, 0.1f, {1.00005f, 1, 0}, {1.00005f, -1, 0}, {0, -10, 0}, false,
         {1.00005f, -1, 0}, {0, -10, 0}, false},
        // A hardness above 1 is taken as 1: no bounce gains speed.
        {"hardness clamped", 0, 3.0f, 0.1f, {0, 1, 0}, {0, -1, 0}, {0, -10, 0}, true, {0, 1.0001f, 0}, {0, 10, 0},
         false},
    };
    for (const FluidCase& c : cases) {
        PhysicsHandlerAccess physics;
        physics.set_collision_tree(Floor());
        ParticleHandler h;
        ParticleHandler::ParticleDesc d;
        d.friction = c.friction;
        d.hardness = c.hardness;
        d.massInv = 1.0;
        h.set_particle_desc(d);
        h.enable_sticky_particles(true);
        vo::ParticleSource::ParticleDesc p;
        p.position = c.e;
        p.velocity = c.v;
        h.create_particles(1, &p);
        vector3 previous = c.s;

        EXPECT_EQ(physics.resolve_geometry_collisions(h, c.dt, &previous), c.hit) << c.name;
        EXPECT_FLOAT_EQ(h.position(0).x, c.end_position.x) << c.name;
        EXPECT_NEAR(h.position(0).y, c.end_position.y, 1e-6f) << c.name;
        EXPECT_EQ(h.position(0).z, c.end_position.z) << c.name;
        EXPECT_FLOAT_EQ(h.velocity(0).x, c.end_velocity.x) << c.name;
        EXPECT_FLOAT_EQ(h.velocity(0).y, c.end_velocity.y) << c.name;
        EXPECT_EQ(h.particle_collection().particle_is_sticky(0), c.sticky) << c.name;
    }
}

TEST(LevelCollision, InactiveParticlesAndMissingTreesAreLeftAlone) {
    ParticleHandler h;
    ParticleHandler::ParticleDesc d;
    d.minLiveTime = d.maxLiveTime = 5.0;
    d.massInv = 1.0;
    h.set_particle_desc(d);
    vo::ParticleSource::ParticleDesc p;
    p.position = vector3(0, -1, 0);
    p.time_offset = 1.0f;  // not started yet
    h.create_particles(1, &p);
    vector3 previous(0, 1, 0);

    PhysicsHandlerAccess with_tree;
    with_tree.set_collision_tree(Floor());
    EXPECT_FALSE(with_tree.resolve_geometry_collisions(h, 0.1f, &previous));
    EXPECT_EQ(h.position(0).y, -1.0f);

    PhysicsHandlerAccess without_tree;
    SoftBody body;
    MakePointBody(body, {vector3(0, -1, 0)});
    EXPECT_FALSE(without_tree.resolve_geometry_collisions(body, &previous, nullptr));
    EXPECT_EQ(body.point_get_coords(0).y, -1.0f);
}

TEST(LevelCollision, SoftBodyBouncesScaledByItsFriction) {
    PhysicsHandlerAccess physics;
    physics.set_collision_tree(Floor());
    SoftBody body;
    MakePointBody(body, {vector3(0, -1, 2)});
    body.set_friction(0.25f);
    body.particle_set_velocity(0, vector3(0, -10, 0));
    vector3 previous(0, 1, 0);
    vector3 normal(9, 9, 9);
    EXPECT_TRUE(physics.resolve_geometry_collisions(body, &previous, &normal));
    EXPECT_EQ(body.point_get_coords(0).x, 0.0f);
    EXPECT_FLOAT_EQ(body.point_get_coords(0).y, 0.2501f);
    EXPECT_EQ(body.point_get_coords(0).z, 2.0f);
    EXPECT_FLOAT_EQ(body.particle_get_velocity(0).y, 2.5f);
    EXPECT_EQ(body.particle_get_velocity(0).x, 0.0f);
    EXPECT_EQ(normal.x, 0.0f);
    EXPECT_EQ(normal.y, 1.0f);
    EXPECT_EQ(normal.z, 0.0f);
}

TEST(LevelCollision, TheEdgeReachesALittleBeyondItsEnds) {
    // Particle 1 rests near the floor's middle so that the body's query box
    // holds the floor; particle 0 falls past the floor's end at (1, 0).
    struct Case {
        float x;
        bool hit;
    };
    for (const Case& c : {Case{1.00005f, true}, Case{1.001f, false}, Case{-1.00005f, true}, Case{0.99f, true}}) {
        PhysicsHandlerAccess physics;
        physics.set_collision_tree(Floor());
        SoftBody body;
        MakePointBody(body, {vector3(c.x, -1, 0), vector3(0, 3, 0)});
        std::vector<vector3> previous = {vector3(c.x, 1, 0), vector3(0, 3, 0)};
        EXPECT_EQ(physics.resolve_geometry_collisions(body, previous.data(), nullptr), c.hit) << c.x;
        EXPECT_EQ(body.point_get_coords(0).y > 0.0f, c.hit) << c.x;
    }
}

TEST(LevelCollision, RigidityPassesTheHitVelocityOn) {
    struct Case {
        float rigidity;
        std::vector<vector3> start;  // previous positions; the particles now lie 2 below
        vector3 expected_free;       // velocity of particle 1 afterwards
    };
    // Particle 0 hits the floor (velocity (0, 2.5) afterwards); particle 1 is
    // far from it with velocity (2, 0).
    const Case cases[] = {
        {0.5f, {vector3(0, 1, 0), vector3(5, 12, 0)}, vector3(1, 1.25f, 0)},
        {2.0f, {vector3(0, 1, 0), vector3(5, 12, 0)}, vector3(0, 2.5f, 0)},  // at most all of it
        {0.0f, {vector3(0, 1, 0), vector3(5, 12, 0)}, vector3(2, 0, 0)},
        // Nothing hits: no coupling.
        {0.5f, {vector3(0, 11, 0), vector3(5, 12, 0)}, vector3(2, 0, 0)},
    };
    for (const Case& c : cases) {
        PhysicsHandlerAccess physics;
        physics.set_collision_tree(Floor());
        SoftBody body;
        MakePointBody(body, {vector3(c.start[0].x, c.start[0].y - 2, 0), vector3(c.start[1].x, c.start[1].y - 2, 0)});
        body.set_friction(0.25f);
        body.set_rigidity(c.rigidity);
        body.particle_set_velocity(0, vector3(0, -10, 0));
        body.particle_set_velocity(1, vector3(2, 0, 0));
        std::vector<vector3> previous = c.start;
        physics.resolve_geometry_collisions(body, previous.data(), nullptr);
        EXPECT_FLOAT_EQ(body.particle_get_velocity(1).x, c.expected_free.x) << c.rigidity;
        EXPECT_FLOAT_EQ(body.particle_get_velocity(1).y, c.expected_free.y) << c.rigidity;
    }

    // Every particle hits (m = n): no coupling either.
    PhysicsHandlerAccess physics;
    physics.set_collision_tree(Floor());
    SoftBody body;
    MakePointBody(body, {vector3(0, -1, 0), vector3(0.5f, -1, 0)});
    body.set_rigidity(0.5f);
    body.particle_set_velocity(0, vector3(0, -10, 0));
    body.particle_set_velocity(1, vector3(0, -2, 0));
    std::vector<vector3> previous = {vector3(0, 1, 0), vector3(0.5f, 1, 0)};
    physics.resolve_geometry_collisions(body, previous.data(), nullptr);
    EXPECT_FLOAT_EQ(body.particle_get_velocity(0).y, 2.5f);
    EXPECT_FLOAT_EQ(body.particle_get_velocity(1).y, 0.5f);
}

TEST(LevelCollision, FrictionAboveOneGainsNoEnergy) {
    PhysicsHandlerAccess physics;
    physics.set_collision_tree(Floor());
    SoftBody body;
    MakePointBody(body, {vector3(0, -1, 0)});
    body.set_friction(4.0f);  // stored as 1
    body.particle_set_velocity(0, vector3(0, -10, 0));
    vector3 previous(0, 1, 0);
    physics.resolve_geometry_collisions(body, &previous, nullptr);
    EXPECT_FLOAT_EQ(body.particle_get_velocity(0).y, 10.0f);
    EXPECT_FLOAT_EQ(body.point_get_coords(0).y, 1.0001f);
}

TEST(LevelCollision, AParticleCaughtInAWedgeGoesBackToItsStart) {
    // Two walls 0.1 apart at the top, meeting at the origin, fronts inside.
    vo_test::LevelBuilder level;
    level.add_edge(vector3(0, 0, 0), vector3(-0.05f, 5, 0));
    level.add_edge(vector3(0.05f, 5, 0), vector3(0, 0, 0));
    PhysicsHandlerAccess physics;
    physics.set_collision_tree(level.build_tree());

    ParticleHandler h;
    ParticleHandler::ParticleDesc d;
    d.hardness = 1.0f;
    d.massInv = 1.0;
    h.set_particle_desc(d);
    h.set_sticky_velocity(0.0f);
    vo::ParticleSource::ParticleDesc p;
    p.position = vector3(1, 3, 7);
    p.velocity = vector3(10, -10, 0);
    h.create_particles(1, &p);
    vector3 previous(0, 4, 1);
    EXPECT_TRUE(physics.resolve_geometry_collisions(h, 0.1f, &previous));
    EXPECT_EQ(h.position(0).x, 0.0f);
    EXPECT_EQ(h.position(0).y, 4.0f);
    EXPECT_EQ(h.position(0).z, 1.0f);
    EXPECT_EQ(h.velocity(0).x, 0.0f);
    EXPECT_EQ(h.velocity(0).y, 0.0f);

    // A soft-body particle the same (a second particle at rest widens the
    // body's query box over both walls); it is not counted for the rigidity.
    SoftBody body;
    MakePointBody(body, {vector3(1, 3, 0), vector3(-1, 5, 0)});
    body.set_friction(1.0f);
    body.set_rigidity(1.0f);
    body.particle_set_velocity(0, vector3(10, -10, 0));
    body.particle_set_velocity(1, vector3(0, 1, 0));
    std::vector<vector3> body_previous = {vector3(0, 4, 0), vector3(-1, 5, 0)};
    vector3 normal;
    EXPECT_TRUE(physics.resolve_geometry_collisions(body, body_previous.data(), &normal));
    EXPECT_EQ(body.point_get_coords(0).x, 0.0f);
    EXPECT_EQ(body.point_get_coords(0).y, 4.0f);
    EXPECT_EQ(body.particle_get_velocity(0).x, 0.0f);
    EXPECT_EQ(body.particle_get_velocity(1).y, 1.0f);
}

TEST(LevelCollision, EdgesOfNoLengthAreNeverHit) {
    vo_test::LevelBuilder level;
    level.add_edge(vector3(0, 0, 0), vector3(0, 0, 0));
    level.add_edge(vector3(5, 5, 0), vector3(6, 5, 0));  // a real edge elsewhere keeps the tree non-empty
    PhysicsHandlerAccess physics;
    physics.set_collision_tree(level.build_tree());
    SoftBody body;
    MakePointBody(body, {vector3(0, -1, 0)});
    vector3 previous(0, 1, 0);
    EXPECT_FALSE(physics.resolve_geometry_collisions(body, &previous, nullptr));
    EXPECT_EQ(body.point_get_coords(0).y, -1.0f);
}

}  // namespace

namespace {

TEST(EdgeOccupancy, NeverCallsABoxEmptyThatAnEdgeReaches) {
    vo_test::PhysicsScene scene;
    vo_test::BuildGameScene(scene, 0, true);
    vo::SmartPtr<vo::Node> tree = scene.level.build_tree();
    // The level hands the physics a plain group over its tree.
    vo::SmartPtr<vo::GroupNode> group = vo::GroupNode::create();
    group->add_child(tree);
    for (const vo::SmartPtr<vo::Node>& root : {tree, vo::SmartPtr<vo::Node>(group)}) {
        vo::Traverser_CollectEdges query;
        vo::EdgeOccupancy map;
        EXPECT_FALSE(map.certainly_empty(0, 0, 1, 1));  // no map yet
        map.build(root, query);

        std::mt19937 rng(7);
        std::uniform_real_distribution<float> coord(-65.0f, 65.0f);
        std::uniform_real_distribution<float> size(0.0f, 3.0f);
        int empty = 0;
        for (int k = 0; k < 20000; ++k) {
            const float x = coord(rng), y = coord(rng);
            const vector3 lo(x, y, 0.0f), hi(x + size(rng), y + size(rng), 0.0f);
            if (!map.certainly_empty(lo.x, lo.y, hi.x, hi.y)) continue;
            ++empty;
            ASSERT_FALSE(query.collect_edges(lo, hi, root)) << x << ", " << y;
        }
        EXPECT_GT(empty, 5000);  // it does answer for most of the open cave
    }

    // Without a box above the edges there is no map.
    vo::SmartPtr<vo::GroupNode> bare = vo::GroupNode::create();
    vo::SmartPtr<vo::CollisionEdgesNode> leaf = vo::CollisionEdgesNode::create();
    leaf->add_edge(0, 1);
    bare->add_child(leaf);
    vo::Traverser_CollectEdges query;
    vo::EdgeOccupancy map;
    map.build(vo::SmartPtr<vo::Node>(bare), query);
    EXPECT_FALSE(map.certainly_empty(0, 0, 0.1f, 0.1f));
}

// The physics keeps a flat copy of the tree's edges; every query must find
// what the traverser finds in the tree, in its order: the sweep takes the
// earlier of two edges hit at the same distance.
TEST(LevelEdges, FindTheEdgesTheTraverserFinds) {
    vo_test::PhysicsScene scene;
    vo_test::BuildGameScene(scene, 0, true);
    // The level's group over its tree, a second root with a zero-length edge
    // and a leaf outside any root (which the traverser skips).
    vo_test::LevelBuilder extra;
    extra.add_edge(vector3(3, 3, 0), vector3(3, 3, 0));
    extra.add_edge(vector3(2, 2, 0), vector3(4, 2.5f, 0));
    vo::SmartPtr<vo::GroupNode> group = vo::GroupNode::create();
    group->add_child(scene.level.build_tree());
    group->add_child(extra.build_tree());
    vo::SmartPtr<vo::CollisionEdgesNode> stray = vo::CollisionEdgesNode::create();
    stray->add_edge(0, 1);
    group->add_child(stray);
    group->add_child(vo::SmartPtr<vo::Node>());

    const vo::SmartPtr<vo::Node> tree(group);
    vo::LevelEdges flat;
    flat.refresh(tree);
    vo::Traverser_CollectEdges query;
    std::vector<vo::PreparedEdge> found;
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> coord(-65.0f, 65.0f);
    std::uniform_real_distribution<float> size(0.0f, 8.0f);
    int hits = 0;
    for (int k = 0; k < 5000; ++k) {
        const float x = coord(rng), y = coord(rng);
        const vector3 lo(x, y, k % 7 == 0 ? 0.5f : 0.0f), hi(x + size(rng), y + size(rng), 0.0f);
        const bool expected = query.collect_edges(lo, hi, tree);
        ASSERT_EQ(flat.collect(lo, hi, found), expected) << x << ", " << y;
        std::vector<std::pair<vector3, vector3>> usable;
        for (unsigned int e = 0; e < query.num_edges(); ++e) {
            const vector3& a = *query.edge_points()[2 * e];
            const vector3& b = *query.edge_points()[2 * e + 1];
            if (a.x != b.x || a.y != b.y) usable.emplace_back(a, b);
        }
        ASSERT_EQ(found.size(), usable.size()) << x << ", " << y;
        for (std::size_t e = 0; e < found.size(); ++e) {
            EXPECT_EQ(found[e].ax, usable[e].first.x);
            EXPECT_EQ(found[e].ay, usable[e].first.y);
            EXPECT_EQ(found[e].ex, usable[e].second.x - usable[e].first.x);
            EXPECT_EQ(found[e].ey, usable[e].second.y - usable[e].first.y);
        }
        hits += expected;
    }
    EXPECT_GT(hits, 500);
    // Only the edge of no length: found, but nothing to sweep against.
    EXPECT_TRUE(flat.collect(vector3(2.9f, 2.9f, 0), vector3(3.1f, 3.1f, 0), found));
    EXPECT_TRUE(found.empty());
}

// The level carves by building a new collision tree and putting it in place
// of the old one as the single child of the group it handed to the physics.
// A fluid particle falls through open space onto where the change puts a new
// floor: a copy of the old tree (or its map) would let it through.
TEST(LevelEdges, ACarveStyleChangeIsSeenByTheNextStep) {
    vo_test::LevelBuilder before;
    before.add_cave_ring(vector3(), 20.0f, 200);
    vo_test::LevelBuilder after = before;
    after.add_floor(0.0f, -10.0f, 10.0f);

    struct Case {
        const char* name;
        // Hands the level before the change to the physics; returns the change.
        std::function<std::function<void()>(PhysicsHandlerAccess&)> install;
    };
    const Case cases[] = {
        {"the group emptied and given the new tree (the level's carve)",
         [&](PhysicsHandlerAccess& physics) -> std::function<void()> {
             vo::SmartPtr<vo::GroupNode> group = vo::GroupNode::create();
             group->add_child(before.build_tree());
             physics.set_collision_tree(group);
             return [&after, group] {
                 group->clear();
                 group->add_child(after.build_tree());
             };
         }},
        {"the group's child replaced",
         [&](PhysicsHandlerAccess& physics) -> std::function<void()> {
             vo::SmartPtr<vo::GroupNode> group = vo::GroupNode::create();
             vo::SmartPtr<vo::Node> old_tree = before.build_tree();
             group->add_child(old_tree);
             physics.set_collision_tree(group);
             return [&after, group, old_tree] {
                 group->remove_child(old_tree);
                 group->add_child(after.build_tree());
             };
         }},
        {"edges added inside the tree",
         [&](PhysicsHandlerAccess& physics) -> std::function<void()> {
             vo::SmartPtr<vo::Node> tree = before.build_tree();
             physics.set_collision_tree(tree);
             return [tree] {
                 auto* root = static_cast<vo::CollisionTreeRootNode*>(tree.get());
                 const int first = root->num_points();
                 const vector3 floor[2] = {vector3(10, 0, 0), vector3(-10, 0, 0)};
                 root->add_points(floor, 2);
                 vo::SmartPtr<vo::CollisionEdgesNode> leaf = vo::CollisionEdgesNode::create();
                 leaf->add_edge(first, first + 1);
                 root->add_child(leaf);
             };
         }},
        {"another tree handed in",
         [&](PhysicsHandlerAccess& physics) -> std::function<void()> {
             physics.set_collision_tree(before.build_tree());
             return [&physics, &after] { physics.set_collision_tree(after.build_tree()); };
         }},
    };
    for (const Case& c : cases) {
        PhysicsHandlerAccess physics;
        const std::function<void()> change = c.install(physics);
        ParticleHandler lava;
        lava.set_particle_desc(vo_test::LavaDesc());
        vo::ParticleSource::ParticleDesc p;
        p.position = vector3(0, 3, 0);
        lava.create_particles(1, &p);
        physics.add(&lava, nullptr);
        for (int i = 0; i < 10; ++i) physics.update(1.0 / 60.0);
        ASSERT_GT(lava.position(0).y, 2.0f) << c.name;
        change();
        for (int i = 0; i < 60; ++i) physics.update(1.0 / 60.0);
        EXPECT_GT(lava.position(0).y, 0.0f) << c.name;
        EXPECT_LT(lava.position(0).y, 0.5f) << c.name;
        physics.clear();
    }
}

// Copying and mapping the level's edges costs as much as a good part of a
// step: an unchanged tree is copied once, whatever else changes in the scene
// graph.
TEST(LevelEdges, AnUnchangedTreeIsCopiedOnce) {
    vo_test::PhysicsScene scene;
    vo_test::BuildLavaBowl(scene, 20);
    PhysicsHandlerAccess physics;
    vo::SmartPtr<vo::GroupNode> group = vo::GroupNode::create();
    group->add_child(scene.level.build_tree());
    physics.set_collision_tree(group);
    physics.add(scene.lava.get(), nullptr);
    vo::SmartPtr<vo::GroupNode> elsewhere = vo::GroupNode::create();
    for (int i = 0; i < 30; ++i) {
        physics.update(1.0 / 60.0);
        elsewhere->add_child(vo::GroupNode::create());
    }
    EXPECT_EQ(physics.level_edges().num_builds(), 1u);
    physics.clear();
}

}  // namespace

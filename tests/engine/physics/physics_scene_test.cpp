// Whole scenes stepped through PhysicsHandler::update at 60 Hz.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/physics/soft_body.h"
#include "support/engine/physics_level_scenes.h"
#include "support/engine/physics_scenes.h"

namespace {

using vo::SoftBody;
using vo::vector3;
using vo_test::PhysicsScene;

float Distance(const vector3& a, const vector3& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The game's rest rule: over the last `window` seconds the centre moved less
// than `radius` away from where it was at the window's start. Records the
// centres of every step.
class RestWatch {
public:
    void record(const SoftBody& body) { centres_.push_back(body.calculate_center()); }
    float movement_in_last(double window) const {
        const std::size_t steps = static_cast<std::size_t>(window * 60.0 + 0.5);
        const vector3& start = centres_[centres_.size() - 1 - steps];
        float worst = 0.0f;
        for (std::size_t i = centres_.size() - steps; i < centres_.size(); ++i) {
            worst = std::max(worst, Distance(centres_[i], start));
        }
        return worst;
    }

private:
    std::vector<vector3> centres_;
};

bool InsideOutline(const SoftBody& b, const vector3& p) {
    const int n = b.num_border_points();
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        const vector3 pi = b.point_get_coords(i);
        const vector3 pj = b.point_get_coords(j);
        if ((pi.y > p.y) != (pj.y > p.y) && p.x < (pj.x - pi.x) * (p.y - pi.y) / (pj.y - pi.y) + pi.x) inside = !inside;
    }
    return inside;
}

float SegmentDistance(const vector3& p, const vector3& a, const vector3& b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    float t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy);
    t = std::max(0.0f, std::min(1.0f, t));
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// How deep a's border points reach into b's outline.
float Penetration(const SoftBody& a, const SoftBody& b) {
    float worst = 0.0f;
    const int n = b.num_border_points();
    for (int i = 0; i < a.num_border_points(); ++i) {
        const vector3 p = a.point_get_coords(i);
        if (!InsideOutline(b, p)) continue;
        float d = 1e9f;
        for (int k = 0; k < n; ++k) d = std::min(d, SegmentDistance(p, b.point_get_coords(k), b.point_get_coords((k + 1) % n)));
        worst = std::max(worst, d);
    }
    return worst;
}

TEST(PhysicsScenes, ADroppedSlobComesToRestOnTheFloor) {
    PhysicsScene scene;
    vo_test::BuildDropScene(scene);
    vo_test::Slob& s = *scene.slobs[0];
    RestWatch watch;
    float lowest = 1e9f;
    for (int k = 0; k < 180; ++k) {
        scene.step();
        watch.record(*s.body);
        for (int i = 0; i < s.body->num_points(); ++i) lowest = std::min(lowest, s.body->point_get_coords(i).y);
    }
    EXPECT_LT(watch.movement_in_last(0.5), 0.1f);
    EXPECT_GE(lowest, -0.01f);  // never below the floor
    EXPECT_TRUE(s.body->touches_ground());
    EXPECT_GT(s.body->calculate_center().y, 0.5f);
    EXPECT_TRUE(vo_test::AllFinite(*s.body));
    for (const auto& hit : s.events->world_hits) {
        EXPECT_EQ(hit.normal.x, 0.0f);
        EXPECT_EQ(hit.normal.y, 1.0f);
    }
}

TEST(PhysicsScenes, TenSlobsSettleInACaveWithoutPassingIntoEachOther) {
    PhysicsScene scene;
    vo_test::BuildCavePile(scene, 10);
    ASSERT_GE(scene.level.num_edges(), 500);
    std::vector<RestWatch> watches(scene.slobs.size());
    float deepest = 0.0f;
    for (int k = 0; k < 600; ++k) {
        scene.step();
        for (std::size_t a = 0; a < scene.slobs.size(); ++a) {
            const SoftBody& body = *scene.slobs[a]->body;
            watches[a].record(body);
            for (int i = 0; i < body.num_points(); ++i) {
                const vector3 p = body.point_get_coords(i);
                ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
                ASSERT_LE(std::hypot(p.x, p.y), vo_test::kCaveRadius) << "left the cave at step " << k;
            }
            for (std::size_t b = 0; b < scene.slobs.size(); ++b) {
                if (a == b) continue;
                const SoftBody& other = *scene.slobs[b]->body;
                ASSERT_FALSE(InsideOutline(other, body.calculate_center())) << "step " << k;
                deepest = std::max(deepest, Penetration(body, other));
            }
        }
    }
    // Soft bodies give a little at each contact, never more than a quarter
    // of their radius.
    EXPECT_LT(deepest, 0.25f);
    for (const RestWatch& w : watches) EXPECT_LT(w.movement_in_last(0.5), 0.1f);
}

TEST(PhysicsScenes, AGrenadeThrownFromInsideItsThrowerLeavesWithoutContact) {
    PhysicsScene scene;
    scene.level.add_floor(0.0f, -30.0f, 30.0f);
    scene.install_level();
    vo_test::Slob& thrower = scene.add_slob(vector3(0, 1, 0), vo_test::SlobDesc());
    vo_test::Slob& target = scene.add_slob(vector3(4, 1, 0), vo_test::SlobDesc());
    scene.step(60);  // both settle

    vo::SoftBodyDesc grenade_desc = vo_test::DefaultCircleDesc();
    grenade_desc.radius = 0.3f;
    grenade_desc.num_boundary_points = 8;
    vo_test::Slob& grenade = scene.add_slob(thrower.body->calculate_center(), grenade_desc, false);
    grenade.body->set_velocity(vector3(12, 3, 0), false);
    scene.handler.ignore_collisions(thrower.body.get(), grenade.body.get(), vo::COLLISION_IGNORE_UNTIL_APART);

    int steps_to_leave = 0;
    while (!scene.handler.ignore_list(grenade.body.get())->empty() && steps_to_leave < 60) {
        scene.step();
        ++steps_to_leave;
    }
    EXPECT_LT(steps_to_leave, 60);
    EXPECT_TRUE(scene.handler.ignore_list(thrower.body.get())->empty());
    EXPECT_TRUE(grenade.events->contacts.empty());
    EXPECT_TRUE(thrower.events->contacts.empty());

    // Later it hits the third body like any other.
    scene.step(30);
    ASSERT_FALSE(grenade.events->contacts.empty());
    EXPECT_EQ(grenade.events->contacts[0].other, target.entity.get());
    EXPECT_TRUE(thrower.events->contacts.empty());
}

TEST(PhysicsScenes, LavaPouredIntoABowlSettlesAndStaysInside) {
    PhysicsScene scene;
    vo_test::BuildLavaBowl(scene, 500);
    std::vector<vector3> com;
    for (int k = 0; k < 840; ++k) {
        scene.step();
        vector3 sum;
        for (unsigned int i = 0; i < scene.lava->num_particles(); ++i) {
            const vector3 p = scene.lava->position(i);
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
            // Inside the ring's polygon (its edges are chords of the circle).
            ASSERT_LE(std::hypot(p.x, p.y), vo_test::kBowlRadius) << "step " << k;
            sum += p;
        }
        if (scene.lava->num_particles() > 0) sum *= 1.0f / static_cast<float>(scene.lava->num_particles());
        com.push_back(sum);
    }
    ASSERT_EQ(scene.lava->num_particles(), 500u);
    EXPECT_EQ(scene.lava->num_active_particles(), 500u);
    // The pool's centre of mass moved less than 0.1 during the last second.
    float moved = 0.0f;
    for (std::size_t i = com.size() - 60; i < com.size(); ++i) moved = std::max(moved, Distance(com[i], com[com.size() - 61]));
    EXPECT_LT(moved, 0.1f);
    EXPECT_LT(com.back().y, -vo_test::kBowlRadius + 8.0f);
}

TEST(PhysicsScenes, ASlobInLavaIsHurt) {
    PhysicsScene scene;
    vo_test::BuildLavaBowl(scene, 500);
    scene.step(660);
    vo_test::Slob& s = scene.add_slob(vector3(0, -8, 0), vo_test::SlobDesc());
    ASSERT_EQ(s.health->value, 1.0f);
    scene.step(120);
    // Each step costs damagePerSecond x dt per particle near it.
    EXPECT_LT(s.health->value, 1.0f - 1.0f * (1.0f / 60.0f) * 120);
    EXPECT_TRUE(vo_test::AllFinite(*s.body));
    for (unsigned int i = 0; i < scene.lava->num_particles(); ++i) {
        const vector3 p = scene.lava->position(i);
        EXPECT_LE(std::hypot(p.x, p.y), vo_test::kBowlRadius);
    }
}

TEST(PhysicsScenes, TheSameSceneRunsTheSameTwice) {
    auto run = [] {
        PhysicsScene scene;
        vo_test::BuildGameScene(scene, 800, false);
        scene.step(90);
        return vo_test::AllPositions(scene);
    };
    const std::vector<vector3> first = run();
    const std::vector<vector3> second = run();
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(vector3)), 0);
}

// The game scene of the benchmarks stepped 200 times: every particle
// position and every slob's health, bit for bit, as the physics has always
// produced them (hashes recorded before the step was made faster). A
// faster step must not change a single bit; a change of the physics itself
// has to record new hashes, on purpose.
TEST(PhysicsScenes, TheGameSceneKeepsItsRecordedResults) {
    struct Case {
        int lava;
        bool pooled;
        std::uint64_t hash;
    };
    const Case cases[] = {
        {0, true, 0x4a785e26d0f21280ull},
        {1000, true, 0xaa57691a18077b3bull},
        {800, false, 0xe5315d3915309331ull},
    };
    for (const Case& c : cases) {
        PhysicsScene scene;
        vo_test::BuildGameScene(scene, c.lava, c.pooled);
        scene.step(200);
        // FNV-1a over the bytes.
        std::uint64_t hash = 1469598103934665603ull;
        auto add = [&hash](float v) {
            unsigned char bytes[sizeof v];
            std::memcpy(bytes, &v, sizeof v);
            for (unsigned char b : bytes) hash = (hash ^ b) * 1099511628211ull;
        };
        for (const vector3& p : vo_test::AllPositions(scene)) {
            add(p.x);
            add(p.y);
            add(p.z);
        }
        for (const auto& slob : scene.slobs) add(slob->health ? slob->health->value : -1.0f);
        EXPECT_EQ(hash, c.hash) << c.lava << (c.pooled ? " pooled" : " spread") << ": 0x" << std::hex << hash;
    }
}

}  // namespace

// The shipped jump, tried on the floors of the shipped levels: from rest on
// open floor with room above, a slob rises at least its own diameter and
// loses no health; in a low tunnel it bumps its head for little.
// JUMP=<speed> plays another jump speed and prints the table only.

#include "game/match/slob_jump.h"

#include "engine/core/config.h"
#include "engine/physics/soft_body_desc.h"
#include "engine/scene/health.h"
#include "game/behaviors/soft_body.h"
#include "engine/scene/transform_behavior.h"
#include "engine/scene/traverser_intersect_edges_2d.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/level_edit_record.h"
#include "support/game/level_scene_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <vector>

namespace {

using vo::vector3;
using vo_test::LevelSceneHarness;

constexpr int kLevels = 3;
const vector3 kUp(0.0f, 1.0f, 0.0f);

struct Spot {
    vector3 ground;
    float headroom;  // from the ground to the rock above
};

// Floors of the level: straight below the centre of each carved hole, with
// the rock straight above them (up to 50 units).
std::vector<Spot> Floors(LevelSceneHarness& world) {
    std::vector<Spot> spots;
    vo::SmartPtr<vo::Node> tree = world.level().collision_node();
    for (vo::LevelEditRecord const& hole : world.level().edit_log()) {
        if (hole.op != vo::LEVEL_EDIT_CARVE) continue;
        vo::Traverser_IntersectEdges2d down;
        if (down.intersect_edges(vector3(hole.x, hole.y, 0.0f), vector3(hole.x, hole.y - 250.0f, 0.0f), tree) == 0)
            continue;
        const vector3 ground = down.intersections_begin()->point;
        vo::Traverser_IntersectEdges2d up;
        const vector3 from(ground.x, ground.y + 0.05f, 0.0f);
        float headroom = 50.0f;
        if (up.intersect_edges(from, vector3(ground.x, ground.y + headroom, 0.0f), tree) != 0)
            headroom = up.intersections_begin()->point.y - ground.y;
        spots.push_back(Spot{ground, headroom});
    }
    return spots;
}

struct JumpOutcome {
    float rise = 0.0f;         // the highest the centre went above where it rested
    float health_lost = 0.0f;  // over the jump and the landing
};

// A slob put down on the spot, left to come to rest, then jumping.
JumpOutcome Jump(LevelSceneHarness& world, Spot const& spot, float speed) {
    vo::SlobEntity* slob = world.add_slob(vector3(spot.ground.x, spot.ground.y + 1.2f, 0.0f));
    world.step(120);
    vector3 rest;
    vo::GetPosition(slob, rest);
    const float health = slob->health_behavior()->value;
    vo::LaunchJump(*slob->soft_body_behavior()->soft_body(), kUp, speed);
    JumpOutcome outcome;
    for (int i = 0; i < 240 && world.holds(slob); ++i) {
        world.step();
        vector3 at;
        vo::GetPosition(slob, at);
        outcome.rise = std::max(outcome.rise, at.y - rest.y);
    }
    outcome.health_lost = health - slob->health_behavior()->value;
    slob->kill_entity();
    world.step();
    return outcome;
}

TEST(SlobJump, TheShippedJumpLiftsASlobOffTheFloorWithoutHurtingIt) {
    LevelSceneHarness world;
    const char* override_speed = std::getenv("JUMP");
    const float speed = override_speed ? static_cast<float>(std::atof(override_speed)) : world.config().jumpVelocity;
    vo::SoftBodyDesc slob;
    vo::InitSoftBodyDesc(slob, vo::GetConfig("game_config.info"), "slob.");
    const float diameter = 2.0f * slob.radius;

    // Open floor: room for the slob and three diameters above it.
    int open_floors = 0;
    int clean_jumps = 0;
    float worst_loss = 0.0f;
    float least_rise = 1e9f;
    for (int level = 0; level < kLevels; ++level) {
        if (level > 0) world.new_level(level);
        for (Spot const& spot : Floors(world)) {
            if (spot.headroom < 4.0f * diameter) continue;
            const JumpOutcome o = Jump(world, spot, speed);
            ++open_floors;
            clean_jumps += o.rise >= diameter && o.health_lost == 0.0f;
            least_rise = std::min(least_rise, o.rise);
            worst_loss = std::max(worst_loss, o.health_lost);
        }
    }

    // A low tunnel dug into the rock far below the cave: the slob's head a
    // diameter below the ceiling.
    const float depth = -70.0f;
    for (float x = -6.0f; x <= 6.0f; x += 1.0f) world.level().explode(x, depth, diameter, nullptr);
    const JumpOutcome bump = Jump(world, Spot{vector3(0.0f, depth - diameter, 0.0f), 2.0f * diameter}, speed);

    std::cout << "jump " << speed << ": " << clean_jumps << " of " << open_floors
              << " open floors rise a diameter unhurt (least rise " << least_rise << ", worst loss " << worst_loss
              << "); in a tunnel the slob rises " << bump.rise << " and loses " << bump.health_lost << std::endl;
    if (override_speed) return;
    EXPECT_GE(clean_jumps, 20);
    EXPECT_LE(worst_loss, 5.0f);
    // It meets the ceiling, and the bump costs little.
    EXPECT_LT(bump.rise, 1.5f * diameter);
    EXPECT_LE(bump.health_lost, 5.0f);
}

}  // namespace

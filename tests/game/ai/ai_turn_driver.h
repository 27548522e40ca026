#pragma once

// A computer player's turn in a level scene, stepped at the fixed step: the
// player's controls are turned into a turned aim and a throw the way the
// match's turn control does (the aim turns at "aimRotationSpeed"; fire held
// charges, its release or a full charge throws the grenade with the charged
// share of its speed), then the scene steps.

#include "game/ai/ai_player.h"
#include "game/behaviors/aim.h"
#include "game/behaviors/soft_body_entities.h"
#include "support/game/level_scene_harness.h"

namespace vo_test {

// A slob of the team at (x, y), added to the scene and listed in the world.
inline vo::EntityDesc AddListedSlob(LevelSceneHarness& harness, vo::WorldDesc& world, float x, float y, int team) {
    vo::EntityDesc desc;
    desc.entity = harness.add_slob(vo::vector3(x, y, 0));
    desc.team = team;
    world.entities.push_back(desc);
    return desc;
}

struct AITurnDriver {
    static constexpr double kDt = 1.0 / 60.0;

    AITurnDriver(LevelSceneHarness& world, vo::AIPlayer& player, vo::SlobEntity* slob, vo::MatchConfig const& config)
        : world(world), player(player), slob(slob), config(config) {}

    void step() {
        player.update(kDt);
        vo::PlayerControls& c = player.controls();
        vo::behaviors::Aim* aim = slob->aim_behavior();
        if (c.is_down(vo::PlayerAction::aim))
            aim->set_angle(static_cast<float>(aim->angle() + c.get(vo::PlayerAction::aim) * config.aimRotationSpeed * kDt));
        if (throws && !thrown) {
            if (c.is_down(vo::PlayerAction::fire)) {
                if (charge < 0.0) {
                    charge = 0.0;
                } else {
                    charge += kDt;
                    if (charge >= config.maxShootTime) fire();
                }
            } else if (charge >= 0.0) {
                fire();
            }
        }
        world.step();
    }

    void fire() {
        const float power = static_cast<float>(charge / config.maxShootTime);
        thrown = world.throw_grenade("grenade", slob->soft_body()->calculate_center(), slob->aim_behavior()->direction(),
                                     power, 0.0, slob->soft_body().get());
        charge = -1.0;
    }

    LevelSceneHarness& world;
    vo::AIPlayer& player;
    vo::SlobEntity* slob;
    vo::MatchConfig const& config;
    bool throws = true;    // false: only the aim is turned
    double charge = -1.0;  // seconds charged; below 0 while no charge runs
    vo::Entity* thrown = nullptr;
};

}  // namespace vo_test

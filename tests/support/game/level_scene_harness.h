#pragma once

// A LevelScene over a generated level, set up as a match sets it up: the
// application started in the test process (data folders, window, registered
// entity types), the shipped game configuration, the level entity in the
// scene with its collision group node handed to the physics, gravity, and an
// action camera. Tests, benchmarks and later the match's own tests put
// slobs, grenades and explosions into it and step it at the fixed step.
//
// One per process: the application starts once per process.

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/sfml/effect.h"
#include "game/behaviors/level_geometry.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/camera/action_camera_controller.h"
#include "game/level/level_scene.h"
#include "game/match/match_config.h"
#include "support/game/app_harness.h"

#include <SFML/Graphics/Image.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vo_test {

// The text of a shipped configuration file, for tests that write a changed
// copy of it into LevelSceneSetup::config_files.
std::string ShippedConfig(std::string const& file);
// The shipped "weapons.info" with its "mine" and "grenade" renamed (in the
// available weapons too): every listed weapon is whole, but nothing answers
// to the two names the match throws by.
std::string ShippedWeaponsWithoutMineAndGrenade();

struct LevelSceneSetup {
    // Added to the configuration's generation seeds.
    int level_seed = 0;
    // Configuration files to use instead of the shipped ones (file name ->
    // text); the rest of the shipped configuration folder is used as it is.
    std::map<std::string, std::string> config_files;
};

class LevelSceneHarness {
public:
    static constexpr float kStep = 1.0f / 60.0f;

    explicit LevelSceneHarness(LevelSceneSetup setup = LevelSceneSetup());
    ~LevelSceneHarness();
    LevelSceneHarness(LevelSceneHarness const&) = delete;
    LevelSceneHarness& operator=(LevelSceneHarness const&) = delete;

    AppHarness& app() { return *app_; }
    vo::LevelScene& scene() { return *scene_; }
    vo::LevelGeometryHandle& level() { return *level_; }
    vo::entities::LevelGeometry* level_entity() const { return level_entity_; }
    vo::ActionCameraController& camera() { return *camera_; }
    vo::MatchConfig& config() { return *config_; }

    // Scene updates of one fixed step each.
    void step(int count = 1);
    // Steps until done() holds (checked after each step) or max_steps have
    // run; the number of steps run, -1 when done() never held.
    template <class Done>
    int step_until(Done done, int max_steps) {
        for (int i = 1; i <= max_steps; ++i) {
            step();
            if (done()) return i;
        }
        return -1;
    }

    // Empties the scene (entities, physics, queued events) and generates a
    // new level into it, as the match does before each round.
    void new_level(int level_seed);

    // A point on level ground in the cave: on a collision edge straight
    // below the centre of a carved hole, with open space at least
    // `clearance` high above it. The holes are tried largest first; `which`
    // picks among the spots found. Throws when there is none.
    vo::vector3 ground_spot(float clearance = 6.0f, int which = 0) const;

    // A slob as the match makes one: the configuration's "slob" body,
    // health 100, placed at the position (its body follows at once).
    vo::SlobEntity* add_slob(const vo::vector3& position, float health = 100.0f);
    // throw_grenade, then the grenade's update with a step of 0 that brings
    // its body to the position, as the turn control does. Null for a weapon
    // without a grenade of its own.
    vo::Entity* throw_grenade(const std::string& weapon, const vo::vector3& position,
                              const vo::vector3& direction = vo::vector3(), float power = 0.0f, double timer = 0.0,
                              vo::SoftBody* thrower = nullptr);

    // Whether the scene holds the entity (alive or flagged).
    bool holds(const vo::Entity* entity);
    // The scene's entities of type T, in scene order.
    template <class T>
    std::vector<T*> entities_of() {
        std::vector<T*> found;
        for (unsigned i = 0; i < scene_->num_entities(); ++i) {
            if (T* e = dynamic_cast<T*>(scene_->entity(i))) found.push_back(e);
        }
        return found;
    }

    // Looks at the point from the given height of view (world units) and
    // draws the scene into the window; the frame read back, also saved as
    // an artefact when a name is given.
    sf::Image draw(const vo::vector3& look_at, float view_height, std::string const& artefact = std::string());

private:
    std::unique_ptr<TempFolder> config_copy_;
    std::unique_ptr<AppHarness> app_;
    vo::SmartPtr<vo::MatchConfig> config_;
    vo::SmartPtr<vo::ActionCameraController> camera_;
    std::unique_ptr<vo::LevelScene> scene_;
    vo::entities::LevelGeometry* level_entity_ = nullptr;
    vo::SmartPtr<vo::LevelGeometryHandle> level_;
    vo::EffectHandle level_effect_;
    vo::EffectHandle lava_effect_;
};

}  // namespace vo_test

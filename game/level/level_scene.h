#pragma once

// The scene a match is played in: the engine's two-dimensional scene plus the
// match's weapons and items, the camera controller that explosions shake,
// the game configuration, and the fluid pass drawn before the scene graph.

#include "engine/core/config.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/physics/particle_source.h"
#include "engine/scene/camera_controller.h"
#include "engine/scene/scene2d.h"
#include "engine/sfml/effect.h"
#include "game/match/match_config.h"

#include <boost/property_tree/ptree.hpp>

#include <memory>
#include <string>
#include <vector>

namespace vo {

class BinaryBuffer;
class Entity;
class FluidEntity;
class GameEvent;
class SoftBody;
struct CarveResult;
struct ClusterDesc;

class LevelScene : public Scene2d {
public:
    // Copies "weapons.info" and "items.info" from the configuration pool and
    // holds them to the load rules: a file that cannot be read raises the
    // pool's error, a file with defects an Error listing every defect
    // ("<file>: <key>: <what>", one per line), so bad data fails here and
    // not mid-match; the rules' warnings are printed. "mine" and "grenade"
    // are left to check_match_weapons.
    LevelScene();
    // Refuses, with the same Error, weapons that a match cannot be played
    // with: "mine" must be throwable when it lays mines, "grenade" when a
    // computer team plays (its player throws that weapon). Prints the
    // warnings the construction did not.
    void check_match_weapons(bool mines_laid, bool cpu_plays) const;
    ~LevelScene() override;

    // Turns the "lava" target's modulator, runs the fluid pass when the
    // scene holds fluids, then applies the camera and draws the scene graph.
    void draw() override;
    // A level scene writes and reads no snapshot.
    void serialize(BinaryBuffer& buffer) const override;
    void deserialize(BinaryBuffer& buffer) override;
    // The base scene's delivery (listener, then every entity); unless a
    // listener consumed the event, an "explosionPeak" makes a lava disc
    // while lava explosions are on and a "cluster" event launches its
    // clusters. True only when a listener consumed the event.
    bool handle_event(const GameEvent* event) override;

    // Shared with the base scene's camera.
    void set_camera_controller(SmartPtr<ICameraController2D> controller);
    SmartPtr<ICameraController2D> camera_controller() const { return camera_controller_; }
    // Shared with the match. Without one, explosions shake the camera with
    // the configuration's defaults.
    void set_game_config(SmartPtr<MatchConfig> config);
    SmartPtr<MatchConfig> game_config() const { return game_config_; }

    // Throws the weapon of that name from position: the direction is
    // normalised, the speed is the weapon's "fixedVelocity" when above 0,
    // otherwise its "maxVelocity" times power. A "clustersOnly" weapon
    // launches its clusters at once and returns null; any other gives a
    // grenade, placed and in the scene (its body follows the position at the
    // grenade's first update), timed when the weapon is "timed" and timer is
    // above 0, otherwise set off by contact. The thrower's body (may be
    // null) and the grenade ignore each other until they are apart. A
    // weapon, required key or body that the weapons lack raises the tree
    // library's error with nothing added.
    Entity* throw_grenade(const std::string& weapon, const vector3& position, const vector3& direction, float power,
                          double timer, SoftBody* thrower);

    // An explosion of the given type (a child of "explosionTypes"; missing
    // keys take their defaults) at position: a dissolving circle for one
    // second, the "explosion" event at once, the "explosionPeak" and, for a
    // cluster record with a "num" above 0, the "cluster" event after the
    // type's "peakDelay", the type's sound, and a shake of the camera away
    // from the blast.
    Entity* create_explosion(const vector3& position, const ptree& type, const ClusterDesc& cluster);

    // Throws the clusters of a cluster description, all from its position,
    // each as a grenade of the weapon "type": "num" of them (none for 0 or
    // less, at most kMaxClusters, more with a warning). A cluster's velocity
    // is "directionalRelative" times the releasing velocity plus a random
    // speed across it (up to "orthogonalVel"), plus random speeds against
    // gravity ("min/maxVerticalVel") and across it ("min/maxHorizontalVel").
    // Siblings never collide; the ignored body and each cluster only once
    // they are apart. A "type" that names no weapon raises the tree
    // library's path error before any cluster is made.
    virtual void launch_clusters(const ClusterDesc& cluster);

    // An item body for the item description at path of the items (e.g.
    // "items.health"): a round soft body of "itemBody" textured with the
    // item's image, drawn 1.2 times its size, with the item behavior holding
    // a copy of the description; in the scene at position. A path or image
    // the items lack raises the tree library's path error with nothing
    // added.
    Entity* create_item(const std::string& path, const vector3& position);

    // Makes the render target "lava" at the screen's size and the three
    // fluid effects, freeing those made before (a new effect takes the
    // handle freed last, so existing fluids keep valid handles). Raises
    // Error "Couldn't create effect: '<shader>'" when one cannot be made.
    // Every emitter calls it when the effects do not exist yet.
    void init_effects();

    // The particle emitters of a carve: stones from the removed rock (lava
    // sum of a triangle's corners at most 1.5), lava from the removed lava
    // (sum at least 1.5) with a lava source along the new lava edges; and a
    // disc of lava at an explosion. Each burst is one FluidEntity in the
    // scene that removes itself after the longest life of its particles;
    // null when a carve gives no particle of its kind. A burst has at most
    // kMaxParticlesPerBurst particles (the density is lowered to fit).
    virtual Entity* create_stone_fluid(const CarveResult& carve);
    virtual Entity* create_lava_fluid(const CarveResult& carve);
    virtual Entity* create_lava_explosion(const vector3& centre, float radius);

    EffectHandle preprocess_effect() const { return preprocess_effect_; }
    EffectHandle lava_effect() const { return lava_effect_; }
    EffectHandle stone_effect() const { return stone_effect_; }
    vector2 screen_size() const { return screen_size_; }

    // Lava explosions: only bit 0 counts. Written by the match at every
    // throw.
    int lava_explosions = 0;

protected:
    // The game configuration, or its defaults while there is none.
    const MatchConfig& settings() const;
    // Gives a fluid entity the lava or the stone effect (making the effects
    // when they do not exist yet), its removal after delay seconds (never
    // negative) and keeps it awake, then adds it to the scene.
    Entity* finish_fluid(std::unique_ptr<FluidEntity> fluid, bool lava, double delay);

    // The fluid pass: every fluid layer (the visuals added with type 1)
    // summed into the render target "lava" through the forced
    // preprocess effect; alpha blending is on again afterwards.
    void draw_fluid_pass();

    SmartPtr<ICameraController2D> camera_controller_;
    SmartPtr<MatchConfig> game_config_;
    // Scratch lists of the particle emitters.
    std::vector<ParticleSource::ParticleDesc> new_lava_particles_;
    std::vector<ParticleSource::ParticleDesc> new_stone_particles_;
    // The fluid effects: forced during the fluid pass, and those the lava
    // and stone layers draw with.
    EffectHandle preprocess_effect_;
    EffectHandle lava_effect_;
    EffectHandle stone_effect_;
    // Size of the "lava" target and of the fluid pass's viewport.
    vector2 screen_size_ = vector2(128.0f, 128.0f);
    // The load rules' warnings printed at construction, not printed again
    // by check_match_weapons.
    std::vector<std::string> load_warnings_;

public:
    // Read-only copies of "weapons.info" and "items.info", taken at
    // construction: later changes of the files are not seen.
    const ptree weapons;
    const ptree items;
};

}  // namespace vo

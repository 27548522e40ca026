#pragma once

// The level as a scene object: an entity "LevelGeometry" with one behavior
// that owns the destructible level, shows it in the scene and carves it at
// every damaging explosion peak.

#include "engine/core/smart_ptr.h"
#include "engine/scene/behavior.h"
#include "engine/scene/entity.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/mesh/carve_result.h"

namespace vo {

class IScene;

namespace behaviors {

class LevelGeometry : public IBehavior {
public:
    // A new, empty level.
    LevelGeometry();
    ~LevelGeometry() override;

    // A new behavior with a new, empty level (not a copy of this one's).
    IBehavior* clone() const override;
    // Shows the level's visual node in the entity's scene.
    void initialize(Entity* entity) override;
    void update(float dt) override;
    // Takes the visual node out of the entity's scene.
    void finalize(Entity* entity) override;
    bool accepts_game_events() const override { return true; }
    // An "explosionPeak" with a damage above 0 carves the level; in a
    // LevelScene the carve then releases stones and lava.
    void handle_game_event(const GameEvent& event) override;

    SmartPtr<LevelGeometryHandle> level_geometry() const { return level_; }
    // What the last carve removed and laid open.
    const CarveResult& carve_result() const { return carve_result_; }

private:
    IScene* scene_ = nullptr;
    SmartPtr<LevelGeometryHandle> level_;
    CarveResult carve_result_;
};

}  // namespace behaviors

namespace entities {

// The entity of the level, made by name "LevelGeometry" through the object
// factory or directly by the level generation.
class LevelGeometry : public Entity {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    // Carries one behaviors::LevelGeometry, with an empty level.
    LevelGeometry();
    ~LevelGeometry() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;
    // The level has no properties.
    void get_properties(ParameterStack& params) const override;
    void set_properties(ParameterStack& params) override;

    SmartPtr<LevelGeometryHandle> level_geometry() const;
    behaviors::LevelGeometry* behavior() const { return behavior_; }

private:
    behaviors::LevelGeometry* behavior_ = nullptr;  // owned by the behavior list
};

}  // namespace entities
}  // namespace vo

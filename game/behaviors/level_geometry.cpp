#include "game/behaviors/level_geometry.h"

#include "engine/core/crc32.h"
#include "engine/scene/scene.h"
#include "engine/scene/visual_node.h"
#include "game/behaviors/game_events.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/level_scene.h"

namespace vo {
namespace behaviors {

LevelGeometry::LevelGeometry() : level_(new LevelGeometryHandle()) {}

LevelGeometry::~LevelGeometry() = default;

IBehavior* LevelGeometry::clone() const { return new LevelGeometry(); }

void LevelGeometry::initialize(Entity* entity) {
    scene_ = entity->get_scene();
    if (scene_) scene_->add_visual(level_->visual_node(), entity, IScene::VISUAL_TYPE_DEFAULT);
}

void LevelGeometry::update(float) {}

void LevelGeometry::finalize(Entity* entity) {
    if (IScene* scene = entity->get_scene()) scene->remove_visual(level_->visual_node(), entity);
}

void LevelGeometry::handle_game_event(const GameEvent& event) {
    if (event.type != EventTypeId<ExplosionPeakEvent>()) return;
    const ExplosionPeakEvent& peak = *event.cast<ExplosionPeakEvent>();
    // Healing and harmless explosions leave the rock alone.
    if (!(peak.damage > 0.0f)) return;
    level_->explode(peak.position.x, peak.position.y, peak.radius, &carve_result_);
    if (LevelScene* scene = dynamic_cast<LevelScene*>(scene_)) {
        scene->create_stone_fluid(carve_result_);
        scene->create_lava_fluid(carve_result_);
    }
}

}  // namespace behaviors

namespace entities {

const char* LevelGeometry::TYPE_NAME() { return "LevelGeometry"; }

unsigned int LevelGeometry::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

LevelGeometry::LevelGeometry() { behavior_ = add_behavior<behaviors::LevelGeometry>(""); }

LevelGeometry::~LevelGeometry() = default;

const char* LevelGeometry::object_type_name() const { return TYPE_NAME(); }

unsigned int LevelGeometry::object_type_id() const { return TYPE_ID(); }

void LevelGeometry::get_properties(ParameterStack&) const {}

void LevelGeometry::set_properties(ParameterStack&) {}

SmartPtr<LevelGeometryHandle> LevelGeometry::level_geometry() const { return behavior_->level_geometry(); }

}  // namespace entities
}  // namespace vo

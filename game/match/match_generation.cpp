// The level of a match: its entity in the scene, its two shader effects and
// the generated cave.

#include "game/match/match.h"

#include "engine/sfml/engine.h"
#include "game/behaviors/level_geometry.h"
#include "game/level/level_geometry_handle.h"
#include "game/match/match_config.h"
#include "game/match/match_level.h"

namespace vo {

void Match::generate_area() {
    auto* entity = new entities::LevelGeometry;
    scene_.add_entity(entity, true);
    level_ = entity->level_geometry();

    Engine& engine = Engine::instance();
    MatchConfig const& c = *config_;
    if (level_effect_.valid) level_effect_ = engine.free_effect(level_effect_);
    level_effect_ = CreateLevelEffect(c.area.blendTexture1, c.area.blendTexture2, c.area.diffuseTexture1,
                                      c.area.diffuseTexture2);
    engine.set_effect_parameter(level_effect_, "fadeOutColor", Variant(vector4(0.0f, 0.0f, 0.0f, 1.0f)));

    if (level_lava_effect_.valid) level_lava_effect_ = engine.free_effect(level_lava_effect_);
    level_lava_effect_ = CreateLavaEffect(c.area.blendTexture1, c.area.blendTexture2, c.area.lavaBorderTexture,
                                          c.area.lavaTexture, c.area.lavaFlowTexture);

    GenerateLevelArea(*level_, LevelGenerationParamsOf(c, level_radius_), level_seed_, level_effect_, level_lava_effect_);
}

}  // namespace vo

// The level of a match: its entity in the scene, its two shader effects and
// the generated cave.

#include "game/match/match.h"

#include "engine/sfml/engine.h"
#include "game/behaviors/level_geometry.h"
#include "game/level/level_generation.h"
#include "game/level/level_geometry_handle.h"
#include "game/match/level_effects.h"
#include "game/match/match_config.h"

namespace vo {

namespace {

// The disc's grid spacing.
constexpr float kLevelSpacing = 2.0f;

LevelGenerationParams GenerationParams(MatchConfig const& config, float level_radius) {
    LevelGenerationParams params;
    params.level_radius = level_radius;
    params.spacing = kLevelSpacing;
    params.area.rim_width = config.area.rimWidth;
    params.area.uv_scale = config.area.uvScale;
    params.area.light_radius_min_factor = config.area.lightRadiusMinFac;
    params.area.light_radius_max_factor = config.area.lightRadiusMaxFac;
    params.lava.seed = config.randLava.seed;
    params.lava.inner_rim_radius = config.randLava.innerRimRadius;
    params.lava.outer_rim_radius = config.randLava.outerRimRadius;
    params.lava.num_fields = config.randLava.numFields;
    params.lava.field_radius = config.randLava.fieldRadius;
    params.lava.num_sub_circles_per_field = config.randLava.numSubCirclesPerField;
    params.lava.sub_circle_radius = config.randLava.subCircleRadius;
    params.caves.seed = config.randArea.seed;
    params.caves.radius = config.randArea.radius;
    params.caves.num_circles = config.randArea.numCircles;
    params.caves.min_circle_radius = config.randArea.minCircleRadius;
    params.caves.max_circle_radius = config.randArea.maxCircleRadius;
    return params;
}

}  // namespace

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

    GenerateLevelArea(*level_, GenerationParams(c, level_radius_), level_seed_, level_effect_, level_lava_effect_);
}

}  // namespace vo

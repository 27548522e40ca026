#include "game/match/match_level.h"

#include "engine/core/resources.h"
#include "engine/sfml/engine.h"
#include "game/match/match_config.h"

#include <initializer_list>

namespace vo {

namespace {

// The disc's grid spacing.
constexpr float kLevelSpacing = 2.0f;

EffectHandle CreateEffect(const char* shader, std::initializer_list<const std::string*> textures) {
    EffectDesc desc;
    desc.name = shader;
    for (const std::string* name : textures) {
        SmartPtr<Texture> texture = GetTexture(*name);
        texture->set_repeated(true);
        texture->set_smooth(true);
        desc.textures.push_back(texture);
    }
    return Engine::instance().create_effect(desc);
}

}  // namespace

LevelGenerationParams LevelGenerationParamsOf(MatchConfig const& config, float level_radius) {
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

EffectHandle CreateLevelEffect(const std::string& blend1, const std::string& blend2, const std::string& diffuse1,
                               const std::string& diffuse2) {
    return CreateEffect("level_shader", {&blend1, &blend2, &diffuse1, &diffuse2});
}

EffectHandle CreateLavaEffect(const std::string& blend1, const std::string& blend2, const std::string& lava_border,
                              const std::string& lava, const std::string& lava_flow) {
    return CreateEffect("lava_shader", {&blend1, &blend2, &lava_border, &lava, &lava_flow});
}

}  // namespace vo

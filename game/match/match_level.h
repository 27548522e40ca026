#pragma once

// The level a match generates from its configuration: the parameters of the
// generation, and the two shader effects with which the level is drawn, the
// rock ("level_shader": two blend masks over two rock textures) and its lava
// ("lava_shader": the blend masks, the crust around the lava, the lava and
// its flow).

#include "engine/sfml/effect.h"
#include "game/level/level_generation.h"

#include <string>

namespace vo {

class MatchConfig;

// The "area.", "randArea." and "randLava." keys of the configuration, for a
// disc of the given radius meshed with the match's spacing.
LevelGenerationParams LevelGenerationParamsOf(MatchConfig const& config, float level_radius);

// Every texture is fetched by its file name, switched to repeated and smooth
// (which holds for every user of that texture) and bound in the order of the
// arguments to the samplers userTex0, userTex1, ...

// A texture that cannot be loaded raises the texture manager's Error, a
// shader that cannot be loaded the back end's.
EffectHandle CreateLevelEffect(const std::string& blend1, const std::string& blend2, const std::string& diffuse1,
                               const std::string& diffuse2);
EffectHandle CreateLavaEffect(const std::string& blend1, const std::string& blend2, const std::string& lava_border,
                              const std::string& lava, const std::string& lava_flow);

}  // namespace vo

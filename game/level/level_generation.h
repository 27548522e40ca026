#pragma once

// The geometry side of generating a match level from the game configuration
// and a seed: the disc, the lava fields and the cave holes. The same
// parameters and seed always give the same level.

#include "engine/sfml/effect.h"

#include <string>
#include <utility>
#include <vector>

namespace vo {

class LevelGeometryHandle;

// The look of the level ("area." keys of the game configuration).
struct LevelAreaLook {
    float rim_width = 3.0f;              // area.rimWidth
    float uv_scale = 0.1f;               // area.uvScale
    float light_radius_min_factor = 1.0f;  // area.lightRadiusMinFac
    float light_radius_max_factor = 3.0f;  // area.lightRadiusMaxFac
};

// The cave holes ("randArea." keys).
struct RandomAreaParams {
    int seed = 1;                     // randArea.seed
    float radius = 40.0f;             // randArea.radius: half side of the square of centres
    float num_circles = 30.0f;        // randArea.numCircles (a fraction rounds up)
    float min_circle_radius = 5.0f;   // randArea.minCircleRadius
    float max_circle_radius = 15.0f;  // randArea.maxCircleRadius
};

// The lava fields ("randLava." keys).
struct RandomLavaParams {
    int seed = 54645;                         // randLava.seed
    float inner_rim_radius = 20.0f;           // randLava.innerRimRadius
    float outer_rim_radius = 40.0f;           // randLava.outerRimRadius
    float num_fields = 20.0f;                 // randLava.numFields
    float field_radius = 5.0f;                // randLava.fieldRadius
    float num_sub_circles_per_field = 8.0f;   // randLava.numSubCirclesPerField
    float sub_circle_radius = 2.0f;           // randLava.subCircleRadius
};

struct LevelGenerationParams {
    float level_radius = 100.0f;
    float spacing = 2.0f;
    LevelAreaLook area;
    RandomLavaParams lava;
    RandomAreaParams caves;
};

// More holes, fields or spots than this are refused.
constexpr float MAX_LEVEL_GENERATION_COUNT = 10000.0f;

// The counts of params that the generation refuses, each as the key of the
// game configuration at fault and what is wrong, in the order it looks at
// them: a count that is not finite or above MAX_LEVEL_GENERATION_COUNT, and
// more lava spots in all than that.
std::vector<std::pair<std::string, std::string>> LevelGenerationCountFaults(const LevelGenerationParams& params);

// Creates the disc (radius, spacing and the area look, with the two
// effects), then seeds the shared generator with lava.seed + levelSeed and
// marks the lava fields, then seeds it with caves.seed + levelSeed and cuts
// the holes, every draw in its fixed order. A lava band of width 0.000001 or
// less prints "LAVA GENERATION ERROR: ..." and makes no fields. Throws Error
// "game_config.info: <key>: <what>" for the first of
// LevelGenerationCountFaults before anything changes, and the level's Error when the
// disc cannot be meshed.
void GenerateLevelArea(LevelGeometryHandle& level, const LevelGenerationParams& params, int levelSeed,
                       EffectHandle const& levelEffect, EffectHandle const& lavaEffect);

// The uniform draw of the generation: lo + (hi - lo) x r / 32767 with r the
// next number of the shared generator (32767 taken as 32766), in [lo, hi).
float UniformDraw(float lo, float hi);

}  // namespace vo

#include "game/level/level_generation.h"

#include "engine/core/error.h"
#include "engine/core/random.h"
#include "game/level/level_geometry_handle.h"

#include <cmath>
#include <iostream>
#include <string>

namespace vo {

namespace {

void CheckCount(std::vector<std::pair<std::string, std::string>>& faults, float count, const char* key)
{
    if (!std::isfinite(count) || count > MAX_LEVEL_GENERATION_COUNT)
        faults.emplace_back(key, "must be a number of at most " +
                                     std::to_string(static_cast<int>(MAX_LEVEL_GENERATION_COUNT)));
}

// Seeds formed modulo 2^32.
unsigned int SeedSum(int base, int levelSeed)
{
    return static_cast<unsigned int>(base) + static_cast<unsigned int>(levelSeed);
}

void MarkLavaFields(LevelGeometryHandle& level, const RandomLavaParams& lava)
{
    const float inner = lava.inner_rim_radius;
    const float w = lava.outer_rim_radius - inner;
    if (w <= 0.000001f) {
        std::cout << "LAVA GENERATION ERROR: inner rim width > outer rim width.\n" << std::flush;
        return;
    }
    if (!(lava.num_fields > 0))
        return;
    for (int i = 0; static_cast<float>(i) < lava.num_fields; ++i) {
        const float px = UniformDraw(-w, w);
        const float py = UniformDraw(-w, w);
        const float d = static_cast<float>(std::sqrt(static_cast<double>(px * px + py * py)));
        float nx = px;
        float ny = py;
        if (d > 0) {
            const float inv = 1.0f / d;
            nx = px * inv;
            ny = py * inv;
        }
        const float cx = nx * inner + px;
        const float cy = ny * inner + py;
        if (!(lava.num_sub_circles_per_field > 0))
            continue;
        for (int j = 0; static_cast<float>(j) < lava.num_sub_circles_per_field; ++j) {
            const float ox = UniformDraw(-lava.field_radius, lava.field_radius);
            const float oy = UniformDraw(-lava.field_radius, lava.field_radius);
            level.add_lava(cx + ox, cy + oy, lava.sub_circle_radius);
        }
    }
}

void CutCaves(LevelGeometryHandle& level, const RandomAreaParams& caves)
{
    if (!(caves.num_circles > 0))
        return;
    for (int i = 0; static_cast<float>(i) < caves.num_circles; ++i) {
        const float x = UniformDraw(-caves.radius, caves.radius);
        const float y = UniformDraw(-caves.radius, caves.radius);
        const float r = UniformDraw(caves.min_circle_radius, caves.max_circle_radius);
        level.explode(x, y, r, nullptr);
    }
}

}  // namespace

float UniformDraw(float lo, float hi)
{
    int r = Rand();
    if (r == kRandMax)
        r = kRandMax - 1;
    const float range = hi - lo;
    const float scaled =
        static_cast<float>(static_cast<double>(range) * (r / static_cast<double>(kRandMax)));
    return lo + scaled;
}

std::vector<std::pair<std::string, std::string>> LevelGenerationCountFaults(const LevelGenerationParams& params)
{
    std::vector<std::pair<std::string, std::string>> faults;
    CheckCount(faults, params.lava.num_fields, "randLava.numFields");
    CheckCount(faults, params.lava.num_sub_circles_per_field, "randLava.numSubCirclesPerField");
    CheckCount(faults, params.caves.num_circles, "randArea.numCircles");
    if (faults.empty() && params.lava.num_fields > 0 && params.lava.num_sub_circles_per_field > 0)
        CheckCount(faults,
                   std::ceil(params.lava.num_fields) * std::ceil(params.lava.num_sub_circles_per_field),
                   "randLava.numFields x randLava.numSubCirclesPerField");
    return faults;
}

void GenerateLevelArea(LevelGeometryHandle& level, const LevelGenerationParams& params, int levelSeed,
                       EffectHandle const& levelEffect, EffectHandle const& lavaEffect)
{
    const auto faults = LevelGenerationCountFaults(params);
    if (!faults.empty())
        throw Error("game_config.info: " + faults.front().first + ": " + faults.front().second);

    level.create(params.level_radius, params.spacing, params.area.rim_width, params.area.uv_scale,
                 levelEffect, lavaEffect, params.area.light_radius_min_factor,
                 params.area.light_radius_max_factor);

    SeedRand(SeedSum(params.lava.seed, levelSeed));
    MarkLavaFields(level, params.lava);

    SeedRand(SeedSum(params.caves.seed, levelSeed));
    CutCaves(level, params.caves);
}

}  // namespace vo

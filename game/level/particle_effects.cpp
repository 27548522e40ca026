// The level scene's particle effects: the render target and shader effects
// the fluids are drawn with, and the emitters that turn a carve into flying
// stones and flowing lava, and an explosion into a disc of lava.

#include "game/level/particle_effects.h"

#include "engine/core/error.h"
#include "engine/core/random.h"
#include "engine/core/resources.h"
#include "engine/physics/particle_source.h"
#include "engine/sfml/engine.h"
#include "game/behaviors/fluid_behavior.h"
#include "game/behaviors/kill_self.h"
#include "game/behaviors/rest.h"
#include "game/level/level_scene.h"
#include "game/level/mesh/carve_result.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <memory>

namespace vo {

namespace {

// Corner lava of a removed triangle from which on it releases lava; up to
// it, stones (a triangle of exactly this much releases both).
constexpr float kLavaThreshold = 1.5f;
// The smallest particle radius and disc spacing factor the emitters work
// with: below them the densities grow without bound.
constexpr float kSmallestSize = 0.01f;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kTwoPiSingle = 6.2831854820251465;

float LengthSquared(const vector3& v) { return v.x * v.x + v.y * v.y + v.z * v.z; }

vector3 Minus(const vector3& a, const vector3& b) { return vector3(a.x - b.x, a.y - b.y, a.z - b.z); }

vector3 Scaled(const vector3& v, float s) { return vector3(v.x * s, v.y * s, v.z * s); }

float TriangleArea(const vector3& a, const vector3& b, const vector3& c) {
    vector3 q;
    ClosestPointOnLine(q, c, a, b);
    const float product = LengthSquared(Minus(a, b)) * LengthSquared(Minus(q, c));
    return static_cast<float>(0.5 * std::sqrt(static_cast<double>(product)));
}

bool Takes(float lava, float min_lava, float max_lava) { return lava >= min_lava && lava <= max_lava; }

double Draw() {
    int r = Rand();
    if (r == kRandMax) r = kRandMax - 1;
    return r / 32767.0;
}

// A life or delay in seconds as the entities use it: never negative.
double NotNegative(double seconds) { return seconds >= 0.0 ? seconds : 0.0; }

float ParticleRadius(const ParticleHandler::ParticleDesc& desc) {
    return desc.particleRadius >= kSmallestSize ? desc.particleRadius : kSmallestSize;
}

void WarnCapped(const char* what, unsigned wanted) {
    std::cout << "WARNING: " << what << " would have " << wanted << " particles; limited to "
              << kMaxParticlesPerBurst << std::endl;
}

// A fluid entity of one burst: the description, the texture scale and the
// particles (all made at once).
std::unique_ptr<FluidEntity> NewFluid(const ParticleHandler::ParticleDesc& desc, float uv_scale,
                                      const std::vector<ParticleSource::ParticleDesc>& particles) {
    std::unique_ptr<FluidEntity> entity(new FluidEntity());
    vo::Fluid& fluid = entity->fluid_behavior()->fluid();
    fluid.set_particle_desc(desc);
    fluid.set_uv_scale(vector2(uv_scale, uv_scale));
    fluid.create_particles(static_cast<unsigned>(particles.size()), particles.data());
    return entity;
}

// The ring k of a lava disc holds this many particles.
unsigned RingSize(unsigned k) { return static_cast<unsigned>(static_cast<double>(k) * kTwoPiSingle); }

}  // namespace

float ClosestPointOnLine(vector3& out, const vector3& p, const vector3& a, const vector3& b) {
    const vector3 d = Minus(b, a);
    const float length2 = LengthSquared(d);
    if (length2 > 1e-6f) {
        const vector3 ap = Minus(p, a);
        const float t = (ap.x * d.x + ap.y * d.y + ap.z * d.z) / length2;
        out = vector3(a.x + t * d.x, a.y + t * d.y, a.z + t * d.z);
        return t;
    }
    out = a;
    return 0.0f;
}

void ScatterOverRemovedTriangles(const CarveResult& carve, float density, float min_lava, float max_lava,
                                 std::vector<ParticleSource::ParticleDesc>& out) {
    if (!(density > 0.0f)) return;
    const std::size_t triangles = std::min(carve.removed_corners.size(), carve.removed_corner_lava.size()) / 3;
    auto lava_of = [&](std::size_t k) {
        return carve.removed_corner_lava[3 * k] + carve.removed_corner_lava[3 * k + 1] +
               carve.removed_corner_lava[3 * k + 2];
    };

    // A density that would give more than a burst's worth is lowered so
    // that the whole area holds at most that many.
    double area = 0.0;
    for (std::size_t k = 0; k < triangles; ++k) {
        if (!Takes(lava_of(k), min_lava, max_lava)) continue;
        const vector3* v = &carve.removed_corners[3 * k];
        area += TriangleArea(v[0], v[1], v[2]);
    }
    if (!(area * density <= kMaxParticlesPerBurst) && area > 0.0) {
        WarnCapped("a carve's fluid", area * density < 4e9 ? static_cast<unsigned>(area * density) : 4000000000u);
        density = static_cast<float>(kMaxParticlesPerBurst / area);
    }

    const std::size_t first = out.size();
    for (std::size_t k = 0; k < triangles; ++k) {
        if (!Takes(lava_of(k), min_lava, max_lava)) continue;
        const vector3& a = carve.removed_corners[3 * k];
        const vector3& b = carve.removed_corners[3 * k + 1];
        const vector3& c = carve.removed_corners[3 * k + 2];
        const float wanted = TriangleArea(a, b, c) * density;
        if (!(wanted >= 1.0f)) continue;
        const std::size_t left = kMaxParticlesPerBurst - (out.size() - first);
        const std::size_t n = std::min(static_cast<std::size_t>(std::min(wanted, 1e9f)), left);
        for (std::size_t i = 0; i < n; ++i) {
            const double u = 0.975 * Draw() + 0.005;
            const double v = (0.99 - u - 0.005) * Draw() + 0.005;
            const double w = 1.0 - (u + v);
            ParticleSource::ParticleDesc p;
            p.position = vector3(static_cast<float>(u * a.x + v * b.x + w * c.x),
                                 static_cast<float>(u * a.y + v * b.y + w * c.y),
                                 static_cast<float>(u * a.z + v * b.z + w * c.z));
            out.push_back(p);
        }
    }
}

void FillLavaDisc(const vector3& centre, float radius, float spacing,
                  std::vector<ParticleSource::ParticleDesc>& out) {
    if (!std::isfinite(radius)) radius = 0.0f;
    const double q = static_cast<double>(radius / spacing) + 0.5;
    unsigned rings = 3;
    if (q >= 1.0) rings = q < 1e6 ? static_cast<unsigned>(q) : 1000000u;
    // The rings that fit into a burst.
    unsigned total = 1;
    unsigned fit = 0;
    while (fit < rings && total + RingSize(fit + 1) <= kMaxParticlesPerBurst) total += RingSize(++fit);
    if (fit < rings) {
        WarnCapped("a lava disc", rings < 100000 ? total + rings * RingSize(rings) : 4000000000u);
        rings = std::max(fit, 1u);
    }
    const float step = radius / static_cast<float>(rings);

    ParticleSource::ParticleDesc p;
    p.position = centre;
    out.push_back(p);
    for (unsigned k = 1; k <= rings; ++k) {
        const float rk = static_cast<float>(k) * step;
        const unsigned m = RingSize(k);
        for (unsigned j = 0; j < m; ++j) {
            const double angle = static_cast<double>(static_cast<float>(j) / static_cast<float>(m)) * kTwoPi;
            p.position = vector3(centre.x + static_cast<float>(std::sin(angle) * rk),
                                 centre.y + static_cast<float>(std::cos(angle) * rk), centre.z);
            out.push_back(p);
        }
    }
}

void LevelScene::init_effects() {
    Engine& engine = Engine::instance();
    screen_size_ = vector2(static_cast<float>(engine.screen_width()), static_cast<float>(engine.screen_height()));
    engine.create_render_target("lava", static_cast<int>(screen_size_.x), static_cast<int>(screen_size_.y), false);

    if (preprocess_effect_.valid) preprocess_effect_ = engine.free_effect(preprocess_effect_);
    EffectDesc preprocess;
    preprocess.name = "fluid_preprocess";
    preprocess_effect_ = engine.create_effect(preprocess);
    if (!preprocess_effect_.valid) throw Error("Couldn't create effect: 'fluid_preprocess'");

    const MatchConfig& config = settings();
    // The fluid's own texture is sampled at world coordinates and the
    // modulation at a changing scale: both repeat.
    auto texture = [](const std::string& name) {
        SmartPtr<Texture> t = GetTexture(name);
        t->set_repeated(true);
        t->set_smooth(true);
        return t;
    };
    auto fluid_effect = [&](EffectHandle& effect, const std::string& own_texture) {
        if (effect.valid) effect = engine.free_effect(effect);
        EffectDesc desc;
        desc.name = "fluid_shader";
        desc.textures.push_back(texture(own_texture));
        desc.textures.push_back(engine.render_target_texture("lava"));
        desc.textures.push_back(texture("basic_modulation.png"));
        desc.parameters["modulator"] = Variant(vector2(1.0f, 1.0f));
        effect = engine.create_effect(desc);
        if (!effect.valid) throw Error("Couldn't create effect: 'fluid_shader'");
    };
    fluid_effect(lava_effect_, config.area.lavaTexture);
    fluid_effect(stone_effect_, config.area.diffuseTexture2);
}

Entity* LevelScene::finish_fluid(std::unique_ptr<FluidEntity> fluid, bool lava, double delay) {
    if (!(lava ? lava_effect_ : stone_effect_).valid) init_effects();
    fluid->fluid_behavior()->set_effect(lava ? lava_effect_ : stone_effect_);
    fluid->add_behavior<behaviors::KillSelf>("killSelf")->timer = NotNegative(delay);
    // Never at rest: the turn waits for the fluid, the camera follows it.
    fluid->add_behavior<behaviors::Rest>("rest")->keep_awake = true;
    FluidEntity* added = fluid.get();
    add_entity(fluid.release(), true);
    return added;
}

Entity* LevelScene::create_stone_fluid(const CarveResult& carve) {
    const MatchConfig& config = settings();
    new_stone_particles_.clear();
    ScatterOverRemovedTriangles(carve, config.stoneParticleDesc.numParticlesPerSquare,
                                -std::numeric_limits<float>::infinity(), kLavaThreshold, new_stone_particles_);
    if (new_stone_particles_.empty()) return nullptr;

    const float uv = static_cast<float>(static_cast<double>(config.area.uvScale) * 0.1);
    return finish_fluid(NewFluid(config.stoneParticleDesc, uv, new_stone_particles_), false,
                        config.stoneParticleDesc.maxLiveTime);
}

Entity* LevelScene::create_lava_fluid(const CarveResult& carve) {
    const MatchConfig& config = settings();
    const float radius = ParticleRadius(config.lavaDesc);
    const float density = static_cast<float>(1.5 / (static_cast<double>(radius) * radius));
    new_lava_particles_.clear();
    ScatterOverRemovedTriangles(carve, density, kLavaThreshold, std::numeric_limits<float>::infinity(),
                                new_lava_particles_);
    if (new_lava_particles_.empty()) return nullptr;

    std::unique_ptr<FluidEntity> entity =
        NewFluid(config.lavaDesc, config.area.lavaTextureScale * config.area.uvScale, new_lava_particles_);
    vo::Fluid& fluid = entity->fluid_behavior()->fluid();

    // Lava keeps running out of the rock that the hole exposed: emitters
    // along every new lava edge, each releasing one particle per base
    // interval for the emission time.
    double emission_time = 0.0;
    const std::size_t edges = std::min(carve.lava_edges.size() / 2, carve.lava_edge_normals.size());
    if (edges > 0) {
        const double duration = NotNegative(config.lavaEmissionDuration);
        SmartPtr<SimpleParticleSource> source(new SimpleParticleSource());
        source->set_deactivation_timer(static_cast<float>(duration));
        const float spacing = 1.5f * radius;
        const float speed = config.lavaEmissionVelocity;
        vector3 outflow(0.0f, 0.0f, 0.0f);
        for (std::size_t j = 0; j < edges; ++j) {
            const vector3& a = carve.lava_edges[2 * j];
            const vector3& b = carve.lava_edges[2 * j + 1];
            const vector3& normal = carve.lava_edge_normals[j];
            outflow += normal;
            const float length = std::sqrt(LengthSquared(Minus(b, a)));
            if (!std::isfinite(length)) continue;
            const unsigned room = kMaxParticlesPerBurst - source->num_emitters();
            unsigned m = std::min(static_cast<unsigned>(std::min(length / spacing, 1e9f)), room);
            if (m < 1 && room > 0) m = 1;
            const vector3 d = Minus(b, a);
            const float parts = static_cast<float>(m + 1);
            const vector3 step(d.x / parts, d.y / parts, d.z / parts);
            vector3 at = a;
            for (unsigned i = 0; i < m; ++i) {
                at += step;
                source->add_emitter(at, Scaled(normal, speed));
            }
        }
        // Every emitter releases one particle per base interval, the source
        // no more than a burst's worth over its life.
        double interval = config.lavaEmissionBaseInterval / std::max(1u, source->num_emitters());
        interval = std::max(interval, duration / kMaxParticlesPerBurst);
        source->set_interval(interval);
        fluid.add_source(source);

        // The texture of newly emitted lava drifts against the outflow.
        const float l = std::sqrt(LengthSquared(outflow));
        const float dx = l > 0.0f ? outflow.x / l : outflow.x;
        const float dy = l > 0.0f ? outflow.y / l : outflow.y;
        fluid.set_uv_velocity(vector2(-config.lavaEmissionUVSpeed * dx, -config.lavaEmissionUVSpeed * dy));
        emission_time = duration;
    }

    return finish_fluid(std::move(entity), true, NotNegative(config.lavaDesc.maxLiveTime) + emission_time);
}

Entity* LevelScene::create_lava_explosion(const vector3& centre, float radius) {
    const MatchConfig& config = settings();
    const float density_inv = std::max(config.lavaDesc.explosionDensityInv, kSmallestSize);
    new_lava_particles_.clear();
    FillLavaDisc(centre, radius, density_inv * ParticleRadius(config.lavaDesc), new_lava_particles_);

    return finish_fluid(
        NewFluid(config.lavaDesc, config.area.lavaTextureScale * config.area.uvScale, new_lava_particles_),
        true, static_cast<float>(config.lavaDesc.maxLiveTime));
}

}  // namespace vo

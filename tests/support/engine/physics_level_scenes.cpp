#include "support/engine/physics_level_scenes.h"

#include <cmath>
#include <random>

#include "engine/physics/soft_body_circle.h"
#include "engine/scene/octree.h"
#include "support/engine/physics_scenes.h"

namespace vo_test {

namespace {

constexpr double kTwoPi = 6.283185307179586;

vo::vector3 OnCircle(const vo::vector3& c, float r, int i, int n) {
    const double a = kTwoPi * i / n;
    return vo::vector3(c.x + r * static_cast<float>(std::cos(a)), c.y + r * static_cast<float>(std::sin(a)), 0.0f);
}

// n points on a circle; clockwise runs open the inside, anticlockwise the
// outside.
void AddLoop(LevelBuilder& level, const vo::vector3& c, float r, int n, bool clockwise) {
    const int first = static_cast<int>(level.points.size());
    for (int i = 0; i < n; ++i) level.points.push_back(OnCircle(c, r, clockwise ? -i : i, n));
    for (int i = 0; i < n; ++i) {
        level.indices.push_back(first + i);
        level.indices.push_back(first + (i + 1) % n);
    }
}

}  // namespace

void LevelBuilder::add_cave_ring(const vo::vector3& center, float radius, int segments) {
    AddLoop(*this, center, radius, segments, true);
}

void LevelBuilder::add_rock(const vo::vector3& center, float radius, int segments) {
    AddLoop(*this, center, radius, segments, false);
}

void LevelBuilder::add_edge(const vo::vector3& a, const vo::vector3& b) {
    const int first = static_cast<int>(points.size());
    points.push_back(a);
    points.push_back(b);
    indices.push_back(first);
    indices.push_back(first + 1);
}

void LevelBuilder::add_floor(float y, float x0, float x1) {
    add_edge(vo::vector3(x1, y, 0.0f), vo::vector3(x0, y, 0.0f));
}

vo::SmartPtr<vo::Node> LevelBuilder::build_tree() const {
    if (indices.empty()) return vo::SmartPtr<vo::Node>();
    return vo::CreateOctree(points.data(), static_cast<unsigned int>(points.size()), indices.data(),
                            static_cast<unsigned int>(indices.size()), 2, nullptr, 6, 2, true, 2);
}

void CollisionRecorder::handle_game_event(const vo::GameEvent& event) {
    if (const auto* hit = dynamic_cast<const vo::EntityWorldCollisionEvent*>(&event)) {
        world_hits.push_back(WorldHit{hit->velocity, hit->normal});
        log().emplace_back(hit->entity, event.type);
    } else if (const auto* c = dynamic_cast<const vo::EntityEntityCollisionEvent*>(&event)) {
        contacts.push_back(Contact{c->entity1, c->entity2, c->velocity1, c->center1, c->velocity2, c->center2});
        log().emplace_back(c->entity1, event.type);
    }
}

std::vector<std::pair<vo::Entity*, unsigned int>>& CollisionRecorder::log() {
    static std::vector<std::pair<vo::Entity*, unsigned int>> events;
    return events;
}

vo::SoftBodyDesc SlobDesc() {
    vo::SoftBodyDesc d = DefaultCircleDesc();
    d.rigidity = 0.5f;
    return d;
}

namespace {

// Emits per_step particles per step, taking its spouts in turn, until it has
// emitted count.
class PourSource : public vo::ParticleSource {
public:
    PourSource(std::vector<vo::vector3> spouts, int per_step, int count)
        : spouts_(std::move(spouts)), per_step_(per_step), left_(count) {}

protected:
    void generate_particles(double, std::vector<ParticleDesc>& out) override {
        for (int k = 0; k < per_step_ && left_ > 0; ++k, --left_) {
            ParticleDesc d;
            d.position = spouts_[next_];
            d.velocity = vo::vector3(0.0f, -1.0f, 0.0f);
            out.push_back(d);
            next_ = (next_ + 1) % spouts_.size();
        }
    }

private:
    std::vector<vo::vector3> spouts_;
    int per_step_;
    int left_;
    std::size_t next_ = 0;
};

}  // namespace

vo::ParticleHandler::ParticleDesc LavaDesc() {
    vo::ParticleHandler::ParticleDesc d;
    d.friction = 10.0f;
    d.hardness = 0.2f;
    d.particlesInteract = true;
    d.particleRadius = 0.5f;
    d.repulsionForce = 100.0f;
    d.repulsionMagnifier = 10.0f;
    d.attractionRadius = 0.75f;
    d.attractionForce = 5.0f;
    d.velocityInteraction = 10.0f;
    d.softbodyRepulsionForce = 0.1f;
    d.damagePerSecond = 1.0f;
    d.minLiveTime = 0.0;
    d.maxLiveTime = 0.0;
    d.massInv = 1.0;
    return d;
}

PhysicsScene::PhysicsScene() = default;

PhysicsScene::~PhysicsScene() {
    // Unregister before the bodies go.
    handler.clear();
}

void PhysicsScene::install_level() { handler.set_collision_tree(level.build_tree()); }

Slob& PhysicsScene::add_slob(const vo::vector3& center, const vo::SoftBodyDesc& desc, bool with_health) {
    auto slob = std::make_unique<Slob>();
    slob->entity = std::make_unique<vo::Entity>();
    slob->events = slob->entity->add_behavior<CollisionRecorder>();
    if (with_health) slob->health = slob->entity->add_behavior<vo::behaviors::Health>();
    slob->entity->initialize();
    slob->body = std::make_unique<vo::SoftBody>();
    BuildCircleBody(*slob->body, desc, center);
    handler.add(slob->body.get(), slob->entity.get());
    slobs.push_back(std::move(slob));
    return *slobs.back();
}

vo::ParticleHandler& PhysicsScene::add_lava(const vo::ParticleHandler::ParticleDesc& desc) {
    lava = std::make_unique<vo::ParticleHandler>();
    lava->set_particle_desc(desc);
    lava_entity = std::make_unique<vo::Entity>();
    handler.add(lava.get(), lava_entity.get());
    return *lava;
}

void PhysicsScene::add_lava_block(const vo::vector3& lower_left, int columns, int rows, float spacing) {
    std::vector<vo::ParticleSource::ParticleDesc> descs;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            vo::ParticleSource::ParticleDesc d;
            d.position = vo::vector3(lower_left.x + c * spacing, lower_left.y + r * spacing, 0.0f);
            descs.push_back(d);
        }
    }
    lava->create_particles(static_cast<unsigned int>(descs.size()), descs.data());
}

void PhysicsScene::step(int count) {
    for (int i = 0; i < count; ++i) {
        handler.update(kStep);
        time_ += kStep;
    }
}

void BuildDropScene(PhysicsScene& scene) {
    scene.level.add_floor(0.0f, -20.0f, 20.0f);
    scene.install_level();
    scene.add_slob(vo::vector3(0.0f, 6.0f, 0.0f), SlobDesc());
}

void BuildCaveRing(PhysicsScene& scene) {
    scene.level.add_cave_ring(vo::vector3(), kCaveRadius, 500);
    scene.install_level();
}

void BuildCavePile(PhysicsScene& scene, int count) {
    BuildCaveRing(scene);
    for (int i = 0; i < count; ++i) {
        const float x = -5.0f + 2.5f * static_cast<float>(i % 5);
        const float y = 7.0f - 2.5f * static_cast<float>(i / 5);
        scene.add_slob(vo::vector3(x, y, 0.0f), SlobDesc());
    }
}

void BuildLavaBowl(PhysicsScene& scene, int count) {
    scene.level.add_cave_ring(vo::vector3(), kBowlRadius, 500);
    scene.install_level();
    scene.add_lava(LavaDesc());
    std::vector<vo::vector3> spouts;
    for (int k = 0; k < 5; ++k) spouts.emplace_back(-4.0f + 2.0f * static_cast<float>(k), -kBowlRadius + 12.0f, 0.0f);
    scene.lava->add_source(vo::SmartPtr<vo::ParticleSource>(new PourSource(spouts, kPourPerStep, count)));
}

void BuildGameScene(PhysicsScene& scene, int particles, bool pooled) {
    const float cave = 60.0f;
    scene.level.add_cave_ring(vo::vector3(), cave, 1500);
    struct Rock {
        float x, y, r;
    };
    const Rock rocks[] = {{-40, -20, 5}, {-20, -25, 6}, {0, -20, 5.5f}, {20, -25, 6}, {40, -20, 5},
                          {-40, 15, 6},  {-20, 20, 5},  {0, 15, 6.5f},  {20, 20, 5}, {40, 15, 6}};
    for (const Rock& r : rocks) scene.level.add_rock(vo::vector3(r.x, r.y, 0.0f), r.r, 150);
    scene.install_level();

    for (const Rock& r : rocks) scene.add_slob(vo::vector3(r.x, r.y + r.r + 1.1f, 0.0f), SlobDesc());
    const float floor_x[] = {-35, -30, -25, 25, 30, 35};
    for (float x : floor_x) {
        const float floor_y = -std::sqrt(cave * cave - x * x);
        scene.add_slob(vo::vector3(x, floor_y + 1.2f, 0.0f), SlobDesc());
    }

    vo::ParticleHandler::ParticleDesc lava = LavaDesc();
    scene.add_lava(lava);
    std::vector<vo::ParticleSource::ParticleDesc> descs;
    if (pooled) {
        const int columns = 60;
        for (int k = 0; k < particles; ++k) {
            vo::ParticleSource::ParticleDesc d;
            d.position = vo::vector3(-12.0f + 0.4f * static_cast<float>(k % columns),
                                     -58.0f + 0.4f * static_cast<float>(k / columns), 0.0f);
            descs.push_back(d);
        }
    } else {
        std::mt19937 rng(2024);
        std::uniform_real_distribution<float> coord(-cave, cave);
        while (static_cast<int>(descs.size()) < particles) {
            const vo::vector3 p(coord(rng), coord(rng), 0.0f);
            if (p.x * p.x + p.y * p.y > (cave - 2.0f) * (cave - 2.0f)) continue;
            bool clear = true;
            for (const Rock& r : rocks) {
                const float dx = p.x - r.x, dy = p.y - r.y;
                if (dx * dx + dy * dy < (r.r + 3.5f) * (r.r + 3.5f)) clear = false;
            }
            if (!clear) continue;
            vo::ParticleSource::ParticleDesc d;
            d.position = p;
            descs.push_back(d);
        }
    }
    scene.lava->create_particles(static_cast<unsigned int>(descs.size()), descs.data());
}

std::vector<vo::vector3> AllPositions(const PhysicsScene& scene) {
    std::vector<vo::vector3> out;
    for (const auto& s : scene.slobs) {
        for (int i = 0; i < s->body->num_points(); ++i) out.push_back(s->body->point_get_coords(i));
    }
    if (scene.lava) {
        for (unsigned int i = 0; i < scene.lava->num_particles(); ++i) out.push_back(scene.lava->position(i));
    }
    return out;
}

}  // namespace vo_test

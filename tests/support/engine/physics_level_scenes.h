#pragma once

#include <memory>
#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/physics/collision_events.h"
#include "engine/physics/particle_handler.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_desc.h"
#include "engine/scene/behavior.h"
#include "engine/scene/entity.h"
#include "engine/scene/health.h"
#include "engine/scene/scene_node.h"

// Physics scenes shared by the physics-step tests and benchmarks: levels of
// edges, slobs with entities, lava, and whole scenes stepped through
// PhysicsHandler::update.
namespace vo_test {

// Level edges whose front faces the open space, built into a collision tree
// the way the game builds its level's tree.
class LevelBuilder {
public:
    // A closed ring with the open space inside.
    void add_cave_ring(const vo::vector3& center, float radius, int segments);
    // A closed loop with the open space outside.
    void add_rock(const vo::vector3& center, float radius, int segments);
    // The edge from a to b; its front is on the right-hand side of the way
    // from a to b (y up).
    void add_edge(const vo::vector3& a, const vo::vector3& b);
    // A horizontal floor from x0 to x1 at height y, open above.
    void add_floor(float y, float x0, float x1);

    int num_edges() const { return static_cast<int>(indices.size() / 2); }
    // Depth 6, at most two edges per leaf, placed by centroid, split in x
    // and y only; an empty handle without edges.
    vo::SmartPtr<vo::Node> build_tree() const;

    std::vector<vo::vector3> points;
    std::vector<int> indices;
};

// A soft body's entity: records the collision events and may carry Health.
class CollisionRecorder : public vo::IBehavior {
public:
    struct Contact {
        vo::Entity* self;
        vo::Entity* other;
        vo::vector3 velocity_self;
        vo::vector3 center_self;
        vo::vector3 velocity_other;
        vo::vector3 center_other;
    };
    struct WorldHit {
        vo::vector3 velocity;
        vo::vector3 normal;
    };

    IBehavior* clone() const override { return new CollisionRecorder(); }
    bool accepts_game_events() const override { return true; }
    void handle_game_event(const vo::GameEvent& event) override;

    std::vector<Contact> contacts;
    std::vector<WorldHit> world_hits;
    // Every event in arrival order, by type id, across all recorders.
    static std::vector<std::pair<vo::Entity*, unsigned int>>& log();
};

struct Slob {
    std::unique_ptr<vo::Entity> entity;
    std::unique_ptr<vo::SoftBody> body;
    CollisionRecorder* events = nullptr;
    vo::behaviors::Health* health = nullptr;  // null without a Health behavior
};

// The slob of the scenes: the default description (a ring of 12 points of
// radius 1) with rigidity 0.5, which lets a slob come to rest.
vo::SoftBodyDesc SlobDesc();

// The game's lava description with particles that never die.
vo::ParticleHandler::ParticleDesc LavaDesc();

// A scene: a physics handler with its level, slobs and lava. The handler is
// stepped at 60 Hz.
class PhysicsScene {
public:
    static constexpr double kStep = 1.0 / 60.0;

    PhysicsScene();
    ~PhysicsScene();
    PhysicsScene(const PhysicsScene&) = delete;
    PhysicsScene& operator=(const PhysicsScene&) = delete;

    // Builds the tree of the level and hands it to the handler.
    void install_level();
    // A slob built from desc around center, registered.
    Slob& add_slob(const vo::vector3& center, const vo::SoftBodyDesc& desc, bool with_health = true);
    // A registered lava handler (one per scene).
    vo::ParticleHandler& add_lava(const vo::ParticleHandler::ParticleDesc& desc);
    // columns x rows particles at rest on a square lattice, lower left first.
    void add_lava_block(const vo::vector3& lower_left, int columns, int rows, float spacing);

    void step(int count = 1);
    double time() const { return time_; }

    vo::PhysicsHandler handler;
    LevelBuilder level;
    std::vector<std::unique_ptr<Slob>> slobs;
    std::unique_ptr<vo::ParticleHandler> lava;
    std::unique_ptr<vo::Entity> lava_entity;

private:
    double time_ = 0.0;
};

// The scenes of the tests and benchmarks.

// One slob 5 units above a floor at y = 0.
void BuildDropScene(PhysicsScene& scene);
// The closed cave ring of the pile: radius 12 around the
// origin, 500 edges.
constexpr float kCaveRadius = 12.0f;
void BuildCaveRing(PhysicsScene& scene);
// The cave ring with count slobs dropped in from its upper half.
void BuildCavePile(PhysicsScene& scene, int count);
// A bowl: a cave ring of radius 20 around the origin, 500 edges, into which
// count lava particles (never dying) are poured, kPourPerStep per step from
// five spouts 12 units above its bottom.
constexpr float kBowlRadius = 20.0f;
constexpr int kPourPerStep = 2;
void BuildLavaBowl(PhysicsScene& scene, int count);
// A level of about 3000 edges (a cave ring of radius 60 and ten rocks in
// it), 16 slobs resting on rocks and the cave floor, and count lava
// particles: in one pool at the bottom (pooled) or spread over the whole
// cave (not pooled).
void BuildGameScene(PhysicsScene& scene, int particles, bool pooled);

// Every particle position (bodies and lava) of the scene, in a fixed order.
std::vector<vo::vector3> AllPositions(const PhysicsScene& scene);

}  // namespace vo_test

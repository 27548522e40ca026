#pragma once

#include <list>
#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/physics/level_edges.h"
#include "engine/physics/particle_grid.h"
#include "engine/physics/particle_handler.h"
#include "engine/scene/scene_node.h"

namespace vo {

class Entity;
class SoftBody;

// How a pair of soft bodies is kept from colliding (the numbers are stored
// with the pair).
enum CollisionIgnoreCondition {
    // What a lookup yields for a pair that is not recorded.
    COLLISION_IGNORE_NONE = 0,
    // The two never collide while both are registered.
    COLLISION_IGNORE_ALWAYS = 1,
    // The two do not collide until their bounding spheres stop overlapping;
    // then the pair is forgotten.
    COLLISION_IGNORE_UNTIL_APART = 2,
};

// One scene's simulation step. Owners register their soft bodies and fluid
// particle handlers together with the entity that receives their collision
// events; the level's collision tree (two-dimensional edges whose front
// faces the open space) is handed in once it exists.
//
// A step moves the fluid, lets its particles push each other and the soft
// bodies, moves the soft bodies, resolves contacts between bodies and with the
// level's edges, records every body's contact state and delivers
// "entityWorldCollision" and "entityEntityCollision" events at once to the
// owning entities. Nothing called during a step may register, unregister or
// delete objects of this handler.
//
// The handler neither owns the registered objects nor their entities; owners
// unregister them before destroying them. It cannot be copied.
class PhysicsHandler {
public:
    struct IgnoredBody {
        SoftBody* other;
        CollisionIgnoreCondition condition;
    };

    PhysicsHandler();
    PhysicsHandler(const PhysicsHandler&) = delete;
    PhysicsHandler& operator=(const PhysicsHandler&) = delete;
    ~PhysicsHandler();

    // Appends an entry; registration order is the order of every stage. Not
    // checked for duplicates.
    void add(ParticleHandler* handler, Entity* entity);
    void add(SoftBody* body, Entity* entity);
    // Unregisters the first entry of the object; nothing when it is not
    // registered. Removing a soft body also forgets every pair naming it.
    void remove(ParticleHandler* handler);
    void remove(SoftBody* body);
    // Unregisters everything and releases the collision tree; gravity stays.
    void clear();

    // Without a tree nothing collides with the level. The handler keeps a
    // copy of the tree's edges (see LevelEdges) until the tree changes: a
    // change made through the nodes' own operations anywhere in the tree is
    // seen by the next collision test (see Node's revisions), so the owner
    // may replace or edit parts of the tree in place, e.g. give the group
    // handed in here a new child after every carve, without calling this
    // again.
    void set_collision_tree(SmartPtr<Node> tree);
    vector3 get_gravity() const { return gravity_; }
    void set_gravity(const vector3& g) { gravity_ = g; }

    // Records the pair in both bodies' lists; a pair already recorded keeps
    // its first condition; COLLISION_IGNORE_NONE records nothing. Throws
    // Error, recording nothing, when either body is not registered.
    void ignore_collisions(SoftBody* a, SoftBody* b, CollisionIgnoreCondition condition);
    // The pairs recorded for a registered body in insertion order; null when
    // it is not registered.
    const std::vector<IgnoredBody>* ignore_list(const SoftBody* body) const;

    // The next step does not sweep the body's particles from where they were:
    // for a body moved by hand. No level collision happens for it in that
    // step.
    void ignore_previous_state(SoftBody* body);
    // Recorded, but the particle stage always sweeps from the handler's own
    // last positions.
    void ignore_previous_state(ParticleHandler* handler);

    // Multiplies every soft-body particle's velocity by f.
    void damp_softbodies(float f);

    // One step of dt seconds. A dt that is not above 0 or not finite does
    // nothing.
    void update(double dt);

protected:
    struct SoftBodyStateInfo {
        std::vector<vector3> previous_positions;  // particle positions at the start of the step
        bool touched_body = false;                // took part in a body contact this step
        vector3 contact_direction;                // sum of (own centre - other centre) over the contacts
        vector3 velocity_before_step;
        bool ignore_previous_state = false;
    };
    struct ParticleHandlerStateInfo {
        std::vector<vector3> previous_positions;  // one per slot
        bool ignore_previous_state = false;
    };

    template <class Body, class StateInfo>
    struct Entry {
        Body* body = nullptr;
        Entity* entity = nullptr;
        StateInfo info;
        typename std::list<Entry*>::iterator list_position;
        std::vector<IgnoredBody> ignore_list;  // soft bodies only
    };
    using SoftBodyEntry = Entry<SoftBody, SoftBodyStateInfo>;
    using ParticleHandlerEntry = Entry<ParticleHandler, ParticleHandlerStateInfo>;

    // Sweeps every active particle of h from previous_positions (one per
    // slot) to where it is now against the level's edges: a particle that
    // hits an edge from its front is put back in front of it, its motion
    // and velocity bent by the fluid's friction and hardness, up to three
    // times; one that would pass a fourth edge is put back to its start.
    // True when any particle hit.
    bool resolve_geometry_collisions(ParticleHandler& h, float dt, vector3* previous_positions);
    // The same for a soft body's particles, mirrored at the edges and scaled
    // by the body's friction; with rigidity, the particles that hit nothing
    // take over part of the mean velocity of those that did. normal_out (may
    // be null) receives the unit sum of the normals of the edges hit.
    bool resolve_geometry_collisions(SoftBody& body, vector3* previous_positions, vector3* normal_out);
    // Contact between two registered soft bodies: honours the ignore lists,
    // pushes the penetrating border points back behind a contact plane
    // weighted by the bodies' inertia, sends both entities an
    // "entityEntityCollision" event and then equalizes the normal velocities
    // of the points pushed. True when a contact was resolved.
    bool resolve_inter_body_collisions(SoftBodyEntry* a, SoftBodyEntry* b);

    // The fluid stages.
    // The radius around a particle of the description within which the
    // pair rule looks for neighbours.
    static float PairSearchRadius(const ParticleHandler::ParticleDesc& d);
    void adjust_fluid_velocities(double dt);
    // The pair rule's force on each of the count neighbours found of grid
    // entry k, into pair_fx_, pair_fy_ and pair_kind_.
    void work_out_pair_forces(std::size_t k, unsigned int count, const unsigned int* found);
    void push_fluid_against_body(SoftBodyEntry& entry, double dt);

    // The condition of the first pair naming other, or COLLISION_IGNORE_NONE.
    static CollisionIgnoreCondition lookup_ignore(const std::vector<IgnoredBody>& list, const SoftBody* other);
    static void forget_pairs_naming(std::vector<IgnoredBody>& list, const SoftBody* other);

    SoftBodyEntry* find_entry(const SoftBody* body) const;
    ParticleHandlerEntry* find_entry(const ParticleHandler* handler) const;
    std::list<SoftBodyEntry*>& get_entry_list(SoftBody*) { return soft_bodies_; }
    std::list<ParticleHandlerEntry*>& get_entry_list(ParticleHandler*) { return particle_handlers_; }

    ParticleGrid& particle_grid() { return grid_; }
    // With on, the fluid's neighbours are searched in the grid's cells
    // whole rather than in the sub-cells of its crowded cells; the results
    // are the same.
    void search_whole_cells(bool on) { search_whole_cells_ = on; }
    const LevelEdges& level_edges() const { return level_; }

private:
    struct SweepHit {
        float t;
        float hx, hy;  // where the path meets the edge
        float nx, ny;
    };

    // The first edge that the path from (sx, sy) by (dx, dy) crosses from its
    // front, up to a little beyond its end.
    bool sweep(float sx, float sy, float dx, float dy, SweepHit& hit) const;

    std::list<SoftBodyEntry*> soft_bodies_;
    std::list<ParticleHandlerEntry*> particle_handlers_;
    SmartPtr<Node> collision_tree_;
    vector3 gravity_;
    ParticleGrid grid_;
    bool search_whole_cells_ = false;

    LevelEdges level_;  // the collision tree's edges, kept until the tree changes

    // Scratch space reused from step to step.
    std::vector<PreparedEdge> edges_;  // the edges of the last query
    // What the pair rule reads of every grid entry: its particle and
    // description, its stored point and radii.
    struct FluidRef {
        CParticle* particle;
        const ParticleHandler::ParticleDesc* desc;
    };
    std::vector<FluidRef> fluid_refs_;
    std::vector<float> fluid_x_, fluid_y_, fluid_radius_, fluid_attraction_;
    // The pair rule's outcome for each neighbour of one entry.
    static constexpr unsigned char kNoForce = 0, kRepel = 1, kAttract = 2;
    std::vector<float> pair_fx_, pair_fy_;  // the force on the neighbour
    std::vector<unsigned char> pair_kind_;
    std::vector<char> marks_;
    std::vector<int> contact_points_a_;
    std::vector<int> contact_points_b_;
};

}  // namespace vo

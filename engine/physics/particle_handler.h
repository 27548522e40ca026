#pragma once

#include <deque>
#include <vector>

#include "engine/core/aabox.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/physics/particle_collection.h"
#include "engine/physics/particle_source.h"
#include "engine/physics/phys_object.h"

namespace vo {

// A pool of free point particles with limited lifetimes: the engine's fluid.
//
// Particles live in slots. A slot whose particle's life has ended is free and
// is reused by the next particle created (the slot freed last first); slots
// are never compacted, so a particle keeps its index for its whole life and
// derived classes can keep per-slot data of their own. A free slot's particle
// stays in the collection and keeps being integrated; it is merely inactive.
//
// Every particle has a life window [start, end) on the handler's own clock,
// which advances in update; end 0 means the particle never dies.
class ParticleHandler : public IPhysicsObject {
public:
    // The fluid's parameters, read by the physics handler's collision and
    // fluid stages. The names are those of the configuration keys.
    struct ParticleDesc {
        float friction = 0.0f;          // drag against the level: higher keeps less speed
        float hardness = 0.0f;          // share of the normal speed kept by a bounce off the level
        bool particlesInteract = false;  // takes part in the particle grid, pair rule and body push
        float particleRadius = 0.0f;
        float repulsionForce = 0.0f;
        float repulsionMagnifier = 0.0f;  // repulsion added per neighbour
        float attractionRadius = 0.0f;
        float attractionForce = 0.0f;
        float velocityInteraction = 0.0f;     // viscosity of the velocity exchange
        float softbodyRepulsionForce = 0.0f;  // push away from soft bodies, per particle near one
        float damagePerSecond = 0.0f;         // health a body loses per second and particle near it
        double minLiveTime = 0.0;             // seconds
        double maxLiveTime = 0.0;             // seconds; a drawn life of 0 never ends
        double massInv = 0.0;                 // inverse mass of new particles
    };

    ParticleHandler();
    // The particle collection cannot be shared or copied; nothing copies a
    // handler.
    ParticleHandler(const ParticleHandler&) = delete;
    ParticleHandler& operator=(const ParticleHandler&) = delete;
    ~ParticleHandler() override;

    // Frees the particles whose life ended, creates the sources' particles,
    // then integrates every particle (one explicit Euler step) under its own
    // force plus the handler force; all forces are cleared afterwards. A dt
    // below 0 or not finite does nothing.
    void update(double dt) override;

    // Fills n slots from descs (n entries), reusing free slots first, then
    // calls particles_generated with the slots filled.
    void create_particles(unsigned int n, const ParticleSource::ParticleDesc* descs);
    // Sources run in the order added.
    void add_source(SmartPtr<ParticleSource> source);

    // Acts on every particle at the next update.
    void apply_force(const vector3& f) { force_ += f; }
    // Slot indices are not checked below.
    void add_force(unsigned int i, const vector3& f) { particles_.particle(static_cast<int>(i))->force += f; }

    // Ends the life of particle i now, as if it had run out: it is inactive
    // from now on and its slot is freed at the next update. Nothing for a
    // slot out of range or already free.
    void expire_particle(unsigned int i);

    bool is_active(unsigned int i) const { return is_active(i, time_); }
    unsigned int num_particles() const { return static_cast<unsigned int>(particles_.num_particles()); }
    // Slots minus free slots: counts particles whose life has not started yet.
    unsigned int num_active_particles() const {
        return num_particles() - static_cast<unsigned int>(free_slots_.size());
    }
    // The box of the active particles' positions; the zero box when none is
    // active.
    AABox calculate_bounding_box() const;

    vector3 position(unsigned int i) const { return particles_.particle(static_cast<int>(i))->position; }
    void set_position(unsigned int i, const vector3& p) { particles_.particle(static_cast<int>(i))->position = p; }
    vector3 velocity(unsigned int i) const { return particles_.particle(static_cast<int>(i))->velocity; }
    void set_velocity(unsigned int i, const vector3& v) { particles_.particle(static_cast<int>(i))->velocity = v; }
    // The particle's position before the last integration.
    vector3 last_position(unsigned int i) const { return last_positions_[i]; }
    vector2 texture_coordinate(unsigned int i) const { return texture_coordinates_[i]; }
    void set_texture_coordinate(unsigned int i, const vector2& uv) { texture_coordinates_[i] = uv; }

    const ParticleDesc& particle_desc() const { return desc_; }
    void set_particle_desc(const ParticleDesc& desc) { desc_ = desc; }

    float get_particle_damping() const { return particles_.get_particle_damping(); }
    // Clamped to 0 .. 1.
    void set_particle_damping(float d) { particles_.set_particle_damping(d); }
    float get_sticky_force() const { return particles_.get_sticky_force(); }
    void set_sticky_force(float f) { particles_.set_sticky_force(f); }
    // A particle slower than this when it hits the level sticks to it.
    float get_sticky_velocity() const { return sticky_velocity_; }
    void set_sticky_velocity(float v) { sticky_velocity_ = v; }
    void set_sticky(unsigned int i, bool on) { particles_.particle_set_sticky(static_cast<int>(i), on); }
    void enable_sticky_particles(bool on) { particles_.enable_sticky_particles(on); }
    bool sticky_particles_enabled() const { return particles_.sticky_particles_enabled(); }
    void clear_sticky_particles() { particles_.clear_sticky_particles(); }

    // The particles, for the physics handler's collision code.
    CParticleCollection& particle_collection() { return particles_; }
    const CParticleCollection& particle_collection() const { return particles_; }

    // The handler's clock in seconds.
    double time() const { return time_; }

protected:
    // Whether slot i's window holds time t (always, when it has no end).
    bool is_active(unsigned int i, double t) const;

    // Called by update with the slots it has just freed, before anything is
    // created.
    virtual void particles_to_be_freed(const std::vector<unsigned int>& slots);
    // Called once at the end of every create_particles with the slots filled,
    // in order, after their particles are set.
    virtual void particles_generated(const std::vector<unsigned int>& slots);

private:
    struct LifeWindow {
        double start = 0.0;
        double end = 0.0;  // 0: no end
    };

    void fill_slot(unsigned int slot, const ParticleSource::ParticleDesc& desc);

    double time_ = 0.0;
    vector3 force_;
    CParticleCollection particles_;
    std::vector<SmartPtr<ParticleSource>> sources_;
    std::vector<LifeWindow> windows_;
    std::vector<vector2> texture_coordinates_;
    std::vector<vector3> last_positions_;
    std::vector<unsigned int> generated_;
    std::vector<unsigned int> freed_;
    std::deque<unsigned int> free_slots_;  // a stack: the back is reused first
    std::vector<char> slot_is_free_;
    float sticky_velocity_ = 1.0f;
    ParticleDesc desc_;
};

}  // namespace vo

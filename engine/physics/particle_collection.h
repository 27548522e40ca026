#pragma once

#include <vector>

#include "engine/core/aabox.h"
#include "engine/core/vector.h"
#include "engine/physics/block_storage.h"
#include "engine/physics/particle.h"
#include "engine/physics/phys_object.h"

namespace vo {

// Owns a set of particles and steps them together over flat state arrays,
// with per-step velocity damping and sticky particles: a stuck particle has
// inverse mass 0 (its real one is parked in its sticky value) until the force
// on it exceeds the sticky force.
//
// Not copyable: only the interconnected collection defines a copy.
class CParticleCollection : public virtual IPhysObject {
public:
    CParticleCollection();
    CParticleCollection(const CParticleCollection&) = delete;
    CParticleCollection& operator=(const CParticleCollection&) = delete;
    ~CParticleCollection() override;

    // Deletes the particles, frees the arrays, zeroes the applied force and
    // releases the sticky state; damping, sticky force and the sticky switch
    // stay.
    virtual void clear();
    // Appends n particles at rest (inverse mass 1) and returns the index of
    // the first; -1 and no change when n < 1.
    virtual int create_particles(int n);

    int num_particles() const { return static_cast<int>(particles_.size()); }
    // Unchecked. A particle stays where it is until clear.
    CParticle* particle(int i) const { return particles_[static_cast<std::size_t>(i)]; }

    // The zero box without particles; otherwise the box of the positions.
    void calculate_bounding_box(AABox& box) const;

    float get_particle_damping() const { return particle_damping_; }
    // Clamped to 0 .. 1.
    void set_particle_damping(float d);

    float get_sticky_force() const { return sticky_force_; }
    void set_sticky_force(float f) { sticky_force_ = f; }
    // Off releases every stuck particle.
    void enable_sticky_particles(bool on);
    bool sticky_particles_enabled() const { return sticky_enabled_; }
    bool has_sticky_particles() const;
    bool particle_is_sticky(int i) const { return sticky_values_[static_cast<std::size_t>(i)] != 0.0f; }
    // Does nothing while sticky handling is off.
    void particle_set_sticky(int i, bool on);
    void clear_sticky_particles();
    // The particle's real inverse mass: the parked one while it is stuck.
    float particle_real_mass_inv(int i) const;

    // Force added to every particle in each force pass of the interconnected
    // collection.
    const vector3& applied_force() const { return applied_force_; }
    vector3& applied_force() { return applied_force_; }

    // The base step: damping, sticky release, then one explicit Euler step
    // with the force fields as they stand.
    void update_frame(double dt) override;

protected:
    void particles_to_state_array(float* s) const;
    void particles_to_deriv_array(float* d) const;
    void state_array_to_particles(const float* s);

    float* state_array() { return state_.data(); }
    float* deriv_array() { return deriv_.data(); }

    // The particles by index.
    std::vector<CParticle*>& particle_storage() { return particles_; }

private:
    vector3 applied_force_;
    BlockStorage<CParticle> storage_;
    std::vector<CParticle*> particles_;
    std::vector<float> sticky_values_;
    std::vector<float> state_;
    std::vector<float> deriv_;
    float particle_damping_ = 0.0f;
    float sticky_force_ = 0.0f;
    int sticky_count_ = 0;
    bool sticky_enabled_ = false;
};

}  // namespace vo

#pragma once

#include <list>
#include <vector>

#include "engine/core/vector.h"
#include "engine/physics/block_storage.h"
#include "engine/physics/particle_collection.h"
#include "engine/physics/spring.h"

namespace vo {

// A particle collection with springs between its particles, per-particle
// external forces and the integrator every soft body uses: two half steps per
// frame, each chaining three base steps and combining the four stage
// derivatives with the weights 1, 2, 2, 1, with outlying velocities and
// accelerations clamped.
class CInterconnectedParticleCollection : public CParticleCollection {
public:
    // The particle indices of an indexed spring's two ends.
    struct Index2 {
        int first = -1;
        int second = -1;
    };
    using AppendedSpringList = std::list<CSpring>;
    using AppendedSpringIterator = AppendedSpringList::iterator;

    CInterconnectedParticleCollection();
    // Copies the particles (at their real inverse mass) and the indexed
    // springs; see assign_interconnected_particle_collection.
    CInterconnectedParticleCollection(const CInterconnectedParticleCollection& other);
    CInterconnectedParticleCollection& operator=(const CInterconnectedParticleCollection& other);
    ~CInterconnectedParticleCollection() override;

    // Deletes the springs, the work arrays and the particle forces, then the
    // base clear. The spring index tuples remain.
    void clear() override;
    int create_particles(int n) override;
    // Appends n springs without ends and returns the index of the first; -1
    // when n < 1.
    virtual int create_springs(int n);

    void set_spring(int index, int a, int b, float default_length, float spring_constant, float damping_constant);
    void set_spring_default_length(int index, float v) { spring(index)->set_default_length(v); }
    void set_spring_spring_constant(int index, float v) { spring(index)->set_spring_constant(v); }
    void set_spring_damping_constant(int index, float v) { spring(index)->set_damping_constant(v); }
    // Unchecked. A spring stays where it is until the springs are deleted.
    CSpring* spring(int index) { return springs_[static_cast<std::size_t>(index)]; }
    const CSpring* spring(int index) const { return springs_[static_cast<std::size_t>(index)]; }
    const Index2* spring_particle_index_tupel(int index) const { return &tuples_[static_cast<std::size_t>(index)]; }
    int num_springs() const { return static_cast<int>(springs_.size()); }
    // Deletes the indexed springs; their index tuples remain.
    void delete_springs();

    // A spring from particle i to other, outside the indexed springs. It
    // takes part in every later force pass until removed.
    AppendedSpringIterator append_spring(int i, CParticle* other, float default_length, float spring_constant,
                                         float damping_constant);
    void remove_appended_spring(AppendedSpringIterator it);
    void delete_appended_springs();
    void remove_appended_springs() { delete_appended_springs(); }
    std::size_t num_appended_springs() const { return appended_.size(); }

    // Added to particle i's force in the force passes of the next update_frame.
    void particle_apply_force(int i, const vector3& f);

    // The particle that was at index i moves to order[i]; spring index tuples
    // follow. Springs keep their particle pointers; sticky values and
    // particle forces are not moved. order must be a permutation of
    // 0 .. order.size() - 1, with order.size() <= the particle count.
    void reorder_particles(const std::vector<int>& order);

    // The full integration step.
    void update_frame(double dt) override;

protected:
    // Every force from scratch: applied force plus particle force, then the
    // indexed springs in index order and the appended springs in list order.
    void calculate_forces();
    // The copy step: particles, their five fields and the indexed springs.
    void assign_interconnected_particle_collection(const CInterconnectedParticleCollection& other);

private:
    BlockStorage<CSpring> spring_storage_;
    std::vector<CSpring*> springs_;
    AppendedSpringList appended_;
    std::vector<Index2> tuples_;
    std::vector<vector3> particle_forces_;
    // Saved state and the four stage derivatives, 6 floats per particle each.
    std::vector<float> s0_, k1_, k2_, k3_, k4_;
    int work_size_ = 0;
};

}  // namespace vo

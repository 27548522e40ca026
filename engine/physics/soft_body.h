#pragma once

#include <vector>

#include "engine/core/aabox.h"
#include "engine/core/sparse_matrix.h"
#include "engine/core/sphere.h"
#include "engine/core/tween_machine.h"
#include "engine/core/vector.h"
#include "engine/physics/interconnected_particle_collection.h"
#include "engine/physics/phys_object.h"

namespace vo {

// The deformable body of the game: a mass-spring particle collection plus the
// geometry drawn and collided: points, texture coordinates per point,
// triangles over the points and null connections that tie helper points to
// other points.
//
// Point indices: border points 0 .. B-1, inner points B .. B+I-1, then the H
// helper points. Particles exist for the first B+I points, at the same
// indices; helper points are placed from the others after every step.
class SoftBody : public IPhysicsObject {
public:
    struct NullConnection {
        int a = 0;
        int b = 0;
    };
    using AppendedSpringIterator = CInterconnectedParticleCollection::AppendedSpringIterator;

    SoftBody();
    // Takes the other body's shape, springs, masses and a few settings; see
    // assign_soft_body for what is copied.
    SoftBody(const SoftBody& other);
    SoftBody& operator=(const SoftBody& other);
    ~SoftBody() override;

    // --- structure -------------------------------------------------------

    // Empties the body (particles, springs, points, triangles, null
    // connections); the mass inverse goes back to 1, other settings stay.
    void clear();
    // clear, then border + inner particles and room for border + inner +
    // helper points (their coordinates unset until written). Throws Error,
    // changing nothing, when a count is negative.
    void set_num_points(int border, int inner, int helper);

    int create_springs(int n) { return particles_.create_springs(n); }
    void set_spring(int index, int a, int b, float default_length, float spring_constant, float damping_constant) {
        particles_.set_spring(index, a, b, default_length, spring_constant, damping_constant);
    }
    void set_spring_default_length(int index, float v) { particles_.set_spring_default_length(index, v); }
    void set_spring_spring_constant(int index, float v) { particles_.set_spring_spring_constant(index, v); }
    void set_spring_damping_constant(int index, float v) { particles_.set_spring_damping_constant(index, v); }
    CSpring* spring(int index) { return particles_.spring(index); }
    const CSpring* spring(int index) const { return particles_.spring(index); }
    const CInterconnectedParticleCollection::Index2* spring_particle_index_tupel(int index) const {
        return particles_.spring_particle_index_tupel(index);
    }
    void delete_springs() { particles_.delete_springs(); }
    AppendedSpringIterator append_spring(int i, CParticle* other, float default_length, float spring_constant,
                                         float damping_constant) {
        return particles_.append_spring(i, other, default_length, spring_constant, damping_constant);
    }
    void remove_appended_spring(AppendedSpringIterator it) { particles_.remove_appended_spring(it); }
    void delete_appended_springs() { particles_.delete_appended_springs(); }
    void remove_appended_springs() { particles_.delete_appended_springs(); }

    void create_null_connection(int a, int b);
    NullConnection get_null_connection(int i) const { return null_connections_[static_cast<std::size_t>(i)]; }
    void get_null_connection(int i, NullConnection* out) const { *out = get_null_connection(i); }
    int num_null_connections() const { return static_cast<int>(null_connections_.size()); }

    void create_triangle(int a, int b, int c);
    void get_triangle(int i, int* a, int* b, int* c) const;
    const int* get_triangle_index_list() const { return triangles_.data(); }
    int num_triangles() const { return static_cast<int>(triangles_.size() / 3); }

    int num_border_points() const { return num_border_; }
    int num_inner_points() const { return num_inner_; }
    int num_helper_points() const { return num_helper_; }
    int num_points() const { return static_cast<int>(points_.size()); }
    int num_particles() const { return particles_.num_particles(); }
    int num_springs() const { return particles_.num_springs(); }

    // Renumbers the border points clockwise from the topmost one by walking
    // the triangles. False, with nothing changed, when there are fewer than
    // two border points or the triangles do not chain the border into one
    // outline.
    bool sort_boundary_points_clockwise();

    // --- points and particles (indices unchecked) ------------------------

    // Also moves particle i when point i has one.
    void point_set_coords(int i, const vector3& p);
    vector3 point_get_coords(int i) const { return points_[static_cast<std::size_t>(i)]; }
    void point_get_coords(int i, vector3* out) const { *out = point_get_coords(i); }
    void point_set_uv_coords(int i, float u, float v) { uvs_[static_cast<std::size_t>(i)] = vector2(u, v); }
    vector2 point_get_uv_coords(int i) const { return uvs_[static_cast<std::size_t>(i)]; }
    void point_get_uv_coords(int i, vector2* out) const { *out = point_get_uv_coords(i); }

    vector3 particle_get_velocity(int i) const { return particles_.particle(i)->velocity; }
    void particle_get_velocity(int i, vector3* out) const { *out = particle_get_velocity(i); }
    void particle_set_velocity(int i, const vector3& v) { particles_.particle(i)->velocity = v; }
    float particle_get_mass_inv(int i) const { return particles_.particle(i)->mass_inv; }
    void particle_set_mass_inv(int i, float m) { particles_.particle(i)->mass_inv = m; }
    void particle_apply_force(int i, const vector3& f) { particles_.particle_apply_force(i, f); }
    void particle_set_sticky(int i, bool on) { particles_.particle_set_sticky(i, on); }
    void enable_sticky_particles(bool on) { particles_.enable_sticky_particles(on); }
    bool has_sticky_particles() const { return particles_.has_sticky_particles(); }
    void clear_sticky_particles() { particles_.clear_sticky_particles(); }
    bool sticky_particles_enabled() const { return particles_.sticky_particles_enabled(); }

    // The body's particle collection, for the physics handler's collision
    // code and for callers that release stuck particles.
    CInterconnectedParticleCollection& particle_collection() { return particles_; }
    const CInterconnectedParticleCollection& particle_collection() const { return particles_; }

    // --- body level --------------------------------------------------------

    // Acts on every particle during the next update, then is zeroed.
    void apply_force(const vector3& f) { particles_.applied_force() += f; }
    // Mean particle velocity; zero without particles.
    vector3 get_velocity() const;
    // With skip_sticky, stuck particles keep their velocity.
    void set_velocity(const vector3& v, bool skip_sticky);
    // Mean of the border points; zero without border points.
    vector3 calculate_center() const;
    // Centre as calculate_center; radius to the farthest border point.
    Sphere calculate_bounding_sphere() const;
    void calculate_bounding_box(AABox& box) const { particles_.calculate_bounding_box(box); }

    // The share of speed a contact lets a particle keep, in 0 .. 1.
    float get_friction() const { return friction_; }
    // Sets the friction at rest and the current friction. Values above 1
    // would make every bounce gain energy and are stored as 1; values below
    // 0 (and NaN) as 0.
    void set_friction(float f);
    // Friction grows linearly from its value at rest to 1 at the given
    // speed. A speed <= 0 keeps the previous one.
    void scale_friction_with_velocity(bool on, float no_friction_velocity);
    bool scale_friction_enabled() const { return scale_friction_; }

    float get_mass_inv() const { return mass_inv_; }
    void set_mass_inv(float m) { mass_inv_ = m; }
    // 1e6 when the mass inverse is below 1e-6. No physics reads the mass.
    float get_mass() const;
    float get_inertia() const { return inertia_; }
    void set_inertia(float v) { inertia_ = v; }
    float get_rigidity() const { return rigidity_; }
    void set_rigidity(float v) { rigidity_ = v; }
    float get_particle_damping() const { return particles_.get_particle_damping(); }
    void set_particle_damping(float d) { particles_.set_particle_damping(d); }

    float get_default_sticky_force() const { return default_sticky_force_; }
    void set_default_sticky_force(float f);
    float get_sticky_force() const { return particles_.get_sticky_force(); }
    float get_default_sticky_velocity() const { return default_sticky_velocity_; }
    void set_default_sticky_velocity(float v) { default_sticky_velocity_ = v; }
    float get_sticky_velocity() const { return sticky_scale_ * default_sticky_velocity_; }
    float get_sticky_scale() const { return sticky_scale_; }
    // Fades the sticky scale to `scale` over `duration` seconds (smoothly,
    // starting now); a duration <= 0 cancels running fades and sets it at once.
    void set_sticky_scale(float scale, double duration);

    // Written by the collision pass in every step.
    void set_touches_something(bool ground, bool body, const vector3& normal);
    bool touches_ground() const { return touches_ground_; }
    bool touches_body() const { return touches_body_; }
    // Whether the last contact lies less than t seconds back.
    bool touched_ground(double t) const { return t > time_since_ground_touch_; }
    bool touched_body(double t) const { return t > time_since_body_touch_; }
    // The normal of the last contact; (0, 0, 0) before the first one.
    vector3 touch_normal() const { return touch_normal_; }

    // Tweens, friction scaling, the integration step, points from the
    // particles, the helper solve, then the contact timers.
    void update(double dt) override;

protected:
    void assign_soft_body(const SoftBody& other);
    void adjust_stickyness(float s);
    // Places the helper points by a least-squares solve: every particle point
    // pinned to its particle, every null connection asking its two points to
    // coincide (with the given weight).
    void optimize(float weight, float tolerance, int max_iterations);

private:
    CInterconnectedParticleCollection particles_;
    std::vector<int> triangles_;
    int num_border_ = 0;
    int num_inner_ = 0;
    int num_helper_ = 0;
    float mass_inv_ = 1.0f;
    float inertia_ = 1.0f;
    float base_friction_ = 0.25f;
    float friction_ = 0.25f;
    float default_sticky_velocity_ = 0.0f;
    float default_sticky_force_ = 0.0f;
    float sticky_scale_ = 1.0f;
    float rigidity_ = 0.0f;
    bool touches_ground_ = false;
    bool touches_body_ = false;
    vector3 touch_normal_;
    double time_since_ground_touch_ = 1e6;
    double time_since_body_touch_ = 1e6;
    float no_friction_velocity_ = -1.0f;
    bool scale_friction_ = false;
    std::vector<NullConnection> null_connections_;
    bool helper_solve_dirty_ = false;
    std::vector<vector2> uvs_;
    std::vector<vector3> points_;
    SparseMatrix solve_matrix_;
    std::vector<float> solve_x_;
    std::vector<float> solve_b_;
    TweenMachine tweens_;
};

}  // namespace vo

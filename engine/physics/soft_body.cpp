#include "engine/physics/soft_body.h"

#include <cmath>
#include <string>

#include "engine/core/error.h"

#include "engine/core/tweener.h"

namespace vo {

namespace {

constexpr float kHelperWeight = 0.1f;
constexpr float kHelperTolerance = 1e-6f;
constexpr int kHelperIterations = 10;

}  // namespace

SoftBody::SoftBody() : touch_normal_(0.0f, 0.0f, 0.0f) {
    particles_.set_sticky_force(sticky_scale_ * default_sticky_force_);
}

SoftBody::SoftBody(const SoftBody& other) : SoftBody() { assign_soft_body(other); }

SoftBody& SoftBody::operator=(const SoftBody& other) {
    if (this == &other) return *this;
    clear();
    assign_soft_body(other);
    return *this;
}

SoftBody::~SoftBody() { tweens_.clear(); }

void SoftBody::clear() {
    particles_.clear();
    triangles_.clear();
    uvs_.clear();
    points_.clear();
    null_connections_.clear();
    num_border_ = num_inner_ = num_helper_ = 0;
    helper_solve_dirty_ = true;
    mass_inv_ = 1.0f;
}

void SoftBody::set_num_points(int border, int inner, int helper) {
    if (border < 0 || inner < 0 || helper < 0) {
        throw Error("SoftBody::set_num_points: negative point count (" + std::to_string(border) + ", " +
                    std::to_string(inner) + ", " + std::to_string(helper) + ")");
    }
    clear();
    num_border_ = border;
    num_inner_ = inner;
    num_helper_ = helper;
    particles_.create_particles(border + inner);
    const std::size_t total = static_cast<std::size_t>(border + inner + helper);
    uvs_.resize(total);
    points_.resize(total);
    helper_solve_dirty_ = true;
}

void SoftBody::create_null_connection(int a, int b) {
    NullConnection c;
    c.a = a;
    c.b = b;
    null_connections_.push_back(c);
    helper_solve_dirty_ = true;
}

void SoftBody::create_triangle(int a, int b, int c) {
    triangles_.push_back(a);
    triangles_.push_back(b);
    triangles_.push_back(c);
}

void SoftBody::get_triangle(int i, int* a, int* b, int* c) const {
    const std::size_t k = static_cast<std::size_t>(i) * 3;
    *a = triangles_[k];
    *b = triangles_[k + 1];
    *c = triangles_[k + 2];
}

void SoftBody::point_set_coords(int i, const vector3& p) {
    points_[static_cast<std::size_t>(i)] = p;
    if (i < particles_.num_particles()) particles_.particle(i)->position = p;
}

vector3 SoftBody::get_velocity() const {
    const int n = particles_.num_particles();
    if (n == 0) return vector3(0.0f, 0.0f, 0.0f);
    vector3 sum(0.0f, 0.0f, 0.0f);
    for (int i = 0; i < n; ++i) sum += particles_.particle(i)->velocity;
    sum *= static_cast<float>(1.0 / n);
    return sum;
}

void SoftBody::set_velocity(const vector3& v, bool skip_sticky) {
    const int n = particles_.num_particles();
    for (int i = 0; i < n; ++i) {
        if (skip_sticky && particles_.particle_is_sticky(i)) continue;
        particles_.particle(i)->velocity = v;
    }
}

vector3 SoftBody::calculate_center() const {
    if (num_border_ < 1) return vector3(0.0f, 0.0f, 0.0f);
    vector3 sum(0.0f, 0.0f, 0.0f);
    for (int i = 0; i < num_border_; ++i) sum += points_[static_cast<std::size_t>(i)];
    sum *= 1.0f / static_cast<float>(num_border_);
    return sum;
}

Sphere SoftBody::calculate_bounding_sphere() const {
    const vector3 c = calculate_center();
    float largest = 0.0f;
    for (int i = 0; i < num_border_; ++i) {
        const vector3& p = points_[static_cast<std::size_t>(i)];
        const float dx = c.x - p.x;
        const float dy = c.y - p.y;
        const float dz = c.z - p.z;
        const float d2 = ((dx * dx + 0.0f) + dy * dy) + dz * dz;
        if (d2 > largest) largest = d2;
    }
    return Sphere(c, std::sqrt(largest));
}

void SoftBody::set_friction(float f) {
    if (!(f >= 0.0f)) {
        f = 0.0f;
    } else if (f > 1.0f) {
        f = 1.0f;
    }
    base_friction_ = f;
    friction_ = f;
}

void SoftBody::scale_friction_with_velocity(bool on, float no_friction_velocity) {
    scale_friction_ = on;
    if (no_friction_velocity > 0.0f) no_friction_velocity_ = no_friction_velocity;
}

float SoftBody::get_mass() const { return mass_inv_ < 1e-6f ? 1e6f : 1.0f / mass_inv_; }

void SoftBody::set_default_sticky_force(float f) {
    default_sticky_force_ = f;
    particles_.set_sticky_force(sticky_scale_ * f);
}

void SoftBody::adjust_stickyness(float s) {
    sticky_scale_ = s;
    particles_.set_sticky_force(default_sticky_force_ * s);
}

void SoftBody::set_sticky_scale(float scale, double duration) {
    if (duration <= 0.0) {
        tweens_.clear();
        adjust_stickyness(scale);
        return;
    }
    using Fade = Tweener<SmoothTween<float>, TweenMethodCallback<float, SoftBody>>;
    tweens_.add(new Fade(duration, sticky_scale_, scale, this, &SoftBody::adjust_stickyness), 0.0);
}

void SoftBody::set_touches_something(bool ground, bool body, const vector3& normal) {
    touches_ground_ = ground;
    touches_body_ = body;
    if (ground) {
        touch_normal_ = normal;
        time_since_ground_touch_ = 0.0;
    }
    if (body) {
        touch_normal_ = normal;
        time_since_body_touch_ = 0.0;
    }
}

void SoftBody::update(double dt) {
    tweens_.update(dt);

    if (scale_friction_ && no_friction_velocity_ > 0.0f) {
        const vector3 v = get_velocity();
        const float speed2 = ((v.x * v.x + 0.0f) + v.y * v.y) + v.z * v.z;
        const float speed = static_cast<float>(std::sqrt(static_cast<double>(speed2)));
        const float r = speed / no_friction_velocity_;
        const float t = r < 1.0f ? r : 1.0f;
        friction_ = (1.0f - t) * base_friction_ + t;
    }

    IPhysObject& stepper = particles_;
    stepper.update_frame(dt);

    const int n = particles_.num_particles();
    for (int i = 0; i < n; ++i) points_[static_cast<std::size_t>(i)] = particles_.particle(i)->position;

    optimize(kHelperWeight, kHelperTolerance, kHelperIterations);

    particles_.applied_force() = vector3(0.0f, 0.0f, 0.0f);

    if (!touches_ground_) time_since_ground_touch_ += dt;
    if (!touches_body_) time_since_body_touch_ += dt;
}

void SoftBody::assign_soft_body(const SoftBody& other) {
    const int border = other.num_border_;
    const int inner = other.num_inner_;
    const int helper = other.num_helper_;
    clear();
    num_border_ = border;
    num_inner_ = inner;
    num_helper_ = helper;
    particles_.create_particles(border + inner);
    // Sized from the source's vectors, which is what the loops below index.
    uvs_.resize(other.points_.size());
    points_.resize(other.points_.size());
    helper_solve_dirty_ = true;

    const int count = particles_.num_particles();
    for (std::size_t i = 0; i < other.points_.size(); ++i) {
        points_[i] = other.points_[i];
        if (static_cast<int>(i) < count) particles_.particle(static_cast<int>(i))->position = other.points_[i];
        uvs_[i] = other.uvs_[i];
    }
    const int other_count = other.particles_.num_particles();
    for (int i = 0; i < other_count && i < count; ++i) {
        // A stuck particle of the source has inverse mass 0 and its sticky
        // state is not copied: take the real inverse mass, or the copy's
        // particle would stay pinned for good.
        particles_.particle(i)->mass_inv = other.particles_.particle_real_mass_inv(i);
    }

    const int springs = other.particles_.num_springs();
    if (particles_.create_springs(springs) >= 0) {
        for (int i = 0; i < springs; ++i) {
            const auto& t = *other.particles_.spring_particle_index_tupel(i);
            const CSpring& s = *other.particles_.spring(i);
            if (t.first >= 0 && t.first < count && t.second >= 0 && t.second < count) {
                particles_.set_spring(i, t.first, t.second, s.get_default_length(), s.get_spring_constant(),
                                      s.get_damping_constant());
            }
        }
    }

    for (const NullConnection& c : other.null_connections_) create_null_connection(c.a, c.b);
    triangles_ = other.triangles_;

    optimize(kHelperWeight, kHelperTolerance, kHelperIterations);
    helper_solve_dirty_ = true;

    base_friction_ = friction_ = other.get_friction();
    mass_inv_ = other.mass_inv_;
    inertia_ = other.inertia_;
}

}  // namespace vo

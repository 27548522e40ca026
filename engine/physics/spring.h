#pragma once

#include <cmath>

#include "engine/physics/particle.h"

namespace vo {

// A damped spring between two particles it does not own. The stiffness grows
// with the strain: at 10 % strain the spring is twice as stiff as at rest.
class CSpring {
public:
    CSpring() = default;
    CSpring(float default_length, float spring_constant, float damping_constant, CParticle* p1, CParticle* p2)
        : particle1_(p1),
          particle2_(p2),
          default_length_(default_length),
          spring_constant_(spring_constant),
          damping_constant_(damping_constant) {}

    CParticle* get_particle1() const { return particle1_; }
    CParticle* get_particle2() const { return particle2_; }
    void connect_particles(CParticle* p1, CParticle* p2) {
        particle1_ = p1;
        particle2_ = p2;
    }

    float get_default_length() const { return default_length_; }
    void set_default_length(float v) { default_length_ = v; }
    float get_spring_constant() const { return spring_constant_; }
    void set_spring_constant(float v) { spring_constant_ = v; }
    float get_damping_constant() const { return damping_constant_; }
    void set_damping_constant(float v) { damping_constant_ = v; }

    // Adds this spring's force to both particles' force fields. Both ends
    // must be set. The force is divided by the summed inverse masses, so the
    // sum of the two accelerations does not depend on the masses.
    inline void calculate_forces() const;

private:
    CParticle* particle1_ = nullptr;
    CParticle* particle2_ = nullptr;
    float default_length_ = 0.0f;
    float spring_constant_ = 0.0f;
    float damping_constant_ = 0.0f;
};

// The order of the float operations below is part of the behaviour: do not
// regroup sums or fold the products.
inline void CSpring::calculate_forces() const {
    CParticle& p1 = *particle1_;
    CParticle& p2 = *particle2_;
    const float dx = p2.position.x - p1.position.x;
    const float dy = p2.position.y - p1.position.y;
    const float dz = p2.position.z - p1.position.z;
    const float w = p1.mass_inv + p2.mass_inv;
    const float len2 = ((dx * dx + 0.0f) + dy * dy) + dz * dz;
    if (w < 1e-6f || len2 < 1e-6f || default_length_ < 1e-6f) return;

    const float len = static_cast<float>(std::sqrt(static_cast<double>(len2)));
    const float inv = 1.0f / len;
    const float nx = dx * inv;
    const float ny = dy * inv;
    const float nz = dz * inv;
    const float x = default_length_ - len;  // > 0 when compressed
    const float f = std::fabs(x / default_length_) * 10.0f + 1.0f;
    const float fs = f * x * spring_constant_;
    const float v = (((p1.velocity.x - p2.velocity.x) * nx + 0.0f) + (p1.velocity.y - p2.velocity.y) * ny) +
                    (p1.velocity.z - p2.velocity.z) * nz;
    const float fd = damping_constant_ * v;
    const float inv_w = 1.0f / w;
    const float fx = (fs * nx + fd * nx) * inv_w;
    const float fy = (fs * ny + fd * ny) * inv_w;
    const float fz = (fs * nz + fd * nz) * inv_w;
    p1.force.x = p1.force.x - fx;
    p1.force.y = p1.force.y - fy;
    p1.force.z = p1.force.z - fz;
    p2.force.x = p2.force.x + fx;
    p2.force.y = p2.force.y + fy;
    p2.force.z = p2.force.z + fz;
}

}  // namespace vo

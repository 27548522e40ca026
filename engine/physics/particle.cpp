#include "engine/physics/particle.h"

namespace vo {

CParticle::CParticle()
    : position(0.0f, 0.0f, 0.0f), velocity(0.0f, 0.0f, 0.0f), force(0.0f, 0.0f, 0.0f), spare(1.0f), mass_inv(1.0f) {}

CParticle::CParticle(const CParticle& other)
    : IPhysObject(other),
      position(other.position),
      velocity(other.velocity),
      force(other.force),
      spare(other.spare),
      mass_inv(other.mass_inv) {}

CParticle& CParticle::operator=(const CParticle& other) {
    position = other.position;
    velocity = other.velocity;
    force = other.force;
    spare = other.spare;
    mass_inv = other.mass_inv;
    return *this;
}

void CParticle::update_frame(double dt) {
    const float s = static_cast<float>(static_cast<double>(mass_inv) * dt);
    velocity.x = velocity.x + force.x * s;
    velocity.y = velocity.y + force.y * s;
    velocity.z = velocity.z + force.z * s;
    const float fdt = static_cast<float>(dt);
    position.x = position.x + velocity.x * fdt;
    position.y = position.y + velocity.y * fdt;
    position.z = position.z + velocity.z * fdt;
    force = vector3(0.0f, 0.0f, 0.0f);
}

void CParticle::get_transform(MathMatrix<4, 4, float>& out) const {
    out.set_identity();
    out[12] = position.x;
    out[13] = position.y;
    out[14] = position.z;
}

}  // namespace vo

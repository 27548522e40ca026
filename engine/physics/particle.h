#pragma once

#include "engine/core/math_matrix.h"
#include "engine/core/vector.h"
#include "engine/physics/phys_object.h"

namespace vo {

// A point mass. The collections own their particles and reach the fields
// directly; force is a per-step accumulator.
class CParticle : public IPhysObject {
public:
    CParticle();
    CParticle(const CParticle& other);
    CParticle& operator=(const CParticle& other);

    // One semi-implicit Euler step: the velocity takes the force first, then
    // the position moves with the new velocity; the force is cleared.
    void update_frame(double dt) override;

    // Identity with the position as translation (elements 12, 13, 14).
    void get_transform(MathMatrix<4, 4, float>& out) const;

    vector3 position;
    vector3 velocity;
    vector3 force;
    // Carried along with the particle (1.0 at construction, copied with it);
    // nothing in the integration or the springs reads it.
    float spare;
    // 1 / mass; 0 makes the particle immovable.
    float mass_inv;
};

}  // namespace vo

#pragma once

#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_desc.h"

// Soft-body scenes shared by the physics tests and benchmarks.
namespace vo_test {

// The description every field of which has its default: a ring of 12
// points of radius 1, neighbour radius 3, opposing radius 2.
vo::SoftBodyDesc DefaultCircleDesc();

// The default description with num_boundary_points points.
vo::SoftBodyDesc CircleDesc(int num_boundary_points);

// Builds body as a circle from desc and moves it by offset.
void BuildCircleBody(vo::SoftBody& body, const vo::SoftBodyDesc& desc, const vo::vector3& offset = vo::vector3());

// Largest |length / rest length - 1| over the indexed springs.
float MaxSpringStrain(const vo::SoftBody& body);

// Whether every point and particle velocity of the body is finite.
bool AllFinite(const vo::SoftBody& body);

// Mean of the particle positions.
vo::vector3 MeanParticlePosition(const vo::SoftBody& body);

}  // namespace vo_test

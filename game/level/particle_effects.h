#pragma once

// Helpers of the level scene's particle emitters (stones and lava from a
// carve, lava discs at explosions).

#include "engine/core/vector.h"
#include "engine/physics/particle_source.h"

#include <vector>

namespace vo {

struct CarveResult;

// The most particles one burst makes: a carve's stones, a carve's lava, a
// lava disc, and everything a lava source emits over its life.
constexpr unsigned kMaxParticlesPerBurst = 20000;

// The point of the line through a and b closest to p (out) and its parameter
// t (out = a + t (b - a)); a and t 0 when a and b (nearly) coincide.
float ClosestPointOnLine(vector3& out, const vector3& p, const vector3& a, const vector3& b);

// Scatters particles at random over the removed triangles of a carve whose
// corners' lava adds up to at least min_lava and at most max_lava:
// trunc(area x density) per triangle, appended to out (at rest, no delay).
// When all of them would be more than kMaxParticlesPerBurst, the density is
// lowered so that they are not.
void ScatterOverRemovedTriangles(const CarveResult& carve, float density, float min_lava, float max_lava,
                                 std::vector<ParticleSource::ParticleDesc>& out);

// A disc of particles: one at the centre and rings at equal steps out to the
// radius, about `spacing` apart (at least 3 rings; fewer, farther apart,
// when the disc would hold more than kMaxParticlesPerBurst). Appended to out.
void FillLavaDisc(const vector3& centre, float radius, float spacing,
                  std::vector<ParticleSource::ParticleDesc>& out);

}  // namespace vo

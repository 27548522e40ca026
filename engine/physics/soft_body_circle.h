#pragma once

#include <string>

namespace vo {

class SoftBody;
struct SoftBodyDesc;

// Largest boundary point count CreateSoftBody_Circle accepts.
constexpr int kMaxCircleBoundaryPoints = 4096;
// Most springs one round body may get (the default description makes 54; a
// ring of kMaxCircleBoundaryPoints points with the default radii 18,432).
constexpr int kMaxCircleSprings = 65536;

// Rebuilds body as a round body: a ring of desc.num_boundary_points border
// particles starting at the top (0, r) and running clockwise, one centre
// helper point tied to every border point, a triangle fan, texture
// coordinates mapping the disc onto the description's texture rectangle, and
// springs to the neighbours, to the points beyond the opposite one and across
// the diameter, whose stiffness goes linearly from the short constant (the
// neighbour chord) to the long one (the diameter). Every spring starts at
// rest.
//
// Throws Error, leaving body untouched, when the description cannot give a
// sound body: a boundary point count outside 3 .. kMaxCircleBoundaryPoints, a
// radius that is not a finite number above 0, or a value used by the body
// that is not finite. Connection radii are clamped to 0 .. the point count,
// and then so that the body gets at most kMaxCircleSprings springs: the
// neighbour radius first, the opposing radius with the springs left. A radius
// lowered for the budget is reported as a warning on the standard output
// naming its key.
void CreateSoftBody_Circle(SoftBody& body, const SoftBodyDesc& desc);

// Why CreateSoftBody_Circle refuses desc: the description key at fault
// ("numBoundaryPoints", "radius", ...) and what is wrong with its value, for
// the first fault in the order the builder checks them. Both empty when
// desc builds. The builder's Error reads "CreateSoftBody_Circle: \"<key>\"
// <what>".
struct SoftBodyCircleFault {
    std::string key;
    std::string what;

    bool empty() const { return key.empty(); }
};
SoftBodyCircleFault FindSoftBodyCircleFault(const SoftBodyDesc& desc);

}  // namespace vo

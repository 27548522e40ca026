#pragma once

// Random element sets for the collision-tree tests and benchmarks, and
// brute-force answers to compare the tree queries with.

#include <cstdint>
#include <random>
#include <vector>

#include "engine/core/vector.h"

namespace vo {

class Node;

namespace testing {

// Points and elements (indices_per_element indices each).
struct ElementSet {
    std::vector<vector3> points;
    std::vector<int> indices;
    int indices_per_element = 2;

    int num_elements() const { return static_cast<int>(indices.size()) / indices_per_element; }
    const vector3& point(int element, int corner) const {
        return points[static_cast<size_t>(indices[static_cast<size_t>(element * indices_per_element + corner)])];
    }
};

// A level-like outline in the x-y plane (z = 0): a circle of radius `radius`
// with points every `spacing` units, plus circular holes of random radii
// (3 to 15) inside it, added until the outline has at least `min_edges` edges.
ElementSet MakeLevelOutline(std::uint32_t seed, int min_edges, float radius = 100.0f, float spacing = 2.0f);

// n random edges inside [lo, hi]^3, of length up to max_length; flat puts every
// point at z = 0. A few of them are degenerate (both points equal) and a few
// share points with others.
ElementSet MakeRandomEdges(std::mt19937& rng, int n, float lo, float hi, float max_length, bool flat);

// n random triangles inside [lo, hi]^3 with sides up to max_size; flat_y, when
// set, puts every point at y = *flat_y (an axis-aligned floor).
ElementSet MakeRandomTriangles(std::mt19937& rng, int n, float lo, float hi, float max_size, const float* flat_y = nullptr);

// Brute force over every element: the edges that reach the box (the same test
// as the tree's leaves), in element order.
std::vector<int> BruteCollectEdges(const ElementSet& set, const vector3& min, const vector3& max);

// Brute force: the crossings of the segment p0-p1 with every edge in the x-y
// plane, as (element, segment parameter), in element order.
struct BruteCrossing {
    int element;
    float segment_param;
};
std::vector<BruteCrossing> BruteIntersectEdges(const ElementSet& set, const vector3& p0, const vector3& p1);

// Brute force: the smallest distance from q to any edge (segment), and the
// first element at that distance.
float BruteClosestEdgeDistance(const ElementSet& set, const vector3& q, int* element = nullptr);

// Uniform random float in [lo, hi).
float RandomFloat(std::mt19937& rng, float lo, float hi);

// A collision tree as plain numbers, for comparing two trees node for node:
// every node's kind; every boxed group's box, (for a root) points and
// number of children; every edge leaf's point indices. Nothing for a null
// tree.
std::vector<double> TreePicture(const Node* tree);

}  // namespace testing
}  // namespace vo

#pragma once

#include "engine/core/vector.h"

namespace vo {

// The steps of a collision tree's construction (CreateOctree) that its
// upkeep (UpdatableEdgeTree) repeats exactly: the root's box, the octants of
// a cell, and where an element goes and what box its cell gets when the
// elements are placed by centroid.

// Grows [min, max] about its centre by factor, never leaving out the
// original box (the float rounding of centre and half extent could otherwise
// cut off a point lying on a face).
void WidenBox(vector3& min, vector3& max, float factor);

// Grows the box [min, max] to hold p. Written as selections so that the
// compiler can use min/max instructions instead of unpredictable branches.
inline void GrowBox(vector3& min, vector3& max, const vector3& p) {
    min.x = p.x < min.x ? p.x : min.x;
    max.x = p.x > max.x ? p.x : max.x;
    min.y = p.y < min.y ? p.y : min.y;
    max.y = p.y > max.y ? p.y : max.y;
    min.z = p.z < min.z ? p.z : min.z;
    max.z = p.z > max.z ? p.z : max.z;
}

// The box of a tree's root: the box of all its points grown by 1e-6 and
// then by 0.1 % about its centre, never cutting off a point.
void RootCellBox(const vector3* points, unsigned int num_points, vector3& min, vector3& max);

// Octant i of the cell [min, max]: bit 0 of i picks the upper half in x,
// bit 1 in y and, for dimension 3, bit 2 in z (otherwise z spans the cell).
void CellOctant(int i, const vector3& min, const vector3& max, int dimension, vector3& omin, vector3& omax);

// The child of the cell whose octant lies nearest to p: on each split axis
// the upper half when p lies above the mid-plane (the lower corner of the
// uppermost octant, upper_min), the lower half otherwise.
int NearestChild(const vector3& p, const vector3& upper_min, int dimension);

// The mean of an element's points.
vector3 ElementCentroid(const vector3* points, const int* element, int per_element);

// Where a cell whose elements are placed by centroid puts an element: into
// the first child whose octant, widened by 0.1 %, holds the element's
// centroid, or else into the nearest child.
class CentroidPlacement {
public:
    CentroidPlacement(const vector3& min, const vector3& max, int dimension);

    int num_children() const { return num_children_; }
    // The widened octant of child i.
    void octant(int i, vector3& omin, vector3& omax) const;
    int child_of(const vector3& centroid) const;

private:
    vector3 min_, max_;
    int dimension_;
    int num_children_;
    vector3 low_min_, low_max_;    // child 0's widened octant
    vector3 high_min_, high_max_;  // the last child's widened octant
    vector3 upper_min_;            // the lower corner of the last octant
};

// The box of a cell whose elements were placed by centroid, from the box
// [min, max] of the cell's points (ignored when it has none: the origin
// then), widened by 0.1 %.
void PlacedCellBox(bool has_elements, vector3& min, vector3& max);

}  // namespace vo

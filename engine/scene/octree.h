#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/collision_element_id.h"
#include "engine/scene/collision_nodes.h"

namespace vo {

// Builds a collision tree from points and elements (edges or triangles given
// as point indices, each optionally with an id): a root holding a copy of the
// points, BoxedGroupNode cells split into 2^dimension children per level, and
// edge or triangle leaves holding each cell's elements.
//
// indices_per_element: 2 for edges, 3 for triangles; num_indices counts indices,
// not elements. ids: null or one per element. A cell holding at most
// max_elements_per_leaf elements, or at max_depth levels below the root, is a
// leaf. by_centroid places each element into exactly one child (the first whose
// slightly widened octant holds its centroid) and shrinks each cell's box to
// its elements; otherwise an element goes into every child it touches and the
// cells tile their parent. dimension 2 splits x and y only (four children),
// dimension 3 all three axes (eight).
//
// Every element ends up in at least one leaf. Returns an empty handle when
// num_indices is 0 or indices_per_element is neither 2 nor 3.
SmartPtr<CollisionTreeRootNode> CreateOctree(const vector3* points, unsigned int num_points, const int* indices,
                                             unsigned int num_indices, int indices_per_element,
                                             const CollisionElementID* ids, int max_depth, int max_elements_per_leaf,
                                             bool by_centroid, int dimension);

// Fills one cell whose box is already set with the given elements (the
// cell's own indices and ids), splitting it as CreateOctree describes.
void CreateSubOctrees(BoxedGroupNode* node, const vector3* points, unsigned int num_points, const int* indices,
                      unsigned int num_indices, int indices_per_element, const CollisionElementID* ids, int depth,
                      int max_elements_per_leaf, bool by_centroid, int dimension);

// Per-axis smallest and largest coordinate of the points; a count of 0 gives
// min = max = (0, 0, 0).
void ComputeBoundingBox(vector3& min, vector3& max, const vector3* points, int count);
// The same over the points that the indices select.
void ComputeIndexedBoundingBox(vector3& min, vector3& max, const vector3* points, const int* indices,
                               unsigned int count);

}  // namespace vo

#pragma once

#include <string>

#include "engine/core/smart_ptr.h"
#include "engine/scene/collision_nodes.h"

namespace vo {

// Reads an OBJ mesh and builds a collision tree (CreateOctree) of the lines or
// triangles (quads split in two) of the objects named in object_names, a
// list of names separated by spaces; an empty list selects the objects
// without a name. Only the vertices those objects use reach the tree, in
// order of first use; with a dimension below 3, triangle points get z = 0.
// Returns an empty handle when no selected object holds an element.
// Throws Error "Couldn't load specified file during octree creation: <file>"
// when the file cannot be read, is malformed or a used face names a vertex
// that does not exist, and "Mixed octrees are not supported (in file <file>)"
// when the selected objects hold both lines and triangles.
SmartPtr<CollisionTreeRootNode> LoadOctreeFromFile(const char* file_name, std::string object_names, int max_depth,
                                                   int max_elements_per_leaf, bool by_centroid, int dimension);

}  // namespace vo

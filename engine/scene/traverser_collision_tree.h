#pragma once

#include <vector>

#include "engine/scene/collision_nodes.h"
#include "engine/scene/traverser.h"

namespace vo {

// Base of the collision queries: keeps the stack of collision-tree roots
// entered, so that a leaf reads its points from the innermost root above it.
// Leaves met outside any root are skipped.
class Traverser_CollisionTree : public Traverser {
public:
    ~Traverser_CollisionTree() override;

    Traverser_CollisionTree(const Traverser_CollisionTree&) = default;
    Traverser_CollisionTree& operator=(const Traverser_CollisionTree&) = default;

protected:
    Traverser_CollisionTree();

    // Pushes the root, handles it as a boxed group (so the query's box test
    // applies to the root's own box), pops it.
    virtual void handle_collision_tree_root(CollisionTreeRootNode* root);
    virtual void handle_collision_edges(CollisionEdgesNode* node);
    virtual void handle_collision_triangles(CollisionTrianglesNode* node);

    // The innermost root above the node being handled; null outside any root.
    CollisionTreeRootNode* get_current_root_node() const { return roots_.empty() ? nullptr : roots_.back(); }

    // Starts a walk with an empty root stack (left over from a walk that threw).
    void reset_roots() { roots_.clear(); }

private:
    std::vector<CollisionTreeRootNode*> roots_;
};

}  // namespace vo

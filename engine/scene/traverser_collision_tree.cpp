#include "engine/scene/traverser_collision_tree.h"

namespace vo {

Traverser_CollisionTree::Traverser_CollisionTree() {
    install_handler<Traverser_CollisionTree, CollisionTreeRootNode, &Traverser_CollisionTree::handle_collision_tree_root>(
        NODE_ID_COLLISION_TREE_ROOT);
    install_handler<Traverser_CollisionTree, CollisionEdgesNode, &Traverser_CollisionTree::handle_collision_edges>(
        NODE_ID_COLLISION_EDGES);
    install_handler<Traverser_CollisionTree, CollisionTrianglesNode, &Traverser_CollisionTree::handle_collision_triangles>(
        NODE_ID_COLLISION_TRIANGLES);
    roots_.reserve(4);
}

Traverser_CollisionTree::~Traverser_CollisionTree() = default;

void Traverser_CollisionTree::handle_collision_tree_root(CollisionTreeRootNode* root) {
    roots_.push_back(root);
    handle_boxed_group(root);
    roots_.pop_back();
}

void Traverser_CollisionTree::handle_collision_edges(CollisionEdgesNode*) {}

void Traverser_CollisionTree::handle_collision_triangles(CollisionTrianglesNode*) {}

}  // namespace vo

#include "engine/scene/traverser.h"

namespace vo {

Traverser::Traverser() : handlers_(10, nullptr) {
    install_handler<Traverser, GroupNode, &Traverser::handle_group>(NODE_ID_GROUP);
    install_handler<Traverser, BoxedGroupNode, &Traverser::handle_boxed_group>(NODE_ID_BOXED_GROUP);
}

Traverser::~Traverser() = default;

void Traverser::handle_group(GroupNode* group) {
    const int n = group->num_children();
    for (int i = 0; i < n; ++i) {
        SmartPtr<Node> child = group->get_child(i);
        traverse_node(child.get());
    }
}

void Traverser::handle_boxed_group(BoxedGroupNode* node) { handle_group(node); }

void Traverser::set_handler(unsigned int id, Handler handler) {
    if (id >= handlers_.size()) handlers_.resize(id + 1, nullptr);
    handlers_[id] = handler;
}

}  // namespace vo

#pragma once

#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/scene/scene_node.h"

namespace vo {

// Walks a tree of nodes through a table of handlers indexed by node id.
// Nodes whose id has no handler are skipped with everything below them, and
// so are null children. Subclasses install the handlers they care about;
// handlers installed for virtual operations dispatch virtually.
class Traverser {
public:
    virtual ~Traverser();

    Traverser(const Traverser&) = default;
    Traverser& operator=(const Traverser&) = default;

protected:
    using Handler = void (*)(Traverser& self, Node* node);

    Traverser();

    // Dispatches a node by its id; a null handle or an id without a handler
    // does nothing.
    void apply(const SmartPtr<Node>& node) { traverse_node(node.get()); }
    void traverse_node(Node* node) {
        if (!node) return;
        const unsigned int id = node->get_node_id();
        if (id < handlers_.size() && handlers_[id]) handlers_[id](*this, node);
    }

    // Dispatches every child in order; the child's handle is held while it is
    // handled.
    virtual void handle_group(GroupNode* group);
    // Calls handle_group; the base makes no use of the box.
    virtual void handle_boxed_group(BoxedGroupNode* node);

    bool handler_function_registered(unsigned int id) const { return id < handlers_.size() && handlers_[id] != nullptr; }

    // Installs the member function F of T for node id `id`, lengthening the
    // table when needed. F may be virtual: the call dispatches virtually.
    template <class T, class N, void (T::*F)(N*)>
    void install_handler(unsigned int id) {
        set_handler(id, &call_member<T, N, F>);
    }

private:
    template <class T, class N, void (T::*F)(N*)>
    static void call_member(Traverser& self, Node* node) {
        (static_cast<T&>(self).*F)(static_cast<N*>(node));
    }
    void set_handler(unsigned int id, Handler handler);

    std::vector<Handler> handlers_;
};

}  // namespace vo

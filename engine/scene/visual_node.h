#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/scene/scene_node.h"

namespace vo {

class IVisual;

// Holds a visual for the renderer to draw; empty when made.
class VisualNode : public Node {
public:
    static SmartPtr<VisualNode> create();
    ~VisualNode() override;

    VisualNode(const VisualNode& other);
    VisualNode& operator=(const VisualNode& other);

    // Replaces the held visual (the old one released).
    virtual void set_visual(SmartPtr<IVisual> visual);
    // A new handle to the visual; empty when none is held.
    virtual SmartPtr<IVisual> get_visual();
    // Draws the visual when one is held.
    virtual void draw();

protected:
    VisualNode();

private:
    SmartPtr<IVisual> visual_;
};

}  // namespace vo

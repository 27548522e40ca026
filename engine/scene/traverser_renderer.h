#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/traverser.h"

namespace vo {

class Engine;
class TransformNode;
class VisualNode;

// Draws a scene graph through the back end: depth first, children in order.
// Every group brackets its children in a push and a pop of the model-view
// matrix, a transform node multiplies its matrix in for the siblings after
// it, and a visual node draws its visual. Collision-tree nodes are skipped
// with everything below them.
class Traverser_Renderer : public Traverser {
public:
    // Draws through Engine::instance(), fetched once for all renderers.
    Traverser_Renderer();
    // Draws through the given engine.
    explicit Traverser_Renderer(Engine& engine);
    ~Traverser_Renderer() override;

    Traverser_Renderer(const Traverser_Renderer&) = default;
    Traverser_Renderer& operator=(const Traverser_Renderer&) = default;

    void render(const SmartPtr<Node>& root) { apply(root); }

protected:
    void handle_group(GroupNode* group) override;
    virtual void handle_visual(VisualNode* node);
    virtual void handle_transform(TransformNode* node);

private:
    void install_handlers();

    Engine* engine_;
};

}  // namespace vo

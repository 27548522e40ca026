#include "engine/scene/traverser_renderer.h"

#include "engine/scene/transform_node.h"
#include "engine/scene/visual_node.h"
#include "engine/sfml/engine.h"

namespace vo {

namespace {

Engine& SharedEngine() {
    static Engine& engine = Engine::instance();
    return engine;
}

}  // namespace

Traverser_Renderer::Traverser_Renderer() : engine_(&SharedEngine()) { install_handlers(); }

Traverser_Renderer::Traverser_Renderer(Engine& engine) : engine_(&engine) { install_handlers(); }

Traverser_Renderer::~Traverser_Renderer() = default;

void Traverser_Renderer::install_handlers() {
    install_handler<Traverser_Renderer, VisualNode, &Traverser_Renderer::handle_visual>(NODE_ID_VISUAL);
    install_handler<Traverser_Renderer, TransformNode, &Traverser_Renderer::handle_transform>(NODE_ID_TRANSFORM);
}

void Traverser_Renderer::handle_group(GroupNode* group) {
    // Keep the matrix stack balanced even when a visual's draw throws.
    struct PopOnExit {
        Engine* engine;
        ~PopOnExit() { engine->pop_matrix(true, false, false); }
    };
    engine_->push_matrix(true, false, false);
    PopOnExit pop{engine_};
    Traverser::handle_group(group);
}

void Traverser_Renderer::handle_transform(TransformNode* node) { engine_->mult_matrix(node->transform().data()); }

void Traverser_Renderer::handle_visual(VisualNode* node) { node->draw(); }
}  // namespace vo

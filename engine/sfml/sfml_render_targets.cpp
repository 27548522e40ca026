// Named offscreen render targets of the back end: drawing can be redirected
// into them, and their images bound as textures or handed to effects.
//
// With the graphics library's framebuffer objects a target is drawn in the
// window's graphics context, so it inherits the window's state (viewport,
// scissor, matrices, blending): callers set the viewport they need.

#include "engine/core/error.h"
#include "engine/sfml/sfml_engine.h"
#include "engine/sfml/sfml_texture.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Shader.hpp>
#include <SFML/OpenGL.hpp>

#include <string>

namespace vo {

namespace {

std::string Name(const char* name) { return name ? name : ""; }

std::string InvalidTarget(const char* name) { return "Invalid render texture specified: " + Name(name); }

}  // namespace

void SFML_Engine::create_render_target(const char* name, int width, int height, bool depth_buffer) {
    auto target = std::make_shared<sf::RenderTexture>();
    const sf::ContextSettings settings(depth_buffer ? 24 : 0);
    if (width <= 0 || height <= 0 ||
        !target->create(static_cast<unsigned>(width), static_cast<unsigned>(height), settings)) {
        throw Error("Couldn't create offscreen render target '" + Name(name) + "' with dimensions " +
                    std::to_string(width) + ", " + std::to_string(height));
    }
    // Replacing a target of the same name: the active target keeps its own
    // handle, and effects sampling the old image now sample the new one.
    render_targets_[Name(name)] = target;
    repoint_target_samplers(Name(name));
}

void SFML_Engine::set_render_target(const char* name) {
    if (active_target_) {
        active_target_->setActive(false);
        active_target_.reset();
    }
    if (!name) {
        if (window_) window_->setActive(true);
        return;
    }
    auto found = render_targets_.find(name);
    if (found == render_targets_.end()) throw Error(InvalidTarget(name));
    active_target_ = found->second;
    active_target_->setActive(true);
}

void SFML_Engine::bind_render_target_texture(const char* name) {
    auto found = render_targets_.find(Name(name));
    if (found == render_targets_.end()) throw Error(InvalidTarget(name));
    if (!has_context()) return;
    // The image of a target is stored bottom row first: bind it with a
    // texture matrix that turns it upright (an ordinary texture bound later
    // resets the matrix).
    static const GLfloat FLIP_V[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1};
    glBindTexture(GL_TEXTURE_2D, found->second->getTexture().getNativeHandle());
    glMatrixMode(GL_TEXTURE);
    glLoadMatrixf(FLIP_V);
    glMatrixMode(GL_MODELVIEW);
}

SmartPtr<Texture> SFML_Engine::render_target_texture(const char* name) {
    if (render_targets_.find(Name(name)) == render_targets_.end()) throw Error(InvalidTarget(name));
    SmartPtr<SFML_Texture> proxy(new SFML_Texture);
    proxy->set_render_target_name(name);
    return proxy;
}

void SFML_Engine::set_effect_render_target(const char* target, EffectHandle effect, int texture_index) {
    auto found = render_targets_.find(Name(target));
    if (found == render_targets_.end()) throw Error(InvalidTarget(target));
    if (!effect.valid) throw Error("Invalid effect specified.");
    EffectRecord* record = live_effect(effect);
    if (!record) throw Error("Effect contains invalid shader.");
    record->shader->setUniform("userTex" + std::to_string(texture_index), found->second->getTexture());
    record->target_samplers[texture_index] = found->first;
    if (live_effect(current_effect_) == record) sf::Shader::bind(record->shader.get());
}

}  // namespace vo

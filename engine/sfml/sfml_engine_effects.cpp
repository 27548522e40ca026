// Shader effects and offscreen render targets of the back end.
//
// Not built yet: no effect or target can be made, so every handle and target
// name is unknown. The operations that only set data ignore unknown handles;
// the others throw.

#include "engine/core/error.h"
#include "engine/sfml/sfml_engine.h"

#include <string>

namespace vo {

namespace {

std::string Name(const char* name) { return name ? name : ""; }

}  // namespace

EffectHandle SFML_Engine::create_effect(EffectDesc const& desc) {
    throw Error("Shader effects are not supported yet: " + desc.name);
}

void SFML_Engine::init_effect(EffectHandle, EffectDesc const&) {}

void SFML_Engine::update_effect_texture(EffectHandle, int, SmartPtr<Texture>) {}

void SFML_Engine::set_effect_parameter(EffectHandle, const char*, Variant const&) {}

EffectHandle SFML_Engine::free_effect(EffectHandle) { throw Error("Trying to free an invalid effect."); }

void SFML_Engine::apply_effect(EffectHandle) {
    if (effect_forced_) return;
    throw Error("Trying to apply an invalid effect.");
}

void SFML_Engine::unapply_effect() {}

void SFML_Engine::force_effect(EffectHandle effect) { apply_effect(effect); }

void SFML_Engine::unforce_effect() { throw Error("Can't unforce effect. Current effect is not forced."); }

void SFML_Engine::set_effect_texture(sf::Shader&, int, SmartPtr<Texture>) {}

void SFML_Engine::create_render_target(const char* name, int width, int height, bool) {
    throw Error("Couldn't create offscreen render target '" + Name(name) + "' with dimensions " +
                std::to_string(width) + ", " + std::to_string(height));
}

void SFML_Engine::set_effect_render_target(const char* target, EffectHandle, int) {
    throw Error("Invalid render texture specified: " + Name(target));
}

void SFML_Engine::bind_render_target_texture(const char* name) {
    throw Error("Invalid render texture specified: " + Name(name));
}

SmartPtr<Texture> SFML_Engine::render_target_texture(const char* name) {
    throw Error("Invalid render texture specified: " + Name(name));
}

void SFML_Engine::set_render_target(const char* name) {
    if (!name) return;
    throw Error("Invalid render texture specified: " + Name(name));
}

}  // namespace vo

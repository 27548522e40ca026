// Shader effects of the back end: fragment shaders loaded by name from the
// shader folder, kept in a table of effect records whose index is the id of
// their handles. Freed records are reused, last freed first.

#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/sfml/sfml_engine.h"
#include "engine/sfml/sfml_texture.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Shader.hpp>

#include <string>

namespace vo {

namespace {

std::string SamplerName(int index) { return "userTex" + std::to_string(index); }

// Returns a record to the free list after a failed creation.
void ReleaseRecord(SFML_Engine::EffectRecord& record) {
    record.shader.reset();
    record.textures.clear();
    record.target_samplers.clear();
}

}  // namespace

SFML_Engine::EffectRecord* SFML_Engine::live_effect(EffectHandle const& effect) {
    if (!effect.valid || effect.id < 0 || static_cast<std::size_t>(effect.id) >= effects_.size()) return nullptr;
    EffectRecord& record = effects_[static_cast<std::size_t>(effect.id)];
    return record.shader ? &record : nullptr;
}

EffectHandle SFML_Engine::create_effect(EffectDesc const& desc) {
    int index;
    if (!free_effects_.empty()) {
        index = free_effects_.back();
        free_effects_.pop_back();
    } else {
        effects_.emplace_back();
        index = static_cast<int>(effects_.size()) - 1;
    }
    // A failure hands the record back to the free list, so that neither the
    // record leaks nor a stale handle of it passes for a live effect.
    auto give_back = [this, index]() {
        ReleaseRecord(effects_[static_cast<std::size_t>(index)]);
        free_effects_.push_back(index);
    };

    auto shader = std::make_shared<sf::Shader>();
    effects_[static_cast<std::size_t>(index)].shader = shader;
    const std::string path = PathProvider::get_path(7) + "glsl/" + desc.name + ".psh";
    if (!sf::Shader::isAvailable() || !shader->loadFromFile(path, sf::Shader::Fragment)) {
        give_back();
        throw Error("Couln't load pixel shader: " + path);
    }

    const EffectHandle handle = create_effect_handle(EFFECT_PIXEL_SHADER, index);
    try {
        init_effect(handle, desc);
    } catch (...) {
        give_back();
        throw;
    }
    return handle;
}

void SFML_Engine::init_effect(EffectHandle effect, EffectDesc const& desc) {
    EffectRecord* record = live_effect(effect);
    if (!record) return;
    // The record holds every texture its shader samples. Each entry is
    // replaced only once the shader samples the new texture, so a throw
    // below leaves no sampler pointing at a texture nothing holds.
    if (record->textures.size() < desc.textures.size()) record->textures.resize(desc.textures.size());
    for (std::size_t i = 0; i < desc.textures.size(); ++i) {
        if (!desc.textures[i]) {
            throw Error("Invalid texture specified in creation of shader " + desc.name +
                        ". Texture index: " + std::to_string(i));
        }
        set_effect_texture(*record->shader, static_cast<int>(i), desc.textures[i]);
        record->textures[i] = desc.textures[i];
    }
    for (auto const& parameter : desc.parameters) {
        set_shader_parameter(*record->shader, parameter.first, parameter.second);
    }
}

void SFML_Engine::set_effect_texture(sf::Shader& shader, int index, SmartPtr<Texture> texture) {
    if (!texture) {
        throw Error("Invalid texture specified in set_effect_texture for texture index" + std::to_string(index));
    }
    EffectRecord* owner = nullptr;
    for (EffectRecord& record : effects_) {
        if (record.shader.get() == &shader) owner = &record;
    }

    auto* own = dynamic_cast<SFML_Texture*>(texture.get());
    if (own && !own->render_target_name().empty()) {
        const std::string& name = own->render_target_name();
        auto found = render_targets_.find(name);
        if (found == render_targets_.end()) throw Error("Invalid render texture specified: " + name);
        shader.setUniform(SamplerName(index), found->second->getTexture());
        if (owner) owner->target_samplers[index] = name;
    } else if (own) {
        shader.setUniform(SamplerName(index), own->texture());
        if (owner) owner->target_samplers.erase(index);
    } else {
        return;  // not a texture of this back end: nothing it could sample
    }
    // The graphics library binds sampler textures when the shader is bound:
    // a shader in use takes the new texture at once.
    if (const EffectRecord* current = live_effect(current_effect_)) {
        if (current->shader.get() == &shader) sf::Shader::bind(&shader);
    }
}

void SFML_Engine::set_shader_parameter(sf::Shader& shader, std::string const& name, Variant const& value) {
    switch (value.type()) {
        case VT_INT:
        case VT_FLOAT:
        case VT_DOUBLE:
            shader.setUniform(name, value.to_float());
            break;
        case VT_VECTOR2: {
            const vector2& v = value.to_vector2();
            shader.setUniform(name, sf::Glsl::Vec2(v.x, v.y));
            break;
        }
        case VT_VECTOR3: {
            const vector3& v = value.to_vector3();
            shader.setUniform(name, sf::Glsl::Vec3(v.x, v.y, v.z));
            break;
        }
        case VT_VECTOR4: {
            const vector4& v = value.to_vector4();
            shader.setUniform(name, sf::Glsl::Vec4(v.x, v.y, v.z, v.w));
            break;
        }
        default:
            throw Error(std::string("Unsupported paramter type in specification of shader: ") + value.type_name());
    }
}

void SFML_Engine::update_effect_texture(EffectHandle effect, int texture_index, SmartPtr<Texture> texture) {
    EffectRecord* record = live_effect(effect);
    if (!record) return;
    set_effect_texture(*record->shader, texture_index, texture);
    // Kept with the effect: the shader only points at it.
    if (texture_index >= 0) {
        const auto index = static_cast<std::size_t>(texture_index);
        if (record->textures.size() <= index) record->textures.resize(index + 1);
        record->textures[index] = texture;
    }
}

void SFML_Engine::set_effect_parameter(EffectHandle effect, const char* name, Variant const& value) {
    EffectRecord* record = live_effect(effect);
    if (!record || !name) return;
    set_shader_parameter(*record->shader, name, value);
}

EffectHandle SFML_Engine::free_effect(EffectHandle effect) {
    EffectRecord* record = live_effect(effect);
    if (!record) throw Error("Trying to free an invalid effect.");
    if (current_effect_ == effect) {
        // A forced effect that goes is no longer forced; otherwise the next
        // effect made in its record would be pinned without anyone asking.
        effect_forced_ = false;
        unapply_effect();
    }
    ReleaseRecord(*record);
    free_effects_.push_back(effect.id);
    return EffectHandle();
}

void SFML_Engine::apply_effect(EffectHandle effect) {
    if (effect_forced_) return;
    if (current_effect_.valid) unapply_effect();
    EffectRecord* record = live_effect(effect);
    if (!record) throw Error("Trying to apply an invalid effect.");
    current_effect_ = effect;
    sf::Shader::bind(record->shader.get());
}

void SFML_Engine::unapply_effect() {
    if (effect_forced_ || !current_effect_.valid) return;
    sf::Shader::bind(nullptr);
    current_effect_ = EffectHandle();
}

void SFML_Engine::force_effect(EffectHandle effect) {
    if (effect_forced_) throw Error("Only one effect may be forced at a time.");
    apply_effect(effect);
    effect_forced_ = true;
}

void SFML_Engine::unforce_effect() {
    if (!effect_forced_) throw Error("Can't unforce effect. Current effect is not forced.");
    effect_forced_ = false;
    unapply_effect();
}

void SFML_Engine::repoint_target_samplers(std::string const& target) {
    auto found = render_targets_.find(target);
    if (found == render_targets_.end()) return;
    const sf::Texture& image = found->second->getTexture();
    for (EffectRecord& record : effects_) {
        if (!record.shader) continue;
        bool changed = false;
        for (auto const& sampler : record.target_samplers) {
            if (sampler.second != target) continue;
            record.shader->setUniform(SamplerName(sampler.first), image);
            changed = true;
        }
        if (changed && live_effect(current_effect_) == &record) sf::Shader::bind(record.shader.get());
    }
}

}  // namespace vo

#include "game/match/level_effects.h"

#include "engine/core/resources.h"
#include "engine/sfml/engine.h"

#include <initializer_list>

namespace vo {

namespace {

EffectHandle CreateEffect(const char* shader, std::initializer_list<const std::string*> textures) {
    EffectDesc desc;
    desc.name = shader;
    for (const std::string* name : textures) {
        SmartPtr<Texture> texture = GetTexture(*name);
        texture->set_repeated(true);
        texture->set_smooth(true);
        desc.textures.push_back(texture);
    }
    return Engine::instance().create_effect(desc);
}

}  // namespace

EffectHandle CreateLevelEffect(const std::string& blend1, const std::string& blend2, const std::string& diffuse1,
                               const std::string& diffuse2) {
    return CreateEffect("level_shader", {&blend1, &blend2, &diffuse1, &diffuse2});
}

EffectHandle CreateLavaEffect(const std::string& blend1, const std::string& blend2, const std::string& lava_border,
                              const std::string& lava, const std::string& lava_flow) {
    return CreateEffect("lava_shader", {&blend1, &blend2, &lava_border, &lava, &lava_flow});
}

}  // namespace vo

#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/core/variant.h"
#include "engine/sfml/texture.h"

#include <map>
#include <string>
#include <vector>

namespace vo {

enum EffectType : int { EFFECT_PIXEL_SHADER = 0 };

// A shader effect of the back end, held by value. A zero-filled handle is the
// invalid handle ("no effect").
class EffectHandle {
public:
    EffectHandle() = default;
    EffectHandle(int id, EffectType type, bool valid) : id(id), type(type), valid(valid) {}

    bool operator==(EffectHandle const& o) const { return id == o.id && type == o.type && valid == o.valid; }
    bool operator!=(EffectHandle const& o) const { return !(*this == o); }

    int id = 0;
    EffectType type = EFFECT_PIXEL_SHADER;
    bool valid = false;
};

// What an effect is made from: the shader's base name, the textures bound to
// the samplers "userTex0", "userTex1", ... and named uniform values.
struct EffectDesc {
    std::string name;
    std::vector<SmartPtr<Texture>> textures;
    std::map<std::string, Variant> parameters;
};

}  // namespace vo

#include "engine/core/resources.h"

#include "engine/core/error.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/font.h"
#include "engine/visuals/visual.h"

#include <iostream>

namespace vo {

namespace {

// The loaders fetch the back end once.
Engine& LoaderEngine() {
    static Engine& engine = Engine::instance();
    return engine;
}

}  // namespace

template <>
bool LoadResourceFromFile<SmartPtr<Texture>>(SmartPtr<Texture>& out, const char* file) {
    if (!out) out = LoaderEngine().create_texture();
    if (!out || !out->load(file)) {
        std::cout << "WARNING: Couldn't load texture: " << file << std::endl;
        return false;
    }
    return true;
}

template <>
bool LoadResourceFromFile<SmartPtr<SoundBuffer>>(SmartPtr<SoundBuffer>& out, const char* file) {
    out = LoaderEngine().create_sound_buffer();
    if (!out || !out->load(file)) {
        std::cout << "WARNING: Couldn't load sound buffer: " << file << std::endl;
        return false;
    }
    return true;
}

template <>
bool LoadResourceFromFile<SmartPtr<Font>>(SmartPtr<Font>&, const char*) {
    throw Error("FONTS CURRENTLY CAN'T BE LOADED THROUGH THE RESOURCE MANAGER");
}

template <>
bool LoadResourceFromFile<SmartPtr<IVisual>>(SmartPtr<IVisual>&, const char*) {
    throw Error("Assimp currently not used. Check engine/visuals/visuals_util.");
}

ResourceManager<std::string, SmartPtr<Texture>>& Textures() {
    static ResourceManager<std::string, SmartPtr<Texture>> manager;
    return manager;
}

ResourceManager<std::string, SmartPtr<SoundBuffer>>& SoundBuffers() {
    static ResourceManager<std::string, SmartPtr<SoundBuffer>> manager;
    return manager;
}

ResourceManager<std::string, SmartPtr<Font>>& Fonts() {
    static ResourceManager<std::string, SmartPtr<Font>> manager;
    return manager;
}

ResourceManager<std::string, SmartPtr<IVisual>>& Visuals() {
    static ResourceManager<std::string, SmartPtr<IVisual>> manager;
    return manager;
}

SmartPtr<Texture> GetTexture(const std::string& name) { return Textures().get(name, name.c_str()); }

}  // namespace vo

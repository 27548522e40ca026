#pragma once

// The process-wide resource managers: textures and sound buffers loaded
// through the back end by file name, and fonts and visuals kept by name.
// Each manager keeps its values until it is cleared.

#include "engine/core/resource_manager.h"
#include "engine/core/smart_ptr.h"
#include "engine/sfml/audio.h"
#include "engine/sfml/texture.h"

#include <string>

namespace vo {

class Font;
class IVisual;

// A texture from Engine::create_texture (unless out already holds one, which
// is then loaded again), loaded from file. On failure prints
// "WARNING: Couldn't load texture: " and the file, and answers false.
template <>
bool LoadResourceFromFile<SmartPtr<Texture>>(SmartPtr<Texture>& out, const char* file);
// Always a new sound buffer from Engine::create_sound_buffer, loaded from
// file. On failure prints "WARNING: Couldn't load sound buffer: " and the
// file, and answers false.
template <>
bool LoadResourceFromFile<SmartPtr<SoundBuffer>>(SmartPtr<SoundBuffer>& out, const char* file);
// Fonts cannot be loaded through a manager: throws Error.
template <>
bool LoadResourceFromFile<SmartPtr<Font>>(SmartPtr<Font>& out, const char* file);
// Visuals cannot be loaded from files: throws Error.
template <>
bool LoadResourceFromFile<SmartPtr<IVisual>>(SmartPtr<IVisual>& out, const char* file);

// Textures by name. The game sets its path to the texture folder.
ResourceManager<std::string, SmartPtr<Texture>>& Textures();
// Sound buffers by name.
ResourceManager<std::string, SmartPtr<SoundBuffer>>& SoundBuffers();
// Fonts by name (include engine/visuals/font.h to use it).
ResourceManager<std::string, SmartPtr<Font>>& Fonts();
// Visuals by name (include engine/visuals/visual.h to use it).
ResourceManager<std::string, SmartPtr<IVisual>>& Visuals();

// Textures().get(name, name): the texture of that file, loaded on first use.
SmartPtr<Texture> GetTexture(const std::string& name);

}  // namespace vo

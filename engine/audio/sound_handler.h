#pragma once

#include "engine/core/resources.h"
#include "engine/core/smart_ptr.h"
#include "engine/sfml/audio.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vo {

// Plays one-shot sounds by file name and keeps each sound it started alive
// until it has finished, so callers may drop the returned handle at once.
// The samples of a file are loaded once, through the sound-buffer manager,
// and shared by every sound made from them.
class SoundHandler {
public:
    // Plays the file of that name from the sound folder at volume 0 to 100.
    // The first call for a file that cannot be loaded throws the manager's
    // Error.
    static SmartPtr<Sound> play_sound(const char* name, float volume);

    // Sounds started and not yet found finished.
    static std::size_t num_kept_sounds();

    SoundHandler(SoundHandler const&) = default;
    SoundHandler& operator=(SoundHandler const&) = default;

private:
    SoundHandler() = default;
    static SoundHandler& inst();
    // Drops every sound that has finished, wherever it is in the list.
    void pop_finished_sounds();

    std::vector<SmartPtr<Sound>> sounds_;  // oldest first
};

// The sound buffer of the file at that full path, loaded through the
// sound-buffer manager on first use (the path is key and file). Inline, so
// that the library and the game share this one definition.
inline SmartPtr<SoundBuffer> GetSoundBuffer(const char* path) {
    const std::string key = path ? path : "";
    return SoundBuffers().get(key, key.c_str());
}

}  // namespace vo

#include "engine/audio/sound_handler.h"

#include "engine/core/path_provider.h"
#include "engine/sfml/engine.h"

#include <algorithm>
#include <string>

namespace vo {

SoundHandler& SoundHandler::inst() {
    static SoundHandler sh;
    return sh;
}

std::size_t SoundHandler::num_kept_sounds() { return inst().sounds_.size(); }

void SoundHandler::pop_finished_sounds() {
    // Every finished sound goes, not only those at the back: under
    // overlapping sounds the list would otherwise keep finished ones (and
    // their audio sources) while a newer sound still plays.
    sounds_.erase(std::remove_if(sounds_.begin(), sounds_.end(),
                                 [](SmartPtr<Sound> const& s) { return !s || s->is_stopped(); }),
                  sounds_.end());
}

SmartPtr<Sound> SoundHandler::play_sound(const char* name, float volume) {
    SoundHandler& handler = inst();
    handler.pop_finished_sounds();

    std::string const path = PathProvider::get_path(11) + (name ? name : "");
    SmartPtr<SoundBuffer> buffer = GetSoundBuffer(path.c_str());
    if (!buffer) return SmartPtr<Sound>();

    SmartPtr<Sound> sound = Engine::instance().create_sound();
    sound->set_buffer(buffer);
    sound->set_volume(volume);
    sound->play();
    handler.sounds_.push_back(sound);
    return sound;
}

}  // namespace vo

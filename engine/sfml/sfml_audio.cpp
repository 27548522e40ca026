#include "engine/sfml/sfml_audio.h"

namespace vo {

bool SFML_SoundBuffer::load(const char* file) { return file && buffer_.loadFromFile(file); }

SFML_Sound::~SFML_Sound() {
    sound_.stop();
    sound_.resetBuffer();
}

void SFML_Sound::set_buffer(SmartPtr<SoundBuffer> buffer) {
    auto* own = dynamic_cast<SFML_SoundBuffer*>(buffer.get());
    if (!own) {
        sound_.resetBuffer();
        buffer_ = nullptr;
        return;
    }
    sound_.setBuffer(own->buffer());
    buffer_ = buffer;
}

void SFML_Sound::set_loop(bool loop) { sound_.setLoop(loop); }
bool SFML_Sound::loop() const { return sound_.getLoop(); }
void SFML_Sound::play() { sound_.play(); }
void SFML_Sound::pause() { sound_.pause(); }
void SFML_Sound::stop() { sound_.stop(); }
bool SFML_Sound::is_playing() const { return sound_.getStatus() == sf::SoundSource::Playing; }
bool SFML_Sound::is_paused() const { return sound_.getStatus() == sf::SoundSource::Paused; }
bool SFML_Sound::is_stopped() const { return sound_.getStatus() == sf::SoundSource::Stopped; }
void SFML_Sound::set_volume(float volume) { sound_.setVolume(volume); }
float SFML_Sound::volume() const { return sound_.getVolume(); }
void SFML_Sound::set_pitch(float pitch) { sound_.setPitch(pitch); }
float SFML_Sound::pitch() const { return sound_.getPitch(); }

SFML_Music::~SFML_Music() { music_.stop(); }

bool SFML_Music::open(const char* file) {
    // The streaming thread reads the stream while the music plays: stop it
    // before the stream is re-opened underneath it.
    music_.stop();
    if (!file || !stream_.open(file)) return false;
    return music_.openFromStream(stream_);
}

void SFML_Music::set_loop(bool loop) { music_.setLoop(loop); }
bool SFML_Music::loop() const { return music_.getLoop(); }
void SFML_Music::play() { music_.play(); }
void SFML_Music::pause() { music_.pause(); }
void SFML_Music::stop() { music_.stop(); }
bool SFML_Music::is_playing() const { return music_.getStatus() == sf::SoundSource::Playing; }
bool SFML_Music::is_paused() const { return music_.getStatus() == sf::SoundSource::Paused; }
bool SFML_Music::is_stopped() const { return music_.getStatus() == sf::SoundSource::Stopped; }
void SFML_Music::set_volume(float volume) { music_.setVolume(volume); }
float SFML_Music::volume() const { return music_.getVolume(); }

}  // namespace vo

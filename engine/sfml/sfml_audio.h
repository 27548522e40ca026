#pragma once

#include "engine/sfml/audio.h"
#include "engine/sfml/music_file_stream.h"

#include <SFML/Audio/Music.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>

namespace vo {

class SFML_SoundBuffer : public SoundBuffer {
public:
    bool load(const char* file) override;

    sf::SoundBuffer& buffer() { return buffer_; }

private:
    sf::SoundBuffer buffer_;
};

class SFML_Sound : public Sound {
public:
    SFML_Sound() = default;
    ~SFML_Sound() override;

    // Attaches the samples of a buffer made by the back end and keeps the
    // buffer alive; any other buffer (or none) leaves the sound without one.
    void set_buffer(SmartPtr<SoundBuffer> buffer) override;
    void set_loop(bool loop) override;
    bool loop() const override;
    void play() override;
    void pause() override;
    void stop() override;
    bool is_playing() const override;
    bool is_paused() const override;
    bool is_stopped() const override;
    void set_volume(float volume) override;
    float volume() const override;
    void set_pitch(float pitch) override;
    float pitch() const override;

private:
    sf::Sound sound_;
    SmartPtr<SoundBuffer> buffer_;
};

class SFML_Music : public Music {
public:
    SFML_Music() = default;
    ~SFML_Music() override;

    // Opens a music file, skipping a container header in front of the audio
    // data. A track that is playing is stopped first.
    bool open(const char* file) override;
    void set_loop(bool loop) override;
    bool loop() const override;
    void play() override;
    void pause() override;
    void stop() override;
    bool is_playing() const override;
    bool is_paused() const override;
    bool is_stopped() const override;
    void set_volume(float volume) override;
    float volume() const override;

private:
    // The music reads from the stream while it plays: the stream is declared
    // first so that it outlives the music.
    MusicFileStream stream_;
    sf::Music music_;
};

}  // namespace vo

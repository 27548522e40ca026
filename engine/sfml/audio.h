#pragma once

#include "engine/core/smart_ptr.h"

namespace vo {

// Decoded samples of a sound file. Made by Engine::create_sound_buffer.
class SoundBuffer {
public:
    SoundBuffer() = default;
    SoundBuffer(const SoundBuffer&) {}
    SoundBuffer& operator=(const SoundBuffer&) { return *this; }
    virtual ~SoundBuffer();

    virtual bool load(const char* file) = 0;
};

// A streamed music track. Made by Engine::create_music. Volumes are 0 to 100.
class Music {
public:
    Music() = default;
    Music(const Music&) {}
    Music& operator=(const Music&) { return *this; }
    virtual ~Music();

    virtual bool open(const char* file) = 0;
    virtual void set_loop(bool loop) = 0;
    virtual bool loop() const = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual bool is_playing() const = 0;
    virtual bool is_paused() const = 0;
    virtual bool is_stopped() const = 0;
    virtual void set_volume(float volume) = 0;
    virtual float volume() const = 0;
};

// A one-shot sound playing the samples of a SoundBuffer. Made by
// Engine::create_sound.
class Sound {
public:
    Sound() = default;
    Sound(const Sound&) {}
    Sound& operator=(const Sound&) { return *this; }
    virtual ~Sound();

    virtual void set_buffer(SmartPtr<SoundBuffer> buffer) = 0;
    virtual void set_loop(bool loop) = 0;
    virtual bool loop() const = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual bool is_playing() const = 0;
    virtual bool is_paused() const = 0;
    virtual bool is_stopped() const = 0;
    virtual void set_volume(float volume) = 0;
    virtual float volume() const = 0;
    // 1 leaves the samples unchanged.
    virtual void set_pitch(float pitch) = 0;
    virtual float pitch() const = 0;
};

}  // namespace vo

#pragma once

// Sounds and music for a machine without an audio device. They never call
// the audio library's playback (which would fail and report on every call,
// and whose music streaming thread would spin): they decode what a sound or
// track would play only to learn whether it loads and how long it lasts,
// and keep their state, volume and pitch themselves. So the handlers see a
// sound play for its length and stop, and a track play until it ends or is
// stopped, exactly as with a device, in silence.

#include "engine/sfml/audio.h"

#include <chrono>

namespace vo {

// Where a silent sound or track would be if it played: its state, and its
// position in the data kept against the steady clock.
class SilentPlayback {
public:
    // Seconds of data at rate 1; 0 leaves nothing to play.
    void set_length(double seconds);
    void set_loop(bool loop);
    bool loop() const { return loop_; }
    // Seconds of data played per second (the pitch of a sound).
    void set_rate(float rate);
    float rate() const { return rate_; }

    // As the audio library does: play resumes a paused one and starts any
    // other from the beginning; pause holds only a playing one; stop
    // rewinds.
    void play();
    void pause();
    void stop();

    bool is_playing() const { return state() == State::playing; }
    bool is_paused() const { return state() == State::paused; }
    bool is_stopped() const { return state() == State::stopped; }

private:
    enum class State { stopped, paused, playing };
    using Clock = std::chrono::steady_clock;

    State state() const;
    double position() const;
    // Folds the time played so far into the position (and ends a play that
    // ran out) before the state changes.
    void settle();

    double length_ = 0.0;
    bool loop_ = false;
    float rate_ = 1.0f;
    State state_ = State::stopped;
    double offset_ = 0.0;
    Clock::time_point since_;
};

class SilentSoundBuffer : public SoundBuffer {
public:
    // Decodes the whole file as a sound buffer does and keeps only its
    // length; false when a buffer would not load it.
    bool load(const char* file) override;

    double length() const { return length_; }

private:
    double length_ = 0.0;
};

// What silent sounds and tracks share: the playback, its loop and the
// volume, kept as the audio library keeps it (a gain of volume / 100; a
// negative volume is refused).
template <class Interface>
class SilentPlayer : public Interface {
public:
    void set_loop(bool loop) override { playback_.set_loop(loop); }
    bool loop() const override { return playback_.loop(); }
    void play() override { playback_.play(); }
    void pause() override { playback_.pause(); }
    void stop() override { playback_.stop(); }
    bool is_playing() const override { return playback_.is_playing(); }
    bool is_paused() const override { return playback_.is_paused(); }
    bool is_stopped() const override { return playback_.is_stopped(); }
    void set_volume(float volume) override {
        if (volume >= 0.0f) gain_ = volume * 0.01f;
    }
    float volume() const override { return gain_ * 100.0f; }

protected:
    SilentPlayback playback_;

private:
    float gain_ = 1.0f;
};

class SilentSound : public SilentPlayer<Sound> {
public:
    // Takes the length of a buffer made here; another buffer (or none)
    // leaves nothing to play. Either way a playing sound stops.
    void set_buffer(SmartPtr<SoundBuffer> buffer) override;
    void set_pitch(float pitch) override;
    float pitch() const override { return playback_.rate(); }
};

class SilentMusic : public SilentPlayer<Music> {
public:
    // Opens the file as a track does (skipping a container header) to learn
    // whether it decodes and how long it plays; a track that did not open
    // has nothing to play.
    bool open(const char* file) override;
};

}  // namespace vo

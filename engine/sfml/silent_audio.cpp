#include "engine/sfml/silent_audio.h"

#include "engine/sfml/music_file_stream.h"

#include <SFML/Audio/InputSoundFile.hpp>

#include <cmath>
#include <vector>

namespace vo {

void SilentPlayback::set_length(double seconds) {
    stop();
    length_ = seconds > 0.0 ? seconds : 0.0;
}

void SilentPlayback::set_loop(bool loop) {
    settle();
    loop_ = loop;
}

void SilentPlayback::set_rate(float rate) {
    settle();
    rate_ = rate;
}

double SilentPlayback::position() const {
    if (state_ != State::playing) return offset_;
    return offset_ + std::chrono::duration<double>(Clock::now() - since_).count() * rate_;
}

SilentPlayback::State SilentPlayback::state() const {
    if (state_ == State::playing && !loop_ && position() >= length_) return State::stopped;
    return state_;
}

void SilentPlayback::settle() {
    if (state_ != State::playing) return;
    double played = position();
    if (loop_) {
        played = std::fmod(played, length_);
    } else if (played >= length_) {
        stop();
        return;
    }
    offset_ = played;
    since_ = Clock::now();
}

void SilentPlayback::play() {
    settle();
    if (length_ <= 0.0) return;  // nothing to play: it stays stopped
    if (state_ != State::paused) offset_ = 0.0;
    state_ = State::playing;
    since_ = Clock::now();
}

void SilentPlayback::pause() {
    settle();
    if (state_ != State::playing) return;
    offset_ = position();
    state_ = State::paused;
}

void SilentPlayback::stop() {
    state_ = State::stopped;
    offset_ = 0.0;
}

bool SilentSoundBuffer::load(const char* file) {
    length_ = 0.0;
    sf::InputSoundFile input;
    if (!file || !input.openFromFile(file)) return false;
    const sf::Uint64 count = input.getSampleCount();
    const unsigned channels = input.getChannelCount();
    const unsigned rate = input.getSampleRate();
    // The channel layouts the audio library plays; a buffer of any other
    // is refused.
    const bool playable = channels == 1 || channels == 2 || channels == 4 || (channels >= 6 && channels <= 8);
    if (count == 0 || rate == 0 || !playable) return false;
    // A buffer holds every sample, and a file that ends early fails.
    std::vector<sf::Int16> chunk(4096 * channels);
    sf::Uint64 read = 0;
    while (read < count) {
        const sf::Uint64 got = input.read(chunk.data(), chunk.size());
        if (got == 0) break;
        read += got;
    }
    if (read != count) return false;
    length_ = input.getDuration().asSeconds();
    return true;
}

void SilentSound::set_buffer(SmartPtr<SoundBuffer> buffer) {
    auto* own = dynamic_cast<SilentSoundBuffer*>(buffer.get());
    playback_.set_length(own ? own->length() : 0.0);
}

void SilentSound::set_pitch(float pitch) {
    // A negative pitch is refused, as by the audio library.
    if (pitch >= 0.0f) playback_.set_rate(pitch);
}

bool SilentMusic::open(const char* file) {
    playback_.set_length(0.0);
    MusicFileStream stream;
    sf::InputSoundFile input;
    if (!file || !stream.open(file) || !input.openFromStream(stream)) return false;
    playback_.set_length(input.getDuration().asSeconds());
    return true;
}

}  // namespace vo

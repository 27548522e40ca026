#pragma once

#include "engine/core/music_desc.h"
#include "engine/core/smart_ptr.h"
#include "engine/sfml/audio.h"

#include <string>
#include <vector>

namespace vo {

class MusicHandler;

// Plays music by situation instead of by file: every top-level node of the
// music configuration file ("music.info" unless set otherwise) names a
// description whose "track" children list the files to play, each with its
// volume, looping and fade-in and fade-out timing. A new request fades out
// and stops what the last one started and starts its own tracks; a track
// that is wanted again while it still plays is kept and faded back to its
// volume. All timing runs through the music handler's schedule.
class MusicController {
public:
    struct PlayingTrack {
        SmartPtr<Music> music;
        MusicTransition fade_out;
    };

    MusicController();
    MusicController(MusicController const&) = default;

    void set_config(const char* file);
    std::string const& config() const { return config_; }

    // Switches to the description of that name; null only fades out and
    // stops what was playing. A missing description, or a track without
    // "fadeIn" or "fadeOut", raises the configuration tree's missing-node
    // error, leaving the tracks handled before it started.
    void play_music_desc(const char* name);

    // Nothing to do: the music handler's own update drives the timing.
    void update(double dt);

    std::vector<PlayingTrack> const& playing() const { return playing_; }

private:
    MusicHandler& handler_;
    std::vector<PlayingTrack> playing_;
    std::string config_;
};

MusicController& GetMusicController();

}  // namespace vo

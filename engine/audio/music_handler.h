#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/core/tween_machine.h"
#include "engine/sfml/audio.h"

#include <string>
#include <vector>

namespace vo {

// Plays streamed music tracks on a clock of its own. Every change goes
// through the schedule: starts, volume fades and stops are stamped with a time
// on the handler's clock and run by update when that time has come, or at
// once when it already has. Fades are linear tweens driving Music::set_volume.
// A master volume scales every track. Tracks that report stopped are dropped,
// with their fades, at the next update.
class MusicHandler {
public:
    enum ItemKind : int { ITEM_START = 0, ITEM_FADE_IN = 1, ITEM_FADE_OUT = 2, ITEM_STOP = 3 };

    struct ScheduledItem {
        int kind = ITEM_START;
        SmartPtr<Music> music;
        double time = 0.0;      // on the handler's clock
        double duration = 0.0;  // of a fade
        float volume = 0.0f;    // the track volume a fade in leads to
        std::string name;       // of a start item
    };

    struct ActiveTrack {
        SmartPtr<Music> music;
        std::string name;     // the file the track was started with
        float volume = 0.0f;  // the track's own volume, before the master volume
    };

    MusicHandler();
    ~MusicHandler();
    // The fades are owned by a tween machine, which cannot be copied.
    MusicHandler(MusicHandler const&) = delete;
    MusicHandler& operator=(MusicHandler const&) = delete;

    // Opens the file from the music folder and schedules its start after
    // `delay` seconds and a fade in to `volume` lasting `fade` seconds. A file
    // that cannot be opened is scheduled all the same and stays silent.
    SmartPtr<Music> start(const char* file, bool loop, double delay, double fade, float volume);
    // A fade out after `delay` lasting `fade`, then a stop.
    void stop(SmartPtr<Music> music, double delay, double fade);
    void stop_all(double delay, double fade);

    void schedule_start(SmartPtr<Music> music, double delay, const char* name);
    void schedule_fade_in(SmartPtr<Music> music, double delay, double duration, float volume);
    void schedule_fade_out(SmartPtr<Music> music, double delay, double duration);
    void schedule_stop(SmartPtr<Music> music, double delay);

    // Advances the clock, the fades and the schedule by dt seconds; nothing
    // happens for dt <= 0.
    void update(double dt);

    // Scales every track by volume / 100, at once (time <= 0) or fading over
    // `time` seconds. Fades still running on the active tracks are cancelled
    // first, so that none of them keeps writing its old target.
    void set_master_volume(float volume, double time);
    float master_volume() const { return master_volume_; }

    void cancel_schedule(SmartPtr<Music> music);
    void cancel_tweens(SmartPtr<Music> music);
    void stop_active_fades();
    void clear_scheduled();
    // Stops every track at once and forgets tracks, schedule and fades.
    void clear();

    bool track_is_active(std::string const& name) const;
    bool track_is_scheduled(std::string const& name) const;
    bool track_is_active_or_scheduled(std::string const& name) const;
    // The music of the first active track of that name, or null.
    SmartPtr<Music> active_track_by_name(std::string const& name);

    double time() const { return time_; }
    std::vector<ScheduledItem> const& schedule() const { return schedule_; }
    std::vector<ActiveTrack> const& tracks() const { return tracks_; }
    std::size_t num_fades() const { return tweens_.num_running() + tweens_.num_scheduled(); }

private:
    void schedule_item(ScheduledItem const& item);
    void execute_scheduled_item(ScheduledItem item);
    void add_fade(SmartPtr<Music> const& music, float from, float to, double duration);
    ActiveTrack* find_track(Music const* music);

    double time_ = 0.0;
    float master_volume_ = 100.0f;
    TweenMachine tweens_;
    std::vector<ScheduledItem> schedule_;
    std::vector<ActiveTrack> tracks_;
};

// The process's one music handler.
MusicHandler& GetMusicHandler();

}  // namespace vo

#include "engine/audio/music_handler.h"

#include "engine/core/path_provider.h"
#include "engine/core/tweener.h"
#include "engine/sfml/engine.h"

#include <algorithm>
#include <iostream>

namespace vo {

namespace {

using VolumeTween = Tweener<LinearTween<float>, TweenMethodCallback<float, Music>>;

// A linear volume fade that also holds a handle of its track: the tween
// writes through a plain pointer, and a caller may drop its own handle of a
// track that is still fading.
class VolumeFade : public VolumeTween {
public:
    VolumeFade(SmartPtr<Music> const& music, float from, float to, double duration)
        : VolumeTween(duration, from, to, music.get(), &Music::set_volume), music_(music) {}

    ITweener* clone() const override { return new VolumeFade(*this); }

private:
    SmartPtr<Music> music_;
};

}  // namespace

MusicHandler::MusicHandler() = default;
MusicHandler::~MusicHandler() = default;

MusicHandler& GetMusicHandler() {
    static MusicHandler handler;
    return handler;
}

SmartPtr<Music> MusicHandler::start(const char* file, bool loop, double delay, double fade, float volume) {
    std::string const name = file ? file : "";
    SmartPtr<Music> music = Engine::instance().create_music();
    std::string const path = PathProvider::get_path(10) + name;
    if (!music->open(path.c_str())) {
        // The track is scheduled all the same and stays silent.
        std::cout << "WARNING: Couldn't open music: " << path << std::endl;
    }
    music->set_loop(loop);
    music->set_volume(fade > 0.0 ? 0.0f : master_volume_ * volume / 100.0f);
    schedule_start(music, delay, name.c_str());
    schedule_fade_in(music, delay, fade, volume);
    return music;
}

void MusicHandler::stop(SmartPtr<Music> music, double delay, double fade) {
    schedule_fade_out(music, delay, fade);
    schedule_stop(music, delay + fade);
}

void MusicHandler::stop_all(double delay, double fade) {
    // stop may run at once and touch the track list: walk a copy.
    std::vector<SmartPtr<Music>> musics;
    musics.reserve(tracks_.size());
    for (ActiveTrack const& track : tracks_) musics.push_back(track.music);
    for (SmartPtr<Music> const& music : musics) stop(music, delay, fade);
}

void MusicHandler::schedule_start(SmartPtr<Music> music, double delay, const char* name) {
    ScheduledItem item;
    item.kind = ITEM_START;
    item.music = music;
    item.time = time_ + delay;
    item.name = name ? name : "";
    schedule_item(item);
}

void MusicHandler::schedule_fade_in(SmartPtr<Music> music, double delay, double duration, float volume) {
    ScheduledItem item;
    item.kind = ITEM_FADE_IN;
    item.music = music;
    item.time = time_ + delay;
    item.duration = duration;
    item.volume = volume;
    schedule_item(item);
}

void MusicHandler::schedule_fade_out(SmartPtr<Music> music, double delay, double duration) {
    ScheduledItem item;
    item.kind = ITEM_FADE_OUT;
    item.music = music;
    item.time = time_ + delay;
    item.duration = duration;
    schedule_item(item);
}

void MusicHandler::schedule_stop(SmartPtr<Music> music, double delay) {
    ScheduledItem item;
    item.kind = ITEM_STOP;
    item.music = music;
    item.time = time_ + delay;
    schedule_item(item);
}

void MusicHandler::schedule_item(ScheduledItem const& item) {
    if (item.time > time_) {
        schedule_.push_back(item);
    } else {
        execute_scheduled_item(item);
    }
}

MusicHandler::ActiveTrack* MusicHandler::find_track(Music const* music) {
    for (ActiveTrack& track : tracks_) {
        if (track.music.get() == music) return &track;
    }
    return nullptr;
}

void MusicHandler::add_fade(SmartPtr<Music> const& music, float from, float to, double duration) {
    tweens_.add(new VolumeFade(music, from, to, duration));
}

void MusicHandler::execute_scheduled_item(ScheduledItem item) {
    if (!item.music) return;
    Music& music = *item.music;
    switch (item.kind) {
        case ITEM_START: {
            ActiveTrack track;
            track.music = item.music;
            track.name = item.name;
            track.volume = item.volume;
            tracks_.push_back(track);
            music.play();
            break;
        }
        case ITEM_FADE_IN: {
            float const from = music.is_playing() ? music.volume() : 0.0f;
            float const target = master_volume_ * item.volume / 100.0f;
            std::cout << "DBG: FADE_IN from " << from << " to " << target << " in " << item.duration << " sec.\n"
                      << std::flush;
            add_fade(item.music, from, target, item.duration);
            if (ActiveTrack* track = find_track(item.music.get())) track->volume = item.volume;
            break;
        }
        case ITEM_FADE_OUT: {
            add_fade(item.music, music.volume(), 0.0f, item.duration);
            if (ActiveTrack* track = find_track(item.music.get())) track->volume = 0.0f;
            break;
        }
        case ITEM_STOP:
            music.stop();
            break;
        default:
            break;
    }
}

void MusicHandler::update(double dt) {
    if (!(dt > 0.0)) return;
    time_ += dt;

    tweens_.update(dt);

    // Tracks that ended (by a stop item or by themselves) go, with their fades.
    std::vector<ActiveTrack> ended;
    auto const ended_begin = std::stable_partition(tracks_.begin(), tracks_.end(), [](ActiveTrack const& track) {
        return !(track.music && track.music->is_stopped());
    });
    ended.assign(ended_begin, tracks_.end());
    tracks_.erase(ended_begin, tracks_.end());
    for (ActiveTrack const& track : ended) cancel_tweens(track.music);

    // Due items leave the schedule before any of them runs.
    std::vector<ScheduledItem> due;
    std::vector<ScheduledItem> later;
    for (ScheduledItem& item : schedule_) {
        if (item.time <= time_) {
            due.push_back(std::move(item));
        } else {
            later.push_back(std::move(item));
        }
    }
    schedule_.swap(later);
    for (ScheduledItem const& item : due) execute_scheduled_item(item);
}

void MusicHandler::set_master_volume(float volume, double time) {
    master_volume_ = volume;
    for (ActiveTrack const& track : tracks_) {
        if (!track.music) continue;
        // A fade still running would keep writing its old target after this
        // one has ended.
        cancel_tweens(track.music);
        float const target = track.volume * volume / 100.0f;
        if (time > 0.0) {
            add_fade(track.music, track.music->volume(), target, time);
        } else {
            track.music->set_volume(target);
        }
    }
}

void MusicHandler::cancel_schedule(SmartPtr<Music> music) {
    schedule_.erase(std::remove_if(schedule_.begin(), schedule_.end(),
                                   [&](ScheduledItem const& item) { return item.music.get() == music.get(); }),
                    schedule_.end());
}

void MusicHandler::cancel_tweens(SmartPtr<Music> music) {
    if (!music) return;
    tweens_.cancel_tweens(music.get());
}

void MusicHandler::stop_active_fades() { tweens_.clear(); }

void MusicHandler::clear_scheduled() { schedule_.clear(); }

void MusicHandler::clear() {
    stop_all(0.0, 0.0);
    tracks_.clear();
    schedule_.clear();
    tweens_.clear();
}

bool MusicHandler::track_is_active(std::string const& name) const {
    return std::any_of(tracks_.begin(), tracks_.end(), [&](ActiveTrack const& t) { return t.name == name; });
}

bool MusicHandler::track_is_scheduled(std::string const& name) const {
    return std::any_of(schedule_.begin(), schedule_.end(), [&](ScheduledItem const& i) { return i.name == name; });
}

bool MusicHandler::track_is_active_or_scheduled(std::string const& name) const {
    return track_is_active(name) || track_is_scheduled(name);
}

SmartPtr<Music> MusicHandler::active_track_by_name(std::string const& name) {
    for (ActiveTrack const& track : tracks_) {
        if (track.name == name) return track.music;
    }
    return SmartPtr<Music>();
}

}  // namespace vo

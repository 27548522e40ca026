#include "engine/audio/music_controller.h"

#include "engine/audio/music_handler.h"
#include "engine/core/config.h"
#include "engine/core/tree_readers.h"

#include <boost/property_tree/ptree.hpp>

namespace vo {

MusicController::MusicController() : handler_(GetMusicHandler()), config_("music.info") {}

MusicController& GetMusicController() {
    static MusicController controller;
    return controller;
}

void MusicController::set_config(const char* file) { config_ = file ? file : ""; }

void MusicController::update(double) {}

void MusicController::play_music_desc(const char* name) {
    for (PlayingTrack const& track : playing_) {
        if (!track.music) continue;
        if (!track.music->is_stopped()) {
            handler_.stop(track.music, track.fade_out.fade_offset, track.fade_out.fade_duration);
        } else {
            // Not started yet (a delayed fade-in) or already over: make sure a
            // pending start cannot bring it back over the next description.
            handler_.cancel_schedule(track.music);
        }
    }
    playing_.clear();

    if (!name) return;

    ptree const& desc_node = GetConfig(config_.c_str(), name);
    for (auto const& child : desc_node) {
        if (child.first != "track") continue;
        ptree const& track_node = child.second;
        MusicDesc const desc = ReadMusicDesc(track_node);
        MusicTransition const fade_in = ReadMusicTransition(track_node.get_child("fadeIn"));
        MusicTransition const fade_out = ReadMusicTransition(track_node.get_child("fadeOut"));

        float const volume = static_cast<float>(desc.volume);
        SmartPtr<Music> music;
        // Kept only while it still sounds: a track stopped at once above (a
        // fade-out of no length) starts anew.
        if (handler_.track_is_active(desc.file)) {
            SmartPtr<Music> active = handler_.active_track_by_name(desc.file);
            if (active && !active->is_stopped()) music = active;
        }
        if (music) {
            handler_.cancel_schedule(music);
            handler_.cancel_tweens(music);
            music->set_loop(desc.repeat);
            handler_.schedule_fade_in(music, 0.0, 1.0, volume);
        } else {
            music = handler_.start(desc.file.c_str(), desc.repeat, fade_in.fade_offset, fade_in.fade_duration,
                                   volume);
        }
        playing_.push_back(PlayingTrack{music, fade_out});
    }
}

}  // namespace vo

// Starting a match, the level preview behind the menu, and the camera's
// starting state.

#include "game/match/match.h"

#include "engine/audio/music_controller.h"
#include "engine/core/error.h"
#include "engine/core/random.h"
#include "engine/physics/physics_handler.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/widget.h"
#include "game/camera/action_camera_controller.h"
#include "game/match/match_config.h"
#include "game/match/turn_control_state.h"

#include <algorithm>
#include <iostream>
#include <sstream>

namespace vo {

namespace {

// Refuses a set-up the match cannot be played with, naming what is wrong.
void CheckPlayable(MatchSettings const& settings) {
    if (settings.num_teams() < 2) {
        std::ostringstream text;
        text << "Match::start_match: a match needs at least two teams, the set-up has " << settings.num_teams();
        throw Error(text.str().c_str());
    }
    for (std::size_t i = 0; i < settings.num_teams(); ++i) {
        if (settings.teams()[i].members.empty()) {
            std::ostringstream text;
            text << "Match::start_match: team " << i << " (\"" << settings.teams()[i].name << "\") has no members";
            throw Error(text.str().c_str());
        }
    }
}

}  // namespace

void Match::show_level_preview(int seed, float aspect) {
    load_config(false);
    turn_tweens_.clear();
    // A match left paused must not stay paused in the preview (entering the
    // preview ends a wait the match was left in).
    set_paused(false);
    world_rotation_ = 0.0f;
    level_seed_ = seed;
    scene_.clear(true);
    back_layers_.clear();
    front_layers_.clear();
    current_team_ = -1;
    teams_.clear();
    slobs_.clear();
    dying_slobs_.clear();
    new_items_.clear();
    generate_area();
    reset_camera();
    if (aspect > 0.0f) scene_.camera().set_aspect_ratio(aspect);
    camera_->set_look_at(vector3(0.0f, 0.0f, 0.0f));
    camera_->set_zoom(2.0f / level_radius_);
    preview_mode_ = true;
    change_phase(MatchPhase::preview);
}

void Match::start_match(MatchSettings const& settings, bool random_start_team) {
    CheckPlayable(settings);
    try {
        start_match_steps(settings, random_start_team);
    } catch (Error const& e) {
        std::cout << e.message() << std::endl;
        throw Error("Coulnd't complete Match::start_match. Some error occurred.");
    }
}

void Match::start_match_steps(MatchSettings const& settings, bool random_start_team) {
    load_config(false);
    const std::vector<bool>& cpu = settings.cpu_controlled();
    scene_.check_match_weapons(config_->numMines > 0, std::find(cpu.begin(), cpu.end(), true) != cpu.end());
    init_widgets();
    // The turn tweens of a match left in the middle of a turn would go on
    // turning the world (and switch gravity on) in the new one.
    turn_tweens_.clear();
    preview_mode_ = false;
    world_rotation_ = 0.0f;
    reset_camera();
    GetMusicController().play_music_desc("match");

    occupied_spheres_.clear();
    last_jump_time_ = 0.0;
    turn_count_ = 0;
    death_interval_ = 2.0;
    // A charge, a held key or the pause of the match that was left must not
    // carry over.
    ResetTurnControlState();
    set_paused(false);
    charging_ = false;
    charge_fraction_ = 0.0f;

    if (random_start_team) {
        const int n = static_cast<int>(settings.num_teams());
        int r = Rand();
        if (r == kRandMax) r = kRandMax - 1;
        start_team_ = static_cast<int>((r / static_cast<double>(kRandMax)) * n);
    }

    settings_ = settings;
    apply_world_rotation();
    // Nothing falls while the match starts; the first turn turns gravity on.
    scene_.physics_handler()->set_gravity(vector3(0.0f, 0.0f, 0.0f));

    populate_scene();
    init_team_widgets();
    if (round_timer_box_) {
        if (config_->roundTime > 0.0) {
            round_timer_box_->enable_state(WS_VISIBLE);
        } else {
            round_timer_box_->disable_state(WS_VISIBLE);
        }
    }
    change_phase(MatchPhase::match_start);
}

void Match::reset_camera() {
    Engine& engine = Engine::instance();
    const int height = engine.screen_height();
    const float aspect =
        height > 0 ? static_cast<float>(engine.screen_width()) / static_cast<float>(height) : 1.0f;

    camera_->set_look_at(vector3(0.0f, 0.0f, 0.0f));
    camera_->set_zoom(camera_->zoom_for_min_box());
    camera_->set_rotation(0.0f);
    camera_->set_custom_offset(vector3(0.0f, 0.0f, 0.0f));
    camera_->set_focus_entity(nullptr);
    camera_->set_scene(&scene_);
    camera_->set_following(false);
    camera_->aspect = aspect;

    config_->camera.fieldOfViewY = MatchConfig::applied_field_of_view(config_->camera.fieldOfViewY);

    Camera2DPerspective& camera = scene_.camera();
    camera.set_field_of_view(config_->camera.fieldOfViewY);
    camera.set_near_clipping_plane(config_->camera.nearClippingPlane);
    camera.set_far_clipping_plane(config_->camera.farClippingPlane);
    camera.set_aspect_ratio(aspect);
}

}  // namespace vo

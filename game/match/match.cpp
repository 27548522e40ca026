#include "game/match/match.h"

#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/core/profiler.h"
#include "engine/core/resources.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene2d_event_listener.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/font.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/app/characters.h"
#include "game/behaviors/game_events.h"
#include "game/camera/action_camera_controller.h"
#include "game/level/data_rules.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/level_snapshot.h"
#include "game/match/match_config.h"
#include "game/menus/esc_menu_screen.h"
#include "game/menus/match_results_screen.h"
#include "game/menus/notification_widget.h"

#include <boost/signals2/connection.hpp>

#include <iostream>

namespace vo {

SlobRecord::SlobRecord(Entity* entity_, int team_, int member_)
    : entity(entity_), team(team_), member(member_), voice(Engine::instance().create_sound()) {}

Match::Match() {
    config_ = SmartPtr<MatchConfig>(new MatchConfig);
    scene_.set_game_config(config_);

    // The returned connection is not kept: the listener lives as long as the
    // scene, which is a member.
    scene_.set_event_listener(this, &Match::on_game_event);

    esc_menu_ = SmartPtr<EscMenuScreen>(new EscMenuScreen);
    results_screen_ = SmartPtr<MatchResultsScreen>(new MatchResultsScreen);

    root_widget_ = new Widget(nullptr, WS_DEFAULT_STATE);
    set_root_widget(root_widget_);

    level_ = SmartPtr<LevelGeometryHandle>(new LevelGeometryHandle);

    camera_ = SmartPtr<ActionCameraController>(new ActionCameraController);
    scene_.set_camera_controller(SmartPtr<ICameraController2D>(camera_));

    hud_font_ = SmartPtr<Font>(new Font);
    ai_ = SmartPtr<AIPlayer>(new AIPlayer);

    apply_world_rotation();
}

Match::~Match() {
    // The display goes first, with every widget below it; the members follow
    // in reverse order of declaration.
    delete root_widget_;
    root_widget_ = nullptr;
    set_root_widget(nullptr);
}

bool Match::process_key_event(KeyEvent const& event) {
    Engine& engine = Engine::instance();
    const KeyCode key = event.key();
    if (event.type() == KEY_RELEASED) {
        if (key == KEY_ESCAPE) {
            esc_menu_->finished = false;
            esc_menu_->restart_requested = false;
            esc_menu_->main_menu_requested = false;
            PushScreen(SmartPtr<IScreen>(esc_menu_));
        } else if (key == KEY_L) {
            std::cout << "WARNING: Reloading Textures - Only for development purposes!\n" << std::flush;
            Textures().reload_all();
        } else if (key == KEY_O) {
            std::cout << "\n" << zprof::ProfileManager::instance.outputNodesAsString() << "\n" << std::flush;
        }
    } else if (event.type() == KEY_PRESSED) {
        if (key == KEY_P) {
            set_paused(!paused_);
        } else if (key == KEY_N) {
            if (paused_) single_step_ = true;
        } else if (key == KEY_K && (engine.is_key_down(KEY_LCONTROL) || engine.is_key_down(KEY_RCONTROL))) {
            death_interval_ = 0.1;
            scene_.emit_event(new ExplosionEvent(vector3(0.0f, 0.0f, 0.0f), 100.0f, 500.0f, 10.0f), 0.0);
        }
    }
    return true;
}

bool Match::process_mouse_event(MouseEvent const& event) {
    mouse_over_hud_ = root_widget_->process_mouse_event(event);
    return true;
}

void Match::activate(IScreen* closed) {
    if (!closed) return;
    if (closed == esc_menu_.get()) {
        if (esc_menu_->restart_requested) {
            const MatchSettings copy = settings_;
            start_match(copy, true);
        } else if (esc_menu_->main_menu_requested) {
            change_phase(MatchPhase::leave);
        }
    } else if (closed == results_screen_.get()) {
        if (results_screen_->fight_again_requested()) {
            const MatchSettings copy = settings_;
            start_match(copy, false);
        } else if (results_screen_->main_menu_requested()) {
            change_phase(MatchPhase::leave);
        }
    }
}

void Match::set_cpu_level(int level) {
    cpu_level_ = level;
    prepare_computer_player();
}

void Match::notify(std::string const& text) { notify(text.c_str()); }

void Match::notify(const char* text) {
    if (notifications_) notifications_->add(text);
}

TeamState* Match::current_team_state() {
    if (current_team_ < 0 || current_team_ >= static_cast<int>(teams_.size())) return nullptr;
    return &teams_[static_cast<std::size_t>(current_team_)];
}

Entity* Match::acting_slob() {
    TeamState* team = current_team_state();
    if (!team) return nullptr;
    if (team->acting_member < 0 || team->acting_member >= static_cast<int>(team->members.size())) return nullptr;
    const int index = team->members[static_cast<std::size_t>(team->acting_member)];
    if (index < 0 || index >= static_cast<int>(slobs_.size())) return nullptr;
    return slobs_[static_cast<std::size_t>(index)].entity;
}

SlobRecord* Match::find_slob_record(Entity* entity) {
    if (!entity) return nullptr;
    for (SlobRecord& record : slobs_)
        if (record.entity == entity) return &record;
    return nullptr;
}

bool Match::is_live_entity(Entity* entity) {
    if (!entity) return false;
    const unsigned count = scene_.num_entities();
    for (unsigned i = 0; i < count; ++i)
        if (scene_.entity(i) == entity) return !entity->was_killed();
    return false;
}

void Match::serialize() { WriteLevelSnapshot(snapshot_buffer_, *level_); }

void Match::deserialize() { ReadLevelSnapshot(snapshot_buffer_, *level_); }

void Match::load_config(bool during_play) {
    const std::string path = PathProvider::get_path(1) + MatchConfig::FILE_NAME;
    // The load rules: what the match demands of the file later (the files
    // it names, the slobs' body) fails here, naming the key. The slobs of a
    // character without a texture draw with the slob body's.
    bool slob_texture_drawn = false;
    for (unsigned i = 0; i < NumCharacters(); ++i) {
        if (GetCharacter(i).textureName.empty()) slob_texture_drawn = true;
    }
    const MatchConfig::Check rules = [slob_texture_drawn](const ptree& fresh) {
        WarnAndRefuse(GameConfigFindings(fresh, InstalledDataFiles(), slob_texture_drawn));
    };
    if (during_play) {
        // A file that went bad while the match runs must not end the game:
        // the record keeps the values of the last good load.
        config_->reload(path, game_config_tree_, rules);
    } else {
        config_->load(path, game_config_tree_, rules);
    }
    camera_->apply_settings(*config_);
    hud_font_->set_file((PathProvider::get_path(3) + config_->roundTimerFont).c_str(), Font::FONT_BITMAP);
}

void Match::set_paused(bool paused) {
    paused_ = paused;
    single_step_ = false;
    if (!pause_notice_) return;
    if (paused_) {
        pause_notice_->enable_state(WS_VISIBLE);
    } else {
        pause_notice_->disable_state(WS_VISIBLE);
    }
}

std::ostream& operator<<(std::ostream& out, MatchPhase phase) { return out << static_cast<int>(phase); }

}  // namespace vo

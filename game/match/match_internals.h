#pragma once

// What the tests, the soak and the benchmarks see of a Match beyond the
// operations the game uses: its state, the phase observer, and the few inner
// operations they drive themselves. The game never includes this header.
//
//     EXPECT_EQ(vo::Inspect(match).turn_count(), 1);

#include "game/match/match.h"

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vo {

class MatchInternals {
public:
    explicit MatchInternals(Match& match) : match_(match) {}

    // Told the old and the new phase at every change of phase.
    void set_phase_observer(std::function<void(MatchPhase, MatchPhase)> observer) {
        match_.phase_observer_ = std::move(observer);
    }

    // The match's course.
    bool preview_mode() const { return match_.preview_mode_; }
    bool paused() const { return match_.paused_; }
    int level_seed() const { return match_.level_seed_; }
    int cpu_level() const { return match_.cpu_level_; }
    double clock() const { return match_.clock_; }
    int turn_count() const { return match_.turn_count_; }
    // Fluid particles (lava and stone debris) that have left the level disc
    // since the match was made, each counted once.
    long lost_fluid_particles() const { return match_.lost_fluid_particles_; }
    int current_team() const { return match_.current_team_; }
    int start_team() const { return match_.start_team_; }
    double death_interval() const { return match_.death_interval_; }
    static double longest_rest_wait() { return Match::LONGEST_REST_WAIT; }
    MatchSettings const& settings() const { return match_.settings_; }
    MatchStats const& stats() const { return match_.stats_; }

    // Teams and slobs.
    std::vector<TeamState> const& teams() const { return match_.teams_; }
    std::vector<SlobRecord> const& slobs() const { return match_.slobs_; }
    TeamState* current_team_state() const { return match_.current_team_state(); }
    Entity* acting_slob() const { return match_.acting_slob(); }
    std::deque<int> const& dying_slobs() const { return match_.dying_slobs_; }
    std::vector<Sphere> const& occupied_spheres() const { return match_.occupied_spheres_; }

    // The scene, the level, the camera and the turned world.
    LevelScene& scene() const { return match_.scene_; }
    SmartPtr<LevelGeometryHandle> level() const { return match_.level_; }
    SmartPtr<ActionCameraController> camera() const { return match_.camera_; }
    SmartPtr<MatchConfig> config() const { return match_.config_; }
    float world_rotation() const { return match_.world_rotation_; }
    vector3 const& world_up() const { return match_.world_up_; }
    vector3 const& world_right() const { return match_.world_right_; }

    // Steering: the human players' controls and the computer player.
    PlayerControls& controls() const { return match_.controls_; }
    AIPlayer& ai() const { return *match_.ai_; }
    bool charging() const { return match_.charging_; }
    float charge_fraction() const { return match_.charge_fraction_; }
    double last_jump_time() const { return match_.last_jump_time_; }
    vector3 const& pan_offset() const { return match_.pan_offset_; }

    // The head-up display.
    bool hud_built() const { return match_.hud_built_; }
    Widget* hud_root() const { return match_.root_widget_; }
    Widget* round_timer_box() const { return match_.round_timer_box_; }
    TextWidget* round_timer_text() const { return match_.round_timer_text_; }
    double round_timer() const { return match_.round_timer_; }
    std::vector<ButtonWidget*> const& timer_buttons() const { return match_.timer_buttons_; }
    int timer_selection() const { return match_.timer_selection_; }
    int pressed_timer_button() const { return match_.pressed_timer_button(); }
    ButtonWidget* world_rotate_button() const { return match_.world_rotate_button_; }
    WeaponSelectWidget* weapon_select() const { return match_.weapon_select_; }
    NotificationWidget* notifications() const { return match_.notifications_; }
    TextWidget* pause_notice() const { return match_.pause_notice_; }
    Widget* team_panel() const { return match_.team_panel_; }
    std::vector<BarWidget*> const& life_bars() const { return match_.life_bars_; }
    int name_text_height() const { return match_.name_text_height_; }

    // Inner operations driven directly.
    void notify(std::string const& text) const { match_.notify(text); }
    void set_world_rotation(float degrees) const { match_.set_world_rotation(degrees); }
    bool use_power_up(int kind, bool consume) const { return match_.use_power_up(kind, consume); }
    void serialize() const { match_.serialize(); }
    void deserialize() const { match_.deserialize(); }
    BinaryBuffer& snapshot_buffer() const { return match_.snapshot_buffer_; }

private:
    Match& match_;
};

inline MatchInternals Inspect(Match& match) { return MatchInternals(match); }

}  // namespace vo

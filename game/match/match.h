#pragma once

// The screen on which a match is played, and the records of one running
// match's teams and slobs.
//
// The main menu builds one Match for the program's life: it shows it as the
// slowly turning level preview behind the menu (show_level_preview), starts
// matches on it (start_match) and pushes it; the application then drives it
// through its screen operations until update answers false. The Match owns
// the level scene with every entity, the destructible level, the game
// configuration, the statistics, the head-up display, the action camera, the
// escape menu and the results screen.
//
// Its code is split by concern:
//   match.cpp             construction, input, the closed-screen hand-over,
//                         notices, snapshots, the configuration
//   match_phases.cpp      one step (update), the one way the phase changes
//                         (change_phase) and the work of every phase
//   match_turns.cpp       turn order, damage, deaths, lost bodies
//   match_start.cpp       match start, level preview, camera reset
//   match_generation.cpp  the level and its two shader effects
//   match_population.cpp  parallax layers, slobs, mines and their places
//   match_hud.cpp         the head-up display: timer, fuse buttons, weapons,
//                         world-rotate button, notices
//   match_drawing.cpp     drawing and layout
//   match_turn_control.cpp  the acting slob's steering: walking, jumping,
//                         stickiness, aim, charge and throw, panning and
//                         zooming the view
//   match_computer_player.cpp  the computer player's turns
//   match_team_panel.cpp  the team panel with its life bars
//   match_labels.cpp      the labels above the slobs and their screams
//   match_items.cpp       items dropped, announced and picked up; power-ups
//   match_internals.h     what the tests, the soak and the benchmarks see of
//                         a Match beyond what the game uses

#include "engine/core/binary_buffer.h"
#include "engine/core/color.h"
#include "engine/core/config.h"
#include "engine/core/frame.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/sphere.h"
#include "engine/core/tween_machine.h"
#include "engine/core/vector.h"
#include "engine/sfml/audio.h"
#include "engine/sfml/effect.h"
#include "engine/visuals/image.h"
#include "engine/visuals/font.h"
#include "engine/visuals/text.h"
#include "game/ai/ai_player.h"
#include "game/ai/player_controls.h"
#include "game/ai/world_desc.h"
#include "game/behaviors/power_ups.h"
#include "game/app/screen.h"
#include "game/camera/action_camera_controller.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/level_scene.h"
#include "game/match/match_config.h"
#include "game/match/match_settings.h"
#include "game/match/match_stats.h"
#include "game/menus/esc_menu_screen.h"
#include "game/menus/match_results_screen.h"

#include <deque>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace vo {

class BarWidget;
class ButtonWidget;
class Entity;
class GameEvent;
class NotificationWidget;
class SlobEntity;
class SoftBody;
class TextWidget;
class WeaponSelectWidget;
class Widget;
struct TeamDesc;

// The phases of a match. Their numbers are those the phase traces show (12,
// 17 and 18 are not used). Match::update does the work of the current phase
// once a step, each phase in a function of its own (match_phases.cpp, in the
// order of this table). The phase changes only through Match::change_phase:
// at once, or after a wait spent in the wait phase (or, for 8 and 10, in a
// phase that works while it waits). T is newTurnTransitionTime.
//
//  phase                 work                                  waits for        next
//   0 idle               nothing                               a preview, a     2, 3; 22 (the results
//                                                              start            screen's main menu)
//   1 wait               nothing                               the phase timer  the phase it was told
//   2 preview            turns the level 20 degrees a second   a start          3
//   3 match_start        statistics reset, first team, notices -                1 (1 s), 4
//                        cleared, the computer's difficulty
//   4 turn_preparation   the camera zooms back out             -                5
//   5 item_draw          the turn's items dropped              -                6
//   6 item_notices       the next item announced, the camera   -                1 (1.5 T), 6;
//                        flies to it                                            7 when none is left
//   7 new_turn           round timer, gravity, next team and   -                8 (for T), 9
//                        slob, turn record, the display's
//                        buttons and weapons for the turn
//   8 settle_bodies      every body damped, every step         T                9
//   9 settle_step        nothing of its own                    -                10 (for T/10), 11
//  10 fast_settle        four extra damped scene steps a step  T/10             11
//  11 turn_begins        the computer player's turn set up;    -                13
//                        world-rotate button on
//  13 play               the acting slob steered (devices or   a throw, the     14 after a throw;
//                        computer player); the round timer     end of the turn  15 when the timer runs
//                        runs unless a throw is charged;                        out, on end-turn or
//                        deaths one at a time                                   when the slob dies
//  14 shot_fired         as 15                                 -                15, 16 (one step)
//  15 turn_over          world-rotate button off, camera       -                16
//                        follows and zooms out, the fuse's
//                        countdown begins
//  16 wait_for_rest      the fuse buttons count down; deaths   no slob dying,   19; 1 (0.2 s), 16
//                        one at a time                         the scene at     while bodies move
//                                                              rest for 0.5 s
//                                                              (20 s at most)
//  19 count_teams        life bars; the teams still living;    -                4 with two or more;
//                        the last one scores                                    1 (2.5 s), 20
//  20 next_start_team    the next round's first team           -                21
//  21 results            pushes the results screen             -                0
//  22 leave              update answers false: the menu takes  -                2 (the menu's preview)
//                        the screen off
//
// A match:
//   3 -> 1 -> 4 -> 5 -> 6 [-> 1 -> 6 per item] -> 7 -> 8 -> 9 -> 10 -> 11 -> 13 [-> 14] -> 15 -> 16
//     [-> 1 -> 16 while bodies move] -> 19 -> 4 (next turn) | 19 -> 1 -> 20 -> 21 -> 0 (results)
// The escape menu restarts (3) or leaves (22) at any time, the results screen
// from 0.
enum class MatchPhase : int {
    idle = 0,
    wait = 1,
    preview = 2,
    match_start = 3,
    turn_preparation = 4,
    item_draw = 5,
    item_notices = 6,
    new_turn = 7,
    settle_bodies = 8,
    settle_step = 9,
    fast_settle = 10,
    turn_begins = 11,
    play = 13,
    shot_fired = 14,
    turn_over = 15,
    wait_for_rest = 16,
    count_teams = 19,
    next_start_team = 20,
    results = 21,
    leave = 22
};

// The phase's number.
std::ostream& operator<<(std::ostream& out, MatchPhase phase);

// One team of the running match, built by the population.
struct TeamState {
    TeamDesc* desc = nullptr;  // the team's record inside the match's settings
    std::vector<int> members;  // indices into the slob records, in member order
    int acting_member = -1;    // index into members; -1 before the team's first turn
    int world_rotations_left = 0;  // a negative count is never changed by pick-ups
    // The power-ups dealt to the team at the start of the round.
    std::vector<TeamPowerUp> power_ups;
    int cpu_controlled = 0;  // 1 for a computer team
    Color color;
    std::vector<SmartPtr<SoundBuffer>> screams;
    std::map<std::string, int> weapon_counts;  // throws left; negative: unlimited
};

// One slob of the running match; the record lives for the whole match, only
// its entity goes when the slob dies.
struct SlobRecord {
    // Not yet seen by a health pass; a sound of its own.
    SlobRecord(Entity* entity, int team, int member);

    Entity* entity = nullptr;  // the SlobEntity; null once the slob has died
    int team = 0;              // index into the teams
    int member = 0;            // index into the team's member names
    bool has_entity = false;   // entity was present at the last health pass
    int last_health = -1;      // whole health seen at the last health pass
    Text label;                // name and health above the slob
    SmartPtr<Sound> voice;
    double next_scream_time = 0.0;
    SmartPtr<MatchConfig> game_config;
    // Match-clock time at which the scream playing now ends: whether the
    // voice is busy is decided on the match's clock, never by asking the
    // audio device, so that a match plays the same with and without sound.
    double voice_end_time = 0.0;

    // Plays the sample (length seconds long at pitch 1) on the slob's voice
    // unless it is still screaming or now is before next_scream_time; a
    // scream sets the earliest time of the next one and when it ends.
    void play_voice(SmartPtr<SoundBuffer> sound, double now, float volume, float pitch, double length);
};

// A drawn background or foreground layer.
struct ParallaxLayerImage {
    Image image;           // its source frame scrolls
    float distance = 0.0f; // the configuration's "distance"
    float depth = 0.0f;    // how far behind the level plane it is drawn
    float scale = 1.0f;    // world units per unit of its geometry
    float scroll_x = 0.0f;
    float scroll_y = 0.0f;
};

// An item dropped at the start of a turn, waiting to be announced.
struct NewItem {
    std::string key;       // "items." and the item's key
    Entity* item = nullptr;
};

class Match : public IScreen {
public:
    // Everything empty and at its start value; the level scene with the
    // configuration record and the camera; the escape menu and the results
    // screen. The head-up display is built at the first match start. Only one
    // Match can exist in a process (the scene's event listener).
    Match();
    ~Match() override;

    // Screen operations.
    bool update(double dt) override;
    void draw() override;
    bool is_opaque() override { return true; }
    bool process_mouse_event(MouseEvent const& event) override;
    bool process_key_event(KeyEvent const& event) override;
    void activate(IScreen* closed) override;
    void transform(FrameTransform const& transform) override;

    // Shows the level of seed, without teams, slowly turning (phase 2). An
    // aspect ratio above 0 is given to the scene camera.
    void show_level_preview(int seed, float aspect);
    // Starts a match on the level of the last preview's seed with a copy of
    // settings; the first team is drawn at random when asked. A set-up with
    // fewer than two teams or a team without members is refused with Error
    // before anything changes. A failing step prints its error and raises
    // "Coulnd't complete Match::start_match. Some error occurred.".
    void start_match(MatchSettings const& settings, bool random_start_team);
    // The strength of the computer players: 0 easy, 1 normal, 2 hard.
    void set_cpu_level(int level);

    // The main menu previews the level again when the match is not in its
    // preview.
    MatchPhase phase() const { return phase_; }

private:
    // What the tests, the soak and the benchmarks read and drive.
    friend class MatchInternals;

    // How far beyond the level's outer border (as a multiple of its radius)
    // the centre of a body may go before the body is taken out of the match.
    static constexpr float LOST_BODY_RADIUS_FACTOR = 1.5f;
    // Seconds after a turn that the match waits at most for the scene to rest.
    static constexpr double LONGEST_REST_WAIT = 20.0;
    // The depth behind the level plane at which a layer of distance 0 is
    // drawn.
    static constexpr float PARALLAX_BASE_DEPTH = 100.0f;

    // Lifecycle and configuration (match.cpp).
    // The first load of a start or preview fails with the reader's error
    // or with the load rules' Error, one line per defect; a load during
    // play keeps the last good values.
    void load_config(bool during_play);
    // Level-edit snapshots in the snapshot buffer: the level's edit log
    // behind a magic number, and its replay onto the level. Nothing in the
    // game takes snapshots yet.
    virtual void serialize();
    virtual void deserialize();
    // Every notice of the match goes to the display's notices.
    void notify(std::string const& text);
    void notify(const char* text);
    // The acting team's record, or null.
    TeamState* current_team_state();
    // The entity of the acting team's acting slob; null when there is none or
    // it has died.
    Entity* acting_slob();
    // The first record whose entity is entity, or null.
    SlobRecord* find_slob_record(Entity* entity);
    // Pauses or goes on; no single step is left pending, and the display's
    // pause notice shows exactly while the match is paused.
    void set_paused(bool paused);
    // The entity is in the scene and not flagged for removal.
    bool is_live_entity(Entity* entity);

    // The step's phase work (match_phases.cpp).
    // The one way the phase changes; the phase observer is told of every
    // change. Without a wait, next begins at once. With one, the match is in
    // meanwhile (the wait phase, or a phase that works while it waits) until
    // wait_seconds have passed, and next begins at the start of the step that
    // finds them passed. Any change ends a wait still running.
    void change_phase(MatchPhase next, double wait_seconds = 0.0, MatchPhase meanwhile = MatchPhase::wait);
    // Counts a running wait down by dt; begins the phase it waits for once
    // it is over.
    void advance_phase_timer(double dt);
    // The work of the current phase: a function for each, named after it.
    void do_phase_work(double dt, bool round_is_timed);
    void run_preview(double dt);
    void run_match_start();
    void run_turn_preparation();
    void run_item_draw();
    void run_item_notices();
    void run_new_turn(bool round_is_timed);
    void run_settle_bodies();
    void run_settle_step();
    void run_fast_settle();
    void run_turn_begins();
    void run_play(double dt, bool round_is_timed);
    void run_turn_over(double dt);  // shot_fired's work too
    void run_wait_for_rest(double dt);
    void run_count_teams();
    void run_next_start_team();
    void run_results();
    // The fuse buttons count a thrown grenade's fuse down in whole seconds,
    // then go back to contact.
    void count_fuse_down();
    // The teams with a slob still in the match; last_living is set to the
    // index of the last of them.
    int count_living_teams(int& last_living) const;
    // The scene has entities and every one of them rests.
    bool all_at_rest();
    void set_world_rotation(float degrees);
    // Up and right of the turned world, the camera's turn and the gravity.
    void apply_world_rotation();
    // Gravity down the screen: -world_up x gravity x time scale.
    void apply_gravity();
    void aim_at_mouse();
    void scroll_parallax_layers(double dt);

    // Turns, damage and deaths (match_turns.cpp).
    void next_turn();
    // Turns the world, the short way round, so that the ground under the
    // acting slob faces up.
    void align_world_to_acting_slob();
    void process_health_changes();
    void collect_dying_slobs();
    void on_slob_died();
    // Takes bodies whose centre has gone far beyond the level out of the
    // match: slobs die, anything else is removed; fluid particles that far
    // out end at once. Counts the fluid particles that have left the level
    // disc.
    void remove_lost_bodies();

    // Start and preview (match_start.cpp).
    void reset_camera();
    void start_match_steps(MatchSettings const& settings, bool random_start_team);

    // Level (match_generation.cpp).
    void generate_area();

    // Population (match_population.cpp).
    void populate_scene();
    void build_parallax_layers();
    SlobEntity* add_slob(std::string const& prefix, std::string const& texture, float visual_scale,
                         vector2 const& tex_min, vector2 const& tex_max);
    SlobEntity* create_slob(vector3 const& position, std::string const& prefix, std::string const& texture,
                            float visual_scale, vector2 const& tex_min, vector2 const& tex_max);
    void add_mine();
    void place_entity(Entity* entity);
    bool settle_on_level(Entity* entity, vector3 const& point, float max_distance_factor, float approach_speed,
                         float lift_factor);
    bool project_onto_level(float& distance, vector3& point, vector3& normal, vector3 const& from);

    // Head-up display (match_hud.cpp).
    void init_widgets();
    ButtonWidget* create_timer_button(Widget* parent, std::string const& style, std::string const& text,
                                      unsigned flags);
    void world_rotate_clicked(Widget* button);
    void update_world_rotate_button();
    void scale_hud(float scale);
    // At a turn's start: the world-rotate button off and empty, the fuse on
    // contact, the acting team's weapons and throws.
    void reset_hud_for_turn(TeamState* team);
    // Seconds left in the turn; the timer shows their whole number.
    void set_round_timer(double t);
    // The fuse selected on the timer buttons, in seconds (0: contact).
    double timer_seconds() const { return static_cast<double>(timer_selection_); }
    // Index of the first checked timer button; the number of buttons when
    // none is.
    int pressed_timer_button() const;
    // Presses the selected timer button again when it is not checked.
    void hold_timer_selection();
    // index clamped to 0 .. number of buttons and truncated; presses that
    // button unless it is checked already (an index equal to the number of
    // buttons presses none).
    void select_timer(double index);

    // Drawing (match_drawing.cpp).
    // Loads the scene camera's transform into the engine.
    void apply_camera_transform();
    void draw_parallax_layers(std::vector<ParallaxLayerImage>& layers);
    void draw_charge_ring();

    // The acting slob's steering (match_turn_control.cpp).
    void control_active_slob(double dt, PlayerControls& controls);
    void control_view(double dt, PlayerControls& controls);
    void move_slob(double dt, PlayerControls& controls, SoftBody& body);
    void charge_and_throw(double dt, PlayerControls& controls, Entity* slob, SoftBody& body);
    void throw_charged(Entity* slob, SoftBody& body, std::string const& weapon);
    // The acting team has throws of the weapon (an unknown name has none);
    // true without an acting team.
    bool has_throws_left(std::string const& weapon);
    // At the start of a turn: a weapon the acting team has throws of (the
    // last listed one when the selected one has none).
    void select_available_weapon();
    // The computer player (match_computer_player.cpp): its difficulty at the
    // match start, the start of its turn and its steps.
    void prepare_computer_player();
    void begin_computer_turn();
    void drive_computer_player(double dt);
    void fill_world_desc(WorldDesc& world);

    // The team panel (match_team_panel.cpp).
    void init_team_widgets();
    void refresh_life_bars();
    void reset_life_bar_ghosts();
    void clear_life_bar_ghosts();

    // Items (match_items.cpp).
    // Whether the acting team has a power-up of that kind switched on (its
    // toggle button pressed; the first such in the team's list); with
    // consume, that power-up is marked used. Asked at every throw for lava
    // explosions. No screen gives power-ups a button yet, so this stays
    // false.
    bool use_power_up(int kind, bool consume);
    bool on_game_event(const GameEvent* event);
    void collect_body_spheres();
    std::string draw_random_item();
    Entity* add_item(std::string const& path);
    void pickup_item(ptree const& item, SlobRecord& taker);

    // Slob labels and voices (match_labels.cpp).
    void scream(SlobRecord& record);
    bool is_acting(SlobRecord const& record);
    void update_slob_label(SlobRecord& record, int health);
    void place_slob_label(SlobRecord& record);
    void draw_slob_labels();

    float level_radius_ = 100.0f;
    MatchPhase phase_ = MatchPhase::idle;
    MatchSettings settings_;
    MatchStats stats_;
    PlayerControls controls_;
    double clock_ = 0.0;
    double round_timer_ = 0.0;
    int turn_count_ = 0;
    long lost_fluid_particles_ = 0;
    double phase_timer_ = 0.0;
    MatchPhase pending_phase_ = MatchPhase::idle;  // begins when phase_timer_ runs out
    double timer_end_time_ = 0.0;
    bool hud_built_ = false;
    bool preview_mode_ = false;
    bool mouse_over_hud_ = false;
    double last_jump_time_ = 0.0;
    bool charging_ = false;
    float charge_fraction_ = 0.0f;
    Image charge_ring_;
    std::vector<TeamState> teams_;
    int current_team_ = -1;
    int start_team_ = 0;
    std::vector<SlobRecord> slobs_;
    int name_text_height_ = 30;
    bool labels_dirty_ = true;
    std::vector<Sphere> occupied_spheres_;
    int level_seed_ = 0;
    LevelScene scene_;
    SmartPtr<LevelGeometryHandle> level_;
    EffectHandle level_effect_;
    EffectHandle level_lava_effect_;  // the level's lava ("lava_shader")
    std::vector<ParallaxLayerImage> back_layers_;
    std::vector<ParallaxLayerImage> front_layers_;
    Widget* root_widget_ = nullptr;  // owned, with every widget of the display
    Widget* team_panel_ = nullptr;
    std::vector<BarWidget*> life_bars_;
    TextWidget* rotation_hint_ = nullptr;
    Widget* round_timer_box_ = nullptr;
    TextWidget* round_timer_text_ = nullptr;
    std::vector<ButtonWidget*> timer_buttons_;
    ButtonWidget* world_rotate_button_ = nullptr;
    Frame world_rotate_rest_frame_;
    WeaponSelectWidget* weapon_select_ = nullptr;
    NotificationWidget* notifications_ = nullptr;
    TextWidget* pause_notice_ = nullptr;
    int timer_selection_ = 0;
    SmartPtr<ActionCameraController> camera_;
    vector3 pan_offset_;
    vector3 world_up_ = vector3(0.0f, 1.0f, 0.0f);
    vector3 world_right_ = vector3(1.0f, 0.0f, 0.0f);
    float world_rotation_ = 0.0f;
    std::deque<int> dying_slobs_;
    std::deque<NewItem> new_items_;
    SmartPtr<EscMenuScreen> esc_menu_;
    SmartPtr<MatchResultsScreen> results_screen_;
    SmartPtr<MatchConfig> config_;
    ptree game_config_tree_;
    bool paused_ = false;
    bool single_step_ = false;
    int cpu_level_ = 1;
    double time_scale_ = 1.0;
    double death_interval_ = 0.0;
    double last_death_time_ = 0.0;
    SmartPtr<Font> hud_font_;
    TweenMachine turn_tweens_;
    BinaryBuffer snapshot_buffer_;
    // Seconds the scene has been at rest while the match waits for it.
    double rest_clock_ = 0.0;
    double rest_wait_start_ = 0.0;  // match clock when the wait for rest began
    std::function<void(MatchPhase, MatchPhase)> phase_observer_;
    SmartPtr<AIPlayer> ai_;
    WorldDesc world_desc_;
};

}  // namespace vo

// One step of the match, the one way its phase changes, and the work of every
// phase, in the order of the phase table in match.h.

#include "game/match/match.h"

#include "engine/core/profiler.h"
#include "engine/core/tweener.h"
#include "engine/scene/entity.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/health.h"
#include "engine/scene/transform_behavior.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "game/app/int_to_string.h"
#include "game/behaviors/aim.h"
#include "game/behaviors/rest.h"
#include "game/camera/action_camera_controller.h"
#include "game/camera/vector_blend.h"
#include "game/level/level_geometry_handle.h"
#include "game/match/match_config.h"
#include "game/match/match_entities.h"
#include "game/match/turn_angle.h"
#include "game/menus/match_results_screen.h"
#include "game/menus/notification_widget.h"
#include "game/menus/weapon_select_widget.h"

#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace vo {

namespace {

constexpr float kPi = 3.1415927f;
// The scene steps of the fast settle, on top of the normal one.
constexpr int kFastSettleSteps = 4;
constexpr double kFixedStep = 1.0 / 60.0;

using ZoomTween = Tweener<SmoothTween<float>, TweenMethodCallback<float, ActionCameraController>>;
// The camera's look-at point or its custom offset.
using CameraPointTween =
    Tweener<SmoothTween<vector3>, TweenMethodCallbackConstRef<vector3, ActionCameraController>>;

// An entity without a rest behavior is at rest.
bool IsAtRest(Entity* entity) {
    const behaviors::Rest* rest = entity->get_behavior<behaviors::Rest>();
    return !rest || rest->is_resting();
}

}  // namespace

bool Match::update(double dt) {
    VO_PROFILE_ZONE("match_update");

    // Leaving does not wait for the end of a pause.
    if (phase_ == MatchPhase::leave) return false;

    if (paused_) {
        if (!single_step_) dt = 0.0;
        single_step_ = false;
    }

    if (dt > 0.0) {
        clock_ += dt;
        const bool round_is_timed = config_->roundTime > 0.0;
        advance_phase_timer(dt);
        {
            VO_PROFILE_ZONE("advance_tweens");
            turn_tweens_.update(dt);
        }
        if (notifications_) notifications_->update(dt);
        if (TeamState* team = current_team_state()) {
            VO_PROFILE_ZONE("update_mouse_cursor");
            if (team->cpu_controlled == 0) aim_at_mouse();
        }
        {
            VO_PROFILE_ZONE("process_input");
            do_phase_work(dt, round_is_timed);
            if (phase_ == MatchPhase::leave) return false;
        }
    }

    hold_timer_selection();
    if (const Sphere* sphere = level_->bounding_sphere()) camera_->level_sphere = *sphere;

    if (dt > 0.0) {
        {
            VO_PROFILE_ZONE("parallax_update");
            scroll_parallax_layers(dt);
        }
        {
            VO_PROFILE_ZONE("update_scene");
            scene_.update(static_cast<float>(time_scale_ * dt));
        }
    }

    {
        VO_PROFILE_ZONE("post_update");
        remove_lost_bodies();
        process_health_changes();
    }
    return true;
}

void Match::change_phase(MatchPhase next, double wait_seconds, MatchPhase meanwhile) {
    const bool waits = wait_seconds > 0.0;
    phase_timer_ = waits ? wait_seconds : 0.0;
    pending_phase_ = waits ? next : MatchPhase::idle;
    const MatchPhase old = phase_;
    phase_ = waits ? meanwhile : next;
    if (old != phase_ && phase_observer_) phase_observer_(old, phase_);
}

void Match::advance_phase_timer(double dt) {
    if (!(phase_timer_ > 0.0)) return;
    phase_timer_ -= dt;
    if (phase_timer_ <= 0.0) change_phase(pending_phase_);
}

void Match::do_phase_work(double dt, bool round_is_timed) {
    switch (phase_) {
        case MatchPhase::idle:
        case MatchPhase::wait:
        case MatchPhase::leave: return;
        case MatchPhase::preview: return run_preview(dt);
        case MatchPhase::match_start: return run_match_start();
        case MatchPhase::turn_preparation: return run_turn_preparation();
        case MatchPhase::item_draw: return run_item_draw();
        case MatchPhase::item_notices: return run_item_notices();
        case MatchPhase::new_turn: return run_new_turn(round_is_timed);
        case MatchPhase::settle_bodies: return run_settle_bodies();
        case MatchPhase::settle_step: return run_settle_step();
        case MatchPhase::fast_settle: return run_fast_settle();
        case MatchPhase::turn_begins: return run_turn_begins();
        case MatchPhase::play: return run_play(dt, round_is_timed);
        case MatchPhase::shot_fired:
        case MatchPhase::turn_over: return run_turn_over(dt);
        case MatchPhase::wait_for_rest: return run_wait_for_rest(dt);
        case MatchPhase::count_teams: return run_count_teams();
        case MatchPhase::next_start_team: return run_next_start_team();
        case MatchPhase::results: return run_results();
    }
}

void Match::run_preview(double dt) { set_world_rotation(world_rotation_ + static_cast<float>(dt * 20.0)); }

void Match::run_match_start() {
    root_widget_->adjust_to_content(true);
    root_widget_->align_children(true);
    stats_.init(settings_);
    current_team_ = start_team_ - 1;
    if (notifications_) notifications_->clear();
    prepare_computer_player();
    change_phase(MatchPhase::turn_preparation, 1.0);
}

void Match::run_turn_preparation() {
    pan_offset_ = vector3();
    turn_tweens_.clear();
    camera_->absorb_custom_offset();
    camera_->set_following(false);
    turn_tweens_.add(new ZoomTween(config_->newTurnTransitionTime, camera_->zoom(), camera_->zoom_for_min_box(),
                                   camera_.get(), &ActionCameraController::set_zoom));
    change_phase(MatchPhase::item_draw);
}

void Match::run_item_draw() {
    collect_body_spheres();
    const char* key = turn_count_ == 0 ? "maxInitialThrows" : "maxThrowsPerRound";
    const int draws = scene_.items.get<int>(key, 1);
    new_items_.clear();
    for (int i = 0; i < draws; ++i) {
        const std::string path = draw_random_item();
        if (!path.empty()) new_items_.push_back(NewItem{path, add_item(path)});
    }
    change_phase(MatchPhase::item_notices);
}

void Match::run_item_notices() {
    // An item taken or destroyed before its notice is not shown.
    while (!new_items_.empty() && !is_live_entity(new_items_.front().item)) new_items_.pop_front();
    if (new_items_.empty()) {
        change_phase(MatchPhase::new_turn);
        return;
    }
    const NewItem item = new_items_.front();
    notify("new item: " + scene_.items.get<std::string>(item.key + ".name"));
    vector3 target;
    GetPosition(item.item, target);
    const double transition = config_->newTurnTransitionTime;
    turn_tweens_.add(
        new CameraPointTween(transition, camera_->position(), target, camera_.get(), &ActionCameraController::set_look_at));
    new_items_.pop_front();
    change_phase(MatchPhase::item_notices, 1.5 * transition);
}

void Match::run_new_turn(bool round_is_timed) {
    if (round_is_timed) set_round_timer(config_->roundTime + 0.999);
    apply_gravity();
    dying_slobs_.clear();
    reset_life_bar_ghosts();
    turn_count_ += 1;
    next_turn();
    TeamState* team = current_team_state();
    if (team) notify(team->desc->name + ", your turn!");
    camera_->set_focus_entity(acting_slob());
    if (team) stats_.next_round(current_team_, team->acting_member);
    charging_ = false;
    reset_hud_for_turn(team);
    change_phase(MatchPhase::settle_step, config_->newTurnTransitionTime, MatchPhase::settle_bodies);
}

void Match::run_settle_bodies() { scene_.physics_handler()->damp_softbodies(config_->newTurnBodyDamping); }

void Match::run_settle_step() {
    change_phase(MatchPhase::turn_begins, config_->newTurnTransitionTime / 10.0, MatchPhase::fast_settle);
}

void Match::run_fast_settle() {
    for (int i = 0; i < kFastSettleSteps; ++i) {
        scene_.physics_handler()->damp_softbodies(config_->newTurnBodyDamping * 0.5f);
        scene_.update(static_cast<float>(kFixedStep));
    }
}

void Match::run_turn_begins() {
    TeamState* team = current_team_state();
    if (team && team->cpu_controlled == 1) begin_computer_turn();
    if (team && team->world_rotations_left != 0 && world_rotate_button_) {
        world_rotate_button_->enable_state(WS_ENABLED);
        update_world_rotate_button();
    }
    change_phase(MatchPhase::play);
}

void Match::run_play(double dt, bool round_is_timed) {
    Entity* slob = acting_slob();
    const behaviors::Health* health = slob ? HealthOf(slob) : nullptr;
    if (!slob || (health && health->value < 1.0f)) {
        change_phase(MatchPhase::turn_over);
        return;
    }
    if (current_team_state()->cpu_controlled == 0) {
        select_timer(static_cast<double>(pressed_timer_button()));
        controls_.poll_devices();
        control_active_slob(dt, controls_);
    } else {
        drive_computer_player(dt);
    }
    if (!camera_->following()) camera_->set_following(true);
    if (!charging_ && round_is_timed) {
        set_round_timer(round_timer_ - dt);
        if (round_timer_ < 0.0) change_phase(MatchPhase::turn_over);
    }
    on_slob_died();
}

void Match::run_turn_over(double dt) {
    if (world_rotate_button_) world_rotate_button_->disable_state(WS_ENABLED);
    camera_->set_zoom_limit(1.0f);
    if (!camera_->following()) camera_->set_following(true);
    camera_->set_refresh_countdown(2.0 * dt);
    charging_ = false;
    change_phase(MatchPhase::turn_over);
    turn_tweens_.add(new CameraPointTween(1.5, camera_->custom_offset(), vector3(), camera_.get(),
                                          &ActionCameraController::set_custom_offset));
    if (rotation_hint_) rotation_hint_->disable_state(WS_VISIBLE);
    camera_->set_focus_entity(nullptr);
    if (SoftBody* body = BodyOf(acting_slob())) body->enable_sticky_particles(true);
    change_phase(MatchPhase::wait_for_rest);
    rest_clock_ = 0.0;
    rest_wait_start_ = clock_;
    timer_end_time_ = clock_ + timer_seconds();
}

void Match::run_wait_for_rest(double dt) {
    count_fuse_down();
    on_slob_died();
    if (!dying_slobs_.empty()) return;

    if (all_at_rest()) {
        if (rest_clock_ > 0.5) change_phase(MatchPhase::count_teams);
        rest_clock_ += dt;
    } else if (clock_ - rest_wait_start_ > LONGEST_REST_WAIT) {
        // Bodies jostling in a heap can keep each other moving for ever; the
        // match does not wait on them longer than this.
        std::cout << "scene not at rest after " << LONGEST_REST_WAIT << " seconds; the turn ends" << std::endl;
        change_phase(MatchPhase::count_teams);
    } else {
        rest_clock_ = 0.0;
        change_phase(MatchPhase::wait_for_rest, 0.2);
    }
}

void Match::run_count_teams() {
    clear_life_bar_ghosts();
    refresh_life_bars();

    int last_living = -1;
    const int living = count_living_teams(last_living);
    if (living > 1) {
        change_phase(MatchPhase::turn_preparation);
        return;
    }
    if (living == 1) {
        TeamState& winner = teams_[static_cast<std::size_t>(last_living)];
        winner.desc->points += 10;
        next_turn();
        notify(winner.desc->name + " WON!");
        stats_.set_winner(last_living);
    } else {
        stats_.set_winner(-1);
    }
    change_phase(MatchPhase::next_start_team, 2.5);
}

void Match::run_next_start_team() {
    const int n = static_cast<int>(settings_.num_teams());
    start_team_ = n > 0 ? (start_team_ + 1) % n : 0;
    change_phase(MatchPhase::results);
}

void Match::run_results() {
    results_screen_->set_results(stats_);
    PushScreen(SmartPtr<IScreen>(results_screen_));
    change_phase(MatchPhase::idle);
}

void Match::count_fuse_down() {
    if (timer_end_time_ > clock_) {
        hold_timer_selection();
        const int v = pressed_timer_button();
        if (v > 0 && (v - 1) + clock_ > timer_end_time_) select_timer(static_cast<double>(v - 1));
    } else {
        select_timer(0.0);
    }
}

int Match::count_living_teams(int& last_living) const {
    int living = 0;
    for (std::size_t t = 0; t < teams_.size(); ++t) {
        for (int index : teams_[t].members) {
            if (slobs_[static_cast<std::size_t>(index)].entity) {
                ++living;
                last_living = static_cast<int>(t);
                break;
            }
        }
    }
    return living;
}

void Match::set_world_rotation(float degrees) {
    world_rotation_ = degrees;
    apply_world_rotation();
}

void Match::apply_world_rotation() {
    const float r = world_rotation_ * kPi / 180.0f;
    world_up_ = vector3(std::sin(r), std::cos(r), 0.0f);
    world_right_ = vector3(std::cos(r), -std::sin(r), 0.0f);
    camera_->set_rotation(world_rotation_);
    apply_gravity();
}

void Match::apply_gravity() {
    const float g = static_cast<float>(config_->gravity * time_scale_);
    scene_.physics_handler()->set_gravity(vector3(-world_up_.x * g, -world_up_.y * g, 0.0f));
}

bool Match::all_at_rest() { return scene_.evaluate_entities(&IsAtRest, BOOLEAN_EVALUATION_ALL); }

void Match::aim_at_mouse() {
    Entity* slob = acting_slob();
    behaviors::Aim* aim = AimOf(slob);
    if (!slob || !aim) return;

    Engine& engine = Engine::instance();
    apply_camera_transform();
    vector3 position;
    GetPosition(slob, position);
    float sx = 0.0f;
    float sy = 0.0f;
    float sz = 0.0f;
    engine.project(&sx, &sy, &sz, position.x, position.y, position.z);
    const float mx = engine.mouse_x();
    const float my = engine.mouse_y();
    const float h = static_cast<float>(engine.screen_height());
    vector2 d(sx - mx, sy - (h - my));
    const float length = std::sqrt(d.x * d.x + d.y * d.y);
    if (length > 0.0f) d = vector2(d.x / length, d.y / length);
    aim->set_angle(world_rotation_ - TurnAngleDegrees(d.x, d.y));
}

void Match::scroll_parallax_layers(double dt) {
    for (std::vector<ParallaxLayerImage>* layers : {&back_layers_, &front_layers_}) {
        for (ParallaxLayerImage& layer : *layers) {
            Frame& src = layer.image.src_frame;
            const float dx = static_cast<float>(layer.scroll_x * dt);
            const float dy = static_cast<float>(layer.scroll_y * dt);
            src.set_left(src.left() + dx);
            src.set_right(src.right() + dx);
            src.set_top(src.top() + dy);
            src.set_bottom(src.bottom() + dy);
        }
    }
}

}  // namespace vo

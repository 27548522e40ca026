// One step of the match and the work of every phase.

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
using OffsetTween = Tweener<SmoothTween<vector3>, TweenMethodCallbackConstRef<vector3, ActionCameraController>>;

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

        if (phase_timer_ > 0.0) {
            phase_timer_ -= dt;
            if (phase_timer_ <= 0.0) enter_phase(pending_phase_);
        }
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

void Match::do_phase_work(double dt, bool round_is_timed) {
    const double transition = config_->newTurnTransitionTime;
    switch (phase_) {
        case MatchPhase::preview:
            set_world_rotation(world_rotation_ + static_cast<float>(dt * 20.0));
            break;

        case MatchPhase::match_start:
            root_widget_->adjust_to_content(true);
            root_widget_->align_children(true);
            stats_.init(settings_);
            current_team_ = start_team_ - 1;
            if (notifications_) notifications_->clear();
            prepare_computer_player();
            phase_timer_ = 1.0;
            pending_phase_ = MatchPhase::turn_preparation;
            enter_phase(MatchPhase::wait);
            break;

        case MatchPhase::turn_preparation:
            pan_offset_ = vector3();
            turn_tweens_.clear();
            camera_->absorb_custom_offset();
            camera_->set_following(false);
            turn_tweens_.add(new ZoomTween(transition, camera_->zoom(), camera_->zoom_for_min_box(), camera_.get(),
                                           &ActionCameraController::set_zoom));
            enter_phase(MatchPhase::item_draw);
            break;

        case MatchPhase::item_draw: {
            collect_body_spheres();
            const char* key = turn_count_ == 0 ? "maxInitialThrows" : "maxThrowsPerRound";
            const int draws = scene_.items.get<int>(key, 1);
            new_items_.clear();
            for (int i = 0; i < draws; ++i) {
                const std::string path = draw_random_item();
                if (!path.empty()) new_items_.push_back(NewItem{path, add_item(path)});
            }
            enter_phase(MatchPhase::item_notices);
            break;
        }

        case MatchPhase::item_notices:
            // An item taken or destroyed before its notice is not shown.
            while (!new_items_.empty() && !is_live_entity(new_items_.front().item)) new_items_.pop_front();
            if (new_items_.empty()) {
                enter_phase(MatchPhase::new_turn);
            } else {
                const NewItem item = new_items_.front();
                notify("new item: " + scene_.items.get<std::string>(item.key + ".name"));
                vector3 target;
                GetPosition(item.item, target);
                using LookAtTween =
                    Tweener<SmoothTween<vector3>, TweenMethodCallbackConstRef<vector3, ActionCameraController>>;
                turn_tweens_.add(new LookAtTween(transition, camera_->position(), target, camera_.get(),
                                                 &ActionCameraController::set_look_at));
                new_items_.pop_front();
                phase_timer_ = 1.5 * transition;
                pending_phase_ = MatchPhase::item_notices;
                enter_phase(MatchPhase::wait);
            }
            break;

        case MatchPhase::new_turn: {
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
            if (world_rotate_button_) {
                world_rotate_button_->disable_state(WS_ENABLED);
                world_rotate_button_->set_text("");
            }
            select_timer(0.0);
            if (weapon_select_) {
                weapon_select_->select_weapon();
                if (team) weapon_select_->set_weapon_counts(team->weapon_counts);
                select_available_weapon();
            }
            phase_timer_ = transition;
            pending_phase_ = MatchPhase::settle_step;
            enter_phase(MatchPhase::settle_bodies);
            break;
        }

        case MatchPhase::settle_bodies:
            scene_.physics_handler()->damp_softbodies(config_->newTurnBodyDamping);
            break;

        case MatchPhase::settle_step:
            phase_timer_ = transition / 10.0;
            pending_phase_ = MatchPhase::turn_begins;
            enter_phase(MatchPhase::fast_settle);
            break;

        case MatchPhase::fast_settle:
            for (int i = 0; i < kFastSettleSteps; ++i) {
                scene_.physics_handler()->damp_softbodies(config_->newTurnBodyDamping * 0.5f);
                scene_.update(static_cast<float>(kFixedStep));
            }
            break;

        case MatchPhase::turn_begins: {
            TeamState* team = current_team_state();
            if (team && team->cpu_controlled == 1) begin_computer_turn();
            if (team && team->world_rotations_left != 0 && world_rotate_button_) {
                world_rotate_button_->enable_state(WS_ENABLED);
                update_world_rotate_button();
            }
            enter_phase(MatchPhase::play);
            break;
        }

        case MatchPhase::play: {
            Entity* slob = acting_slob();
            const behaviors::Health* health = slob ? HealthOf(slob) : nullptr;
            if (!slob || (health && health->value < 1.0f)) {
                enter_phase(MatchPhase::turn_over);
                break;
            }
            TeamState* team = current_team_state();
            if (team->cpu_controlled == 0) {
                select_timer(static_cast<double>(pressed_timer_button()));
                controls_.poll_devices();
                control_active_slob(dt, controls_);
            } else {
                drive_computer_player(dt);
            }
            if (!camera_->following()) camera_->set_following(true);
            if (!charging_ && round_is_timed) {
                set_round_timer(round_timer_ - dt);
                if (round_timer_ < 0.0) enter_phase(MatchPhase::turn_over);
            }
            on_slob_died();
            break;
        }

        case MatchPhase::shot_fired:
        case MatchPhase::turn_over:
            finish_shot(dt);
            break;

        case MatchPhase::wait_for_rest:
            wait_for_rest(dt);
            break;

        case MatchPhase::count_teams:
            count_teams();
            break;

        case MatchPhase::next_start_team: {
            const int n = static_cast<int>(settings_.num_teams());
            start_team_ = n > 0 ? (start_team_ + 1) % n : 0;
            enter_phase(MatchPhase::results);
            break;
        }

        case MatchPhase::results:
            results_screen_->set_results(stats_);
            PushScreen(SmartPtr<IScreen>(results_screen_));
            enter_phase(MatchPhase::idle);
            break;

        default:
            // 0 idle, 1 wait and 22 leave have no work of their own.
            break;
    }
}

void Match::finish_shot(double dt) {
    if (world_rotate_button_) world_rotate_button_->disable_state(WS_ENABLED);
    camera_->set_zoom_limit(1.0f);
    if (!camera_->following()) camera_->set_following(true);
    camera_->set_refresh_countdown(2.0 * dt);
    charging_ = false;
    enter_phase(MatchPhase::turn_over);
    turn_tweens_.add(new OffsetTween(1.5, camera_->custom_offset(), vector3(), camera_.get(),
                                     &ActionCameraController::set_custom_offset));
    if (rotation_hint_) rotation_hint_->disable_state(WS_VISIBLE);
    camera_->set_focus_entity(nullptr);
    if (SoftBody* body = BodyOf(acting_slob())) body->enable_sticky_particles(true);
    enter_phase(MatchPhase::wait_for_rest);
    rest_clock_ = 0.0;
    rest_wait_start_ = clock_;
    timer_end_time_ = clock_ + timer_seconds();
}

void Match::wait_for_rest(double dt) {
    // The fuse buttons count the thrown grenade's timer down.
    if (timer_end_time_ > clock_) {
        hold_timer_selection();
        const int v = pressed_timer_button();
        if (v > 0 && (v - 1) + clock_ > timer_end_time_) select_timer(static_cast<double>(v - 1));
    } else {
        select_timer(0.0);
    }

    on_slob_died();
    if (!dying_slobs_.empty()) return;

    if (all_at_rest()) {
        if (rest_clock_ > 0.5) enter_phase(MatchPhase::count_teams);
        rest_clock_ += dt;
    } else if (clock_ - rest_wait_start_ > LONGEST_REST_WAIT) {
        // Bodies jostling in a heap can keep each other moving for ever; the
        // match does not wait on them longer than this.
        std::cout << "scene not at rest after " << LONGEST_REST_WAIT << " seconds; the turn ends" << std::endl;
        enter_phase(MatchPhase::count_teams);
    } else {
        rest_clock_ = 0.0;
        phase_timer_ = 0.2;
        pending_phase_ = MatchPhase::wait_for_rest;
        enter_phase(MatchPhase::wait);
    }
}

void Match::count_teams() {
    clear_life_bar_ghosts();
    refresh_life_bars();

    int living = 0;
    int last_living = -1;
    for (std::size_t t = 0; t < teams_.size(); ++t) {
        for (int index : teams_[t].members) {
            if (slobs_[static_cast<std::size_t>(index)].entity) {
                ++living;
                last_living = static_cast<int>(t);
                break;
            }
        }
    }

    if (living > 1) {
        enter_phase(MatchPhase::turn_preparation);
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
    phase_timer_ = 2.5;
    pending_phase_ = MatchPhase::next_start_team;
    enter_phase(MatchPhase::wait);
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

void Match::set_round_timer(double t) {
    if (t >= 0.0 && static_cast<int>(t) != static_cast<int>(round_timer_) && round_timer_text_)
        round_timer_text_->set_text(IntToString(static_cast<int>(t)).c_str());
    round_timer_ = t;
}

int Match::pressed_timer_button() const {
    const int count = static_cast<int>(timer_buttons_.size());
    for (int i = 0; i < count; ++i)
        if (timer_buttons_[static_cast<std::size_t>(i)]->is_checked()) return i;
    return count;
}

void Match::hold_timer_selection() {
    if (timer_selection_ < 0 || timer_selection_ >= static_cast<int>(timer_buttons_.size())) return;
    ButtonWidget* button = timer_buttons_[static_cast<std::size_t>(timer_selection_)];
    if (!button->is_checked()) button->press();
}

void Match::select_timer(double index) {
    const double count = static_cast<double>(timer_buttons_.size());
    double v = index;
    if (index > count) v = count;
    if (index < 0.0) v = 0.0;
    timer_selection_ = static_cast<int>(v);
    if (timer_selection_ < static_cast<int>(timer_buttons_.size())) {
        ButtonWidget* button = timer_buttons_[static_cast<std::size_t>(timer_selection_)];
        if (!button->is_checked()) button->press();
    }
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

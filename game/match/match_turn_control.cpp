// The steering of the acting slob in a turn, the same for human players
// (their devices' controls) and computer players (the controls they write):
// walking, jumping, stickiness, aim, the fuse timer, charging and throwing,
// the end of the turn, and panning and zooming the view.
//
// What the steering keeps from one step to the next (whether jump and fire
// have been let go, the charge running) lives in the process-wide turn
// control state, reset at every match start.

#include "game/match/match.h"

#include "engine/core/tweener.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "engine/widgets/button_widget.h"
#include "game/behaviors/aim.h"
#include "game/match/match_config.h"
#include "game/match/match_entities.h"
#include "game/match/slob_jump.h"
#include "game/match/turn_control_state.h"
#include "game/menus/weapon_select_widget.h"

#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <cmath>

namespace vo {

namespace {

using OffsetTween = Tweener<SmoothTween<vector3>, TweenMethodCallbackConstRef<vector3, ActionCameraController>>;

// The closest the wheel may zoom the view out.
constexpr float kMinZoom = 0.02f;
// A body counts as on the ground this long after its last touch (seconds).
constexpr double kGroundTouchWindow = 0.05;

float Dot2(const vector3& a, const vector3& b) { return a.x * b.x + a.y * b.y; }
float Length2(float x, float y) { return std::sqrt(x * x + y * y); }

// v normalised in the plane; the zero vector stays zero.
vector3 Unit2(const vector3& v) {
    const float length = Length2(v.x, v.y);
    return length > 0.0f ? vector3(v.x / length, v.y / length, 0.0f) : vector3();
}

}  // namespace

void Match::control_active_slob(double dt, PlayerControls& controls) {
    control_view(dt, controls);
    if (controls.is_down(PlayerAction::end_turn)) {
        change_phase(MatchPhase::turn_over);
        return;
    }
    if (controls.was_pressed(PlayerAction::timer_key)) {
        const float v = controls.get(PlayerAction::timer_key);
        select_timer(v == -1.0f ? 0.0 : static_cast<double>(v));
    }

    Entity* slob = acting_slob();
    if (SoftBody* body = BodyOf(slob)) {
        move_slob(dt, controls, *body);
        if (controls.is_down(PlayerAction::aim)) {
            if (behaviors::Aim* aim = AimOf(slob))
                aim->set_angle(static_cast<float>(aim->angle() + controls.get(PlayerAction::aim) *
                                                                     config_->aimRotationSpeed * dt));
        }
        charge_and_throw(dt, controls, slob, *body);
    }

    const TurnControlState& state = GetTurnControlState();
    charging_ = state.charging_slob != nullptr;
    charge_fraction_ = charging_ ? static_cast<float>(state.charge_time / config_->maxShootTime) : 0.0f;

    // The pad steps through the timer buttons and stops at the last one, as
    // the digit keys do.
    if (controls.was_pressed(PlayerAction::timer_step) && !timer_buttons_.empty()) {
        const double last = static_cast<double>(timer_buttons_.size() - 1);
        select_timer(std::min(timer_seconds() + static_cast<double>(controls.get(PlayerAction::timer_step)), last));
    }
}

void Match::move_slob(double, PlayerControls& controls, SoftBody& body) {
    MatchConfig const& c = *config_;
    TurnControlState& state = GetTurnControlState();

    const float accel = body.touched_ground(kGroundTouchWindow) ? c.accelerationForce : c.airAccelerationForce;
    const bool move_down = controls.is_down(PlayerAction::move);
    const float h = move_down ? controls.get(PlayerAction::move) : 0.0f;
    float vertical = 0.0f;
    bool moving = move_down;
    if (controls.is_down(PlayerAction::down)) {
        moving = true;
        vertical = -1.0f;
    }

    // Jump: once per press, from fresh contact with ground that faces up
    // enough, and not again right after the last one.
    if (controls.is_down(PlayerAction::jump)) {
        vertical += 1.0f;
        if (state.jump_released) {
            const bool in_time = clock_ - last_jump_time_ > 1.5 * c.touchDelay;
            const bool in_contact =
                body.touched_ground(c.touchDelay) || body.touched_body(c.touchDelay) || body.has_sticky_particles();
            if (in_time && in_contact) {
                const vector3 n = body.touch_normal();
                if (Dot2(n, world_up_) > c.jumpNormalThreshold) {
                    last_jump_time_ = clock_;
                    LaunchJump(body, world_up_, c.jumpVelocity);
                }
                state.jump_released = false;
            }
        }
    } else {
        state.jump_released = true;
    }

    // Walking: a push along the world's right, softened while it already
    // goes that way fast.
    vector3 f(world_right_.x * (h * accel), world_right_.y * (h * accel), 0.0f);
    const vector3 vel = body.get_velocity();
    if (f.x * vel.x + f.y * vel.y + f.z * vel.z > 0.0f) {
        const float speed2 = vel.x * vel.x + vel.y * vel.y + vel.z * vel.z;
        f *= 1.0f / (c.airAccelerationDamping * speed2 + 1.0f);
    }
    body.apply_force(f);

    // Stickiness: an unsteered slob sticks; steering away from the touched
    // surface lets go, pushing into it while on the ground sticks again,
    // and Down lets go.
    const float thr = c.stickyDotThreshold;
    if (moving && vertical < 0.0f) {
        if (body.sticky_particles_enabled()) body.enable_sticky_particles(false);
    } else if (moving) {
        const vector3 a = Unit2(vector3(world_right_.x * h, world_right_.y * h, 0.0f));
        const vector3 b = Unit2(vector3(world_up_.x * vertical + world_right_.x * h,
                                        world_up_.y * vertical + world_right_.y * h, 0.0f));
        const vector3 n = body.touch_normal();
        const float d1 = Dot2(n, a);
        const float d2 = Dot2(n, b);
        if (body.sticky_particles_enabled() && d1 > thr && d2 > thr) {
            body.enable_sticky_particles(false);
        } else if (!body.sticky_particles_enabled() && body.touches_ground() && (d1 <= thr || d2 <= thr)) {
            body.enable_sticky_particles(true);
        }
    } else if (!body.sticky_particles_enabled()) {
        body.set_sticky_scale(0.0f, 0.0);
        body.set_sticky_scale(c.stickyScale, c.stickyDelay);
        body.enable_sticky_particles(true);
    }
}

void Match::charge_and_throw(double dt, PlayerControls& controls, Entity* slob, SoftBody& body) {
    TurnControlState& state = GetTurnControlState();
    const double max_shot = config_->maxShootTime;
    const std::string weapon = weapon_select_ ? weapon_select_->selected_weapon() : std::string();

    if (!controls.is_down(PlayerAction::fire)) {
        state.fire_released = true;
        if (state.charging_slob == slob) {
            throw_charged(slob, body, weapon);
        } else {
            state.charging_slob = nullptr;
        }
    } else if (state.charging_slob && state.charging_slob != slob) {
        state.charging_slob = nullptr;
    } else if (state.charging_slob == slob) {
        state.charge_time += dt;
        if (state.charge_time >= max_shot) throw_charged(slob, body, weapon);
    } else if (!has_throws_left(weapon)) {
        // An empty weapon is neither charged nor thrown.
        if (controls.was_pressed(PlayerAction::fire)) notify("No " + weapon + " left!");
    } else if (!weapon.empty() && scene_.weapons.get_child(weapon).get<float>("fixedVelocity", -1.0f) > 0.0f) {
        state.charging_slob = slob;
        state.fire_released = true;
        state.charge_time = max_shot;
        throw_charged(slob, body, weapon);
    } else if (state.fire_released) {
        state.charging_slob = slob;
        state.charge_time = 0.0;
        state.fire_released = false;
    }
}

void Match::throw_charged(Entity* slob, SoftBody& body, std::string const& weapon) {
    TurnControlState& state = GetTurnControlState();
    TeamState* team = current_team_state();

    // A weapon chosen during the charge that has no throws left is not
    // thrown: the charge ends.
    if (!has_throws_left(weapon)) {
        notify("No " + weapon + " left!");
        state.charging_slob = nullptr;
        return;
    }

    scene_.lava_explosions = use_power_up(POWER_UP_LAVA_EXPLOSIONS, true) ? 1 : 0;
    behaviors::Aim* aim = AimOf(slob);
    const vector3 direction = aim ? aim->direction() : world_up_;
    const float power = static_cast<float>(state.charge_time / config_->maxShootTime);
    Entity* grenade = scene_.throw_grenade(weapon, body.calculate_center(), direction, power, timer_seconds(), &body);

    if (team) {
        int& count = team->weapon_counts[weapon];
        if (count > 0) count -= 1;
        if (weapon_select_) weapon_select_->set_weapon_counts(team->weapon_counts);
    }
    if (grenade) grenade->update(0.0f);
    change_phase(MatchPhase::shot_fired);
    state.charging_slob = nullptr;
}

void Match::control_view(double dt, PlayerControls& controls) {
    if (mouse_over_hud_) return;
    MatchConfig::Camera const& c = config_->camera;

    pan_offset_.x += world_right_.x * controls.get(PlayerAction::pan_x) + world_up_.x * controls.get(PlayerAction::pan_y);
    pan_offset_.y += world_right_.y * controls.get(PlayerAction::pan_x) + world_up_.y * controls.get(PlayerAction::pan_y);

    // The pan reaches the camera a few steps of limited size at a time.
    vector3 o = camera_->custom_offset();
    const float step_size = static_cast<float>(c.interpStepSize);
    int steps = 0;
    while (static_cast<float>(steps) < c.interpMaxSteps) {
        float px = pan_offset_.x;
        float py = pan_offset_.y;
        const float length = Length2(px, py);
        if (length > step_size) {
            px *= step_size / length;
            py *= step_size / length;
        } else if (length < 1e-6f) {
            break;
        }
        pan_offset_.x -= px;
        pan_offset_.y -= py;
        const float k = (Length2(o.x, o.y) * c.offsetFactor + 1.0f) * c.speed;
        o.x += px * k;
        o.y += py * k;
        ++steps;
    }
    if (steps > 0) camera_->set_custom_offset(vector3(o.x, o.y, 0.0f));

    const float w = controls.get(PlayerAction::zoom);
    if (w != 0.0f) {
        const float z = camera_->zoom();
        const float limit = camera_->zoom_limit();
        const float base = w < 0.0f ? std::min(z, limit) : std::max(z, limit);
        float n = (c.zoomSpeed * w + 1.0f) * base;
        if (n < kMinZoom) {
            n = kMinZoom;
        } else if (n > camera_->fit_zoom()) {
            // Closer than the action needs: the pan eases back half way.
            const vector3 offset = camera_->custom_offset();
            turn_tweens_.add(new OffsetTween(5.0 * c.refreshInterval, offset,
                                             vector3(offset.x * 0.5f, offset.y * 0.5f, offset.z * 0.5f),
                                             camera_.get(), &ActionCameraController::set_custom_offset));
        }
        camera_->set_zoom_limit(n);
        camera_->set_refresh_countdown(2.0 * dt);
    }
}

bool Match::has_throws_left(std::string const& weapon) {
    TeamState* team = current_team_state();
    if (!team) return true;
    auto found = team->weapon_counts.find(weapon);
    return found != team->weapon_counts.end() && found->second != 0;
}

void Match::select_available_weapon() {
    TeamState* team = current_team_state();
    if (!team || !weapon_select_) return;
    if (has_throws_left(weapon_select_->selected_weapon())) return;
    // The last listed weapon that has throws, as the weapon panel falls back
    // to the last listed one: in the shipped list the grenade, which the
    // computer players compute every throw with (the first, the mine, would
    // drop at their feet).
    ptree const& available = scene_.weapons.get_child("availableWeapons");
    for (auto entry = available.rbegin(); entry != available.rend(); ++entry) {
        ButtonWidget* button = weapon_select_->button(entry->first);
        if (!button || !has_throws_left(entry->first)) continue;
        button->press();
        weapon_select_->on_weapon_clicked(button);
        return;
    }
}

}  // namespace vo

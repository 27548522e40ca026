#include "game/camera/action_camera_controller.h"

#include "engine/core/tweener.h"
#include "engine/scene/entity.h"
#include "engine/scene/health.h"
#include "engine/scene/scene2d.h"
#include "game/behaviors/rest.h"
#include "game/camera/bspline_tween.h"
#include "game/match/match_config.h"

#include <algorithm>
#include <cmath>

namespace vo {

namespace {

using BoxTween = Tweener<BSplineTween<OBox>, SplineMethodCallback<OBox, ActionCameraController>>;
using ZoomTween = Tweener<LinearTween<float>, TweenMethodCallback<float, ActionCameraController>>;
using ShakeTween = Tweener<LinearTween<vector3>, TweenMethodCallbackConstRef<vector3, ActionCameraController>>;

vector3 Sum(const vector3& a, const vector3& b) { return vector3(a.x + b.x, a.y + b.y, a.z + b.z); }

vector3 Difference(const vector3& a, const vector3& b) { return vector3(a.x - b.x, a.y - b.y, a.z - b.z); }

vector3 Scaled(const vector3& v, float s) { return vector3(v.x * s, v.y * s, v.z * s); }

// How much the entity's box moves in the given time, going on as in its last
// update.
AABox Predicted(const AABox& box, const AABox& previous, float factor) {
    return AABox(Sum(box.min, Scaled(Difference(box.min, previous.min), factor)),
                 Sum(box.max, Scaled(Difference(box.max, previous.max), factor)));
}

// Whether the camera keeps an entity in view: the focus always; otherwise
// dying ones (health at 0 or below, even at rest) and everything not at rest.
bool Followed(const Entity* entity, const Entity* focus) {
    if (entity == focus) return true;
    const behaviors::Health* health = entity->get_behavior<behaviors::Health>();
    if (health && health->value <= 0.0f) return true;
    const behaviors::Rest* rest = entity->get_behavior<behaviors::Rest>();
    return !(rest && rest->is_resting());
}

}  // namespace

ActionCameraController::ActionCameraController() { set_box(OBox()); }

ActionCameraController::~ActionCameraController() = default;

vector3 ActionCameraController::position() {
    return Sum(Sum(box_.world_center(), custom_offset_), shake_offset_);
}

float ActionCameraController::rotation() { return rotation_; }

float ActionCameraController::zoom() { return zoom_; }

void ActionCameraController::apply_settings(const MatchConfig& config) {
    min_box_size_ = config.camera.minBoxSize;
    refresh_interval_ = static_cast<float>(config.camera.refreshInterval);
    history_duration_ = static_cast<float>(config.camera.historyDuration);
    max_custom_offset_ = config.camera.maxCustomOffset;
    zoom_ = zoom_for_min_box();
}

void ActionCameraController::set_look_at(const vector3& v) {
    look_at_ = v;
    box_from_look_at();
}

void ActionCameraController::set_zoom(float zoom) {
    zoom_ = zoom;
    if (!following_) box_from_look_at();
}

void ActionCameraController::set_custom_offset(const vector3& offset) {
    custom_offset_ = offset;
    const float length = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
    if (length > max_custom_offset_) custom_offset_ *= max_custom_offset_ / length;
}

void ActionCameraController::set_following(bool on) {
    if (!on) {
        history_.clear();
        box_tweens_.clear();
        following_ = false;
    } else if (!following_) {
        refresh_countdown_ = 0.0f;
        following_ = true;
    }
}

void ActionCameraController::set_box(const OBox& box) {
    box_ = box;
    look_at_ = box.world_center();
    if (!following_) zoom_ = box_fit_zoom(box);
}

void ActionCameraController::absorb_custom_offset() {
    const vector3 center = Sum(box_.world_center(), custom_offset_);
    vector3 extension = box_.extension();
    grow_by_offset(extension);
    OBox absorbed;
    absorbed.set_rotation(box_.rotation);
    absorbed.set_point(absorbed.to_frame(center));
    absorbed.set_extension(extension);
    set_box(absorbed);
    custom_offset_ = vector3();
}

void ActionCameraController::shake(const vector3& amplitude, int count, double duration, float damping) {
    // Fewer than one swing would make every step infinitely long: tweens that
    // never end and pile up for the rest of the match.
    if (count < 1) return;
    const double step = duration / static_cast<double>(static_cast<float>(count));
    const vector3 zero;
    vector3 swing = amplitude;
    vector3 peak = Scaled(amplitude, 0.5f);
    vector3 from = zero;
    shake_tweens_.add(new ShakeTween(step / 2, zero, peak, this, &ActionCameraController::set_shake_offset), 0.0);
    double start = step / 2;
    // The first swing starts again from zero, not from the first peak.
    for (int i = 0; i < count - 2; ++i) {
        shake_tweens_.add(new ShakeTween(step, from, peak, this, &ActionCameraController::set_shake_offset), start);
        start += step;
        swing *= -damping;
        from = peak;
        peak += swing;
    }
    shake_tweens_.add(new ShakeTween(step / 2, from, zero, this, &ActionCameraController::set_shake_offset), start);
}

void ActionCameraController::update(double dt) {
    forget_dead_focus();
    shake_tweens_.update(dt);
    if (!following_ || dt <= 0.0) return;

    const OBox old = box_;
    box_tweens_.update(dt);

    if (!scene_ || scene_->num_entities() == 0) return;
    refresh_countdown_ = static_cast<float>(refresh_countdown_ - dt);
    if (refresh_countdown_ > 0.0f) return;
    refresh_countdown_ = refresh_interval_;
    refresh(dt, old);
}

void ActionCameraController::forget_dead_focus() {
    if (!focus_ || !scene_) return;
    for (unsigned int i = 0; i < scene_->num_entities(); ++i) {
        if (scene_->entity(i) != focus_) continue;
        // Flagged entities are deleted at the start of the scene's next update.
        if (focus_->was_killed()) focus_ = nullptr;
        return;
    }
    focus_ = nullptr;
}

void ActionCameraController::refresh(double dt, const OBox& old) {
    // Both new tweens run for two intervals; the next refresh replaces them
    // halfway.
    const float duration = 2.0f * refresh_interval_;

    // The box's corner velocities, carried into the world's frame.
    OBox frame;
    frame.set_rotation_z(rotation_);
    const vector3 vmin = frame.to_frame(box_.to_world(vector3(static_cast<float>((box_.min.x - old.min.x) / dt),
                                                              static_cast<float>((box_.min.y - old.min.y) / dt),
                                                              static_cast<float>((box_.min.z - old.min.z) / dt))));
    const vector3 vmax = frame.to_frame(box_.to_world(vector3(static_cast<float>((box_.max.x - old.max.x) / dt),
                                                              static_cast<float>((box_.max.y - old.max.y) / dt),
                                                              static_cast<float>((box_.max.z - old.max.z) / dt))));
    box_.rotate_to(frame.rotation);

    // a: the followed entities now; ahead: where they will be in one flight.
    OBox a = frame;
    OBox ahead = frame;
    bool a_empty = true;
    bool ahead_empty = true;
    for (unsigned int i = 0; i < scene_->num_entities(); ++i) {
        const Entity* entity = scene_->entity(i);
        if (!entity || entity->was_killed() || !Followed(entity, focus_)) continue;
        AABox box;
        if (!entity->bounding_box(box)) continue;
        a.add_world_box(box, a_empty);
        AABox previous;
        if (entity->last_dt() > 0.0 && entity->last_bounding_box(previous)) {
            const AABox p = Predicted(box, previous, static_cast<float>(duration / entity->last_dt()));
            if (p.min.x <= p.max.x && p.min.y <= p.max.y && p.min.z <= p.max.z) ahead.add_world_box(p, ahead_empty);
        }
    }

    OBox target = frame;
    if (!a_empty) {
        enforce_min_size(a);
        target = a;
        if (!ahead_empty) a.add_box(ahead);
        clamp_to_level(a.min, a.max);
    }

    while (static_cast<float>(history_.size()) > history_duration_ / refresh_interval_) history_.pop_front();
    for (OBox& h : history_) h.rotate_to(frame.rotation);
    if (!a_empty) history_.push_back(a);
    if (history_.empty()) return;

    // x: where the box goes; y: x with the oldest box, which bends the path.
    OBox x;
    if (history_.size() == 1) {
        // Nothing followed now and one older box: fly to that one.
        x = a_empty ? history_[0] : target;
    } else {
        x = history_[1];
        for (std::size_t i = 2; i < history_.size(); ++i) x.add_box(history_[i]);
    }
    OBox y = history_[0];
    y.add_box(x);

    box_tweens_.clear();
    OBox p1 = frame;
    p1.min = Scaled(vmin, duration);
    p1.max = Scaled(vmax, duration);
    OBox p3 = frame;
    p3.min = Difference(y.min, x.min);
    p3.max = Difference(y.max, x.max);
    box_tweens_.add(new BoxTween(duration, SplineEnd<OBox>{box_, p1}, SplineEnd<OBox>{x, p3}, this,
                                 &ActionCameraController::set_box));

    vector3 e = x.extension();
    grow_by_offset(e);
    x.set_extension(e);
    e = y.extension();
    grow_by_offset(e);
    y.set_extension(e);
    const float zx = box_fit_zoom(x);
    fit_zoom_ = std::max(zx, box_fit_zoom(y));
    float z = zx;
    // Zooming in is limited to doubling the zoom per second; zooming out is not.
    if (zoom_ > 0.0f && (z - zoom_) / (refresh_interval_ * zoom_) > 2.0f) z = zoom_ + zoom_ * 2.0f * refresh_interval_;
    if (z > zoom_limit_) z = zoom_limit_;
    box_tweens_.add(new ZoomTween(duration, zoom_, z, this, &ActionCameraController::set_zoom));
}

float ActionCameraController::box_fit_zoom(const OBox& box) const {
    const vector3 e = box.extension();
    const float w = e.x / aspect;
    if (w > e.y && w > 0.0f) return 2.0f / w;
    if (e.y > 0.0f) return 2.0f / e.y;
    return 1.0f;
}

void ActionCameraController::box_from_look_at() {
    zoom_ = std::max(zoom_, 1e-6f);
    const vector3 q = box_.to_frame(look_at_);
    const vector3 half(aspect / zoom_, 1.0f / zoom_, 0.0f);
    box_.min = Difference(q, half);
    box_.max = Sum(q, half);
}

void ActionCameraController::grow_by_offset(vector3& e) const {
    const float m = max_custom_offset_;
    const float s = 1.41f / m;
    const float fx = std::min(1.0f, std::fabs(custom_offset_.x) * s);
    const float fy = std::min(1.0f, std::fabs(custom_offset_.y) * s);
    const float fz = std::min(1.0f, std::fabs(custom_offset_.z) * s);
    e.x += m * aspect * fx * fx;
    e.y += m * fy * fy;
    e.z += m * fz * fz;
}

void ActionCameraController::enforce_min_size(OBox& box) const {
    const vector3 e = box.extension();
    const float min_width = aspect * min_box_size_;
    if (min_width > e.x) {
        const float d = (min_width - e.x) * 0.5f;
        box.min.x -= d;
        box.max.x += d;
    }
    if (min_box_size_ > e.y) {
        const float d = (min_box_size_ - e.y) * 0.5f;
        box.min.y -= d;
        box.max.y += d;
    }
}

void ActionCameraController::clamp_to_level(vector3& min, vector3& max) const {
    const float l = 1.1f * level_sphere.radius();
    const float min_width = aspect * min_box_size_;
    if (min.x < -l) min.x = -l;
    if (min.y < -l) min.y = -l;
    if (min.x > l) min.x = l - min_width;
    if (min.y > l) min.y = l - min_box_size_;
    if (max.x < -l) max.x = min_width - l;
    if (max.y < -l) max.y = min_box_size_ - l;
    if (max.x > l) max.x = l;
    if (max.y > l) max.y = l;
}

}  // namespace vo

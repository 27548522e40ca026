#pragma once

// The match's camera controller: follows the action in the level scene with a
// box that flies along a spline, zooms to fit it, turns with the world, adds
// the player's pan offset and shakes at explosions.

#include "engine/core/sphere.h"
#include "engine/core/tween_machine.h"
#include "engine/core/vector.h"
#include "engine/scene/camera_controller.h"
#include "game/camera/obox.h"
#include "game/camera/vector_blend.h"

#include <deque>

namespace vo {

class Entity;
class MatchConfig;
class Scene2d;

// The controller of the level scene's Camera2DPerspective.
//
// Not following (after construction, at match set-up and between turns), only
// the shake runs and the box is rebuilt around the look-at point by
// set_look_at and set_zoom. While following, every refresh interval it takes
// a box around the focus entity and every other entity that still moves, is
// dying (health <= 0) or has a fuse burning, keeps a short history of such
// boxes, and flies its box towards the new target over two refresh intervals
// while the zoom follows; each refresh replaces the flight before.
//
// The scene given to set_scene must outlive every update; the level scene
// itself drives update. The focus entity is never dereferenced: it is only
// compared with the scene's entities, and each update forgets it once the
// scene no longer holds it alive (not in the list, or flagged killed), so a
// deleted focus is never confused with a later entity the controller has not
// yet seen.
class ActionCameraController : public ICameraController2D {
public:
    // Identity box of size zero at the origin, zoom 1.
    ActionCameraController();
    ~ActionCameraController() override;

    // Runs the shake; while following and dt > 0 also the box flight and,
    // when due, a refresh.
    void update(double dt) override;
    // World centre of the box plus the pan offset and the shake offset.
    vector3 position() override;
    float rotation() override;
    // 2 / height of the visible box.
    float zoom() override;

    // Copies "camera.minBoxSize", "camera.refreshInterval",
    // "camera.historyDuration" and "camera.maxCustomOffset", then sets the
    // zoom to zoom_for_min_box () without touching the box. The record keeps
    // the box size, the interval and the offset limit above 0.
    void apply_settings(const MatchConfig& config);

    // Plain stores.
    void set_scene(Scene2d* scene) { scene_ = scene; }
    void set_focus_entity(Entity* entity) { focus_ = entity; }
    void set_rotation(float degrees) { rotation_ = degrees; }
    void set_zoom_limit(float limit) { zoom_limit_ = limit; }
    void set_shake_offset(const vector3& offset) { shake_offset_ = offset; }
    void set_refresh_countdown(double seconds) { refresh_countdown_ = static_cast<float>(seconds); }

    // Rebuilds the box around v at the present zoom.
    void set_look_at(const vector3& v);
    // When not following, also rebuilds the box around the look-at point.
    void set_zoom(float zoom);
    // Stored; an offset longer than the configured maximum is shortened to it.
    void set_custom_offset(const vector3& offset);
    // On: the next update refreshes (nothing when already on). Off: the
    // history and the running flight and zoom tweens are dropped; the box
    // stays where it is.
    void set_following(bool on);
    // The box tween's callback: the look-at point follows the box's centre;
    // when not following the zoom is fitted to the box.
    void set_box(const OBox& box);
    // Folds the pan offset into the box (grown as a refresh would grow it)
    // so that the view does not jump, then zeroes the offset.
    void absorb_custom_offset();

    // Shakes the position: count - 1 swings over duration seconds in all,
    // starting at amplitude / 2, each the one before times -damping. A count
    // below 1 shakes nothing.
    void shake(const vector3& amplitude, int count, double duration, float damping);

    bool following() const { return following_; }
    float zoom_limit() const { return zoom_limit_; }
    // The zoom that fits the box of the last refresh.
    float fit_zoom() const { return fit_zoom_; }
    const vector3& custom_offset() const { return custom_offset_; }
    // The zoom that shows the smallest box: 2 / "camera.minBoxSize".
    float zoom_for_min_box() const { return 2.0f / min_box_size_; }

    // Read-only views of the state.
    const OBox& box() const { return box_; }
    const vector3& look_at() const { return look_at_; }
    const vector3& shake_offset() const { return shake_offset_; }
    Entity* focus_entity() const { return focus_; }
    // Boxes of the last refreshes, oldest first.
    const std::deque<OBox>& history() const { return history_; }
    const TweenMachine& box_tweens() const { return box_tweens_; }
    const TweenMachine& shake_tweens() const { return shake_tweens_; }

    // Width / height of the view; the Match assigns it at match set-up.
    float aspect = 1.0f;
    // Bounds of the level (only the radius is used); the Match assigns it at
    // the start of every match step, before the scene is updated.
    Sphere level_sphere;

private:
    void forget_dead_focus();
    void refresh(double dt, const OBox& old);
    float box_fit_zoom(const OBox& box) const;
    void box_from_look_at();
    void grow_by_offset(vector3& extension) const;
    void enforce_min_size(OBox& box) const;
    void clamp_to_level(vector3& min, vector3& max) const;

    float min_box_size_ = 20.0f;
    float max_custom_offset_ = 1000.0f;
    float refresh_interval_ = 0.5f;
    float history_duration_ = 1.0f;
    TweenMachine box_tweens_;
    TweenMachine shake_tweens_;
    Scene2d* scene_ = nullptr;
    Entity* focus_ = nullptr;
    OBox box_;
    vector3 custom_offset_;
    vector3 look_at_;
    float rotation_ = 0.0f;
    float zoom_ = 1.0f;
    float zoom_limit_ = 1.0f;
    float fit_zoom_ = 1.0f;
    float refresh_countdown_ = 0.0f;
    std::deque<OBox> history_;
    bool following_ = false;
    vector3 shake_offset_;
};

}  // namespace vo

#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/scene/camera_controller.h"

namespace vo {

// A perspective camera looking along the depth axis onto the x-y plane. It
// holds the projection settings; its controller (shared) says where it looks.
class Camera2DPerspective {
public:
    Camera2DPerspective() = default;
    Camera2DPerspective(const Camera2DPerspective&) = default;
    Camera2DPerspective& operator=(const Camera2DPerspective&) = default;
    virtual ~Camera2DPerspective();

    float aspect_ratio() const { return aspect_ratio_; }
    void set_aspect_ratio(float v) { aspect_ratio_ = v; }
    // Vertical, in degrees.
    float field_of_view() const { return field_of_view_; }
    void set_field_of_view(float v) { field_of_view_ = v; }
    float near_clipping_plane() const { return near_clipping_plane_; }
    void set_near_clipping_plane(float v) { near_clipping_plane_ = v; }
    float far_clipping_plane() const { return far_clipping_plane_; }
    void set_far_clipping_plane(float v) { far_clipping_plane_ = v; }
    // Distance of the eye from the plane z = 0 at zoom 1.
    float default_distance() const { return default_distance_; }
    void set_default_distance(float v) { default_distance_ = v; }

    SmartPtr<ICameraController2D> camera_controller() const { return controller_; }
    void set_camera_controller(SmartPtr<ICameraController2D> controller) { controller_ = controller; }

    // Forwards dt to the controller, if any.
    void update(double dt);
    // Sets the engine's projection and model-view matrices: the perspective,
    // then (with a controller) the turn and, when the zoom is above 0, the
    // move to the controller's position at default distance / zoom.
    void apply_transform();

private:
    SmartPtr<ICameraController2D> controller_;
    float aspect_ratio_ = 1.0f;
    float field_of_view_ = 90.0f;
    float near_clipping_plane_ = 0.1f;
    float far_clipping_plane_ = 1000.0f;
    float default_distance_ = 1.0f;
};

}  // namespace vo

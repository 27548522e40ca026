#include "engine/scene/camera_2d_perspective.h"

#include "engine/sfml/engine.h"

namespace vo {

ICameraController2D::~ICameraController2D() = default;

void ICameraController2D::update(double) {}

Camera2DPerspective::~Camera2DPerspective() = default;

void Camera2DPerspective::update(double dt) {
    if (controller_) controller_->update(dt);
}

void Camera2DPerspective::apply_transform() {
    Engine& engine = Engine::instance();
    engine.set_perspective(field_of_view_, aspect_ratio_, near_clipping_plane_, far_clipping_plane_);
    engine.load_identity();
    if (!controller_) return;
    engine.rotate(controller_->rotation(), 0.0f, 0.0f, 1.0f);
    const float zoom = controller_->zoom();
    if (zoom > 0.0f) {
        const vector3 p = controller_->position();
        engine.translate(-p.x, -p.y, -(default_distance_ / zoom));
    }
}

}  // namespace vo

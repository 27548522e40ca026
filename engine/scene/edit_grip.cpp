#include "engine/scene/edit_grip.h"

#include "engine/visuals/drawer.h"

#include <algorithm>
#include <cmath>

namespace vo {

namespace {

void DrawGripSquare(const vector3& centre, const Color& color) {
    Drawer& drawer = SharedDrawer();
    drawer.set_color(color);
    drawer.draw_rect(centre, 0.25f, 0.25f, true);
}

}  // namespace

EditGrip::~EditGrip() = default;
void EditGrip::draw() {}
vector3 EditGrip::position() { return vector3(0.0f, 0.0f, 0.0f); }
void EditGrip::begin_drag() {}
void EditGrip::drag_to(const vector3&) {}
void EditGrip::end_drag(bool) {}

PositionGrip::PositionGrip(vector3* target) : target_(target) {}

void PositionGrip::draw() { DrawGripSquare(position(), Color(1.0f, 0.25f, 0.25f, 0.75f)); }

vector3 PositionGrip::position() { return *target_; }

void PositionGrip::begin_drag() { start_ = *target_; }

void PositionGrip::drag_to(const vector3& offset) {
    vector3 p = start_;
    p += offset;
    *target_ = p;
}

void PositionGrip::end_drag(bool accept) {
    if (!accept) *target_ = start_;
}

RotationGrip::RotationGrip(vector3* position, vector3* rotation) : position_(position), rotation_(rotation) {}

void RotationGrip::draw() { DrawGripSquare(position(), Color(1.0f, 0.75f, 0.25f, 0.25f)); }

vector3 RotationGrip::position() {
    const double angle = rotation_->z;
    return vector3(position_->x + 2.0f * static_cast<float>(std::sin(angle)),
                   position_->y + 2.0f * static_cast<float>(std::cos(angle)), position_->z);
}

void RotationGrip::begin_drag() {
    start_ = position();
    start_angle_ = rotation_->z;
}

void RotationGrip::drag_to(const vector3& offset) {
    vector3 p = start_;
    p += offset;
    float dx = p.x - position_->x;
    float dy = p.y - position_->y;
    if (std::fabs(dx) + std::fabs(dy) <= 1e-6f) return;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.0f) {
        dx /= length;
        dy /= length;
    }
    // dy can round just past 1 after normalising
    const float a = std::acos(std::min(1.0f, std::max(-1.0f, dy)));
    rotation_->z = dx >= 0.0f ? a : 6.2831855f - a;
}

void RotationGrip::end_drag(bool accept) {
    if (!accept) rotation_->z = start_angle_;
}

}  // namespace vo

#include "engine/scene/transform_behavior.h"

#include "engine/core/error.h"
#include "engine/core/parameter_stack.h"
#include "engine/scene/edit_grip.h"
#include "engine/scene/entity.h"

#include <cmath>

namespace vo {
namespace behaviors {

namespace {

using Matrix4 = MathMatrix<4, 4, float>;

float Sin(float angle) { return static_cast<float>(std::sin(static_cast<double>(angle))); }
float Cos(float angle) { return static_cast<float>(std::cos(static_cast<double>(angle))); }

}  // namespace

Transform::Transform()
    : matrix_(Matrix4::identity()), position_(0.0f, 0.0f, 0.0f), rotation_(0.0f, 0.0f, 0.0f), scale_(1.0f, 1.0f, 1.0f) {}

IBehavior* Transform::clone() const {
    Transform* copy = new Transform();
    copy->position_ = position_;
    copy->rotation_ = rotation_;
    copy->scale_ = scale_;
    return copy;
}

void Transform::get_properties(ParameterStack& params) const {
    params.push(Variant(position_), 0, "pos");
    params.push(Variant(rotation_), 0, "rot");
    params.push(Variant(scale_), 0, "scale");
}

void Transform::set_properties(ParameterStack& params) {
    const vector3 position = params.get("pos").to_vector3();
    const vector3 rotation = params.get("rot").to_vector3();
    const vector3 scale = params.get("scale").to_vector3();
    position_ = position;
    rotation_ = rotation;
    scale_ = scale;
}

void Transform::update(float) {
    Matrix4 s = Matrix4::identity();
    s[0] = scale_.x;
    s[5] = scale_.y;
    s[10] = scale_.z;

    Matrix4 rx = Matrix4::identity();
    rx[5] = Cos(rotation_.x);
    rx[6] = -Sin(rotation_.x);
    rx[9] = Sin(rotation_.x);
    rx[10] = Cos(rotation_.x);

    Matrix4 ry = Matrix4::identity();
    ry[0] = Cos(rotation_.y);
    ry[2] = Sin(rotation_.y);
    ry[8] = -Sin(rotation_.y);
    ry[10] = Cos(rotation_.y);

    Matrix4 rz = Matrix4::identity();
    rz[0] = Cos(rotation_.z);
    rz[1] = -Sin(rotation_.z);
    rz[4] = Sin(rotation_.z);
    rz[5] = Cos(rotation_.z);

    Matrix4 t = Matrix4::identity();
    t[12] = position_.x;
    t[13] = position_.y;
    t[14] = position_.z;

    const Matrix4 r = (rx * ry) * rz;
    matrix_ = (s * r) * t;
}

void Transform::get_edit_grips(std::vector<SmartPtr<EditGrip>>& grips) {
    grips.push_back(SmartPtr<EditGrip>(new PositionGrip(&position_)));
    grips.push_back(SmartPtr<EditGrip>(new RotationGrip(&position_, &rotation_)));
}

}  // namespace behaviors

bool GetPosition(const Entity* entity, vector3& out) {
    const behaviors::Transform* transform = entity->get_behavior<behaviors::Transform>();
    if (!transform) throw Error("GetPosition: entity has no transform behavior!");
    out = transform->position();
    return true;
}

bool SetPosition(Entity* entity, const vector3& position) {
    behaviors::Transform* transform = entity->get_behavior<behaviors::Transform>();
    if (!transform) throw Error("SetPosition: entity has no transform behavior!");
    transform->set_position(position);
    return true;
}

}  // namespace vo

#pragma once

#include "engine/core/math_matrix.h"
#include "engine/core/vector.h"
#include "engine/scene/behavior.h"

namespace vo {

class Entity;

namespace behaviors {

// An entity's place in the world: position, rotation (radians about x, y and
// z) and scale, and the 4x4 matrix built from them at every update. The
// matrix scales, then rotates, then translates a point taken as a row vector
// (translation in m[12], m[13], m[14]).
class Transform : public IBehavior {
public:
    Transform();

    IBehavior* clone() const override;
    // Pushes "pos", "rot" and "scale"; set_properties reads them back in that
    // order (a missing name throws the stack's Error).
    void get_properties(ParameterStack& params) const override;
    void set_properties(ParameterStack& params) override;
    // Rebuilds the matrix; dt is not used.
    void update(float dt) override;
    // A PositionGrip, then a RotationGrip; both point into this behavior.
    void get_edit_grips(std::vector<SmartPtr<EditGrip>>& grips) override;

    const vector3& position() const { return position_; }
    const vector3& rotation() const { return rotation_; }
    const vector3& scaling() const { return scale_; }
    // The matrix follows at the next update.
    void set_position(const vector3& position) { position_ = position; }
    void set_rotation(const vector3& rotation) { rotation_ = rotation; }
    void set_scaling(const vector3& scale) { scale_ = scale; }

    const MathMatrix<4, 4, float>& transformation_matrix() const { return matrix_; }

private:
    MathMatrix<4, 4, float> matrix_;
    vector3 position_;
    vector3 rotation_;
    vector3 scale_;
};

}  // namespace behaviors

// The position of the entity's first Transform behavior. Both throw Error
// when the entity has none; SetPosition changes only the vector (the matrix
// follows at the behavior's next update).
bool GetPosition(const Entity* entity, vector3& out);
bool SetPosition(Entity* entity, const vector3& position);

}  // namespace vo

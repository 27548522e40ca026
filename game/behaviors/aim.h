#pragma once

// A slob's aim: an angle and a power, the aim vector they give, and a sprite
// at the tip of that vector turned with the angle.

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/behavior.h"

namespace vo {

class Sprite;
class VisualNode;

namespace behaviors {

class Transform;

class Aim : public IBehavior {
public:
    // An empty sprite in its own node; power 2, angle 0.
    Aim();
    ~Aim() override;

    // A new aim with a copy of the sprite and the same angle and power.
    IBehavior* clone() const override;
    // Needs the entity's transform (throws Error without one) and shows the
    // sprite's node in the entity's scene.
    void initialize(Entity* entity) override;
    // Places the sprite at the entity's position plus the aim vector, turned
    // by the angle.
    void update(float dt) override;
    // Takes the node out of the scene.
    void finalize(Entity* entity) override;

    // Degrees: 0 points along +y, positive angles turn clockwise (toward +x).
    void set_angle(float degrees);
    void set_power(float power);
    float angle() const { return angle_; }
    float power() const { return power_; }

    // power * (sin angle, cos angle, 0).
    const vector3& aim_vector() const { return aim_vector_; }
    // The aim vector of length 1; the zero vector when the power is 0.
    vector3 direction() const;

    Sprite& sprite() { return *sprite_; }
    const Sprite& sprite() const { return *sprite_; }
    SmartPtr<VisualNode> node() const { return node_; }

private:
    void update_aim_vector();

    SmartPtr<Sprite> sprite_;
    SmartPtr<VisualNode> node_;
    Transform* transform_ = nullptr;
    float power_ = 2.0f;
    float angle_ = 0.0f;
    vector3 aim_vector_;
};

}  // namespace behaviors
}  // namespace vo

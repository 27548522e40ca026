#pragma once

// Joins a physics soft body to its entity: registers it with the scene's
// physics, keeps the entity's transform on the body's centre, draws the body
// as a textured triangle mesh and turns collisions and explosions into pushes
// and health changes.

#include "engine/core/aabox.h"
#include "engine/core/color.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/behavior.h"
#include "engine/scene/visual_node.h"
#include "engine/sfml/texture.h"
#include "engine/visuals/simple_visual.h"

namespace vo {

class PhysicsHandler;

namespace behaviors {

class Transform;

class SoftBody : public IBehavior {
public:
    // No body yet; an empty triangle visual in its own node.
    SoftBody();
    // Unregisters the body from the physics.
    ~SoftBody() override;

    // A new soft-body behavior with the same texture, a copy of the body and
    // the same centre (scale, colour and the ignore flag as made).
    IBehavior* clone() const override;
    // Needs the entity's transform (throws Error without one); shows the mesh
    // in the entity's scene and registers the body with its physics.
    void initialize(Entity* entity) override;
    // Moves the body along when the transform was moved, puts the transform
    // on the body's centre and rewrites the mesh.
    void update(float dt) override;
    // Takes the mesh out of the scene; the body stays registered until the
    // behavior is destroyed.
    void finalize(Entity* entity) override;
    bool accepts_game_events() const override { return true; }
    // Collisions with the level and with other bodies and "explosion" events
    // (not their peaks) send the own entity a "health" event.
    void handle_game_event(const GameEvent& event) override;
    // The box of the body's particles at the last update.
    bool bounding_box(AABox& box) const override;

    // Replaces the body (unregistering the old one, registering the new one
    // when the behavior is in a scene) and builds the mesh from it.
    virtual void set_soft_body(SmartPtr<vo::SoftBody> body);
    virtual SmartPtr<vo::SoftBody> soft_body() const { return body_; }
    virtual void set_texture(SmartPtr<Texture> texture);
    virtual void set_color(const Color& color);
    // The mesh is drawn this many times the body's size about its centre.
    void set_visual_scale(float scale) { visual_scale_ = scale; }
    float visual_scale() const { return visual_scale_; }

    SmartPtr<Texture> texture() const { return texture_; }
    SmartPtr<SimpleVisual> visual() const { return visual_; }
    SmartPtr<VisualNode> node() const { return node_; }
    // The body's centre as of the last update or set_soft_body.
    const vector3& center() const { return center_; }

    // Explosions neither push nor hurt the body (collisions still do).
    bool ignore_explosions = false;

private:
    void build_mesh();
    void send_health(float amount);
    void on_world_collision(const GameEvent& event);
    void on_body_collision(const GameEvent& event);
    void on_explosion(const GameEvent& event);

    Entity* entity_ = nullptr;
    PhysicsHandler* physics_ = nullptr;
    SmartPtr<vo::SoftBody> body_;
    SmartPtr<SimpleVisual> visual_;
    SmartPtr<VisualNode> node_;
    SmartPtr<Texture> texture_;
    Transform* transform_ = nullptr;
    vector3 center_;
    AABox box_;
    float visual_scale_ = 1.0f;
};

}  // namespace behaviors

// The velocity v without its part against direction d (normalised here; a
// zero d is used as it is): true and out = v - (v.n) n when v.n < 0,
// otherwise false and out = v. out may be v itself.
bool ClipVelocityAgainstDirection(vector3& out, const vector3& v, const vector3& d);
// The same with a unit normal n used unchanged.
bool ClipVelocityAgainstNormal(vector3& out, const vector3& v, const vector3& n);

}  // namespace vo

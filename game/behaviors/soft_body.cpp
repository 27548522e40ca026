#include "game/behaviors/soft_body.h"

#include "engine/core/error.h"
#include "engine/core/vertex.h"
#include "engine/physics/collision_events.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene.h"
#include "engine/scene/transform_behavior.h"
#include "engine/scene/visual_node.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/simple_visual.h"
#include "game/behaviors/game_events.h"

#include <cmath>
#include <iostream>

namespace vo {

namespace {

float Dot(const vector3& a, const vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float Length(const vector3& v) { return std::sqrt(Dot(v, v)); }

bool ClipAgainst(vector3& out, const vector3& v, const vector3& n) {
    const float k = Dot(v, n);
    if (k < 0.0f) {
        out = vector3(v.x - k * n.x, v.y - k * n.y, v.z - k * n.z);
        return true;
    }
    out = v;
    return false;
}

}  // namespace

bool ClipVelocityAgainstDirection(vector3& out, const vector3& v, const vector3& d) {
    vector3 n;
    NormalizeVector3(n, d);
    return ClipAgainst(out, v, n);
}

bool ClipVelocityAgainstNormal(vector3& out, const vector3& v, const vector3& n) { return ClipAgainst(out, v, n); }

namespace behaviors {

SoftBody::SoftBody() : visual_(new SimpleVisual(PRIMITIVE_TRIANGLES)), node_(VisualNode::create()) {
    node_->set_visual(visual_);
}

SoftBody::~SoftBody() {
    if (physics_ && body_) physics_->remove(body_.get());
}

IBehavior* SoftBody::clone() const {
    SoftBody* copy = new SoftBody();
    copy->set_texture(texture_);
    if (body_) copy->set_soft_body(SmartPtr<vo::SoftBody>(new vo::SoftBody(*body_)));
    copy->center_ = center_;
    return copy;
}

void SoftBody::initialize(Entity* entity) {
    entity_ = entity;
    transform_ = entity->get_behavior<Transform>();
    if (!transform_) throw Error("A transform-behavior has to be attached to an entity with a soft-body-behavior.");
    IScene* scene = entity->get_scene();
    if (!scene) return;
    scene->add_visual(node_, entity, IScene::VISUAL_TYPE_DEFAULT);
    physics_ = scene->physics_handler();
    if (physics_ && body_) physics_->add(body_.get(), entity);
}

void SoftBody::set_soft_body(SmartPtr<vo::SoftBody> body) {
    if (physics_ && body_) physics_->remove(body_.get());
    body_ = body;
    if (!body_) return;
    if (physics_) physics_->add(body_.get(), entity_);
    center_ = body_->calculate_center();
    build_mesh();
}

void SoftBody::build_mesh() {
    vo::SoftBody& body = *body_;
    const unsigned num_points = static_cast<unsigned>(body.num_points());
    SmartPtr<VertexBuffer> vertices = visual_->vertex_buffer();
    vertices->create(num_points, sizeof(NormalVertex), NormalVertex::VRT_DESC);
    void* data = nullptr;
    if (num_points > 0 && vertices->lock(&data, 0, num_points)) {
        BufferLockGuard<VertexBuffer> guard(*vertices);
        NormalVertex* v = static_cast<NormalVertex*>(data);
        for (unsigned i = 0; i < num_points; ++i) {
            const int p = static_cast<int>(i);
            v[i] = NormalVertex(body.point_get_coords(p), vector3(0.0f, 0.0f, 1.0f), body.point_get_uv_coords(p));
        }
    }

    const unsigned num_indices = 3u * static_cast<unsigned>(body.num_triangles());
    SmartPtr<IndexBuffer> indices = visual_->index_buffer();
    indices->create(num_indices);
    unsigned* index = nullptr;
    if (num_indices > 0 && indices->lock(&index, 0, num_indices)) {
        BufferLockGuard<IndexBuffer> guard(*indices);
        for (int t = 0; t < body.num_triangles(); ++t) {
            int a = 0, b = 0, c = 0;
            body.get_triangle(t, &a, &b, &c);
            index[3 * t] = static_cast<unsigned>(a);
            index[3 * t + 1] = static_cast<unsigned>(b);
            index[3 * t + 2] = static_cast<unsigned>(c);
        }
    }
}

void SoftBody::set_texture(SmartPtr<Texture> texture) {
    texture_ = texture;
    visual_->set_texture(texture);
}

void SoftBody::set_color(const Color& color) { visual_->set_color(color); }

void SoftBody::update(float) {
    if (!body_ || !transform_) return;
    vo::SoftBody& body = *body_;
    body.calculate_bounding_box(box_);

    // Somebody moved the entity (SetPosition): the whole body follows.
    const vector3& p = transform_->position();
    const vector3 shift(p.x - center_.x, p.y - center_.y, p.z - center_.z);
    if (Dot(shift, shift) > 1e-6f) {
        for (int i = 0; i < body.num_points(); ++i) {
            vector3 q = body.point_get_coords(i);
            q += shift;
            body.point_set_coords(i, q);
        }
    }
    center_ = body.calculate_center();
    transform_->set_position(center_);

    SmartPtr<VertexBuffer> vertices = visual_->vertex_buffer();
    const unsigned num_points = static_cast<unsigned>(body.num_points());
    void* data = nullptr;
    if (num_points == 0 || vertices->num_vertices() < num_points || !vertices->lock(&data, 0, num_points)) return;
    BufferLockGuard<VertexBuffer> guard(*vertices);
    NormalVertex* v = static_cast<NormalVertex*>(data);
    for (unsigned i = 0; i < num_points; ++i) {
        const vector3 q = body.point_get_coords(static_cast<int>(i));
        v[i].position = vector3(center_.x + (q.x - center_.x) * visual_scale_,
                                center_.y + (q.y - center_.y) * visual_scale_,
                                center_.z + (q.z - center_.z) * visual_scale_);
    }
}

void SoftBody::finalize(Entity* entity) {
    if (IScene* scene = entity->get_scene()) scene->remove_visual(node_, entity);
}

bool SoftBody::bounding_box(AABox& box) const {
    box = box_;
    return true;
}

void SoftBody::handle_game_event(const GameEvent& event) {
    if (event.type == EventTypeId<EntityWorldCollisionEvent>()) {
        on_world_collision(event);
    } else if (event.type == EventTypeId<EntityEntityCollisionEvent>()) {
        on_body_collision(event);
    } else if (event.type == EventTypeId<ExplosionEvent>()) {
        on_explosion(event);
    }
}

void SoftBody::send_health(float amount) {
    if (!entity_) return;
    HealthEvent health(amount);
    entity_->handle_game_event(health);
}

// Hitting the level faster than 30 units per second (the part of the speed
// against the surface) hurts: half a point per unit above.
void SoftBody::on_world_collision(const GameEvent& event) {
    const EntityWorldCollisionEvent& e = *event.cast<EntityWorldCollisionEvent>();
    const vector3& v = e.velocity;
    const float s = Dot(v, v);
    if (s <= 900.0f) return;
    const float speed = std::sqrt(s);
    const vector3 dir(v.x / speed, v.y / speed, v.z / speed);
    const float approach = -Dot(e.normal, dir) * speed;
    const int amount = static_cast<int>((approach - 30.0f) * 0.5f);
    if (amount < 1) return;
    send_health(-static_cast<float>(amount));
}

// Being hit by another body faster than 20 units per second (its speed
// towards this body) hurts: a tenth of a point per unit above. The own speed
// plays no part.
void SoftBody::on_body_collision(const GameEvent& event) {
    const EntityEntityCollisionEvent& e = *event.cast<EntityEntityCollisionEvent>();
    const vector3& v = e.velocity2;
    const float s = Dot(v, v);
    if (s <= 400.0f) return;
    const float speed = std::sqrt(s);
    vector3 d(e.center1.x - e.center2.x, e.center1.y - e.center2.y, e.center1.z - e.center2.z);
    NormalizeVector3(d, d);
    const vector3 dir(v.x / speed, v.y / speed, v.z / speed);
    const int amount = static_cast<int>((Dot(d, dir) * speed - 20.0f) / 10.0f);
    if (amount < 1) return;
    send_health(-static_cast<float>(amount));
}

void SoftBody::on_explosion(const GameEvent& event) {
    if (ignore_explosions || !body_) return;
    const ExplosionEvent& e = *event.cast<ExplosionEvent>();
    vo::SoftBody& body = *body_;

    // Distance from the blast to the body's surface, in the plane.
    const Sphere sphere = body.calculate_bounding_sphere();
    vector3 dir(sphere.center().x - e.position.x, sphere.center().y - e.position.y, 0.0f);
    float dist = Length(dir) - sphere.radius();
    if (dist < 0.0f) dist = 0.0f;
    if (!(2.0f * e.radius > dist)) return;

    const float push = e.force_at(dist);
    vector3 velocity = body.get_velocity();
    std::cout << "dir: " << dir << ", vel: " << velocity << "\n" << std::flush;
    // Whatever moved towards the blast stops doing so.
    if (ClipVelocityAgainstDirection(velocity, velocity, dir)) body.set_velocity(velocity, false);
    std::cout << "nvel: " << velocity << "\n" << std::flush;

    NormalizeVector3(dir, dir);
    body.clear_sticky_particles();
    body.apply_force(vector3(dir.x * push, dir.y * push, dir.z * push));

    // Sent also when nothing is lost; a negative damage heals.
    send_health(-e.damage_at(dist));
}

}  // namespace behaviors
}  // namespace vo

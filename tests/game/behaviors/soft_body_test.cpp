// The soft-body behavior: its place in the scene and the physics, following
// the transform, and what collisions and explosions do to its body and its
// entity's health.

#include "game/behaviors/soft_body.h"

#include "engine/core/error.h"
#include "engine/core/vertex.h"
#include "engine/physics/collision_events.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "engine/scene/health.h"
#include "engine/scene/scene2d.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/soft_body_entities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vo;

// Every "health" event the entity receives.
class HealthLog : public IBehavior {
public:
    IBehavior* clone() const override { return new HealthLog(); }
    bool accepts_game_events() const override { return true; }
    void handle_game_event(const GameEvent& e) override {
        if (e.type == EventTypeId<HealthEvent>()) amounts.push_back(e.cast<HealthEvent>()->amount);
    }
    std::vector<float> amounts;
};

SmartPtr<SoftBody> RoundBody(float radius = 1.0f) {
    SoftBodyDesc desc;
    desc.radius = radius;
    SmartPtr<SoftBody> body(new SoftBody());
    CreateSoftBody_Circle(*body, desc);
    return body;
}

// A slob of radius 1 at the origin, in a plain scene without gravity.
struct SlobInScene {
    SlobInScene() {
        scene.physics_handler()->set_gravity(vector3());
        slob = new SlobEntity();
        slob->set_soft_body(RoundBody());
        log = slob->add_behavior<HealthLog>();
        scene.add_entity(slob, true);
        slob->health_behavior()->value = 100.0f;
        slob->update(0.0f);
    }
    SoftBody& body() { return *slob->soft_body(); }
    float health() const { return slob->health_behavior()->value; }

    Scene2d scene;
    SlobEntity* slob = nullptr;
    HealthLog* log = nullptr;
};

float Length(const vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// Radius 10, damage 40, force 1000, the blast to the left of the body at the
// given distance from its surface.
TEST(SoftBodyBehavior, AnExplosionPushesAndHurtsByTheDistanceToTheBodysSurface) {
    struct Case {
        float dist;
        vector3 velocity;  // of the body before the blast
        bool reached;
        float push;
        float damage;
        vector3 velocity_after;
    };
    const Case cases[] = {
        // Full push (the factor 1.33 is held at 1) and full damage.
        {5.0f, vector3(-3.0f, 2.0f, 0.0f), true, 1000.0f, 40.0f, vector3(0.0f, 2.0f, 0.0f)},
        {8.0f, vector3(3.0f, 2.0f, 0.0f), true, 933.33f, 16.0f, vector3(3.0f, 2.0f, 0.0f)},
        // A health event of -0 all the same.
        {12.0f, vector3(-1.0f, 0.0f, 0.0f), true, 400.0f, 0.0f, vector3(0.0f, 0.0f, 0.0f)},
        // Beyond twice the radius nothing happens at all.
        {20.0f, vector3(-1.0f, 0.0f, 0.0f), false, 0.0f, 0.0f, vector3(-1.0f, 0.0f, 0.0f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("distance " + std::to_string(c.dist));
        SlobInScene s;
        s.body().set_velocity(c.velocity, false);
        const Sphere sphere = s.body().calculate_bounding_sphere();
        const vector3 blast(sphere.center().x - sphere.radius() - c.dist, sphere.center().y, 0.0f);
        s.slob->handle_game_event(ExplosionEvent(blast, 10.0f, 40.0f, 1000.0f));

        const vector3 force = s.body().particle_collection().applied_force();
        const vector3 v = s.body().get_velocity();
        EXPECT_NEAR(v.x, c.velocity_after.x, 1e-4f);
        EXPECT_NEAR(v.y, c.velocity_after.y, 1e-4f);
        if (!c.reached) {
            EXPECT_TRUE(s.log->amounts.empty());
            EXPECT_EQ(Length(force), 0.0f);
            EXPECT_EQ(s.health(), 100.0f);
            continue;
        }
        ASSERT_EQ(s.log->amounts.size(), 1u);
        EXPECT_NEAR(s.log->amounts[0], -c.damage, 1e-3f);
        EXPECT_NEAR(s.health(), 100.0f - c.damage, 1e-3f);
        EXPECT_NEAR(force.x, c.push, 0.05f);  // away from the blast
        EXPECT_NEAR(force.y, 0.0f, 1e-3f);
    }
}

TEST(SoftBodyBehavior, ExplosionsAtTheCentreIgnoredOrPeakingDoNoPushing) {
    {
        // At the very centre: no direction, so no push, but the full damage.
        SlobInScene s;
        const vector3 centre = s.body().calculate_bounding_sphere().center();
        s.slob->handle_game_event(ExplosionEvent(centre, 4.0f, 30.0f, 1000.0f));
        EXPECT_EQ(Length(s.body().particle_collection().applied_force()), 0.0f);
        EXPECT_EQ(s.health(), 70.0f);
    }
    {
        // A negative damage heals.
        SlobInScene s;
        s.slob->handle_game_event(ExplosionEvent(vector3(), 4.0f, -5.0f, 0.0f));
        EXPECT_EQ(s.health(), 105.0f);
    }
    {
        // The peak of an explosion is the level's business.
        SlobInScene s;
        s.slob->handle_game_event(ExplosionPeakEvent(vector3(), 4.0f, 30.0f, 1000.0f));
        EXPECT_EQ(s.health(), 100.0f);
        EXPECT_EQ(Length(s.body().particle_collection().applied_force()), 0.0f);
    }
    {
        // Ignoring explosions ignores them wholly; collisions still hurt.
        SlobInScene s;
        s.slob->soft_body_behavior()->ignore_explosions = true;
        s.slob->handle_game_event(ExplosionEvent(vector3(-2.0f, 0.0f, 0.0f), 4.0f, 30.0f, 1000.0f));
        EXPECT_EQ(s.health(), 100.0f);
        EXPECT_EQ(Length(s.body().particle_collection().applied_force()), 0.0f);
        s.slob->handle_game_event(
            EntityWorldCollisionEvent(s.slob, vector3(0.0f, -50.0f, 0.0f), vector3(0.0f, 1.0f, 0.0f)));
        EXPECT_EQ(s.health(), 90.0f);
    }
}

TEST(SoftBodyBehavior, HardCollisionsHurtByTheSpeedAgainstTheSurfaceOrOfTheOtherBody) {
    struct Case {
        std::string what;
        bool with_level;
        vector3 velocity;  // own against the level; the other body's otherwise
        std::vector<float> health_events;
    };
    const Case cases[] = {
        {"level at 31: (31 - 30) / 2 truncates to 0", true, vector3(0, -31, 0), {}},
        {"level at 32", true, vector3(0, -32, 0), {-1.0f}},
        {"level at 50", true, vector3(0, -50, 0), {-10.0f}},
        {"level at 30 exactly is no hit at all", true, vector3(0, -30, 0), {}},
        {"moving away from the level", true, vector3(0, 80, 0), {}},
        {"level at a slant: only the part against it counts", true, vector3(40, -45, 0), {-7.0f}},
        {"hit head-on at 35: (35 - 20) / 10 truncates to 1", false, vector3(-35, 0, 0), {-1.0f}},
        {"hit at 20 exactly", false, vector3(-20, 0, 0), {}},
        {"the other moving away", false, vector3(60, 0, 0), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SlobInScene s;
        if (c.with_level) {
            s.slob->handle_game_event(EntityWorldCollisionEvent(s.slob, c.velocity, vector3(0.0f, 1.0f, 0.0f)));
        } else {
            // The other body lies to the right and moves with the velocity;
            // this body's own speed plays no part.
            s.slob->handle_game_event(EntityEntityCollisionEvent(s.slob, vector3(50.0f, 0.0f, 0.0f), vector3(),
                                                                 nullptr, c.velocity, vector3(2.0f, 0.0f, 0.0f)));
        }
        EXPECT_EQ(s.log->amounts, c.health_events);
    }
}

TEST(SoftBodyBehavior, RegistersItsBodyAndFollowsATeleportedTransform) {
    SlobInScene s;
    SoftBody* body = s.slob->soft_body().get();
    ASSERT_NE(s.scene.physics_handler()->ignore_list(body), nullptr);  // registered

    std::vector<vector3> before;
    for (int i = 0; i < body->num_points(); ++i) before.push_back(body->point_get_coords(i));
    AABox old_box;
    ASSERT_TRUE(s.slob->soft_body_behavior()->bounding_box(old_box));

    SetPosition(s.slob, vector3(5.0f, -3.0f, 0.0f));
    s.slob->update(0.0f);
    for (int i = 0; i < body->num_points(); ++i) {
        EXPECT_NEAR(body->point_get_coords(i).x, before[i].x + 5.0f, 1e-4f);
        EXPECT_NEAR(body->point_get_coords(i).y, before[i].y - 3.0f, 1e-4f);
    }
    vector3 p;
    GetPosition(s.slob, p);
    EXPECT_NEAR(p.x, 5.0f, 1e-4f);
    EXPECT_NEAR(p.y, -3.0f, 1e-4f);
    // The box is taken before the move: it follows one update later.
    AABox box;
    s.slob->soft_body_behavior()->bounding_box(box);
    EXPECT_EQ(box.center().x, old_box.center().x);
    s.slob->update(0.0f);
    s.slob->soft_body_behavior()->bounding_box(box);
    EXPECT_NEAR(box.center().x, old_box.center().x + 5.0f, 1e-4f);

    // The mesh is drawn around the centre at the visual scale.
    s.slob->soft_body_behavior()->set_visual_scale(2.0f);
    s.slob->update(0.0f);
    SmartPtr<VertexBuffer> vertices = s.slob->soft_body_behavior()->visual()->vertex_buffer();
    void* data = nullptr;
    ASSERT_TRUE(vertices->lock(&data, 0, vertices->num_vertices()));
    const vector3 drawn = static_cast<NormalVertex*>(data)[0].position;
    vertices->unlock();
    const vector3 centre = s.slob->soft_body_behavior()->center();
    const vector3 q = body->point_get_coords(0);
    EXPECT_NEAR(drawn.x - centre.x, 2.0f * (q.x - centre.x), 1e-4f);
    EXPECT_NEAR(drawn.y - centre.y, 2.0f * (q.y - centre.y), 1e-4f);

    // Removing the entity unregisters the body.
    s.slob->kill_entity();
    s.scene.update(1.0f / 60.0f);
    EXPECT_EQ(s.scene.physics_handler()->ignore_list(body), nullptr);
}

TEST(SoftBodyBehavior, NeedsATransform) {
    Scene2d scene;
    Entity entity;
    entity.set_scene(&scene, nullptr);
    behaviors::SoftBody* soft_body = entity.add_behavior<behaviors::SoftBody>("softBody");
    soft_body->set_soft_body(RoundBody());
    try {
        soft_body->initialize(&entity);
        FAIL() << "no Error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.message()),
                  "A transform-behavior has to be attached to an entity with a soft-body-behavior.");
    }
}

TEST(SoftBodyBehavior, ACloneHasItsOwnCopyOfTheBody) {
    behaviors::SoftBody original;
    SmartPtr<SoftBody> body = RoundBody(2.0f);
    original.set_soft_body(body);
    std::unique_ptr<IBehavior> copy(original.clone());
    auto* clone = static_cast<behaviors::SoftBody*>(copy.get());
    ASSERT_TRUE(clone->soft_body());
    EXPECT_NE(clone->soft_body().get(), body.get());
    EXPECT_EQ(clone->soft_body()->num_points(), body->num_points());
    EXPECT_FALSE(clone->ignore_explosions);
}

TEST(ClipVelocity, TakesAwayOnlyThePartAgainstTheDirection) {
    struct Case {
        vector3 v;
        vector3 d;
        bool clipped;
        vector3 out;
    };
    const Case cases[] = {
        {vector3(-3, 2, 0), vector3(4, 0, 0), true, vector3(0, 2, 0)},  // d is normalised
        {vector3(3, 2, 0), vector3(1, 0, 0), false, vector3(3, 2, 0)},
        {vector3(-1, -1, 0), vector3(0, 0, 0), false, vector3(-1, -1, 0)},
        {vector3(0, 5, 0), vector3(1, 0, 0), false, vector3(0, 5, 0)},  // across: nothing against it
    };
    for (const Case& c : cases) {
        vector3 out(9, 9, 9);
        EXPECT_EQ(ClipVelocityAgainstDirection(out, c.v, c.d), c.clipped);
        EXPECT_NEAR(out.x, c.out.x, 1e-6f);
        EXPECT_NEAR(out.y, c.out.y, 1e-6f);
        vector3 in_place = c.v;  // out may be the input itself
        ClipVelocityAgainstDirection(in_place, in_place, c.d);
        EXPECT_NEAR(in_place.x, c.out.x, 1e-6f);
        EXPECT_NEAR(in_place.y, c.out.y, 1e-6f);
    }
    // The normal form takes its normal as it is.
    vector3 out;
    EXPECT_TRUE(ClipVelocityAgainstNormal(out, vector3(0, -4, 0), vector3(0, 2, 0)));
    EXPECT_NEAR(out.y, 12.0f, 1e-6f);
}

}  // namespace

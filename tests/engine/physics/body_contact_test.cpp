#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/physics/particle_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "engine/scene/health.h"
#include "physics_test_access.h"
#include "support/engine/physics_level_scenes.h"

namespace {

using vo::SoftBody;
using vo::vector3;
using vo_test::CollisionRecorder;

// Two registered bodies a and b, each with an entity that records its events.
struct Pair {
    PhysicsHandlerAccess physics;
    SoftBody a, b;
    vo::Entity ea, eb;
    CollisionRecorder* ra;
    CollisionRecorder* rb;

    Pair(const std::vector<vector3>& pa, const std::vector<vector3>& pb) {
        ra = ea.add_behavior<CollisionRecorder>();
        rb = eb.add_behavior<CollisionRecorder>();
        MakePointBody(a, pa);
        MakePointBody(b, pb);
        physics.add(&a, &ea);
        physics.add(&b, &eb);
    }
    ~Pair() { physics.clear(); }
};

// a: points (-1, 0) and (1, 0) (centre 0, radius 1); b the same shifted by x.
std::vector<vector3> Segment(float x) { return {vector3(x - 1, 0, 0), vector3(x + 1, 0, 0)}; }

TEST(BodyContact, SpheresThatOnlyTouchDoNotCollide) {
    Pair p(Segment(0), Segment(2));
    p.physics.ignore_collisions(&p.a, &p.b, vo::COLLISION_IGNORE_UNTIL_APART);
    EXPECT_FALSE(p.physics.contact(&p.a, &p.b));
    // Apart: the until-apart pair is gone from both lists.
    EXPECT_TRUE(p.physics.ignore_list(&p.a)->empty());
    EXPECT_TRUE(p.physics.ignore_list(&p.b)->empty());
    EXPECT_EQ(p.a.point_get_coords(1).x, 1.0f);
}

TEST(BodyContact, IgnoredPairsAreSkipped) {
    // Overlapping: an until-apart pair is skipped and kept; an always pair
    // is skipped even when apart, and kept.
    Pair overlapping(Segment(0), Segment(1.5f));
    overlapping.physics.ignore_collisions(&overlapping.a, &overlapping.b, vo::COLLISION_IGNORE_UNTIL_APART);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(overlapping.physics.contact(&overlapping.a, &overlapping.b));
    EXPECT_EQ(overlapping.physics.ignore_list(&overlapping.a)->size(), 1u);
    EXPECT_EQ(overlapping.a.point_get_coords(1).x, 1.0f);

    Pair always(Segment(0), Segment(1.5f));
    always.physics.ignore_collisions(&always.a, &always.b, vo::COLLISION_IGNORE_ALWAYS);
    EXPECT_FALSE(always.physics.contact(&always.a, &always.b));
    always.b.point_set_coords(0, vector3(9, 0, 0));
    always.b.point_set_coords(1, vector3(11, 0, 0));
    EXPECT_FALSE(always.physics.contact(&always.a, &always.b));
    EXPECT_EQ(always.physics.ignore_list(&always.b)->size(), 1u);
    EXPECT_TRUE(always.ra->contacts.empty());
}

TEST(BodyContact, CoincidentCentresDoNotCollide) {
    Pair p(Segment(0), {vector3(0, -1, 0), vector3(0, 1, 0)});
    EXPECT_FALSE(p.physics.contact(&p.a, &p.b));
}

TEST(BodyContact, TheContactPlaneFollowsTheInertia) {
    // a reaches to x = 1, b (centre 1.5) back to x = 0.5.
    struct Case {
        float inertia_a, inertia_b;
        float a_end;  // a's point 1 afterwards
        float b_end;  // b's point 0 afterwards
    };
    const Case cases[] = {
        {1, 1, 0.75f - 0.25f * 0.001f, 0.75f + 0.25f * 0.001f},  // plane at the midpoint 0.75
        {0, 1, 0.5f - 0.5f * 0.001f, 0.5f},                      // plane at b's point: only a gives way
        {1, 0, 1.0f, 1.0f + 0.5f * 0.001f},
        {0, 0, 0.75f - 0.25f * 0.001f, 0.75f + 0.25f * 0.001f},  // both 0: weight 1/2
        {-3, 1, 0.5f - 0.5f * 0.001f, 0.5f},                     // negative inertia counts as none
    };
    for (const Case& c : cases) {
        Pair p(Segment(0), Segment(1.5f));
        p.a.set_inertia(c.inertia_a);
        p.b.set_inertia(c.inertia_b);
        EXPECT_TRUE(p.physics.contact(&p.a, &p.b)) << c.inertia_a << " " << c.inertia_b;
        EXPECT_NEAR(p.a.point_get_coords(1).x, c.a_end, 1e-6f) << c.inertia_a << " " << c.inertia_b;
        EXPECT_NEAR(p.b.point_get_coords(0).x, c.b_end, 1e-6f) << c.inertia_a << " " << c.inertia_b;
        EXPECT_EQ(p.a.point_get_coords(0).x, -1.0f);
        EXPECT_EQ(p.b.point_get_coords(1).x, 2.5f);
    }
}

TEST(BodyContact, AnImmovableBorderMakesNoContact) {
    Pair p(Segment(0), Segment(1.5f));
    p.b.particle_set_mass_inv(0, 0.0f);
    p.b.particle_set_mass_inv(1, 0.0f);
    EXPECT_FALSE(p.physics.contact(&p.a, &p.b));
    EXPECT_TRUE(p.ra->contacts.empty());
    EXPECT_TRUE(p.rb->contacts.empty());
    // a's penetrating point was pushed out all the same.
    EXPECT_LT(p.a.point_get_coords(1).x, 0.75f);
}

TEST(BodyContact, EmptyBodiesAreSkipped) {
    Pair p(Segment(0), {});
    EXPECT_FALSE(p.physics.contact(&p.a, &p.b));
    EXPECT_FALSE(p.physics.contact(&p.b, &p.a));
}

TEST(BodyContact, VelocityResponseByFriction) {
    struct Case {
        float friction_a, friction_b;
        vector3 va, vb;          // velocities of the two touching points
        vector3 want_a, want_b;  // afterwards
    };
    const Case cases[] = {
        // Friction 1: common normal velocity, own sliding velocity kept.
        {1, 1, {1, 0.5f, 0}, {-1, -0.5f, 0}, {0, 0.5f, 0}, {0, -0.5f, 0}},
        {1, 1, {3, 1, 0}, {-1, 0, 0}, {1, 1, 0}, {1, 0, 0}},
        // Friction 0: the common sliding velocity for both.
        {0, 0, {1, 1, 0}, {-1, 0, 0}, {0, 0.5f, 0}, {0, 0.5f, 0}},
        // Each keeps its own sliding in the share of the other's friction.
        {0.5f, 1, {2, 1, 0}, {0, -1, 0}, {1, 1, 0}, {1, -0.5f, 0}},
        // Friction beyond 1 counts as 1.
        {5, 5, {1, 0.5f, 0}, {-1, -0.5f, 0}, {0, 0.5f, 0}, {0, -0.5f, 0}},
    };
    for (const Case& c : cases) {
        Pair p(Segment(0), Segment(1.5f));
        p.a.set_friction(c.friction_a);
        p.b.set_friction(c.friction_b);
        p.a.particle_set_velocity(1, c.va);
        p.b.particle_set_velocity(0, c.vb);
        p.a.particle_set_velocity(0, vector3(7, 7, 0));  // not touching: untouched
        ASSERT_TRUE(p.physics.contact(&p.a, &p.b));
        EXPECT_FLOAT_EQ(p.a.particle_get_velocity(1).x, c.want_a.x);
        EXPECT_FLOAT_EQ(p.a.particle_get_velocity(1).y, c.want_a.y);
        EXPECT_FLOAT_EQ(p.b.particle_get_velocity(0).x, c.want_b.x);
        EXPECT_FLOAT_EQ(p.b.particle_get_velocity(0).y, c.want_b.y);
        EXPECT_EQ(p.a.particle_get_velocity(0).x, 7.0f);
    }
}

TEST(BodyContact, TwoEventsPerContactReceiverFirst) {
    Pair p(Segment(0), Segment(1.5f));
    p.a.particle_set_velocity(1, vector3(2, 1, 0));
    p.b.particle_set_velocity(0, vector3(-3, 0, 0));
    CollisionRecorder::log().clear();
    ASSERT_TRUE(p.physics.contact(&p.a, &p.b));

    const unsigned int type = vo::crc32("entityEntityCollision");
    ASSERT_EQ(CollisionRecorder::log().size(), 2u);
    EXPECT_EQ(CollisionRecorder::log()[0], std::make_pair(&p.ea, type));
    EXPECT_EQ(CollisionRecorder::log()[1], std::make_pair(&p.eb, type));

    ASSERT_EQ(p.ra->contacts.size(), 1u);
    const CollisionRecorder::Contact& ca = p.ra->contacts[0];
    EXPECT_EQ(ca.self, &p.ea);
    EXPECT_EQ(ca.other, &p.eb);
    // Velocities before the response; centres of the spheres before the push.
    EXPECT_EQ(ca.velocity_self.x, 2.0f);
    EXPECT_EQ(ca.velocity_self.y, 1.0f);
    EXPECT_EQ(ca.velocity_other.x, -3.0f);
    EXPECT_EQ(ca.center_self.x, 0.0f);
    EXPECT_EQ(ca.center_other.x, 1.5f);
    const CollisionRecorder::Contact& cb = p.rb->contacts[0];
    EXPECT_EQ(cb.self, &p.eb);
    EXPECT_EQ(cb.other, &p.ea);
    EXPECT_EQ(cb.velocity_self.x, -3.0f);
    EXPECT_EQ(cb.center_self.x, 1.5f);
    EXPECT_EQ(cb.center_other.x, 0.0f);
    EXPECT_FLOAT_EQ(p.a.particle_get_velocity(1).x, -0.5f);  // after the response

    // Without an entity on one side the contact is resolved silently.
    PhysicsHandlerAccess physics;
    SoftBody a, b;
    vo::Entity e;
    auto* r = e.add_behavior<CollisionRecorder>();
    MakePointBody(a, Segment(0));
    MakePointBody(b, Segment(1.5f));
    physics.add(&a, &e);
    physics.add(&b, nullptr);
    EXPECT_TRUE(physics.contact(&a, &b));
    EXPECT_TRUE(r->contacts.empty());
    physics.clear();
}

// --- fluid ---------------------------------------------------------------

// A fluid of never-dying particles at the given points, put into the
// handler's grid the way a step does.
struct Fluid {
    PhysicsHandlerAccess physics;
    vo::ParticleHandler h;

    Fluid(const std::vector<vector3>& points, vo::ParticleHandler::ParticleDesc d) {
        d.particlesInteract = true;
        d.massInv = 1.0;
        d.minLiveTime = d.maxLiveTime = 0.0;
        h.set_particle_desc(d);
        std::vector<vo::ParticleSource::ParticleDesc> descs(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) descs[i].position = points[i];
        h.create_particles(static_cast<unsigned int>(descs.size()), descs.data());
        physics.particle_grid().set_bounding_box(vo::Rect(-10, -10, 10, 10));
        for (unsigned int i = 0; i < h.num_particles(); ++i) physics.particle_grid().insert_particle(&h, i);
    }
    vector3 force(unsigned int i) const { return h.particle_collection().particle(static_cast<int>(i))->force; }
};

vo::ParticleHandler::ParticleDesc PairDesc() {
    vo::ParticleHandler::ParticleDesc d;
    d.particleRadius = 0.5f;    // R1 = 1
    d.attractionRadius = 0.75f;  // R2 = 1.5
    d.repulsionForce = 100.0f;
    d.repulsionMagnifier = 10.0f;
    d.attractionForce = 8.0f;
    d.velocityInteraction = 10.0f;
    return d;
}

TEST(FluidPairs, CoincidentParticlesExchangeVelocityButPushNothing) {
    Fluid f({vector3(1, 1, 0), vector3(1, 1, 0)}, PairDesc());
    f.h.set_velocity(0, vector3(2, 0, 0));
    f.physics.adjust_fluid_velocities(0.1);
    EXPECT_EQ(f.force(0).x, 0.0f);
    EXPECT_EQ(f.force(1).x, 0.0f);
    // a = 10 x 0.5 x 0.1 = 0.5 per visit. Particle 0's visit: 1 goes to
    // 0.5, 0 to 1.5; particle 1's visit: 0 goes to 1.25, 1 to 0.75.
    EXPECT_EQ(f.h.velocity(0).x, 1.25f);
    EXPECT_EQ(f.h.velocity(1).x, 0.75f);
}

TEST(FluidPairs, AttractionBetweenTheRadii) {
    // Distance 1.25: halfway between R1 = 1 and R2 = 1.5.
    Fluid f({vector3(0, 0, 0), vector3(1.25f, 0, 0)}, PairDesc());
    f.physics.adjust_fluid_velocities(0.1);
    EXPECT_FLOAT_EQ(f.force(1).x, -4.0f);  // half the attraction force, towards particle 0
    EXPECT_FLOAT_EQ(f.force(0).x, 4.0f);
    EXPECT_EQ(f.force(1).y, 0.0f);
    EXPECT_EQ(f.h.velocity(0).x, 0.0f);  // no viscosity beyond R1
}

TEST(FluidPairs, RepulsionGrowsWithCrowding) {
    // Two particles 0.5 apart: k = 2 x 10 + 100 = 120, f = (0.5 / 1 x 120) / 0.5.
    Fluid two({vector3(0, 0, 0), vector3(0, 0.5f, 0)}, PairDesc());
    two.physics.adjust_fluid_velocities(0.1);
    EXPECT_FLOAT_EQ(two.force(1).y, 60.0f);
    EXPECT_FLOAT_EQ(two.force(0).y, -60.0f);
    // A third particle within particle 0's reach (and beyond particle 1's)
    // raises particle 0's count to 3: k = 130.
    Fluid three({vector3(0, 0, 0), vector3(0, 0.5f, 0), vector3(0, -1.2f, 0)}, PairDesc());
    three.physics.adjust_fluid_velocities(0.1);
    EXPECT_FLOAT_EQ(three.force(1).y, 65.0f);
}

TEST(FluidPairs, ALoneParticleFeelsNothing) {
    Fluid f({vector3(0, 0, 0), vector3(5, 5, 0)}, PairDesc());
    f.h.set_velocity(0, vector3(1, 1, 0));
    f.physics.adjust_fluid_velocities(0.1);
    EXPECT_EQ(f.force(0).x, 0.0f);
    EXPECT_EQ(f.force(0).y, 0.0f);
    EXPECT_EQ(f.h.velocity(0).x, 1.0f);
}

TEST(FluidPairs, ViscosityNeverOvershootsTheMean) {
    vo::ParticleHandler::ParticleDesc d = PairDesc();
    d.velocityInteraction = 1000.0f;  // a = 1000 x 0.5 x 0.1 = 50 without a bound
    Fluid f({vector3(0, 0, 0), vector3(0.1f, 0, 0)}, d);
    f.h.set_velocity(0, vector3(4, 0, 0));
    f.physics.adjust_fluid_velocities(0.1);
    EXPECT_FLOAT_EQ(f.h.velocity(0).x, 2.0f);
    EXPECT_FLOAT_EQ(f.h.velocity(1).x, 2.0f);
}

// --- fluid against a body -------------------------------------------------

TEST(FluidAgainstBody, LavaLowersHealthByItsDamage) {
    vo::ParticleHandler::ParticleDesc d = PairDesc();
    d.damagePerSecond = 2.0f;
    d.softbodyRepulsionForce = 0.5f;
    // Three particles within 1.5 body radii of the body's centre, one beyond.
    Fluid f({vector3(0, -1.2f, 0), vector3(1.2f, 0, 0), vector3(0, 1.4f, 0), vector3(0, 1.6f, 0)}, d);
    SoftBody body;
    MakePointBody(body, {vector3(-1, 0, 0), vector3(1, 0, 0), vector3(0, 1, 0), vector3(0, -1, 0)});
    vo::Entity e;
    auto* health = e.add_behavior<vo::behaviors::Health>();
    e.initialize();
    f.physics.add(&body, &e);
    f.physics.push_fluid_against_body(*f.physics.find_entry(&body), 0.1);
    EXPECT_FLOAT_EQ(health->value, 1.0f - 3 * 2.0f * 0.1f);
    // Each of them is pushed away from the centre by 0.5 x 3 / 0.1.
    EXPECT_FLOAT_EQ(f.force(0).y, -15.0f);
    EXPECT_FLOAT_EQ(f.force(1).x, 15.0f);
    EXPECT_EQ(f.force(3).y, 0.0f);

    // An entity without health, and no entity, take nothing and break nothing.
    vo::Entity plain;
    SoftBody other;
    MakePointBody(other, {vector3(-1, 0, 0), vector3(1, 0, 0)});
    f.physics.add(&other, &plain);
    f.physics.push_fluid_against_body(*f.physics.find_entry(&other), 0.1);
    SoftBody orphan;
    MakePointBody(orphan, {vector3(-1, 0, 0), vector3(1, 0, 0)});
    f.physics.add(&orphan, nullptr);
    f.physics.push_fluid_against_body(*f.physics.find_entry(&orphan), 0.1);
    EXPECT_FLOAT_EQ(health->value, 0.4f);
    f.physics.clear();
}

TEST(FluidAgainstBody, ApproachingParticlesStopAndPushTheBody) {
    Fluid f({vector3(1.2f, 0, 0)}, PairDesc());
    f.h.set_velocity(0, vector3(-3, 2, 0));  // towards the body, and sliding
    SoftBody body;
    MakePointBody(body, {vector3(-1, 0, 0), vector3(1, 0, 0)});
    f.physics.add(&body, nullptr);
    f.physics.push_fluid_against_body(*f.physics.find_entry(&body), 0.1);
    // The approaching part is gone, the sliding part stays.
    EXPECT_EQ(f.h.velocity(0).x, 0.0f);
    EXPECT_EQ(f.h.velocity(0).y, 2.0f);
    // The body is pushed away from the particle by 0.1 / dt for each such
    // particle: it shows in its next step.
    body.update(0.1);
    EXPECT_LT(body.get_velocity().x, 0.0f);
    f.physics.clear();
}

TEST(FluidAgainstBody, AMovingBodyDragsParticlesAlong) {
    // The body moves towards the particle at (1.2, 0) with speed 2: s = 1,
    // the particle takes the body's velocity (the change made for its own
    // approach comes first).
    Fluid f({vector3(1.2f, 0, 0)}, PairDesc());
    f.h.set_velocity(0, vector3(0, 1, 0));
    SoftBody body;
    MakePointBody(body, {vector3(-1, 0, 0), vector3(1, 0, 0)});
    body.set_velocity(vector3(2, 0, 0), false);
    f.physics.add(&body, nullptr);
    f.physics.push_fluid_against_body(*f.physics.find_entry(&body), 0.1);
    EXPECT_FLOAT_EQ(f.h.velocity(0).x, 2.0f);
    EXPECT_FLOAT_EQ(f.h.velocity(0).y, 0.0f);

    // Half towards: half the particle's own velocity (after it lost its
    // approach) and half the body's.
    Fluid g({vector3(0.6f, 0.6f * std::sqrt(3.0f), 0)}, PairDesc());
    g.h.set_velocity(0, vector3(-4, 0, 0));
    SoftBody moving;
    MakePointBody(moving, {vector3(-1, 0, 0), vector3(1, 0, 0)});
    moving.set_velocity(vector3(2, 0, 0), false);
    g.physics.add(&moving, nullptr);
    g.physics.push_fluid_against_body(*g.physics.find_entry(&moving), 0.1);
    // nrm = (-0.5, -0.866); the particle approaches: its velocity loses the
    // part along nrm, leaving (-3, 1.732); then s = 0.5.
    EXPECT_NEAR(g.h.velocity(0).x, -3.0f * 0.5f + 2.0f * 0.5f, 1e-5f);
    EXPECT_NEAR(g.h.velocity(0).y, 1.7320508f * 0.5f, 1e-5f);
    g.physics.clear();
}

}  // namespace

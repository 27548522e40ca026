#include <gtest/gtest.h>

#include <cmath>

#include "engine/physics/interconnected_particle_collection.h"
#include "engine/physics/soft_body.h"
#include "support/engine/allocation_counter.h"
#include "support/engine/physics_scenes.h"

namespace {

using vo::SoftBody;
using vo::vector3;

constexpr double kDt = 1.0 / 60.0;

float SpringLengthError(const SoftBody& b, int s) {
    const vo::CSpring* sp = b.spring(s);
    const vector3& p = sp->get_particle1()->position;
    const vector3& q = sp->get_particle2()->position;
    const float dx = q.x - p.x, dy = q.y - p.y, dz = q.z - p.z;
    return std::fabs(std::sqrt(dx * dx + dy * dy + dz * dz) - sp->get_default_length());
}

TEST(SoftBodyDynamics, BodyAtRestStaysAtRest) {
    SoftBody b;
    vo_test::BuildCircleBody(b, vo_test::DefaultCircleDesc(), vector3(2.0f, -1.0f, 0.0f));
    for (int step = 0; step < 600; ++step) b.update(kDt);
    for (int s = 0; s < b.num_springs(); ++s) EXPECT_LT(SpringLengthError(b, s), 1e-5f) << s;
    const vector3 c = b.calculate_center();
    EXPECT_NEAR(b.point_get_coords(12).x, c.x, 1e-5f);
    EXPECT_NEAR(b.point_get_coords(12).y, c.y, 1e-5f);
    EXPECT_NEAR(c.x, 2.0f, 1e-5f);
    EXPECT_NEAR(c.y, -1.0f, 1e-5f);
}

TEST(SoftBodyDynamics, BodyFallsLikeALoneParticleOfTheSameIntegrator) {
    // Without damping each half step h moves by h v + (5/6) a h^2 and adds
    // a h to the velocity (the stages are chained); with damping the body
    // must follow a lone particle stepped the same way.
    for (float damping : {0.0f, 0.1f}) {
        vo::SoftBodyDesc desc = vo_test::DefaultCircleDesc();
        desc.particle_damping = damping;
        SoftBody b;
        vo_test::BuildCircleBody(b, desc);
        vo::CInterconnectedParticleCollection lone;
        lone.create_particles(1);
        lone.set_particle_damping(damping);
        const vector3 g(0.0f, -10.0f, 0.0f);
        double y = 0.0, v = 0.0;
        const double h = kDt * 0.5;
        const int steps = 120;
        float worst_strain = 0.0f;
        for (int step = 0; step < steps; ++step) {
            b.apply_force(g);
            b.update(kDt);
            lone.particle_apply_force(0, g);
            lone.update_frame(kDt);
            for (int half = 0; half < 2; ++half) {
                y += h * v + 5.0 / 6.0 * -10.0 * h * h;
                v += -10.0 * h;
            }
            worst_strain = std::fmax(worst_strain, vo_test::MaxSpringStrain(b));
        }
        const vector3 c = b.calculate_center();
        EXPECT_NEAR(c.y, lone.particle(0)->position.y, 1e-3f) << damping;
        EXPECT_NEAR(b.get_velocity().y, lone.particle(0)->velocity.y, 1e-3f) << damping;
        EXPECT_NEAR(c.x, 0.0f, 1e-4f);
        if (damping == 0.0f) {
            EXPECT_NEAR(c.y, y, 1e-3f);
            EXPECT_NEAR(b.get_velocity().y, v, 1e-3f);
        }
        EXPECT_LT(worst_strain, 1e-3f) << damping;
        // The helper follows the falling ring.
        EXPECT_NEAR(b.point_get_coords(12).y, c.y, 1e-3f);
    }
}

TEST(SoftBodyDynamics, SqueezedBodyRecovers) {
    SoftBody b;
    vo_test::BuildCircleBody(b, vo_test::DefaultCircleDesc());
    // Points 0 (top) and 6 (bottom) pushed towards each other.
    for (int step = 0; step < 10; ++step) {
        b.particle_apply_force(0, vector3(0.0f, -300.0f, 0.0f));
        b.particle_apply_force(6, vector3(0.0f, 300.0f, 0.0f));
        b.update(kDt);
    }
    EXPECT_GT(vo_test::MaxSpringStrain(b), 0.05f);
    int steps = 0;
    while (vo_test::MaxSpringStrain(b) >= 0.01f && steps < 120) {
        b.update(kDt);
        ++steps;
    }
    EXPECT_LT(vo_test::MaxSpringStrain(b), 0.01f) << "after " << steps << " steps";
    EXPECT_LT(steps, 120);
    EXPECT_NEAR(b.calculate_center().x, 0.0f, 1e-3f);
    EXPECT_NEAR(b.calculate_center().y, 0.0f, 1e-3f);
}

TEST(SoftBodyDynamics, ExplosionImpulsesLeaveEveryPositionFinite) {
    // An explosion pushes a body with apply_force for one step; 1000 is the
    // size the game gives, the second case a hundred times more.
    for (float strength : {1000.0f, 100000.0f}) {
        SoftBody b;
        vo_test::BuildCircleBody(b, vo_test::DefaultCircleDesc());
        b.apply_force(vector3(strength * 0.6f, strength * 0.8f, 0.0f));
        b.update(kDt);
        bool finite = true;
        for (int step = 0; step < 10000 && finite; ++step) {
            b.update(kDt);
            finite = vo_test::AllFinite(b);
        }
        EXPECT_TRUE(finite) << strength;
        // Moving uniformly, the body keeps its shape. (After the larger push
        // it flies some 3e5 units, where a float's resolution alone strains
        // the springs by a few percent.)
        if (strength == 1000.0f) {
            EXPECT_LT(vo_test::MaxSpringStrain(b), 1e-3f);
        }
    }
}

TEST(SoftBodyDynamics, OneSidedKickOnAParticleStaysFinite) {
    // A kick on a single particle strains the springs hard; the clamps and
    // the damping must bring the body back without blowing up.
    for (float strength : {1000.0f, 100000.0f}) {
        SoftBody b;
        vo_test::BuildCircleBody(b, vo_test::DefaultCircleDesc());
        b.particle_apply_force(3, vector3(strength, 0.0f, 0.0f));
        b.update(kDt);
        bool finite = true;
        for (int step = 0; step < 10000 && finite; ++step) {
            b.update(kDt);
            finite = vo_test::AllFinite(b);
        }
        EXPECT_TRUE(finite) << strength;
    }
}

TEST(SoftBodyDynamics, StepAllocatesNothingAfterWarmUp) {
    SoftBody b;
    vo::SoftBodyDesc desc = vo_test::DefaultCircleDesc();
    desc.no_friction_vel = 10.0f;
    desc.sticky_particles = true;
    vo_test::BuildCircleBody(b, desc);
    SoftBody other;
    vo_test::BuildCircleBody(other, vo_test::CircleDesc(24));
    for (int step = 0; step < 3; ++step) {
        b.update(kDt);
        other.update(kDt);
    }
    vo_test::AllocationScope scope;
    for (int step = 0; step < 100; ++step) {
        b.apply_force(vector3(0.0f, -10.0f, 0.0f));
        b.particle_apply_force(2, vector3(5.0f, 0.0f, 0.0f));
        b.set_touches_something(step % 2 == 0, false, vector3(0.0f, 1.0f, 0.0f));
        b.update(kDt);
        other.update(kDt);
    }
    EXPECT_EQ(scope.count(), 0u);
}

}  // namespace

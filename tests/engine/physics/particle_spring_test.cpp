#include <gtest/gtest.h>

#include <string>

#include "engine/physics/particle.h"
#include "engine/physics/spring.h"
#include "support/case_name.h"

namespace {

using vo::CParticle;
using vo::CSpring;
using vo::vector3;

TEST(Particle, SemiImplicitEulerStepUsesTheNewVelocity) {
    CParticle p;
    EXPECT_EQ(p.spare, 1.0f);
    EXPECT_EQ(p.mass_inv, 1.0f);
    p.force = vector3(2.0f, 0.0f, 0.0f);
    p.update_frame(0.5);
    EXPECT_FLOAT_EQ(p.velocity.x, 1.0f);
    EXPECT_FLOAT_EQ(p.position.x, 0.5f);
    EXPECT_EQ(p.force.x, 0.0f);
}

TEST(Particle, ImmovableParticleKeepsItsVelocityAndLosesItsForce) {
    CParticle p;
    p.mass_inv = 0.0f;
    p.velocity = vector3(1.0f, -2.0f, 0.0f);
    p.force = vector3(100.0f, 100.0f, 100.0f);
    p.update_frame(0.25);
    EXPECT_EQ(p.velocity.x, 1.0f);
    EXPECT_EQ(p.velocity.y, -2.0f);
    EXPECT_FLOAT_EQ(p.position.x, 0.25f);
    EXPECT_FLOAT_EQ(p.position.y, -0.5f);
    EXPECT_EQ(p.force.x, 0.0f);
    EXPECT_EQ(p.force.z, 0.0f);
}

TEST(Particle, TransformCarriesThePositionInElementsTwelveToFourteen) {
    CParticle p;
    p.position = vector3(1.0f, 2.0f, 3.0f);
    vo::MathMatrix<4, 4, float> m;
    m[0] = 7.0f;  // overwritten
    p.get_transform(m);
    for (unsigned int i = 0; i < 16; ++i) {
        float expected = (i == 0 || i == 5 || i == 10 || i == 15) ? 1.0f : 0.0f;
        if (i == 12) expected = 1.0f;
        if (i == 13) expected = 2.0f;
        if (i == 14) expected = 3.0f;
        EXPECT_EQ(m[i], expected) << "element " << i;
    }
}

struct SpringCase {
    const char* name;
    vector3 pos1, pos2;
    vector3 vel1, vel2;
    float mass_inv1, mass_inv2;
    float rest, k, c;
    float force_x1;  // force on particle 1 (x); particle 2 gets the opposite
};

class SpringLaw : public ::testing::TestWithParam<SpringCase> {};

TEST_P(SpringLaw, AddsOppositeForcesToBothEnds) {
    const SpringCase& sc = GetParam();
    CParticle a, b;
    a.position = sc.pos1;
    b.position = sc.pos2;
    a.velocity = sc.vel1;
    b.velocity = sc.vel2;
    a.mass_inv = sc.mass_inv1;
    b.mass_inv = sc.mass_inv2;
    // Forces accumulate on what is there.
    a.force = vector3(0.0f, 1.0f, 0.0f);
    b.force = vector3(0.0f, 1.0f, 0.0f);
    CSpring s(sc.rest, sc.k, sc.c, &a, &b);
    s.calculate_forces();
    EXPECT_FLOAT_EQ(a.force.x, sc.force_x1);
    EXPECT_FLOAT_EQ(b.force.x, -sc.force_x1);
    EXPECT_EQ(a.force.y, 1.0f);
    EXPECT_EQ(b.force.y, 1.0f);
    EXPECT_EQ(a.force.z, 0.0f);
    EXPECT_EQ(b.force.z, 0.0f);
}

const vector3 kO(0.0f, 0.0f, 0.0f);

INSTANTIATE_TEST_SUITE_P(
    Cases, SpringLaw,
    ::testing::Values(
        // x = -1, f = 11, fs = -11, F = -11 / 2.
        SpringCase{"stretched", kO, {2, 0, 0}, kO, kO, 1, 1, 1, 1, 0, 5.5f},
        // x = 0.5, f = 6, fs = 3, F = 3 / 2: the ends are pushed apart.
        SpringCase{"compressed", kO, {0.5f, 0, 0}, kO, kO, 1, 1, 1, 1, 0, -1.5f},
        // The summed inverse mass divides: F = -11 / 4.
        SpringCase{"unequal_masses", kO, {2, 0, 0}, kO, kO, 1, 3, 1, 1, 0, 2.75f},
        SpringCase{"at_rest", kO, {1, 0, 0}, kO, kO, 1, 1, 1, 1, 0, 0.0f},
        SpringCase{"zero_length", {1, 1, 0}, {1, 1, 0}, kO, kO, 1, 1, 1, 1, 0, 0.0f},
        SpringCase{"rest_length_below_threshold", kO, {1, 0, 0}, kO, kO, 1, 1, 5e-7f, 1, 0, 0.0f},
        SpringCase{"both_immovable", kO, {2, 0, 0}, kO, kO, 0, 0, 1, 1, 0, 0.0f},
        // Particle 1 approaches at speed 1 along the spring: fd = 2, F = 2 / 2.
        SpringCase{"damped", kO, {1, 0, 0}, {1, 0, 0}, kO, 1, 1, 1, 1, 2, -1.0f}),
    test_names::ByNameMember());

TEST(Spring, ThresholdValuesThemselvesStillCount) {
    // A rest length and a summed inverse mass of exactly 1e-6 pass the
    // thresholds.
    CParticle a, b;
    b.position = vector3(1.0f, 0.0f, 0.0f);
    a.mass_inv = 1e-6f;
    b.mass_inv = 0.0f;
    CSpring s(1e-6f, 1.0f, 0.0f, &a, &b);
    s.calculate_forces();
    EXPECT_GT(a.force.x, 0.0f);
    EXPECT_LT(b.force.x, 0.0f);
}

TEST(Spring, ForceActsAlongTheSpringInThreeDimensions) {
    CParticle a, b;
    b.position = vector3(0.0f, 3.0f, 4.0f);  // length 5
    CSpring s(4.0f, 2.0f, 0.0f, &a, &b);
    s.calculate_forces();
    // x = -1, f = 3.5, fs = -7, F = -7 * n / 2 with n = (0, 0.6, 0.8).
    EXPECT_FLOAT_EQ(a.force.y, 2.1f);
    EXPECT_FLOAT_EQ(a.force.z, 2.8f);
    EXPECT_FLOAT_EQ(b.force.y, -2.1f);
    EXPECT_FLOAT_EQ(b.force.z, -2.8f);
    EXPECT_EQ(s.get_default_length(), 4.0f);
    EXPECT_EQ(s.get_spring_constant(), 2.0f);
    EXPECT_EQ(s.get_particle1(), &a);
    EXPECT_EQ(s.get_particle2(), &b);
}

}  // namespace

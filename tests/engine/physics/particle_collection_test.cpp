#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "engine/physics/interconnected_particle_collection.h"
#include "engine/physics/particle_collection.h"

namespace {

using vo::CInterconnectedParticleCollection;
using vo::CParticleCollection;
using vo::vector3;

TEST(ParticleCollection, CreateParticlesAppendsAndReturnsTheFirstIndex) {
    CInterconnectedParticleCollection c;
    EXPECT_EQ(c.create_particles(0), -1);
    EXPECT_EQ(c.create_particles(-3), -1);
    EXPECT_EQ(c.num_particles(), 0);
    ASSERT_EQ(c.create_particles(3), 0);
    for (int i = 0; i < 3; ++i) c.particle(i)->position = vector3(float(i), 1.0f, 2.0f);
    vo::CParticle* first = c.particle(0);
    ASSERT_EQ(c.create_particles(2), 3);
    EXPECT_EQ(c.num_particles(), 5);
    EXPECT_EQ(c.particle(0), first);
    EXPECT_EQ(c.particle(2)->position.x, 2.0f);
    EXPECT_EQ(c.particle(4)->mass_inv, 1.0f);
    EXPECT_EQ(c.particle(4)->spare, 1.0f);
    EXPECT_FALSE(c.particle_is_sticky(4));
}

TEST(ParticleCollection, DampingIsClampedToTheUnitInterval) {
    CParticleCollection c;
    const std::pair<float, float> cases[] = {{1.5f, 1.0f}, {-0.2f, 0.0f}, {0.3f, 0.3f}, {1.0f, 1.0f}};
    for (const auto& [in, stored] : cases) {
        c.set_particle_damping(in);
        EXPECT_EQ(c.get_particle_damping(), stored) << in;
    }
}

TEST(ParticleCollection, StickyParticlesParkTheirInverseMass) {
    CParticleCollection c;
    c.create_particles(3);
    c.particle(0)->mass_inv = 0.5f;
    c.particle(2)->mass_inv = 0.0f;

    c.particle_set_sticky(0, true);  // sticky handling off: nothing
    EXPECT_FALSE(c.particle_is_sticky(0));

    c.enable_sticky_particles(true);
    c.particle_set_sticky(0, true);
    EXPECT_TRUE(c.particle_is_sticky(0));
    EXPECT_EQ(c.particle(0)->mass_inv, 0.0f);
    EXPECT_EQ(c.particle_real_mass_inv(0), 0.5f);
    c.particle_set_sticky(0, true);  // a second call changes nothing
    EXPECT_EQ(c.particle_real_mass_inv(0), 0.5f);
    c.particle_set_sticky(2, true);  // already immovable: nothing
    EXPECT_FALSE(c.particle_is_sticky(2));
    EXPECT_TRUE(c.has_sticky_particles());

    c.particle_set_sticky(0, false);
    EXPECT_EQ(c.particle(0)->mass_inv, 0.5f);
    EXPECT_FALSE(c.has_sticky_particles());

    c.particle_set_sticky(0, true);
    c.particle_set_sticky(1, true);
    c.enable_sticky_particles(false);  // switching off releases all
    EXPECT_EQ(c.particle(0)->mass_inv, 0.5f);
    EXPECT_EQ(c.particle(1)->mass_inv, 1.0f);
    EXPECT_FALSE(c.particle_is_sticky(1));
    EXPECT_FALSE(c.sticky_particles_enabled());
}

TEST(ParticleCollection, StuckParticleIsReleasedOnlyByAForceAboveTheStickyForce) {
    CParticleCollection c;
    c.create_particles(1);
    c.enable_sticky_particles(true);
    c.set_sticky_force(2.0f);
    c.particle(0)->mass_inv = 0.5f;
    c.particle_set_sticky(0, true);

    c.particle(0)->force = vector3(0.0f, 2.0f, 0.0f);  // length 2: held
    c.update_frame(0.1);
    EXPECT_TRUE(c.particle_is_sticky(0));
    EXPECT_EQ(c.particle(0)->velocity.y, 0.0f);

    c.particle(0)->force = vector3(1.5f, 2.0f, 0.0f);  // length 2.5: released
    c.update_frame(0.1);
    EXPECT_FALSE(c.particle_is_sticky(0));
    EXPECT_EQ(c.particle(0)->mass_inv, 0.5f);
    // Released before the step, so the step already moves it.
    EXPECT_FLOAT_EQ(c.particle(0)->velocity.x, 1.5f * 0.5f * 0.1f);
}

TEST(ParticleCollection, StickyForceZeroReleasesUnderAnyForce) {
    CParticleCollection c;
    c.create_particles(1);
    c.enable_sticky_particles(true);
    c.particle_set_sticky(0, true);
    c.update_frame(0.1);  // no force: held
    EXPECT_TRUE(c.particle_is_sticky(0));
    c.particle(0)->force = vector3(0.0f, 0.0f, 1e-3f);
    c.update_frame(0.1);
    EXPECT_FALSE(c.particle_is_sticky(0));
}

TEST(ParticleCollection, BoundingBox) {
    CParticleCollection c;
    vo::AABox box(vector3(5, 5, 5), vector3(6, 6, 6));
    c.calculate_bounding_box(box);
    EXPECT_EQ(box.min.x, 0.0f);
    EXPECT_EQ(box.max.z, 0.0f);
    c.create_particles(2);
    c.particle(0)->position = vector3(1.0f, 2.0f, 0.0f);
    c.particle(1)->position = vector3(-1.0f, 5.0f, 3.0f);
    c.calculate_bounding_box(box);
    EXPECT_EQ(box.min.x, -1.0f);
    EXPECT_EQ(box.min.y, 2.0f);
    EXPECT_EQ(box.min.z, 0.0f);
    EXPECT_EQ(box.max.x, 1.0f);
    EXPECT_EQ(box.max.y, 5.0f);
    EXPECT_EQ(box.max.z, 3.0f);
}

TEST(ParticleCollection, BaseStepIsExplicitEulerOfTheDampedState) {
    CParticleCollection c;
    c.create_particles(1);
    c.set_particle_damping(0.5f);
    c.particle(0)->velocity = vector3(2.0f, 0.0f, 0.0f);
    c.particle(0)->force = vector3(0.0f, -10.0f, 0.0f);
    c.update_frame(0.1);
    // Position moves with the damped old velocity; the force is left alone.
    EXPECT_FLOAT_EQ(c.particle(0)->position.x, 0.1f);
    EXPECT_FLOAT_EQ(c.particle(0)->velocity.x, 1.0f);
    EXPECT_FLOAT_EQ(c.particle(0)->velocity.y, -1.0f);
    EXPECT_EQ(c.particle(0)->position.y, 0.0f);
    EXPECT_EQ(c.particle(0)->force.y, -10.0f);
}

// --- the interconnected integrator -------------------------------------

TEST(Integrator, ConstantForceFollowsTheChainedStages) {
    CInterconnectedParticleCollection c;
    c.create_particles(1);
    c.particle_apply_force(0, vector3(0.0f, -10.0f, 0.0f));
    c.update_frame(0.1);
    EXPECT_FLOAT_EQ(c.particle(0)->velocity.y, -1.0f);
    // A classical four-stage step from each half step's start gives -0.05.
    EXPECT_NEAR(c.particle(0)->position.y, -1.0f / 15.0f, 1e-6f);
    EXPECT_EQ(c.particle(0)->position.x, 0.0f);
    // The particle force lasts one update.
    c.update_frame(0.1);
    EXPECT_FLOAT_EQ(c.particle(0)->velocity.y, -1.0f);
}

TEST(Integrator, AppliedForceActsOnEveryParticle) {
    CInterconnectedParticleCollection c;
    c.create_particles(2);
    c.applied_force() = vector3(0.0f, -10.0f, 0.0f);
    c.update_frame(0.1);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FLOAT_EQ(c.particle(i)->velocity.y, -1.0f);
        EXPECT_NEAR(c.particle(i)->position.y, -1.0f / 15.0f, 1e-6f);
    }
}

TEST(Integrator, DampingShortensTheMoveButKeepsTheVelocity) {
    CInterconnectedParticleCollection c;
    c.create_particles(1);
    c.set_particle_damping(0.1f);
    c.particle(0)->velocity = vector3(1.0f, 0.0f, 0.0f);
    c.update_frame(0.1);
    EXPECT_EQ(c.particle(0)->velocity.x, 1.0f);
    EXPECT_NEAR(c.particle(0)->position.x, 0.07845f, 1e-6f);
}

TEST(Integrator, FullDampingZeroesEveryStageVelocity) {
    CInterconnectedParticleCollection c;
    c.create_particles(1);
    c.set_particle_damping(1.0f);
    c.particle(0)->velocity = vector3(1.0f, 0.0f, 0.0f);
    c.update_frame(0.1);
    EXPECT_EQ(c.particle(0)->position.x, 0.0f);
    EXPECT_EQ(c.particle(0)->velocity.x, 1.0f);
}

TEST(Integrator, FreeParticlesKeepMovingAndRestingOnesStay) {
    CInterconnectedParticleCollection c;
    c.create_particles(2);
    c.particle(1)->velocity = vector3(1.0f, 0.0f, 0.0f);
    c.update_frame(0.25);
    EXPECT_EQ(c.particle(0)->position.x, 0.0f);
    EXPECT_EQ(c.particle(0)->velocity.x, 0.0f);
    EXPECT_FLOAT_EQ(c.particle(1)->position.x, 0.25f);
}

TEST(Integrator, OutlyingVelocityIsPulledBackToTheLimitAroundTheMean) {
    // 100 particles, one at 10000: each half step's combined derivative
    // holds six velocities, 60000 for the fast one, a mean of 600. Only the
    // fast one lies more than 1000 from it and is clamped to 1600.
    CInterconnectedParticleCollection c;
    c.create_particles(100);
    c.particle(37)->velocity = vector3(10000.0f, 0.0f, 0.0f);
    c.update_frame(0.1);
    const float w = static_cast<float>(0.05 / 6.0);
    EXPECT_NEAR(c.particle(37)->position.x, 2.0f * w * 1600.0f, 1e-3f);
    EXPECT_EQ(c.particle(0)->position.x, 0.0f);
    EXPECT_EQ(c.particle(37)->velocity.x, 10000.0f);
}

TEST(Integrator, AccelerationClampCentresOnSumOverCountMinusHalf) {
    // Two particles, a force of 1e5 on one: its combined acceleration is
    // 6e5, the other's 0. The centre is 6e5 / 1.5 = 4e5 (a mean would give
    // 3e5); both lie farther than 1e5 from it and are clamped to 5e5 and 3e5.
    CInterconnectedParticleCollection c;
    c.create_particles(2);
    const float w = static_cast<float>(0.05 / 6.0);
    c.particle_apply_force(0, vector3(1e5f, 0.0f, 0.0f));
    c.update_frame(0.1);
    EXPECT_NEAR(c.particle(0)->velocity.x, 2.0f * w * 5e5f, 0.05f);
    EXPECT_NEAR(c.particle(1)->velocity.x, 2.0f * w * 3e5f, 0.05f);
}

TEST(Integrator, SpringsPullStretchedParticlesTogether) {
    CInterconnectedParticleCollection c;
    c.create_particles(2);
    c.particle(1)->position = vector3(2.0f, 0.0f, 0.0f);
    ASSERT_EQ(c.create_springs(1), 0);
    c.set_spring(0, 0, 1, 1.0f, 1.0f, 0.0f);
    c.update_frame(0.01);
    EXPECT_GT(c.particle(0)->velocity.x, 0.0f);
    EXPECT_FLOAT_EQ(c.particle(1)->velocity.x, -c.particle(0)->velocity.x);
}

TEST(Integrator, AppendedSpringsTakePartUntilRemoved) {
    CInterconnectedParticleCollection c;
    c.create_particles(2);
    c.particle(1)->position = vector3(2.0f, 0.0f, 0.0f);
    auto it = c.append_spring(0, c.particle(1), 1.0f, 1.0f, 0.0f);
    EXPECT_EQ(c.num_appended_springs(), 1u);
    EXPECT_EQ(it->get_particle1(), c.particle(0));
    c.update_frame(0.01);
    EXPECT_GT(c.particle(0)->velocity.x, 0.0f);
    c.remove_appended_spring(it);
    EXPECT_EQ(c.num_appended_springs(), 0u);
    const float v = c.particle(0)->velocity.x;
    c.update_frame(0.01);
    EXPECT_EQ(c.particle(0)->velocity.x, v);
    c.append_spring(0, c.particle(1), 1.0f, 1.0f, 0.0f);
    c.remove_appended_springs();
    EXPECT_EQ(c.num_appended_springs(), 0u);
}

TEST(Integrator, StuckParticleHoldsAgainstSpringsUntilReleased) {
    CInterconnectedParticleCollection c;
    c.create_particles(2);
    c.particle(1)->position = vector3(1.2f, 0.0f, 0.0f);
    c.create_springs(1);
    c.set_spring(0, 0, 1, 1.0f, 1.0f, 0.0f);
    c.enable_sticky_particles(true);
    c.set_sticky_force(100.0f);
    c.particle_set_sticky(0, true);
    for (int i = 0; i < 5; ++i) c.update_frame(0.01);
    EXPECT_EQ(c.particle(0)->position.x, 0.0f);
    EXPECT_TRUE(c.particle_is_sticky(0));
    c.particle_apply_force(0, vector3(0.0f, 500.0f, 0.0f));
    c.update_frame(0.01);
    EXPECT_FALSE(c.particle_is_sticky(0));
    EXPECT_GT(c.particle(0)->position.y, 0.0f);
}

// Opens the force pass.
class ForcePass : public CInterconnectedParticleCollection {
public:
    using CInterconnectedParticleCollection::calculate_forces;
};

// The collection works out several springs' forces at once; the result must
// be the spring law applied spring by spring, bit for bit, also where
// springs share particles, add nothing or have no ends.
TEST(Integrator, SpringForcesAreTheSpringLawBitForBit) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-2.0f, 2.0f);
    ForcePass c;
    const int n = 9;
    c.create_particles(n);
    c.applied_force() = vector3(0.5f, -10.0f, 0.0f);
    // The particles as the law sees them, with the force the pass starts from.
    std::vector<vo::CParticle> expected(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        vo::CParticle& p = *c.particle(i);
        p.position = vector3(u(rng), u(rng), i % 3 == 0 ? u(rng) : 0.0f);
        p.velocity = vector3(u(rng), u(rng), u(rng));
        p.mass_inv = i < 2 ? 0.0f : std::fabs(u(rng));  // two immovable
        const vector3 own(u(rng), u(rng), -0.0f);
        c.particle_apply_force(i, own);
        if (i == 8) p.position = c.particle(7)->position;  // a pair at one place
        vo::CParticle& e = expected[static_cast<std::size_t>(i)];
        e = p;
        e.force = vector3(0.5f + own.x, -10.0f + own.y, 0.0f + own.z);
    }
    const int springs = 23;  // not a multiple of four
    c.create_springs(springs);
    std::uniform_int_distribution<int> pick(0, n - 1);
    for (int k = 0; k < springs; ++k) {
        if (k == 5) continue;  // no ends
        // 9: the pair at one place; 17: both immovable.
        const int a = k == 9 ? 7 : k == 17 ? 0 : pick(rng);
        const int b = k == 9 ? 8 : k == 17 ? 1 : (a + 1 + pick(rng) % (n - 1)) % n;
        const float rest = k == 13 ? 0.0f : std::fabs(u(rng)) + 0.1f;
        const float stiffness = 100.0f * std::fabs(u(rng));
        const float damping = k % 4 == 0 ? 0.0f : std::fabs(u(rng));
        c.set_spring(k, a, b, rest, stiffness, damping);
        vo::CSpring(rest, stiffness, damping, &expected[static_cast<std::size_t>(a)],
                    &expected[static_cast<std::size_t>(b)])
            .calculate_forces();
    }

    c.calculate_forces();
    for (int i = 0; i < n; ++i) {
        const vector3& got = c.particle(i)->force;
        const vector3& want = expected[static_cast<std::size_t>(i)].force;
        EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0)
            << i << ": " << got.x << " " << got.y << " " << got.z << " vs " << want.x << " " << want.y << " " << want.z;
    }
}

TEST(Collection, CreateSpringsAndReorder) {
    CInterconnectedParticleCollection c;
    EXPECT_EQ(c.create_springs(0), -1);
    ASSERT_EQ(c.create_springs(2), 0);
    EXPECT_EQ(c.spring_particle_index_tupel(0)->first, -1);
    EXPECT_EQ(c.spring_particle_index_tupel(1)->second, -1);
    EXPECT_EQ(c.spring(1)->get_particle1(), nullptr);

    c.create_particles(3);
    vo::CParticle* old[3] = {c.particle(0), c.particle(1), c.particle(2)};
    c.set_spring(0, 0, 1, 1.0f, 2.0f, 3.0f);
    c.set_spring(1, 1, 2, 1.0f, 2.0f, 3.0f);
    c.reorder_particles({2, 0, 1});
    EXPECT_EQ(c.particle(2), old[0]);
    EXPECT_EQ(c.particle(0), old[1]);
    EXPECT_EQ(c.particle(1), old[2]);
    EXPECT_EQ(c.spring_particle_index_tupel(0)->first, 2);
    EXPECT_EQ(c.spring_particle_index_tupel(0)->second, 0);
    EXPECT_EQ(c.spring_particle_index_tupel(1)->first, 0);
    EXPECT_EQ(c.spring_particle_index_tupel(1)->second, 1);
    // Springs keep their particles.
    EXPECT_EQ(c.spring(0)->get_particle1(), old[0]);

    // A partial order leaves the other particles and tuple entries alone.
    c.reorder_particles({1, 0});
    EXPECT_EQ(c.particle(0), old[2]);
    EXPECT_EQ(c.particle(1), old[1]);
    EXPECT_EQ(c.particle(2), old[0]);
    EXPECT_EQ(c.spring_particle_index_tupel(0)->first, 2);
    EXPECT_EQ(c.spring_particle_index_tupel(0)->second, 1);
}

TEST(Collection, ClearKeepsSettingsAndTuples) {
    CInterconnectedParticleCollection c;
    c.create_particles(2);
    c.create_springs(1);
    c.set_spring(0, 0, 1, 1.0f, 1.0f, 0.0f);
    c.set_particle_damping(0.3f);
    c.set_sticky_force(4.0f);
    c.enable_sticky_particles(true);
    c.applied_force() = vector3(1.0f, 2.0f, 3.0f);
    c.update_frame(0.1);
    c.clear();
    EXPECT_EQ(c.num_particles(), 0);
    EXPECT_EQ(c.num_springs(), 0);
    EXPECT_EQ(c.applied_force().y, 0.0f);
    EXPECT_EQ(c.get_particle_damping(), 0.3f);
    EXPECT_EQ(c.get_sticky_force(), 4.0f);
    EXPECT_TRUE(c.sticky_particles_enabled());
    EXPECT_EQ(c.spring_particle_index_tupel(0)->second, 1);
    c.update_frame(0.1);  // an empty collection steps without trouble
}

TEST(Collection, CopyTakesParticlesAndSpringsOnly) {
    CInterconnectedParticleCollection a;
    a.create_particles(2);
    a.particle(0)->position = vector3(1.0f, 2.0f, 3.0f);
    a.particle(0)->velocity = vector3(4.0f, 0.0f, 0.0f);
    a.particle(1)->position = vector3(2.0f, 2.0f, 3.0f);
    a.create_springs(1);
    a.set_spring(0, 1, 0, 1.0f, 7.0f, 0.5f);
    a.set_particle_damping(0.4f);
    a.append_spring(0, a.particle(1), 1.0f, 1.0f, 1.0f);

    CInterconnectedParticleCollection b(a);
    ASSERT_EQ(b.num_particles(), 2);
    EXPECT_NE(b.particle(0), a.particle(0));
    EXPECT_EQ(b.particle(0)->position.z, 3.0f);
    EXPECT_EQ(b.particle(0)->velocity.x, 4.0f);
    ASSERT_EQ(b.num_springs(), 1);
    EXPECT_EQ(b.spring(0)->get_particle1(), b.particle(1));
    EXPECT_EQ(b.spring(0)->get_particle2(), b.particle(0));
    EXPECT_EQ(b.spring(0)->get_spring_constant(), 7.0f);
    EXPECT_EQ(b.spring(0)->get_damping_constant(), 0.5f);
    EXPECT_EQ(b.num_appended_springs(), 0u);
    EXPECT_EQ(b.get_particle_damping(), 0.0f);
}

TEST(Collection, SelfAssignmentKeepsEverything) {
    CInterconnectedParticleCollection a;
    a.create_particles(3);
    a.create_springs(2);
    a.set_spring(0, 0, 1, 1.0f, 1.0f, 0.0f);
    a.set_spring(1, 1, 2, 1.0f, 1.0f, 0.0f);
    a.particle(2)->position = vector3(5.0f, 0.0f, 0.0f);
    CInterconnectedParticleCollection& alias = a;
    a = alias;
    EXPECT_EQ(a.num_particles(), 3);
    EXPECT_EQ(a.num_springs(), 2);
    EXPECT_EQ(a.particle(2)->position.x, 5.0f);
    EXPECT_EQ(a.spring(1)->get_particle2(), a.particle(2));
}

TEST(Collection, CopyOfAStuckParticleIsFree) {
    CInterconnectedParticleCollection a;
    a.create_particles(1);
    a.particle(0)->mass_inv = 0.5f;
    a.enable_sticky_particles(true);
    a.particle_set_sticky(0, true);
    ASSERT_EQ(a.particle(0)->mass_inv, 0.0f);

    CInterconnectedParticleCollection b;
    b = a;
    EXPECT_EQ(b.particle(0)->mass_inv, 0.5f);
    EXPECT_FALSE(b.particle_is_sticky(0));
    b.particle_apply_force(0, vector3(0.0f, -10.0f, 0.0f));
    b.update_frame(0.1);
    EXPECT_LT(b.particle(0)->position.y, 0.0f);
}

}  // namespace

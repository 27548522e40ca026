#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/core/random.h"
#include "engine/physics/particle_handler.h"
#include "engine/physics/particle_source.h"

namespace {

using vo::ParticleHandler;
using vo::ParticleSource;
using vo::SimpleParticleSource;
using vo::vector3;

// Exposes the window test and records the hooks' calls.
class RecordingHandler : public ParticleHandler {
public:
    using ParticleHandler::is_active;

    std::vector<std::vector<unsigned int>> generated;
    std::vector<vector3> positions_seen;  // positions of the generated slots at the call
    std::vector<std::vector<unsigned int>> freed;

protected:
    void particles_generated(const std::vector<unsigned int>& slots) override {
        generated.push_back(slots);
        for (unsigned int s : slots) positions_seen.push_back(position(s));
    }
    void particles_to_be_freed(const std::vector<unsigned int>& slots) override { freed.push_back(slots); }
};

ParticleHandler::ParticleDesc Lives(double min_life, double max_life) {
    ParticleHandler::ParticleDesc d;
    d.minLiveTime = min_life;
    d.maxLiveTime = max_life;
    d.massInv = 1.0;
    return d;
}

ParticleSource::ParticleDesc At(float x, float y = 0.0f, float offset = 0.0f) {
    ParticleSource::ParticleDesc d;
    d.position = vector3(x, y, 0.0f);
    d.time_offset = offset;
    return d;
}

void Create(ParticleHandler& h, std::vector<ParticleSource::ParticleDesc> descs) {
    h.create_particles(static_cast<unsigned int>(descs.size()), descs.data());
}

// The end of a life drawn from r, as the handler computes it.
double EndFrom(double start, double min_life, double max_life, int r) {
    if (r == 32767) r = 32766;
    return start + (min_life + (max_life - min_life) * (r / 32767.0));
}

// True when slot i's window ends exactly at end.
bool EndsAt(const RecordingHandler& h, unsigned int i, double end) {
    return h.is_active(i, std::nextafter(end, 0.0)) && !h.is_active(i, end);
}

TEST(ParticleHandler, LifetimesComeFromTheSharedGenerator) {
    RecordingHandler h;
    h.set_particle_desc(Lives(4.0, 6.0));
    vo::SeedRand(77);
    const int r0 = vo::Rand();
    const int r1 = vo::Rand();
    vo::SeedRand(77);
    Create(h, {At(0), At(1)});
    EXPECT_TRUE(EndsAt(h, 0, EndFrom(0.0, 4.0, 6.0, r0)));
    EXPECT_TRUE(EndsAt(h, 1, EndFrom(0.0, 4.0, 6.0, r1)));

    // Many draws: every life lies in [4, 6).
    RecordingHandler many;
    many.set_particle_desc(Lives(4.0, 6.0));
    std::vector<ParticleSource::ParticleDesc> descs(500, At(0));
    Create(many, descs);
    for (unsigned int i = 0; i < 500; ++i) {
        EXPECT_TRUE(many.is_active(i, 3.999));
        EXPECT_FALSE(many.is_active(i, 6.0));
    }
}

TEST(ParticleHandler, TheLargestDrawIsReadAsOneLess) {
    unsigned int seed = 0;
    for (;; ++seed) {
        vo::SeedRand(seed);
        if (vo::Rand() == vo::kRandMax) break;
    }
    RecordingHandler h;
    h.set_particle_desc(Lives(4.0, 6.0));
    vo::SeedRand(seed);
    Create(h, {At(0)});
    EXPECT_TRUE(EndsAt(h, 0, 4.0 + 2.0 * (32766 / 32767.0)));
}

TEST(ParticleHandler, ParticlesWithoutLifetimeNeverDie) {
    RecordingHandler h;
    h.set_particle_desc(Lives(0.0, 0.0));
    Create(h, {At(0), At(1)});
    for (int step = 0; step < 100; ++step) h.update(1.0);
    EXPECT_EQ(h.num_active_particles(), 2u);
    EXPECT_TRUE(h.is_active(0) && h.is_active(1));

    // Also when the slot is a reused one.
    RecordingHandler reuse;
    reuse.set_particle_desc(Lives(1.0, 1.0));
    Create(reuse, {At(0)});
    reuse.update(2.0);
    EXPECT_EQ(reuse.num_active_particles(), 0u);
    reuse.set_particle_desc(Lives(0.0, 0.0));
    Create(reuse, {At(0)});
    EXPECT_EQ(reuse.generated.back(), std::vector<unsigned int>{0});
    for (int step = 0; step < 50; ++step) reuse.update(1.0);
    EXPECT_TRUE(reuse.is_active(0));
}

TEST(ParticleHandler, FreedSlotsAreReusedLastFreedFirst) {
    RecordingHandler h;
    // Slot lives: 3 ends first, then 7, all others never.
    h.set_particle_desc(Lives(0.0, 0.0));
    Create(h, {At(0), At(1), At(2)});
    h.set_particle_desc(Lives(1.0, 1.0));
    Create(h, {At(3)});
    h.set_particle_desc(Lives(0.0, 0.0));
    Create(h, {At(4), At(5), At(6)});
    h.set_particle_desc(Lives(2.0, 2.0));
    Create(h, {At(7)});
    h.set_particle_desc(Lives(0.0, 0.0));
    Create(h, {At(8), At(9)});

    h.update(1.5);  // frees 3
    h.update(1.0);  // frees 7
    EXPECT_EQ(h.freed, (std::vector<std::vector<unsigned int>>{{3}, {7}}));
    EXPECT_EQ(h.num_active_particles(), 8u);
    EXPECT_FALSE(h.is_active(3));
    EXPECT_FALSE(h.is_active(7));

    // Five particles: 7 and 3 first (most recently freed first), then three
    // new slots; the hook sees all five in that order with positions set.
    h.generated.clear();
    h.positions_seen.clear();
    Create(h, {At(100), At(101), At(102), At(103), At(104)});
    ASSERT_EQ(h.generated.size(), 1u);
    EXPECT_EQ(h.generated[0], (std::vector<unsigned int>{7, 3, 10, 11, 12}));
    ASSERT_EQ(h.positions_seen.size(), 5u);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(h.positions_seen[static_cast<std::size_t>(k)].x, 100.0f + k);
    EXPECT_EQ(h.num_particles(), 13u);
    EXPECT_EQ(h.num_active_particles(), 13u);
    EXPECT_TRUE(h.is_active(7));
}

TEST(ParticleHandler, AReusedSlotKeepsItsTextureCoordinate) {
    RecordingHandler h;
    h.set_particle_desc(Lives(1.0, 1.0));
    Create(h, {At(0)});
    EXPECT_EQ(h.texture_coordinate(0).x, 0.0f);
    h.set_texture_coordinate(0, vo::vector2(0.25f, 0.5f));
    h.update(1.0);
    Create(h, {At(5)});
    EXPECT_EQ(h.texture_coordinate(0).x, 0.25f);
    EXPECT_EQ(h.texture_coordinate(0).y, 0.5f);
}

TEST(ParticleHandler, CreatingNothingStillReportsAnEmptyList) {
    RecordingHandler h;
    h.create_particles(0, nullptr);
    ASSERT_EQ(h.generated.size(), 1u);
    EXPECT_TRUE(h.generated[0].empty());
}

TEST(ParticleHandler, DelayedStartIsInactiveUntilItsStart) {
    RecordingHandler h;
    h.set_particle_desc(Lives(2.0, 2.0));
    Create(h, {At(0, 0, 1.0f)});
    EXPECT_FALSE(h.is_active(0));
    EXPECT_EQ(h.num_active_particles(), 1u);  // counted: its slot is not free
    h.update(0.5);
    EXPECT_FALSE(h.is_active(0));
    h.update(0.5);
    EXPECT_TRUE(h.is_active(0));
    h.update(1.99);
    EXPECT_TRUE(h.is_active(0));
    h.update(0.01);
    EXPECT_FALSE(h.is_active(0));
    EXPECT_EQ(h.num_active_particles(), 0u);
}

TEST(ParticleHandler, ALifeBetweenTwoUpdatesIsStillFreed) {
    // Starts at 0.5 and ends at 0.6: never active at an update's time.
    RecordingHandler h;
    h.set_particle_desc(Lives(0.1, 0.1));
    Create(h, {At(0, 0, 0.5f)});
    h.update(1.0);
    EXPECT_EQ(h.num_active_particles(), 0u);
    h.update(1.0);
    EXPECT_EQ(h.freed.size(), 1u);  // freed once
    Create(h, {At(1)});
    EXPECT_EQ(h.num_particles(), 1u);
}

// Ended by hand: inactive at once, freed at the next update (also one of no
// length, and on a clock that has not run yet), then reused like any slot.
TEST(ParticleHandler, AnExpiredParticleIsInactiveAtOnceAndFreedAtTheNextUpdate) {
    for (double first_step : {0.0, 0.25}) {
        RecordingHandler h;
        h.set_particle_desc(Lives(0.0, 0.0));  // never ending on their own
        Create(h, {At(0), At(1), At(2, 0, 5.0f)});
        h.update(first_step);
        h.expire_particle(0);
        h.expire_particle(2);  // not started yet
        h.expire_particle(7);  // no such slot
        EXPECT_FALSE(h.is_active(0));
        EXPECT_TRUE(h.is_active(1));
        EXPECT_FALSE(h.is_active(2));
        h.update(0.0);
        ASSERT_EQ(h.freed.size(), 1u) << first_step;
        EXPECT_EQ(h.freed[0], (std::vector<unsigned int>{0, 2}));
        EXPECT_EQ(h.num_active_particles(), 1u);
        h.expire_particle(0);  // already free
        h.update(1.0);
        EXPECT_EQ(h.freed.size(), 1u);
        Create(h, {At(3)});
        EXPECT_EQ(h.num_particles(), 3u);
        EXPECT_TRUE(h.is_active(2));
    }
}

TEST(ParticleHandler, BoundingBoxOfActiveParticlesOnly) {
    RecordingHandler h;
    h.set_particle_desc(Lives(2.0, 2.0));
    // Only particles whose life has not started: the zero box.
    Create(h, {At(5, 5, 1.0f), At(7, 9, 1.0f)});
    vo::AABox box = h.calculate_bounding_box();
    EXPECT_EQ(box.min.x, 0.0f);
    EXPECT_EQ(box.max.y, 0.0f);

    Create(h, {At(-1, 2), At(3, -4)});
    box = h.calculate_bounding_box();
    EXPECT_EQ(box.min.x, -1.0f);
    EXPECT_EQ(box.min.y, -4.0f);
    EXPECT_EQ(box.max.x, 3.0f);
    EXPECT_EQ(box.max.y, 2.0f);

    ParticleHandler empty;
    box = empty.calculate_bounding_box();
    EXPECT_EQ(box.min.x, 0.0f);
    EXPECT_EQ(box.max.x, 0.0f);
}

TEST(ParticleHandler, UpdateIsOneExplicitEulerStepUnderTheForces) {
    ParticleHandler h;
    h.set_particle_desc(Lives(0.0, 0.0));
    Create(h, {At(0, 1), At(2, 3)});
    h.set_velocity(1, vector3(1.0f, 0.0f, 0.0f));
    h.apply_force(vector3(0.0f, -10.0f, 0.0f));
    h.add_force(1, vector3(0.0f, 0.0f, 5.0f));
    h.update(0.1);
    // The position moves with the velocity the step started with.
    EXPECT_EQ(h.position(0).y, 1.0f);
    EXPECT_FLOAT_EQ(h.velocity(0).y, -1.0f);
    EXPECT_FLOAT_EQ(h.position(1).x, 2.1f);
    EXPECT_FLOAT_EQ(h.velocity(1).z, 0.5f);
    EXPECT_EQ(h.last_position(1).x, 2.0f);
    // Forces last one update.
    h.update(0.1);
    EXPECT_FLOAT_EQ(h.velocity(0).y, -1.0f);
    EXPECT_FLOAT_EQ(h.velocity(1).z, 0.5f);
    EXPECT_FLOAT_EQ(h.position(0).y, 0.9f);
    EXPECT_DOUBLE_EQ(h.time(), 0.2);
}

TEST(ParticleHandler, AStepBackwardsOrOfNoLengthDoesNothing) {
    RecordingHandler h;
    h.set_particle_desc(Lives(1.0, 1.0));
    Create(h, {At(0)});
    h.update(1.0);
    ASSERT_EQ(h.freed.size(), 1u);
    for (double dt : {-1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        h.update(dt);
        EXPECT_DOUBLE_EQ(h.time(), 1.0);
    }
    h.update(1.0);
    EXPECT_EQ(h.freed.size(), 1u);  // never pushed twice
    EXPECT_EQ(h.num_active_particles(), 0u);
}

TEST(ParticleHandler, ANegativeLifeDoesNotLeakItsSlot) {
    RecordingHandler h;
    h.set_particle_desc(Lives(-2.0, -1.0));
    Create(h, {At(0)});
    EXPECT_TRUE(h.is_active(0));  // no life span: the particle never ends
    ParticleHandler::ParticleDesc d = Lives(std::numeric_limits<double>::quiet_NaN(), 1.0);
    h.set_particle_desc(d);
    Create(h, {At(1)});
    EXPECT_TRUE(h.is_active(1));
}

// --- sources -------------------------------------------------------------

class Source : public SimpleParticleSource {
public:
    using SimpleParticleSource::SimpleParticleSource;
    std::vector<ParticleDesc> step(double dt) {
        update(dt);
        return new_particles();
    }
};

TEST(SimpleParticleSource, EmitsOnePerElapsedInterval) {
    struct Case {
        double interval;
        std::vector<double> steps;
        std::vector<std::size_t> emitted;
    };
    const Case cases[] = {
        {0.1, {0.25}, {2}},              // timer -0.15, -0.05, then 0.05
        {0.25, {0.5, 0.5}, {1, 2}},     // a timer of exactly 0 waits
        {0.5, {0.2, 0.2, 0.2}, {0, 0, 1}},
        {1.0, {0.5, 0.4, 0.2}, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        Source s(c.interval);
        s.add_emitter(vector3(1, 2, 0), vector3(0, 1, 0));
        for (std::size_t k = 0; k < c.steps.size(); ++k) {
            EXPECT_EQ(s.step(c.steps[k]).size(), c.emitted[k]) << c.interval << " step " << k;
        }
    }
}

TEST(SimpleParticleSource, DefaultIntervalIsAQuarterSecond) {
    Source s;
    EXPECT_EQ(s.interval(), 0.25);
    s.add_emitter(vector3(), vector3());
    EXPECT_EQ(s.step(0.24).size(), 0u);
    EXPECT_EQ(s.step(0.02).size(), 1u);
}

TEST(SimpleParticleSource, TakesTheEmittersInTurn) {
    Source s(0.1);
    s.add_emitter(vector3(1, 0, 0), vector3(0, 1, 0));
    s.add_emitter(vector3(2, 0, 0), vector3(0, 2, 0));
    s.add_emitter(vector3(3, 0, 0), vector3(0, 3, 0));
    std::vector<float> xs;
    for (int k = 0; k < 3; ++k) {
        for (const auto& d : s.step(0.25)) {
            xs.push_back(d.position.x);
            EXPECT_EQ(d.velocity.y, d.position.x);
            EXPECT_EQ(d.time_offset, 0.0f);
        }
    }
    EXPECT_EQ(xs, (std::vector<float>{1, 2, 3, 1, 2, 3, 1}));
}

TEST(SimpleParticleSource, ANonPositiveIntervalEmitsAboutAHundred) {
    Source s(0.0);
    s.add_emitter(vector3(), vector3());
    const std::size_t n = s.step(0.5).size();
    EXPECT_GE(n, 99u);
    EXPECT_LE(n, 101u);
}

TEST(SimpleParticleSource, StopsOnItsDeactivationTimer) {
    Source s(0.1);
    s.add_emitter(vector3(), vector3());
    s.set_deactivation_timer(1.0f);
    EXPECT_EQ(s.step(0.4).size(), 4u);
    EXPECT_EQ(s.step(0.4).size(), 4u);
    EXPECT_TRUE(s.is_active());
    EXPECT_EQ(s.step(0.4).size(), 0u);  // the timer runs out before emitting
    EXPECT_FALSE(s.is_active());
    EXPECT_EQ(s.step(0.4).size(), 0u);
    s.activate(true);
    EXPECT_EQ(s.step(0.4).size(), 4u);  // the timer has run out for good
}

TEST(SimpleParticleSource, WithoutEmittersTheTimerDoesNotRun) {
    Source s(0.1);
    EXPECT_EQ(s.step(1.0).size(), 0u);
    s.add_emitter(vector3(), vector3());
    EXPECT_EQ(s.step(0.05).size(), 0u);  // still the full first interval
    EXPECT_EQ(s.step(0.06).size(), 1u);
}

TEST(SimpleParticleSource, NeverLoopsForeverNorBurstsWithoutBound) {
    // A negative interval with a step of 0: the timer could never rise.
    Source stuck(-1.0);
    stuck.add_emitter(vector3(), vector3());
    EXPECT_EQ(stuck.step(0.0).size(), 0u);
    // A tiny interval: at most the cap per step, and the backlog is dropped.
    Source burst(1e-9);
    burst.add_emitter(vector3(), vector3());
    EXPECT_EQ(burst.step(1.0).size(), SimpleParticleSource::kMaxEmissionsPerStep);
    EXPECT_EQ(burst.step(1e-9 * 10.5).size(), 10u);
    // No emission from a step that is not finite.
    Source s(0.1);
    s.add_emitter(vector3(), vector3());
    EXPECT_EQ(s.step(std::numeric_limits<double>::infinity()).size(), 0u);
    EXPECT_EQ(s.step(0.15).size(), 1u);
}

TEST(ParticleHandler, RunsItsSourcesInOrder) {
    RecordingHandler h;
    h.set_particle_desc(Lives(0.0, 0.0));
    vo::SmartPtr<SimpleParticleSource> a(new SimpleParticleSource(0.1));
    a->add_emitter(vector3(1, 0, 0), vector3());
    vo::SmartPtr<SimpleParticleSource> b(new SimpleParticleSource(0.2));
    b->add_emitter(vector3(2, 0, 0), vector3());
    h.add_source(a);
    h.add_source(b);
    h.update(0.25);
    // a emits twice, b once: two create_particles calls in source order.
    ASSERT_EQ(h.generated.size(), 2u);
    EXPECT_EQ(h.generated[0], (std::vector<unsigned int>{0, 1}));
    EXPECT_EQ(h.generated[1], (std::vector<unsigned int>{2}));
    EXPECT_EQ(h.last_position(2).x, 2.0f);
}

}  // namespace

#pragma once

#include <vector>

#include "engine/core/vector.h"

namespace vo {

// Something that hands a particle handler new particles each step.
class ParticleSource {
public:
    // One particle to create: where, how fast, and how long after the
    // handler's current time its life starts.
    struct ParticleDesc {
        vector3 position;
        vector3 velocity;
        float time_offset = 0.0f;
    };

    ParticleSource() = default;
    ParticleSource(const ParticleSource&) = default;
    ParticleSource& operator=(const ParticleSource&) = default;
    virtual ~ParticleSource();

    // Empties the new-particles list, then fills it for a step of dt.
    void update(double dt);
    const std::vector<ParticleDesc>& new_particles() const { return new_particles_; }

protected:
    // Appends the particles to emit during a step of dt.
    virtual void generate_particles(double dt, std::vector<ParticleDesc>& out) = 0;

private:
    std::vector<ParticleDesc> new_particles_;
};

// Emits one particle per interval from a list of emitters, taking the
// emitters in turn, until its deactivation timer runs out.
class SimpleParticleSource : public ParticleSource {
public:
    // The most particles one step emits. A backlog beyond it (a tiny interval
    // or a huge step) is dropped with a warning on standard output.
    static constexpr unsigned int kMaxEmissionsPerStep = 1000;

    // Interval 0.25 s.
    SimpleParticleSource();
    // The first particle comes after one interval.
    explicit SimpleParticleSource(double interval);
    ~SimpleParticleSource() override;

    void add_emitter(const vector3& position, const vector3& velocity);
    unsigned int num_emitters() const { return static_cast<unsigned int>(emitter_positions_.size()); }

    double interval() const { return interval_; }
    // The time left to the next emission stays as it is. An interval <= 0
    // emits about a hundred particles per step.
    void set_interval(double interval) { interval_ = interval; }
    // The source switches itself off after the given time; negative: never.
    void set_deactivation_timer(float seconds) { deactivation_timer_ = seconds; }
    void activate(bool on) { active_ = on; }
    bool is_active() const { return active_; }

protected:
    void generate_particles(double dt, std::vector<ParticleDesc>& out) override;

private:
    std::vector<vector3> emitter_positions_;
    std::vector<vector3> emitter_velocities_;
    double interval_;
    double timer_;
    double deactivation_timer_ = -1.0;
    unsigned int next_emitter_ = 0;
    bool active_ = true;
};

}  // namespace vo

#include "engine/physics/particle_source.h"

#include <cmath>
#include <iostream>

namespace vo {

ParticleSource::~ParticleSource() = default;

void ParticleSource::update(double dt) {
    new_particles_.clear();
    generate_particles(dt, new_particles_);
}

SimpleParticleSource::SimpleParticleSource() : SimpleParticleSource(0.25) {}

SimpleParticleSource::SimpleParticleSource(double interval) : interval_(interval), timer_(interval) {}

SimpleParticleSource::~SimpleParticleSource() = default;

void SimpleParticleSource::add_emitter(const vector3& position, const vector3& velocity) {
    emitter_positions_.push_back(position);
    emitter_velocities_.push_back(velocity);
}

void SimpleParticleSource::generate_particles(double dt, std::vector<ParticleDesc>& out) {
    // A step of no finite length would leave the timers undefined.
    if (!active_ || !std::isfinite(dt)) return;
    if (deactivation_timer_ >= 0.0) {
        deactivation_timer_ -= dt;
        if (deactivation_timer_ < 0.0) active_ = false;
    }
    if (!active_ || emitter_positions_.empty()) return;

    timer_ -= dt;
    const double step = interval_ > 0.0 ? interval_ : dt / 100.0;
    // A step that is not positive would never bring the timer back up.
    if (!(step > 0.0) || !std::isfinite(step)) return;

    unsigned int emitted = 0;
    while (timer_ < 0.0) {
        if (emitted == kMaxEmissionsPerStep) {
            // Drop the backlog but keep the phase of the emission clock.
            timer_ = std::fmod(timer_, step);
            if (timer_ < 0.0) timer_ += step;
            std::cout << "WARNING: SimpleParticleSource emitted " << kMaxEmissionsPerStep
                      << " particles in one step; the rest of the backlog is dropped\n";
            break;
        }
        timer_ += step;
        ParticleDesc desc;
        desc.position = emitter_positions_[next_emitter_];
        desc.velocity = emitter_velocities_[next_emitter_];
        desc.time_offset = 0.0f;
        out.push_back(desc);
        ++emitted;
        if (++next_emitter_ >= emitter_positions_.size()) next_emitter_ = 0;
    }
}

}  // namespace vo

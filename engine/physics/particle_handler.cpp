#include "engine/physics/particle_handler.h"

#include <cmath>

#include "engine/core/random.h"

namespace vo {

ParticleHandler::ParticleHandler() : force_(0.0f, 0.0f, 0.0f) {}

ParticleHandler::~ParticleHandler() = default;

bool ParticleHandler::is_active(unsigned int i, double t) const {
    const LifeWindow& w = windows_[i];
    if (w.end == 0.0) return true;
    return w.start <= t && t < w.end;
}

void ParticleHandler::particles_to_be_freed(const std::vector<unsigned int>&) {}

void ParticleHandler::particles_generated(const std::vector<unsigned int>&) {}

void ParticleHandler::add_source(SmartPtr<ParticleSource> source) { sources_.push_back(std::move(source)); }

void ParticleHandler::update(double dt) {
    // Going back in time could free a slot twice.
    if (!(dt >= 0.0) || !std::isfinite(dt)) return;

    const double now = time_ + dt;
    // A slot is freed once, when its end has passed, even if its whole life
    // fell between two updates.
    freed_.clear();
    const unsigned int slots = num_particles();
    for (unsigned int i = 0; i < slots; ++i) {
        const LifeWindow& w = windows_[i];
        if (slot_is_free_[i] || w.end == 0.0 || !(now >= w.end)) continue;
        slot_is_free_[i] = 1;
        free_slots_.push_back(i);
        freed_.push_back(i);
    }
    if (!freed_.empty()) particles_to_be_freed(freed_);
    time_ = now;

    for (SmartPtr<ParticleSource>& source : sources_) {
        source->update(dt);
        const std::vector<ParticleSource::ParticleDesc>& created = source->new_particles();
        if (!created.empty()) create_particles(static_cast<unsigned int>(created.size()), created.data());
    }

    const unsigned int count = num_particles();
    if (last_positions_.size() < count) last_positions_.resize(count);
    for (unsigned int i = 0; i < count; ++i) {
        CParticle& p = *particles_.particle(static_cast<int>(i));
        p.force += force_;
        last_positions_[i] = p.position;
    }

    IPhysObject& stepper = particles_;
    stepper.update_frame(dt);

    force_ = vector3(0.0f, 0.0f, 0.0f);
    for (unsigned int i = 0; i < count; ++i) particles_.particle(static_cast<int>(i))->force = vector3(0.0f, 0.0f, 0.0f);
}

void ParticleHandler::expire_particle(unsigned int i) {
    if (i >= num_particles() || slot_is_free_[i]) return;
    // An end before any time the clock can show (an end of 0 would mean no
    // end): inactive at once, and past at the next update.
    windows_[i].end = -1.0;
}

void ParticleHandler::fill_slot(unsigned int slot, const ParticleSource::ParticleDesc& desc) {
    generated_.push_back(slot);
    CParticle& p = *particles_.particle(static_cast<int>(slot));
    p.position = desc.position;
    p.velocity = desc.velocity;
    p.mass_inv = static_cast<float>(desc_.massInv);
    p.force = vector3(0.0f, 0.0f, 0.0f);

    int r = Rand();
    if (r == kRandMax) r = kRandMax - 1;
    double life = desc_.minLiveTime + (desc_.maxLiveTime - desc_.minLiveTime) * (r / 32767.0);
    // A negative (or undefined) life from a bad description is no life span.
    if (!(life >= 0.0)) life = 0.0;

    LifeWindow& w = windows_[slot];
    w.start = time_ + static_cast<double>(desc.time_offset);
    w.end = life == 0.0 ? 0.0 : w.start + life;
    slot_is_free_[slot] = 0;
}

void ParticleHandler::create_particles(unsigned int n, const ParticleSource::ParticleDesc* descs) {
    generated_.clear();
    while (n > 0) {
        if (!free_slots_.empty()) {
            const unsigned int slot = free_slots_.back();
            free_slots_.pop_back();
            --n;
            fill_slot(slot, *descs++);
            continue;
        }
        const int first = particles_.create_particles(static_cast<int>(n));
        const std::size_t total = static_cast<std::size_t>(particles_.num_particles());
        windows_.resize(total);
        texture_coordinates_.resize(total, vector2(0.0f, 0.0f));
        slot_is_free_.resize(total, 0);
        for (std::size_t s = static_cast<std::size_t>(first); s < total; ++s) {
            fill_slot(static_cast<unsigned int>(s), *descs++);
        }
        n = 0;
    }
    particles_generated(generated_);
}

AABox ParticleHandler::calculate_bounding_box() const {
    AABox box;
    bool found = false;
    const unsigned int count = num_particles();
    for (unsigned int i = 0; i < count; ++i) {
        if (!is_active(i)) continue;
        const vector3& p = particles_.particle(static_cast<int>(i))->position;
        if (found) {
            box.add_point(p);
        } else {
            box.set_point(p);
            found = true;
        }
    }
    return box;
}

}  // namespace vo

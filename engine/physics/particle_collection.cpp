#include "engine/physics/particle_collection.h"

#include <cmath>

#include "engine/core/vector_kernels.h"

namespace vo {

CParticleCollection::CParticleCollection() : applied_force_(0.0f, 0.0f, 0.0f) {}

CParticleCollection::~CParticleCollection() = default;

void CParticleCollection::clear() {
    state_ = std::vector<float>();
    deriv_ = std::vector<float>();
    particles_.clear();
    storage_.clear();
    sticky_values_.clear();
    applied_force_ = vector3(0.0f, 0.0f, 0.0f);
    sticky_count_ = 0;
}

int CParticleCollection::create_particles(int n) {
    if (n < 1) return -1;
    const int first = num_particles();
    const std::size_t total = static_cast<std::size_t>(first) + static_cast<std::size_t>(n);
    particles_.reserve(total);
    CParticle* p = storage_.add(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i, ++p) {
        p->velocity = vector3(0.0f, 0.0f, 0.0f);
        p->force = vector3(0.0f, 0.0f, 0.0f);
        p->mass_inv = 1.0f;
        particles_.push_back(p);
    }
    state_.assign(total * 6, 0.0f);
    deriv_.assign(total * 6, 0.0f);
    sticky_values_.resize(total, 0.0f);
    return first;
}

void CParticleCollection::calculate_bounding_box(AABox& box) const {
    if (particles_.empty()) {
        box.min = box.max = vector3(0.0f, 0.0f, 0.0f);
        return;
    }
    box.min = box.max = particles_[0]->position;
    for (std::size_t i = 1; i < particles_.size(); ++i) {
        const vector3& p = particles_[i]->position;
        for (unsigned int a = 0; a < 3; ++a) {
            if (box.min[a] > p[a]) {
                box.min[a] = p[a];
            } else if (p[a] > box.max[a]) {
                box.max[a] = p[a];
            }
        }
    }
}

void CParticleCollection::set_particle_damping(float d) {
    if (d > 1.0f) {
        particle_damping_ = 1.0f;
    } else if (d < 0.0f) {
        particle_damping_ = 0.0f;
    } else {
        particle_damping_ = d;
    }
}

void CParticleCollection::enable_sticky_particles(bool on) {
    if (on) {
        sticky_enabled_ = true;
    } else if (sticky_enabled_) {
        clear_sticky_particles();
        sticky_enabled_ = false;
    }
}

bool CParticleCollection::has_sticky_particles() const {
    if (!sticky_enabled_) return false;
    for (float v : sticky_values_) {
        if (v != 0.0f) return true;
    }
    return false;
}

void CParticleCollection::particle_set_sticky(int i, bool on) {
    if (!sticky_enabled_) return;
    float& value = sticky_values_[static_cast<std::size_t>(i)];
    CParticle& p = *particles_[static_cast<std::size_t>(i)];
    if (on) {
        if (value == 0.0f && p.mass_inv > 0.0f) {
            value = p.mass_inv;
            p.mass_inv = 0.0f;
            ++sticky_count_;
        }
    } else if (value != 0.0f) {
        p.mass_inv = value;
        value = 0.0f;
        --sticky_count_;
    }
}

void CParticleCollection::clear_sticky_particles() {
    for (std::size_t i = 0; i < sticky_values_.size(); ++i) {
        if (sticky_values_[i] != 0.0f) {
            particles_[i]->mass_inv = sticky_values_[i];
            sticky_values_[i] = 0.0f;
        }
    }
    sticky_count_ = 0;
}

float CParticleCollection::particle_real_mass_inv(int i) const {
    const float parked = sticky_values_[static_cast<std::size_t>(i)];
    return parked != 0.0f ? parked : particles_[static_cast<std::size_t>(i)]->mass_inv;
}

void CParticleCollection::particles_to_state_array(float* s) const {
    for (const auto& p : particles_) {
        s[0] = p->position.x;
        s[1] = p->position.y;
        s[2] = p->position.z;
        s[3] = p->velocity.x;
        s[4] = p->velocity.y;
        s[5] = p->velocity.z;
        s += 6;
    }
}

void CParticleCollection::particles_to_deriv_array(float* d) const {
    for (const auto& p : particles_) {
        d[0] = p->velocity.x;
        d[1] = p->velocity.y;
        d[2] = p->velocity.z;
        d[3] = p->force.x * p->mass_inv;
        d[4] = p->force.y * p->mass_inv;
        d[5] = p->force.z * p->mass_inv;
        d += 6;
    }
}

void CParticleCollection::state_array_to_particles(const float* s) {
    for (auto& p : particles_) {
        p->position = vector3(s[0], s[1], s[2]);
        p->velocity = vector3(s[3], s[4], s[5]);
        s += 6;
    }
}

void CParticleCollection::update_frame(double dt) {
    if (particle_damping_ > 0.0f) {
        const float keep = 1.0f - particle_damping_;
        for (auto& p : particles_) p->velocity *= keep;
    }
    if (sticky_count_ > 0) {
        for (std::size_t i = 0; i < particles_.size(); ++i) {
            if (sticky_values_[i] == 0.0f) continue;
            CParticle& p = *particles_[i];
            const float f2 = ((p.force.x * p.force.x + 0.0f) + p.force.y * p.force.y) + p.force.z * p.force.z;
            const float len = static_cast<float>(std::sqrt(static_cast<double>(f2)));
            if (len > sticky_force_ && sticky_enabled_) {
                p.mass_inv = sticky_values_[i];
                sticky_values_[i] = 0.0f;
                --sticky_count_;
            }
        }
    }
    if (particles_.empty()) return;
    particles_to_state_array(state_.data());
    particles_to_deriv_array(deriv_.data());
    const int n = static_cast<int>(state_.size());
    AddScaledVector(state_.data(), state_.data(), deriv_.data(), static_cast<float>(dt), n);
    state_array_to_particles(state_.data());
}

}  // namespace vo

#include "game/level/fluid.h"

#include <cmath>

namespace vo {

Fluid::Fluid() = default;

Fluid::~Fluid() = default;

void Fluid::update(double dt) {
    if (!(dt >= 0.0) || !std::isfinite(dt)) return;
    const float step = static_cast<float>(dt);
    uv_offset_.x += uv_velocity_.x * step;
    uv_offset_.y += uv_velocity_.y * step;
    ParticleHandler::update(dt);
}

void Fluid::particles_generated(const std::vector<unsigned int>& slots) {
    particle_uvs_.resize(num_particles(), vector2(0.0f, 0.0f));
    left_level_.resize(num_particles(), 0);
    for (unsigned int i : slots) {
        const vector3 p = position(i);
        particle_uvs_[i] = vector2(p.x * uv_scale_.x + uv_offset_.x, p.y * uv_scale_.y + uv_offset_.y);
        left_level_[i] = 0;
    }
}

bool Fluid::mark_left_level(unsigned int slot) {
    if (slot >= left_level_.size() || left_level_[slot]) return false;
    left_level_[slot] = 1;
    return true;
}

}  // namespace vo

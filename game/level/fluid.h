#pragma once

// The game's particle fluid: lava and stone debris. Each particle also gets a
// texture coordinate when it is born, taken from its birth position in a
// texture space that may drift over time; the coordinate never changes
// afterwards, so the texture travels with the particles while particles born
// later show a shifted part of it.

#include "engine/core/vector.h"
#include "engine/physics/particle_handler.h"

#include <vector>

namespace vo {

class Fluid : public ParticleHandler {
public:
    Fluid();
    ~Fluid() override;

    // Moves the texture space by its drift, then runs the particle handler's
    // step (expiry, sources, integration). A dt below 0 or not finite does
    // nothing, as for the handler.
    void update(double dt) override;

    // One coordinate per particle slot (live and free alike), by slot index.
    const std::vector<vector2>& particle_uvs() const { return particle_uvs_; }

    // World x and y to texture coordinate; affects particles born later.
    const vector2& uv_scale() const { return uv_scale_; }
    void set_uv_scale(const vector2& scale) { uv_scale_ = scale; }
    // Drift of the texture space per second.
    const vector2& uv_velocity() const { return uv_velocity_; }
    void set_uv_velocity(const vector2& velocity) { uv_velocity_ = velocity; }
    const vector2& uv_offset() const { return uv_offset_; }

    // Marks the particle in the slot as one that has left the level; true
    // the first time for that particle (a new particle in the slot starts
    // unmarked).
    bool mark_left_level(unsigned int slot);

protected:
    // Gives each new particle the coordinate of its birth position.
    void particles_generated(const std::vector<unsigned int>& slots) override;

private:
    vector2 uv_scale_ = vector2(1.0f, 1.0f);
    vector2 uv_velocity_ = vector2(0.0f, 0.0f);
    vector2 uv_offset_ = vector2(0.0f, 0.0f);
    std::vector<vector2> particle_uvs_;
    std::vector<char> left_level_;  // by slot
};

}  // namespace vo

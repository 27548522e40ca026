#include "support/engine/physics_scenes.h"

#include <cmath>

#include "engine/physics/soft_body_circle.h"

namespace vo_test {

vo::SoftBodyDesc DefaultCircleDesc() { return vo::SoftBodyDesc(); }

vo::SoftBodyDesc CircleDesc(int num_boundary_points) {
    vo::SoftBodyDesc desc;
    desc.num_boundary_points = num_boundary_points;
    return desc;
}

void BuildCircleBody(vo::SoftBody& body, const vo::SoftBodyDesc& desc, const vo::vector3& offset) {
    vo::CreateSoftBody_Circle(body, desc);
    for (int i = 0; i < body.num_points(); ++i) {
        vo::vector3 p = body.point_get_coords(i);
        p += offset;
        body.point_set_coords(i, p);
    }
}

float MaxSpringStrain(const vo::SoftBody& body) {
    float worst = 0.0f;
    for (int i = 0; i < body.num_springs(); ++i) {
        const vo::CSpring* s = body.spring(i);
        const vo::vector3& a = s->get_particle1()->position;
        const vo::vector3& b = s->get_particle2()->position;
        const float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
        const float len = std::sqrt(dx * dx + dy * dy + dz * dz);
        const float strain = std::fabs(len / s->get_default_length() - 1.0f);
        if (!(strain <= worst)) worst = strain;  // NaN wins
    }
    return worst;
}

bool AllFinite(const vo::SoftBody& body) {
    for (int i = 0; i < body.num_points(); ++i) {
        const vo::vector3 p = body.point_get_coords(i);
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
    }
    for (int i = 0; i < body.num_particles(); ++i) {
        const vo::vector3 v = body.particle_get_velocity(i);
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
    }
    return true;
}

vo::vector3 MeanParticlePosition(const vo::SoftBody& body) {
    vo::vector3 sum;
    const int n = body.num_particles();
    for (int i = 0; i < n; ++i) sum += body.point_get_coords(i);
    if (n > 0) sum *= 1.0f / static_cast<float>(n);
    return sum;
}

}  // namespace vo_test

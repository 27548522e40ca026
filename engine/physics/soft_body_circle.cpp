#include "engine/physics/soft_body_circle.h"

#include <cmath>
#include <iostream>
#include <string>

#include "engine/core/error.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_desc.h"

namespace vo {

namespace {

// Records key as the fault when value is not finite.
bool NotFinite(SoftBodyCircleFault& fault, float value, const char* key) {
    if (std::isfinite(value)) return false;
    fault = SoftBodyCircleFault{key, "is not a finite number"};
    return true;
}

int ClampRadius(int radius, int n) { return radius < 0 ? 0 : (radius > n ? n : radius); }

// Springs that the opposing radius o makes on a ring of n points: the
// points beyond the opposite one, and the diameters once per pair (even n)
// or the nearest-to-opposite point (odd n).
long long OpposingSprings(int o, int n) {
    if (o <= 0) return 0;
    return static_cast<long long>(o - 1) * n + (n % 2 == 0 ? n / 2 : n);
}

void WarnBudget(const char* key, int asked, int used, int n) {
    std::cout << "WARNING: CreateSoftBody_Circle: \"" << key << "\" " << asked << " would give a ring of " << n
              << " points more than " << kMaxCircleSprings << " springs, using " << used << std::endl;
}

// Lowers the radii (already within 0 .. n) so that the springs stay within
// kMaxCircleSprings: the neighbour springs hold the ring together and come
// first, the opposing ones get what is left.
void FitSpringBudget(int& nbr, int& opp, int n) {
    const int max_nbr = kMaxCircleSprings / n;
    if (nbr > max_nbr) {
        WarnBudget("nbrConnectionRadius", nbr, max_nbr, n);
        nbr = max_nbr;
    }
    const long long left = kMaxCircleSprings - static_cast<long long>(nbr) * n;
    int max_opp = 0;
    if (OpposingSprings(1, n) <= left) max_opp = 1 + static_cast<int>((left - OpposingSprings(1, n)) / n);
    if (opp > max_opp) {
        WarnBudget("opposingConnectionRadius", opp, max_opp, n);
        opp = max_opp;
    }
}

float Distance(const vector3& a, const vector3& b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float dz = b.z - a.z;
    const float d2 = ((dx * dx + 0.0f) + dy * dy) + dz * dz;
    return static_cast<float>(std::sqrt(static_cast<double>(d2)));
}

}  // namespace

SoftBodyCircleFault FindSoftBodyCircleFault(const SoftBodyDesc& desc) {
    const int n = desc.num_boundary_points;
    if (n < 3 || n > kMaxCircleBoundaryPoints) {
        return SoftBodyCircleFault{"numBoundaryPoints", "is " + std::to_string(n) + ", it must lie in 3 .. " +
                                                            std::to_string(kMaxCircleBoundaryPoints)};
    }
    const float r = desc.radius;
    const float diameter = r * 2.0f;
    if (!(r > 0.0f) || !std::isfinite(diameter * diameter)) {
        return SoftBodyCircleFault{"radius", "must be a finite number above 0"};
    }
    SoftBodyCircleFault fault;
    const bool not_finite =
        NotFinite(fault, desc.uv_scale, "uvScale") || NotFinite(fault, desc.tex_x1, "texX1") ||
        NotFinite(fault, desc.tex_y1, "texY1") || NotFinite(fault, desc.tex_x2, "texX2") ||
        NotFinite(fault, desc.tex_y2, "texY2") || NotFinite(fault, desc.friction, "friction") ||
        NotFinite(fault, desc.no_friction_vel, "noFrictionVel") ||
        NotFinite(fault, desc.particle_damping, "particleDamping") ||
        NotFinite(fault, desc.sticky_velocity, "stickyVelocity") ||
        NotFinite(fault, desc.sticky_force, "stickyForce") || NotFinite(fault, desc.mass_inv, "mass") ||
        NotFinite(fault, desc.rigidity, "rigidity") || NotFinite(fault, desc.inertia, "inertia") ||
        NotFinite(fault, desc.spring_short_constant, "springShortConstant") ||
        NotFinite(fault, desc.spring_long_constant, "springLongConstant") ||
        NotFinite(fault, desc.spring_damping, "springDamping");
    return not_finite ? fault : SoftBodyCircleFault();
}

void CreateSoftBody_Circle(SoftBody& body, const SoftBodyDesc& desc) {
    const SoftBodyCircleFault fault = FindSoftBodyCircleFault(desc);
    if (!fault.empty()) throw Error("CreateSoftBody_Circle: \"" + fault.key + "\" " + fault.what);
    const int n = desc.num_boundary_points;
    const float r = desc.radius;
    int nbr = ClampRadius(desc.nbr_connection_radius, n);
    int opp = ClampRadius(desc.opposing_connection_radius, n);
    FitSpringBudget(nbr, opp, n);

    body.clear();
    body.set_num_points(n, 0, 1);

    ApplySoftBodyMaterial(body, desc);

    const float x1 = desc.tex_x1, y1 = desc.tex_y1, x2 = desc.tex_x2, y2 = desc.tex_y2;
    const float cu = (x2 + x1) * 0.5f;
    const float cv = (y2 + y1) * 0.5f;

    for (int i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(n);
        const float a = (1.0f - t) * 0.0f + t * 6.2831855f;
        const float s = static_cast<float>(std::sin(static_cast<double>(a)));
        const float c = static_cast<float>(std::cos(static_cast<double>(a)));
        body.point_set_coords(i, vector3(r * s, r * c, r * 0.0f));
        const float hs = static_cast<float>((static_cast<double>(s) + 1.0) * 0.5);
        const float hc = static_cast<float>((1.0 - static_cast<double>(c)) * 0.5);
        const float u = x1 + (x2 - x1) * (desc.uv_scale * (hs - 0.5f) + 0.5f);
        const float v = y1 + (y2 - y1) * (desc.uv_scale * (hc - 0.5f) + 0.5f);
        body.point_set_uv_coords(i, u, v);
    }
    body.point_set_coords(n, vector3(0.0f, 0.0f, 0.0f));
    body.point_set_uv_coords(n, cu, cv);

    const float d0 = Distance(body.point_get_coords(0), body.point_get_coords(1));
    const float diameter = r * 2.0f;
    const float k_short = desc.spring_short_constant;
    const float k_long = desc.spring_long_constant;
    auto stiffness = [&](float len) {
        const float q = (len - d0) / (diameter - d0);
        return (1.0f - q) * k_short + q * k_long;
    };

    const bool even = n % 2 == 0;
    const int half = n / 2;
    const int n_nbr = nbr >= 1 ? nbr * n : 0;
    const int n_opp = static_cast<int>(OpposingSprings(opp, n));
    body.create_springs(n_nbr + n_opp);

    int index = 0;
    auto add_spring = [&](int a, int b) {
        const float len = Distance(body.point_get_coords(a), body.point_get_coords(b));
        body.set_spring(index++, a, b, len, stiffness(len), desc.spring_damping);
    };
    for (int i = 0; i < n; ++i) {
        for (int m = 1; m <= nbr; ++m) add_spring(i, (i + m) % n);
    }
    const int m0 = even ? 1 : 0;
    for (int i = 0; i < n; ++i) {
        for (int m = m0; m <= opp - 1; ++m) add_spring(i, (half + m + i) % n);
    }
    if (opp > 0 && even) {
        for (int i = 0; i < half; ++i) add_spring(i, i + half);
    }

    for (int i = 0; i < n; ++i) body.create_null_connection(i, n);
    for (int i = 0; i < n; ++i) body.create_triangle((i + 1) % n, i, n);
}

}  // namespace vo

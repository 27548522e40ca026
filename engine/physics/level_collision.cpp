// Collisions of fluid particles and soft bodies with the level's edges.
//
// Every particle is swept along the straight path from where it was at the
// start of the step to where the integration put it. The first edge the
// path crosses from the edge's front puts the particle back in front of it
// and bends the rest of the motion; this repeats for the remaining motion at
// most three times. Only x and y take part; z is carried along.

#include <cmath>

#include "engine/core/aabox.h"
#include "engine/physics/particle_handler.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"

namespace vo {

namespace {

constexpr int kMaxSubSteps = 3;
// How far in front of an edge a particle is put back.
constexpr float kStandOff = 0.0001f;

// One point's motion in this step: from (sx, sy) to (ex, ey), with the
// velocity (vx, vy).
struct PointPath {
    float sx, sy, ex, ey;
    float vx, vy;
};

// Bends the path at the first edge it crosses, again for the rest of the
// motion, at most kMaxSubSteps times, and returns how often it was bent.
// `sweep(path, dx, dy, hit)` finds the edge hit; `bounce(hit, dx, dy, dn,
// vx, vy, rx, ry)` sets the motion (rx, ry) that replaces (dx, dy) past the
// edge and updates the velocity.
template <class Hit, class Sweep, class Bounce>
int BendPath(PointPath& p, Sweep&& sweep, Bounce&& bounce) {
    int count = 0;
    while (count < kMaxSubSteps) {
        const float dx = p.ex - p.sx;
        const float dy = p.ey - p.sy;
        Hit s;
        if (!sweep(static_cast<const PointPath&>(p), dx, dy, s)) break;

        const float dn = dx * s.nx + dy * s.ny;
        const float nsx = s.hx + s.nx * kStandOff;
        const float nsy = s.hy + s.ny * kStandOff;
        float rx = 0.0f;
        float ry = 0.0f;
        bounce(s, dx, dy, dn, p.vx, p.vy, rx, ry);
        const float rest = static_cast<float>(1.0 - static_cast<double>(s.t));
        p.sx = nsx;
        p.sy = nsy;
        p.ex = nsx + rx * rest;
        p.ey = nsy + ry * rest;
        ++count;
    }
    return count;
}

}  // namespace

bool PhysicsHandler::sweep(float sx, float sy, float dx, float dy, SweepHit& hit) const {
    const float ex = sx + dx;
    const float ey = sy + dy;
    float best = 1.01f;
    bool found = false;
    for (const PreparedEdge& e : edges_) {
        // Leaving the front, or moving along the edge.
        if (dx * e.nx + dy * e.ny > 0.0f) continue;
        const float side_start = (e.nx * sx + e.ny * sy) + e.c;
        const float side_end = (e.nx * ex + e.ny * ey) + e.c;
        if (side_start * side_end > 0.0001f) continue;

        // The path meets the edge's line: solved along the edge's major axis.
        float p, q, dm, dn, sm, sn;
        if (std::fabs(e.ex) > std::fabs(e.ey)) {
            p = e.ex;
            q = e.ey;
            dm = dx;
            dn = dy;
            sm = sx - e.ax;
            sn = sy - e.ay;
        } else {
            p = e.ey;
            q = e.ex;
            dm = dy;
            dn = dx;
            sm = sy - e.ay;
            sn = sx - e.ax;
        }
        const float den = -dn + q * dm / p;
        if (std::fabs(den) < 1e-6f) continue;
        const float t = (sn - q * sm / p) / den;
        const float u = (sm + t * dm) / p;
        if (u >= -0.0001f && u <= 1.0001f && t > 0.0f && t < best) {
            best = t;
            hit.hx = e.ax + u * e.ex;
            hit.hy = e.ay + u * e.ey;
            hit.nx = e.nx;
            hit.ny = e.ny;
            found = true;
        }
    }
    if (!found) return false;
    if (best > 0.9999f) best = 0.9999f;
    if (best < 0.0f) best = 0.0f;
    hit.t = best;
    return true;
}

bool PhysicsHandler::resolve_geometry_collisions(ParticleHandler& h, float dt, vector3* previous) {
    if (!collision_tree_) return false;
    level_.refresh(collision_tree_);
    const ParticleHandler::ParticleDesc& desc = h.particle_desc();
    // Drag below 0 would make the factor below blow up, and a hardness above
    // 1 would make every bounce gain energy.
    const float friction = desc.friction > 0.0f ? desc.friction : 0.0f;
    float hardness = desc.hardness;
    if (!(hardness >= 0.0f)) hardness = 0.0f;
    if (hardness > 1.0f) hardness = 1.0f;
    const float f = static_cast<float>(1.0 / (static_cast<double>(friction * dt) + 1.0));
    const float sticky_velocity = h.get_sticky_velocity();
    CParticleCollection& particles = h.particle_collection();

    bool result = false;
    const unsigned int slots = h.num_particles();
    for (unsigned int i = 0; i < slots; ++i) {
        if (!h.is_active(i)) continue;
        CParticle& particle = *particles.particle(static_cast<int>(i));
        PointPath path{previous[i].x, previous[i].y, particle.position.x, particle.position.y,
                       particle.velocity.x, particle.velocity.y};
        const int count = BendPath<SweepHit>(
            path,
            [&](const PointPath& p, float dx, float dy, SweepHit& s) {
                const vector3 lo(p.sx < p.ex ? p.sx : p.ex, p.sy < p.ey ? p.sy : p.ey, 0.0f);
                const vector3 hi(p.sx > p.ex ? p.sx : p.ex, p.sy > p.ey ? p.sy : p.ey, 0.0f);
                // Most particles are far from the level: skip the query where
                // it cannot find anything.
                if (level_.map().certainly_empty(lo.x, lo.y, hi.x, hi.y)) return false;
                if (!level_.collect(lo, hi, edges_)) return false;
                return sweep(p.sx, p.sy, dx, dy, s);
            },
            [&](const SweepHit& s, float dx, float dy, float dn, float& vx, float& vy, float& rx, float& ry) {
                rx = (dx - dn * s.nx) * f - dn * s.nx * hardness;
                ry = (dy - dn * s.ny) * f - dn * s.ny * hardness;
                if (sticky_velocity * sticky_velocity > (vx * vx + 0.0f) + vy * vy) {
                    particles.particle_set_sticky(static_cast<int>(i), true);
                    vx = 0.0f;
                    vy = 0.0f;
                } else {
                    const float vn = s.nx * vx + s.ny * vy;
                    const float tvx = (vx - vn * s.nx) * f - vn * s.nx * hardness;
                    const float tvy = (vy - vn * s.ny) * f - vn * s.ny * hardness;
                    vx = tvx;
                    vy = tvy;
                }
            });
        if (count > 0) result = true;
        if (count == kMaxSubSteps) {
            // Caught between edges: back to where the step started.
            particle.position = previous[i];
            particle.velocity = vector3(0.0f, 0.0f, 0.0f);
        } else if (count > 0) {
            particle.position = vector3(path.ex, path.ey, particle.position.z);
            particle.velocity = vector3(path.vx, path.vy, 0.0f);
        }
    }
    return result;
}

bool PhysicsHandler::resolve_geometry_collisions(SoftBody& body, vector3* previous, vector3* normal_out) {
    if (!collision_tree_) return false;
    const int n = body.num_particles();
    // A body without particles has nothing to collide.
    if (n == 0) return false;

    AABox box(previous, static_cast<unsigned int>(n));
    AABox now;
    body.calculate_bounding_box(now);
    box.add_box(now);
    level_.refresh(collision_tree_);
    if (!level_.collect(box.min, box.max, edges_)) return false;

    // A friction above 1 would make every bounce gain energy.
    float friction = body.get_friction();
    if (!(friction >= 0.0f)) friction = 0.0f;
    if (friction > 1.0f) friction = 1.0f;
    const float sticky_velocity = body.get_sticky_velocity();
    marks_.assign(static_cast<std::size_t>(n), 0);
    float sum_nx = 0.0f;
    float sum_ny = 0.0f;
    bool result = false;

    for (int i = 0; i < n; ++i) {
        const vector3 point = body.point_get_coords(i);
        const vector3 velocity = body.particle_get_velocity(i);
        PointPath path{previous[i].x, previous[i].y, point.x, point.y, velocity.x, velocity.y};
        const int count = BendPath<SweepHit>(
            path, [&](const PointPath& p, float dx, float dy, SweepHit& s) { return sweep(p.sx, p.sy, dx, dy, s); },
            [&](const SweepHit& s, float dx, float dy, float dn, float& vx, float& vy, float& rx, float& ry) {
                rx = (dx - 2.0f * dn * s.nx) * friction;
                ry = (dy - 2.0f * dn * s.ny) * friction;
                const float speed = static_cast<float>(std::sqrt(static_cast<double>((vx * vx + 0.0f) + vy * vy)));
                if (sticky_velocity > speed) {
                    body.particle_set_sticky(i, true);
                    vx = 0.0f;
                    vy = 0.0f;
                } else {
                    const float rlen = static_cast<float>(std::sqrt(static_cast<double>(rx * rx + ry * ry)));
                    const float keep = speed * friction;
                    if (rlen > 0.0f) {
                        vx = rx / rlen * keep;
                        vy = ry / rlen * keep;
                    } else {
                        vx = rx * keep;
                        vy = ry * keep;
                    }
                }
                sum_nx += s.nx;
                sum_ny += s.ny;
            });
        if (count > 0) result = true;
        if (count == kMaxSubSteps) {
            body.point_set_coords(i, previous[i]);
            body.particle_set_velocity(i, vector3(0.0f, 0.0f, 0.0f));
        } else if (count > 0) {
            body.point_set_coords(i, vector3(path.ex, path.ey, point.z));
            body.particle_set_velocity(i, vector3(path.vx, path.vy, 0.0f));
            marks_[static_cast<std::size_t>(i)] = 1;
        }
    }

    // Rigidity: the particles that touched nothing take over part of the
    // mean velocity of those that did.
    const float rigidity = body.get_rigidity();
    if (rigidity > 0.0f) {
        int m = 0;
        vector3 sum(0.0f, 0.0f, 0.0f);
        for (int i = 0; i < n; ++i) {
            if (!marks_[static_cast<std::size_t>(i)]) continue;
            ++m;
            sum += body.particle_get_velocity(i);
        }
        if (m > 0 && m < n) {
            const float inv = 1.0f / static_cast<float>(m);
            const vector3 avg(sum.x * inv, sum.y * inv, sum.z * inv);
            const float r = rigidity < 1.0f ? rigidity : 1.0f;
            const float keep = 1.0f - r;
            for (int j = 0; j < n; ++j) {
                if (marks_[static_cast<std::size_t>(j)]) continue;
                const vector3 v = body.particle_get_velocity(j);
                body.particle_set_velocity(
                    j, vector3(v.x * keep + avg.x * r, v.y * keep + avg.y * r, v.z * keep + avg.z * r));
            }
        }
    }

    if (normal_out) {
        vector3 s(sum_nx, sum_ny, 0.0f);
        NormalizeVector3(s, s);
        *normal_out = s;
    }
    return result;
}

}  // namespace vo

// Interactions between simulated objects: contact between two soft bodies,
// the pair rule between fluid particles, and the fluid against soft bodies.

#include <cmath>

#include "engine/core/sphere.h"
#include "engine/physics/collision_events.h"
#include "engine/physics/particle_handler.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/sse_lanes.h"
#include "engine/scene/entity.h"
#include "engine/scene/health.h"

namespace vo {

namespace {

float Dot(const vector3& a, const vector3& b) { return ((a.x * b.x + 0.0f) + a.y * b.y) + a.z * b.z; }

vector3 Scaled(const vector3& v, float s) { return vector3(v.x * s, v.y * s, v.z * s); }

vector3 Sum(const vector3& a, const vector3& b) { return vector3(a.x + b.x, a.y + b.y, a.z + b.z); }

vector3 Difference(const vector3& a, const vector3& b) { return vector3(a.x - b.x, a.y - b.y, a.z - b.z); }

// The border point of body reaching farthest along dir from c; the first
// one on ties. The body has at least one border point.
vector3 ExtremePoint(const SoftBody& body, const vector3& c, const vector3& dir) {
    float best = -1e6f;
    int best_index = 0;
    const int border = body.num_border_points();
    for (int j = 0; j < border; ++j) {
        const float reach = Dot(Difference(body.point_get_coords(j), c), dir);
        if (reach > best) {
            best = reach;
            best_index = j;
        }
    }
    return body.point_get_coords(best_index);
}

// Pushes the movable border points of body lying at or beyond the plane
// {p : p . dir = plane} back 0.1 % behind it; returns their indices and the
// sum of their velocities.
void PushOut(SoftBody& body, const vector3& dir, float plane, std::vector<int>& points, vector3& velocity_sum) {
    points.clear();
    velocity_sum = vector3(0.0f, 0.0f, 0.0f);
    const int border = body.num_border_points();
    for (int j = 0; j < border; ++j) {
        // Immovable or stuck particles stay where they are.
        if (body.particle_get_mass_inv(j) < 1e-6f) continue;
        const vector3 p = body.point_get_coords(j);
        const float depth = Dot(p, dir);
        if (depth < plane) continue;
        points.push_back(j);
        const float pen = static_cast<float>(static_cast<double>(plane - depth) * 1.001);
        body.point_set_coords(j, Sum(p, Scaled(dir, pen)));
        velocity_sum += body.particle_get_velocity(j);
    }
}

float Clamp01(float v) {
    if (!(v >= 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

}  // namespace

bool PhysicsHandler::resolve_inter_body_collisions(SoftBodyEntry* a_entry, SoftBodyEntry* b_entry) {
    SoftBody& a = *a_entry->body;
    SoftBody& b = *b_entry->body;
    const CollisionIgnoreCondition condition = lookup_ignore(a_entry->ignore_list, &b);
    if (condition == COLLISION_IGNORE_ALWAYS) return false;

    const Sphere sa = a.calculate_bounding_sphere();
    const Sphere sb = b.calculate_bounding_sphere();
    const vector3 ca = sa.center();
    const vector3 cb = sb.center();
    const vector3 d = Difference(cb, ca);
    const float dist = static_cast<float>(std::sqrt(static_cast<double>(Dot(d, d))));
    if (dist >= sa.radius() + sb.radius()) {
        if (condition == COLLISION_IGNORE_UNTIL_APART) {
            forget_pairs_naming(a_entry->ignore_list, &b);
            forget_pairs_naming(b_entry->ignore_list, &a);
        }
        return false;
    }
    if (dist < 1e-6f) return false;
    if (condition != COLLISION_IGNORE_NONE) return false;
    // A body without a border has no outline to touch with.
    if (a.num_border_points() == 0 || b.num_border_points() == 0) return false;

    const vector3 n(d.x / dist, d.y / dist, d.z / dist);
    const vector3 minus_n(-n.x, -n.y, -n.z);
    const vector3 pa = ExtremePoint(a, ca, n);
    const vector3 pb = ExtremePoint(b, cb, minus_n);

    // The body with the larger inertia keeps its shape: the contact plane
    // moves towards its extreme point. Negative inertia counts as none.
    const float ia = a.get_inertia() > 0.0f ? a.get_inertia() : 0.0f;
    const float ib = b.get_inertia() > 0.0f ? b.get_inertia() : 0.0f;
    const float w = ia + ib > 1e-6f ? ia / (ia + ib) : 0.5f;
    const float w_other = static_cast<float>(1.0 - static_cast<double>(w));
    const vector3 m = Sum(Scaled(pa, w), Scaled(pb, w_other));

    std::vector<int>& points_a = contact_points_a_;
    std::vector<int>& points_b = contact_points_b_;
    vector3 sum_a;
    vector3 sum_b;
    PushOut(a, n, Dot(m, n), points_a, sum_a);
    PushOut(b, minus_n, Dot(m, minus_n), points_b, sum_b);
    if (points_a.empty() || points_b.empty()) return false;

    const vector3 avg_a = Scaled(sum_a, 1.0f / static_cast<float>(points_a.size()));
    const vector3 avg_b = Scaled(sum_b, 1.0f / static_cast<float>(points_b.size()));
    const vector3 normal_a = Scaled(n, Dot(avg_a, n));
    const vector3 normal_b = Scaled(minus_n, Dot(avg_b, minus_n));
    const vector3 tangent_a = Difference(avg_a, normal_a);
    const vector3 tangent_b = Difference(avg_b, normal_b);

    Entity* ea = a_entry->entity;
    Entity* eb = b_entry->entity;
    if (ea && eb) {
        EntityEntityCollisionEvent to_a(ea, avg_a, ca, eb, avg_b, cb);
        EntityEntityCollisionEvent to_b(eb, avg_b, cb, ea, avg_a, ca);
        ea->handle_game_event(to_a);
        eb->handle_game_event(to_b);
    }

    // The pushed points of both bodies move together along the normal and
    // keep their own sliding velocity in the share of the other body's
    // friction.
    const float w_rest = 1.0f - w;
    const vector3 common_normal = Sum(Scaled(normal_a, w), Scaled(normal_b, w_rest));
    const vector3 common_tangent = Sum(Scaled(tangent_a, w), Scaled(tangent_b, w_rest));
    struct Side {
        SoftBody& body;
        const std::vector<int>& points;
        const vector3& dir;
        float grip;
    };
    const Side sides[2] = {{a, points_a, n, Clamp01(b.get_friction())}, {b, points_b, minus_n, Clamp01(a.get_friction())}};
    for (const Side& side : sides) {
        const float g = side.grip;
        const float q = static_cast<float>(1.0 - static_cast<double>(g));
        for (int j : side.points) {
            const vector3 v = side.body.particle_get_velocity(j);
            const vector3 t = Difference(v, Scaled(side.dir, Dot(v, side.dir)));
            side.body.particle_set_velocity(j, Sum(Sum(Scaled(t, g), Scaled(common_tangent, q)), common_normal));
        }
    }
    return true;
}

namespace {

#if defined(__SSE2__)
__m128 Gather(const float* values, const unsigned int* at) {
    return Lanes([&](int j) { return values[at[j]]; });
}
#endif

}  // namespace

void PhysicsHandler::work_out_pair_forces(std::size_t k, unsigned int count, const unsigned int* found) {
    const FluidRef& self = fluid_refs_[k];
    const ParticleHandler::ParticleDesc& d = *self.desc;
    const float ex = fluid_x_[k];
    const float ey = fluid_y_[k];
    const float strength = static_cast<float>(count) * d.repulsionMagnifier + d.repulsionForce;
    float* const fx = pair_fx_.data();
    float* const fy = pair_fy_.data();
    unsigned char* const kind = pair_kind_.data();
    unsigned int m = 0;
#if defined(__SSE2__)
    // Four neighbours at a time, with the scalar operations below in the
    // same order (a float square root is the double one rounded to float).
    const __m128 vex = _mm_set1_ps(ex);
    const __m128 vey = _mm_set1_ps(ey);
    const __m128 own_radius = _mm_set1_ps(d.particleRadius);
    const __m128 own_attraction = _mm_set1_ps(d.attractionRadius);
    const __m128 vstrength = _mm_set1_ps(strength);
    const __m128 vforce = _mm_set1_ps(d.attractionForce);
    const __m128 closest = _mm_set1_ps(0.0001f);
    const __m128 sign = _mm_set1_ps(-0.0f);
    for (; m + 4 <= count; m += 4) {
        const unsigned int* at = found + m;
        const __m128 dx = _mm_sub_ps(Gather(fluid_x_.data(), at), vex);
        const __m128 dy = _mm_sub_ps(Gather(fluid_y_.data(), at), vey);
        __m128 dist = _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_setzero_ps()), _mm_mul_ps(dy, dy)));
        const __m128 too_close = _mm_cmplt_ps(dist, closest);
        dist = _mm_or_ps(_mm_and_ps(too_close, closest), _mm_andnot_ps(too_close, dist));
        const __m128 r1 = _mm_add_ps(Gather(fluid_radius_.data(), at), own_radius);
        const __m128 r2 = _mm_add_ps(Gather(fluid_attraction_.data(), at), own_attraction);
        const __m128 repel = _mm_cmplt_ps(dist, r1);
        const __m128 attract = _mm_andnot_ps(repel, _mm_cmplt_ps(dist, r2));
        const __m128 f_repel = _mm_div_ps(_mm_mul_ps(_mm_div_ps(_mm_sub_ps(r1, dist), r1), vstrength), dist);
        const __m128 f_attract = _mm_div_ps(
            _mm_xor_ps(_mm_mul_ps(vforce, _mm_div_ps(_mm_sub_ps(dist, r1), _mm_sub_ps(r2, r1))), sign), dist);
        const __m128 f = _mm_or_ps(_mm_and_ps(repel, f_repel), _mm_andnot_ps(repel, f_attract));
        _mm_storeu_ps(fx + m, _mm_mul_ps(f, dx));
        _mm_storeu_ps(fy + m, _mm_mul_ps(f, dy));
        const int repel_bits = _mm_movemask_ps(repel);
        const int attract_bits = _mm_movemask_ps(attract);
        for (int j = 0; j < 4; ++j) {
            kind[m + static_cast<unsigned int>(j)] =
                static_cast<unsigned char>(((repel_bits >> j) & 1) * kRepel | ((attract_bits >> j) & 1) * kAttract);
        }
    }
#endif
    for (; m < count; ++m) {
        const unsigned int n = found[m];
        const float dx = fluid_x_[n] - ex;
        const float dy = fluid_y_[n] - ey;
        float dist = std::sqrt((dx * dx + 0.0f) + dy * dy);
        if (dist < 0.0001f) dist = 0.0001f;
        const float r1 = fluid_radius_[n] + d.particleRadius;
        const float r2 = fluid_attraction_[n] + d.attractionRadius;
        float f = 0.0f;
        if (dist < r1) {
            f = ((r1 - dist) / r1 * strength) / dist;
            kind[m] = kRepel;
        } else if (dist < r2) {
            f = -(d.attractionForce * ((dist - r1) / (r2 - r1))) / dist;
            kind[m] = kAttract;
        } else {
            kind[m] = kNoForce;
        }
        fx[m] = f * dx;
        fy[m] = f * dy;
    }
}

void PhysicsHandler::adjust_fluid_velocities(double dt) {
    const std::vector<ParticleGrid::Entry>& entries = grid_.entries();
    // What the rule reads of every entry, looked up once.
    const std::size_t num = entries.size();
    fluid_refs_.resize(num);
    fluid_x_.resize(num);
    fluid_y_.resize(num);
    fluid_radius_.resize(num);
    fluid_attraction_.resize(num);
    pair_fx_.resize(num);
    pair_fy_.resize(num);
    pair_kind_.resize(num);
    for (std::size_t k = 0; k < num; ++k) {
        const ParticleGrid::Entry& e = entries[k];
        ParticleHandler& h = *e.handler;
        fluid_refs_[k] = FluidRef{h.particle_collection().particle(static_cast<int>(e.index)), &h.particle_desc()};
        fluid_x_[k] = e.x;
        fluid_y_[k] = e.y;
        fluid_radius_[k] = h.particle_desc().particleRadius;
        fluid_attraction_[k] = h.particle_desc().attractionRadius;
    }

    for (std::size_t k = 0; k < num; ++k) {
        const ParticleHandler::ParticleDesc& d = *fluid_refs_[k].desc;
        CParticle& pe = *fluid_refs_[k].particle;
        const float rq = PairSearchRadius(d);
        const unsigned int count = grid_.find_particles(Sphere(vector3(fluid_x_[k], fluid_y_[k], 0.0f), rq));
        const unsigned int* found = grid_.found_particles();
        // The forces depend on the stored positions only: all of them first,
        // then the neighbours in order, as the velocity exchange runs in
        // sequence. The neighbours never include pe itself, so its velocity
        // is carried along here.
        work_out_pair_forces(k, count, found);
        vector3 ve = pe.velocity;
        for (unsigned int m = 0; m < count; ++m) {
            const unsigned char kind = pair_kind_[m];
            if (kind == kNoForce) continue;
            const FluidRef& ref = fluid_refs_[found[m]];
            // The same handler and slot: the particle itself.
            if (ref.particle == &pe) continue;
            CParticle& pn = *ref.particle;
            pn.force += vector3(pair_fx_[m], pair_fy_[m], 0.0f);
            if (kind != kRepel) continue;
            const float visc = static_cast<float>(static_cast<double>(ref.desc->velocityInteraction + d.velocityInteraction) * 0.5);
            if (visc > 1e-6f) {
                const vector3 vn = pn.velocity;
                const vector3 mean = Sum(Scaled(ve, 0.5f), Scaled(vn, 0.5f));
                // A share above 1 would overshoot the mean.
                float a = static_cast<float>(static_cast<double>(visc) * 0.5 * dt);
                if (a > 1.0f) a = 1.0f;
                const float b = static_cast<float>(1.0 - static_cast<double>(a));
                pn.velocity = Sum(Scaled(vn, b), Scaled(mean, a));
                ve = Sum(Scaled(ve, b), Scaled(mean, a));
            }
        }
        pe.velocity = ve;
    }
}

void PhysicsHandler::push_fluid_against_body(SoftBodyEntry& entry, double dt) {
    SoftBody& body = *entry.body;
    const Sphere s = body.calculate_bounding_sphere();
    const vector3 c = s.center();
    const float radius = static_cast<float>(static_cast<double>(s.radius()) * 1.5);
    const unsigned int found_count = grid_.find_particles(Sphere(c, radius));
    if (found_count == 0) return;
    const unsigned int* found = grid_.found_particles();
    const std::vector<ParticleGrid::Entry>& entries = grid_.entries();

    const float count = static_cast<float>(found_count);
    const vector3 v = body.get_velocity();
    vector3 u;
    NormalizeVector3(u, v);
    const float push = static_cast<float>(0.1 / dt);
    float damage = 0.0f;

    for (unsigned int m = 0; m < found_count; ++m) {
        const ParticleGrid::Entry& nb = entries[found[m]];
        ParticleHandler& h = *nb.handler;
        const ParticleHandler::ParticleDesc& d = h.particle_desc();
        const unsigned int j = nb.index;
        damage = static_cast<float>(static_cast<double>(d.damagePerSecond) * dt + static_cast<double>(damage));

        // From the particle towards the body's centre.
        vector3 nrm;
        NormalizeVector3(nrm, Difference(c, h.position(j)));

        // A particle running into the body loses its approaching speed and
        // pushes the body away from it.
        const vector3 pv = h.velocity(j);
        const float dot = nrm.x * pv.x + nrm.y * pv.y;
        const float proj_x = nrm.x * dot;
        const float proj_y = nrm.y * dot;
        float wx = proj_x;
        float wy = proj_y;
        const float proj_len = static_cast<float>(std::sqrt(static_cast<double>(proj_x * proj_x + proj_y * proj_y)));
        if (proj_len > 0.0f) {
            wx = proj_x / proj_len;
            wy = proj_y / proj_len;
        }
        if (wx * nrm.x + wy * nrm.y > 0.0f) {
            h.set_velocity(j, vector3(pv.x - proj_x, pv.y - proj_y, 0.0f));
            body.apply_force(vector3(push * wx, push * wy, 0.0f));
        }

        // Out of the body, harder the more fluid surrounds it.
        const float away = static_cast<float>(-static_cast<double>(d.softbodyRepulsionForce * count) / dt);
        h.add_force(j, Scaled(nrm, away));

        // A body moving towards the particle drags it along.
        const float along = -Dot(u, nrm);
        if (along > 0.0f) {
            const float keep = static_cast<float>(1.0 - static_cast<double>(along));
            const vector3 now = h.velocity(j);
            h.set_velocity(j, Sum(Scaled(now, keep), Scaled(v, along)));
        }
    }

    // Lava hurts: the entity's health, when it has one, falls by the damage
    // of every particle near the body.
    DecreaseHealth(entry.entity, damage);
}

}  // namespace vo

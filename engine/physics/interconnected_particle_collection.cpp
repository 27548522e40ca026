#include "engine/physics/interconnected_particle_collection.h"

#include <cmath>

#include "engine/core/vector_kernels.h"
#include "engine/physics/sse_lanes.h"

namespace vo {

namespace {

// Pulls outlying triples of a (x, y, z at a[i-2], a[i-1], a[i] for
// i = 2, 8, 14, ... below m) back to a distance `limit` from their centre
// c = (6 / m) * sum. With m = 6n that centre is the mean; for the
// acceleration triples (m = 6n - 3) it is sum / (n - 0.5), and that is kept.
void ClampTriples(float* a, int m, float limit) {
    if (m < 6) return;
    float sx = 0.0f, sy = 0.0f, sz = 0.0f;
    for (int i = 2; i < m; i += 6) {
        sx = sx + a[i - 2];
        sy = sy + a[i - 1];
        sz = sz + a[i];
    }
    const float factor = static_cast<float>(6.0 / static_cast<double>(static_cast<float>(m)));
    const float cx = factor * sx;
    const float cy = factor * sy;
    const float cz = factor * sz;
    const float limit2 = limit * limit;
    for (int i = 2; i < m; i += 6) {
        float dx = a[i - 2] - cx;
        float dy = a[i - 1] - cy;
        float dz = a[i] - cz;
        const float d2 = ((dx * dx + 0.0f) + dy * dy) + dz * dz;
        if (d2 > limit2) {
            const float len = static_cast<float>(std::sqrt(static_cast<double>(d2)));
            if (len > 0.0f) {
                const float inv = 1.0f / len;
                dx = dx * inv;
                dy = dy * inv;
                dz = dz * inv;
            }
            a[i - 2] = dx * limit + cx;
            a[i - 1] = dy * limit + cy;
            a[i] = dz * limit + cz;
        }
    }
}

// Adds the forces of the springs to their particles bit for bit as calling
// CSpring::calculate_forces on each spring in order does; a spring without
// both ends adds nothing. The forces of four springs are worked out at once,
// lane by lane with the same float operations in the same order, and then
// added to the particles one spring after the other.
void AddSpringForces(CSpring* const* springs, std::size_t count) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Stands in for missing ends; never written.
    static CParticle no_particle;
    const __m128 zero = _mm_setzero_ps();
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 ten = _mm_set1_ps(10.0f);
    const __m128 eps = _mm_set1_ps(1e-6f);
    const __m128 sign = _mm_set1_ps(-0.0f);
    for (; i + 4 <= count; i += 4) {
        CParticle* p1[4];
        CParticle* p2[4];
        const CSpring* s[4];
        int usable = 0;
        for (int j = 0; j < 4; ++j) {
            s[j] = springs[i + static_cast<std::size_t>(j)];
            p1[j] = s[j]->get_particle1();
            p2[j] = s[j]->get_particle2();
            if (p1[j] && p2[j]) {
                usable |= 1 << j;
            } else {
                p1[j] = p2[j] = &no_particle;
            }
        }
        const __m128 dx = _mm_sub_ps(Lanes([&](int j) { return p2[j]->position.x; }),
                                     Lanes([&](int j) { return p1[j]->position.x; }));
        const __m128 dy = _mm_sub_ps(Lanes([&](int j) { return p2[j]->position.y; }),
                                     Lanes([&](int j) { return p1[j]->position.y; }));
        const __m128 dz = _mm_sub_ps(Lanes([&](int j) { return p2[j]->position.z; }),
                                     Lanes([&](int j) { return p1[j]->position.z; }));
        const __m128 w =
            _mm_add_ps(Lanes([&](int j) { return p1[j]->mass_inv; }), Lanes([&](int j) { return p2[j]->mass_inv; }));
        const __m128 len2 =
            _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), zero), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz));
        const __m128 rest = Lanes([&](int j) { return s[j]->get_default_length(); });
        const __m128 too_small =
            _mm_or_ps(_mm_or_ps(_mm_cmplt_ps(w, eps), _mm_cmplt_ps(len2, eps)), _mm_cmplt_ps(rest, eps));
        const int adds = usable & ~_mm_movemask_ps(too_small);
        if (adds == 0) continue;
        const __m128 len = _mm_sqrt_ps(len2);  // the double square root rounded to float
        const __m128 inv = _mm_div_ps(one, len);
        const __m128 nx = _mm_mul_ps(dx, inv);
        const __m128 ny = _mm_mul_ps(dy, inv);
        const __m128 nz = _mm_mul_ps(dz, inv);
        const __m128 x = _mm_sub_ps(rest, len);
        const __m128 f = _mm_add_ps(_mm_mul_ps(_mm_andnot_ps(sign, _mm_div_ps(x, rest)), ten), one);
        const __m128 fs = _mm_mul_ps(_mm_mul_ps(f, x), Lanes([&](int j) { return s[j]->get_spring_constant(); }));
        const __m128 vx = _mm_sub_ps(Lanes([&](int j) { return p1[j]->velocity.x; }),
                                     Lanes([&](int j) { return p2[j]->velocity.x; }));
        const __m128 vy = _mm_sub_ps(Lanes([&](int j) { return p1[j]->velocity.y; }),
                                     Lanes([&](int j) { return p2[j]->velocity.y; }));
        const __m128 vz = _mm_sub_ps(Lanes([&](int j) { return p1[j]->velocity.z; }),
                                     Lanes([&](int j) { return p2[j]->velocity.z; }));
        const __m128 v =
            _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(vx, nx), zero), _mm_mul_ps(vy, ny)), _mm_mul_ps(vz, nz));
        const __m128 fd = _mm_mul_ps(Lanes([&](int j) { return s[j]->get_damping_constant(); }), v);
        const __m128 inv_w = _mm_div_ps(one, w);
        float fx[4], fy[4], fz[4];
        _mm_storeu_ps(fx, _mm_mul_ps(_mm_add_ps(_mm_mul_ps(fs, nx), _mm_mul_ps(fd, nx)), inv_w));
        _mm_storeu_ps(fy, _mm_mul_ps(_mm_add_ps(_mm_mul_ps(fs, ny), _mm_mul_ps(fd, ny)), inv_w));
        _mm_storeu_ps(fz, _mm_mul_ps(_mm_add_ps(_mm_mul_ps(fs, nz), _mm_mul_ps(fd, nz)), inv_w));
        for (int j = 0; j < 4; ++j) {
            if (!(adds & (1 << j))) continue;
            CParticle& a = *p1[j];
            CParticle& b = *p2[j];
            a.force.x = a.force.x - fx[j];
            a.force.y = a.force.y - fy[j];
            a.force.z = a.force.z - fz[j];
            b.force.x = b.force.x + fx[j];
            b.force.y = b.force.y + fy[j];
            b.force.z = b.force.z + fz[j];
        }
    }
#endif
    for (; i < count; ++i) {
        const CSpring& s = *springs[i];
        if (s.get_particle1() && s.get_particle2()) s.calculate_forces();
    }
}

}  // namespace

CInterconnectedParticleCollection::CInterconnectedParticleCollection() = default;

CInterconnectedParticleCollection::CInterconnectedParticleCollection(const CInterconnectedParticleCollection& other)
    : IPhysObject(other), CParticleCollection() {
    assign_interconnected_particle_collection(other);
}

CInterconnectedParticleCollection& CInterconnectedParticleCollection::operator=(
    const CInterconnectedParticleCollection& other) {
    if (this == &other) return *this;
    clear();
    assign_interconnected_particle_collection(other);
    return *this;
}

CInterconnectedParticleCollection::~CInterconnectedParticleCollection() { CInterconnectedParticleCollection::clear(); }

void CInterconnectedParticleCollection::clear() {
    springs_.clear();
    spring_storage_.clear();
    appended_.clear();
    if (work_size_ != 0) {
        s0_ = std::vector<float>();
        k1_ = std::vector<float>();
        k2_ = std::vector<float>();
        k3_ = std::vector<float>();
        k4_ = std::vector<float>();
        work_size_ = 0;
    }
    particle_forces_.clear();
    CParticleCollection::clear();
}

int CInterconnectedParticleCollection::create_particles(int n) {
    const int first = CParticleCollection::create_particles(n);
    particle_forces_.resize(static_cast<std::size_t>(num_particles()), vector3(0.0f, 0.0f, 0.0f));
    return first;
}

int CInterconnectedParticleCollection::create_springs(int n) {
    if (n < 1) return -1;
    const int first = num_springs();
    springs_.reserve(springs_.size() + static_cast<std::size_t>(n));
    CSpring* s = spring_storage_.add(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) springs_.push_back(s + i);
    tuples_.resize(springs_.size());
    return first;
}

void CInterconnectedParticleCollection::set_spring(int index, int a, int b, float default_length,
                                                   float spring_constant, float damping_constant) {
    Index2& t = tuples_[static_cast<std::size_t>(index)];
    t.first = a;
    t.second = b;
    CSpring& s = *springs_[static_cast<std::size_t>(index)];
    s.connect_particles(particle(a), particle(b));
    s.set_default_length(default_length);
    s.set_spring_constant(spring_constant);
    s.set_damping_constant(damping_constant);
}

void CInterconnectedParticleCollection::delete_springs() {
    springs_.clear();
    spring_storage_.clear();
}

CInterconnectedParticleCollection::AppendedSpringIterator CInterconnectedParticleCollection::append_spring(
    int i, CParticle* other, float default_length, float spring_constant, float damping_constant) {
    appended_.emplace_back(default_length, spring_constant, damping_constant, particle(i), other);
    return std::prev(appended_.end());
}

void CInterconnectedParticleCollection::remove_appended_spring(AppendedSpringIterator it) {
    if (!appended_.empty()) appended_.erase(it);
}

void CInterconnectedParticleCollection::delete_appended_springs() { appended_.clear(); }

void CInterconnectedParticleCollection::particle_apply_force(int i, const vector3& f) {
    particle_forces_[static_cast<std::size_t>(i)] += f;
}

void CInterconnectedParticleCollection::reorder_particles(const std::vector<int>& order) {
    std::vector<CParticle*>& storage = particle_storage();
    const std::vector<CParticle*> old(storage.begin(), storage.begin() + static_cast<std::ptrdiff_t>(order.size()));
    for (std::size_t i = 0; i < order.size(); ++i) storage[static_cast<std::size_t>(order[i])] = old[i];
    const int size = static_cast<int>(order.size());
    for (Index2& t : tuples_) {
        if (t.first >= 0 && t.first < size) t.first = order[static_cast<std::size_t>(t.first)];
        if (t.second >= 0 && t.second < size) t.second = order[static_cast<std::size_t>(t.second)];
    }
}

void CInterconnectedParticleCollection::calculate_forces() {
    const vector3& applied = applied_force();
    const int n = num_particles();
    for (int i = 0; i < n; ++i) {
        const vector3& pf = particle_forces_[static_cast<std::size_t>(i)];
        particle(i)->force = vector3(applied.x + pf.x, applied.y + pf.y, applied.z + pf.z);
    }
    // A spring whose ends were never set adds nothing.
    AddSpringForces(springs_.data(), springs_.size());
    for (const CSpring& s : appended_) {
        if (s.get_particle1() && s.get_particle2()) s.calculate_forces();
    }
}

void CInterconnectedParticleCollection::update_frame(double dt) {
    const int n = num_particles();
    if (work_size_ != n) {
        const std::size_t len = static_cast<std::size_t>(n) * 6;
        s0_.assign(len, 0.0f);
        k1_.assign(len, 0.0f);
        k2_.assign(len, 0.0f);
        k3_.assign(len, 0.0f);
        k4_.assign(len, 0.0f);
        work_size_ = n;
    }
    const int m = n * 6;
    const double h = dt * 0.5;
    const double q = h * 0.5;
    const float w = static_cast<float>(h / 6.0);

    for (int half = 0; half < 2; ++half) {
        particles_to_state_array(s0_.data());

        calculate_forces();
        CParticleCollection::update_frame(q);
        CopyVector(k1_.data(), deriv_array(), m);

        calculate_forces();
        CParticleCollection::update_frame(q);
        CopyVector(k2_.data(), deriv_array(), m);

        calculate_forces();
        CParticleCollection::update_frame(h);
        CopyVector(k3_.data(), deriv_array(), m);

        calculate_forces();
        particles_to_deriv_array(k4_.data());

        AddScaledVector(k1_.data(), k1_.data(), k2_.data(), 2.0f, m);
        AddScaledVector(k1_.data(), k1_.data(), k3_.data(), 2.0f, m);
        AddScaledVector(k1_.data(), k1_.data(), k4_.data(), 1.0f, m);

        ClampTriples(k1_.data(), m, 1000.0f);
        if (m > 3) ClampTriples(k1_.data() + 3, m - 3, 100000.0f);

        AddScaledVector(state_array(), s0_.data(), k1_.data(), w, m);
        state_array_to_particles(state_array());
    }

    for (vector3& f : particle_forces_) f = vector3(0.0f, 0.0f, 0.0f);
}

void CInterconnectedParticleCollection::assign_interconnected_particle_collection(
    const CInterconnectedParticleCollection& other) {
    const int n = other.num_particles();
    const int first = create_particles(n);
    if (first >= 0) {
        for (int i = 0; i < n; ++i) {
            *particle(first + i) = *other.particle(i);
            // A particle stuck in the source has inverse mass 0 there, and its
            // sticky state is not copied: take its real inverse mass, or the
            // copy would stay pinned for good.
            particle(first + i)->mass_inv = other.particle_real_mass_inv(i);
        }
    }
    const int s = other.num_springs();
    const int first_spring = create_springs(s);
    if (first_spring < 0) return;
    const int count = num_particles();
    for (int i = 0; i < s; ++i) {
        const Index2& t = *other.spring_particle_index_tupel(i);
        const CSpring& src = *other.spring(i);
        const int index = first_spring + i;
        if (t.first >= 0 && t.first < count && t.second >= 0 && t.second < count) {
            set_spring(index, t.first, t.second, src.get_default_length(), src.get_spring_constant(),
                       src.get_damping_constant());
        } else {
            // Ends that name no particle stay unset, as in the source.
            Index2& own = tuples_[static_cast<std::size_t>(index)];
            own = t;
            springs_[static_cast<std::size_t>(index)]->set_default_length(src.get_default_length());
            springs_[static_cast<std::size_t>(index)]->set_spring_constant(src.get_spring_constant());
            springs_[static_cast<std::size_t>(index)]->set_damping_constant(src.get_damping_constant());
        }
    }
}

}  // namespace vo

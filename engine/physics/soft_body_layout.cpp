// The operations of SoftBody that work on its point layout rather than on its
// dynamics: placing the helper points and ordering the border.

#include <cmath>

#include "engine/core/least_squares_cg.h"
#include "engine/physics/soft_body.h"

namespace vo {

void SoftBody::optimize(float weight, float tolerance, int max_iterations) {
    if (num_helper_ == 0) return;
    const int p = particles_.num_particles();
    const int c = num_null_connections();
    const int n = num_points();
    if (helper_solve_dirty_) {
        helper_solve_dirty_ = false;
        solve_matrix_.create(p + c, n, 2);
        for (int i = 0; i < p; ++i) solve_matrix_.set(i, i, 1.0f);
        for (int j = 0; j < c; ++j) {
            const NullConnection& nc = null_connections_[static_cast<std::size_t>(j)];
            // A connection naming no point leaves its row empty.
            if (nc.a < 0 || nc.a >= n || nc.b < 0 || nc.b >= n) continue;
            solve_matrix_.set(p + j, nc.a, -weight);
            solve_matrix_.set(p + j, nc.b, weight);
        }
        solve_x_.resize(static_cast<std::size_t>(n), 0.0f);
        solve_b_.resize(static_cast<std::size_t>(p + c), 0.0f);
    }
    const int rows = static_cast<int>(solve_b_.size());
    const int cols = static_cast<int>(solve_x_.size());
    float* x = solve_x_.data();
    float* b = solve_b_.data();

    for (int i = 0; i < p; ++i) x[i] = b[i] = particles_.particle(i)->position.x;
    for (int i = p; i < n; ++i) x[i] = points_[static_cast<std::size_t>(i)].x;
    for (int r = p; r < p + c; ++r) b[r] = 0.0f;
    SolveLeastSquaresCG(solve_matrix_, x, b, max_iterations, rows, cols, tolerance);

    for (int i = 0; i < p; ++i) x[i] = b[i] = particles_.particle(i)->position.y;
    for (int i = p; i < n; ++i) {
        points_[static_cast<std::size_t>(i)].x = x[i];
        x[i] = points_[static_cast<std::size_t>(i)].y;
    }
    SolveLeastSquaresCG(solve_matrix_, x, b, max_iterations, rows, cols, tolerance);

    for (int i = p; i < n; ++i) points_[static_cast<std::size_t>(i)].y = x[i];
}

bool SoftBody::sort_boundary_points_clockwise() {
    const int border = num_border_;
    if (border < 2) return false;

    auto pos = [this](int i) -> const vector3& { return particles_.particle(i)->position; };

    // Start: the topmost border point; ties go to the one nearest the
    // vertical axis, then to the one on the negative side.
    int start = 0;
    for (int i = 1; i < border; ++i) {
        const vector3& p = pos(i);
        const vector3& s = pos(start);
        if (p.y > s.y) {
            start = i;
        } else if (p.y == s.y) {
            const float ap = std::fabs(p.x);
            const float as = std::fabs(s.x);
            if (ap < as || (ap == as && p.x < s.x)) start = i;
        }
    }

    std::vector<int> new_index(static_cast<std::size_t>(border), -1);
    new_index[static_cast<std::size_t>(start)] = 0;
    int count = 1;
    int current = start;
    vector3 direction(1.0f, 0.0f, 0.0f);

    std::vector<int> candidates;
    std::vector<int> filtered;
    const std::size_t num_corners = triangles_.size() / 3 * 3;

    while (count < border) {
        candidates.clear();
        for (std::size_t t = 0; t < num_corners; t += 3) {
            for (int k = 0; k < 3; ++k) {
                if (triangles_[t + static_cast<std::size_t>(k)] != current) continue;
                for (int m = 1; m <= 2; ++m) {
                    const int q = triangles_[t + static_cast<std::size_t>((k + m) % 3)];
                    if (q >= 0 && q < border && new_index[static_cast<std::size_t>(q)] == -1) candidates.push_back(q);
                }
            }
        }

        const vector3 c = pos(current);
        filtered.clear();
        int accepted = -1;
        for (int pass = 0; pass < 3 && accepted < 0; ++pass) {
            for (int q : candidates) {
                const vector3& pq = pos(q);
                const float ahead = (((pq.x - c.x) * direction.x + 0.0f) + (pq.y - c.y) * direction.y) +
                                    (pq.z - c.z) * direction.z;
                if (ahead > 0.0f) filtered.push_back(q);
            }
            for (std::size_t j = 0; j < filtered.size() && accepted < 0; ++j) {
                const vector3& pj = pos(filtered[j]);
                const float nx = -(pj.y - c.y);
                const float ny = pj.x - c.x;
                const float nz = pj.z - c.z;
                bool outermost = true;
                for (std::size_t k = 0; k < filtered.size() && outermost; ++k) {
                    if (k == j) continue;
                    const vector3& pk = pos(filtered[k]);
                    const float side = (((pk.x - c.x) * nx + 0.0f) + (pk.y - c.y) * ny) + (pk.z - c.z) * nz;
                    if (!(side <= 0.0f)) outermost = false;
                }
                if (outermost) accepted = filtered[j];
            }
            if (accepted < 0) {
                // A quarter turn clockwise; the filtered list is kept.
                direction = vector3(direction.y, -direction.x, direction.z);
            }
        }
        if (accepted < 0) return false;

        new_index[static_cast<std::size_t>(accepted)] = count;
        ++count;
        const vector3& pa = pos(accepted);
        float dx = pa.x - c.x;
        float dy = pa.y - c.y;
        float dz = pa.z - c.z;
        const float len2 = ((dx * dx + 0.0f) + dy * dy) + dz * dz;
        const float len = static_cast<float>(std::sqrt(static_cast<double>(len2)));
        if (len > 0.0f) {
            const float inv = 1.0f / len;
            dx = dx * inv;
            dy = dy * inv;
            dz = dz * inv;
        }
        direction = vector3(-dy, dx, dz);
        current = accepted;
    }

    auto renumber = [&](int& e) {
        if (e >= 0 && e < border) e = new_index[static_cast<std::size_t>(e)];
    };
    for (int& e : triangles_) renumber(e);
    for (NullConnection& nc : null_connections_) {
        renumber(nc.a);
        renumber(nc.b);
    }
    particles_.reorder_particles(new_index);
    const std::vector<vector2> old_uvs = uvs_;
    const std::vector<vector3> old_points = points_;
    for (int i = 0; i < border; ++i) {
        const std::size_t to = static_cast<std::size_t>(new_index[static_cast<std::size_t>(i)]);
        uvs_[to] = old_uvs[static_cast<std::size_t>(i)];
        points_[to] = old_points[static_cast<std::size_t>(i)];
    }
    helper_solve_dirty_ = true;
    return true;
}

}  // namespace vo

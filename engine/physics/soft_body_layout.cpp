// The operations of SoftBody that work on its point layout rather than on its
// dynamics: placing the helper points and ordering the border.

#include "engine/core/least_squares_cg.h"
#include "engine/physics/border_order.h"
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
    std::vector<vector3> positions(static_cast<std::size_t>(border));
    for (int i = 0; i < border; ++i) positions[static_cast<std::size_t>(i)] = particles_.particle(i)->position;
    std::vector<int> new_index;
    if (!ClockwiseBorderOrder(positions.data(), border, triangles_, new_index)) return false;

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

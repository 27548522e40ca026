#include "engine/core/least_squares_cg.h"

#include <cmath>
#include <vector>

#include "engine/core/sparse_matrix.h"
#include "engine/core/vector_kernels.h"

namespace vo {

namespace {

struct WorkVectors {
    std::vector<float> r, p, q, t;
};

WorkVectors& Work() {
    static WorkVectors work;
    return work;
}

void GrowTo(std::vector<float>& v, int n) {
    if (n > 0 && v.size() < static_cast<std::size_t>(n)) v.resize(static_cast<std::size_t>(n), 0.0f);
}

}  // namespace

void SolveLeastSquaresCG(SparseMatrix& A, float* x, float* b, int max_iterations, int rows, int cols,
                         float tolerance) {
    WorkVectors& w = Work();
    GrowTo(w.r, cols);
    GrowTo(w.p, cols);
    GrowTo(w.q, cols);
    GrowTo(w.t, rows);
    float* r = w.r.data();
    float* p = w.p.data();
    float* q = w.q.data();
    float* t = w.t.data();

    // r = A^T b - A^T A x, the residual of the normal equations.
    A.vmultT(p, b);
    A.vmult(t, x);
    A.vmultT(r, t);
    SubtractVectors(r, p, r, cols);

    float rr_previous = 0.0f;
    for (int k = 0; k < max_iterations; ++k) {
        float const rr = DotProduct(r, r, cols);
        if (tolerance > rr) break;

        if (k == 0) {
            CopyVector(p, r, cols);
        } else {
            AddScaledVector(p, r, p, rr / rr_previous, cols);
        }

        A.vmult(t, p);
        A.vmultT(q, t);
        float const pq = DotProduct(p, q, cols);
        // p . A^T A p is a squared length: zero means p vanished (x already
        // solves the system), anything else non-positive or non-finite is
        // round-off gone wrong. Either way another step would spoil x.
        if (!(pq > 0.0f) || !std::isfinite(pq)) break;
        float const alpha = static_cast<float>(static_cast<double>(rr) / static_cast<double>(pq));

        AddScaledVector(x, x, p, alpha, cols);
        SubtractScaledVector(r, r, q, alpha, cols);
        rr_previous = rr;
    }
}

}  // namespace vo

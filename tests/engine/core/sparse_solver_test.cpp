#include "engine/core/least_squares_cg.h"
#include "engine/core/sparse_matrix.h"
#include "engine/core/vector_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "support/engine/allocation_counter.h"

namespace {

using vo::SparseMatrix;

TEST(SparseMatrix, DuplicateSetAddsUpInProductsButGetReturnsTheFirst) {
    SparseMatrix m;
    m.create(2, 3, 2);
    EXPECT_EQ(m.get(1, 2), 0.0f);
    EXPECT_TRUE(m.set(1, 2, 5.0f));
    EXPECT_EQ(m.get(1, 2), 5.0f);
    EXPECT_TRUE(m.set(1, 2, 7.0f));
    EXPECT_EQ(m.get(1, 2), 5.0f);
    float in[3] = {0.0f, 0.0f, 1.0f};
    float out[2] = {-1.0f, -1.0f};
    m.vmult(out, in);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 12.0f);
    // The row is full now: a third entry is dropped.
    EXPECT_FALSE(m.set(1, 0, 3.0f));
    EXPECT_EQ(m.get(1, 0), 0.0f);
}

TEST(SparseMatrix, TransposedProductZeroFillsEmptyColumns) {
    SparseMatrix m;
    m.create(2, 3, 2);
    m.set(0, 0, 2.0f);
    m.set(1, 0, 3.0f);
    m.set(1, 2, 4.0f);
    float in[2] = {1.0f, 10.0f};
    float out[3] = {-1.0f, -1.0f, -1.0f};
    m.vmultT(out, in);
    EXPECT_EQ(out[0], 32.0f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(out[2], 40.0f);
}

TEST(SparseMatrix, ClearEntriesKeepsTheShapeAndClearEmptiesIt) {
    SparseMatrix m;
    m.create(3, 4, 2);
    m.set(2, 3, 1.0f);
    m.clear_entries();
    EXPECT_EQ(m.get(2, 3), 0.0f);
    EXPECT_EQ(m.slot_count(), 6);
    EXPECT_TRUE(m.set(2, 3, 1.0f));
    m.clear();
    m.clear();
    EXPECT_EQ(m.rows(), 0);
    EXPECT_EQ(m.cols(), 0);
    EXPECT_EQ(m.slot_count(), 0);
    m.create(1, 1, 1);  // usable again
    m.set(0, 0, 2.0f);
    EXPECT_EQ(m.get(0, 0), 2.0f);
}

TEST(VectorKernels, ComputeInPlace) {
    float a[3] = {1.0f, 2.0f, 3.0f};
    float b[3] = {4.0f, 5.0f, 6.0f};
    EXPECT_EQ(vo::DotProduct(a, b, 3), 32.0f);
    vo::AddScaledVector(a, a, b, 0.5f, 3);  // a = b * 0.5 + a
    EXPECT_EQ(a[2], 6.0f);
    vo::SubtractScaledVector(a, a, b, 0.5f, 3);
    EXPECT_EQ(a[1], 2.0f);
    vo::SubtractVectors(b, b, a, 3);
    EXPECT_EQ(b[0], 3.0f);
    vo::CopyVector(a, b, 3);
    EXPECT_EQ(a[2], 3.0f);
}

// Least-squares reference in double: solve A^T A x = A^T b by Gaussian
// elimination with partial pivoting on the dense normal equations.
std::vector<double> DenseLeastSquares(std::vector<std::vector<double>> const& A, std::vector<double> const& b) {
    std::size_t const rows = A.size(), cols = A[0].size();
    std::vector<std::vector<double>> M(cols, std::vector<double>(cols + 1, 0.0));
    for (std::size_t i = 0; i < cols; ++i) {
        for (std::size_t j = 0; j < cols; ++j)
            for (std::size_t r = 0; r < rows; ++r) M[i][j] += A[r][i] * A[r][j];
        for (std::size_t r = 0; r < rows; ++r) M[i][cols] += A[r][i] * b[r];
    }
    for (std::size_t c = 0; c < cols; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < cols; ++r)
            if (std::fabs(M[r][c]) > std::fabs(M[pivot][c])) pivot = r;
        std::swap(M[c], M[pivot]);
        for (std::size_t r = 0; r < cols; ++r) {
            if (r == c) continue;
            double const f = M[r][c] / M[c][c];
            for (std::size_t k = c; k <= cols; ++k) M[r][k] -= f * M[c][k];
        }
    }
    std::vector<double> x(cols);
    for (std::size_t c = 0; c < cols; ++c) x[c] = M[c][cols] / M[c][c];
    return x;
}

// A random over-determined problem shaped like the helper-point solve: a few
// entries per row plus a weighted row per unknown that keeps it well posed.
struct Problem {
    SparseMatrix A;
    std::vector<std::vector<double>> dense;
    std::vector<float> b;
    int rows = 0, cols = 0;

    Problem(std::mt19937& rng, int cols_) : cols(cols_) {
        std::uniform_real_distribution<float> value(-1.0f, 1.0f);
        std::uniform_int_distribution<int> column(0, cols - 1);
        int const equations = 2 * cols;
        rows = equations + cols;
        A.create(rows, cols, 3);
        dense.assign(static_cast<std::size_t>(rows), std::vector<double>(static_cast<std::size_t>(cols), 0.0));
        for (int r = 0; r < equations; ++r) {
            for (int k = 0; k < 3; ++k) {
                int const c = column(rng);
                float const v = value(rng);
                A.set(r, c, v);
                dense[r][c] += v;  // duplicates add up, as in the products
            }
        }
        for (int c = 0; c < cols; ++c) {
            A.set(equations + c, c, 0.5f);
            dense[equations + c][c] = 0.5;
        }
        for (int r = 0; r < rows; ++r) b.push_back(value(rng) * 10.0f);
    }
};

TEST(SolveLeastSquaresCG, AgreesWithADenseReference) {
    std::mt19937 rng(12345);
    for (int trial = 0; trial < 20; ++trial) {
        Problem pr(rng, 2 + trial % 7);
        std::vector<double> bd(pr.b.begin(), pr.b.end());
        std::vector<double> const expected = DenseLeastSquares(pr.dense, bd);
        std::vector<float> x(static_cast<std::size_t>(pr.cols), 0.0f);
        vo::SolveLeastSquaresCG(pr.A, x.data(), pr.b.data(), 10 * pr.cols, pr.rows, pr.cols, 1e-9f);
        for (int c = 0; c < pr.cols; ++c)
            EXPECT_NEAR(x[c], expected[c], 1e-3 * (1.0 + std::fabs(expected[c]))) << "trial " << trial;
    }
}

TEST(SolveLeastSquaresCG, StopsAtOnceOnAnExactSolution) {
    SparseMatrix A;
    A.create(2, 2, 1);
    A.set(0, 0, 2.0f);
    A.set(1, 1, 4.0f);
    float b[2] = {2.0f, 8.0f};
    float x[2] = {1.0f, 2.0f};
    vo::SolveLeastSquaresCG(A, x, b, 10, 2, 2, 1e-6f);
    EXPECT_EQ(x[0], 1.0f);
    EXPECT_EQ(x[1], 2.0f);
    // With no tolerance the exact solution makes p vanish: the solver must
    // stop instead of dividing 0 by 0.
    vo::SolveLeastSquaresCG(A, x, b, 10, 2, 2, 0.0f);
    vo::SolveLeastSquaresCG(A, x, b, 10, 2, 2, -1.0f);
    EXPECT_EQ(x[0], 1.0f);
    EXPECT_EQ(x[1], 2.0f);
}

TEST(SolveLeastSquaresCG, OneIterationMovesAlongTheResidual) {
    SparseMatrix A;
    A.create(2, 2, 1);
    A.set(0, 0, 1.0f);
    A.set(1, 1, 2.0f);
    float b[2] = {1.0f, 1.0f};
    float x[2] = {0.0f, 0.0f};
    // r = A^T b = (1, 2); q = A^T A r = (1, 8); alpha = 5 / 17.
    vo::SolveLeastSquaresCG(A, x, b, 1, 2, 2, 1e-6f);
    float const alpha = static_cast<float>(5.0 / 17.0);
    EXPECT_EQ(x[0], 1.0f * alpha);
    EXPECT_EQ(x[1], 2.0f * alpha);
    // No iterations: x stays.
    float y[2] = {3.0f, 4.0f};
    vo::SolveLeastSquaresCG(A, y, b, 0, 2, 2, 1e-6f);
    EXPECT_EQ(y[0], 3.0f);
    EXPECT_EQ(y[1], 4.0f);
}

TEST(SolveLeastSquaresCG, NeverWritesNaNIntoX) {
    // A zero column: its unknown receives no information.
    SparseMatrix A;
    A.create(2, 2, 1);
    A.set(0, 0, 1.0f);
    float b[2] = {1.0f, 1.0f};
    float x[2] = {0.0f, 0.0f};
    vo::SolveLeastSquaresCG(A, x, b, 50, 2, 2, 0.0f);
    EXPECT_FLOAT_EQ(x[0], 1.0f);
    EXPECT_EQ(x[1], 0.0f);
}

TEST(SolveLeastSquaresCG, AllocatesNothingAfterWarmUp) {
    std::mt19937 rng(7);
    Problem big(rng, 30), small(rng, 5);
    std::vector<float> xb(30, 0.0f), xs(5, 0.0f);
    vo::SolveLeastSquaresCG(big.A, xb.data(), big.b.data(), 10, big.rows, big.cols, 1e-6f);
    {
        vo_test::AllocationScope probe;  // the counter is in place
        ::operator delete(::operator new(16));
        ASSERT_EQ(probe.count(), 1u);
    }
    vo_test::AllocationScope scope;
    for (int i = 0; i < 5; ++i) {
        vo::SolveLeastSquaresCG(small.A, xs.data(), small.b.data(), 10, small.rows, small.cols, 1e-6f);
        vo::SolveLeastSquaresCG(big.A, xb.data(), big.b.data(), 10, big.rows, big.cols, 1e-6f);
    }
    EXPECT_EQ(scope.count(), 0u);
}

}  // namespace

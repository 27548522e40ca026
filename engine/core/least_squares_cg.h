#pragma once

namespace vo {

class SparseMatrix;

// Improves x (cols elements, in and out) towards the least-squares solution
// of A x = b (b has rows elements) with the conjugate-gradient method on the
// normal equations A^T A x = A^T b, for at most max_iterations steps. It
// stops early once the squared normal-equations residual falls below
// tolerance, and when the search direction stops being a descent direction
// (p . A^T A p not positive or not finite), so x never turns into NaN.
//
// rows and cols are A's own sizes. The work vectors are shared by all calls
// and grow to the largest size in use: the solver is not reentrant, and no
// allocation happens once the sizes in use have been seen.
void SolveLeastSquaresCG(SparseMatrix& A, float* x, float* b, int max_iterations, int rows, int cols,
                         float tolerance);

}  // namespace vo

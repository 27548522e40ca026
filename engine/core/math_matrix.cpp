#include "engine/core/math_matrix.h"

#include <iomanip>
#include <ostream>
#include <type_traits>

namespace vo {

static_assert(sizeof(MathMatrix<4, 4, float>) == 16 * sizeof(float), "a 4x4 matrix is 16 packed floats");
static_assert(std::is_trivially_copyable<MathMatrix<4, 4, float>>::value, "matrices are plain values");

namespace {

template <unsigned int R, unsigned int C>
std::ostream& WriteMatrix(std::ostream& os, const MathMatrix<R, C, float>& mat) {
    os << std::setprecision(8) << std::scientific;
    for (unsigned int r = 0; r < R; ++r) {
        os << "|";
        for (unsigned int c = 0; c < C; ++c) os << std::setw(15) << mat(r, c);
        os << " |" << std::endl;
    }
    return os;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const MathMatrix<2, 2, float>& mat) { return WriteMatrix(os, mat); }
std::ostream& operator<<(std::ostream& os, const MathMatrix<2, 3, float>& mat) { return WriteMatrix(os, mat); }
std::ostream& operator<<(std::ostream& os, const MathMatrix<3, 2, float>& mat) { return WriteMatrix(os, mat); }
std::ostream& operator<<(std::ostream& os, const MathMatrix<3, 3, float>& mat) { return WriteMatrix(os, mat); }

}  // namespace vo

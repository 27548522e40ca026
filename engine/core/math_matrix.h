#pragma once

#include <iosfwd>

namespace vo {

// Fixed-size R x C matrix stored row after row: element (r, c) is at index
// r * C + c. A 4x4 transformation keeps its translation in elements 12, 13
// and 14, the layout the back end's matrix calls take as they are.
// Default: all elements zero.
template <unsigned int R, unsigned int C, class T = float>
class MathMatrix {
public:
    static constexpr unsigned int ROWS = R;
    static constexpr unsigned int COLS = C;
    static constexpr unsigned int NUM_ELEMENTS = R * C;

    MathMatrix() : m() {}

    // 1 on the diagonal, 0 elsewhere.
    static MathMatrix identity() {
        MathMatrix result;
        for (unsigned int i = 0; i < R && i < C; ++i) result.m[i * C + i] = T(1);
        return result;
    }
    void set_identity() { *this = identity(); }

    // Element by storage index.
    T& operator[](unsigned int i) { return m[i]; }
    const T& operator[](unsigned int i) const { return m[i]; }
    // Element (row, column).
    T& operator()(unsigned int row, unsigned int col) { return m[row * C + col]; }
    const T& operator()(unsigned int row, unsigned int col) const { return m[row * C + col]; }

    T* data() { return m; }
    const T* data() const { return m; }

    T m[R * C];
};

// P = A * B with P(r, c) = A(r, 0) * B(0, c) + A(r, 1) * B(1, c) + ...,
// summed left to right in that order.
template <unsigned int R, unsigned int K, unsigned int C, class T>
MathMatrix<R, C, T> operator*(const MathMatrix<R, K, T>& a, const MathMatrix<K, C, T>& b) {
    MathMatrix<R, C, T> p;
    for (unsigned int r = 0; r < R; ++r) {
        for (unsigned int c = 0; c < C; ++c) {
            T sum = a.m[r * K] * b.m[c];
            for (unsigned int k = 1; k < K; ++k) sum = sum + a.m[r * K + k] * b.m[k * C + c];
            p.m[r * C + c] = sum;
        }
    }
    return p;
}

// One line per row: "|", each element with precision 8, scientific notation
// and a field width of 15, then " |" and a line end; the stream is flushed.
// The stream keeps the precision 8 and the scientific format afterwards.
std::ostream& operator<<(std::ostream& os, const MathMatrix<2, 2, float>& mat);
std::ostream& operator<<(std::ostream& os, const MathMatrix<2, 3, float>& mat);
std::ostream& operator<<(std::ostream& os, const MathMatrix<3, 2, float>& mat);
std::ostream& operator<<(std::ostream& os, const MathMatrix<3, 3, float>& mat);

}  // namespace vo

#pragma once

#include <cstddef>

namespace mg {

// A small fixed-size vector of N values of T, stored packed (a
// MathVector<3, float> is 12 bytes): the value type of the grid library's
// position attachments. Default-constructed, every component is zero.
template <size_t N, class T = float>
class MathVector {
public:
    static_assert(N >= 1, "a MathVector has at least one component");
    using value_type = T;
    static constexpr size_t Size = N;

    MathVector() : m_data{} {}
    explicit MathVector(T x) : m_data{x} { static_assert(N == 1, "one component for N == 1"); }
    MathVector(T x, T y) : m_data{x, y} { static_assert(N == 2, "two components for N == 2"); }
    MathVector(T x, T y, T z) : m_data{x, y, z} { static_assert(N == 3, "three components for N == 3"); }

    T& operator[](size_t i) { return m_data[i]; }
    const T& operator[](size_t i) const { return m_data[i]; }

    T& x() { return m_data[0]; }
    const T& x() const { return m_data[0]; }
    T& y() { static_assert(N >= 2, "no y component"); return m_data[1]; }
    const T& y() const { static_assert(N >= 2, "no y component"); return m_data[1]; }
    T& z() { static_assert(N >= 3, "no z component"); return m_data[2]; }
    const T& z() const { static_assert(N >= 3, "no z component"); return m_data[2]; }

    static constexpr size_t size() { return N; }

    MathVector& operator+=(const MathVector& v)
    {
        for (size_t i = 0; i < N; ++i)
            m_data[i] += v.m_data[i];
        return *this;
    }
    MathVector& operator-=(const MathVector& v)
    {
        for (size_t i = 0; i < N; ++i)
            m_data[i] -= v.m_data[i];
        return *this;
    }
    MathVector& operator*=(T s)
    {
        for (size_t i = 0; i < N; ++i)
            m_data[i] *= s;
        return *this;
    }

    friend MathVector operator+(MathVector a, const MathVector& b) { return a += b; }
    friend MathVector operator-(MathVector a, const MathVector& b) { return a -= b; }
    friend MathVector operator*(MathVector a, T s) { return a *= s; }
    friend MathVector operator*(T s, MathVector a) { return a *= s; }

    friend bool operator==(const MathVector& a, const MathVector& b)
    {
        for (size_t i = 0; i < N; ++i)
            if (!(a.m_data[i] == b.m_data[i]))
                return false;
        return true;
    }
    friend bool operator!=(const MathVector& a, const MathVector& b) { return !(a == b); }

private:
    T m_data[N];
};

}  // namespace mg

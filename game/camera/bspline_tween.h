#pragma once

// A tween along a quadratic spline through four control values, for values
// that should not fly in a straight line (the camera's box). It runs in the
// engine's Tweener: the start carries P0 and P1, the end P2 and P3.

#include "engine/core/tweener.h"

namespace vo {

// The default spline blend for value types with arithmetic operators. Other
// value types provide an overload of their own (found by argument-dependent
// lookup), as OBox does.
template <class T>
T BSplineBlend(T const& p0, T const& p1, T const& p2, T const& p3, float t) {
    return p0 + (p2 - p0) * t + (p1 + p3) * (t - t * t);
}

// One end of a spline tween: the value there and the control value that
// bends the path (P1 at the start, P3 at the end).
template <class T>
struct SplineEnd {
    T value;
    T bend;
};

// Interpolation policy: with the start (P0, P1) and the end (P2, P3) the value
// at t is P0 + (P2 - P0) t + (P1 + P3)(t - t²). It starts at P0 and ends at P2;
// P1 and P3 bend the path in between (both count fully at t = 1/2).
template <class T>
struct BSplineTween {
    using value_type = SplineEnd<T>;
    static value_type interpolate(value_type const& from, value_type const& to, float t) {
        return value_type{BSplineBlend(from.value, from.bend, to.value, to.bend, t), to.bend};
    }
};

// Hands the value of a spline tween (not its control value) to a member
// function of the target taking T const&. Does nothing when the object or the
// method is null.
template <class T, class Class>
class SplineMethodCallback {
public:
    using value_type = SplineEnd<T>;
    using Method = void (Class::*)(T const&);

    SplineMethodCallback(Class* object = nullptr, Method method = nullptr) : object_(object), method_(method) {}

    void operator()(value_type const& v) const {
        if (object_ && method_) (object_->*method_)(v.value);
    }
    void const* object() const { return object_; }

private:
    Class* object_;
    Method method_;
};

}  // namespace vo

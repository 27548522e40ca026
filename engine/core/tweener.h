#pragma once

#include "engine/core/frame.h"

namespace vo {

// A running animation of one value of one object. Owned by a TweenMachine.
class ITweener {
public:
    virtual ~ITweener() {}
    virtual ITweener* clone() const = 0;
    // Advances by dt seconds and hands the new value to the target.
    virtual void update(double dt) = 0;
    virtual bool is_finished() const = 0;
    // Whether this tween writes into the given object.
    virtual bool has_target(void const* object) const = 0;
};

// Blend of two values with weight s on `to`: to*s + from*(1 - s). Value types
// without arithmetic operators provide an overload of their own (found by
// argument-dependent lookup), blending each component with the same s.
template <class T>
T TweenBlend(T const& from, T const& to, float s) {
    return to * s + from * (1.0f - s);
}

// Frames blend each of their four edges with the same weight.
inline Frame TweenBlend(Frame const& from, Frame const& to, float s) {
    float const r = 1.0f - s;
    return Frame(to.left() * s + from.left() * r, to.top() * s + from.top() * r, to.right() * s + from.right() * r,
                 to.bottom() * s + from.bottom() * r);
}

// Interpolation policies. A policy has no data; it maps the elapsed fraction
// t (0 < t < 1) of a tween to its value. Before the start a tween holds its
// start value and from its end on the end value, whatever the policy.
template <class T>
struct LinearTween {
    using value_type = T;
    static float weight(float t) { return t; }
    static T interpolate(T const& from, T const& to, float t) { return TweenBlend(from, to, weight(t)); }
};

template <class T>
struct SmoothTween {
    using value_type = T;
    // Smoothstep 3t^2 - 2t^3, grouped as (t*3)*t - ((t*2)*t)*t in float.
    static float weight(float t) {
        if (t > 1.0f) return 1.0f;
        if (t > 0.0f) return t * 3.0f * t - t * 2.0f * t * t;
        return 0.0f;
    }
    static T interpolate(T const& from, T const& to, float t) { return TweenBlend(from, to, weight(t)); }
};

// Callback that hands the value to a member function of the target, whose
// parameter is Param: the value by copy, or a reference to the tweener's own
// value field. Does nothing when the object or the method is null.
template <class T, class Class, class Param>
class TweenMemberCallback {
public:
    using value_type = T;
    using Method = void (Class::*)(Param);

    TweenMemberCallback(Class* object = nullptr, Method method = nullptr) : object_(object), method_(method) {}

    void operator()(T const& value) const {
        if (object_ && method_) (object_->*method_)(value);
    }
    void const* object() const { return object_; }

private:
    Class* object_;
    Method method_;
};

template <class T, class Class>
using TweenMethodCallback = TweenMemberCallback<T, Class, T>;

template <class T, class Class>
using TweenMethodCallbackConstRef = TweenMemberCallback<T, Class, T const&>;

// Animates a value from `from` to `to` over `duration` seconds with the
// policy Tween, writing every computed value through Callback. The callback
// runs at every update, also before the start and after the end.
template <class Tween, class Callback>
class Tweener : public ITweener {
public:
    using value_type = typename Callback::value_type;

    template <class Object, class Method>
    Tweener(double duration, value_type const& from, value_type const& to, Object* object, Method method)
        : duration_(duration), value_(from), from_(from), to_(to), callback_(object, method) {}

    Tweener(double duration, value_type const& from, value_type const& to, Callback const& callback)
        : duration_(duration), value_(from), from_(from), to_(to), callback_(callback) {}

    ITweener* clone() const override { return new Tweener(*this); }

    void update(double dt) override {
        elapsed_ += dt;
        if (elapsed_ <= 0.0) {
            value_ = from_;
        } else if (elapsed_ >= duration_) {
            value_ = to_;
        } else {
            value_ = Tween::interpolate(from_, to_, static_cast<float>(elapsed_ / duration_));
        }
        callback_(value_);
    }

    bool is_finished() const override { return elapsed_ >= duration_; }
    bool has_target(void const* object) const override { return callback_.object() == object; }

    double elapsed() const { return elapsed_; }
    double duration() const { return duration_; }
    value_type const& value() const { return value_; }
    value_type const& from() const { return from_; }
    value_type const& to() const { return to_; }

private:
    double elapsed_ = 0.0;
    double duration_;
    value_type value_;
    value_type from_;
    value_type to_;
    Callback callback_;
};

}  // namespace vo

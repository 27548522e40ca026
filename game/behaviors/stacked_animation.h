#pragma once

// Key-frame animations of a value over time: the game's own, used by the
// explosion's dissolving circle.

#include <cstddef>
#include <vector>

namespace vo {

// A value that changes over a span of time.
template <class T>
class IAnimation {
public:
    virtual ~IAnimation() {}
    // Seconds from the first key to the last.
    virtual double duration() const = 0;
    // Writes the value into out and answers true; false, leaving out alone,
    // when there is nothing to give. How the second argument is used is the
    // animation's own business.
    virtual bool evaluate(T& out, double time) = 0;
};

// An animation built key after key.
template <class T>
class IStackedAnimation {
public:
    virtual ~IStackedAnimation() {}
};

// Piecewise-linear key frames. The animation keeps its own clock (time),
// which its owner advances; evaluate reads the value at that time.
template <class T>
class StackedAnimation : public IStackedAnimation<T>, public IAnimation<T> {
public:
    StackedAnimation() = default;
    ~StackedAnimation() override {}

    // Back to time 0 without keys.
    void reset() {
        time = 0.0;
        key_times_.clear();
        key_values_.clear();
        duration_ = 0.0;
        segment_ = 0;
    }

    // Appends a key `step` seconds after the last one; the first key lies at
    // time 0 whatever the step.
    void add_key(const T& value, double step) {
        if (key_values_.empty()) {
            duration_ = 0.0;
            key_times_.push_back(0.0f);
        } else {
            duration_ += step;
            key_times_.push_back(static_cast<float>(duration_));
        }
        key_values_.push_back(value);
    }

    double duration() const override { return duration_; }

    // The value at the animation's own time: linear between the two keys
    // around it, the last value beyond the last key, the first before the
    // second. The second argument is not read.
    bool evaluate(T& out, double) override {
        const std::size_t n = key_values_.size();
        if (n == 0) return false;
        if (n == 1) {
            out = key_values_[0];
            return true;
        }
        const std::size_t i = find_segment(time);
        const double k0 = key_times_[i];
        const double k1 = key_times_[i + 1];
        float u = 0.0f;
        if (time >= k1) {
            u = 1.0f;
        } else if (time > k0 && k1 - k0 > 0.0) {
            u = static_cast<float>((time - k0) / (k1 - k0));
        }
        out = key_values_[i] * (1.0f - u) + key_values_[i + 1] * u;
        return true;
    }

    std::size_t num_keys() const { return key_values_.size(); }

    double time = 0.0;  // seconds; the owner advances it
    T value{};          // where the owner keeps the last evaluated value

private:
    // The segment holding t, searched from the one found last: the clock
    // usually moves a little at a time.
    std::size_t find_segment(double t) {
        std::size_t i = segment_;
        const std::size_t last = key_times_.size() - 2;
        if (i > last) i = last;
        while (i > 0 && key_times_[i] > t) --i;
        while (i < last && t >= key_times_[i + 1]) ++i;
        segment_ = i;
        return i;
    }

    std::vector<float> key_times_;
    std::vector<T> key_values_;
    double duration_ = 0.0;
    std::size_t segment_ = 0;
};

}  // namespace vo

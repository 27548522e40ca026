#pragma once

#include "engine/core/frame.h"
#include "engine/core/vector.h"

namespace vo {

// Maps frames between coordinate spaces: a scale and then an offset per axis,
// with optional rounding of the resulting edges to whole units (halves away
// from zero). Rounding applies to the frames produced, never to the stored
// scale and offset.
class FrameTransform {
public:
    // The identity, without or with rounding.
    FrameTransform() : FrameTransform(false) {}
    explicit FrameTransform(bool rounding);
    FrameTransform(const vector2& scale, const vector2& offset, bool rounding);
    // Maps `from` onto `to`: the centre of `from` goes to the centre of `to`
    // and its size to the size of `to`, never mirrored. A `from` with zero
    // height or width gives the identity.
    FrameTransform(const Frame& from, const Frame& to, bool rounding);

    const vector2& scale() const { return scale_; }
    const vector2& offset() const { return offset_; }
    void set_scale(const vector2& s) { scale_ = s; }
    void set_offset(const vector2& o) { offset_ = o; }
    void enable_rounding(bool on) { rounding_ = on; }
    bool rounding_enabled() const { return rounding_; }

    // edge * scale + offset per axis.
    Frame transform(const Frame& f) const;
    Frame operator*(const Frame& f) const { return transform(f); }
    // (edge - offset) / scale per axis. An axis whose scale has no finite
    // reciprocal (a zero scale collapses the axis) is passed through unchanged.
    Frame transform_inv(const Frame& f) const;

private:
    vector2 scale_;
    vector2 offset_;
    bool rounding_;
};

}  // namespace vo

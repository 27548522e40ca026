#include "engine/core/frame_transform.h"

#include <cmath>

namespace vo {

FrameTransform::FrameTransform(bool rounding) : scale_(1.0f, 1.0f), offset_(0.0f, 0.0f), rounding_(rounding) {}

FrameTransform::FrameTransform(const vector2& scale, const vector2& offset, bool rounding)
    : scale_(scale), offset_(offset), rounding_(rounding) {}

FrameTransform::FrameTransform(const Frame& from, const Frame& to, bool rounding)
    : scale_(1.0f, 1.0f), offset_(0.0f, 0.0f), rounding_(rounding) {
    if (from.height() == 0.0f || from.width() == 0.0f) return;
    scale_.x = to.width() / from.width();
    scale_.y = to.height() / from.height();
    offset_.x = (to.left() + to.right()) * 0.5f - (from.left() + from.right()) * 0.5f * scale_.x;
    offset_.y = (to.top() + to.bottom()) * 0.5f - (from.top() + from.bottom()) * 0.5f * scale_.y;
}

Frame FrameTransform::transform(const Frame& f) const {
    Frame out(f.left() * scale_.x + offset_.x, f.top() * scale_.y + offset_.y, f.right() * scale_.x + offset_.x,
              f.bottom() * scale_.y + offset_.y);
    if (rounding_) out.round();
    return out;
}

namespace {

// Sets inv = 1 / s and answers true when that reciprocal is finite; a zero
// (or subnormal) scale has none.
bool Reciprocal(float s, float& inv) {
    if (s == 0.0f) return false;
    inv = 1.0f / s;
    return std::isfinite(inv);
}

}  // namespace

Frame FrameTransform::transform_inv(const Frame& f) const {
    Frame out = f;
    float inv = 0.0f;
    if (Reciprocal(scale_.x, inv)) {
        out.set_left((f.left() - offset_.x) * inv);
        out.set_right((f.right() - offset_.x) * inv);
    }
    if (Reciprocal(scale_.y, inv)) {
        out.set_top((f.top() - offset_.y) * inv);
        out.set_bottom((f.bottom() - offset_.y) * inv);
    }
    if (rounding_) out.round();
    return out;
}

}  // namespace vo

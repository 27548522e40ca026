#include "engine/core/frame.h"

#include "engine/core/error.h"

#include <cmath>
#include <sstream>

namespace vo {

namespace {

[[noreturn]] void ThrowInvalidAxis(int axis) {
    std::ostringstream msg;
    msg << "Invalid frame coordinate specifed: " << axis;
    throw Error(msg.str());
}

}  // namespace

Frame Frame::from_center_and_dim(float cx, float cy, float width, float height) {
    return Frame(cx - width * 0.5f, cy - height * 0.5f, cx + width * 0.5f, cy + height * 0.5f);
}

float Frame::width() const { return std::fabs(right_ - left_); }

float Frame::height() const { return std::fabs(bottom_ - top_); }

float Frame::center(int axis) const {
    if (axis == 0) return (left_ + right_) * 0.5f;
    if (axis == 1) return (top_ + bottom_) * 0.5f;
    ThrowInvalidAxis(axis);
}

float Frame::min(int axis) const {
    if (axis == 0) return left_;
    if (axis == 1) return top_;
    ThrowInvalidAxis(axis);
}

float Frame::max(int axis) const {
    if (axis == 0) return right_;
    if (axis == 1) return bottom_;
    ThrowInvalidAxis(axis);
}

float Frame::coordinate(int axis, float t) const {
    if (axis == 0) return (1.0f - t) * left_ + t * right_;
    if (axis == 1) return (1.0f - t) * top_ + t * bottom_;
    ThrowInvalidAxis(axis);
}

vector2 Frame::coordinate(const vector2& t) const { return vector2(coordinate(0, t.x), coordinate(1, t.y)); }

void Frame::move(float dx, float dy) {
    left_ += dx;
    right_ += dx;
    top_ += dy;
    bottom_ += dy;
}

void Frame::move_to(float position, int axis, float anchor) {
    const float shift = position - coordinate(axis, anchor);  // throws before any change
    if (axis == 0)
        move(shift, 0.0f);
    else
        move(0.0f, shift);
}

void Frame::move_to(const vector2& position, const vector2& anchor) {
    const vector2 at = coordinate(anchor);
    move(position.x - at.x, position.y - at.y);
}

void Frame::grow(float dx, float dy) {
    left_ -= dx;
    right_ += dx;
    top_ -= dy;
    bottom_ += dy;
    if (left_ > right_) {
        const float mid = (left_ + right_) * 0.5f;
        left_ = mid;
        right_ = mid;
    }
    if (top_ > bottom_) {
        const float mid = (top_ + bottom_) * 0.5f;
        top_ = mid;
        bottom_ = mid;
    }
}

void Frame::scale(float sx, float sy) {
    left_ *= sx;
    right_ *= sx;
    top_ *= sy;
    bottom_ *= sy;
}

void Frame::scale(float sx, float sy, float ax, float ay) {
    const vector2 p = coordinate(vector2(ax, ay));
    left_ = (left_ - p.x) * sx + p.x;
    right_ = (right_ - p.x) * sx + p.x;
    top_ = (top_ - p.y) * sy + p.y;
    bottom_ = (bottom_ - p.y) * sy + p.y;
}

void Frame::scale_around_center(float sx, float sy) {
    const float cx = left_ * 0.5f + right_ * 0.5f;
    const float cy = top_ * 0.5f + bottom_ * 0.5f;
    left_ = (left_ - cx) * sx + cx;
    right_ = (right_ - cx) * sx + cx;
    top_ = (top_ - cy) * sy + cy;
    bottom_ = (bottom_ - cy) * sy + cy;
}

void Frame::round() {
    left_ = std::round(left_);
    right_ = std::round(right_);
    top_ = std::round(top_);
    bottom_ = std::round(bottom_);
}

void AlignFrames(std::vector<Frame>& frames, int axis, float anchor) {
    if (frames.size() < 2) return;
    const float p = frames[0].coordinate(axis, anchor);
    for (std::size_t i = 1; i < frames.size(); ++i) frames[i].move_to(p, axis, anchor);
}

void StackFrames(std::vector<Frame>& frames, int axis, float spacing) {
    for (std::size_t i = 1; i < frames.size(); ++i)
        frames[i].move_to(frames[i - 1].coordinate(axis, 1.0f) + spacing, axis, 0.0f);
}

Frame FrameUnion(const Frame& a, const Frame& b) {
    return Frame(b.left() < a.left() ? b.left() : a.left(), b.top() < a.top() ? b.top() : a.top(),
                 b.right() > a.right() ? b.right() : a.right(), b.bottom() > a.bottom() ? b.bottom() : a.bottom());
}

Frame BoundingFrame(const std::vector<Frame>& frames) {
    if (frames.empty()) return Frame(0.0f, 0.0f, 0.0f, 0.0f);
    Frame result = frames[0];
    for (std::size_t i = 1; i < frames.size(); ++i) result = FrameUnion(result, frames[i]);
    return result;
}

}  // namespace vo

#pragma once

#include "engine/core/rect.h"
#include "engine/core/vector.h"

#include <vector>

namespace vo {

// Axis-aligned rectangle of screen or texture layout, four edge values kept as
// given (nothing keeps left below right or top below bottom). The operations
// that tell the y edges apart follow the screen convention: top is the smaller
// y. Axis numbers are 0 (x) and 1 (y); a relative coordinate (anchor) is 0 at
// the left or top edge and 1 at the right or bottom edge.
//
// The operations taking an axis number throw Error for anything but 0 and 1,
// leaving the frame unchanged. Default: all edges zero.
class Frame {
public:
    Frame() : bottom_(0.0f), left_(0.0f), right_(0.0f), top_(0.0f) {}
    Frame(float left, float top, float right, float bottom)
        : bottom_(bottom), left_(left), right_(right), top_(top) {}
    // left = min.x, right = max.x, bottom = min.y, top = max.y.
    explicit Frame(const Rect& r) : bottom_(r.min().y), left_(r.min().x), right_(r.max().x), top_(r.max().y) {}

    static Frame from_center_and_dim(float cx, float cy, float width, float height);

    float left() const { return left_; }
    float right() const { return right_; }
    float top() const { return top_; }
    float bottom() const { return bottom_; }
    void set_left(float v) { left_ = v; }
    void set_right(float v) { right_ = v; }
    void set_top(float v) { top_ = v; }
    void set_bottom(float v) { bottom_ = v; }

    // Absolute sizes: positive whichever way the edges lie.
    float width() const;
    float height() const;

    vector2 center() const { return vector2((left_ + right_) * 0.5f, (top_ + bottom_) * 0.5f); }
    float center_x() const { return (left_ + right_) * 0.5f; }
    float center_y() const { return (top_ + bottom_) * 0.5f; }
    float center(int axis) const;
    // Axis 0: left, right; axis 1: top, bottom.
    float min(int axis) const;
    float max(int axis) const;
    // The point at relative position t along the axis: (1 - t) * low + t * high.
    float coordinate(int axis, float t) const;
    vector2 coordinate(const vector2& t) const;

    // Edges inclusive; a frame whose top exceeds its bottom holds no point.
    bool contains_point(float x, float y) const {
        return left_ <= x && x <= right_ && top_ <= y && y <= bottom_;
    }

    // All four edges multiplied by f.
    Frame operator*(float f) const { return Frame(left_ * f, top_ * f, right_ * f, bottom_ * f); }

    void move(float dx, float dy);
    void move(const vector2& d) { move(d.x, d.y); }
    // Shifts along the axis so that the point at the anchor lies at the position.
    void move_to(float position, int axis, float anchor);
    void move_to(const vector2& position, const vector2& anchor);

    // Moves the edges outwards by dx and dy (inwards when negative); edges that
    // cross meet at their midpoint.
    void grow(float dx, float dy);
    void grow(const vector2& d) { grow(d.x, d.y); }

    // About the origin.
    void scale(float sx, float sy);
    void scale(const vector2& s) { scale(s.x, s.y); }
    // About the point at the relative position (ax, ay), which stays put.
    void scale(float sx, float sy, float ax, float ay);
    void scale_around_center(float sx, float sy);
    void scale_around_center(const vector2& s) { scale_around_center(s.x, s.y); }

    // Each edge to the nearest whole number, halves away from zero.
    void round();

private:
    float bottom_;
    float left_;
    float right_;
    float top_;
};

// Moves every later frame so that its point at the anchor on the axis lines up
// with that of frames[0]. Fewer than two frames: nothing to do.
void AlignFrames(std::vector<Frame>& frames, int axis, float anchor);
// Each frame from the second on starts where the previous (already moved) one
// ends on the axis, plus the spacing.
void StackFrames(std::vector<Frame>& frames, int axis, float spacing);
// Left and top the smaller, right and bottom the larger; a's values win ties.
Frame FrameUnion(const Frame& a, const Frame& b);
// Union of all frames; an empty list gives the frame with all edges 0.
Frame BoundingFrame(const std::vector<Frame>& frames);

}  // namespace vo

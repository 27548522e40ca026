#include "engine/widgets/widget.h"

#include "engine/sfml/engine.h"

namespace vo {

namespace {

// The whole drawing area of the window in pixels.
Frame ScreenFrame() {
    Engine& engine = Engine::instance();
    return Frame(0.0f, 0.0f, static_cast<float>(engine.screen_width()), static_cast<float>(engine.screen_height()));
}

Frame Moved(Frame f, vector2 const& d) {
    f.move(d);
    return f;
}

}  // namespace

void Widget::set_frame(Frame const& frame) {
    if (is_virtual()) return;
    frame_ = frame;
    update_child_transform();
    frame_changed();
}

Frame Widget::frame() const {
    if (is_virtual()) return transform_.transform_inv(ScreenFrame());
    return frame_;
}

Frame Widget::inner_frame() const {
    Frame const f = frame();
    float const b = border_width();
    return Frame(b, b, f.width() - b, f.height() - b);
}

Frame Widget::inner_transformed_frame() const {
    Frame const f = frame();
    float const b = border_width();
    vector2 const& s = transform_.scale();
    return Frame(b * s.x, b * s.y, (f.width() - b) * s.x, (f.height() - b) * s.y);
}

void Widget::set_inner_frame_dimensions(float width, float height) {
    float const b = border_width();
    float const left = frame_.left();
    float const top = frame_.top();
    set_frame(Frame(left, top, left + width + 2.0f * b, top + height + 2.0f * b));
}

Frame Widget::transformed_frame() const { return transform_ * frame(); }

void Widget::set_transformed_frame(Frame const& frame) { set_frame(transform_.transform_inv(frame)); }

float Widget::border_width() const { return border_width_; }

vector2 Widget::upper_left_corner_global() const {
    vector2 corner;
    for (Widget const* w = this; w; w = w->parent_) {
        if (w->is_virtual()) continue;
        Frame const f = w->frame();
        corner += vector2(f.left(), f.top());
    }
    return corner;
}

vector2 Widget::upper_left_corner_global_transformed() const {
    vector2 corner;
    for (Widget const* w = this; w; w = w->parent_) {
        if (w->is_virtual()) continue;
        Frame const f = w->transform_ * w->frame();
        corner += vector2(f.left(), f.top());
    }
    return corner;
}

Frame Widget::global_frame() const {
    if (!parent_) return frame();
    return Moved(frame(), parent_->upper_left_corner_global());
}

Frame Widget::global_transformed_frame() const {
    if (!parent_) return transform_ * frame();
    return Moved(transform_ * frame(), parent_->upper_left_corner_global_transformed());
}

Frame Widget::global_transformed_frame(Frame const& frame) const {
    if (!parent_) return transform_ * frame;
    return Moved(transform_ * frame, upper_left_corner_global_transformed());
}

vector2 Widget::global_to_local(vector2 point) {
    point -= upper_left_corner_global();
    return point;
}

vector2 Widget::local_to_global(vector2 const& point) {
    vector2 result = point;
    result += upper_left_corner_global();
    return result;
}

vector2 Widget::global_to_local_transformed(vector2 point) {
    point -= upper_left_corner_global_transformed();
    return point;
}

vector2 Widget::local_to_global_transformed(vector2 const& point) {
    vector2 result = point;
    result += upper_left_corner_global_transformed();
    return result;
}

void Widget::transform(FrameTransform const& transform) {
    if (!is_virtual()) {
        transform_ = transform;
    } else {
        // Keeps the scale and drops the offset: a virtual widget covers the
        // window from its corner. Without a window this is the identity.
        Frame const screen = ScreenFrame();
        vector2 const& s = transform.scale();
        transform_ = FrameTransform(Frame(0.0f, 0.0f, screen.right() / s.x, screen.bottom() / s.y), screen,
                                    transform.rounding_enabled());
    }
    update_child_transform();
    frame_changed();
}

void Widget::update_child_transform() {
    if (!is_virtual()) {
        vector2 const& s = transform_.scale();
        Frame const scaled(frame_.left() * s.x, frame_.top() * s.y, frame_.right() * s.x, frame_.bottom() * s.y);
        child_transform_ = FrameTransform(frame_, scaled, transform_.rounding_enabled());
    } else {
        child_transform_ = transform_;
    }
    for (std::size_t i = 0; i < children_.size(); ++i) children_[i]->transform(child_transform_);
}

void Widget::frame_changed() {
    for (std::size_t i = 0; i < children_.size(); ++i) children_[i]->frame_changed();
}

float Widget::estimate_width(float inner) const { return inner + 2.0f * border_width(); }

float Widget::estimate_width() const { return 0.0f; }

float Widget::estimate_height(float inner) const { return inner + 2.0f * border_width(); }

float Widget::estimate_height() const { return 0.0f; }

void Widget::adjust_to_content(bool resize) {
    float const b = border_width();
    float w = 0.0f;
    float h = 0.0f;
    if (resize) {
        w = estimate_width() - 2.0f * b;
        h = estimate_height() - 2.0f * b;
        if (!(w > 0.0f)) w = 0.0f;
        if (!(h > 0.0f)) h = 0.0f;
        if (children_.empty() && !(state_ & WS_FIXED_SIZE)) {
            set_inner_frame_dimensions(w, h);
            return;
        }
    }
    if (children_.empty()) return;

    Frame bounds;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        Widget* child = children_[i];
        child->adjust_to_content(true);
        Frame const f = child->frame();
        if (i == 0) {
            bounds = f;
            continue;
        }
        if (f.left() < bounds.left()) bounds.set_left(f.left());
        if (f.top() < bounds.top()) bounds.set_top(f.top());
        if (f.right() > bounds.right()) bounds.set_right(f.right());
        if (f.bottom() > bounds.bottom()) bounds.set_bottom(f.bottom());
    }

    if (resize && !(state_ & WS_FIXED_SIZE)) {
        Frame const r = FrameUnion(Frame(0.0f, 0.0f, w, h), bounds);
        set_inner_frame_dimensions(r.width(), r.height());
    }
}

void Widget::align_children(bool recursive) {
    Frame const inner = inner_frame();
    for (std::size_t i = 0; i < children_.size(); ++i) {
        Widget* child = children_[i];
        if (!child->is_virtual()) {
            Frame const c = child->frame();
            int const s = child->state_;

            float x = c.left();
            bool const left = (s & WS_ALIGN_LEFT) != 0;
            bool const right = (s & WS_ALIGN_RIGHT) != 0;
            if (left && right) {
                x = inner.left() + (inner.width() - c.width()) * 0.5f;
            } else if (left) {
                x = inner.left();
            } else if (right) {
                x = inner.left() + inner.width() - c.width();
            }

            float y = c.top();
            bool const top = (s & WS_ALIGN_TOP) != 0;
            bool const bottom = (s & WS_ALIGN_BOTTOM) != 0;
            if (top && bottom) {
                y = inner.top() + (inner.height() - c.height()) * 0.5f;
            } else if (top) {
                y = inner.top();
            } else if (bottom) {
                y = inner.top() + inner.height() - c.height();
            }

            vector2 const o = child->align_offset_;
            child->set_frame(Frame(x + o.x, y + o.y, x + c.width() + o.x, y + c.height() + o.y));
        }
        if (recursive) child->align_children(true);
    }
}

}  // namespace vo

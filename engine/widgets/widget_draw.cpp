#include "engine/widgets/widget.h"

#include "engine/core/tweener.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/drawer.h"

#include <algorithm>
#include <cmath>

namespace vo {

namespace {

using FrameTweener = Tweener<SmoothTween<Frame>, TweenMethodCallbackConstRef<Frame, Widget>>;

// Whole pixels covering a size: rounded up unless within 0.00001 above a
// whole number. Sizes that are not finite or beyond any window cover nothing.
int PixelSize(float size) {
    if (!(size >= 0.0f) || size > 1.0e8f) return 0;
    return static_cast<int>(size + 0.99999f);
}

// Fills the frame with the image tinted by the colour, or with the plain
// colour when the image has no texture.
void FillFrame(Image& image, Color const& color, Frame const& r) {
    if (image.texture()) {
        image.dest_frame = r;
        image.color = color;
        image.draw();
    } else {
        Drawer& drawer = SharedDrawer();
        drawer.set_color(color);
        drawer.draw_rect(r.left(), r.top(), r.right(), r.bottom(), true, 0.5f);
    }
}

}  // namespace

// The clip box of the widget drawing now, in pixels of its own viewport.
// Each widget clips to its own rectangle within its parent's clip box, so
// that children never draw outside their parents.
Widget::ClipBox Widget::s_clip;

void Widget::draw() {
    if (!is_visible()) return;
    bool const own = !is_virtual();
    if (own) push_render_transforms();
    if (own && !(state_ & WS_TRANSPARENT)) on_draw();
    for (std::size_t i = 0; i < children_.size(); ++i) children_[i]->draw();
    if (own) {
        on_draw_overlay();
        pop_render_transforms();
    }
}

void Widget::push_render_transforms() {
    render_transforms_pushed_ = false;
    Frame const t = transform_ * frame();
    int const width = PixelSize(t.width());
    int const height = PixelSize(t.height());
    if (width == 0 || height == 0) return;
    if (!(std::fabs(t.left()) < 1.0e8f) || !(std::fabs(t.top()) < 1.0e8f)) return;
    int const left = static_cast<int>(t.left());
    int const top = static_cast<int>(t.top());

    // The clip box: this rectangle, within the clip box of the widget
    // drawing around it. The scissor stack's top is that outer box, so the
    // new box is given relative to it.
    ClipBox clip;
    clip.x = left;
    clip.y = top;
    clip.width = width;
    clip.height = height;
    clip.known = true;
    int scissor_x = left;
    int scissor_y = top;
    if (s_clip.known) {
        int const x0 = std::max(left, s_clip.x);
        int const y0 = std::max(top, s_clip.y);
        int const x1 = std::min(left + width, s_clip.x + s_clip.width);
        int const y1 = std::min(top + height, s_clip.y + s_clip.height);
        clip.x = x0;
        clip.y = y0;
        clip.width = std::max(0, x1 - x0);
        clip.height = std::max(0, y1 - y0);
        scissor_x = x0 - s_clip.x;
        scissor_y = y0 - s_clip.y;
    }

    Engine& engine = Engine::instance();
    engine.push_viewport(left, top, width, height, true);
    engine.push_scissor(scissor_x, scissor_y, clip.width, clip.height, true);
    engine.push_matrix(true, true, true);
    engine.load_identity();
    // A one-pixel side keeps an extent of 1: an empty projection would be
    // refused and leave the parent's in place.
    float const right = width > 1 ? static_cast<float>(width - 1) : 1.0f;
    float const bottom = height > 1 ? static_cast<float>(height - 1) : 1.0f;
    engine.set_ortho(0.0f, right, bottom, 0.0f, -1.0f, 1.0f);

    // From here on the clip box is in this widget's own pixels.
    outer_clip_ = s_clip;
    s_clip = clip;
    s_clip.x -= left;
    s_clip.y -= top;
    render_transforms_pushed_ = true;
}

void Widget::pop_render_transforms() {
    if (!render_transforms_pushed_) return;
    render_transforms_pushed_ = false;
    s_clip = outer_clip_;
    Engine& engine = Engine::instance();
    engine.pop_scissor();
    engine.pop_viewport();
    engine.pop_matrix(true, true, true);
}

void Widget::on_draw() {
    Frame const r = inner_transformed_frame();
    if (state_ & WS_BACKGROUND) FillFrame(background_image_, background_, r);
    if (state_ & WS_BORDER) {
        // The light line half a pixel outside the inner frame, the dark one
        // half a pixel inside.
        Drawer& drawer = SharedDrawer();
        drawer.set_color(border_light_);
        drawer.draw_rect(r.left() - 0.5f, r.top() - 0.5f, r.right() + 0.5f, r.bottom() + 0.5f, false, 0.5f);
        drawer.set_color(border_dark_);
        drawer.draw_rect(r.left() + 0.5f, r.top() + 0.5f, r.right() - 0.5f, r.bottom() - 0.5f, false, 0.5f);
    }
}

void Widget::on_draw_overlay() {
    if (!(overlay_.a > 0.0f)) return;
    FillFrame(overlay_image_, overlay_, inner_transformed_frame());
}

void Widget::tween_to(Frame const& target, double seconds) {
    s_tweenMachine.add(new FrameTweener(seconds, frame_, target, this, &Widget::set_frame));
}

void Widget::update(double dt) { s_tweenMachine.update(dt); }

}  // namespace vo

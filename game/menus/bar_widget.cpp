#include "game/menus/bar_widget.h"

#include "engine/visuals/drawer.h"

#include <cmath>
#include <cstring>

namespace vo {

namespace {

// Any positive value shows at least this much of its segment.
constexpr float kMinimumFill = 0.15f;

}  // namespace

BarWidget::BarWidget(Widget* parent, unsigned flags) : Widget(parent, static_cast<int>(flags)) {
    set_inner_frame_dimensions(90.0f, 30.0f);
    values.assign(1, 1.0f);
}

BarWidget::~BarWidget() = default;

void BarWidget::set_property(const char* name, Image const& image) {
    Widget::set_property(name, image);
    if (std::strcmp(name, "bar") == 0) bar_image = image;
}

void BarWidget::set_property(const char* name, vector2 const& value) {
    if (std::strcmp(name, "boundaryOffset") == 0) boundaryOffset = value;
}

void BarWidget::set_property(const char* name, float value) {
    if (std::strcmp(name, "spacer") == 0) spacer = value;
}

float BarWidget::fill(float value) const {
    if (!(max_value > min_value)) return 0.0f;
    const float f = (std::trunc(value) - min_value) / (max_value - min_value);
    if (f > 1.0f) return 1.0f;
    if (f > 0.0f) return kMinimumFill + (1.0f - kMinimumFill) * f;
    return 0.0f;
}

void BarWidget::reset_ghost() {
    ghost_values.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) ghost_values[i] = fill(values[i]);
}

void BarWidget::on_draw() {
    Widget::on_draw();
    if (values.empty()) values.assign(1, min_value);

    const vector2 s = transform().scale();
    Frame r = inner_transformed_frame();
    r.grow(-2.0f * boundaryOffset.x * s.x, -2.0f * boundaryOffset.y * s.y);

    const std::size_t n = values.size();
    const float gap = spacer * s.x;
    const float seg = (r.width() - gap * static_cast<float>(n - 1)) / static_cast<float>(n);
    float x = r.left();
    for (std::size_t i = 0; i < n; ++i) {
        const float f = fill(values[i]);
        if (f < 1.0f) {
            draw_segment(Frame(x, r.top(), x + seg, r.bottom()), 1.0f, background_color);
            if (i < ghost_values.size() && ghost_values[i] != f) {
                const float ghost = ghost_values[i];
                draw_segment(Frame(x, r.top(), x + ghost * seg, r.bottom()), ghost, ghost_color);
            }
        }
        if (f > 0.0f) draw_segment(Frame(x, r.top(), x + f * seg, r.bottom()), f, fill_color);
        x += gap + seg;
    }
}

void BarWidget::draw_segment(Frame const& rect, float fraction, Color const& colour) {
    if (bar_image.texture()) {
        const Frame src = bar_image.src_frame;
        bar_image.dest_frame = rect;
        bar_image.color = colour;
        bar_image.src_frame.set_right(src.left() + src.width() * fraction);
        bar_image.draw();
        bar_image.src_frame = src;
    } else {
        Drawer& drawer = SharedDrawer();
        drawer.set_color(colour);
        drawer.draw_rect(rect, true, 0.5f);
        drawer.set_color(0.0f, 0.0f, 0.0f, 1.0f);
        drawer.draw_rect(rect, false, 0.5f);
    }
}

}  // namespace vo

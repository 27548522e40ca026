#include "engine/widgets/text_widget.h"

#include "engine/visuals/font.h"

#include <cmath>

namespace vo {

TextWidget::TextWidget(Widget* parent, unsigned state) : Widget(parent, static_cast<int>(state)) {
    text_.set_color(get_color("textColor"));
    text_height_ = text_.text_height();
    text_scale_ = transform().scale().y;
    text_.set_text_height(text_height_ * text_scale_);
}

TextWidget::~TextWidget() = default;

void TextWidget::set_text(const char* text) {
    text_.set_text(text);
    update_text_position();
}

void TextWidget::set_font(SmartPtr<Font> const& font) {
    text_.set_font(font);
    update_text_position();
}

void TextWidget::set_text_height(float height) {
    text_height_ = height;
    text_.set_text_height(height * text_scale_);
    update_text_position();
}

void TextWidget::set_text_color(Color const& color) { text_.set_color(color); }

void TextWidget::set_max_width(float width) {
    max_width_ = width;
    text_.set_max_width(width);
    update_text_position();
}

void TextWidget::set_text_align(unsigned alignment) {
    text_alignment_ = alignment;
    update_text_position();
}

SmartPtr<Font> TextWidget::font() const { return text_.font(); }
const char* TextWidget::text() const { return text_.text(); }
float TextWidget::text_height() const { return text_.text_height(); }
Color TextWidget::color() const { return text_.color(); }
float TextWidget::max_width() const { return text_.max_width(); }
Frame TextWidget::local_text_frame() { return local_text_frame_; }

void TextWidget::transform(FrameTransform const& transform) {
    Widget::transform(transform);
    text_scale_ = transform.scale().y;
    text_.set_text_height(text_height_ * text_scale_);
    update_text_position();
}

void TextWidget::frame_changed() { update_text_position(); }

float TextWidget::estimate_width() const {
    return estimate_width((text_.content_frame().width() + 2.0f) / transform().scale().x);
}

float TextWidget::estimate_height() const {
    return estimate_height((text_.content_frame().height() + 2.0f) / transform().scale().y);
}

void TextWidget::adjust_to_content(bool resize) {
    Widget::adjust_to_content(resize);
    if (!resize || state_is_enabled(WS_FIXED_SIZE)) return;
    text_.set_max_width(max_width_);
    Frame f = text_.content_frame();
    f.grow(1.0f, 1.0f);
    const Frame units = transform().transform_inv(f);
    set_inner_frame_dimensions(units.width(), units.height());
}

void TextWidget::on_draw() {
    Widget::on_draw();
    text_.draw();
}

void TextWidget::update_text_position() {
    const Frame inner = inner_transformed_frame();
    if (state_is_enabled(WS_FIXED_SIZE)) {
        // Fixed-size text widgets wrap at their inner width, or earlier.
        float width = inner.width();
        if (max_width_ > 0.0f && max_width_ < width) width = max_width_;
        text_.set_max_width(width);
    }

    const Frame content = text_.content_frame();
    const float cw = content.width();
    const float ch = content.height();

    float x = inner.left();
    float y = inner.top();
    if (text_alignment_ & WS_ALIGN_RIGHT) {
        x = (text_alignment_ & WS_ALIGN_LEFT) ? (inner.left() + inner.right() - cw) * 0.5f : inner.right() - cw;
    }
    if (text_alignment_ & WS_ALIGN_BOTTOM) {
        y = (text_alignment_ & WS_ALIGN_TOP) ? (inner.top() + inner.bottom() - ch) * 0.5f : inner.bottom() - ch;
    }
    x = std::trunc(x + 1.0f);
    y = std::trunc(y + 1.0f);

    text_.set_position(vector3(x, y, 0.0f));
    local_text_frame_ = Frame(x, y, x + cw, y + ch);
}

}  // namespace vo

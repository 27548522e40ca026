// GCC 12 reports the slot-group key inside boost::signals2's connect as
// possibly uninitialised: a false positive for ungrouped slots, whose key is
// never read. It is raised where the library is instantiated, so it is
// silenced for this file as a whole.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "engine/widgets/button_widget.h"

#include "engine/visuals/font.h"
#include "engine/widgets/widget_style.h"

#include <boost/signals2/signal.hpp>

#include <algorithm>
#include <vector>

namespace vo {

struct ButtonWidget::Signals {
    boost::signals2::signal<void(Widget*)> click;
    boost::signals2::signal<void(Widget*)> mouse_down;
    boost::signals2::signal<void(Widget*)> mouse_up;
};

namespace {

// The first button of the process gives the default map its "pressed" style:
// "default" as it stands then, on a grey background.
void InstallPressedStyle() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    SmartPtr<WidgetStyleMap> map = DefaultStyleMap();
    WidgetStyle pressed = static_cast<WidgetStyleMap const&>(*map).get("default");
    pressed.colors()["background"] = Color(0.6f, 0.6f, 0.6f, 1.0f);
    map->set("pressed", pressed);
}

}  // namespace

ButtonWidget::ButtonWidget(Widget* parent, unsigned state)
    : Widget(parent, static_cast<int>(state)), signals_(std::make_shared<Signals>()) {
    InstallPressedStyle();
    text_.set_color(get_color("textColor"));
    text_.set_text_height(transform().scale().y * 20.0f);
    refresh_geometry();
}

ButtonWidget::~ButtonWidget() = default;

boost::signals2::connection ButtonWidget::connect_on_click(Callback callback) {
    return signals_->click.connect(std::function<void(Widget*)>(callback));
}

boost::signals2::connection ButtonWidget::connect_on_mouse_down(Callback callback) {
    return signals_->mouse_down.connect(std::function<void(Widget*)>(callback));
}

boost::signals2::connection ButtonWidget::connect_on_mouse_up(Callback callback) {
    return signals_->mouse_up.connect(std::function<void(Widget*)>(callback));
}

boost::signals2::connection ButtonWidget::connect_click_slot(std::function<void(Widget*)> slot) {
    return signals_->click.connect(slot);
}

boost::signals2::connection ButtonWidget::connect_mouse_down_slot(std::function<void(Widget*)> slot) {
    return signals_->mouse_down.connect(slot);
}

void ButtonWidget::press() {
    pressed_ = true;
    if (checkable_ && exclusive_) make_exclusive();
    refresh_geometry();
    activate_style("pressed");
}

void ButtonWidget::unpress() {
    pressed_ = false;
    refresh_geometry();
    activate_style("default");
}

void ButtonWidget::set_checkable(bool checkable) {
    if (!checkable && checkable_ && pressed_) unpress();
    checkable_ = checkable;
}

void ButtonWidget::set_exclusive(bool exclusive) {
    exclusive_ = exclusive;
    if (exclusive && checkable_ && pressed_) make_exclusive();
}

void ButtonWidget::make_exclusive() {
    Widget* const owner = parent();
    if (!owner) return;
    for (unsigned i = 0; i < owner->num_children(); ++i) {
        ButtonWidget* const sibling = dynamic_cast<ButtonWidget*>(owner->child(i));
        if (sibling && sibling != this && sibling->checkable_ && sibling->pressed_) sibling->unpress();
    }
}

void ButtonWidget::set_image(Image const& image) {
    image_ = image;
    image_frame_ = image.dest_frame;
    refresh_geometry();
}

void ButtonWidget::set_text(const char* text) {
    text_.set_text(text);
    refresh_geometry();
}

void ButtonWidget::set_text_color(Color const& color) { text_.set_color(color); }

void ButtonWidget::set_text_height(float height) {
    text_height_ = height;
    text_.set_text_height(height * transform().scale().y);
    refresh_geometry();
}

void ButtonWidget::set_max_text_width(float width) { text_.set_max_width(width); }

void ButtonWidget::set_font(SmartPtr<Font> const& font) {
    text_.set_font(font);
    refresh_geometry();
}

void ButtonWidget::set_text_align_offset(vector2 const& offset) {
    text_align_offset_ = offset;
    refresh_geometry();
}

float ButtonWidget::text_height() const { return text_.text_height(); }
float ButtonWidget::max_text_width() const { return text_.max_width(); }
std::string ButtonWidget::text() const { return text_.text(); }

void ButtonWidget::set_property(const char* name, Color const& value) {
    Widget::set_property(name, value);
    if (std::string(name) == "textColor") set_text_color(value);
}

void ButtonWidget::activate_style(std::string const& name) {
    if (!is_enabled()) {
        Widget::activate_style("disabled");
    } else if (name == "default" && pressed_) {
        Widget::activate_style("pressed");
    } else {
        Widget::activate_style(name);
    }
}

float ButtonWidget::estimate_width() const { return estimate_width(content_frame_.width()); }
float ButtonWidget::estimate_height() const { return estimate_height(content_frame_.height()); }

void ButtonWidget::adjust_to_content(bool resize) {
    Widget::adjust_to_content(resize);
    if (!resize || state_is_enabled(WS_FIXED_SIZE)) return;
    refresh_geometry();
    set_inner_frame_dimensions(content_frame_.width(), content_frame_.height());
    refresh_geometry();
}

void ButtonWidget::apply_transform(FrameTransform const& transform) {
    text_.set_text_height(text_height_ * transform.scale().y);
    refresh_geometry();
}

void ButtonWidget::transform(FrameTransform const& transform) {
    apply_transform(transform);
    Widget::transform(transform);
}

void ButtonWidget::frame_changed() { refresh_geometry(); }

void ButtonWidget::on_draw() {
    Widget::on_draw();
    if (image_.texture()) image_.draw();
    text_.draw();
}

void ButtonWidget::mouse_event(MouseEvent const& event) {
    // A slot may delete this button: the signals stay alive through the
    // local handle, and nothing of the button is touched after a signal.
    std::shared_ptr<Signals> const signals = signals_;
    switch (event.type()) {
        case MOUSE_PRESSED:
            if (!checkable_ || !pressed_) {
                press();
            } else if (uncheckable_) {
                unpress();
            }
            signals->mouse_down(this);
            break;
        case MOUSE_RELEASED:
            if (!checkable_) unpress();
            signals->mouse_up(this);
            break;
        case MOUSE_CLICKED:
            signals->click(this);
            break;
        default:
            break;
    }
}

void ButtonWidget::refresh_geometry() {
    const bool has_text = !text_.empty();
    std::vector<Frame> frames(2);
    frames[0] = image_frame_;
    frames[1] = transform().transform_inv(text_.content_frame());
    const bool has_image = image_frame_.width() != 0.0f;

    // The text centred vertically on the image, then beside it or over it.
    AlignFrames(frames, 1, 0.5f);
    if (text_overlays_image_ || !has_image || !has_text) {
        AlignFrames(frames, 0, 0.5f);
    } else {
        StackFrames(frames, 0, std::max(image_margin_, text_margin_));
    }
    Frame image = frames[0];
    Frame text = frames[1];

    std::vector<Frame> padded(2);
    padded[0] = image;
    if (has_image) padded[0].grow(image_margin_, image_margin_);
    padded[1] = text;
    if (has_text) padded[1].grow(text_margin_, text_margin_);
    content_frame_ = BoundingFrame(padded);

    const vector2 inner_center = inner_frame().center();
    const vector2 content_center = content_frame_.center();
    const float dx = inner_center.x - content_center.x;
    float dy = inner_center.y - content_center.y;
    if (pressed_) dy += 2.0f;

    text.move(-text_align_offset_.x, -text_align_offset_.y);
    image.move(dx, dy);
    text.move(dx, dy);

    image_.dest_frame = child_transform() * image;
    if (has_text) {
        Frame placed = child_transform() * text;
        placed.round();
        text_.set_position(vector3(placed.left(), placed.top(), 0.0f));
    }

    content_frame_.move(-content_frame_.left(), -content_frame_.top());
}

}  // namespace vo

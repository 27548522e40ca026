// GCC 12 reports the slot-group key inside boost::signals2's connect as
// possibly uninitialised: a false positive for ungrouped slots, whose key is
// never read. It is raised where the library is instantiated, so it is
// silenced for this file as a whole.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "engine/widgets/input_widget.h"

#include "engine/sfml/engine.h"
#include "engine/visuals/drawer.h"

#include <boost/signals2/signal.hpp>

#include <cmath>

namespace vo {

struct InputWidget::Signals {
    boost::signals2::signal<void(Widget*, const char*)> value_changed;
};

InputWidget::InputWidget(Widget* parent, unsigned state)
    : TextWidget(parent, state | WS_ACCEPTS_KEYS), signals_(std::make_shared<Signals>()) {}

InputWidget::~InputWidget() = default;

boost::signals2::connection InputWidget::connect_on_value_changed(ValueCallback callback) {
    return signals_->value_changed.connect(std::function<void(Widget*, const char*)>(callback));
}

boost::signals2::connection InputWidget::connect_value_slot(std::function<void(Widget*, const char*)> slot) {
    return signals_->value_changed.connect(slot);
}

void InputWidget::value_changed() {
    TextWidget::set_text(value_.c_str());
    // The value is handed out as it stands now: a copy survives a slot that
    // deletes the widget or changes its value.
    std::shared_ptr<Signals> const signals = signals_;
    const std::string value = value_;
    signals->value_changed(this, value.c_str());
}

void InputWidget::set_text(const char* text) {
    value_ = text ? text : "";
    if (max_string_length_ >= 0 && value_.size() > static_cast<std::size_t>(max_string_length_)) {
        value_.resize(static_cast<std::size_t>(max_string_length_));
    }
    value_changed();
}

const char* InputWidget::text() const { return value_.c_str(); }

void InputWidget::set_max_string_length(int length) {
    max_string_length_ = length;
    if (length >= 0 && value_.size() > static_cast<std::size_t>(length)) {
        const std::string current = value_;  // set_text replaces the value it reads
        set_text(current.c_str());
    }
}

void InputWidget::key_event(KeyEvent const& event) {
    if (event.type() != KEY_PRESSED) return;
    if (event.key() == KEY_BACKSPACE) {
        if (!value_.empty()) value_.pop_back();
    } else {
        if (max_string_length_ >= 0 && value_.size() >= static_cast<std::size_t>(max_string_length_)) return;
        if (event.character() != 0) value_ += event.character();
    }
    value_changed();
}

float InputWidget::estimate_inner_width() const {
    if (max_string_length_ > 0) return text_height() * static_cast<float>(max_string_length_) * 0.5f;
    return text_height() * 8.0f + 10.0f;
}

float InputWidget::estimate_width() const { return estimate_width(estimate_inner_width()); }
float InputWidget::estimate_height() const { return estimate_height(text_height() + 10.0f); }

void InputWidget::adjust_to_content(bool resize) {
    if (state_is_enabled(WS_FIXED_SIZE)) return;
    Widget::adjust_to_content(resize);
    if (resize) set_inner_frame_dimensions(estimate_inner_width(), text_height() + 10.0f);
}

void InputWidget::on_draw() {
    TextWidget::on_draw();
    if (!has_focus()) return;
    const float time = Engine::instance().time();
    if (!(time - std::floor(time) > 0.5f)) return;

    const Frame f = local_text_frame();
    const float h = f.height();
    Color c = color();
    c.a = 0.75f;
    Drawer& drawer = SharedDrawer();
    drawer.set_color(c);
    drawer.draw_rect(f.right(), f.bottom() - 0.15f * h, f.right() + 0.4f * h, f.bottom(), true, 0.5f);
}

}  // namespace vo

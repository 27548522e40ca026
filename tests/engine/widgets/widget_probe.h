#pragma once

// Widgets for the tests: a probe that opens the protected parts of Widget,
// and a recorder that logs what reaches it, in order.

#include "engine/widgets/widget.h"

#include <string>
#include <vector>

namespace vo_test {

class Probe : public vo::Widget {
public:
    explicit Probe(vo::Widget* parent = nullptr, int state = vo::WS_DEFAULT_STATE) : vo::Widget(parent, state) {}

    using vo::Widget::add_child;
    using vo::Widget::border_width;
    using vo::Widget::destroying_children;
    using vo::Widget::register_color_value;
    using vo::Widget::remove_child;
    using vo::Widget::s_focusWidget;
    using vo::Widget::s_mouseMoveWidget;
    using vo::Widget::s_mouseWidget;
    using vo::Widget::upper_left_corner_global;
    using vo::Widget::upper_left_corner_global_transformed;
};

// Every event and notification, as "name:what:type".
std::vector<std::string>& Log();

class Recorder : public Probe {
public:
    Recorder(std::string name, vo::Widget* parent, int state = vo::WS_DEFAULT_STATE);
    ~Recorder() override;

    std::string name;
    // Styles activated, in order.
    std::vector<std::string> styles;
    // Estimates given to adjust_to_content.
    float width_estimate = 0.0f;
    float height_estimate = 0.0f;
    int frame_changes = 0;

    void activate_style(std::string const& style) override;
    float estimate_width() const override { return width_estimate; }
    float estimate_height() const override { return height_estimate; }

protected:
    void mouse_event(vo::MouseEvent const& event) override;
    void key_event(vo::KeyEvent const& event) override;
    void got_focus() override;
    void lost_focus() override;
    void frame_changed() override;
};

}  // namespace vo_test

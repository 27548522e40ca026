#pragma once

// Short notices shown as lines of text: a new line appears at the centre of
// the widget and rises just above it while the older lines move up by its
// height; every line disappears after a fixed life time. The owner adds a
// line per notice, advances the widget every step and clears it between
// rounds. The text widgets of expired lines are kept and reused.

#include "engine/core/color.h"
#include "engine/core/tween_machine.h"
#include "engine/widgets/widget.h"

#include <deque>
#include <optional>

namespace vo {

class TextWidget;

class NotificationWidget : public Widget {
public:
    struct Line {
        TextWidget* text = nullptr;  // a child of the notification widget
        double time_left = 0.0;      // seconds; expired at 0 or below
    };

    NotificationWidget(Widget* parent, int state);
    // Drops the slides before the Widget base destroys the text widgets.
    ~NotificationWidget() override;

    // Advances the slides and the life times by dt seconds, hides the lines
    // whose time ran out and keeps those at the front for reuse.
    virtual void update(double dt);

    // Posts one line of text.
    void add(const char* text);
    // Removes every line at once, destroying their text widgets.
    void clear();
    // The colour of the lines' text from the next line on, new and reused
    // lines alike; until it is set, lines keep the text widget's own.
    void set_line_color(Color const& color) { line_color_ = color; }

    // The lines on show, oldest first, and the expired lines kept for reuse.
    std::deque<Line> const& lines() const { return lines_; }
    std::deque<Line> const& spare_lines() const { return spare_lines_; }
    float line_height() const { return line_height_; }
    double life_time() const { return life_time_; }

    // A spare line when there is one (its text widget is reused), else a
    // new one; visible, borderless, line_height high, with a full life time.
    Line acquire_line();

private:
    // Moves every line, newest first, to its place in the upward stack that
    // starts just above the anchor point, each in a short smooth slide.
    void stack_lines(vector2 anchor);

    TweenMachine tweens_;
    std::deque<Line> lines_;
    std::deque<Line> spare_lines_;
    float line_height_ = 80.0f;
    double life_time_ = 5.0;
    std::optional<Color> line_color_;
};

}  // namespace vo

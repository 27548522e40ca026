#include "game/menus/notification_widget.h"

#include "engine/core/tweener.h"
#include "engine/widgets/text_widget.h"

namespace vo {

namespace {

constexpr unsigned kLineState = WS_DEFAULT_STATE;  // 0x1806 before the line adjusts it
constexpr double kSlideSeconds = 0.1;

using FrameSlide = Tweener<SmoothTween<Frame>, TweenMemberCallback<Frame, Widget, Frame const&>>;

}  // namespace

NotificationWidget::NotificationWidget(Widget* parent, int state) : Widget(parent, state) {}

NotificationWidget::~NotificationWidget() {
    // The slides write into the text widgets: they go first.
    tweens_.clear();
    lines_.clear();
    spare_lines_.clear();
}

NotificationWidget::Line NotificationWidget::acquire_line() {
    Line line;
    if (!spare_lines_.empty()) {
        line = spare_lines_.back();
        spare_lines_.pop_back();
    } else {
        line.text = new TextWidget(this, kLineState);
        line.text->transform(transform());
    }
    line.text->enable_state(WS_VISIBLE);
    line.text->disable_state(WS_BACKGROUND | WS_BORDER);
    line.text->set_text_height(line_height_);
    if (line_color_) line.text->set_text_color(*line_color_);
    line.time_left = life_time_;
    return line;
}

void NotificationWidget::add(const char* text) {
    Line line = acquire_line();
    line.text->disable_state(WS_FIXED_SIZE);
    line.text->set_text(text);
    line.text->adjust_to_content(true);

    enable_state(WS_VISIBLE);

    vector2 const centre = transformed_frame().center();
    Frame placed = line.text->transformed_frame();
    placed.move_to(centre, vector2(0.5f, 0.0f));
    line.text->set_transformed_frame(placed);
    lines_.push_back(line);

    stack_lines(vector2(centre.x, centre.y - 0.75f * line_height_ * transform().scale().y));
}

void NotificationWidget::stack_lines(vector2 anchor) {
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
        Widget* const text = it->text;
        Frame const current = text->transformed_frame();
        Frame target = current;
        target.move_to(anchor, vector2(0.5f, 1.0f));
        anchor.y = target.top();

        tweens_.cancel_tweens(text);
        tweens_.add(new FrameSlide(kSlideSeconds, current, target, text, &Widget::set_transformed_frame));
    }
}

void NotificationWidget::update(double dt) {
    tweens_.update(dt);
    for (Line& line : lines_) {
        if (line.time_left <= 0.0) continue;
        line.time_left -= dt;
        if (line.time_left <= 0.0) line.text->disable_state(WS_VISIBLE);
    }
    while (!lines_.empty() && lines_.front().time_left <= 0.0) {
        spare_lines_.push_back(lines_.front());
        lines_.pop_front();
    }
}

void NotificationWidget::clear() {
    tweens_.clear();
    for (Line const& line : lines_) delete line.text;
    lines_.clear();
    while (!spare_lines_.empty()) {
        delete spare_lines_.back().text;
        spare_lines_.pop_back();
    }
}

}  // namespace vo

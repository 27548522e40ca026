#include "engine/widgets/widget.h"

#include "engine/widgets/widget_signals.h"

namespace vo {

namespace {

MouseEvent WithType(MouseEvent const& event, MouseEvents type) {
    return MouseEvent(type, event.button(), event.pressed_buttons(), event.x(), event.y());
}

}  // namespace

bool Widget::deliver_mouse_event(MouseEvent const& event) {
    // A receiver may delete this widget; the local handle keeps the signals
    // and their liveness flag valid until the delivery has returned.
    std::shared_ptr<Signals> const signals = signals_;
    signals->mouse(this, event);
    if (!signals->alive) return false;
    mouse_event(event);
    return signals->alive;
}

bool Widget::deliver_key_event(KeyEvent const& event) {
    std::shared_ptr<Signals> const signals = signals_;
    key_event(event);
    if (!signals->alive) return false;
    signals->key(this, event);
    return signals->alive;
}

bool Widget::process_mouse_event_in_children(MouseEvent const& event) {
    if (state_ & WS_CHILDREN_IGNORE_MOUSE) return false;
    for (std::size_t i = children_.size(); i-- > 0;) {
        // A child that took the event may have deleted widgets: nothing of
        // this widget is touched after it answered true.
        if (children_[i]->process_mouse_event(event)) return true;
        if (i > children_.size()) i = children_.size();
    }
    return false;
}

bool Widget::process_mouse_event(MouseEvent const& event) {
    MouseEvents const type = event.type();
    if (!state_is_enabled(WS_ENABLED | WS_VISIBLE) || (state_ & WS_IGNORE_MOUSE)) {
        // A release ends the grab wherever it arrives, also when the
        // grabbing widget can no longer take it; otherwise the grab would
        // swallow every later move until the next press.
        if (type == MOUSE_RELEASED) s_mouseWidget = nullptr;
        return false;
    }

    auto inside = [this, &event]() {
        Frame const g = global_transformed_frame();
        return g.left() <= event.x() && event.x() <= g.right() && g.top() <= event.y() && event.y() <= g.bottom();
    };
    Widget* const old_focus = s_focusWidget;
    Widget* const old_hover = s_mouseMoveWidget;
    bool click = false;
    bool notify = false;

    switch (type) {
        case MOUSE_PRESSED:
            if (!is_virtual() && !inside()) return false;
            if (process_mouse_event_in_children(event)) return true;
            if (is_virtual()) return false;
            s_focusWidget = this;
            s_mouseWidget = this;
            notify = true;
            break;

        case MOUSE_RELEASED:
            if (!s_mouseWidget) return false;
            if (s_mouseWidget != this) {
                bool const taken = s_mouseWidget->process_mouse_event(event);
                s_mouseWidget = nullptr;
                return taken;
            }
            s_mouseWidget = nullptr;
            if (is_virtual()) return false;
            click = inside();
            break;

        case MOUSE_MOVED:
            if (s_mouseWidget == this) {
                if (is_virtual()) return false;
                break;
            }
            if (s_mouseWidget) return s_mouseWidget->process_mouse_event(event);
            if (!is_virtual() && !inside()) return false;
            if (process_mouse_event_in_children(event)) return true;
            if (is_virtual()) {
                // Over the empty area of a virtual root: nothing is hovered.
                if (parent_ || !old_hover) return false;
                s_mouseMoveWidget = nullptr;
                old_hover->deliver_mouse_event(WithType(event, MOUSE_LEFT));
                return false;
            }
            s_mouseMoveWidget = this;
            notify = true;
            break;

        default:
            break;
    }

    if (notify) {
        if (s_mouseMoveWidget != old_hover) {
            if (old_hover) old_hover->deliver_mouse_event(WithType(event, MOUSE_LEFT));
            if (s_mouseMoveWidget && !deliver_mouse_event(WithType(event, MOUSE_ENTERED))) return true;
        }
        if (s_focusWidget != old_focus) {
            if (old_focus) old_focus->lost_focus();
            if (s_focusWidget) s_focusWidget->got_focus();
        }
    }

    // The click comes last, so that a receiver may delete the widget (a
    // button closing its window).
    if (deliver_mouse_event(event) && click) deliver_mouse_event(WithType(event, MOUSE_CLICKED));
    return true;
}

bool Widget::process_key_event(KeyEvent const& event) {
    if (!state_is_enabled(WS_ENABLED | WS_VISIBLE)) return false;
    Widget* const focus = s_focusWidget;
    if (!focus) return false;
    if (focus != this) {
        Widget* ancestor = focus->parent_;
        while (ancestor && ancestor != this) ancestor = ancestor->parent_;
        if (!ancestor) return false;
    }
    for (Widget* target = focus; target; target = target->parent_) {
        if (target->state_ & WS_ACCEPTS_KEYS) {
            target->deliver_key_event(event);
            return true;
        }
        if (target == this) return false;
    }
    return false;
}

void Widget::set_focus() {
    if (s_focusWidget == this) return;
    Widget* const old_focus = s_focusWidget;
    if (old_focus) old_focus->lost_focus();
    s_focusWidget = this;
    got_focus();
}

boost::signals2::connection Widget::add_mouse_callback(MouseCallback callback) {
    return signals_->mouse.connect(callback);
}

boost::signals2::connection Widget::add_key_callback(KeyCallback callback) { return signals_->key.connect(callback); }

void Widget::mouse_event(MouseEvent const& /*event*/) {}

void Widget::key_event(KeyEvent const& /*event*/) {}

void Widget::got_focus() {}

void Widget::lost_focus() {}

}  // namespace vo

#pragma once

#include "engine/widgets/slot_connection.h"
#include "engine/widgets/text_widget.h"

#include <functional>
#include <memory>
#include <string>

namespace vo {

// A text widget whose text the user types. It always accepts keys, keeps
// the typed value with an optional maximum length, shows a blinking cursor
// while it has the focus, and raises its value-changed signal after every
// key press it handles, also when the value stays the same.
class InputWidget : public TextWidget {
public:
    using ValueCallback = void (*)(Widget*, const char*);

    // The state always gets WS_ACCEPTS_KEYS.
    InputWidget(Widget* parent, unsigned state);
    ~InputWidget() override;

    using Widget::estimate_height;
    using Widget::estimate_width;

    // Slots are called with the widget and the current value, after those
    // already connected.
    boost::signals2::connection connect_on_value_changed(ValueCallback callback);
    // A member function of object, called with the widget and the value.
    template <class T>
    SlotConnection<T> connect_on_value_changed(T* object, void (T::*method)(Widget*, const char*)) {
        return connect_value_slot(
            [object, method](Widget* sender, const char* value) { (object->*method)(sender, value); });
    }

    float estimate_width() const override;
    float estimate_height() const override;
    // Nothing at all for a fixed-size widget; otherwise room for the expected
    // value and its cursor.
    void adjust_to_content(bool resize) override;
    // Sets the value, cut to the maximum length, and raises the signal.
    void set_text(const char* text) override;
    // The value.
    const char* text() const override;

    // Appended: the longest value typing may produce; negative for no limit.
    // A longer value is cut at once (raising the signal).
    virtual void set_max_string_length(int length);

protected:
    // The inner width the expected value needs.
    float estimate_inner_width() const;

    void on_draw() override;
    void key_event(KeyEvent const& event) override;

private:
    struct Signals;

    boost::signals2::connection connect_value_slot(std::function<void(Widget*, const char*)> slot);
    // Shows the value and raises the signal; last thing a caller does, since
    // a slot may delete the widget.
    void value_changed();

    std::shared_ptr<Signals> signals_;
    std::string value_;
    int max_string_length_ = -1;
};

}  // namespace vo

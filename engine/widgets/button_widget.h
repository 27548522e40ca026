#pragma once

#include "engine/core/frame.h"
#include "engine/core/vector.h"
#include "engine/visuals/image.h"
#include "engine/visuals/text.h"
#include "engine/widgets/slot_connection.h"
#include "engine/widgets/widget.h"

#include <functional>
#include <memory>
#include <string>

namespace vo {

class Font;

// A widget showing an optional image and an optional text side by side (or
// the text over the image) that reacts to the mouse with a pressed state and
// raises mouse-down, mouse-up and click signals. It works as a push button,
// as a toggle (checkable) or as one of a group of exclusive toggles among its
// siblings. While pressed it shows the "pressed" style and its content sits
// 2 units lower.
class ButtonWidget : public Widget {
public:
    using Callback = void (*)(Widget*);

    explicit ButtonWidget(Widget* parent = nullptr, unsigned state = WS_DEFAULT_STATE);
    ~ButtonWidget() override;

    using Widget::estimate_height;
    using Widget::estimate_width;
    using Widget::set_property;
    using Widget::transform;

    // Slots are called with the button, after those already connected.
    boost::signals2::connection connect_on_click(Callback callback);
    boost::signals2::connection connect_on_mouse_down(Callback callback);
    boost::signals2::connection connect_on_mouse_up(Callback callback);
    // A member function of object, called with the button.
    template <class T>
    SlotConnection<T> connect_on_click(T* object, void (T::*method)(Widget*)) {
        return connect_click_slot([object, method](Widget* sender) { (object->*method)(sender); });
    }
    template <class T>
    SlotConnection<T> connect_on_mouse_down(T* object, void (T::*method)(Widget*)) {
        return connect_mouse_down_slot([object, method](Widget* sender) { (object->*method)(sender); });
    }

    // Overridden operations of Widget.
    void set_property(const char* name, Color const& value) override;
    // While pressed "default" shows "pressed"; while disabled every name
    // shows "disabled".
    void activate_style(std::string const& name) override;
    float estimate_width() const override;
    float estimate_height() const override;
    void adjust_to_content(bool resize) override;
    void transform(FrameTransform const& transform) override;

    // Appended operations, in this order.
    // The image's destination frame becomes the image frame of the layout.
    virtual void set_image(Image const& image);
    virtual void set_text(const char* text);
    virtual void set_text_color(Color const& color);
    // In layout units; the text gets it times the transform's y scale.
    virtual void set_text_height(float height);
    // Takes effect at the next layout.
    virtual void set_max_text_width(float width);
    virtual void set_font(SmartPtr<Font> const& font);
    // Subtracted from the text's position.
    virtual void set_text_align_offset(vector2 const& offset);
    // The text's height in pixels.
    virtual float text_height() const;
    virtual float max_text_width() const;
    virtual std::string text() const;
    virtual void press();
    virtual void unpress();

protected:
    // Lays out the image and the text inside the inner frame.
    virtual void refresh_geometry();

public:
    bool is_pressed() const { return pressed_; }
    bool is_checked() const { return checkable_ && pressed_; }
    void set_checkable(bool checkable);
    bool is_checkable() const { return checkable_; }
    void set_exclusive(bool exclusive);
    bool is_exclusive() const { return exclusive_; }
    void set_uncheckable(bool uncheckable) { uncheckable_ = uncheckable; }
    bool is_uncheckable() const { return uncheckable_; }
    void set_text_overlays_image(bool overlays) { text_overlays_image_ = overlays; }
    bool text_overlays_image() const { return text_overlays_image_; }

protected:
    void on_draw() override;
    void mouse_event(MouseEvent const& event) override;
    void frame_changed() override;

    // The first two steps of transform: the text's height and the layout.
    void apply_transform(FrameTransform const& transform);
    // Releases the pressed checkable sibling buttons.
    void make_exclusive();

private:
    struct Signals;

    boost::signals2::connection connect_click_slot(std::function<void(Widget*)> slot);
    boost::signals2::connection connect_mouse_down_slot(std::function<void(Widget*)> slot);

    // Shared, so that a slot may delete the button while its signal runs.
    std::shared_ptr<Signals> signals_;

protected:
    Image image_;
    Text text_;
    float image_margin_ = 2.0f;
    float text_margin_ = 2.0f;
    float text_height_ = 20.0f;
    Frame image_frame_;
    Frame content_frame_;
    vector2 text_align_offset_;
    bool pressed_ = false;
    bool checkable_ = false;
    bool uncheckable_ = true;
    bool exclusive_ = false;
    bool text_overlays_image_ = false;
};

}  // namespace vo

#pragma once

// The node of the engine's retained-mode user interface: a tree of
// rectangles, each with a frame in its parent's layout units, state bits,
// named colours, background and overlay images, a style map and two signals
// through which application code hears its mouse and key events.
//
// The class is implemented in four files: widget.cpp (tree, state, colours
// and styles), widget_layout.cpp (frames, transforms and layout),
// widget_input.cpp (mouse and key routing, focus) and widget_draw.cpp
// (drawing and frame tweens).

#include "engine/core/color.h"
#include "engine/core/frame.h"
#include "engine/core/frame_transform.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/tween_machine.h"
#include "engine/core/vector.h"
#include "engine/sfml/input_events.h"
#include "engine/visuals/image.h"
#include "engine/widgets/widget_style.h"

#include <boost/signals2/trackable.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace boost {
namespace signals2 {
class connection;
}  // namespace signals2
}  // namespace boost

namespace vo {

// The bits of a widget's state word.
enum WidgetStates : int {
    WS_VISIBLE = 0x2,                  // drawn, takes mouse and key events
    WS_ENABLED = 0x4,                  // takes mouse and key events; style "default" (else "disabled")
    WS_VIRTUAL = 0x8,                  // no rectangle of its own: the whole window, never hit
    WS_ACCEPTS_KEYS = 0x10,            // receives key events coming up from the focused widget
    WS_FIXED_SIZE = 0x20,              // adjust_to_content keeps its size
    WS_ALIGN_LEFT = 0x40,              // with WS_ALIGN_RIGHT: centred horizontally
    WS_ALIGN_TOP = 0x80,               // with WS_ALIGN_BOTTOM: centred vertically
    WS_ALIGN_RIGHT = 0x100,
    WS_ALIGN_BOTTOM = 0x200,
    WS_TRANSPARENT = 0x400,            // on_draw skipped, no border width
    WS_BACKGROUND = 0x800,             // on_draw fills the inner frame
    WS_BORDER = 0x1000,                // on_draw draws the border lines; border width 2
    WS_CHILDREN_IGNORE_MOUSE = 0x2000,  // mouse events are not offered to the children
    WS_IGNORE_MOUSE = 0x4000,          // the widget and its subtree ignore the mouse
    WS_DEFAULT_STATE = WS_VISIBLE | WS_ENABLED | WS_BACKGROUND | WS_BORDER  // 0x1806
};

class Widget : public IEventHandler, public boost::signals2::trackable {
public:
    using MouseCallback = void (*)(Widget*, MouseEvent const&);
    using KeyCallback = void (*)(Widget*, KeyEvent const&);

    // Takes the default styles, and with a parent joins its children and its
    // child transform. The parent owns the new widget.
    explicit Widget(Widget* parent = nullptr, int state = WS_DEFAULT_STATE);
    Widget(Widget const&) = delete;
    Widget& operator=(Widget const&) = delete;

    // The virtual operations below keep their declaration order: derived
    // classes of the game rely on it.

    // Deletes the children first, then leaves the parent's list.
    ~Widget() override;

    // Routing (widget_input.cpp). True when some widget took the event.
    bool process_mouse_event(MouseEvent const& event) override;
    bool process_key_event(KeyEvent const& event) override;

    // State. set_state activates "default" or "disabled" when WS_ENABLED
    // changes (only once a style map is set).
    virtual void set_state(int state);
    virtual void enable_state(int bits);
    virtual void disable_state(int bits);

    // Style properties. Images "background" and "overlay"; frames "main"
    // (set_frame) and "inner" (set_inner_frame_dimensions); colours by their
    // registered names (an unregistered name throws); vector2 and float
    // properties mean nothing to a plain widget.
    virtual void set_property(const char* name, Image const& value);
    virtual void set_property(const char* name, Frame const& value);
    virtual void set_property(const char* name, Color const& value);
    virtual void set_property(const char* name, vector2 const& value);
    virtual void set_property(const char* name, float value);
    // Applies the style of that name from the style map when it has one.
    virtual void activate_style(std::string const& name);

protected:
    // inner + twice the border width.
    virtual float estimate_width(float inner) const;

public:
    // The outer size the widget's own content needs; 0 for a plain widget.
    virtual float estimate_width() const;

protected:
    virtual float estimate_height(float inner) const;

public:
    virtual float estimate_height() const;

    // Geometry (widget_layout.cpp). Frames are in layout units relative to
    // the parent's outer upper-left corner. A virtual widget ignores
    // set_frame and its frame is the whole window.
    virtual void set_frame(Frame const& frame);
    virtual Frame frame() const;
    virtual void set_inner_frame_dimensions(float width, float height);
    // The frame inside the border, in the widget's own coordinates.
    virtual Frame inner_frame() const;
    // Sizes the subtree to its content, bottom-up.
    virtual void adjust_to_content(bool resize);
    // Places the children by their alignment bits and offsets.
    virtual void align_children(bool recursive);
    // Sets the map from layout units to window pixels and hands it down.
    virtual void transform(FrameTransform const& transform);

    // Deletes this widget; has the shape of a button callback.
    virtual void close(Widget* sender);

protected:
    // Drawing (widget_draw.cpp).
    virtual void push_render_transforms();
    virtual void pop_render_transforms();
    virtual void on_draw();
    virtual void on_draw_overlay();

    // Hooks for derived classes; empty here.
    virtual void mouse_event(MouseEvent const& event);
    virtual void key_event(KeyEvent const& event);
    virtual void got_focus();
    virtual void lost_focus();
    // Tells the children; rebuilds nothing here.
    virtual void frame_changed();
    virtual float border_width() const;

public:
    // Tree.
    Widget* parent() const { return parent_; }
    // index below num_children(); not checked.
    Widget* child(unsigned index) const { return children_[index]; }
    unsigned num_children() const { return static_cast<unsigned>(children_.size()); }

    // State.
    int state() const { return state_; }
    bool state_is_enabled(int mask) const { return (state_ & mask) == mask; }
    bool is_visible() const { return (state_ & WS_VISIBLE) != 0; }
    bool is_enabled() const { return (state_ & WS_ENABLED) != 0; }
    bool is_virtual() const { return (state_ & WS_VIRTUAL) != 0; }

    // Colour values by registered name. Unregistered names throw Error.
    Color get_color(std::string name);
    void set_color(std::string name, Color const& color);

    // Styles.
    void set_style_map(ConstSmartPtr<WidgetStyleMap> map);
    ConstSmartPtr<WidgetStyleMap> style_map() const;
    // Applies every entry through set_property: floats, vectors, colours,
    // frames, images, each kind in the style's name order.
    void set_style(WidgetStyle const& style);
    void set_background_image(Image const& image);

    // Geometry (widget_layout.cpp).
    FrameTransform const& transform() const { return transform_; }
    FrameTransform const& child_transform() const { return child_transform_; }
    // The inner frame in pixels relative to the widget's corner.
    Frame inner_transformed_frame() const;
    // transform() * frame(): pixels relative to the parent's pixel corner.
    Frame transformed_frame() const;
    void set_transformed_frame(Frame const& frame);
    // The frame in the root's layout units.
    Frame global_frame() const;
    // The rectangle in window pixels; what the mouse is tested against.
    Frame global_transformed_frame() const;
    Frame global_transformed_frame(Frame const& frame) const;
    vector2 global_to_local(vector2 point);
    vector2 local_to_global(vector2 const& point);
    vector2 global_to_local_transformed(vector2 point);
    vector2 local_to_global_transformed(vector2 const& point);
    vector2 const& align_offset() const { return align_offset_; }
    void set_align_offset(vector2 const& offset) { align_offset_ = offset; }

    // Focus and callbacks (widget_input.cpp).
    void set_focus();
    bool has_focus() const { return s_focusWidget == this; }
    boost::signals2::connection add_mouse_callback(MouseCallback callback);
    boost::signals2::connection add_key_callback(KeyCallback callback);

    // Drawing and tweens (widget_draw.cpp).
    void draw();
    // A smooth tween of the frame to target over the given seconds.
    void tween_to(Frame const& target, double seconds);
    // Advances every widget frame tween.
    static void update(double dt);

    // Colour values by name that override a colour when a widget registers
    // it; filled by application code only.
    static std::map<std::string, Color> s_colMap;
    // The running frame tweens of all widgets.
    static TweenMachine s_tweenMachine;

protected:
    void add_child(Widget* widget);
    void remove_child(Widget* widget);
    bool destroying_children() const { return destroying_children_; }

    void register_color_value(std::string name, Color* field);

    static Widget* focus_widget() { return s_focusWidget; }
    static Widget* mouse_widget() { return s_mouseWidget; }

    vector2 upper_left_corner_global() const;
    vector2 upper_left_corner_global_transformed() const;
    void update_child_transform();

    // Key focus, mouse grab and hover; each is cleared when its widget dies.
    static Widget* s_focusWidget;
    static Widget* s_mouseWidget;
    static Widget* s_mouseMoveWidget;

private:
    struct Signals;
    // A clip box in pixels of the viewport of the widget being drawn.
    struct ClipBox {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool known = false;  // false outside any widget's drawing
    };

    bool process_mouse_event_in_children(MouseEvent const& event);
    // Signal, then hook. False when a receiver deleted this widget.
    bool deliver_mouse_event(MouseEvent const& event);
    bool deliver_key_event(KeyEvent const& event);

    Widget* parent_ = nullptr;
    std::vector<Widget*> children_;
    int state_ = 0;
    Frame frame_;
    FrameTransform transform_;
    FrameTransform child_transform_;
    vector2 align_offset_;
    // The mouse and key signals. Shared, so that they outlive a widget that
    // one of their own slots deletes.
    std::shared_ptr<Signals> signals_;
    Color background_;
    Color overlay_;
    Color border_light_;
    Color border_dark_;
    Color text_color_;
    Image background_image_;
    Image overlay_image_;
    float border_width_ = 2.0f;
    bool destroying_children_ = false;
    // Whether the last push_render_transforms pushed anything to pop, and
    // the clip box it replaced.
    bool render_transforms_pushed_ = false;
    ClipBox outer_clip_;
    static ClipBox s_clip;
    std::map<std::string, Color*> color_slots_;
    ConstSmartPtr<WidgetStyleMap> style_map_;
};

}  // namespace vo

#include "engine/widgets/widget.h"

#include "engine/core/error.h"
#include "engine/widgets/widget_signals.h"

#include <algorithm>
#include <cstring>

namespace vo {

std::map<std::string, Color> Widget::s_colMap;
TweenMachine Widget::s_tweenMachine;
Widget* Widget::s_focusWidget = nullptr;
Widget* Widget::s_mouseWidget = nullptr;
Widget* Widget::s_mouseMoveWidget = nullptr;

namespace {

WidgetStyle ColorStyle(Color const& background, Color const& overlay, Color const& border_light,
                       Color const& border_dark, Color const& text_color) {
    WidgetStyle style;
    style.colors()["background"] = background;
    style.colors()["overlay"] = overlay;
    style.colors()["borderLight"] = border_light;
    style.colors()["borderDark"] = border_dark;
    style.colors()["textColor"] = text_color;
    return style;
}

// The first widget of the process gives the default map its two styles.
void InstallDefaultStyles() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    SmartPtr<WidgetStyleMap> map = DefaultStyleMap();
    map->set("default", ColorStyle(Color(1.0f, 1.0f, 1.0f, 1.0f), Color(1.0f, 1.0f, 1.0f, 0.0f),
                                   Color(0.1f, 0.1f, 0.1f, 1.0f), Color(0.0f, 0.0f, 0.0f, 1.0f),
                                   Color(0.0f, 0.0f, 0.0f, 1.0f)));
    map->set("disabled", ColorStyle(Color(0.7f, 0.7f, 0.7f, 0.9f), Color(0.5f, 0.5f, 0.5f, 0.5f),
                                    Color(0.2f, 0.2f, 0.2f, 1.0f), Color(0.1f, 0.1f, 0.1f, 1.0f),
                                    Color(0.2f, 0.2f, 0.2f, 1.0f)));
}

}  // namespace

Widget::Widget(Widget* parent, int state) : signals_(std::make_shared<Signals>()) {
    InstallDefaultStyles();

    register_color_value("background", &background_);
    register_color_value("overlay", &overlay_);
    register_color_value("borderLight", &border_light_);
    register_color_value("borderDark", &border_dark_);
    register_color_value("textColor", &text_color_);

    Widget::set_state(state);
    set_style_map(DefaultStyleMap());

    if (parent) {
        parent->children_.push_back(this);
        parent_ = parent;
        transform_ = parent->child_transform_;
        update_child_transform();
    }
}

Widget::~Widget() {
    if (s_mouseMoveWidget == this) s_mouseMoveWidget = nullptr;
    if (s_mouseWidget == this) s_mouseWidget = nullptr;
    if (s_focusWidget == this) s_focusWidget = nullptr;
    // A frame tween must never write into a deleted widget.
    s_tweenMachine.cancel_tweens(this);
    signals_->alive = false;

    destroying_children_ = true;
    // The list is read afresh at each step; children do not edit it while
    // their parent destroys them.
    for (std::size_t i = 0; i < children_.size(); ++i) delete children_[i];
    children_.clear();

    if (parent_ && !parent_->destroying_children_) parent_->remove_child(this);
}

void Widget::close(Widget* /*sender*/) { delete this; }

void Widget::add_child(Widget* widget) {
    if (!widget || widget->parent_ == this) return;
    // A widget cannot hold itself or one of its ancestors: the tree would
    // own itself.
    for (Widget* w = this; w; w = w->parent_) {
        if (w == widget) throw Error("Widget::add_child: a widget cannot become a child of its own subtree");
    }
    if (widget->parent_) widget->parent_->remove_child(widget);
    widget->parent_ = this;
    children_.push_back(widget);
}

void Widget::remove_child(Widget* widget) {
    auto found = std::find(children_.begin(), children_.end(), widget);
    if (found == children_.end()) return;
    children_.erase(found);
    widget->parent_ = nullptr;
}

void Widget::set_state(int state) {
    bool became_enabled = false;
    bool became_disabled = false;
    if (style_map_) {
        bool const was = (state_ & WS_ENABLED) != 0;
        bool const is = (state & WS_ENABLED) != 0;
        became_enabled = !was && is;
        became_disabled = was && !is;
    }
    state_ = state;
    bool const bordered = (state & WS_BORDER) && !(state & (WS_VIRTUAL | WS_TRANSPARENT));
    border_width_ = bordered ? 2.0f : 0.0f;
    if (became_enabled) {
        activate_style("default");
    } else if (became_disabled) {
        activate_style("disabled");
    }
}

void Widget::enable_state(int bits) { set_state(state_ | bits); }

void Widget::disable_state(int bits) { set_state(state_ & ~bits); }

void Widget::register_color_value(std::string name, Color* field) {
    color_slots_[name] = field;
    auto preset = s_colMap.find(name);
    if (preset != s_colMap.end()) *field = preset->second;
}

Color Widget::get_color(std::string name) {
    auto slot = color_slots_.find(name);
    if (slot == color_slots_.end()) throw Error("trying retrieve a unregistered color: " + name);
    return *slot->second;
}

void Widget::set_color(std::string name, Color const& color) {
    auto slot = color_slots_.find(name);
    if (slot == color_slots_.end()) throw Error("trying to set a unregistered color: " + name);
    *slot->second = color;
}

void Widget::set_style_map(ConstSmartPtr<WidgetStyleMap> map) {
    style_map_ = map;
    activate_style(is_enabled() ? "default" : "disabled");
}

ConstSmartPtr<WidgetStyleMap> Widget::style_map() const { return style_map_; }

void Widget::activate_style(std::string const& name) {
    if (!style_map_) return;
    // The handle keeps the map alive while its style is applied, even when a
    // property setter replaces this widget's map.
    ConstSmartPtr<WidgetStyleMap> const map = style_map_;
    WidgetStyle const* style = map->get_if_available(name);
    if (style) set_style(*style);
}

void Widget::set_style(WidgetStyle const& style) {
    for (auto const& entry : style.floats()) set_property(entry.first.c_str(), entry.second);
    for (auto const& entry : style.vectors()) set_property(entry.first.c_str(), entry.second);
    for (auto const& entry : style.colors()) set_property(entry.first.c_str(), entry.second);
    for (auto const& entry : style.frames()) set_property(entry.first.c_str(), entry.second);
    for (auto const& entry : style.images()) set_property(entry.first.c_str(), entry.second);
}

void Widget::set_property(const char* name, Image const& value) {
    if (std::strcmp(name, "background") == 0) {
        background_image_ = value;
    } else if (std::strcmp(name, "overlay") == 0) {
        overlay_image_ = value;
    }
}

void Widget::set_property(const char* name, Frame const& value) {
    if (std::strcmp(name, "main") == 0) {
        set_frame(value);
    } else if (std::strcmp(name, "inner") == 0) {
        set_inner_frame_dimensions(value.width(), value.height());
    }
}

void Widget::set_property(const char* name, Color const& value) { set_color(name, value); }

void Widget::set_property(const char* /*name*/, vector2 const& /*value*/) {}

void Widget::set_property(const char* /*name*/, float /*value*/) {}

void Widget::set_background_image(Image const& image) { background_image_ = image; }

}  // namespace vo

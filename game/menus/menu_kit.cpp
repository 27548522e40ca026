#include "game/menus/menu_kit.h"

#include "engine/core/error.h"
#include "engine/core/info_file.h"
#include "engine/core/path_provider.h"
#include "engine/core/tree_readers.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "engine/widgets/widget_style.h"
#include "engine/widgets/widget_style_config.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/signals2/connection.hpp>


namespace vo {

namespace {

struct MenuConfigStore {
    ptree tree;
    bool loaded = false;
};

MenuConfigStore& Store() {
    static MenuConfigStore store;
    return store;
}

// State bits of the menu widgets.
constexpr int kMenuButtonState = WS_DEFAULT_STATE;                               // 0x1806
constexpr int kBoxSurroundingState = WS_VISIBLE | WS_ENABLED | WS_FIXED_SIZE | WS_BACKGROUND;  // 0x826
constexpr int kBoxMainState = 0xBE6;  // visible, enabled, fixed size, centred, background
constexpr int kBoxPartState = WS_VISIBLE | WS_ENABLED | WS_FIXED_SIZE;          // 0x26
constexpr int kBoxButtonState = 0x1BC6;
constexpr unsigned kCentredText = 0x3C0;

}  // namespace

ptree const& MenuConfig(bool reload) {
    MenuConfigStore& store = Store();
    if (!store.loaded || reload) {
        // Read into a fresh tree first, so that a failed read keeps the tree
        // the menus are already using.
        ptree fresh;
        ReadInfoFile(PathProvider::get_path(1) + "/menu_config.info", fresh);
        store.tree.swap(fresh);
        store.loaded = true;
    }
    return store.tree;
}

Color MenuColor(std::string const& key) { return ReadColor(MenuConfig().get_child(key), Color(1, 1, 1, 1)); }

Frame MenuFrame(std::string const& key) { return ReadFrame(MenuConfig().get_child(key)); }

float MenuFloat(std::string const& key) { return MenuConfig().get<float>(key); }

float MenuFloat(std::string const& group, std::string const& key) {
    return MenuConfig().get_child(group).get<float>(key);
}

std::string MenuString(std::string const& key) { return MenuConfig().get<std::string>(key); }

SmartPtr<WidgetStyleMap> MenuStyleMap(const char* key, ConstSmartPtr<WidgetStyleMap> base) {
    return WidgetStyleMapFromConfig(key, MenuConfig(), base);
}

Frame MenuReferenceFrame() {
    Frame const ref = MenuFrame("referenceFrame");
    if (!(ref.width() > 0.0f) || !(ref.height() > 0.0f)) {
        throw Error("referenceFrame in menu_config.info needs a positive width and height");
    }
    return ref;
}

FrameTransform MenuTransform() {
    Frame const ref = MenuReferenceFrame();
    float const rw = ref.width();
    float const rh = ref.height();
    Engine& engine = Engine::instance();
    float const w = static_cast<float>(engine.screen_width());
    float const h = static_cast<float>(engine.screen_height());

    float const aspect = rw / rh;
    float target_w = 0.0f;
    float target_h = 0.0f;
    if (aspect > w / h) {
        target_w = w;
        target_h = w / aspect;
    } else {
        target_w = aspect * h;
        target_h = h;
    }
    float const offset_x = (w - target_w) * 0.5f;
    float const offset_y = (h - target_h) * 0.5f;
    return FrameTransform(Frame(0.0f, 0.0f, rw, rh),
                          Frame(offset_x, offset_y, offset_x + target_w, offset_y + target_h), false);
}

SmartPtr<WidgetStyleMap> MenuWidgetStyles(const char* group) {
    return WidgetStyleMapFromConfig(group, DefaultWidgetStyleConfig(), DefaultStyleMap());
}

ButtonWidget* CreateMenuButton(Widget* parent, const char* text, int state) {
    auto* button = new ButtonWidget(parent, kMenuButtonState);
    button->enable_state(state | WS_FIXED_SIZE);
    button->disable_state(WS_BORDER);
    button->set_style_map(MenuStyleMap("menuButton", DefaultStyleMap()));
    button->set_frame(MenuFrame("menuButton.default.image.srcFrame"));
    button->set_text_height(35);
    button->set_text(text);
    button->set_text_color(Color(0, 0, 0, 1));
    return button;
}

Widget* ShowMessageBox(Widget* parent, const char* text, const char* button_text, const char* style) {
    SmartPtr<WidgetStyleMap> const styles = MenuWidgetStyles(style);
    WidgetStyleMap const& style_map = *styles;
    WidgetStyle const& geometry = style_map.get("geometry");
    // Every entry is looked up before any widget exists, so that a missing
    // one leaves the parent's tree as it was.
    Color const surrounding_color = geometry.get<Color>("surrounding");
    Frame const main_frame = geometry.get<Frame>("main");
    Frame const text_frame = geometry.get<Frame>("textArea");
    Frame const button_frame = geometry.get<Frame>("buttonArea");
    Frame const reference = MenuReferenceFrame();

    auto* surrounding = new Widget(parent, kBoxSurroundingState);
    try {
        surrounding->set_color("background", surrounding_color);
        surrounding->set_frame(reference);

        auto* main = new Widget(surrounding, kBoxMainState);
        main->set_frame(main_frame);
        // The box's panel wears the group's own styles.
        main->set_style_map(styles);

        auto* text_area = new TextWidget(main, kBoxPartState);
        text_area->set_frame(text_frame);
        text_area->set_text_align(kCentredText);
        text_area->set_text_height(35);
        text_area->set_text(text);
        text_area->set_text_color(Color(0, 0, 0, 1));

        auto* button_area = new Widget(main, kBoxPartState);
        button_area->set_frame(button_frame);

        ButtonWidget* button = CreateMenuButton(button_area, button_text, kBoxButtonState);
        // Closing deletes the box with the button inside it; the button's
        // signal delivery is built to survive its own deletion.
        button->connect_on_click(surrounding, &Widget::close);

        surrounding->adjust_to_content(true);
        surrounding->align_children(true);
    } catch (...) {
        delete surrounding;
        throw;
    }
    return surrounding;
}

}  // namespace vo

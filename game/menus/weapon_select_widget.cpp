#include "game/menus/weapon_select_widget.h"

#include "engine/core/color.h"
#include "engine/core/path_provider.h"
#include "engine/core/tree_readers.h"
#include "engine/core/vector.h"
#include "engine/visuals/font.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget_style_config.h"
#include "game/app/int_to_string.h"
#include "game/menus/grid_widget.h"

#include <boost/optional.hpp>
#include <boost/property_tree/ptree.hpp>
#include <boost/signals2/connection.hpp>

#include <iostream>

namespace vo {

namespace {

const char* const kStylesFile = "ingame_widget_styles.info";
const char* const kDefaultWeaponKey = "defaultWeapon";

constexpr int kListState = WS_ALIGN_LEFT | WS_ALIGN_BOTTOM | WS_TRANSPARENT;                       // 0x640
constexpr int kButtonState = WS_FIXED_SIZE | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM | WS_CHILDREN_IGNORE_MOUSE;  // 0x2320
constexpr float kButtonTextHeight = 20.0f;
constexpr float kInfoTextHeight = 30.0f;
constexpr double kPulseSeconds = 0.5;

// The info box tells its owner when it goes, so that an info parent
// deleting its children first leaves the owner no dangling pointer.
class InfoBox : public GridWidget {
public:
    InfoBox(Widget* parent, GridWidget** owner_slot) : GridWidget(parent, WS_DEFAULT_STATE), owner_slot_(owner_slot) {}
    ~InfoBox() override {
        if (*owner_slot_ == this) *owner_slot_ = nullptr;
    }

private:
    GridWidget** owner_slot_;
};

void PrintFontHeight(SmartPtr<Font> const& font) {
    std::cout << "FONT HEIGHT: " << (font ? font->character_height() : 0.0f) << std::endl;
}

// The buttons sit in the list, which sits in the widget.
void OnButtonMouse(Widget* sender, MouseEvent const& event) {
    Widget* const list = sender ? sender->parent() : nullptr;
    auto* const owner = dynamic_cast<WeaponSelectWidget*>(list ? list->parent() : nullptr);
    if (owner) owner->on_weapon_mouse(sender, event);
}

}  // namespace

WeaponSelectWidget::WeaponSelectWidget(ptree const& weapons, SmartPtr<Font> font, Widget* parent, int state)
    : Widget(parent, state), weapons_(weapons), font_(font) {
    list_ = new GridWidget(this, WS_DEFAULT_STATE);
    list_->enable_state(kListState);

    ptree const& available = weapons_.get_child("availableWeapons");
    SmartPtr<WidgetStyleMap> const styles =
        WidgetStyleMapFromInfoFile(PathProvider::get_path(1) + kStylesFile, "worldRotateButton", DefaultStyleMap());
    Frame const button_frame = ReadFrame(GetConfig(kStylesFile, "worldRotateButton.default.image.srcFrame"));

    unsigned row = 0;
    std::string last_weapon;
    for (auto const& entry : available) {
        std::string const& name = entry.first;
        // The default weapon's key names a weapon; it is none itself.
        if (name == kDefaultWeaponKey) continue;
        if (buttons_.left.count(name)) {
            std::cout << "WARNING: weapon '" << name << "' is listed twice in availableWeapons; "
                      << "the first entry keeps its button" << std::endl;
            continue;
        }
        Image const icon = ReadImage(entry.second.get_child("icon"));

        auto* button = new ButtonWidget(list_, WS_DEFAULT_STATE);
        buttons_.insert(ButtonMap::value_type(name, button));
        rest_frames_[name] = Frame();
        button->set_style_map(styles);
        button->set_frame(button_frame);
        button->enable_state(kButtonState);
        button->disable_state(WS_BORDER);
        button->set_image(icon);
        button->connect_on_click(this, &WeaponSelectWidget::on_weapon_clicked);
        button->add_mouse_callback(&OnButtonMouse);
        button->set_checkable(true);
        button->set_uncheckable(false);
        button->set_exclusive(true);
        button->set_text_overlays_image(true);
        button->set_text_height(kButtonTextHeight);
        button->set_font(font_);
        float const w = icon.dest_frame.width();
        button->set_text_align_offset(vector2(-0.3f * w, -0.3f * w));
        list_->set_widget(button, row++, 0);
        last_weapon = name;
    }

    PrintFontHeight(font_);
    create_info_box(parent);

    default_weapon_ = last_weapon;
    if (boost::optional<std::string> named = available.get_optional<std::string>(kDefaultWeaponKey)) {
        if (buttons_.left.count(*named)) {
            default_weapon_ = *named;
        } else {
            std::cout << "WARNING: the defaultWeapon '" << *named << "' has no weapon button; using '"
                      << last_weapon << "' instead" << std::endl;
        }
    }
    select_weapon();
}

WeaponSelectWidget::~WeaponSelectWidget() { destroy_info_box(); }

void WeaponSelectWidget::destroy_info_box() {
    if (!info_box_) return;
    // Taken into this widget first: an info parent that is deleting its
    // children (the head-up display going with this widget among them) must
    // not meet the box again after it is gone.
    add_child(info_box_);
    delete info_box_;  // the box clears info_box_
}

ButtonWidget* WeaponSelectWidget::button(std::string const& name) const {
    auto found = buttons_.left.find(name);
    return found == buttons_.left.end() ? nullptr : found->second;
}

void WeaponSelectWidget::select_weapon() {
    if (ButtonWidget* b = button(default_weapon_)) b->press();
    selected_weapon_ = default_weapon_;
}

void WeaponSelectWidget::set_weapon_counts(std::map<std::string, int> const& counts) {
    for (auto const& entry : counts) {
        ButtonWidget* const b = button(entry.first);
        if (!b) {
            if (unknown_weapons_.insert(entry.first).second) {
                std::cout << "WARNING: no weapon button for '" << entry.first << "'; its count is not shown"
                          << std::endl;
            }
            continue;
        }
        int const count = entry.second;
        if (count == 0) {
            b->disable_state(WS_ENABLED);
            b->set_text("0");
        } else {
            b->enable_state(WS_ENABLED);
            if (count > 0) b->set_text(IntToString(count).c_str());
        }
    }
}

void WeaponSelectWidget::update_weapon(std::string const& name) {
    ButtonWidget* const b = button(name);
    if (!b) return;
    Frame& rest = rest_frames_[name];
    if (rest.width() == 0.0f) rest = b->frame();
    Frame pulse = rest;
    pulse.scale(2.0f, 2.0f, 0.2f, 0.5f);
    b->set_frame(pulse);
    b->tween_to(rest, kPulseSeconds);
}

void WeaponSelectWidget::create_info_box(Widget* parent) {
    info_parent_ = parent;
    destroy_info_box();
    PrintFontHeight(font_);

    info_box_ = new InfoBox(parent, &info_box_);
    info_box_->set_property("background", Color(0.0f, 0.0f, 0.0f, 1.0f));
    info_box_->disable_state(WS_BORDER);
    info_box_->set_horizontal_spacing(15.0f);
    info_box_->set_vertical_spacing(10.0f);
    for (unsigned column = 0; column < 2; ++column) {
        auto* text = new TextWidget(info_box_, WS_DEFAULT_STATE);
        text->disable_state(WS_BACKGROUND | WS_BORDER);
        text->set_text_color(Color(1.0f, 1.0f, 1.0f, 1.0f));
        text->set_text_height(kInfoTextHeight);
        info_box_->set_widget(text, 0, column);
    }
    info_box_->disable_state(WS_VISIBLE);
}

void WeaponSelectWidget::show_info_box(ButtonWidget* button) {
    if (!button || !info_box_) return;
    auto found = buttons_.right.find(button);
    if (found == buttons_.right.end()) return;
    std::string const& name = found->second;
    ptree const& weapon = weapons_.get_child(name);

    std::string captions = name + "\n";
    std::string values = "\n";
    captions += "power:\n";
    values += weapon.get<float>("fixedVelocity", -1.0f) >= 0.0f ? "fixed\n" : "dynamic\n";
    if (weapon.get<int>("cluster.num", 0) != 0 && !weapon.get<bool>("clustersOnly", false)) {
        captions += "clusters:\n";
        values += weapon.get<float>("cluster.directionalRelative", 0.0f) != 0.0f ? "directional\n" : "non-directional\n";
    }

    info_box_->enable_state(WS_VISIBLE);
    if (auto* text = dynamic_cast<TextWidget*>(info_box_->widget_at(0, 0))) text->set_text(captions.c_str());
    if (auto* text = dynamic_cast<TextWidget*>(info_box_->widget_at(0, 1))) text->set_text(values.c_str());
    info_box_->adjust_to_content(true);
    info_box_->align_children(true);

    // Beside the button: the box's bottom-left corner on the button's
    // bottom-right corner.
    vector2 corner = button->global_frame().coordinate(vector2(1.0f, 1.0f));
    if (info_parent_) corner = info_parent_->global_to_local(corner);
    Frame placed = info_box_->frame();
    placed.move_to(corner, vector2(0.0f, 1.0f));
    info_box_->set_frame(placed);
}

void WeaponSelectWidget::on_weapon_clicked(Widget* sender) {
    auto found = buttons_.right.find(dynamic_cast<ButtonWidget*>(sender));
    if (found != buttons_.right.end()) selected_weapon_ = found->second;
}

void WeaponSelectWidget::on_weapon_mouse(Widget* sender, MouseEvent const& event) {
    if (event.type() == MOUSE_LEFT) {
        if (info_box_) info_box_->disable_state(WS_VISIBLE);
    } else if (event.type() == MOUSE_ENTERED) {
        show_info_box(dynamic_cast<ButtonWidget*>(sender));
    }
}

}  // namespace vo

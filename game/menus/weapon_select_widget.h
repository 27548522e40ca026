#pragma once

// The weapon list of the match's head-up display: one checkable, mutually
// exclusive button per available weapon, stacked in a column, each showing
// the weapon's icon and the throws left, and an info box describing the
// weapon under the mouse. Everything shown comes from the weapons tree
// ("weapons.info") and the "worldRotateButton" styles of
// "ingame_widget_styles.info".

#include "engine/core/config.h"
#include "engine/core/frame.h"
#include "engine/core/smart_ptr.h"
#include "engine/widgets/widget.h"

#include <boost/bimap.hpp>
#include <boost/property_tree/ptree.hpp>

#include <map>
#include <set>
#include <string>

namespace vo {

class ButtonWidget;
class Font;
class GridWidget;

class WeaponSelectWidget : public Widget {
public:
    // Builds a button for every child of "availableWeapons" but the key
    // "defaultWeapon", which names the weapon selected at the start (the
    // last listed weapon when it is missing or names no button, the latter
    // with a warning), and the hidden info box under parent.
    WeaponSelectWidget(ptree const& weapons, SmartPtr<Font> font, Widget* parent, int state);
    // Deletes the info box, wherever it lives, before the buttons go.
    ~WeaponSelectWidget() override;

    // Presses the default weapon's button and makes it the selected weapon.
    void select_weapon();
    // Per weapon: 0 disables its button and shows "0"; a positive count
    // enables it and shows the number; a negative count enables it and keeps
    // its text. A name without a button is skipped with one warning.
    void set_weapon_counts(std::map<std::string, int> const& counts);
    // The pulse of a weapon just received: the button doubles in size and
    // shrinks back to its resting frame in half a second. A name without a
    // button is ignored.
    void update_weapon(std::string const& name);
    // (Re)creates the hidden info box under parent.
    void create_info_box(Widget* parent);
    // Fills the info box for the button's weapon and shows it beside the
    // button; null is ignored. A weapon without a description at the top of
    // the weapons tree raises the tree's "No such node" error.
    void show_info_box(ButtonWidget* button);

    // Handlers of every button: a click selects the button's weapon; the
    // mouse entering shows the info box for it and leaving hides it.
    void on_weapon_clicked(Widget* sender);
    void on_weapon_mouse(Widget* sender, MouseEvent const& event);

    std::string const& selected_weapon() const { return selected_weapon_; }
    std::string const& default_weapon() const { return default_weapon_; }
    // The button of the weapon, or null.
    ButtonWidget* button(std::string const& name) const;
    GridWidget* list() const { return list_; }
    GridWidget* info_box() const { return info_box_; }

private:
    using ButtonMap = boost::bimap<std::string, ButtonWidget*>;

    void destroy_info_box();

    GridWidget* list_ = nullptr;
    ptree weapons_;
    Widget* info_parent_ = nullptr;
    GridWidget* info_box_ = nullptr;
    SmartPtr<Font> font_;
    ButtonMap buttons_;
    std::map<std::string, Frame> rest_frames_;
    std::string selected_weapon_;
    std::string default_weapon_;
    // Names given counts that have no button, each warned about once.
    std::set<std::string> unknown_weapons_;
};

}  // namespace vo

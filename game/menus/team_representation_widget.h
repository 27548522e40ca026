#pragma once

// The team card of the main menu: a background (plain or highlighted when the
// card is the selected one), an editable team name, the portrait of the
// team's character and a Human/CPU switch. The card keeps its own copy of the
// team record up to date while the user edits it. Its look comes from the
// "teamRepresentation" keys of the menu configuration.

#include "engine/visuals/image.h"
#include "engine/widgets/widget.h"
#include "game/app/characters.h"

#include <boost/property_tree/ptree_fwd.hpp>
#include <boost/signals2/signal.hpp>

namespace vo {

class InputWidget;
class TextWidget;

class TeamRepresentationWidget : public Widget {
public:
    // Builds the card from the keys under "teamRepresentation" of
    // menu_config (the whole menu configuration). Of team only the
    // CPU-controlled flag is taken; hand the whole record over with
    // set_team. A missing key throws the property tree's error naming it;
    // the texture manager's Error for a texture that cannot be loaded.
    TeamRepresentationWidget(TeamDesc const& team, Widget* parent, int state,
                             boost::property_tree::ptree const& menu_config);
    // The same, from the game's menu configuration (MenuConfig()).
    TeamRepresentationWidget(TeamDesc const& team, Widget* parent, int state);
    ~TeamRepresentationWidget() override;

    // Takes the record: the name input shows its team name, the picture
    // its character's portrait texture, the switch its CPU flag.
    void set_team(TeamDesc const& team);
    // Used by the next draw.
    void set_selected(bool selected) { selected_ = selected ? 1 : 0; }
    bool is_selected() const { return selected_ == 1; }
    bool is_cpu() const { return cpu_; }
    TeamDesc& team() { return team_; }
    TeamDesc const& team() const { return team_; }

    // The name input's value-changed slot: the record's team name follows.
    void on_name_changed(Widget* sender, const char* text);

    InputWidget* name_input() const { return name_input_; }
    TextWidget* human_label() const { return human_label_; }
    TextWidget* cpu_label() const { return cpu_label_; }
    float label_height() const { return label_height_; }

    // Every press on the card emits on_select and then on_press with the card
    // as sender. on_change is never emitted by the card itself.
    boost::signals2::signal<void(Widget*)> on_select;
    boost::signals2::signal<void(Widget*)> on_change;
    boost::signals2::signal<void(Widget*)> on_press;

protected:
    void on_draw() override;
    void mouse_event(MouseEvent const& event) override;

private:
    // The label of the active side of the switch is the larger one.
    void show_switch();

    int selected_ = 0;
    bool cpu_ = false;
    TeamDesc team_;
    Image background_;
    Image background_selected_;
    Image human_button_;
    Image human_button_selected_;
    Image cpu_button_;
    Image cpu_button_selected_;
    Image character_picture_;
    InputWidget* name_input_ = nullptr;
    TextWidget* human_label_ = nullptr;
    TextWidget* cpu_label_ = nullptr;
    float label_height_ = 0.0f;
};

}  // namespace vo

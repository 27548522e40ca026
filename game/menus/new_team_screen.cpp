#include "game/menus/new_team_screen.h"

#include "engine/sfml/engine.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_screen_helpers.h"

#include <boost/signals2/connection.hpp>

#include <string>

namespace vo {

namespace {

constexpr float kTextHeight = 30.0f;
// Keeps its size, centred horizontally, at the bottom edge.
constexpr int kMessageEnable = WS_FIXED_SIZE | WS_ALIGN_LEFT | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM;  // 0x360

// A new widget of the form in the grid's cell: default state, centred.
template <class W>
W* AddCentred(GridWidget* grid, unsigned row, unsigned column) {
    auto* widget = new W(grid, WS_DEFAULT_STATE);
    widget->enable_state(kCentred);
    grid->set_widget(widget, row, column);
    return widget;
}

GridWidget* AddInnerGrid(GridWidget* outer, unsigned row) {
    auto* grid = AddCentred<GridWidget>(outer, row, 0);
    grid->set_horizontal_spacing(6.0f);
    grid->set_vertical_spacing(6.0f);
    return grid;
}

void AddLabel(GridWidget* grid, const char* text, unsigned row) {
    auto* label = AddCentred<TextWidget>(grid, row, 0);
    label->set_text_height(kTextHeight);
    label->set_text(text);
}

InputWidget* AddEntry(GridWidget* grid, unsigned row) {
    auto* entry = AddCentred<InputWidget>(grid, row, 1);
    entry->set_text_height(kTextHeight);
    entry->set_max_string_length(NewTeamScreen::max_entry_length);
    return entry;
}

ButtonWidget* AddButton(GridWidget* grid, const char* text, unsigned column) {
    auto* button = AddCentred<ButtonWidget>(grid, 0, column);
    button->set_text(text);
    button->set_text_height(kTextHeight);
    return button;
}

}  // namespace

NewTeamScreen::NewTeamScreen() {
    root_ = new Widget(nullptr, WS_DEFAULT_STATE | WS_VIRTUAL);  // 0x180e
    try {
        auto* outer = new GridWidget(root_, WS_DEFAULT_STATE);
        outer->enable_state(kLayoutGridBits);
        outer->set_horizontal_spacing(10.0f);
        outer->set_vertical_spacing(6.0f);

        GridWidget* names = AddInnerGrid(outer, 0);
        AddLabel(names, "team name:", 0);
        team_name_input_ = AddEntry(names, 0);
        AddLabel(names, "owner name:", 1);
        owner_name_input_ = AddEntry(names, 1);

        // Rows 1 and 3 of the outer grid stay empty.
        GridWidget* members = AddInnerGrid(outer, 2);
        for (unsigned i = 0; i < 4; ++i) {
            AddLabel(members, ("member #" + std::to_string(i + 1) + ":").c_str(), i);
            member_inputs_.push_back(AddEntry(members, i));
        }

        GridWidget* buttons = AddInnerGrid(outer, 4);
        AddButton(buttons, "cancel", 0)->connect_on_click(this, &NewTeamScreen::on_cancel);
        AddButton(buttons, "ok", 1)->connect_on_click(this, &NewTeamScreen::on_ok);

        message_ = new TextWidget(root_, WS_DEFAULT_STATE);
        message_->set_text_height(kTextHeight);
        message_->set_inner_frame_dimensions(0.66f * static_cast<float>(Engine::instance().screen_width()),
                                             kTextHeight + 10.0f);
        message_->enable_state(kMessageEnable);

        root_->adjust_to_content(true);
        root_->align_children(true);
    } catch (...) {
        delete root_;
        throw;
    }
    set_root_widget(root_);
}

NewTeamScreen::~NewTeamScreen() { delete root_; }

bool NewTeamScreen::update(double) { return !close_requested_; }

bool NewTeamScreen::is_opaque() { return true; }

void NewTeamScreen::activate(IScreen*) {
    message_->set_text("");
    close_requested_ = false;
}

void NewTeamScreen::on_cancel(Widget*) {
    clear_entries();
    close_requested_ = true;
}

void NewTeamScreen::on_ok(Widget*) {
    if (all_entries_filled()) {
        close_requested_ = true;
    } else {
        message_->set_text("Please fill in all entries!");
    }
}

void NewTeamScreen::clear_entries() {
    team_name_input_->set_text("");
    owner_name_input_->set_text("");
    for (InputWidget* entry : member_inputs_) entry->set_text("");
}

bool NewTeamScreen::all_entries_filled() const {
    if (!*team_name_input_->text() || !*owner_name_input_->text()) return false;
    for (InputWidget* entry : member_inputs_) {
        if (!*entry->text()) return false;
    }
    return true;
}

}  // namespace vo

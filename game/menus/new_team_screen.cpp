#include "game/menus/new_team_screen.h"

#include "engine/sfml/engine.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/menus/grid_widget.h"

#include <boost/signals2/connection.hpp>

#include <string>

namespace vo {

namespace {

constexpr float kTextHeight = 30.0f;
constexpr int kCentred = WS_ALIGN_LEFT | WS_ALIGN_TOP | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM;  // 0x3c0
constexpr int kOuterGridEnable = WS_TRANSPARENT | kCentred;                               // 0x7c0
// Keeps its size, centred horizontally, at the bottom edge.
constexpr int kMessageEnable = WS_FIXED_SIZE | WS_ALIGN_LEFT | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM;  // 0x360

// A widget of the form: default state, centred in its cell.
template <class W>
W* Centred(W* widget) {
    widget->enable_state(kCentred);
    return widget;
}

GridWidget* MakeInnerGrid(GridWidget* outer, unsigned row) {
    auto* grid = Centred(new GridWidget(outer, WS_DEFAULT_STATE));
    grid->set_horizontal_spacing(6.0f);
    grid->set_vertical_spacing(6.0f);
    outer->set_widget(grid, row, 0);
    return grid;
}

TextWidget* MakeLabel(GridWidget* grid, const char* text, unsigned row) {
    auto* label = Centred(new TextWidget(grid, WS_DEFAULT_STATE));
    label->set_text_height(kTextHeight);
    label->set_text(text);
    grid->set_widget(label, row, 0);
    return label;
}

InputWidget* MakeEntry(GridWidget* grid, unsigned row) {
    auto* entry = Centred(new InputWidget(grid, WS_DEFAULT_STATE));
    entry->set_text_height(kTextHeight);
    entry->set_max_string_length(NewTeamScreen::max_entry_length);
    grid->set_widget(entry, row, 1);
    return entry;
}

ButtonWidget* MakeButton(GridWidget* grid, const char* text, unsigned column) {
    auto* button = Centred(new ButtonWidget(grid, WS_DEFAULT_STATE));
    button->set_text(text);
    button->set_text_height(kTextHeight);
    grid->set_widget(button, 0, column);
    return button;
}

}  // namespace

NewTeamScreen::NewTeamScreen() {
    root_ = new Widget(nullptr, WS_DEFAULT_STATE | WS_VIRTUAL);  // 0x180e
    try {
        auto* outer = new GridWidget(root_, WS_DEFAULT_STATE);
        outer->enable_state(kOuterGridEnable);
        outer->set_horizontal_spacing(10.0f);
        outer->set_vertical_spacing(6.0f);

        GridWidget* names = MakeInnerGrid(outer, 0);
        MakeLabel(names, "team name:", 0);
        team_name_input_ = MakeEntry(names, 0);
        MakeLabel(names, "owner name:", 1);
        owner_name_input_ = MakeEntry(names, 1);

        // Rows 1 and 3 of the outer grid stay empty.
        GridWidget* members = MakeInnerGrid(outer, 2);
        for (unsigned i = 0; i < 4; ++i) {
            MakeLabel(members, ("member #" + std::to_string(i + 1) + ":").c_str(), i);
            member_inputs_.push_back(MakeEntry(members, i));
        }

        GridWidget* buttons = MakeInnerGrid(outer, 4);
        MakeButton(buttons, "cancel", 0)->connect_on_click(this, &NewTeamScreen::on_cancel);
        MakeButton(buttons, "ok", 1)->connect_on_click(this, &NewTeamScreen::on_ok);

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

#pragma once

// A form for a new team: its name, the owner's name and the names of its
// four members, with "cancel" and "ok" and a message line. "ok" closes it
// only when every entry is filled; "cancel" empties the form and closes it.

#include "game/app/screen.h"

#include <vector>

namespace vo {

class InputWidget;
class TextWidget;

class NewTeamScreen : public IScreen {
public:
    // The longest text an entry takes.
    static constexpr int max_entry_length = 16;

    NewTeamScreen();
    // Deletes the widget tree it built.
    ~NewTeamScreen() override;

    // False once "ok" or "cancel" has closed the form.
    bool update(double dt) override;
    bool is_opaque() override;
    // Opens the form again: the message is emptied, the entries keep their
    // texts.
    void activate(IScreen* previous) override;

    void on_cancel(Widget* sender);
    void on_ok(Widget* sender);
    void clear_entries();
    // True when the team name, the owner name and every member have text.
    bool all_entries_filled() const;

    InputWidget* team_name_input() const { return team_name_input_; }
    InputWidget* owner_name_input() const { return owner_name_input_; }
    std::vector<InputWidget*> const& member_inputs() const { return member_inputs_; }
    TextWidget* message() const { return message_; }
    bool close_requested() const { return close_requested_; }

private:
    Widget* root_ = nullptr;
    bool close_requested_ = false;
    InputWidget* team_name_input_ = nullptr;
    InputWidget* owner_name_input_ = nullptr;
    std::vector<InputWidget*> member_inputs_;
    TextWidget* message_ = nullptr;
};

}  // namespace vo

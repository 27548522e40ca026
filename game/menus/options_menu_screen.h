#pragma once

// The options overlay: switches between full screen and a window, turns the
// music on or off, and stores the choice with "Ok". Both switches act at
// once; leaving with Escape undoes them and stores nothing.

#include "game/app/game_options.h"
#include "game/menus/menu_screen.h"

namespace vo {

class ButtonWidget;

class OptionsMenuScreen : public MenuScreen {
public:
    OptionsMenuScreen();

    // The screen below stays visible.
    bool is_opaque() override;
    // Takes a fresh working copy of the stored options.
    void activate(IScreen* previous) override;

    // Toggles full screen and re-creates the window.
    void fullscreen_clicked(Widget* sender);
    // Toggles the music; the master volume fades over 0.1 s.
    void music_clicked(Widget* sender);
    // Stores the working copy as the game's options and writes all of them
    // into the options file (a failed write only warns); closes the screen.
    void ok_clicked(Widget* sender);

    GameOptions const& options() const { return options_; }
    ButtonWidget* fullscreen_button() const { return fullscreen_button_; }
    ButtonWidget* music_button() const { return music_button_; }
    ButtonWidget* ok_button() const { return ok_button_; }

protected:
    // A release of Escape closes the screen without storing anything and
    // puts the window and the music back as the stored options have them.
    void escape_released() override;

private:
    void refresh_texts();

    GameOptions options_;
    ButtonWidget* fullscreen_button_ = nullptr;
    ButtonWidget* music_button_ = nullptr;
    ButtonWidget* ok_button_ = nullptr;
};

}  // namespace vo

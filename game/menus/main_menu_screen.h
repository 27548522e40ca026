#pragma once

// The title and set-up screen, the bottom of the screen stack during play:
// four team cards, a grid of character buttons, the slowly turning preview
// of the level to be played with "Previous" and "Next" to step through
// level seeds, a button for the computer players' strength, "START",
// "How To Play", "Credits", "Options" and "Quit", and an info line.
//
// The menu owns the program's one Match: it shows it as the level preview
// and pushes that same object on "START", so the match is played on the
// level last previewed. The team set-up is read from "team_settings.info"
// when the menu is built and written back whenever the menu stops being the
// top screen.
//
// The start of a match (START) lives in main_menu_start.cpp.

#include "engine/core/color.h"
#include "engine/core/smart_ptr.h"
#include "game/app/characters.h"
#include "game/app/screen.h"
#include "game/menus/widget_grid.h"

#include <memory>
#include <string>
#include <vector>

namespace vo {

class ButtonWidget;
class GridWidget;
class Match;
class MatchSettings;
class NewTeamScreen;
class OptionsMenuScreen;
class ScreenWidget;
class TeamRepresentationWidget;
class TextWidget;
class Widget;

class MainMenuScreen : public IScreen {
public:
    // What the menu is doing about leaving.
    enum Mode : int {
        mode_normal = 0,
        mode_leaving = 1,       // the player confirmed: the next update ends the menu
        mode_exit_screen = 2    // the exit screen is shown over the menu
    };

    // A text of the CPU button and the strength it stands for.
    struct CpuLevel {
        std::string text;
        int level;
    };

    // Builds the match, the widget tree, the cards from the team settings
    // file, the character buttons, the options and new-team screens, selects
    // the first card that has a character and shows the preview of seed 0.
    // With no characters loaded it loads them and throws Error "There have
    // to be 2 characters at least!" when fewer than two come. Errors of the
    // configuration, the styles, the textures and the match leave it; the
    // half-built tree goes with them.
    MainMenuScreen();
    ~MainMenuScreen() override;

    // False once the player has confirmed leaving; otherwise keeps the
    // match in its preview and steps it.
    bool update(double dt) override;
    void draw() override;
    bool is_opaque() override;
    // Both keep the focus on the selected card's name input, so that typing
    // always edits the selected team's name.
    bool process_mouse_event(MouseEvent const& event) override;
    bool process_key_event(KeyEvent const& event) override;
    // Maps the tree, the kept screens and the match with the menu transform.
    void new_resolution(int width, int height) override;
    // Back from the exit screen: ends the menu unless "Back" closed it.
    // Otherwise shows the preview of the current seed again and plays the
    // "mainMenu" music.
    void activate(IScreen* previous) override;
    // Saves the team set-up (a failed save is reported as a warning).
    void deactivate() override;

    // Handlers. Card signals: the sender becomes the selected card; its
    // character button is pressed and the characters of the other cards are
    // disabled.
    void team_selected(Widget* sender);
    // Gives the selected card the character of the pressed button (the first
    // button stands for no character).
    void character_pressed(Widget* sender);
    // NORMAL, HARD, EASY, NORMAL, ...
    void cpu_level_clicked(Widget* sender);
    // Step through the seed history; stepping past either end makes a new
    // seed from the clock.
    void previous_level_clicked(Widget* sender);
    void next_level_clicked(Widget* sender);
    // Starts a match of the cards that have a character (at least two), or
    // with the results preview set shows made-up results instead.
    void start_match_clicked(Widget* sender);
    void how_to_play_clicked(Widget* sender);
    void credits_clicked(Widget* sender);
    void options_clicked(Widget* sender);
    void quit_clicked(Widget* sender);

    // The index of the CPU level the button shows; 0 for an unknown text.
    int cpu_level();
    // Copies of the cards' records, in card order.
    std::vector<TeamDesc> team_descs() const;
    // The set-up START hands to the match: every card with a character, in
    // card order, its members named after the team and coloured by the
    // card's position.
    MatchSettings match_settings() const;

    // Read access for the application and the tests.
    int mode() const { return mode_; }
    SmartPtr<Match> const& match() const { return match_; }
    std::vector<TeamRepresentationWidget*> const& cards() const { return cards_; }
    TeamRepresentationWidget* selected_card() const { return selected_card_; }
    WidgetGrid<ButtonWidget>* character_grid() const { return character_grid_; }
    std::vector<ButtonWidget*> const& character_buttons() const { return character_buttons_; }
    std::vector<CpuLevel> const& cpu_levels() const { return cpu_levels_; }
    ButtonWidget* cpu_button() const { return cpu_button_; }
    SmartPtr<OptionsMenuScreen> const& options_screen() const { return options_screen_; }
    SmartPtr<NewTeamScreen> const& new_team_screen() const { return new_team_screen_; }
    std::vector<int> const& seeds() const { return seeds_; }
    unsigned seed_index() const { return seed_index_; }
    float zoom() const { return zoom_; }
    Widget* teams_area() const { return teams_area_; }
    ScreenWidget* preview() const { return preview_; }
    TextWidget* info_text() const { return info_text_; }

    // Set by start-up for "-drawDebugScreen 1": START then shows the results
    // screen with made-up statistics instead of starting a match.
    bool preview_results = false;

private:
    void build_teams(Widget* root, std::vector<TeamDesc> const& teams);
    void build_level_preview(Widget* root);
    void build_menu_buttons(Widget* root);
    void build_character_buttons(Widget* root);
    void build_info_line(Widget* root);
    // Keeps the typing on the selected card's name.
    void focus_selected_name();
    // Pushes the results screen with the made-up statistics of settings.
    void show_results_preview(MatchSettings const& settings);

    int mode_ = mode_normal;
    SmartPtr<Match> match_;
    // The widget tree; destroyed before the match, whose preview it holds.
    std::unique_ptr<Widget> tree_;
    GridWidget* team_grid_ = nullptr;
    std::vector<TeamRepresentationWidget*> cards_;
    TeamRepresentationWidget* selected_card_ = nullptr;
    WidgetGrid<ButtonWidget>* character_grid_ = nullptr;
    // Entry k stands for character k - 1; entry 0 for no character.
    std::vector<ButtonWidget*> character_buttons_;
    std::vector<CpuLevel> cpu_levels_;
    ButtonWidget* cpu_button_ = nullptr;
    SmartPtr<NewTeamScreen> new_team_screen_;
    SmartPtr<OptionsMenuScreen> options_screen_;
    // The seeds visited, oldest first, and the one shown.
    std::vector<int> seeds_;
    unsigned seed_index_ = 0;
    // Handed to the preview as the camera's aspect ratio.
    float zoom_ = 1.0f;
    Widget* teams_area_ = nullptr;
    ScreenWidget* preview_ = nullptr;
    TextWidget* info_text_ = nullptr;
};

// True while the process-wide character list holds no character.
bool NoCharacters();

// The colour of the team on the card at that position (one of six, by the
// position modulo 6).
Color TeamColour(int card_position);

}  // namespace vo

#pragma once

// The screen shown after every round: a table of the round's statistics and
// one of the series totals, one column per team headed by the team's
// portrait, the best and worst value of each statistic marked by style, and
// the buttons "Fight again!" and "Main Menu". The match reads the choice
// from the flags once the screen has been popped. The layout comes from the
// "resultsMenu" keys of "menu_config.info".

#include "game/app/screen.h"
#include "game/match/result_stats.h"

#include <string>
#include <utility>
#include <vector>

namespace vo {

class GridWidget;
class MatchStats;
class TextWidget;
class Widget;
class WidgetStyleMap;
struct TeamDesc;

class MatchResultsScreen : public IScreen {
public:
    // Builds the background, the button row and the two empty areas.
    MatchResultsScreen();
    // Deletes the widget tree.
    ~MatchResultsScreen() override;

    // False once the screen is to close.
    bool update(double dt) override;
    // Clears the frame and draws the widget tree.
    void draw() override;
    bool is_opaque() override;
    // Releasing Escape chooses "Main Menu".
    bool process_key_event(KeyEvent const& event) override;
    // Starts the "results" music and clears the three flags.
    void activate(IScreen* previous) override;

    // Shows the round that stats recorded and adds it to the series totals,
    // rebuilding both tables. The totals start afresh when the teams (their
    // number, or a column's team name or character) differ from those of the
    // previous call. Errors of the statistics propagate after the old tables
    // are gone.
    void set_results(MatchStats const& stats);

    bool close_requested() const { return close_requested_; }
    bool fight_again_requested() const { return fight_again_requested_; }
    bool main_menu_requested() const { return main_menu_requested_; }

    // The two buttons' click handlers.
    void on_fight_again(Widget* sender);
    void on_main_menu(Widget* sender);

    Widget* round_area() const { return round_area_; }
    Widget* match_area() const { return match_area_; }
    // Null until the first results.
    GridWidget* round_table() const { return round_table_; }
    GridWidget* match_table() const { return match_table_; }
    ResultStats const& match_totals() const { return match_totals_; }

private:
    // kind 0: the round table; 1: the series table.
    GridWidget* build_stats_table(ResultStats const& stats, std::vector<TeamDesc> const& teams, Widget* parent,
                                  int kind);
    TextWidget* make_stat_label(const char* stat, Widget* parent, int kind);
    TextWidget* make_number_widget(std::string const& text, Widget* parent);

    Widget* root_ = nullptr;
    Widget* round_area_ = nullptr;
    Widget* match_area_ = nullptr;
    GridWidget* round_table_ = nullptr;
    GridWidget* match_table_ = nullptr;
    ResultStats match_totals_;
    bool close_requested_ = false;
    bool fight_again_requested_ = false;
    bool main_menu_requested_ = false;

    // The text height of the tables, and the style map of their number
    // cells while a table is built.
    float text_height_ = 0.0f;
    SmartPtr<WidgetStyleMap> number_styles_;
    // The teams of the totals, as (team name, character name) per column.
    std::vector<std::pair<std::string, std::string>> totals_teams_;
};

}  // namespace vo

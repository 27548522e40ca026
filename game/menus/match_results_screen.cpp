#include "game/menus/match_results_screen.h"

#include "engine/audio/music_controller.h"
#include "engine/core/color.h"
#include "engine/core/frame_transform.h"
#include "engine/core/resources.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/image.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "engine/widgets/widget_style.h"
#include "game/app/characters.h"
#include "game/match/match_stats.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"

#include <boost/signals2/connection.hpp>

namespace vo {

namespace {

const char* const kBackgroundTexture = "main_menu/bg_results_enhanced.png";

// The StatId names: the captions' configuration keys.
const char* const kStatNames[NUM_STATS] = {"wins",           "mostKills",     "killsWithOneShot", "mostDmg",
                                           "dmgWithOneShot", "mostSelfKills", "mostSelfDmg"};

constexpr int kAreaFlags = WS_TRANSPARENT | WS_FIXED_SIZE;                                            // 0x420
constexpr int kCentred = WS_ALIGN_LEFT | WS_ALIGN_TOP | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM;              // 0x3c0
constexpr int kCentredGridFlags = WS_TRANSPARENT | kCentred;                                          // 0x7c0
constexpr int kMenuButtonState = 0x1bc6;

// Less is better for the self-inflicted statistics.
bool LessIsBetter(int id) { return id == mostSelfKills || id == mostSelfDmg; }

std::vector<std::pair<std::string, std::string>> TeamKeys(std::vector<TeamDesc> const& teams) {
    std::vector<std::pair<std::string, std::string>> keys;
    keys.reserve(teams.size());
    for (TeamDesc const& team : teams) keys.emplace_back(team.name, team.character.name);
    return keys;
}

}  // namespace

MatchResultsScreen::MatchResultsScreen() {
    text_height_ = MenuFloat("resultsMenu.statsTextHeight");
    number_styles_ = MenuStyleMap("resultsMenu.numberWidgetStyle", DefaultStyleMap());
    Frame const reference = MenuReferenceFrame();
    Frame const buttons_frame = MenuFrame("resultsMenu.areaButtons");
    Frame const round_frame = MenuFrame("resultsMenu.areaRoundStats");
    Frame const match_frame = MenuFrame("resultsMenu.areaMatchStats");
    Image const background(GetTexture(kBackgroundTexture));

    root_ = new Widget(nullptr, WS_DEFAULT_STATE);
    set_root_widget(root_);
    // A menu key missing on the way must not leave the tree behind.
    try {
        root_->set_frame(reference);
        root_->set_color("background", Color(1.0f, 1.0f, 1.0f, 1.0f));
        root_->set_background_image(background);

        auto* button_area = new Widget(root_, WS_DEFAULT_STATE);
        button_area->enable_state(kAreaFlags);
        button_area->set_frame(buttons_frame);
        auto* buttons = new GridWidget(button_area, WS_DEFAULT_STATE);
        buttons->enable_state(kCentredGridFlags);
        buttons->set_horizontal_spacing(50.0f);
        ButtonWidget* fight_again = CreateMenuButton(buttons, "Fight again!", kMenuButtonState);
        buttons->set_widget(fight_again, 0, 0);
        fight_again->connect_on_click(this, &MatchResultsScreen::on_fight_again);
        ButtonWidget* main_menu = CreateMenuButton(buttons, "Main Menu", kMenuButtonState);
        buttons->set_widget(main_menu, 0, 1);
        main_menu->connect_on_click(this, &MatchResultsScreen::on_main_menu);

        round_area_ = new Widget(root_, WS_DEFAULT_STATE);
        round_area_->enable_state(kAreaFlags);
        round_area_->set_frame(round_frame);
        match_area_ = new Widget(root_, WS_DEFAULT_STATE);
        match_area_->enable_state(kAreaFlags);
        match_area_->set_frame(match_frame);

        root_->adjust_to_content(false);
        root_->align_children(true);
        root_->transform(MenuTransform());

        for (auto const& caption : {std::make_pair(round_area_, "Round Stats"), std::make_pair(match_area_, "Match Stats")}) {
            auto* text = new TextWidget(caption.first, WS_DEFAULT_STATE);
            text->set_text_height(1.5f * text_height_);
            text->enable_state(WS_ALIGN_LEFT | WS_ALIGN_TOP);
            text->disable_state(WS_BACKGROUND | WS_BORDER);
            text->set_text(caption.second);
        }
    } catch (...) {
        set_root_widget(nullptr);
        delete root_;
        throw;
    }
}

MatchResultsScreen::~MatchResultsScreen() { delete root_; }

bool MatchResultsScreen::update(double) { return !close_requested_; }

void MatchResultsScreen::draw() {
    Engine::instance().clear();
    root_->draw();
}

bool MatchResultsScreen::is_opaque() { return true; }

bool MatchResultsScreen::process_key_event(KeyEvent const& event) {
    // Escape leaves as "Main Menu" does: a close without a choice would
    // leave the match standing idle behind the closed screen.
    if (event.type() == KEY_RELEASED && event.key() == KEY_ESCAPE) {
        on_main_menu(nullptr);
        return true;
    }
    return root_->process_key_event(event);
}

void MatchResultsScreen::activate(IScreen*) {
    GetMusicController().play_music_desc("results");
    close_requested_ = false;
    fight_again_requested_ = false;
    main_menu_requested_ = false;
}

void MatchResultsScreen::on_fight_again(Widget*) {
    close_requested_ = true;
    fight_again_requested_ = true;
}

void MatchResultsScreen::on_main_menu(Widget*) {
    close_requested_ = true;
    main_menu_requested_ = true;
}

void MatchResultsScreen::set_results(MatchStats const& stats) {
    delete round_table_;
    round_table_ = nullptr;
    delete match_table_;
    match_table_ = nullptr;

    ResultStats round;
    round.compute(stats);
    std::vector<TeamDesc> const& teams = stats.settings().teams();

    // Totals belong to one set of teams: other teams, or the same teams in
    // other columns, start a new series.
    std::vector<std::pair<std::string, std::string>> keys = TeamKeys(teams);
    if (keys != totals_teams_) match_totals_ = ResultStats();

    round_table_ = build_stats_table(round, teams, round_area_, 0);
    match_totals_.add(round);
    totals_teams_.swap(keys);
    match_table_ = build_stats_table(match_totals_, teams, match_area_, 1);

    // Laid out in reference units, then mapped into the window again.
    root_->transform(FrameTransform(false));
    root_->adjust_to_content(false);
    root_->align_children(true);
    root_->transform(MenuTransform());
}

GridWidget* MatchResultsScreen::build_stats_table(ResultStats const& stats, std::vector<TeamDesc> const& teams,
                                                  Widget* parent, int kind) {
    auto* grid = new GridWidget(parent, WS_DEFAULT_STATE);
    grid->set_horizontal_spacing(30.0f);
    grid->set_vertical_spacing(10.0f);
    grid->enable_state(kCentredGridFlags);

    // A caption missing from the configuration takes the half-built table along.
    try {
        for (int id = 0; id < NUM_STATS; ++id) {
            grid->set_widget(make_stat_label(kStatNames[id], grid, kind), static_cast<unsigned>(id + 1), 0);
        }

        float const portrait_size = 2.0f * text_height_;
        for (std::size_t t = 0; t < teams.size(); ++t) {
            unsigned const column = static_cast<unsigned>(t + 1);
            auto* portrait = new Widget(grid, WS_DEFAULT_STATE);
            portrait->enable_state(kCentred | WS_FIXED_SIZE);
            portrait->disable_state(WS_BORDER);
            portrait->set_frame(Frame(0.0f, 0.0f, portrait_size, portrait_size));
            portrait->set_background_image(teams[t].character.portrait);
            grid->set_widget(portrait, 0, column);

            for (int id = 0; id < NUM_STATS; ++id) {
                StatId const stat = static_cast<StatId>(id);
                int const v = stats.value(stat, static_cast<int>(t));
                TextWidget* cell = make_number_widget(StatValueText(v), grid);
                grid->set_widget(cell, static_cast<unsigned>(id + 1), column);
                // "max" marks the best team, "min" the worst.
                int const best = LessIsBetter(id) ? stats.min_value(stat) : stats.max_value(stat);
                int const worst = LessIsBetter(id) ? stats.max_value(stat) : stats.min_value(stat);
                if (v == best) {
                    cell->activate_style("max");
                } else if (v == worst) {
                    cell->activate_style("min");
                }
            }
        }
    } catch (...) {
        delete grid;
        throw;
    }
    return grid;
}

TextWidget* MatchResultsScreen::make_stat_label(const char* stat, Widget* parent, int kind) {
    auto* label = new TextWidget(parent, WS_DEFAULT_STATE);
    label->set_text_height(text_height_);
    std::string const key = std::string("resultsMenu.statTexts.") + (kind == 0 ? "round." : "match.") + stat;
    label->set_text(MenuString(key).c_str());
    label->enable_state(WS_ALIGN_RIGHT | WS_ALIGN_TOP | WS_ALIGN_BOTTOM);
    label->disable_state(WS_BACKGROUND | WS_BORDER);
    return label;
}

TextWidget* MatchResultsScreen::make_number_widget(std::string const& text, Widget* parent) {
    auto* cell = new TextWidget(parent, WS_DEFAULT_STATE);
    cell->set_text_height(text_height_);
    cell->set_style_map(number_styles_);
    cell->set_text(text.c_str());
    cell->enable_state(kCentred | WS_FIXED_SIZE);
    cell->disable_state(WS_BORDER);
    return cell;
}

}  // namespace vo

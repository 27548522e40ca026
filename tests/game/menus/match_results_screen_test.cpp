// The results screen on the shipped menu configuration in a real window, fed
// the results preview's two scripted rounds: both tables with their marks,
// the buttons and Escape (as "Main Menu"), rebuilding, and when the series
// starts afresh.

#include "game/menus/match_results_screen.h"

#include "engine/core/config.h"
#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/sfml/input_events.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "engine/widgets/widget_style.h"
#include "game/app/characters.h"
#include "game/app/my_app.h"
#include "game/app/screen.h"
#include "game/match/match_settings.h"
#include "game/match/match_stats.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"
#include "game/menus/results_preview.h"
#include "shipped_data.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using vo::GridWidget;
using vo::KeyEvent;
using vo::MatchResultsScreen;
using vo::MatchSettings;
using vo::MatchStats;
using vo::MouseEvent;
using vo::TextWidget;
using vo::Widget;

const char* const kStatNames[] = {"wins",           "mostKills",     "killsWithOneShot", "mostDmg",
                                  "dmgWithOneShot", "mostSelfKills", "mostSelfDmg"};

// Teams of four members playing the given characters.
MatchSettings Teams(std::vector<std::pair<std::string, unsigned>> const& teams) {
    MatchSettings settings;
    for (auto const& t : teams) {
        vo::TeamDesc team;
        team.name = t.first;
        team.character = vo::GetCharacter(t.second);
        for (int m = 1; m <= 4; ++m) team.members.push_back(t.first.substr(0, 3) + std::to_string(m));
        settings.add_team(team, false, vo::Color(1.0f, 0.5f, 0.5f, 1.0f));
    }
    return settings;
}

// The two rounds of the results preview of the main menu.
void FirstBlock(MatchStats& stats, MatchSettings const& settings) {
    stats.init(settings);
    vo::RecordFirstPreviewRound(stats);
}

void SecondBlock(MatchStats& stats, MatchSettings const& settings) {
    stats.init(settings);
    vo::RecordSecondPreviewRound(stats);
}

// A round in which only `winner` scores.
MatchStats Won(MatchSettings const& settings, int winner) {
    MatchStats stats;
    stats.init(settings);
    stats.next_round(winner, 0);
    stats.set_winner(winner);
    return stats;
}

class ResultsScreen : public testing::Test {
protected:
    void SetUp() override {
        window_.reset(new vo_test::TestWindow(1024, 576, "quorvane results"));
        vo_test::UseShippedData();
        vo::g_app = &app_;
        two_ = Teams({{"Player 1", 0}, {"Player 2", 1}});
    }
    void TearDown() override {
        app_.pop_all_screens();
        vo::g_app = nullptr;
        vo_test::ForgetShippedData();
    }

    // The screen with the two preview rounds set, pushed.
    vo::SmartPtr<MatchResultsScreen> PreviewScreen() {
        vo::SmartPtr<MatchResultsScreen> screen(new MatchResultsScreen());
        MatchStats stats;
        FirstBlock(stats, two_);
        screen->set_results(stats);
        SecondBlock(stats, two_);
        screen->set_results(stats);
        vo::PushScreen(screen);
        return screen;
    }

    void Draw(MatchResultsScreen& screen) {
        vo::SetupOrthoView();
        screen.draw();
    }

    // The average colour of the window inside the frame, one pixel in.
    vo_test::Rgba Average(vo::Frame const& f) {
        long sum[3] = {0, 0, 0};
        long n = 0;
        for (int y = static_cast<int>(f.top()) + 1; y < static_cast<int>(f.bottom()) - 1; ++y) {
            for (int x = static_cast<int>(f.left()) + 1; x < static_cast<int>(f.right()) - 1; ++x) {
                vo_test::Rgba const p = window_->pixel(x, y);
                sum[0] += p.r;
                sum[1] += p.g;
                sum[2] += p.b;
                ++n;
            }
        }
        if (n == 0) return vo_test::Rgba{-1, -1, -1};
        return vo_test::Rgba{static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n), static_cast<int>(sum[2] / n)};
    }

    void Click(Widget const* widget) {
        vo_test::Point const p = vo_test::CentreOf(widget);
        app_.process_mouse_event(MouseEvent(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_LEFT, 1, p.x, p.y));
        app_.process_mouse_event(MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, p.x, p.y));
    }

    static vo::ButtonWidget* FindButton(Widget* w, std::string const& text) {
        auto* button = dynamic_cast<vo::ButtonWidget*>(w);
        if (button && button->text() == text) return button;
        for (unsigned i = 0; i < w->num_children(); ++i) {
            if (vo::ButtonWidget* found = FindButton(w->child(i), text)) return found;
        }
        return nullptr;
    }

    static std::string Text(Widget* cell) {
        auto* text = dynamic_cast<TextWidget*>(cell);
        return text ? text->text() : "<no text widget>";
    }

    std::unique_ptr<vo_test::TestWindow> window_;
    vo::MyApp app_;
    MatchSettings two_;
};

TEST_F(ResultsScreen, TablesOfThePreviewRounds) {
    vo::SmartPtr<MatchResultsScreen> screen = PreviewScreen();

    // One caption and one table in each area, after two rounds.
    struct Area {
        Widget* area;
        GridWidget* table;
        const char* caption;
        const char* kind;
    };
    for (Area const& a : {Area{screen->round_area(), screen->round_table(), "Round Stats", "round."},
                          Area{screen->match_area(), screen->match_table(), "Match Stats", "match."}}) {
        SCOPED_TRACE(a.caption);
        ASSERT_EQ(a.area->num_children(), 2u);
        EXPECT_EQ(Text(a.area->child(0)), a.caption);
        ASSERT_EQ(a.area->child(1), a.table);
        EXPECT_EQ(a.table->num_rows(), 8u);
        EXPECT_EQ(a.table->num_columns(), 3u);
        EXPECT_EQ(a.table->widget_at(0, 0), nullptr);
        for (int id = 0; id < 7; ++id) {
            EXPECT_EQ(Text(a.table->widget_at(id + 1, 0)),
                      vo::MenuString(std::string("resultsMenu.statTexts.") + a.kind + kStatNames[id]));
        }
        for (unsigned column = 1; column <= 2; ++column) {
            Widget* portrait = a.table->widget_at(0, column);
            ASSERT_NE(portrait, nullptr);
            EXPECT_EQ(dynamic_cast<TextWidget*>(portrait), nullptr);
            float const h = vo::MenuFloat("resultsMenu.statsTextHeight");
            EXPECT_FLOAT_EQ(portrait->frame().width(), 2.0f * h);
            EXPECT_FLOAT_EQ(portrait->frame().height(), 2.0f * h);
        }
    }

    // By hand from the two blocks: the second round, and the better of the
    // two rounds per team with the wins added. Marks: + best, - worst (for
    // the self statistics the smaller value is the better one), all equal:
    // every cell best.
    struct Row {
        const char* team0;
        const char* team1;
        const char* marks;  // team 0, team 1
    };
    std::vector<Row> const round = {
        {"1", "-", "+-"},   {"1", "1", "++"},   {"1", "1", "++"}, {"83", "8", "+-"},
        {"83", "8", "+-"},  {"-", "-", "++"},   {"-", "-", "++"},
    };
    std::vector<Row> const series = {
        {"1", "1", "++"},     {"1", "3", "-+"},      {"1", "3", "-+"},  {"150", "1108", "-+"},
        {"150", "1108", "-+"}, {"-", "1", "+-"},     {"67", "60", "-+"},
    };
    vo::SmartPtr<vo::WidgetStyleMap> const styles =
        vo::MenuStyleMap("resultsMenu.numberWidgetStyle", vo::DefaultStyleMap());
    vo::Color const best = styles->get("max").get<vo::Color>("background");
    vo::Color const worst = styles->get("min").get<vo::Color>("background");
    auto same = [](vo::Color const& a, vo::Color const& b) {
        return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
    };
    ASSERT_FALSE(same(best, worst)) << "the max and min styles look alike";
    for (auto const& table : {std::make_pair(screen->round_table(), &round), std::make_pair(screen->match_table(), &series)}) {
        for (int id = 0; id < 7; ++id) {
            SCOPED_TRACE(std::string(table.first == screen->round_table() ? "round " : "match ") + kStatNames[id]);
            Row const& row = (*table.second)[static_cast<std::size_t>(id)];
            for (unsigned t = 0; t < 2; ++t) {
                auto* cell = dynamic_cast<TextWidget*>(table.first->widget_at(id + 1, t + 1));
                ASSERT_NE(cell, nullptr);
                EXPECT_EQ(std::string(cell->text()), t == 0 ? row.team0 : row.team1);
                vo::Color const expected = row.marks[t] == '+' ? best : worst;
                EXPECT_TRUE(same(cell->get_color("background"), expected)) << "team " << t;
            }
        }
    }
}

TEST_F(ResultsScreen, EscapeAndTheButtonsSetTheirFlags) {
    vo::SmartPtr<MatchResultsScreen> screen = PreviewScreen();
    EXPECT_TRUE(screen->is_opaque());
    EXPECT_TRUE(app_.update(1.0 / 60.0));

    // Pressing Escape does nothing; releasing it leaves for the main menu,
    // so that the match below does not stand idle behind the closed screen.
    app_.process_key_event(KeyEvent(vo::KEY_PRESSED, vo::KEY_ESCAPE, false));
    EXPECT_FALSE(screen->close_requested());
    EXPECT_TRUE(app_.process_key_event(KeyEvent(vo::KEY_RELEASED, vo::KEY_ESCAPE, false)));
    EXPECT_TRUE(screen->close_requested());
    EXPECT_FALSE(screen->fight_again_requested());
    EXPECT_TRUE(screen->main_menu_requested());
    EXPECT_FALSE(screen->update(1.0 / 60.0));
    app_.update(1.0 / 60.0);
    EXPECT_EQ(app_.num_screens(), 0u);

    struct Case {
        const char* button;
        bool fight_again, main_menu;
    };
    for (Case const c : {Case{"Fight again!", true, false}, Case{"Main Menu", false, true}}) {
        SCOPED_TRACE(c.button);
        vo::PushScreen(screen);  // activation clears the flags of the last visit
        EXPECT_FALSE(screen->close_requested());
        EXPECT_FALSE(screen->fight_again_requested());
        EXPECT_FALSE(screen->main_menu_requested());
        vo::ButtonWidget* button = FindButton(screen->root_widget(), c.button);
        ASSERT_NE(button, nullptr);
        Click(button);
        EXPECT_TRUE(screen->close_requested());
        EXPECT_EQ(screen->fight_again_requested(), c.fight_again);
        EXPECT_EQ(screen->main_menu_requested(), c.main_menu);
        app_.update(1.0 / 60.0);
        EXPECT_EQ(app_.num_screens(), 0u);
    }
}

// Totals belong to one set of teams, column by column.
TEST_F(ResultsScreen, SeriesStartsAfreshWhenTheTeamsChange) {
    MatchResultsScreen screen;
    struct Step {
        const char* what;
        MatchSettings teams;
        int winner;
        std::vector<int> wins;  // the totals after the step
    };
    std::vector<Step> const steps = {
        {"first round", two_, 0, {1, 0}},
        {"same teams: fight again", two_, 0, {2, 0}},
        {"same teams again", two_, 1, {2, 1}},
        {"a team renamed", Teams({{"Player 1", 0}, {"Player 3", 1}}), 1, {0, 1}},
        {"the same again", Teams({{"Player 1", 0}, {"Player 3", 1}}), 0, {1, 1}},
        {"another character", Teams({{"Player 1", 0}, {"Player 3", 0}}), 0, {1, 0}},
        {"the same teams swapped", Teams({{"Player 3", 0}, {"Player 1", 0}}), 0, {1, 0}},
        {"a third team", Teams({{"Player 3", 0}, {"Player 1", 0}, {"Player 2", 1}}), 2, {0, 0, 1}},
        {"back to two of them", Teams({{"Player 3", 0}, {"Player 1", 0}}), 1, {0, 1}},
    };
    for (Step const& s : steps) {
        SCOPED_TRACE(s.what);
        screen.set_results(Won(s.teams, s.winner));
        ASSERT_EQ(screen.match_totals().num_teams(), static_cast<int>(s.wins.size()));
        for (std::size_t t = 0; t < s.wins.size(); ++t) {
            EXPECT_EQ(screen.match_totals().value(vo::wins, static_cast<int>(t)), s.wins[t]) << "team " << t;
        }
        EXPECT_EQ(screen.match_table()->num_columns(), s.wins.size() + 1);
        EXPECT_EQ(screen.match_area()->num_children(), 2u);
    }
}

TEST_F(ResultsScreen, StatisticsWithoutTeamsFailAfterTheTablesWent) {
    vo::SmartPtr<MatchResultsScreen> screen = PreviewScreen();
    try {
        screen->set_results(MatchStats());
        ADD_FAILURE() << "statistics without teams were shown";
    } catch (vo::Error const& e) {
        EXPECT_STREQ(e.message(), "no stats are present for id 0");
    }
    EXPECT_EQ(screen->round_table(), nullptr);
    EXPECT_EQ(screen->match_table(), nullptr);
    EXPECT_EQ(screen->round_area()->num_children(), 1u);
    EXPECT_EQ(screen->match_area()->num_children(), 1u);
    // The next round shows again, still counted with the series.
    MatchStats stats;
    SecondBlock(stats, two_);
    screen->set_results(stats);
    EXPECT_EQ(screen->match_totals().value(vo::wins, 0), 2);
}

// A broken copy of the menu configuration: the error names the key, and
// nothing of the half-built screen is left behind (the sanitizer run checks).
TEST_F(ResultsScreen, MissingMenuKeyFailsConstruction) {
    vo_test::TempFolder folder;
    for (const char* key : {"resultsMenu.statTexts", "menuButton", "resultsMenu.areaMatchStats"}) {
        SCOPED_TRACE(key);
        boost::property_tree::ptree broken = vo::GetConfig("menu_config.info");
        std::string const path(key);
        std::size_t const dot = path.rfind('.');
        if (dot == std::string::npos) {
            broken.erase(path);
        } else {
            broken.get_child(path.substr(0, dot)).erase(path.substr(dot + 1));
        }
        boost::property_tree::write_info(folder.file("menu_config.info"), broken);
        vo::PathProvider::set_path(1, folder.path() + "/");
        vo::MenuConfig(true);
        std::unique_ptr<MatchResultsScreen> screen;
        try {
            screen.reset(new MatchResultsScreen());
            // The captions are read only when a table is built.
            MatchStats stats;
            FirstBlock(stats, two_);
            screen->set_results(stats);
            ADD_FAILURE() << "no error";
        } catch (boost::property_tree::ptree_bad_path const& e) {
            EXPECT_NE(std::string(e.what()).find(path.substr(dot == std::string::npos ? 0 : dot + 1)), std::string::npos)
                << e.what();
        }
        if (screen) {  // no half-built table stays in the area
            EXPECT_EQ(screen->round_area()->num_children(), 1u);
            EXPECT_EQ(screen->round_table(), nullptr);
        }
    }
}

// The main menu has four team cards: four columns still fit the areas.
TEST_F(ResultsScreen, FourTeamsFitTheAreas) {
    MatchSettings const four = Teams({{"Player 1", 0}, {"Player 2", 1}, {"Player 3", 2}, {"Player 4", 3}});
    MatchResultsScreen screen;
    MatchStats stats;
    FirstBlock(stats, four);
    screen.set_results(stats);
    SecondBlock(stats, four);
    screen.set_results(stats);
    vo::SetupOrthoView();
    screen.draw();
    vo_test::SaveArtefact(*window_, "match_results_four_teams");
    for (auto const& pair : {std::make_pair(screen.round_area(), screen.round_table()),
                             std::make_pair(screen.match_area(), screen.match_table())}) {
        vo::Frame const area = pair.first->global_frame();
        vo::Frame const table = pair.second->global_frame();
        EXPECT_EQ(pair.second->num_columns(), 5u);
        EXPECT_GE(table.left(), area.left());
        EXPECT_LE(table.right(), area.right());
        EXPECT_GE(table.top(), area.top());
        EXPECT_LE(table.bottom(), area.bottom());
    }
}

TEST_F(ResultsScreen, Screenshot) {
    vo::SmartPtr<MatchResultsScreen> screen = PreviewScreen();
    Draw(*screen);
    vo_test::SaveArtefact(*window_, "match_results");

    // Each column shows its own team's character: the drawn portrait's
    // average colour lies near that of its picture (whose transparent
    // corners show the backdrop) and nearer to it than to the other's.
    std::vector<std::string> portraits;
    for (auto const& entry : vo::GetConfig("characters.info")) {
        if (entry.first == "character") portraits.push_back(entry.second.get<std::string>("portraitName"));
    }
    ASSERT_GE(portraits.size(), 2u);
    std::vector<vo_test::Rgba> pictures;
    for (unsigned t = 0; t < 2; ++t) {
        sf::Image picture;
        ASSERT_TRUE(picture.loadFromFile(vo::PathProvider::get_path(4) + portraits[t])) << portraits[t];
        double sum[3] = {0, 0, 0};
        for (unsigned y = 0; y < picture.getSize().y; ++y) {
            for (unsigned x = 0; x < picture.getSize().x; ++x) {
                sf::Color const c = picture.getPixel(x, y);
                sum[0] += c.r;
                sum[1] += c.g;
                sum[2] += c.b;
            }
        }
        double const n = static_cast<double>(picture.getSize().x) * picture.getSize().y;
        pictures.push_back(vo_test::Rgba{static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n),
                                         static_cast<int>(sum[2] / n)});
    }
    auto distance = [](vo_test::Rgba const& a, vo_test::Rgba const& b) {
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    };
    for (unsigned t = 0; t < 2; ++t) {
        SCOPED_TRACE(portraits[t]);
        for (GridWidget* table : {screen->round_table(), screen->match_table()}) {
            vo_test::Rgba const drawn = Average(table->widget_at(0, t + 1)->global_transformed_frame());
            EXPECT_TRUE(vo_test::ColorNear(drawn, pictures[t], 20)) << drawn << " against " << pictures[t];
            EXPECT_LT(distance(drawn, pictures[t]), distance(drawn, pictures[1 - t])) << drawn;
        }
    }

    // The marks show: a best cell is drawn greener than a worst one.
    vo_test::Rgba const best = Average(screen->round_table()->widget_at(1, 1)->global_transformed_frame());
    vo_test::Rgba const worst = Average(screen->round_table()->widget_at(1, 2)->global_transformed_frame());
    EXPECT_GT(best.g - best.r, worst.g - worst.r + 40) << best << " and " << worst;
}

}  // namespace

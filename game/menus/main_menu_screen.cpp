#include "game/menus/main_menu_screen.h"

#include "engine/audio/music_controller.h"
#include "engine/core/error.h"
#include "engine/core/frame.h"
#include "engine/core/frame_transform.h"
#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/image.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/app/team_settings.h"
#include "game/app/user_file.h"
#include "game/match/match.h"
#include "game/match/match_seed.h"
#include "game/menus/credits_screen.h"
#include "game/menus/exit_screen.h"
#include "game/menus/grid_widget.h"
#include "game/menus/how_to_play_screen.h"
#include "game/menus/menu_kit.h"
#include "game/menus/menu_screen_helpers.h"
#include "game/menus/new_team_screen.h"
#include "game/menus/options_menu_screen.h"
#include "game/menus/screen_widget.h"
#include "game/menus/team_representation_widget.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace vo {

namespace {

const char* const kTeamSettingsFile = "team_settings.info";
constexpr int kNumCards = 4;
// The preview camera's aspect ratio, set when the preview is built.
constexpr float kPreviewZoom = 4.0f / 3.0f;
constexpr float kInfoTextHeight = 40.0f;

// Layout bits of the menu's widgets.
constexpr int kLayoutArea = WS_TRANSPARENT | WS_FIXED_SIZE;                            // 0x420
constexpr int kCentredTop = WS_ALIGN_LEFT | WS_ALIGN_TOP | WS_ALIGN_RIGHT;            // 0x1c0
constexpr int kCentredBottom = WS_ALIGN_LEFT | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM;      // 0x340
constexpr int kBottomGridBits = WS_TRANSPARENT | kCentredBottom;                       // 0x740

void Progress(const char* line) { std::cout << line << std::flush; }

Widget* NewArea(Widget* parent, Frame const& frame) {
    auto* area = new Widget(parent, WS_DEFAULT_STATE);
    area->enable_state(kLayoutArea);
    area->set_frame(frame);
    return area;
}

}  // namespace

bool NoCharacters() { return GetCharacterHandler().size() == 0; }

MainMenuScreen::MainMenuScreen() {
    Progress("MainMenuScreen - START\n");
    match_ = SmartPtr<Match>(new Match());

    tree_.reset(new Widget(nullptr, WS_DEFAULT_STATE));
    Widget* root = tree_.get();
    root->enable_state(WS_FIXED_SIZE);
    root->set_frame(MenuReferenceFrame());
    root->set_color("background", Color(1.0f, 1.0f, 1.0f, 1.0f));
    root->set_background_image(Image(GetTexture("main_menu/bg_main_menu.png")));
    set_root_widget(root);

    Progress("> Characters\n");
    if (NoCharacters()) {
        LoadCharacters();
        if (NumCharacters() < 2) throw Error("There have to be 2 characters at least!");
    }

    Progress("> TeamDescs\n");
    const std::vector<TeamDesc> teams = ReadTeamDescs(kTeamSettingsFile);

    cpu_levels_ = {{"CPU: EASY", 0}, {"CPU: NORMAL", 1}, {"CPU: HARD", 2}};

    Progress("> Team Representation\n");
    build_teams(root, teams);
    Progress("> Level preview\n");
    build_level_preview(root);
    Progress("> MenuButtons\n");
    build_menu_buttons(root);
    Progress("> Character Widgets\n");
    build_character_buttons(root);
    Progress("> TextInfo\n");
    build_info_line(root);
    root->adjust_to_content(false);
    root->align_children(true);

    new_team_screen_ = SmartPtr<NewTeamScreen>(new NewTeamScreen());
    options_screen_ = SmartPtr<OptionsMenuScreen>(new OptionsMenuScreen());

    Engine& engine = Engine::instance();
    new_resolution(engine.screen_width(), engine.screen_height());

    for (TeamRepresentationWidget* card : cards_) {
        if (card->team().character.index >= 0) {
            team_selected(card);
            break;
        }
    }

    Progress("> StartPreview\n");
    seeds_ = {0};
    seed_index_ = 0;
    match_->show_level_preview(0, zoom_);
    Progress("MainMenuScreen - END\n");
}

MainMenuScreen::~MainMenuScreen() {
    // The tree goes first: its preview widget holds the match.
    tree_.reset();
    set_root_widget(nullptr);
    match_.reset();
    new_team_screen_.reset();
    options_screen_.reset();
}

void MainMenuScreen::build_teams(Widget* root, std::vector<TeamDesc> const& teams) {
    teams_area_ = NewArea(root, MenuFrame("mainMenu.areaTeams"));

    team_grid_ = new GridWidget(teams_area_, WS_DEFAULT_STATE);
    team_grid_->enable_state(kLayoutGridBits);
    team_grid_->set_horizontal_spacing(20.0f);

    for (int i = 0; i < kNumCards; ++i) {
        auto* card = new TeamRepresentationWidget(teams[0], team_grid_, WS_DEFAULT_STATE);
        card->enable_state(kCentred);
        card->on_select.connect([this](Widget* sender) { team_selected(sender); });
        card->on_change.connect([this](Widget* sender) { team_selected(sender); });
        card->set_team(teams[static_cast<std::size_t>(i) % teams.size()]);
        cards_.push_back(card);
        team_grid_->set_widget(card, 0, static_cast<unsigned>(i));
    }
}

void MainMenuScreen::build_level_preview(Widget* root) {
    const Frame m = MenuFrame("mainMenu.areaMap");
    auto* map_area = NewArea(root, m);
    map_area->disable_state(WS_BORDER);

    const Frame whole(0.0f, 0.0f, m.width(), m.height());
    Frame picture = whole;
    picture.set_bottom(0.75f * m.height());
    picture.scale(0.9f, 0.9f, 0.5f, 0.5f);
    Frame strip = whole;
    strip.scale(1.0f, 0.25f, 0.5f, 1.0f);

    preview_ = new ScreenWidget(map_area, WS_DEFAULT_STATE);
    preview_->set_frame(picture);
    preview_->enable_state(WS_FIXED_SIZE);
    preview_->disable_state(kNoBackgroundOrBorder);
    preview_->set_color("background", Color(0.0f, 0.0f, 0.0f, 1.0f));
    preview_->set_screen(match_);
    zoom_ = kPreviewZoom;

    auto* map_frame = new Widget(map_area, WS_DEFAULT_STATE);
    map_frame->enable_state(WS_FIXED_SIZE);
    map_frame->disable_state(WS_BORDER);
    map_frame->set_frame(whole);
    map_frame->set_style_map(MenuWidgetStyles("mapBackground"));

    auto* seed_strip = NewArea(map_frame, strip);
    auto* seed_grid = new GridWidget(seed_strip, WS_DEFAULT_STATE);
    seed_grid->enable_state(kLayoutGridBits);
    seed_grid->set_horizontal_spacing(strip.width() / 50.0f);
    AddMenuButton(seed_grid, 0, 0, "Previous", this, &MainMenuScreen::previous_level_clicked);
    AddMenuButton(seed_grid, 0, 1, "Next", this, &MainMenuScreen::next_level_clicked);
}

void MainMenuScreen::build_menu_buttons(Widget* root) {
    auto* menu_area = NewArea(root, MenuFrame("mainMenu.areaMenu"));

    cpu_button_ = CreateMenuButton(menu_area, cpu_levels_[1].text.c_str(), kMenuButtonState);
    cpu_button_->disable_state(kCentred);
    cpu_button_->enable_state(kCentredTop);
    cpu_button_->connect_on_click(this, &MainMenuScreen::cpu_level_clicked);

    auto* menu_grid = new GridWidget(menu_area, WS_DEFAULT_STATE);
    menu_grid->enable_state(kBottomGridBits);
    menu_grid->set_horizontal_spacing(8.0f);
    menu_grid->set_vertical_spacing(15.0f);
    AddMenuButton(menu_grid, 0, 0, "START", this, &MainMenuScreen::start_match_clicked);
    AddMenuButton(menu_grid, 1, 0, "How To Play", this, &MainMenuScreen::how_to_play_clicked);
    AddMenuButton(menu_grid, 2, 0, "Credits", this, &MainMenuScreen::credits_clicked);
    AddMenuButton(menu_grid, 3, 0, "Options", this, &MainMenuScreen::options_clicked);
    AddMenuButton(menu_grid, 4, 0, "Quit", this, &MainMenuScreen::quit_clicked);
}

void MainMenuScreen::build_character_buttons(Widget* root) {
    // One button more than there are characters: the first stands for none.
    const unsigned n = NumCharacters() + 1;
    unsigned rows = static_cast<unsigned>(std::sqrt(static_cast<double>(n)));
    unsigned columns = rows;
    while (rows * columns < n) {
        columns += 1;
        if (rows * columns < n) rows += 1;
    }

    const Frame c = MenuFrame("mainMenu.areaCharacters");
    auto* characters_area = new Widget(root, WS_DEFAULT_STATE);
    characters_area->enable_state(WS_FIXED_SIZE);
    characters_area->disable_state(WS_BORDER);
    characters_area->set_frame(c);
    characters_area->set_style_map(MenuWidgetStyles("charactersBackground"));

    character_grid_ = new WidgetGrid<ButtonWidget>(characters_area, WS_VISIBLE | WS_ENABLED);
    character_grid_->create_grid(rows, columns, false);
    character_grid_->enable_state(kLayoutGridBits);
    character_grid_->grid()->set_horizontal_spacing(0.0f);

    const float k = static_cast<float>(0.95 / std::max(rows, columns));
    const Frame button_frame(0.0f, 0.0f, c.width() * k, c.height() * k);
    Frame portrait_frame = button_frame;
    portrait_frame.scale_around_center(0.75f, 0.75f);
    const SmartPtr<WidgetStyleMap> style = MenuWidgetStyles("characterButtonStyle");

    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned col = 0; col < columns; ++col) {
            ButtonWidget* button = character_grid_->at(r, col);
            const int index = static_cast<int>(r * columns + col) - 1;
            button->set_exclusive(true);
            button->set_checkable(true);
            button->set_uncheckable(false);
            button->disable_state(WS_BORDER);
            button->enable_state(WS_FIXED_SIZE);
            button->set_frame(button_frame);
            if (index < static_cast<int>(NumCharacters())) {
                Image portrait = GetCharacter(static_cast<unsigned>(index)).portrait;
                portrait.dest_frame = portrait_frame;
                button->set_image(portrait);
                button->connect_on_mouse_down(this, &MainMenuScreen::character_pressed);
                button->set_style_map(style);
                character_buttons_.push_back(button);
            } else {
                // Rounds the grid off: kept in its cell, never shown.
                button->disable_state(WS_VISIBLE);
            }
        }
    }
}

void MainMenuScreen::build_info_line(Widget* root) {
    info_text_ = new TextWidget(root, WS_DEFAULT_STATE);
    info_text_->enable_state(kCentredBottom);
    info_text_->disable_state(kNoBackgroundOrBorder);
    info_text_->set_text_height(kInfoTextHeight);
    info_text_->set_text("Quorvane - Alpha (a6)  ---  Created by BRANNIKOS  ---  Have fun!");
    // With a wide menu font the line is made smaller until it fits the
    // design's width.
    info_text_->adjust_to_content(true);
    const float room = root->frame().width() * 0.95f;
    const float width = info_text_->frame().width();
    if (width > room) info_text_->set_text_height(kInfoTextHeight * room / width);
}

bool MainMenuScreen::update(double dt) {
    if (mode_ == mode_leaving) return false;
    if (match_->phase() != MatchPhase::preview) match_->show_level_preview(0, -1.0f);
    match_->update(dt);
    return true;
}

void MainMenuScreen::draw() { DrawMenuOnBlack(tree_.get()); }

bool MainMenuScreen::is_opaque() { return true; }

void MainMenuScreen::focus_selected_name() {
    if (selected_card_) selected_card_->name_input()->set_focus();
}

bool MainMenuScreen::process_mouse_event(MouseEvent const& event) {
    const bool taken = tree_ ? tree_->process_mouse_event(event) : false;
    focus_selected_name();
    return taken;
}

bool MainMenuScreen::process_key_event(KeyEvent const& event) {
    focus_selected_name();
    return tree_ ? tree_->process_key_event(event) : false;
}

void MainMenuScreen::new_resolution(int, int) {
    const FrameTransform t = MenuTransform();
    tree_->transform(t);
    new_team_screen_->transform(t);
    options_screen_->transform(t);
    match_->transform(t);
}

void MainMenuScreen::activate(IScreen* previous) {
    if (mode_ == mode_exit_screen) {
        auto* exit_screen = dynamic_cast<ExitScreen*>(previous);
        if (!exit_screen || !exit_screen->back_pressed) {
            mode_ = mode_leaving;
            return;
        }
    }
    mode_ = mode_normal;
    tree_->draw();
    match_->show_level_preview(seeds_[seed_index_], zoom_);
    focus_selected_name();
    GetMusicController().play_music_desc("mainMenu");
}

void MainMenuScreen::deactivate() {
    const std::vector<TeamDesc> teams = team_descs();
    SaveOrWarn(PathProvider::get_path(8) + "/" + kTeamSettingsFile,
               [&] { WriteTeamDescs(teams, kTeamSettingsFile); });
}

void MainMenuScreen::team_selected(Widget* sender) {
    selected_card_ = dynamic_cast<TeamRepresentationWidget*>(sender);
    std::size_t p = 0;
    for (std::size_t i = 0; i < cards_.size(); ++i) {
        cards_[i]->set_selected(false);
        if (cards_[i] == selected_card_) p = i;
    }
    if (!selected_card_) return;
    selected_card_->set_selected(true);

    const int b = cards_[p]->team().character.index + 1;
    if (b >= 0 && b < static_cast<int>(character_buttons_.size())) {
        character_buttons_[static_cast<std::size_t>(b)]->press();
    } else {
        for (ButtonWidget* button : character_buttons_) button->unpress();
    }

    // A character another team plays cannot be picked; "no character" always
    // can.
    for (ButtonWidget* button : character_buttons_) button->enable_state(WS_ENABLED);
    for (std::size_t j = 0; j < cards_.size(); ++j) {
        if (j == p) continue;
        const int c = cards_[j]->team().character.index + 1;
        if (c > 0 && c < static_cast<int>(character_buttons_.size())) {
            character_buttons_[static_cast<std::size_t>(c)]->disable_state(WS_ENABLED);
        }
    }
}

void MainMenuScreen::character_pressed(Widget* sender) {
    if (!selected_card_) return;
    GridWidget* grid = character_grid_->grid();
    const unsigned columns = grid->num_columns();
    for (unsigned r = 0; r < grid->num_rows(); ++r) {
        for (unsigned c = 0; c < columns; ++c) {
            if (grid->widget_at(r, c) != sender) continue;
            const int index = static_cast<int>(c + r * columns) - 1;
            TeamDesc team = selected_card_->team();
            team.character = GetCharacter(static_cast<unsigned>(index));
            selected_card_->set_team(team);
            return;
        }
    }
}

int MainMenuScreen::cpu_level() {
    const std::string shown = cpu_button_->text();
    for (std::size_t i = 0; i < cpu_levels_.size(); ++i) {
        if (cpu_levels_[i].text == shown) return static_cast<int>(i);
    }
    return 0;
}

void MainMenuScreen::cpu_level_clicked(Widget*) {
    const std::size_t level = (static_cast<std::size_t>(cpu_level()) + 1) % cpu_levels_.size();
    cpu_button_->set_text(cpu_levels_[level].text.c_str());
}

void MainMenuScreen::next_level_clicked(Widget*) {
    if (seed_index_ + 1 < seeds_.size()) {
        seed_index_ += 1;
    } else {
        seeds_.push_back(ClockSeed());
        seed_index_ = static_cast<unsigned>(seeds_.size() - 1);
    }
    match_->show_level_preview(seeds_[seed_index_], zoom_);
}

void MainMenuScreen::previous_level_clicked(Widget*) {
    if (seed_index_ > 0) {
        seed_index_ -= 1;
    } else {
        seeds_.insert(seeds_.begin(), ClockSeed());
    }
    match_->show_level_preview(seeds_[seed_index_], zoom_);
}

void MainMenuScreen::how_to_play_clicked(Widget*) { PushScreen(SmartPtr<IScreen>(new HowToPlayScreen())); }

void MainMenuScreen::credits_clicked(Widget*) { PushScreen(SmartPtr<IScreen>(new CreditsScreen())); }

void MainMenuScreen::options_clicked(Widget*) { PushScreen(options_screen_); }

void MainMenuScreen::quit_clicked(Widget*) {
    mode_ = mode_exit_screen;
    PushScreen(SmartPtr<IScreen>(new ExitScreen()));
}

std::vector<TeamDesc> MainMenuScreen::team_descs() const {
    std::vector<TeamDesc> teams;
    teams.reserve(cards_.size());
    for (TeamRepresentationWidget const* card : cards_) teams.push_back(card->team());
    return teams;
}

}  // namespace vo

#include "game/menus/options_menu_screen.h"

#include "engine/audio/music_handler.h"
#include "engine/core/frame.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/widget.h"
#include "game/app/my_app.h"
#include "game/app/user_file.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"
#include "game/menus/menu_screen_helpers.h"

#include <boost/signals2/connection.hpp>

namespace vo {

namespace {

constexpr float kMusicFade = 0.1f;

void SetMusicOn(bool on) { GetMusicHandler().set_master_volume(on ? 100.0f : 0.0f, kMusicFade); }

}  // namespace

OptionsMenuScreen::OptionsMenuScreen() {
    MenuConfig();
    const Frame reference = MenuReferenceFrame();
    const double w = reference.width();
    const double h = reference.height();
    auto frame = [&](double left, double top, double right, double bottom) {
        return Frame(static_cast<float>(left * w), static_cast<float>(top * h), static_cast<float>(right * w),
                     static_cast<float>(bottom * h));
    };

    auto* root = new Widget(nullptr, WS_DEFAULT_STATE);
    set_tree(root);
    root->enable_state(WS_VIRTUAL);

    auto* switch_panel = new Widget(root, WS_DEFAULT_STATE);
    switch_panel->enable_state(WS_FIXED_SIZE);
    switch_panel->set_frame(frame(0.33, 0.25, 0.66, 0.75));
    switch_panel->set_style_map(MenuWidgetStyles("optionsPanel"));

    auto* switch_grid = new GridWidget(switch_panel, WS_DEFAULT_STATE);
    switch_grid->enable_state(kLayoutGridBits);
    switch_grid->set_vertical_spacing(8.0f);

    fullscreen_button_ = AddMenuButton(switch_grid, 0, 0, "", this, &OptionsMenuScreen::fullscreen_clicked);
    music_button_ = AddMenuButton(switch_grid, 1, 0, "", this, &OptionsMenuScreen::music_clicked);

    auto* ok_panel = new Widget(root, WS_DEFAULT_STATE);
    ok_panel->enable_state(WS_FIXED_SIZE);
    ok_panel->set_frame(frame(0.33, 0.75, 0.66, 0.85));
    ok_panel->set_style_map(MenuWidgetStyles("optionsOkPanel"));

    ok_button_ = CreateMenuButton(ok_panel, "Ok", kMenuButtonState);
    ok_button_->connect_on_click(this, &OptionsMenuScreen::ok_clicked);

    refresh_texts();
    lay_out_for_window(false);
}

bool OptionsMenuScreen::is_opaque() { return false; }

void OptionsMenuScreen::activate(IScreen*) {
    options_ = GameOptions::instance();
    refresh_texts();
    finished = false;
}

void OptionsMenuScreen::fullscreen_clicked(Widget*) {
    options_.fullscreen = !options_.fullscreen;
    refresh_texts();
    CreateGameWindow(options_);
}

void OptionsMenuScreen::music_clicked(Widget*) {
    options_.music = !options_.music;
    refresh_texts();
    SetMusicOn(options_.music);
}

void OptionsMenuScreen::ok_clicked(Widget*) {
    // Every key is written, changed or not: a value that start-up refused
    // and replaced is repaired in the file.
    GameOptions& stored = GameOptions::instance();
    stored = options_;
    SaveOrWarn(stored.file, [&] { stored.save(); });
    finished = true;
}

void OptionsMenuScreen::refresh_texts() {
    fullscreen_button_->set_text(options_.fullscreen ? "Fullscreen: On" : "Fullscreen: Off");
    music_button_->set_text(options_.music ? "Music: On" : "Music: Off");
}

void OptionsMenuScreen::escape_released() {
    GameOptions const& stored = GameOptions::instance();
    if (options_.fullscreen != stored.fullscreen) CreateGameWindow(stored);
    if (options_.music != stored.music) SetMusicOn(stored.music);
    options_ = stored;
    refresh_texts();
    finished = true;
}

}  // namespace vo

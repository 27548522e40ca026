#include "game/app/my_app.h"

#include "engine/audio/music_controller.h"
#include "engine/audio/music_handler.h"
#include "engine/core/color.h"
#include "engine/core/command_line.h"
#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/core/platform.h"
#include "engine/core/profiler.h"
#include "engine/core/resources.h"
#include "engine/core/vector.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/drawer.h"
#include "engine/visuals/font.h"
#include "engine/visuals/register_engine_objects.h"
#include "engine/visuals/text.h"
#include "engine/visuals/visual.h"
#include "game/app/characters.h"
#include "game/app/console_report.h"
#include "game/app/debug_config.h"
#include "game/app/game_options.h"
#include "game/app/screen.h"
#include "game/app/user_file.h"
#include "game/behaviors/register_game_entities.h"
#include "game/menus/debug_screen.h"
#include "game/menus/main_menu_screen.h"
#include "game/menus/menu_kit.h"

#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>

namespace vo {

MyApp* g_app = nullptr;

namespace {

// Remembers that r was down, so that the reload runs once on release.
bool s_reloadKeyDown = false;

// Set by the first MyApp::init of the process.
bool s_initialized = false;

// Window styles of the back end: title bar 1, close button 4, full screen 8.
constexpr unsigned kWindowedStyle = 5;
constexpr unsigned kFullscreenStyle = 13;

const char* const kGameConfigFile = "config.info";

void PrintLine(std::string const& text) { std::cout << text << std::endl; }

void ReportStartUpFailure(std::string const& cause) {
    std::cout << "An error occured during initialization:\n" << std::flush;
    std::cout << cause << std::endl;
    ReportToStandardError("start-up failed: " + cause);
}

// config.info is read from the working directory, where the build puts it
// next to the program's folder: a missing one means the game was started
// from somewhere else.
void RequireGameConfigFile() {
    if (FileExists(kGameConfigFile)) return;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    const std::string looked_for = error ? std::string(kGameConfigFile) : (folder / kGameConfigFile).string();
    throw Error("Couldn't find " + looked_for +
                ": the game starts from its build folder, which holds config.info (for instance: cd build && "
                "./game/quorvane)");
}

// A required string of config.info; a missing key names the file.
std::string GameConfigString(const char* key) {
    try {
        return GetGameConfig().get<std::string>(key);
    } catch (boost::property_tree::ptree_bad_path const& e) {
        throw Error(std::string(e.what()) + " in config.info");
    }
}

Drawer& DimmingDrawer() {
    static Drawer drawer;
    return drawer;
}

}  // namespace

ptree const& GetGameConfig() { return GetConfig(kGameConfigFile); }

void CreateGameWindow(GameOptions const& options) {
    Engine& engine = Engine::instance();
    if (options.fullscreen) {
        const vector2 desktop = engine.desktop_resolution();
        engine.create_window(static_cast<unsigned>(desktop.x), static_cast<unsigned>(desktop.y), "Quorvane",
                             kFullscreenStyle);
    } else {
        engine.create_window(static_cast<unsigned>(options.windowWidth), static_cast<unsigned>(options.windowHeight),
                             "Quorvane", kWindowedStyle);
    }
}

MyApp::MyApp() = default;

MyApp::MyApp(int argc, char** argv) { ParamToInt(draw_debug_screen_, "-drawDebugScreen", argc, argv); }

MyApp::~MyApp() = default;

void MyApp::init() {
    if (s_initialized) throw Error("MyApp::init has already been initialized.");
    s_initialized = true;

    // Every failure of start-up is reported here and ends the program as
    // one error.
    try {
        init_steps();
        return;
    } catch (Error const& e) {
        ReportStartUpFailure(e.message());
    } catch (std::exception const& e) {
        ReportStartUpFailure(e.what());
    }
    throw Error("Couldn't complete initialization. An error occurred.");
}

void MyApp::init_steps() {
    PrintLine("initializing...");
    Engine& engine = Engine::instance();
    engine.set_event_handler(this);

    const std::string user_folder = make_user_folder();
    PrintLine("UserDataPath: " + user_folder);
    PathProvider::set_path(8, user_folder);

    register_data_folders(GameConfigString("gameDataPath"));
    load_or_create_options(user_folder);

    PrintLine("creating window...");
    const GameOptions options = GameOptions::instance();
    CreateGameWindow(options);
    if (!options.music) GetMusicHandler().set_master_volume(0.0f, 0.0);

    PrintLine("creating font...");
    create_font();

    engine.set_clear_color(Color(0.0f, 0.0f, 0.0f, 1.0f));
    engine.clear();
    engine.display();

    SetCharactersFilePath(PathProvider::get_path(1) + "characters.info");
    LoadCharacters();

    PrintLine("registering engine objects...");
    RegisterEngineObjects();
    PrintLine("registering game entities...");
    RegisterGameEntities();

    PrintLine("creating initial screen...");
    if (SmartPtr<IScreen> first = create_first_screen()) PushScreen(first);

    ApplyVSync();
    PrintLine("initialization complete...");
}

std::string MyApp::make_user_folder() {
    // config.info is read from the working directory: no configuration
    // folder is registered yet.
    RequireGameConfigFile();
    const std::string name = GameConfigString("userDataPath");
    const std::string base = GetUserPath();
    const std::string folder = base + "/" + name;
    if (base.empty()) {
        throw Error("Couldn't create user path at " + folder +
                    ": no folder for settings was found (set XDG_CONFIG_HOME or HOME)\n");
    }
    if (!FileExists(folder)) {
        CreatePath(folder);
        if (!FileExists(folder)) throw Error("Couldn't create user path at " + folder + "\n");
    }
    return folder;
}

void MyApp::register_data_folders(std::string const& game_data_path) {
    // Checked here, before the window opens, so that a wrong folder is
    // reported as such and not as the first data file that is missing.
    if (game_data_path.empty() || !FileExists(game_data_path)) {
        throw Error("The game data folder \"" + game_data_path + "\" named by gameDataPath in config.info does not exist");
    }
    PathProvider::set_path(3, game_data_path + "/fonts/");
    PathProvider::set_path(1, game_data_path + "/config/");
    PathProvider::set_path(4, game_data_path + "/textures/");
    PathProvider::set_path(6, game_data_path + "/meshes/");
    PathProvider::set_path(7, game_data_path + "/shaders/");
    PathProvider::set_path(9, game_data_path + "/misc/presets");
    PathProvider::set_path(10, game_data_path + "/music/");
    PathProvider::set_path(11, game_data_path + "/sounds/");
    Textures().path = PathProvider::get_path(4);
}

void MyApp::load_or_create_options(std::string const& user_folder) {
    const std::string file = user_folder + "/game_options.info";
    PrintLine("loading game options from: " + file);
    GameOptions& options = GameOptions::instance();
    if (FileExists(file)) {
        // A broken options file must not keep the game from starting: it is
        // kept for the user as ".bad" and the defaults take its place.
        if (ReadUserFileOrSetAside(file, "the default options", [&] { options.load(file); })) return;
        options = GameOptions();
        options.file = file;
        // Writing the defaults over the only copy would lose it.
        if (FileExists(file)) return;
    }
    SaveOrWarn(file, [&] { options.save(file); });
}

void MyApp::create_font() {
    SmartPtr<Font> font(new Font);
    font->set_file((PathProvider::get_path(3) + MenuString("menuFont")).c_str(), Font::FONT_FREETYPE);
    Text::set_default_font(font);
}

SmartPtr<IScreen> MyApp::create_first_screen() {
    switch (draw_debug_screen_) {
        case 0:
            return SmartPtr<IScreen>(new DebugScreen());
        case -1:
        case 1: {
            SmartPtr<MainMenuScreen> menu(new MainMenuScreen());
            menu->preview_results = draw_debug_screen_ == 1;
            return menu;
        }
        default:
            return SmartPtr<IScreen>();
    }
}

void MyApp::terminate() {
    PrintLine("TERMINATING APP");
    screens_.clear();
    draw_start_ = 0;
    Text::set_default_font(SmartPtr<Font>());
    GetMusicHandler().clear();
    Fonts().clear();
    Visuals().clear();
    SoundBuffers().clear();
    Textures().clear();
}

SmartPtr<IScreen> MyApp::top_screen() const {
    return screens_.empty() ? SmartPtr<IScreen>() : screens_.back();
}

void MyApp::push_screen(SmartPtr<IScreen> screen) {
    if (!screen) throw Error("MyApp::push_screen: cannot push an empty screen.");
    if (screen->is_opaque()) draw_start_ = static_cast<unsigned>(screens_.size());
    // Hold the old top during the hand-over: it may be pushing from its own
    // handler.
    SmartPtr<IScreen> old_top;
    if (!screens_.empty()) {
        old_top = screens_.back();
        old_top->deactivate();
    }
    screens_.push_back(screen);
    screen->activate(old_top.get());
}

void MyApp::check_debug_reload_key() {
    if (Engine::instance().is_key_down(KEY_R)) {
        s_reloadKeyDown = true;
    } else if (s_reloadKeyDown) {
        s_reloadKeyDown = false;
        GetDebugConfig().reload();
        ApplyVSync();
    }
}

void MyApp::recompute_draw_start() {
    draw_start_ = 0;
    for (std::size_t i = 0; i < screens_.size(); ++i)
        if (screens_[i]->is_opaque()) draw_start_ = static_cast<unsigned>(i);
}

bool MyApp::update(double dt) {
    VO_PROFILE_ZONE("myApp_update");

    check_debug_reload_key();

    // A screen may push another from its step: walk by index over the
    // screens present now.
    const std::size_t count = screens_.size();
    for (std::size_t i = 0; i < count && i < screens_.size(); ++i) {
        SmartPtr<IScreen> screen = screens_[i];
        screen->step(dt);
    }

    while (!screens_.empty()) {
        SmartPtr<IScreen> finished = screens_.back();
        if (finished->update(dt)) break;

        // The finished screen may have pushed another one over itself
        // before answering false: remove that very screen.
        auto it = std::find(screens_.rbegin(), screens_.rend(), finished);
        if (it == screens_.rend()) continue;  // already gone
        const bool was_top = it == screens_.rbegin();
        if (was_top) finished->deactivate();
        screens_.erase(std::next(it).base());
        if (was_top && !screens_.empty()) screens_.back()->activate(finished.get());
        recompute_draw_start();
    }

    GetMusicHandler().update(dt);
    GetMusicController().update(dt);
    return !screens_.empty();
}

void MyApp::draw() {
    VO_PROFILE_ZONE("myApp_display");
    draw_screens();
    {
        VO_PROFILE_ZONE("engine_display");
        Engine::instance().display();
    }
}

void MyApp::draw_screens() {
    Engine& engine = Engine::instance();

    if (GetDebugConfig().clearScreen) {
        engine.set_clear_color(Color(0.2f, 0.2f, 0.2f, 1.0f));
        engine.clear();
    }

    VO_PROFILE_ZONE("screens_display");
    for (std::size_t i = draw_start_; i < screens_.size(); ++i) {
        SmartPtr<IScreen> screen = screens_[i];
        SetupOrthoView();
        engine.load_identity();
        screen->draw();
        if (i + 1 < screens_.size()) {
            engine.load_identity();
            SetupOrthoView();
            Drawer& dimmer = DimmingDrawer();
            dimmer.set_color(Color(0.0f, 0.0f, 0.0f, 0.75f));
            dimmer.draw_rect(0.0f, 0.0f, static_cast<float>(engine.screen_width()),
                             static_cast<float>(engine.screen_height()), true, 0.5f);
        }
    }
}

void MyApp::pop_all_screens() {
    while (!screens_.empty()) {
        SmartPtr<IScreen> removed = screens_.back();
        removed->deactivate();
        screens_.pop_back();
        if (!screens_.empty()) screens_.back()->activate(removed.get());
    }
}

bool MyApp::process_mouse_event(MouseEvent const& event) {
    if (screens_.empty()) return false;
    SmartPtr<IScreen> top = screens_.back();
    return top->process_mouse_event(event);
}

bool MyApp::process_key_event(KeyEvent const& event) {
    if (screens_.empty()) return false;
    SmartPtr<IScreen> top = screens_.back();
    return top->process_key_event(event);
}

void MyApp::new_resolution(int width, int height) {
    std::cout << "new resolution: " << vector2(static_cast<float>(width), static_cast<float>(height)) << std::endl;
    // A screen may change the stack while it adapts: work on a copy.
    std::vector<SmartPtr<IScreen>> screens = screens_;
    for (auto& screen : screens) screen->new_resolution(width, height);
}

}  // namespace vo

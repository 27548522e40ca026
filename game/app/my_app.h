#pragma once

// The application object: start-up and shut-down, the stack of screens, what
// runs each step and each frame, and the receiver of the window's input
// events.

#include "engine/core/config.h"
#include "engine/core/smart_ptr.h"
#include "engine/sfml/input_events.h"

#include <boost/signals2/trackable.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace vo {

class GameOptions;
class IScreen;

class MyApp : public IEventHandler, public boost::signals2::trackable {
public:
    // An application without command-line parameters.
    MyApp();
    // Takes "-drawDebugScreen <n>" from the command line: 0 starts on the
    // debug screen, 1 on the main menu with made-up results behind START,
    // any other number on no screen at all; absent, the main menu.
    MyApp(int argc, char** argv);
    MyApp(MyApp const&) = delete;
    MyApp& operator=(MyApp const&) = delete;
    // Releases the screens still on the stack.
    ~MyApp() override;

    // Start-up, once per process: reads "config.info" from the working
    // directory, makes the user folder, registers the data folders, loads
    // (or writes) the user's options, opens the window, sets the menu font,
    // loads the characters, registers the object types and pushes the first
    // screen, printing a line for each step. Any failure is printed and
    // thrown as Error "Couldn't complete initialization. An error
    // occurred."; a second call throws "MyApp::init has already been
    // initialized.".
    void init();
    // Shut-down while the engine still runs: releases the screens, the
    // default font, the music and every loaded font, visual, sound buffer
    // and texture.
    void terminate();

    // The new screen becomes the top; the old top is deactivated first.
    void push_screen(SmartPtr<IScreen> screen);
    // One step: the r-key debug reload, every screen's step, the top screen's
    // update (popping finished screens), the music. False once no screen is
    // left.
    bool update(double dt);
    // One frame: draw_screens, then the frame is shown.
    void draw();
    // The screens from the highest opaque one upward, each covered screen
    // dimmed once per drawn screen above it, into the frame being drawn.
    void draw_screens();
    // Pops every screen (top first) without updating any.
    void pop_all_screens();

    // Input goes to the top screen only; false when the stack is empty.
    bool process_mouse_event(MouseEvent const& event) override;
    bool process_key_event(KeyEvent const& event) override;
    // Reaches every screen, bottom first.
    void new_resolution(int width, int height) override;

    std::size_t num_screens() const { return screens_.size(); }
    SmartPtr<IScreen> top_screen() const;
    // The lowest stack index that draw() draws.
    unsigned draw_start_index() const { return draw_start_; }
    // The value of "-drawDebugScreen" on the command line, -1 when absent.
    int draw_debug_screen() const { return draw_debug_screen_; }

protected:
    int draw_debug_screen_ = -1;

private:
    // Start-up's steps between the progress lines.
    void init_steps();
    std::string make_user_folder();
    void register_data_folders(std::string const& game_data_path);
    void load_or_create_options(std::string const& user_folder);
    void create_font();
    // The screen the program starts on; empty for none.
    SmartPtr<IScreen> create_first_screen();

    void recompute_draw_start();
    void check_debug_reload_key();

    std::vector<SmartPtr<IScreen>> screens_;
    unsigned draw_start_ = 0;
};

// The one application of the process; set by main right after building it.
extern MyApp* g_app;

// "config.info" of the working directory (userDataPath, gameDataPath), read
// on first use through the configuration pool.
ptree const& GetGameConfig();

// Opens the game's window "Quorvane", or re-creates it: at the desktop
// resolution with title bar, close button and full screen when the options
// ask for full screen, otherwise at their window size with title bar and
// close button.
void CreateGameWindow(GameOptions const& options);

}  // namespace vo

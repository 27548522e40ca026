#pragma once

// The game application run inside a test process as the program runs it:
// from a temporary working directory holding a config.info that points at
// the shipped data folder, with XDG_CONFIG_HOME in a temporary folder (the
// user folder is below it), MyApp built from a command line and started with
// init(). The test drives steps and frames itself and sends input through
// MyApp's event entry points, the ones the engine's event pump calls.

#include "engine/core/color.h"
#include "engine/core/smart_ptr.h"
#include "engine/sfml/input_events.h"
#include "game/app/my_app.h"
#include "game/app/screen.h"
#include "support/engine/media_files.h"

#include <SFML/Graphics/Image.hpp>

#include <functional>
#include <string>
#include <vector>

namespace vo {
class ButtonWidget;
class Widget;
}  // namespace vo

namespace vo_test {

// "userDataPath Quorvane" and gameDataPath the shipped data folder.
std::string DefaultConfigInfo();

// How an AppHarness starts the application.
struct AppSetup {
    // The command line after the program's name. "-drawDebugScreen 2"
    // starts on no screen, so that a test pushes its own.
    std::vector<std::string> args = {"-drawDebugScreen", "2"};
    // The text of config.info in the working directory.
    std::string config_info = DefaultConfigInfo();
    // When not empty, written as game_options.info into the user folder
    // before start-up.
    std::string game_options;
};

class AppHarness {
public:
    using Setup = AppSetup;

    // Prepares the folders and the application; init() starts it.
    explicit AppHarness(Setup setup = Setup());
    // Shuts down as the program does after its loop (screens popped, then,
    // while the engine runs, the application terminated and the engine
    // stopped), then restores the working directory and XDG_CONFIG_HOME.
    ~AppHarness();
    AppHarness(AppHarness const&) = delete;
    AppHarness& operator=(AppHarness const&) = delete;

    // MyApp::init.
    void init();

    vo::MyApp& app() { return app_; }
    std::string const& working_directory() const { return work_.path(); }
    // $XDG_CONFIG_HOME/Quorvane
    std::string user_folder() const;
    std::string user_file(std::string const& name) const { return user_folder() + "/" + name; }

    // Steps of 1/60 s as the main loop runs them (widget tweens, then the
    // application). False once no screen is left.
    bool step(int count = 1);
    // Runs the window's event pump once; false when the window was closed.
    bool pump_events();
    // Draws the screens into a frame, reads it back, shows it.
    sf::Image frame();
    // frame(), saved as <artefacts>/<name>.png.
    sf::Image screenshot(std::string const& name);

    // A press and a release of the left button at the widget's centre.
    void click(vo::Widget* widget);
    // A key event through MyApp.
    bool key(vo::KeyEvents type, vo::KeyCode code, bool shifted = false);
    // A press and a release of each character's key (letters, digits, blank).
    void type(std::string const& text);

    // The top screen as T, or null.
    template <class T>
    T* top() const {
        return dynamic_cast<T*>(app_.top_screen().get());
    }

private:
    // "quorvane" and the arguments, kept for the application's life.
    struct CommandLine {
        explicit CommandLine(std::vector<std::string> const& args);
        int argc() const { return static_cast<int>(words.size()); }
        char** argv() { return pointers.data(); }
        std::vector<std::string> words;
        std::vector<char*> pointers;
    };

    Setup setup_;
    std::string old_cwd_;
    std::string old_xdg_;
    bool had_xdg_ = false;
    TempFolder work_;
    TempFolder config_home_;
    CommandLine command_line_;
    vo::MyApp app_;
};

// Where tests leave files for people to look at: <build>/tests/artefacts.
std::string ArtefactPath(std::string const& name);

// An opaque screen filling the window with one colour, never finishing: the
// ground over which a screen under test is pushed.
class PlainScreen : public vo::IScreen {
public:
    explicit PlainScreen(vo::Color colour = vo::Color(0.1f, 0.5f, 0.3f, 1.0f)) : colour_(colour) {}
    bool update(double) override { return true; }
    void draw() override;
    bool is_opaque() override { return true; }

private:
    vo::Color colour_;
};

// The first widget below root (root included, depth first) for which match
// answers true; null when there is none.
vo::Widget* FindWidget(vo::Widget* root, std::function<bool(vo::Widget*)> const& match);
// The button whose text is text.
vo::ButtonWidget* FindButton(vo::Widget* root, std::string const& text);
// Every widget of type T below root, in tree order.
template <class T>
std::vector<T*> FindAll(vo::Widget* root) {
    std::vector<T*> found;
    FindWidget(root, [&](vo::Widget* w) {
        if (auto* t = dynamic_cast<T*>(w)) found.push_back(t);
        return false;
    });
    return found;
}

// The whole text of a file; empty when it cannot be read.
std::string ReadTextFile(std::string const& path);

}  // namespace vo_test

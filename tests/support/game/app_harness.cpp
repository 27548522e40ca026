#include "support/game/app_harness.h"

#include "engine/sfml/engine.h"
#include "engine/sfml/sfml_engine.h"
#include "engine/visuals/drawer.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/widget.h"
#include "game/app/main_loop.h"
#include "support/engine/test_window.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vo_test {

namespace {

const double kStep = static_cast<double>(vo::MainLoop::step_length);

std::string CurrentDirectory() {
    char buffer[4096];
    return getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string();
}

void WriteFile(std::string const& path, std::string const& text) {
    std::ofstream out(path.c_str());
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

vo::KeyCode KeyOf(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<vo::KeyCode>(vo::KEY_A + (c - 'a'));
    if (c >= 'A' && c <= 'Z') return static_cast<vo::KeyCode>(vo::KEY_A + (c - 'A'));
    if (c >= '0' && c <= '9') return static_cast<vo::KeyCode>(vo::KEY_0 + (c - '0'));
    if (c == ' ') return vo::KEY_SPACE;
    throw std::invalid_argument(std::string("no key types '") + c + "'");
}

}  // namespace

AppHarness::CommandLine::CommandLine(std::vector<std::string> const& args) {
    words.push_back("quorvane");
    words.insert(words.end(), args.begin(), args.end());
    for (auto& word : words) pointers.push_back(&word[0]);
    pointers.push_back(nullptr);
}

std::string DefaultConfigInfo() {
    return std::string("userDataPath Quorvane\ngameDataPath \"") + QV_GAME_DATA_DIR + "\"\n";
}

AppHarness::AppHarness(Setup setup)
    : setup_(std::move(setup)), command_line_(setup_.args), app_(command_line_.argc(), command_line_.argv()) {
    old_cwd_ = CurrentDirectory();
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) {
        had_xdg_ = true;
        old_xdg_ = xdg;
    }
    setenv("XDG_CONFIG_HOME", config_home_.path().c_str(), 1);
    WriteFile(work_.file("config.info"), setup_.config_info);
    if (!setup_.game_options.empty()) {
        mkdir(user_folder().c_str(), 0700);
        WriteFile(user_file("game_options.info"), setup_.game_options);
    }
    if (chdir(work_.path().c_str()) != 0) throw std::runtime_error("cannot enter " + work_.path());
    vo::g_app = &app_;
}

AppHarness::~AppHarness() {
    vo::MainLoop(app_).shut_down();
    vo::g_app = nullptr;
    if (!old_cwd_.empty() && chdir(old_cwd_.c_str()) != 0) {
        // The temporary folders go all the same.
    }
    if (had_xdg_) {
        setenv("XDG_CONFIG_HOME", old_xdg_.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

void AppHarness::init() {
    PrepareDisplay();
    app_.init();
}

std::string AppHarness::user_folder() const { return config_home_.path() + "/Quorvane"; }

bool AppHarness::step(int count) {
    bool running = true;
    for (int i = 0; i < count; ++i) {
        vo::Widget::update(kStep);
        running = app_.update(kStep);
    }
    return running;
}

bool AppHarness::pump_events() { return vo::Engine::instance().process_events(); }

sf::Image AppHarness::frame() {
    app_.draw_screens();
    auto* backend = dynamic_cast<vo::SFML_Engine*>(&vo::Engine::instance());
    if (!backend || !backend->render_window()) throw std::runtime_error("the game has no window");
    sf::RenderWindow& window = *backend->render_window();
    sf::Texture texture;
    texture.create(window.getSize().x, window.getSize().y);
    texture.update(window);
    sf::Image image = texture.copyToImage();
    vo::Engine::instance().display();
    // The window shows colours only: what blending leaves in the alpha
    // channel never reaches the screen, so the picture is made opaque.
    const sf::Vector2u size = image.getSize();
    for (unsigned y = 0; y < size.y; ++y) {
        for (unsigned x = 0; x < size.x; ++x) {
            sf::Color c = image.getPixel(x, y);
            c.a = 255;
            image.setPixel(x, y, c);
        }
    }
    return image;
}

sf::Image AppHarness::screenshot(std::string const& name) {
    sf::Image image = frame();
    image.saveToFile(ArtefactPath(name + ".png"));
    return image;
}

void AppHarness::click(vo::Widget* widget) {
    if (!widget) throw std::invalid_argument("click: no widget");
    const vo::Frame f = widget->global_transformed_frame();
    const float x = (f.left() + f.right()) * 0.5f;
    const float y = (f.top() + f.bottom()) * 0.5f;
    app_.process_mouse_event(vo::MouseEvent(vo::MOUSE_MOVED, vo::MOUSE_BUTTON_NONE, 0, x, y));
    app_.process_mouse_event(vo::MouseEvent(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_LEFT, vo::MOUSE_BUTTON_LEFT, x, y));
    app_.process_mouse_event(vo::MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, x, y));
}

bool AppHarness::key(vo::KeyEvents type, vo::KeyCode code, bool shifted) {
    return app_.process_key_event(vo::KeyEvent(type, code, shifted));
}

void AppHarness::type(std::string const& text) {
    for (char c : text) {
        const bool shifted = c >= 'A' && c <= 'Z';
        key(vo::KEY_PRESSED, KeyOf(c), shifted);
        key(vo::KEY_RELEASED, KeyOf(c), shifted);
    }
}

std::string ArtefactPath(std::string const& name) {
    const std::string folder = QV_TEST_ARTEFACT_DIR;
    mkdir(folder.c_str(), 0755);
    return folder + "/" + name;
}

void PlainScreen::draw() {
    vo::Engine& engine = vo::Engine::instance();
    engine.set_clear_color(colour_);
    engine.clear();
}

vo::Widget* FindWidget(vo::Widget* root, std::function<bool(vo::Widget*)> const& match) {
    if (!root) return nullptr;
    if (match(root)) return root;
    for (unsigned i = 0; i < root->num_children(); ++i) {
        if (vo::Widget* found = FindWidget(root->child(i), match)) return found;
    }
    return nullptr;
}

vo::ButtonWidget* FindButton(vo::Widget* root, std::string const& text) {
    return static_cast<vo::ButtonWidget*>(FindWidget(root, [&](vo::Widget* w) {
        auto* button = dynamic_cast<vo::ButtonWidget*>(w);
        return button && button->text() == text;
    }));
}

std::string ReadTextFile(std::string const& path) {
    std::ifstream in(path.c_str());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace vo_test

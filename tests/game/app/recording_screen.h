#pragma once

// A screen for stack tests: logs every call it receives into a shared list,
// answers update with a settable value, and can fill the window with a colour.

#include "engine/core/color.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/drawer.h"
#include "game/app/screen.h"

#include <functional>
#include <string>
#include <vector>

namespace vo_test {

class RecordingScreen : public vo::IScreen {
public:
    RecordingScreen(std::string name, bool opaque, std::vector<std::string>* log)
        : name_(std::move(name)), opaque_(opaque), log_(log) {}
    ~RecordingScreen() override { log_->push_back(name_ + ".destroyed"); }

    bool update(double) override {
        log_->push_back(name_ + ".update");
        if (on_update) on_update();
        return keep_running;
    }
    void draw() override {
        log_->push_back(name_ + ".draw");
        if (fill) {
            vo::Engine& engine = vo::Engine::instance();
            vo::Drawer drawer;
            drawer.set_color(*fill);
            drawer.draw_rect(0.0f, 0.0f, static_cast<float>(engine.screen_width()),
                             static_cast<float>(engine.screen_height()), true, 0.0f);
        }
        if (on_draw) on_draw();
    }
    bool is_opaque() override { return opaque_; }
    bool process_mouse_event(vo::MouseEvent const&) override {
        log_->push_back(name_ + ".mouse");
        return true;
    }
    bool process_key_event(vo::KeyEvent const&) override {
        log_->push_back(name_ + ".key");
        return true;
    }
    void new_resolution(int width, int height) override {
        log_->push_back(name_ + ".resolution " + std::to_string(width) + "x" + std::to_string(height));
    }
    void activate(vo::IScreen* other) override {
        auto* from = dynamic_cast<RecordingScreen*>(other);
        log_->push_back(name_ + ".activate(" + (from ? from->name_ : std::string("null")) + ")");
    }
    void deactivate() override { log_->push_back(name_ + ".deactivate"); }
    void step(double) override { log_->push_back(name_ + ".step"); }

    bool keep_running = true;
    const vo::Color* fill = nullptr;
    std::function<void()> on_update;
    std::function<void()> on_draw;

private:
    std::string name_;
    bool opaque_;
    std::vector<std::string>* log_;
};

}  // namespace vo_test

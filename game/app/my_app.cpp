#include "game/app/my_app.h"

#include "engine/audio/music_controller.h"
#include "engine/audio/music_handler.h"
#include "engine/core/color.h"
#include "engine/core/error.h"
#include "engine/core/profiler.h"
#include "engine/core/vector.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/drawer.h"
#include "game/app/debug_config.h"
#include "game/app/screen.h"

#include <algorithm>
#include <iostream>

namespace vo {

MyApp* g_app = nullptr;

namespace {

// Remembers that r was down, so that the reload runs once on release.
bool s_reloadKeyDown = false;

Drawer& DimmingDrawer() {
    static Drawer drawer;
    return drawer;
}

}  // namespace

MyApp::MyApp() = default;

MyApp::~MyApp() = default;

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
    Engine& engine = Engine::instance();

    if (GetDebugConfig().clearScreen) {
        engine.set_clear_color(Color(0.2f, 0.2f, 0.2f, 1.0f));
        engine.clear();
    }

    {
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

    {
        VO_PROFILE_ZONE("engine_display");
        engine.display();
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

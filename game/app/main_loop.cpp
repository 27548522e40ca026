#include "game/app/main_loop.h"

#include "engine/core/profiler.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/widget.h"
#include "game/app/my_app.h"

namespace vo {

MainLoop::MainLoop(MyApp& app) : app_(app), engine_(Engine::instance()), timeline_(nullptr, 1.0f) {}

bool MainLoop::run_pass() {
    if (!running_) return false;

    float accumulated = 0.0f;
    {
        VO_PROFILE_ZONE("IDLE");
        accumulated = timeline_.elapsed_time();
        if (accumulated > backlog_limit) timeline_.reset();
        accumulated = timeline_.elapsed_time();
        if (accumulated < step_length) return true;
    }

    VO_PROFILE_ZONE("mainLoop");
    for (int steps_left = step_budget;; --steps_left) {
        if (!engine_.process_events()) {
            running_ = false;
            return false;
        }
        if (steps_left <= 0 || accumulated < step_length) break;
        accumulated -= step_length;
        timeline_.subtract_time(step_length);
        {
            VO_PROFILE_ZONE("widget_update");
            Widget::update(static_cast<double>(step_length));
        }
        if (!app_.update(static_cast<double>(step_length))) {
            running_ = false;
            return false;
        }
    }
    app_.draw();
    zprof::ProfileManager::instance.update(profiler_damping);
    return true;
}

void MainLoop::run() {
    while (run_pass()) {
    }
}

void MainLoop::shut_down() {
    app_.pop_all_screens();
    if (engine_.is_running()) {
        app_.terminate();
        engine_.stop();
    }
}

}  // namespace vo

#pragma once

// The program's main loop: the game advances in fixed steps of 1/60 s on the
// engine's clock, and one frame is drawn after each batch of steps.

#include "engine/visuals/timeline.h"

namespace vo {

class Engine;
class MyApp;

class MainLoop {
public:
    // 1/60 s as a float; the steps hand it on widened to a double.
    static constexpr float step_length = 1.0f / 60.0f;
    // The most steps run before a frame is drawn.
    static constexpr int step_budget = 10;
    // Time piled up beyond this (a stall) is dropped, not stepped through.
    static constexpr float backlog_limit = 0.5f;
    // Damping of the profiler's averages, applied after every frame.
    static constexpr float profiler_damping = 0.9f;

    // The step timeline starts now on the engine's clock.
    explicit MainLoop(MyApp& app);

    // One pass. Until a step is due it returns at once (the loop spins: no
    // sleep, no yield). Then it runs the due steps, at most step_budget,
    // polling the window's events before each and once more before drawing
    // one frame. False once the loop has ended: the window was closed (the
    // frame of that pass is not drawn) or no screen is left.
    bool run_pass();
    // Passes until the loop ends.
    void run();

    // After the loop: pops every screen; while the engine still runs, the
    // application terminates and the engine stops.
    void shut_down();

    bool running() const { return running_; }
    // Tests pre-load it with subtract_time(-t) to stand for t seconds gone.
    Timeline& timeline() { return timeline_; }

private:
    MyApp& app_;
    Engine& engine_;
    Timeline timeline_;
    bool running_ = true;
};

}  // namespace vo

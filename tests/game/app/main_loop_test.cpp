// The main loop's pacing on an engine clock that only the test moves: steps
// and frames per pass, the step budget, the dropped backlog after a stall,
// the end of the loop when the window closes or no screen is left, and
// shut-down.

#include "engine/core/path_provider.h"
#include "game/app/main_loop.h"
#include "game/app/my_app.h"
#include "recording_screen.h"
#include "support/engine/media_files.h"
#include "support/engine/recording_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vo {
namespace {

using Log = std::vector<std::string>;

// Counts the event polls; the poll numbered close_at reports the window
// closed. is_running answers what the test sets.
class LoopEngine : public vo_test::RecordingEngine {
public:
    bool process_events() override { return ++polls != close_at; }
    bool is_running() override { return running; }

    int polls = 0;
    int close_at = -1;
    bool running = true;
};

class MainLoopPacing : public testing::Test {
protected:
    void SetUp() override {
        // No debug_config.info: every switch is on.
        PathProvider::set_path(1, config_.path() + "/");
        g_app = &app_;
        screen_ = SmartPtr<vo_test::RecordingScreen>(new vo_test::RecordingScreen("S", true, &log_));
        app_.push_screen(screen_);
        log_.clear();
    }
    void TearDown() override {
        app_.pop_all_screens();
        g_app = nullptr;
    }

    struct Pass {
        int steps;
        int draws;
        int polls;
        bool running;
    };
    // Runs one pass and counts what it did.
    Pass run_pass(MainLoop& loop) {
        log_.clear();
        engine_.polls = 0;
        const bool running = loop.run_pass();
        return Pass{count("S.update"), count("S.draw"), engine_.polls, running};
    }
    int count(std::string const& entry) const {
        return static_cast<int>(std::count(log_.begin(), log_.end(), entry));
    }

    vo_test::TempFolder config_;
    LoopEngine engine_;
    vo_test::EngineOverride override_{engine_};
    MyApp app_;
    Log log_;
    SmartPtr<vo_test::RecordingScreen> screen_;
};

TEST_F(MainLoopPacing, StepsAndFramesPerPassFollowTheTimeGone) {
    struct Case {
        float seconds;
        int steps;
        int draws;
    };
    // Under one step: nothing, not even an event poll. Then every step
    // polls before it runs and once more before the frame.
    for (Case const& c : {Case{0.010f, 0, 0}, Case{0.020f, 1, 1}, Case{0.040f, 2, 1}, Case{0.3f, 10, 1}}) {
        SCOPED_TRACE(c.seconds);
        MainLoop loop(app_);
        loop.timeline().subtract_time(-c.seconds);
        const Pass pass = run_pass(loop);
        EXPECT_EQ(pass.steps, c.steps);
        EXPECT_EQ(pass.draws, c.draws);
        EXPECT_EQ(pass.polls, c.steps > 0 ? c.steps + 1 : 0);
        EXPECT_TRUE(pass.running);
    }
}

TEST_F(MainLoopPacing, TheRemainderAndStepsBeyondTheBudgetCarryOverToTheNextPass) {
    MainLoop loop(app_);
    loop.timeline().subtract_time(-0.020f);
    run_pass(loop);
    // About 3.3 ms are left: not yet a step.
    EXPECT_NEAR(loop.timeline().elapsed_time(), 0.020f - MainLoop::step_length, 1e-6f);

    loop.timeline().subtract_time(-0.3f + (0.020f - MainLoop::step_length));
    EXPECT_EQ(run_pass(loop).steps, 10);
    // 0.3 s hold 17 whole steps: the seven the budget cut off run next,
    // with a single frame.
    const Pass next = run_pass(loop);
    EXPECT_EQ(next.steps, 7);
    EXPECT_EQ(next.draws, 1);
    EXPECT_LT(loop.timeline().elapsed_time(), MainLoop::step_length);
    EXPECT_EQ(run_pass(loop).steps, 0);
}

TEST_F(MainLoopPacing, AStallIsDroppedAndStepsStartAgainFromZero) {
    MainLoop loop(app_);
    loop.timeline().subtract_time(-0.6f);
    const Pass stalled = run_pass(loop);
    EXPECT_EQ(stalled.steps, 0);
    EXPECT_EQ(stalled.draws, 0);
    EXPECT_FLOAT_EQ(loop.timeline().elapsed_time(), 0.0f);

    engine_.clock += 0.02f;
    const Pass next = run_pass(loop);
    EXPECT_EQ(next.steps, 1);
    EXPECT_EQ(next.draws, 1);
}

TEST_F(MainLoopPacing, ClosingTheWindowEndsTheLoopWithoutThatFrameAndShutsDown) {
    MainLoop loop(app_);
    loop.timeline().subtract_time(-0.05f);
    engine_.close_at = 2;  // after the first step
    const Pass pass = run_pass(loop);
    EXPECT_EQ(pass.steps, 1);
    EXPECT_EQ(pass.draws, 0);
    EXPECT_FALSE(pass.running);
    EXPECT_FALSE(loop.run_pass());  // the loop stays ended

    testing::internal::CaptureStdout();
    loop.shut_down();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(app_.num_screens(), 0u);
    EXPECT_EQ(count("S.deactivate"), 1);
    EXPECT_NE(out.find("TERMINATING APP\n"), std::string::npos);
    EXPECT_EQ(engine_.calls_starting_with("stop()").size(), 1u);
}

TEST_F(MainLoopPacing, TheLastScreenFinishingEndsTheLoopInThatStep) {
    MainLoop loop(app_);
    loop.timeline().subtract_time(-0.1f);
    int updates = 0;
    screen_->on_update = [&] { screen_->keep_running = ++updates < 2; };
    const Pass pass = run_pass(loop);
    EXPECT_EQ(pass.steps, 2);  // the rest of the batch and the frame are skipped
    EXPECT_EQ(pass.draws, 0);
    EXPECT_EQ(pass.polls, 2);
    EXPECT_FALSE(pass.running);
    EXPECT_EQ(app_.num_screens(), 0u);
}

TEST_F(MainLoopPacing, ShutDownLeavesAStoppedEngineAlone) {
    MainLoop loop(app_);
    engine_.running = false;
    testing::internal::CaptureStdout();
    loop.shut_down();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(app_.num_screens(), 0u);
    EXPECT_EQ(out.find("TERMINATING APP"), std::string::npos);
    EXPECT_TRUE(engine_.calls_starting_with("stop()").empty());
}

}  // namespace
}  // namespace vo

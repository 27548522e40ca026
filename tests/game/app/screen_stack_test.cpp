// The screen stack of the application: push and pop hand-overs, the pop
// cascade within one step, input and resolution forwarding, and what a frame
// shows (dimmed covered screens) read back from a real window.

#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "game/app/my_app.h"
#include "recording_screen.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <memory>

namespace vo {
namespace {

using vo_test::RecordingScreen;
using vo_test::Rgba;
using Log = std::vector<std::string>;

const Color WHITE(1.0f, 1.0f, 1.0f, 1.0f);
const Color RED(1.0f, 0.0f, 0.0f, 1.0f);

class ScreenStack : public testing::Test {
protected:
    void SetUp() override {
        // No debug_config.info in the configuration folder: every switch is on.
        PathProvider::set_path(1, config_.path() + "/");
        window_.reset(new vo_test::TestWindow(320, 240));
        g_app = &app_;
    }
    void TearDown() override {
        app_.pop_all_screens();
        g_app = nullptr;
    }

    SmartPtr<RecordingScreen> make(const char* name, bool opaque) {
        return SmartPtr<RecordingScreen>(new RecordingScreen(name, opaque, &log_));
    }

    vo_test::TempFolder config_;
    std::unique_ptr<vo_test::TestWindow> window_;
    MyApp app_;
    Log log_;
};

TEST_F(ScreenStack, PushHandsOverFromTheOldTopAndMovesTheDrawStartOnlyForOpaqueScreens) {
    PushScreen(make("A", true));
    EXPECT_EQ(app_.draw_start_index(), 0u);
    PushScreen(make("B", false));
    EXPECT_EQ(app_.draw_start_index(), 0u);  // an overlay keeps the screen below visible
    PushScreen(make("C", true));
    EXPECT_EQ(app_.draw_start_index(), 2u);
    EXPECT_EQ(log_, (Log{"A.activate(null)", "A.deactivate", "B.activate(A)", "B.deactivate", "C.activate(B)"}));
    EXPECT_EQ(app_.num_screens(), 3u);
}

TEST_F(ScreenStack, FinishedScreensPopInOneStepAndTheScreenBelowIsActivatedAndUpdated) {
    auto a = make("A", true);
    auto b = make("B", false);
    auto c = make("C", true);
    PushScreen(a);
    PushScreen(b);
    PushScreen(c);
    b->keep_running = false;
    c->keep_running = false;
    b.reset();
    c.reset();
    log_.clear();

    EXPECT_TRUE(app_.update(1.0 / 60.0));
    EXPECT_EQ(log_, (Log{"A.step", "B.step", "C.step", "C.update", "C.deactivate", "B.activate(C)", "C.destroyed",
                         "B.update", "B.deactivate", "A.activate(B)", "B.destroyed", "A.update"}));
    EXPECT_EQ(app_.num_screens(), 1u);
    EXPECT_EQ(app_.draw_start_index(), 0u);

    a->keep_running = false;
    EXPECT_FALSE(app_.update(1.0 / 60.0));  // the last screen finished: the loop ends
    EXPECT_EQ(app_.num_screens(), 0u);
}

TEST_F(ScreenStack, DrawStartIsRecomputedAfterPops) {
    PushScreen(make("A", false));
    PushScreen(make("B", true));
    auto c = make("C", true);
    PushScreen(c);
    EXPECT_EQ(app_.draw_start_index(), 2u);
    c->keep_running = false;
    app_.update(0.0);
    EXPECT_EQ(app_.draw_start_index(), 1u);
}

TEST_F(ScreenStack, AScreenThatPushesAnotherAndFinishesInTheSameUpdateIsRemovedSafely) {
    auto a = make("A", true);
    PushScreen(a);
    SmartPtr<RecordingScreen> next = make("N", true);
    a->keep_running = false;
    a->on_update = [next] { PushScreen(next); };
    a.reset();
    next.reset();  // the stack and A's handler hold the only references now
    log_.clear();

    EXPECT_TRUE(app_.update(0.0));
    ASSERT_EQ(app_.num_screens(), 1u);
    EXPECT_EQ(log_, (Log{"A.step", "A.update", "A.deactivate", "N.activate(A)", "A.destroyed", "N.update"}));
    EXPECT_EQ(app_.draw_start_index(), 0u);
}

TEST_F(ScreenStack, InputGoesToTheTopScreenOnlyAndAnEmptyStackIgnoresIt) {
    EXPECT_FALSE(app_.process_key_event(KeyEvent(KEY_PRESSED, KEY_A, false)));
    EXPECT_FALSE(app_.process_mouse_event(MouseEvent(MOUSE_PRESSED, MOUSE_BUTTON_LEFT, 1, 5, 5)));

    PushScreen(make("A", true));
    PushScreen(make("B", false));
    log_.clear();
    EXPECT_TRUE(app_.process_key_event(KeyEvent(KEY_RELEASED, KEY_ESCAPE, false)));
    EXPECT_TRUE(app_.process_mouse_event(MouseEvent(MOUSE_MOVED, MOUSE_BUTTON_NONE, 0, 5, 5)));
    EXPECT_EQ(log_, (Log{"B.key", "B.mouse"}));
}

TEST_F(ScreenStack, NewResolutionReachesEveryScreenAndIsReported) {
    PushScreen(make("A", true));
    PushScreen(make("B", false));
    PushScreen(make("C", true));
    log_.clear();
    testing::internal::CaptureStdout();
    app_.new_resolution(800, 600);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(log_, (Log{"A.resolution 800x600", "B.resolution 800x600", "C.resolution 800x600"}));
    EXPECT_EQ(out.rfind("new resolution: ", 0), 0u) << out;
    EXPECT_NE(out.find("800"), std::string::npos) << out;
    EXPECT_NE(out.find("600"), std::string::npos) << out;
    EXPECT_EQ(out.back(), '\n');
}

TEST_F(ScreenStack, PopAllScreensPopsTopFirstWithoutUpdating) {
    PushScreen(make("A", true));
    PushScreen(make("B", false));
    log_.clear();
    app_.pop_all_screens();
    EXPECT_EQ(log_, (Log{"B.deactivate", "A.activate(B)", "B.destroyed", "A.deactivate", "A.destroyed"}));
    EXPECT_EQ(app_.num_screens(), 0u);
    app_.draw();  // an empty stack draws only the cleared window
}

TEST_F(ScreenStack, EachCoveredScreenIsDimmedOnceForEveryDrawnScreenAbove) {
    // A opaque and white, B and C overlays that draw nothing: A is dimmed
    // twice, to 255 * 0.25 * 0.25. C is drawn last, so the frame is complete
    // when it reads the pixel.
    auto a = make("A", true);
    auto b = make("B", false);
    auto c = make("C", false);
    a->fill = &WHITE;
    Rgba centre, corner;
    c->on_draw = [&] {
        centre = window_->pixel(160, 120);
        corner = window_->pixel(0, 0);
    };
    PushScreen(a);
    PushScreen(b);
    PushScreen(c);
    log_.clear();
    app_.draw();
    EXPECT_EQ(log_, (Log{"A.draw", "B.draw", "C.draw"}));
    EXPECT_TRUE(vo_test::ColorNear(centre, Rgba{16, 16, 16}, 2)) << centre;
    EXPECT_TRUE(vo_test::ColorNear(corner, Rgba{16, 16, 16}, 2)) << corner;
}

TEST_F(ScreenStack, AnOpaqueScreenHidesEverythingBelowIt) {
    auto a = make("A", true);
    auto b = make("B", true);
    auto top = make("T", false);
    a->fill = &WHITE;
    b->fill = &RED;
    Rgba centre;
    top->on_draw = [&] { centre = window_->pixel(160, 120); };
    PushScreen(a);
    PushScreen(b);
    PushScreen(top);
    log_.clear();
    app_.draw();
    EXPECT_EQ(log_, (Log{"B.draw", "T.draw"}));
    EXPECT_TRUE(vo_test::ColorNear(centre, Rgba{64, 0, 0}, 2)) << centre;  // red under one 75 % black layer
}

TEST_F(ScreenStack, PushScreenWithoutAnApplicationOrScreenFails) {
    EXPECT_THROW(PushScreen(SmartPtr<IScreen>()), Error);
    g_app = nullptr;
    EXPECT_THROW(PushScreen(make("A", true)), Error);
}

}  // namespace
}  // namespace vo

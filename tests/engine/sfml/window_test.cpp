// Opening the window, its sizes, re-creation and stopping the engine.

#include "engine/core/profiler.h"
#include "engine/sfml/sfml_engine.h"
#include "support/engine/recording_handler.h"
#include "support/engine/test_window.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/OpenGL.hpp>
#include <SFML/Window/WindowStyle.hpp>

#include <gtest/gtest.h>

namespace {

class DisplayReady : public ::testing::Environment {
public:
    void SetUp() override { vo_test::PrepareDisplay(); }
};

const auto* const g_display = ::testing::AddGlobalTestEnvironment(new DisplayReady);

TEST(Window, OpensAtTheRequestedSizeAndReportsIt) {
    vo::Engine& engine = vo::Engine::instance();
    vo_test::RecordingEventHandler handler;
    ASSERT_TRUE(engine.set_event_handler(&handler));
    ASSERT_TRUE(engine.create_window(320, 240, "window test", sf::Style::Titlebar | sf::Style::Close));
    EXPECT_EQ(engine.window_width(), 320u);
    EXPECT_EQ(engine.window_height(), 240u);
    EXPECT_EQ(engine.screen_width(), 320);
    EXPECT_EQ(engine.screen_height(), 240);
    ASSERT_EQ(handler.events().size(), 1u);
    EXPECT_EQ(handler.events()[0].kind, vo_test::RecordedEvent::RESOLUTION);
    EXPECT_EQ(handler.events()[0].width, 320);
    EXPECT_EQ(handler.events()[0].height, 240);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));

    // Re-creating keeps the window object and reports the new size.
    sf::RenderWindow* first = dynamic_cast<vo::SFML_Engine&>(engine).render_window();
    ASSERT_TRUE(engine.create_window(200, 100, "window test", sf::Style::Titlebar));
    EXPECT_EQ(dynamic_cast<vo::SFML_Engine&>(engine).render_window(), first);
    EXPECT_EQ(engine.screen_width(), 200);
    EXPECT_EQ(engine.screen_height(), 100);
    ASSERT_EQ(handler.events().size(), 2u);
    EXPECT_EQ(handler.events()[1].width, 200);
    // The new graphics context has light 0 again.
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    engine.set_event_handler(nullptr);
}

TEST(Window, FullScreenFallsBackToTheDesktopMode) {
    vo::Engine& engine = vo::Engine::instance();
    const vo::vector2 desktop = engine.desktop_resolution();
    ASSERT_GT(desktop.x, 0.0f);
    // This display has one mode only, so the request cannot be met as asked.
    ASSERT_TRUE(engine.create_window(static_cast<unsigned>(desktop.x) - 24, static_cast<unsigned>(desktop.y) - 68,
                                     "full screen", sf::Style::Fullscreen));
    EXPECT_EQ(engine.window_width(), static_cast<unsigned>(desktop.x) - 24);
    EXPECT_EQ(engine.screen_width(), static_cast<int>(desktop.x));
    EXPECT_EQ(engine.screen_height(), static_cast<int>(desktop.y));
}

TEST(Window, ClockCountsFromConstruction) {
    vo::SFML_Engine engine;
    const float t0 = engine.time();
    EXPECT_GE(t0, 0.0f);
    EXPECT_LT(t0, 0.5f);
    vo_test::WaitUntil([] { return false; }, 0.05);
    EXPECT_GE(engine.time() - t0, 0.045f);
}

TEST(Window, StopPrintsAndClosesTheWindow) {
    vo::Engine& engine = vo::Engine::instance();
    ASSERT_TRUE(engine.create_window(64, 48, "stop test", sf::Style::Titlebar));
    engine.set_vertex_buffer(engine.create_vertex_buffer());
    ::testing::internal::CaptureStdout();
    engine.stop();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "STOPPING ENGINE\n");
    EXPECT_FALSE(engine.is_running());
    EXPECT_FALSE(dynamic_cast<vo::SFML_Engine&>(engine).render_window()->isOpen());
}

}  // namespace

namespace {

TEST(Window, EventPumpIsAProfileZone) {
    vo::SFML_Engine engine;
    EXPECT_TRUE(engine.process_events());  // no window yet: nothing pending
    zprof::ProfileManager::instance.update();
    EXPECT_NE(zprof::ProfileManager::instance.outputZonesAsString().find("engine_processEvents"), std::string::npos);
}

}  // namespace

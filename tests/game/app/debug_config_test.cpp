// The debug switches: reading "debug_config.info", its defaults, reloading,
// and the reload triggered by releasing a real r key.

#include "engine/core/path_provider.h"
#include "engine/sfml/engine.h"
#include "game/app/debug_config.h"
#include "game/app/my_app.h"
#include "recording_screen.h"
#include "support/engine/media_files.h"
#include "support/engine/recording_handler.h"
#include "support/engine/test_window.h"
#include "support/engine/x_display.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace vo {
namespace {

using Flags = std::vector<bool>;

Flags FlagsOf(DebugConfig const& c) {
    return {c.clearScreen, c.drawParallaxLayers, c.drawWidgets, c.drawScene, c.drawInGameNames, c.vSync};
}

void WriteFile(std::string const& path, std::string const& text) {
    std::ofstream out(path);
    out << text;
}

TEST(DebugConfigFile, FlagsAreTrueUnlessTheFileSaysFalse) {
    struct Case {
        const char* text;
        Flags expected;
    };
    const Case cases[] = {
        {"", {true, true, true, true, true, true}},
        {"renderer\n{\n}\n", {true, true, true, true, true, true}},
        {"renderer\n{\n    clearScreen false\n}\n", {false, true, true, true, true, true}},
        {"renderer\n{\n    clearScreen yes\n    drawScene 0\n    vSync false\n}\n",
         {true, true, true, false, true, false}},
        {"renderer\n{\n    drawParallaxLayers false\n    drawWidgets 0\n    drawInGameNames false\n}\n",
         {true, false, false, true, false, true}},
        {"clearScreen false\n", {true, true, true, true, true, true}},  // outside the renderer group
    };
    vo_test::TempFolder folder;
    for (Case const& c : cases) {
        const std::string file = folder.file("debug_config.info");
        WriteFile(file, c.text);
        DebugConfig config;  // the configuration folder holds no file: all on
        config.load(file);
        EXPECT_EQ(FlagsOf(config), c.expected) << c.text;
        EXPECT_EQ(config.path, file);
    }
}

TEST(DebugConfigFile, TheConfigurationFolderFileIsReadAtConstructionAndAMissingOneLeavesAllOn) {
    vo_test::TempFolder folder;
    PathProvider::set_path(1, folder.path() + "/");
    DebugConfig missing;
    EXPECT_EQ(FlagsOf(missing), Flags(6, true));
    EXPECT_TRUE(missing.path.empty());
    missing.reload();  // nothing remembered: nothing read
    EXPECT_TRUE(missing.path.empty());

    WriteFile(folder.file("debug_config.info"), "renderer\n{\n    vSync false\n}\n");
    DebugConfig present;
    EXPECT_FALSE(present.vSync);
    EXPECT_EQ(present.path, folder.path() + "/debug_config.info");
}

TEST(DebugConfigFile, AMalformedFileKeepsTheFlagsAndAReloadOnlyWarns) {
    vo_test::TempFolder folder;
    const std::string file = folder.file("debug_config.info");
    WriteFile(file, "renderer\n{\n    drawScene false\n}\n");
    DebugConfig config;
    config.load(file);

    WriteFile(file, "renderer\n{\n    drawScene true\n");  // unclosed group
    EXPECT_THROW(config.load(file), std::runtime_error);
    EXPECT_FALSE(config.drawScene);

    testing::internal::CaptureStdout();
    config.reload();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(config.drawScene);
    EXPECT_EQ(config.path, file);
    EXPECT_NE(out.find("WARNING: couldn't reload " + file), std::string::npos) << out;

    WriteFile(file, "renderer\n{\n    drawScene true\n}\n");  // mended: the next reload takes it
    config.reload();
    EXPECT_TRUE(config.drawScene);
}

// Releasing a real r key reloads the file once; with clearScreen switched
// off the next frame keeps what the window held.
TEST(DebugConfigReloadKey, ReleasingRReloadsTheFileAndTheNextFrameIsNotCleared) {
    ASSERT_FALSE(vo_test::UsePrivateXServer(640, 480).empty()) << "Xvfb did not start";
    vo_test::TempFolder folder;
    PathProvider::set_path(1, folder.path() + "/");
    const std::string file = folder.file("debug_config.info");
    WriteFile(file, "renderer\n{\n    clearScreen true\n}\n");

    vo_test::TestWindow window(320, 240, "quorvane r key");
    Engine& engine = window.engine();
    const std::string window_id = std::to_string(window.window().getSystemHandle());
    // Declared before the application: its screens write to the log until
    // the application releases them, also when an assertion ends the test
    // early.
    std::vector<std::string> log;
    MyApp app;
    g_app = &app;
    // Whichever way the test ends, nothing is left pointing at the
    // application.
    struct Release {
        Engine& engine;
        ~Release() {
            engine.set_event_handler(nullptr);
            g_app = nullptr;
        }
    } release{engine};
    ApplyVSync();
    ASSERT_TRUE(GetDebugConfig().clearScreen);

    SmartPtr<vo_test::RecordingScreen> screen(new vo_test::RecordingScreen("S", true, &log));
    vo_test::Rgba seen;
    screen->on_draw = [&] { seen = window.pixel(160, 120); };
    PushScreen(screen);

    // The application hears the window's events, as start-up arranges; keys
    // go to the window under the pointer.
    engine.set_event_handler(&app);
    ASSERT_TRUE(vo_test::RunXdotool({"mousemove", "--window", window_id, "10", "10"}));
    ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return engine.mouse_x() == 10.0f; }));

    WriteFile(file, "renderer\n{\n    clearScreen false\n}\n");
    ASSERT_TRUE(vo_test::RunXdotool({"keydown", "r"}));
    ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return engine.is_key_down(KEY_R); }));
    app.update(1.0 / 60.0);
    EXPECT_TRUE(GetDebugConfig().clearScreen);  // held: nothing yet

    ASSERT_TRUE(vo_test::RunXdotool({"keyup", "r"}));
    ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return !engine.is_key_down(KEY_R); }));
    app.update(1.0 / 60.0);
    EXPECT_FALSE(GetDebugConfig().clearScreen);

    engine.set_clear_color(Color(0.0f, 0.0f, 1.0f, 1.0f));
    engine.clear();
    app.draw();
    EXPECT_TRUE(vo_test::ColorNear(seen, vo_test::Rgba{0, 0, 255})) << seen;

    // Only one reload per release: a file changed afterwards is not read.
    WriteFile(file, "renderer\n{\n    clearScreen true\n}\n");
    app.update(1.0 / 60.0);
    EXPECT_FALSE(GetDebugConfig().clearScreen);

    EXPECT_NE(std::find(log.begin(), log.end(), "S.key"), log.end());  // the top screen heard the key
    app.pop_all_screens();
}

}  // namespace
}  // namespace vo

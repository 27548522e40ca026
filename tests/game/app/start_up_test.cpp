// Start-up and shut-down of the application on the shipped data, in a real
// window: the progress lines, the user folder and its options file, the
// window, the first screen, recovery from a broken or unwritable options
// file, and what shut-down releases. Each test is a process of its own,
// since start-up runs once per process.

#include "engine/audio/music_handler.h"
#include "engine/core/error.h"
#include "engine/core/object_factory.h"
#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "engine/sfml/engine.h"
#include "game/app/game_options.h"
#include "game/app/main_loop.h"
#include "game/app/my_app.h"
#include "game/menus/debug_screen.h"
#include "support/engine/child_process.h"
#include "support/game/app_harness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>

namespace vo {
namespace {

using vo_test::AppHarness;
using vo_test::LinesAmong;
using vo_test::ReadTextFile;

bool Contains(std::string const& text, std::string const& part) { return text.find(part) != std::string::npos; }

AppHarness::Setup WithArgs(std::vector<std::string> args) {
    AppHarness::Setup setup;
    setup.args = std::move(args);
    return setup;
}

TEST(GameCommandLine, DrawDebugScreenTakesTheNumberAfterIt) {
    struct Case {
        std::vector<const char*> args;
        int expected;
    };
    const Case cases[] = {
        {{}, -1},
        {{"-drawDebugScreen", "0"}, 0},
        {{"-drawDebugScreen", "1"}, 1},
        {{"-drawDebugScreen", "2"}, 2},
        {{"-drawDebugScreen", "-7"}, -7},
        {{"-drawDebugScreen"}, -1},  // no number follows
        {{"-drawDebugScreen", "abc"}, 0},
        {{"-other", "5", "-drawDebugScreen", "3", "-drawDebugScreen", "4"}, 3},
    };
    for (Case const& c : cases) {
        std::vector<char*> argv = {const_cast<char*>("quorvane")};
        for (const char* a : c.args) argv.push_back(const_cast<char*>(a));
        argv.push_back(nullptr);
        MyApp app(static_cast<int>(argv.size()) - 1, argv.data());
        EXPECT_EQ(app.draw_debug_screen(), c.expected) << c.args.size() << " arguments";
    }
}

TEST(StartUp, FirstRunPrintsEachStepWritesTheDefaultsAndShowsTheDebugScreenFullScreen) {
    AppHarness harness(WithArgs({"-drawDebugScreen", "0"}));
    testing::internal::CaptureStdout();
    harness.init();
    const std::string out = testing::internal::GetCapturedStdout();

    Engine& engine = Engine::instance();
    const vector2 desktop = engine.desktop_resolution();
    std::ostringstream resolution;
    resolution << "new resolution: " << desktop;
    const std::string options_file = harness.user_file("game_options.info");
    const std::vector<std::string> expected = {"initializing...",
                                               "UserDataPath: " + harness.user_folder(),
                                               "loading game options from: " + options_file,
                                               "creating window...",
                                               resolution.str(),
                                               "creating font...",
                                               "registering engine objects...",
                                               "registering game entities...",
                                               "creating initial screen...",
                                               "initialization complete..."};
    EXPECT_EQ(LinesAmong(out, expected), expected) << out;

    // The construction defaults, written on the first run.
    EXPECT_EQ(ReadTextFile(options_file),
              "windowWidth 1000\nwindowHeight 700\nfullscreen true\nmusic true\nsfx true\n");
    // Full screen by default, at the desktop's size.
    EXPECT_EQ(engine.screen_width(), static_cast<int>(desktop.x));
    EXPECT_EQ(engine.screen_height(), static_cast<int>(desktop.y));
    ASSERT_EQ(harness.app().num_screens(), 1u);
    EXPECT_TRUE(harness.top<DebugScreen>());

    // The data folders hang below gameDataPath; the user folder is id 8.
    const std::string data = QV_GAME_DATA_DIR;
    EXPECT_EQ(PathProvider::get_path(1), data + "/config/");
    EXPECT_EQ(PathProvider::get_path(3), data + "/fonts/");
    EXPECT_EQ(PathProvider::get_path(4), data + "/textures/");
    EXPECT_EQ(PathProvider::get_path(9), data + "/misc/presets");
    EXPECT_EQ(PathProvider::get_path(11), data + "/sounds/");
    EXPECT_EQ(PathProvider::get_path(8), harness.user_folder());
    EXPECT_EQ(Textures().path, data + "/textures/");
    EXPECT_GE(ObjectFactory::num_types(), 2u);  // the engine's own types

    harness.step(3);
    harness.screenshot("start_up_debug_screen");
}

TEST(StartUp, StartsOnTheStoredWindowAndSilencesTheMusic) {
    AppHarness::Setup setup;
    setup.game_options = "windowWidth 640\nwindowHeight 480\nfullscreen false\nmusic false\n";
    AppHarness harness(setup);
    harness.init();
    EXPECT_EQ(Engine::instance().screen_width(), 640);
    EXPECT_EQ(Engine::instance().screen_height(), 480);
    EXPECT_EQ(GetMusicHandler().master_volume(), 0.0f);
    EXPECT_TRUE(GameOptions::instance().sfx);  // a missing key takes its default
    // Without a first screen the first step finds the stack empty: the
    // program ends normally.
    EXPECT_EQ(harness.app().num_screens(), 0u);
    EXPECT_FALSE(harness.step());
}

TEST(StartUp, ABrokenOptionsFileIsKeptAsBadAndTheGameStartsOnTheDefaults) {
    AppHarness::Setup setup;
    setup.game_options = "windowWidth 640\nfullscreen { false\n";  // cut off while being written
    AppHarness harness(setup);
    testing::internal::CaptureStdout();
    harness.init();
    const std::string out = testing::internal::GetCapturedStdout();

    const std::string file = harness.user_file("game_options.info");
    EXPECT_TRUE(Contains(out, "WARNING: couldn't read " + file)) << out;
    EXPECT_TRUE(Contains(out, "WARNING: kept the broken file as " + file + ".bad")) << out;
    EXPECT_EQ(ReadTextFile(file + ".bad"), setup.game_options);
    EXPECT_TRUE(Contains(ReadTextFile(file), "windowWidth 1000"));
    EXPECT_TRUE(GameOptions::instance().fullscreen);
    EXPECT_TRUE(Contains(out, "initialization complete..."));
}

TEST(StartUp, AnOptionsFileThatCannotBeWrittenIsReportedAndTheGameGoesOn) {
    AppHarness harness;
    // A read-only user folder; its temporary file's name is taken as well,
    // so that the write fails for any user, root included.
    const std::string folder = harness.user_folder();
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((folder + "/game_options.info.tmp").c_str(), 0700), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0500), 0);

    testing::internal::CaptureStdout();
    harness.init();
    const std::string out = testing::internal::GetCapturedStdout();
    chmod(folder.c_str(), 0700);

    EXPECT_TRUE(Contains(out, "WARNING: couldn't save " + folder + "/game_options.info")) << out;
    EXPECT_TRUE(Contains(out, "initialization complete..."));
    EXPECT_TRUE(GameOptions::instance().fullscreen);
}

TEST(StartUp, ASecondInitFailsWithoutAnyProgressLine) {
    AppHarness harness;
    harness.init();
    testing::internal::CaptureStdout();
    try {
        harness.app().init();
        ADD_FAILURE() << "no error";
    } catch (Error const& e) {
        EXPECT_STREQ(e.message(), "MyApp::init has already been initialized.");
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(StartUp, AFailingStepIsReportedAndEndsStartUpWithOneError) {
    AppHarness::Setup setup;
    setup.config_info = "userDataPath Quorvane\n";
    AppHarness harness(setup);
    testing::internal::CaptureStdout();
    try {
        harness.init();
        ADD_FAILURE() << "no error";
    } catch (Error const& e) {
        EXPECT_STREQ(e.message(), "Couldn't complete initialization. An error occurred.");
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(Contains(out, "An error occured during initialization:\nNo such node (gameDataPath) in config.info\n"))
        << out;
}

TEST(ShutDown, ReleasesTheScreensTheFontAndEveryLoadedResource) {
    AppHarness harness(WithArgs({"-drawDebugScreen", "0"}));
    harness.init();
    SmartPtr<Texture> before = GetTexture("char_none.png");

    testing::internal::CaptureStdout();
    harness.app().pop_all_screens();
    harness.app().terminate();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "TERMINATING APP\n");
    EXPECT_EQ(harness.app().num_screens(), 0u);
    // The texture map was emptied: the same name loads a new texture.
    EXPECT_NE(GetTexture("char_none.png").get(), before.get());

    testing::internal::CaptureStdout();
    MainLoop(harness.app()).shut_down();
    EXPECT_TRUE(Contains(testing::internal::GetCapturedStdout(), "STOPPING ENGINE"));
    EXPECT_FALSE(Engine::instance().is_running());
}

}  // namespace
}  // namespace vo

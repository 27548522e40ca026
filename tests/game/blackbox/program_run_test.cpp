// The real program, run as a player starts it: from the build folder, on an
// X server of this test's own, with a fresh user folder. Start-up lines, the
// window and its first frame, closing through the window manager, and the
// bad start-ups with their texts, exit codes and no hang.

#include "program_fixture.h"
#include "support/game/app_harness.h"
#include "support/game/x_screen.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace vo_test {
namespace {

const sf::Color kDebugGrey(51, 51, 51);

bool Near(sf::Color a, sf::Color b) {
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

using Program = ProgramTest;

TEST_F(Program, StartsOnTheDebugScreenFullScreenAndEndsWhenTheWindowIsClosed) {
    const auto started = std::chrono::steady_clock::now();
    ChildProcess game(launch({"-drawDebugScreen", "0"}));
    ASSERT_TRUE(game.wait_for_output("initialization complete...\n", kStartSeconds)) << game.output();
    const unsigned long window = FindWindowByTitle("Quorvane", 5.0);
    ASSERT_NE(window, 0u);

    // The first frame of the debug screen: dark grey from corner to corner.
    sf::Image shot;
    for (;;) {
        shot = GrabScreen();
        ASSERT_EQ(shot.getSize().x, static_cast<unsigned>(kScreenWidth));
        if (Near(shot.getPixel(kScreenWidth - 1, 0), kDebugGrey) && Near(shot.getPixel(0, 0), kDebugGrey)) break;
        ASSERT_LT(std::chrono::steady_clock::now() - started, std::chrono::duration<double>(kStartSeconds));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "start-up to the first drawn frame of the debug screen: " << seconds * 1000.0 << " ms\n";
    shot.saveToFile(ArtefactPath("program_debug_screen.png"));

    // Full screen at the desktop's size, the help text in the lower left.
    int width = 0;
    int height = 0;
    ASSERT_TRUE(WindowSize(window, &width, &height));
    EXPECT_EQ(width, kScreenWidth);
    EXPECT_EQ(height, kScreenHeight);
    EXPECT_TRUE(Near(shot.getPixel(0, kScreenHeight - 1 - 200), kDebugGrey));
    int text_pixels = 0;
    for (unsigned y = kScreenHeight - 120; y < static_cast<unsigned>(kScreenHeight); ++y)
        for (unsigned x = 0; x < 300; ++x) text_pixels += Near(shot.getPixel(x, y), kDebugGrey) ? 0 : 1;
    EXPECT_GT(text_pixels, 1000);

    ASSERT_TRUE(SendCloseRequest(window));
    EXPECT_EQ(game.wait_for_exit(kEndSeconds), 0) << game.output();

    const std::string folder = config_home_.path() + "/Quorvane";
    const std::vector<std::string> expected = {"program start...",
                                               "initializing...",
                                               "UserDataPath: " + folder,
                                               "loading game options from: " + folder + "/game_options.info",
                                               "creating window...",
                                               "new resolution: (800, 600)",
                                               "creating font...",
                                               "registering engine objects...",
                                               "registering game entities...",
                                               "creating initial screen...",
                                               "initialization complete...",
                                               "TERMINATING APP",
                                               "STOPPING ENGINE"};
    EXPECT_EQ(LinesAmong(game.output(), expected), expected) << game.output();
    EXPECT_EQ(ReadTextFile(user_file("game_options.info")),
              "windowWidth 1000\nwindowHeight 700\nfullscreen true\nmusic true\nsfx true\n");
}

TEST_F(Program, WithoutAFirstScreenEndsByItself) {
    ChildProcess game(launch({"-drawDebugScreen", "2"}));
    EXPECT_EQ(game.wait_for_exit(kStartSeconds), 0) << game.output();
    EXPECT_NE(game.output().find("initialization complete...\nTERMINATING APP\n"), std::string::npos)
        << game.output();
}

TEST_F(Program, ACorruptedOptionsFileIsKeptAsBadAndTheGameStartsOnTheDefaults) {
    ASSERT_EQ(mkdir((config_home_.path() + "/Quorvane").c_str(), 0700), 0);
    std::ofstream(user_file("game_options.info")) << "windowWidth 640\nmusic {\n";
    ChildProcess game(launch({"-drawDebugScreen", "2"}));
    EXPECT_EQ(game.wait_for_exit(kStartSeconds), 0) << game.output();
    EXPECT_NE(game.output().find("WARNING: kept the broken file as " + user_file("game_options.info") + ".bad"),
              std::string::npos)
        << game.output();
    EXPECT_EQ(ReadTextFile(user_file("game_options.info.bad")), "windowWidth 640\nmusic {\n");
    EXPECT_EQ(ReadTextFile(user_file("game_options.info")),
              "windowWidth 1000\nwindowHeight 700\nfullscreen true\nmusic true\nsfx true\n");
}

// The texts a failed start-up prints after its reason.
std::string FailureReport(std::string const& reason) {
    return "An error occured during initialization:\n" + reason +
           "\nAn Error occurred:\nCouldn't complete initialization. An error occurred.\n"
           "Aborting... Press any button to exit.\n";
}

TEST_F(Program, ABadStartUpNamesTheFileAndExitsWithOneWithoutWaitingOnAPipe) {
    struct Case {
        bool has_config;
        std::string config_info;
        std::string reason;
    };
    // Started from the wrong folder, the game names the file it looked for
    // and where it should be started from.
    const std::string missing = "Couldn't find <folder>/config.info: the game starts from its build folder, which "
                                "holds config.info (for instance: cd build && ./game/quorvane)";
    const Case cases[] = {
        {false, "", missing},
        {true, "gameDataPath \"" + std::string(QV_GAME_DATA_DIR) + "\"\n", "No such node (userDataPath) in config.info"},
        {true, "userDataPath Quorvane\n", "No such node (gameDataPath) in config.info"},
        {true, "userDataPath Quorvane\ngameDataPath /no/such/folder\n",
         "The game data folder \"/no/such/folder\" named by gameDataPath in config.info does not exist"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.reason);
        TempFolder folder;
        if (c.has_config) std::ofstream(folder.file("config.info")) << c.config_info;
        std::string reason = c.reason;
        const std::string::size_type at = reason.find("<folder>");
        if (at != std::string::npos) reason.replace(at, 8, folder.path());
        ChildProcess::Launch l = launch({"-drawDebugScreen", "0"}, folder.path());
        l.collect_error_output = true;
        ChildProcess game(l);
        // Standard input is a pipe that stays open: the program must not
        // wait for a key that never comes.
        EXPECT_EQ(game.wait_for_exit(kEndSeconds), 1) << game.output();
        EXPECT_NE(game.output().find(FailureReport(reason)), std::string::npos) << game.output();
        EXPECT_EQ(game.output().find("TERMINATING APP"), std::string::npos);
        // Standard error carries the cause and the end, for launchers and
        // logs that read only that.
        const std::string errors = game.error_output();
        EXPECT_NE(errors.find("quorvane: start-up failed: " + reason + "\n"
                              "quorvane: Couldn't complete initialization. An error occurred.\n"),
                  std::string::npos)
            << errors;
    }
}

TEST_F(Program, OnATerminalTheErrorWaitsForAKey) {
    TempFolder folder;  // no config.info
    ChildProcess::Launch l = launch({}, folder.path());
    l.input = ChildProcess::Input::terminal;
    ChildProcess game(l);
    ASSERT_TRUE(game.wait_for_output("Aborting... Press any button to exit.\n", kEndSeconds)) << game.output();
    EXPECT_EQ(game.wait_for_exit(0.3), -1);  // still waiting
    game.send_input("\n");
    EXPECT_EQ(game.wait_for_exit(kEndSeconds), 1);
}

}  // namespace
}  // namespace vo_test

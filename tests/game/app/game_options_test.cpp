#include "game/app/game_options.h"

#include "engine/core/error.h"
#include "support/engine/media_files.h"

#include <boost/property_tree/ptree.hpp>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace vo {
namespace {

std::string ReadText(std::string const& path) {
    std::ifstream in(path.c_str());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(std::string const& path, std::string const& text) {
    std::ofstream out(path.c_str());
    out << text;
}

template <class F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (Error const& e) {
        return e.message();
    }
    return "no error";
}

class GameOptionsTest : public ::testing::Test {
protected:
    vo_test::TempFolder folder;
    std::string file = folder.file("game_options.info");
};

TEST_F(GameOptionsTest, NewFileHoldsTheConstructionDefaultsInOrder) {
    GameOptions options;
    options.save(file);
    EXPECT_EQ(file, options.file);
    EXPECT_EQ("windowWidth 1000\nwindowHeight 700\nfullscreen true\nmusic true\nsfx true\n", ReadText(file));
}

struct LoadCase {
    const char* text;
    int width;
    int height;
    bool fullscreen;
    bool music;
    bool sfx;
};

TEST_F(GameOptionsTest, MissingOrUnreadableKeysTakeTheLoadValues) {
    const LoadCase cases[] = {
        {"music false\n", 1200, 800, true, false, true},
        {"windowWidth abc\nwindowHeight 600\n", 1200, 600, true, true, true},
        {"windowWidth 640\nwindowHeight 480\nfullscreen false\nmusic 0\nsfx false\n", 640, 480, false, false, false},
        {"fullscreen yes\nsfx 1\n", 1200, 800, true, true, true},
        {"windowWidth 12.5\n", 1200, 800, true, true, true},
        // Sizes that cannot open a usable window count as unreadable.
        {"windowWidth 0\nwindowHeight 0\n", 1200, 800, true, true, true},
        {"windowWidth -1\nwindowHeight 100000\n", 1200, 800, true, true, true},
        {"windowWidth 320\nwindowHeight 200\n", 320, 200, true, true, true},
        {"windowWidth 16384\nwindowHeight 16385\n", 16384, 800, true, true, true},
    };
    for (LoadCase const& c : cases) {
        WriteText(file, c.text);
        GameOptions options;
        ::testing::internal::CaptureStdout();
        options.load(file);
        ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(c.width, options.windowWidth) << c.text;
        EXPECT_EQ(c.height, options.windowHeight) << c.text;
        EXPECT_EQ(c.fullscreen, options.fullscreen) << c.text;
        EXPECT_EQ(c.music, options.music) << c.text;
        EXPECT_EQ(c.sfx, options.sfx) << c.text;
    }
}

TEST_F(GameOptionsTest, OutOfRangeSizeIsReportedWithFileAndKey) {
    WriteText(file, "windowWidth 0\n");
    GameOptions options;
    ::testing::internal::CaptureStdout();
    options.load(file);
    EXPECT_EQ("WARNING: windowWidth 0 in " + file + " is out of range (320 to 16384), using 1200\n",
              ::testing::internal::GetCapturedStdout());
}

TEST_F(GameOptionsTest, SaveAfterLoadWritesEveryKey) {
    WriteText(file, "music false\n");
    GameOptions options;
    options.load(file);
    options.save();
    EXPECT_EQ("windowWidth 1200\nwindowHeight 800\nfullscreen true\nmusic false\nsfx true\n", ReadText(file));
    GameOptions again;
    again.load(file);
    EXPECT_FALSE(again.music);
    EXPECT_EQ(1200, again.windowWidth);
}

TEST_F(GameOptionsTest, ErrorsNameTheProblem) {
    GameOptions options;
    EXPECT_EQ(
        "No file specified in GameOptions::load(). 'load' or 'save' has to be called with a filename at least once.",
        ErrorOf([&] { options.load(); }));
    EXPECT_EQ(
        "No file specified in GameOptions::save(). 'load' or 'save' has to be called with a filename at least once.",
        ErrorOf([&] { options.save(); }));
    for (const char* empty : {"", "\n\n  \n"}) {
        WriteText(file, empty);
        EXPECT_EQ("Couldn't load game-options from " + file, ErrorOf([&] { options.load(file); }));
    }
    EXPECT_THROW(options.load(folder.file("missing.info")), std::runtime_error);
    WriteText(file, "windowWidth {\n");
    EXPECT_THROW(options.load(file), std::runtime_error);
}

TEST_F(GameOptionsTest, FailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
    GameOptions options;
    options.save(file);
    const std::string before = ReadText(file);
    // A folder where the temporary file should go makes the write fail.
    ASSERT_EQ(0, ::mkdir((file + ".tmp").c_str(), 0700));
    options.windowWidth = 800;
    EXPECT_THROW(options.save(), std::runtime_error);
    EXPECT_EQ(before, ReadText(file));
    ::rmdir((file + ".tmp").c_str());

    options.file = folder.file("no_such_folder/game_options.info");
    EXPECT_THROW(options.save(), std::runtime_error);
}

TEST_F(GameOptionsTest, InstanceIsOneObject) {
    EXPECT_EQ(&GameOptions::instance(), &GameOptions::instance());
    EXPECT_EQ(1000, GameOptions().windowWidth);
    EXPECT_EQ(700, GameOptions().windowHeight);
}

}  // namespace
}  // namespace vo

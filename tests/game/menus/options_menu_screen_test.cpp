// The options overlay in the running application: its switches re-create
// the window and fade the music at once, "Ok" stores and writes every option
// (repairing a value that start-up refused), Escape stores nothing and undoes
// the switches, and a file that cannot be written leaves the game running.

#include "engine/audio/music_handler.h"
#include "engine/core/path_provider.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/button_widget.h"
#include "game/app/game_options.h"
#include "game/menus/options_menu_screen.h"
#include "support/engine/bounded_run.h"
#include "support/engine/media_files.h"
#include "support/game/app_harness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

namespace vo {
namespace {

using vo_test::AppHarness;
using vo_test::ReadTextFile;

// What the user folder holds before the game starts; "note" is a key the
// game does not know: the options are written as the options file's writer
// always writes them, all five and nothing else.
const char* const kStoredOptions =
    "windowWidth 640\nwindowHeight 480\nfullscreen true\nmusic true\nsfx false\nnote kept\n";

class OptionsScreen : public testing::Test {
protected:
    void SetUp() override {
        AppHarness::Setup setup;
        setup.game_options = stored_options();
        harness_.reset(new AppHarness(setup));
        harness_->init();
        PushScreen(SmartPtr<IScreen>(new vo_test::PlainScreen()));
        screen_ = SmartPtr<OptionsMenuScreen>(new OptionsMenuScreen());
        PushScreen(screen_);
        harness_->step();
    }
    void TearDown() override {
        screen_ = SmartPtr<OptionsMenuScreen>();
        harness_.reset();
    }
    virtual std::string stored_options() const { return kStoredOptions; }

    std::string options_file() const { return harness_->user_file("game_options.info"); }
    std::string fullscreen_text() const { return screen_->fullscreen_button()->text(); }
    std::string music_text() const { return screen_->music_button()->text(); }
    bool options_on_top() const { return harness_->top<OptionsMenuScreen>() != nullptr; }
    void escape(KeyEvents type) { harness_->key(type, KEY_ESCAPE); }

    // A looping tone playing at full volume, from a music folder of its own.
    SmartPtr<Music> play_music() {
        vo_test::WriteWav(music_folder_.file("tone.wav"), vo_test::SineSamples(2.0), 44100, 1);
        PathProvider::set_path(10, music_folder_.path() + "/");
        SmartPtr<Music> music = GetMusicHandler().start("tone.wav", true, 0.0, 0.0, 100.0f);
        harness_->step();
        return music;
    }

    std::unique_ptr<AppHarness> harness_;
    SmartPtr<OptionsMenuScreen> screen_;
    vo_test::TempFolder music_folder_;
};

TEST_F(OptionsScreen, ShowsTheStoredOptionsOverTheDimmedScreenBelow) {
    EXPECT_FALSE(screen_->is_opaque());
    EXPECT_EQ(fullscreen_text(), "Fullscreen: On");
    EXPECT_EQ(music_text(), "Music: On");
    ASSERT_TRUE(screen_->ok_button());
    EXPECT_EQ(screen_->ok_button()->text(), "Ok");

    const sf::Image shot = harness_->screenshot("options_menu_screen");
    // The plain screen shows through, darkened to a quarter.
    const sf::Color corner = shot.getPixel(2, 2);
    EXPECT_NEAR(corner.g, 0.5 * 255 * 0.25, 3);
    // The buttons are drawn inside the window, in its middle third.
    const Frame ok = screen_->ok_button()->global_transformed_frame();
    EXPECT_GT(ok.left(), Engine::instance().screen_width() * 0.3f);
    EXPECT_LT(ok.right(), Engine::instance().screen_width() * 0.7f);
    EXPECT_NE(shot.getPixel(static_cast<unsigned>(ok.left() + ok.right()) / 2, static_cast<unsigned>(ok.top()) + 3),
              corner);
}

TEST_F(OptionsScreen, FullscreenSwitchRecreatesTheWindowAndOkWritesEveryOption) {
    Engine& engine = Engine::instance();
    const vector2 desktop = engine.desktop_resolution();
    ASSERT_EQ(engine.screen_width(), static_cast<int>(desktop.x));

    harness_->click(screen_->fullscreen_button());
    EXPECT_EQ(fullscreen_text(), "Fullscreen: Off");
    EXPECT_EQ(engine.screen_width(), 640);
    EXPECT_EQ(engine.screen_height(), 480);

    harness_->click(screen_->fullscreen_button());
    EXPECT_EQ(fullscreen_text(), "Fullscreen: On");
    EXPECT_EQ(engine.screen_width(), static_cast<int>(desktop.x));
    EXPECT_EQ(engine.screen_height(), static_cast<int>(desktop.y));

    harness_->click(screen_->fullscreen_button());
    // Nothing is stored before "Ok".
    EXPECT_TRUE(GameOptions::instance().fullscreen);
    EXPECT_EQ(ReadTextFile(options_file()), kStoredOptions);

    harness_->click(vo_test::FindButton(screen_->root_widget(), "Ok"));
    EXPECT_FALSE(GameOptions::instance().fullscreen);
    EXPECT_FALSE(GameOptions::instance().sfx);  // copied back unchanged
    EXPECT_EQ(ReadTextFile(options_file()),
              "windowWidth 640\nwindowHeight 480\nfullscreen false\nmusic true\nsfx false\n");
    harness_->step();
    EXPECT_FALSE(options_on_top());

    // Opened again, it shows what was stored.
    PushScreen(screen_);
    EXPECT_EQ(fullscreen_text(), "Fullscreen: Off");
}

TEST_F(OptionsScreen, MusicSwitchFadesToSilenceInATenthOfASecondAndOkStoresIt) {
    SmartPtr<Music> music = play_music();
    ASSERT_FLOAT_EQ(music->volume(), 100.0f);

    harness_->click(screen_->music_button());
    EXPECT_EQ(music_text(), "Music: Off");
    harness_->step(3);  // 0.05 s: half way
    EXPECT_GT(music->volume(), 10.0f);
    EXPECT_LT(music->volume(), 90.0f);
    harness_->step(4);
    EXPECT_FLOAT_EQ(music->volume(), 0.0f);

    harness_->click(screen_->ok_button());
    EXPECT_FALSE(GameOptions::instance().music);
    EXPECT_NE(ReadTextFile(options_file()).find("music false"), std::string::npos);
}

TEST_F(OptionsScreen, EscapeStoresNothingAndUndoesTheSwitches) {
    SmartPtr<Music> music = play_music();
    Engine& engine = Engine::instance();
    const int desktop_width = engine.screen_width();

    harness_->click(screen_->fullscreen_button());
    harness_->click(screen_->music_button());
    harness_->step(7);
    ASSERT_EQ(engine.screen_width(), 640);
    ASSERT_FLOAT_EQ(music->volume(), 0.0f);

    escape(KEY_PRESSED);  // a press does nothing
    harness_->step();
    ASSERT_TRUE(options_on_top());
    escape(KEY_RELEASED);
    harness_->step(7);
    EXPECT_FALSE(options_on_top());

    EXPECT_EQ(engine.screen_width(), desktop_width);
    EXPECT_FLOAT_EQ(music->volume(), 100.0f);
    EXPECT_TRUE(GameOptions::instance().fullscreen);
    EXPECT_TRUE(GameOptions::instance().music);
    EXPECT_EQ(ReadTextFile(options_file()), kStoredOptions);

    PushScreen(screen_);
    EXPECT_EQ(fullscreen_text(), "Fullscreen: On");
    EXPECT_EQ(music_text(), "Music: On");
}

TEST_F(OptionsScreen, AnOptionsFileThatCannotBeWrittenIsReportedAndTheGameGoesOn) {
    const std::string folder = harness_->user_folder();
    ASSERT_EQ(mkdir((folder + "/game_options.info.tmp").c_str(), 0700), 0);
    ASSERT_EQ(chmod(folder.c_str(), 0500), 0);

    harness_->click(screen_->music_button());
    testing::internal::CaptureStdout();
    harness_->click(screen_->ok_button());
    const std::string out = testing::internal::GetCapturedStdout();
    chmod(folder.c_str(), 0700);

    EXPECT_NE(out.find("WARNING: couldn't save " + options_file()), std::string::npos) << out;
    EXPECT_EQ(ReadTextFile(options_file()), kStoredOptions);
    // The choice holds for this run.
    EXPECT_FALSE(GameOptions::instance().music);
    EXPECT_TRUE(harness_->step());
    EXPECT_FALSE(options_on_top());
}

TEST_F(OptionsScreen, AnOptionsFileReplacedByOneBeyondTheReadersLimitsIsWrittenAfresh) {
    // Nested deeper than any INFO file may be: read through the guarded
    // reader, it is refused before a tree is built, and Ok writes every key.
    ASSERT_TRUE(vo_test::WriteTextFile(options_file(), vo_test::NestedInfoText(5000)));

    harness_->click(screen_->music_button());
    harness_->click(screen_->ok_button());
    EXPECT_EQ(ReadTextFile(options_file()),
              "windowWidth 640\nwindowHeight 480\nfullscreen true\nmusic false\nsfx false\n");
    EXPECT_TRUE(harness_->step());
    EXPECT_FALSE(options_on_top());
}

// A window width that start-up refused (and replaced by 1200 with a
// warning) is written over by "Ok" even when no switch was touched, so the
// warning does not come back at every start.
class OptionsScreenAfterARefusedSize : public OptionsScreen {
protected:
    std::string stored_options() const override {
        return "windowWidth 0\nwindowHeight 480\nfullscreen true\nmusic true\nsfx true\n";
    }
};

TEST_F(OptionsScreenAfterARefusedSize, OkWritesTheSizeStartUpUsedInstead) {
    EXPECT_EQ(GameOptions::instance().windowWidth, 1200);
    harness_->click(screen_->ok_button());
    EXPECT_EQ(ReadTextFile(options_file()),
              "windowWidth 1200\nwindowHeight 480\nfullscreen true\nmusic true\nsfx true\n");
    EXPECT_TRUE(harness_->step());
    EXPECT_FALSE(options_on_top());
}

}  // namespace
}  // namespace vo

// The music controller switching descriptions from a music.info written by
// the test, with real tracks on OpenAL's null driver and the music handler's
// clock driven by the test.

#include "engine/audio/music_controller.h"
#include "engine/audio/music_handler.h"
#include "engine/core/path_provider.h"
#include "support/engine/media_files.h"

#include <gtest/gtest.h>

#include <boost/property_tree/exceptions.hpp>

#include <fstream>
#include <string>

namespace {

using vo::Music;
using vo::MusicController;
using vo::MusicHandler;
using vo::SmartPtr;

const char* const MUSIC_INFO = R"(; descriptions the tests ask for
mainMenu
{
    track
    {
        file menu_a.wav
        volume 80
        repeat true
        fadeIn { fadeOffset 0 fadeDuration 1 }
        fadeOut { fadeOffset 0.5 fadeDuration 1 }
    }
    notATrack { file ignored.wav }
    track
    {
        file menu_b.wav
        volume 40
        repeat true
        fadeIn { fadeOffset 2 fadeDuration 0 }
        fadeOut { fadeOffset 0 fadeDuration 2 }
    }
}
match
{
    track
    {
        file match.wav
        repeat true
        fadeIn { fadeOffset 0 fadeDuration 0 }
        fadeOut { fadeOffset 0 fadeDuration 0 }
    }
}
broken
{
    track
    {
        file match.wav
        fadeIn { fadeOffset 0 fadeDuration 0 }
    }
}
)";

class MusicControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        vo::PathProvider::set_path(1, folder.path() + "/");
        vo::PathProvider::set_path(10, folder.path() + "/");
        std::ofstream(folder.file("music.info")) << MUSIC_INFO;
        for (const char* name : {"menu_a.wav", "menu_b.wav", "match.wav"}) {
            ASSERT_TRUE(vo_test::WriteWav(folder.file(name), vo_test::SineSamples(1.0), 44100, 1));
        }
        testing::internal::CaptureStdout();  // the handler's fade-in lines
    }
    void TearDown() override {
        controller.play_music_desc(nullptr);
        handler.clear();
        testing::internal::GetCapturedStdout();
    }

    // Advances the handler's clock in steps of 1/8 s (exact in binary, so
    // that items fall due in the step the test expects).
    void run(double seconds) {
        for (; seconds > 0.0; seconds -= 0.125) handler.update(0.125);
    }

    MusicController& controller = vo::GetMusicController();
    MusicHandler& handler = vo::GetMusicHandler();
    vo_test::TempFolder folder;
};

TEST_F(MusicControllerTest, DescriptionStartsItsTracksInTheirTime) {
    EXPECT_EQ(controller.config(), "music.info");
    controller.play_music_desc("mainMenu");
    ASSERT_EQ(controller.playing().size(), 2u);
    SmartPtr<Music> a = controller.playing()[0].music;
    SmartPtr<Music> b = controller.playing()[1].music;
    EXPECT_DOUBLE_EQ(controller.playing()[0].fade_out.fade_offset, 0.5);
    EXPECT_DOUBLE_EQ(controller.playing()[1].fade_out.fade_duration, 2.0);

    EXPECT_TRUE(a->is_playing());
    EXPECT_TRUE(a->loop());
    EXPECT_TRUE(b->is_stopped());
    EXPECT_TRUE(handler.track_is_scheduled("menu_b.wav"));
    EXPECT_FALSE(handler.track_is_active_or_scheduled("ignored.wav"));

    run(1.0);
    EXPECT_NEAR(a->volume(), 80.0f, 1e-3);
    EXPECT_TRUE(b->is_stopped());
    run(1.0);
    EXPECT_TRUE(b->is_playing());
    EXPECT_NEAR(b->volume(), 40.0f, 1e-3);
    controller.update(1.0);  // does nothing
    EXPECT_EQ(controller.playing().size(), 2u);
}

TEST_F(MusicControllerTest, RequestingTheSameDescriptionAgainKeepsItsTracks) {
    controller.play_music_desc("mainMenu");
    run(2.5);
    SmartPtr<Music> a = controller.playing()[0].music;
    SmartPtr<Music> b = controller.playing()[1].music;

    controller.play_music_desc("mainMenu");
    ASSERT_EQ(controller.playing().size(), 2u);
    EXPECT_EQ(controller.playing()[0].music, a);
    EXPECT_EQ(controller.playing()[1].music, b);
    EXPECT_FALSE(handler.track_is_scheduled("menu_a.wav"));
    EXPECT_EQ(handler.schedule().size(), 0u);  // the stops of the first step are gone

    run(3.0);
    EXPECT_TRUE(a->is_playing());
    EXPECT_TRUE(b->is_playing());
    EXPECT_NEAR(a->volume(), 80.0f, 1e-3);
    EXPECT_NEAR(b->volume(), 40.0f, 1e-3);
    EXPECT_EQ(handler.tracks().size(), 2u);
}

// With a fade-out of no length the first step stops the track at once: a
// second request starts it anew instead of keeping it silent.
TEST_F(MusicControllerTest, TrackStoppedByTheSameRequestStartsAnew) {
    controller.play_music_desc("match");
    SmartPtr<Music> first = controller.playing()[0].music;
    EXPECT_TRUE(first->is_playing());

    controller.play_music_desc("match");
    SmartPtr<Music> second = controller.playing()[0].music;
    EXPECT_TRUE(first->is_stopped());
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->is_playing());
    EXPECT_NEAR(second->volume(), 100.0f, 1e-3);

    run(0.125);
    ASSERT_EQ(handler.tracks().size(), 1u);
    EXPECT_EQ(handler.tracks()[0].music, second);
}

// Leaving a description before a delayed track has started: the track must
// not start later over the next description.
TEST_F(MusicControllerTest, SwitchingCancelsTracksThatHaveNotStarted) {
    controller.play_music_desc("mainMenu");
    run(1.0);
    SmartPtr<Music> a = controller.playing()[0].music;
    SmartPtr<Music> b = controller.playing()[1].music;

    controller.play_music_desc("match");
    ASSERT_EQ(controller.playing().size(), 1u);
    EXPECT_FALSE(handler.track_is_scheduled("menu_b.wav"));
    run(3.0);
    EXPECT_TRUE(b->is_stopped());
    EXPECT_TRUE(a->is_stopped());
    EXPECT_FALSE(handler.track_is_active("menu_a.wav"));
    EXPECT_FALSE(handler.track_is_active("menu_b.wav"));
    EXPECT_TRUE(handler.track_is_active("match.wav"));
}

TEST_F(MusicControllerTest, NullFadesOutEverythingByItsOwnTiming) {
    controller.play_music_desc("mainMenu");
    run(2.5);
    SmartPtr<Music> a = controller.playing()[0].music;
    SmartPtr<Music> b = controller.playing()[1].music;

    controller.play_music_desc(nullptr);
    EXPECT_TRUE(controller.playing().empty());
    run(1.0);  // a: fade from 0.5 s to 1.5 s; b: fade over 2 s from now
    EXPECT_NEAR(a->volume(), 40.0f, 1e-3);
    EXPECT_NEAR(b->volume(), 20.0f, 1e-3);
    run(0.625);
    EXPECT_TRUE(a->is_stopped());
    EXPECT_TRUE(b->is_playing());
    run(0.5);
    EXPECT_TRUE(b->is_stopped());
    run(0.125);
    EXPECT_TRUE(handler.tracks().empty());
}

TEST_F(MusicControllerTest, MissingNodesRaiseTheTreeError) {
    controller.play_music_desc("match");
    SmartPtr<Music> first = controller.playing()[0].music;

    for (const char* name : {"noSuchDescription", "broken"}) {
        SCOPED_TRACE(name);
        try {
            controller.play_music_desc(name);
            ADD_FAILURE() << "no error";
        } catch (boost::property_tree::ptree_bad_path const& e) {
            EXPECT_EQ(std::string(e.what()).rfind("No such node", 0), 0u) << e.what();
        }
        EXPECT_TRUE(controller.playing().empty());
    }
    EXPECT_TRUE(first->is_stopped());  // the first step ran before the error
    EXPECT_FALSE(handler.track_is_scheduled("match.wav"));
}

TEST_F(MusicControllerTest, ConfigurationFileCanBeChanged) {
    std::ofstream(folder.file("other_music.info"))
        << "calm { track { file menu_b.wav volume 10 fadeIn { fadeDuration 0 } fadeOut { fadeDuration 0 } } }\n";
    controller.set_config("other_music.info");
    controller.play_music_desc("calm");
    controller.set_config("music.info");
    ASSERT_EQ(controller.playing().size(), 1u);
    EXPECT_TRUE(handler.track_is_active("menu_b.wav"));
    EXPECT_NEAR(controller.playing()[0].music->volume(), 10.0f, 1e-3);
    EXPECT_FALSE(controller.playing()[0].music->loop());
}

}  // namespace

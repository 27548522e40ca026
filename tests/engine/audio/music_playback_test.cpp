// The music handler with real music files from the music folder, played on
// OpenAL's null driver (silent, but real and in real time).

#include "engine/audio/music_handler.h"
#include "engine/core/path_provider.h"
#include "support/engine/media_files.h"
#include "support/engine/recording_handler.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vo::Music;
using vo::MusicHandler;
using vo::SmartPtr;

class MusicPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        vo::PathProvider::set_path(10, folder.path() + "/");
        ASSERT_TRUE(vo_test::WriteWav(folder.file("long.wav"), vo_test::SineSamples(3.0), 44100, 1));
        ASSERT_TRUE(vo_test::WriteWav(folder.file("short.wav"), vo_test::SineSamples(0.1), 44100, 1));
    }
    void TearDown() override { handler.clear(); }

    MusicHandler handler;
    vo_test::TempFolder folder;
};

TEST_F(MusicPlayback, StartPlaysAFileOfTheMusicFolderAtOnce) {
    handler.set_master_volume(50.0f, 0.0);
    testing::internal::CaptureStdout();
    SmartPtr<Music> m = handler.start("long.wav", true, 0.0, 0.0, 80.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "DBG: FADE_IN from 40 to 40 in 0 sec.\n");
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->is_playing());
    EXPECT_TRUE(m->loop());
    EXPECT_NEAR(m->volume(), 40.0f, 1e-3);
    EXPECT_EQ(handler.active_track_by_name("long.wav"), m);

    handler.update(1.0 / 60.0);
    EXPECT_NEAR(m->volume(), 40.0f, 1e-3);
    EXPECT_TRUE(m->is_playing());
}

TEST_F(MusicPlayback, DelayedFadeInStartsSilentAndRises) {
    testing::internal::CaptureStdout();
    SmartPtr<Music> m = handler.start("long.wav", false, 0.5, 1.0, 60.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(m->is_stopped());
    EXPECT_NEAR(m->volume(), 0.0f, 1e-3);
    EXPECT_TRUE(handler.track_is_scheduled("long.wav"));

    testing::internal::CaptureStdout();
    handler.update(0.5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "DBG: FADE_IN from 0 to 60 in 1 sec.\n");
    EXPECT_TRUE(m->is_playing());
    handler.update(0.5);
    EXPECT_NEAR(m->volume(), 30.0f, 1e-3);
    handler.update(0.5);
    EXPECT_NEAR(m->volume(), 60.0f, 1e-3);
}

TEST_F(MusicPlayback, TrackThatEndsIsRemovedAtTheNextUpdate) {
    testing::internal::CaptureStdout();
    SmartPtr<Music> m = handler.start("short.wav", false, 0.0, 0.5, 100.0f);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(m->is_playing());
    handler.update(0.01);
    EXPECT_TRUE(handler.track_is_active("short.wav"));

    ASSERT_TRUE(vo_test::WaitUntil([&] { return m->is_stopped(); }, 3.0));
    handler.update(0.01);
    EXPECT_FALSE(handler.track_is_active("short.wav"));
    EXPECT_TRUE(handler.tracks().empty());
    EXPECT_EQ(handler.num_fades(), 0u);
}

TEST_F(MusicPlayback, FileThatCannotBeOpenedIsScheduledAndStaysSilent) {
    testing::internal::CaptureStdout();
    SmartPtr<Music> m = handler.start("missing.ogg", false, 0.0, 0.0, 100.0f);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("WARNING: Couldn't open music: " + folder.file("missing.ogg") + "\n", 0), 0u) << out;
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->is_stopped());
    handler.update(0.01);
    EXPECT_TRUE(handler.tracks().empty());
}

TEST_F(MusicPlayback, StopFadesOutAndStopsTheStream) {
    testing::internal::CaptureStdout();
    SmartPtr<Music> m = handler.start("long.wav", true, 0.0, 0.0, 100.0f);
    testing::internal::GetCapturedStdout();
    handler.stop(m, 0.0, 0.5);
    handler.update(0.25);
    EXPECT_NEAR(m->volume(), 50.0f, 1e-3);
    EXPECT_TRUE(m->is_playing());
    handler.update(0.25);
    EXPECT_TRUE(m->is_stopped());
    handler.update(0.01);
    EXPECT_TRUE(handler.tracks().empty());
}

}  // namespace

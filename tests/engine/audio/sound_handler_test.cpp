// The sound handler with real sounds from the sound folder on OpenAL's null
// driver (silent, but real and in real time).

#include "engine/audio/sound_handler.h"
#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "support/engine/media_files.h"
#include "support/engine/recording_handler.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vo::SmartPtr;
using vo::Sound;
using vo::SoundHandler;

class SoundHandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        vo::PathProvider::set_path(11, folder.path() + "/");
        ASSERT_TRUE(vo_test::WriteWav(folder.file("blip.wav"), vo_test::SineSamples(0.05), 44100, 1));
        ASSERT_TRUE(vo_test::WriteWav(folder.file("long.wav"), vo_test::SineSamples(1.5), 44100, 1));
    }

    vo_test::TempFolder folder;
};

TEST_F(SoundHandlerTest, CallsForOneFileShareItsBuffer) {
    SmartPtr<Sound> first = SoundHandler::play_sound("long.wav", 100.0f);
    SmartPtr<Sound> second = SoundHandler::play_sound("long.wav", 30.0f);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_TRUE(first->is_playing());
    EXPECT_TRUE(second->is_playing());
    EXPECT_NEAR(first->volume(), 100.0f, 1e-3);
    EXPECT_NEAR(second->volume(), 30.0f, 1e-3);

    // One buffer: held by the manager, by both sounds and by this handle.
    SmartPtr<vo::SoundBuffer> buffer = vo::GetSoundBuffer(folder.file("long.wav").c_str());
    EXPECT_EQ(buffer.use_count(), 4);
    EXPECT_EQ(SoundHandler::num_kept_sounds(), 2u);
}

TEST_F(SoundHandlerTest, ReleasedHandlePlaysToItsEnd) {
    Sound* raw = nullptr;
    {
        SmartPtr<Sound> sound = SoundHandler::play_sound("blip.wav", 100.0f);
        raw = sound.get();
    }
    ASSERT_NE(raw, nullptr);
    EXPECT_TRUE(raw->is_playing());  // the handler keeps it
    EXPECT_EQ(SoundHandler::num_kept_sounds(), 1u);
    ASSERT_TRUE(vo_test::WaitUntil([&] { return raw->is_stopped(); }, 3.0));

    SoundHandler::play_sound("long.wav", 100.0f);
    EXPECT_EQ(SoundHandler::num_kept_sounds(), 1u);  // the finished one went
}

// Finished sounds go wherever they are in the list, also in front of a
// sound that still plays.
TEST_F(SoundHandlerTest, FinishedSoundsAreRemovedWhereverTheyAre) {
    SoundHandler::play_sound("blip.wav", 100.0f);
    SmartPtr<Sound> playing = SoundHandler::play_sound("long.wav", 100.0f);
    SmartPtr<Sound> blip = SoundHandler::play_sound("blip.wav", 100.0f);
    ASSERT_TRUE(vo_test::WaitUntil([&] { return blip->is_stopped(); }, 3.0));
    EXPECT_TRUE(playing->is_playing());
    EXPECT_EQ(SoundHandler::num_kept_sounds(), 3u);

    SmartPtr<Sound> next = SoundHandler::play_sound("long.wav", 100.0f);
    EXPECT_EQ(SoundHandler::num_kept_sounds(), 2u);  // the playing one and the new one

    playing->stop();
    next->stop();
    SoundHandler::play_sound("blip.wav", 100.0f);
    EXPECT_EQ(SoundHandler::num_kept_sounds(), 1u);
}

TEST_F(SoundHandlerTest, MissingFileThrowsNamingThePath) {
    const std::string path = folder.file("missing.wav");
    for (int call = 0; call < 2; ++call) {
        SCOPED_TRACE(call);
        testing::internal::CaptureStdout();
        try {
            SoundHandler::play_sound("missing.wav", 100.0f);
            ADD_FAILURE() << "no Error";
        } catch (vo::Error const& e) {
            EXPECT_EQ(std::string(e.message()),
                      "Resource not found for key " + path + ". Couldn't load resource from specified file " + path);
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "WARNING: Couldn't load sound buffer: " + path + "\n");
    }
    EXPECT_EQ(SoundHandler::num_kept_sounds(), 0u);
}

}  // namespace

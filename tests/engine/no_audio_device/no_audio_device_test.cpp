// Sound and music on a machine without an audio device: OpenAL is pointed
// at a driver that does not exist, so no device opens (one process for all
// of it: the driver is chosen at the first use of audio). The back end says
// so once and plays silently: sounds and tracks keep their states, lengths
// and volumes as with a device, and nothing streams on a thread.

#include "engine/audio/music_handler.h"
#include "engine/audio/sound_handler.h"
#include "engine/core/path_provider.h"
#include "engine/sfml/engine.h"
#include "support/engine/child_process.h"
#include "support/engine/media_files.h"
#include "support/engine/recording_handler.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

class NoDevice : public ::testing::Environment {
public:
    void SetUp() override {
        unsetenv("ALSOFT_CONF");
        ASSERT_EQ(setenv("ALSOFT_DRIVERS", "nosuchdriver", 1), 0);
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new NoDevice);

void Pause(double seconds) { vo_test::WaitUntil([] { return false; }, seconds); }

int ThreadsOfThisProcess() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
        closedir(dir);
    }
    return count;
}

class SilentAudio : public ::testing::Test {
protected:
    void SetUp() override {
        vo::PathProvider::set_path(10, folder.path() + "/");
        vo::PathProvider::set_path(11, folder.path() + "/");
    }

    std::string tone(std::string const& name, double seconds) {
        const std::string file = folder.file(name);
        EXPECT_TRUE(vo_test::WriteWav(file, vo_test::SineSamples(seconds), 44100, 1));
        return file;
    }

    vo::Engine& engine = vo::Engine::instance();
    vo_test::TempFolder folder;
};

TEST_F(SilentAudio, SoundsPlayForTheLengthOfTheirBuffer) {
    vo::SmartPtr<vo::SoundBuffer> blip = engine.create_sound_buffer();
    ASSERT_TRUE(blip->load(tone("blip.wav", 0.2).c_str()));
    vo::SmartPtr<vo::SoundBuffer> long_one = engine.create_sound_buffer();
    ASSERT_TRUE(long_one->load(tone("long.wav", 3.0).c_str()));
    const std::string garbage = folder.file("garbage.wav");
    ASSERT_TRUE(vo_test::WriteBytes(garbage, {'R', 'I', 'F', 'F', 0, 0, 0, 0}));
    EXPECT_FALSE(engine.create_sound_buffer()->load(garbage.c_str()));
    EXPECT_FALSE(engine.create_sound_buffer()->load(folder.file("missing.wav").c_str()));

    // A short sound plays and stops by itself.
    vo::SmartPtr<vo::Sound> sound = engine.create_sound();
    EXPECT_TRUE(sound->is_stopped());
    sound->set_buffer(blip);
    sound->play();
    EXPECT_TRUE(sound->is_playing());
    ASSERT_TRUE(vo_test::WaitUntil([&] { return sound->is_stopped(); }, 2.0));

    // Looping keeps it playing past its end, until looping is switched off.
    sound->set_loop(true);
    EXPECT_TRUE(sound->loop());
    sound->play();
    Pause(0.5);
    EXPECT_TRUE(sound->is_playing());
    sound->set_loop(false);
    ASSERT_TRUE(vo_test::WaitUntil([&] { return sound->is_stopped(); }, 2.0));

    // Pause holds a playing sound where it is; play goes on from there.
    vo::SmartPtr<vo::Sound> held = engine.create_sound();
    held->set_buffer(long_one);
    held->pause();
    EXPECT_TRUE(held->is_stopped());  // only a playing sound pauses
    held->play();
    held->pause();
    EXPECT_TRUE(held->is_paused());
    Pause(0.1);
    EXPECT_TRUE(held->is_paused());
    held->play();
    EXPECT_TRUE(held->is_playing());
    held->stop();
    EXPECT_TRUE(held->is_stopped());

    // The pitch sets the pace: a 3-second sound at pitch 30 lasts 0.1 s.
    vo::SmartPtr<vo::Sound> fast = engine.create_sound();
    fast->set_buffer(long_one);
    fast->set_pitch(30.0f);
    EXPECT_FLOAT_EQ(fast->pitch(), 30.0f);
    fast->set_volume(30.0f);
    EXPECT_NEAR(fast->volume(), 30.0f, 1e-3);
    fast->play();
    ASSERT_TRUE(vo_test::WaitUntil([&] { return fast->is_stopped(); }, 1.5));

    // Another buffer stops the sound; without a buffer nothing plays. A
    // sound plays on when its buffer is let go elsewhere.
    vo::SmartPtr<vo::Sound> other = engine.create_sound();
    other->set_buffer(blip);
    other->play();
    other->set_buffer(long_one);
    EXPECT_TRUE(other->is_stopped());
    long_one = nullptr;
    other->play();
    EXPECT_TRUE(other->is_playing());
    other->set_buffer(vo::SmartPtr<vo::SoundBuffer>());
    EXPECT_TRUE(other->is_stopped());
    other->play();
    EXPECT_TRUE(other->is_stopped());
}

Bytes Container(int header_length, Bytes const& payload) {
    Bytes out = {0x71, 0x26, 0xEA, 0xA3, 0x0B, 0x4E, 0xE9};
    const unsigned raw = static_cast<unsigned>(header_length);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>((raw >> (8 * i)) & 0xFF));
    out.insert(out.end(), static_cast<std::size_t>(header_length), 0x5A);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

TEST_F(SilentAudio, TracksPlayUntilTheyEndOrStop) {
    const std::string track = folder.file("track.bin");
    ASSERT_TRUE(vo_test::WriteBytes(track, Container(3, vo_test::WavBytes(vo_test::SineSamples(3.0), 44100, 1))));
    const std::string headless = folder.file("headless.bin");
    ASSERT_TRUE(vo_test::WriteBytes(headless, Container(3, {})));

    vo::SmartPtr<vo::Music> music = engine.create_music();
    EXPECT_FALSE(music->open(folder.file("missing.ogg").c_str()));
    EXPECT_FALSE(music->open(headless.c_str()));
    music->play();
    EXPECT_TRUE(music->is_stopped());  // a track that never opened stays silent

    ASSERT_TRUE(music->open(track.c_str()));
    music->set_volume(40.0f);
    EXPECT_NEAR(music->volume(), 40.0f, 1e-3);
    music->play();
    EXPECT_TRUE(music->is_playing());
    music->pause();
    EXPECT_TRUE(music->is_paused());
    music->play();
    EXPECT_TRUE(music->is_playing());
    music->stop();
    EXPECT_TRUE(music->is_stopped());

    // Re-opening a playing track stops it; a short one ends by itself
    // unless it loops.
    music->play();
    ASSERT_TRUE(music->open(tone("short.wav", 0.05).c_str()));
    EXPECT_TRUE(music->is_stopped());
    music->set_loop(true);
    music->play();
    Pause(0.2);
    EXPECT_TRUE(music->is_playing());
    music->set_loop(false);
    EXPECT_TRUE(vo_test::WaitUntil([&] { return music->is_stopped(); }, 2.0));
}

TEST_F(SilentAudio, TheHandlersKeepTheirBooksAsWithADevice) {
    tone("long.wav", 3.0);
    tone("short.wav", 0.2);
    vo::MusicHandler handler;
    handler.set_master_volume(50.0f, 0.0);
    testing::internal::CaptureStdout();
    vo::SmartPtr<vo::Music> long_track = handler.start("long.wav", true, 0.0, 0.0, 80.0f);
    vo::SmartPtr<vo::Music> short_track = handler.start("short.wav", false, 0.0, 0.0, 100.0f);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(long_track->is_playing());
    EXPECT_NEAR(long_track->volume(), 40.0f, 1e-3);
    handler.set_master_volume(0.0f, 0.0);
    EXPECT_NEAR(long_track->volume(), 0.0f, 1e-3);
    ASSERT_TRUE(vo_test::WaitUntil([&] { return short_track->is_stopped(); }, 2.0));
    handler.update(0.01);
    EXPECT_TRUE(handler.track_is_active("long.wav"));
    EXPECT_FALSE(handler.track_is_active("short.wav"));
    handler.stop(long_track, 0.0, 0.0);
    handler.update(0.01);
    EXPECT_TRUE(handler.tracks().empty());

    vo::SmartPtr<vo::Sound> blip = vo::SoundHandler::play_sound("short.wav", 100.0f);
    vo::SoundHandler::play_sound("long.wav", 100.0f);
    ASSERT_TRUE(blip);
    EXPECT_TRUE(blip->is_playing());
    EXPECT_EQ(vo::SoundHandler::num_kept_sounds(), 2u);
    ASSERT_TRUE(vo_test::WaitUntil([&] { return blip->is_stopped(); }, 2.0));
    vo::SoundHandler::play_sound("long.wav", 100.0f);
    EXPECT_EQ(vo::SoundHandler::num_kept_sounds(), 2u);  // the finished one went
}

// Run on its own by the next test, which reads what the process wrote to
// standard error.
TEST_F(SilentAudio, NothingStreamsOnAThread) {
    tone("track.wav", 3.0);
    tone("blip.wav", 3.0);
    const int threads = ThreadsOfThisProcess();
    vo::MusicHandler handler;
    testing::internal::CaptureStdout();
    vo::SmartPtr<vo::Music> track = handler.start("track.wav", true, 0.0, 0.0, 100.0f);
    testing::internal::GetCapturedStdout();
    vo::SmartPtr<vo::Sound> sound = vo::SoundHandler::play_sound("blip.wav", 100.0f);
    for (int step = 0; step < 20; ++step) {
        handler.update(0.01);
        Pause(0.01);
    }
    EXPECT_TRUE(track->is_playing());
    EXPECT_TRUE(sound->is_playing());
    EXPECT_EQ(ThreadsOfThisProcess(), threads);
    handler.clear();
}

TEST(NoAudioDevice, TheProcessSaysOnceThatSoundIsOffAndNothingElse) {
    // The child inherits the environment that names no driver that exists.
    vo_test::ChildProcess::Launch launch;
    launch.program = "/proc/self/exe";
    launch.args = {"--gtest_filter=SilentAudio.NothingStreamsOnAThread"};
    launch.collect_error_output = true;
    vo_test::ChildProcess child(launch);
    EXPECT_EQ(child.wait_for_exit(60.0), 0) << child.output();
    EXPECT_EQ(child.error_output(), "WARNING: no audio device: sound is off\n") << child.error_output().substr(0, 2000);
}

}  // namespace

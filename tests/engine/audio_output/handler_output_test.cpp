// Sound that really comes out of the sound and music handlers: OpenAL's
// wave driver records the mix of this process into a WAV file, which the
// tests then measure. One process per test (the driver is chosen before the
// first use of audio).

#include "engine/audio/music_handler.h"
#include "engine/audio/sound_handler.h"
#include "engine/core/path_provider.h"
#include "support/engine/audio_capture.h"
#include "support/engine/media_files.h"
#include "support/engine/recording_handler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

vo_test::TempFolder* g_folder = nullptr;

class WaveDriver : public ::testing::Environment {
public:
    void SetUp() override {
        g_folder = new vo_test::TempFolder;
        ASSERT_TRUE(vo_test::UseOpenALWaveDriver(g_folder->file("mix.wav"), g_folder->file("alsoft.conf")));
        vo::PathProvider::set_path(10, g_folder->path() + "/");
        vo::PathProvider::set_path(11, g_folder->path() + "/");
        ASSERT_TRUE(vo_test::WriteWav(g_folder->file("tone.wav"), vo_test::SineSamples(0.25, 440.0, 0.5), 44100, 1));
    }
    void TearDown() override {
        delete g_folder;
        g_folder = nullptr;
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new WaveDriver);

void Pause(double seconds) { vo_test::WaitUntil([] { return false; }, seconds); }

// The mean level of the first and of the second sound in the recording,
// split at the silence between them (edges of each sound left out).
std::pair<double, double> LevelsOfTwoSounds() {
    const vo_test::WavData mix = vo_test::ReadWav(g_folder->file("mix.wav"));
    EXPECT_GT(vo_test::Levels(mix).peak, 0.1) << "nothing was heard";
    std::vector<double> first, second;
    bool gap_seen = false;
    for (double level : vo_test::BlockLevels(mix, 0.01)) {
        if (level < 0.01) {
            if (!first.empty()) gap_seen = true;
            continue;
        }
        (gap_seen ? second : first).push_back(level);
    }
    auto middle = [](std::vector<double> const& v) {
        if (v.size() < 10) return 0.0;
        double sum = 0.0;
        for (std::size_t i = 2; i + 2 < v.size(); ++i) sum += v[i];
        return sum / static_cast<double>(v.size() - 4);
    };
    EXPECT_GE(first.size(), 10u);
    EXPECT_GE(second.size(), 10u);
    return {middle(first), middle(second)};
}

TEST(HandlerOutput, SoundHandlerIsHeardAndHalfVolumeHalvesIt) {
    {
        vo::SmartPtr<vo::Sound> loud = vo::SoundHandler::play_sound("tone.wav", 100.0f);
        ASSERT_TRUE(vo_test::WaitUntil([&] { return loud->is_stopped(); }, 3.0));
        Pause(0.15);
        vo::SmartPtr<vo::Sound> soft = vo::SoundHandler::play_sound("tone.wav", 50.0f);
        ASSERT_TRUE(vo_test::WaitUntil([&] { return soft->is_stopped(); }, 3.0));
        Pause(0.15);
    }
    const auto levels = LevelsOfTwoSounds();
    ASSERT_GT(levels.second, 0.0);
    EXPECT_NEAR(levels.first / levels.second, 2.0, 0.1);
}

TEST(HandlerOutput, MusicAtHalfTheMasterVolumeIsHalfAsLoud) {
    vo::MusicHandler& handler = vo::GetMusicHandler();
    {
        vo::SmartPtr<vo::Music> loud = handler.start("tone.wav", false, 0.0, 0.0, 100.0f);
        ASSERT_TRUE(vo_test::WaitUntil([&] { return loud->is_stopped(); }, 3.0));
        handler.update(0.01);
        Pause(0.15);
        handler.set_master_volume(50.0f, 0.0);
        vo::SmartPtr<vo::Music> soft = handler.start("tone.wav", false, 0.0, 0.0, 100.0f);
        ASSERT_TRUE(vo_test::WaitUntil([&] { return soft->is_stopped(); }, 3.0));
        handler.update(0.01);
        Pause(0.15);
    }
    handler.clear();
    const auto levels = LevelsOfTwoSounds();
    ASSERT_GT(levels.second, 0.0);
    EXPECT_NEAR(levels.first / levels.second, 2.0, 0.1);
}

}  // namespace

// Sound that really comes out: OpenAL's wave driver records the mix of this
// process into a WAV file, which the test then measures.

#include "engine/sfml/engine.h"
#include "support/engine/audio_capture.h"
#include "support/engine/media_files.h"
#include "support/engine/recording_handler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

vo_test::TempFolder* g_folder = nullptr;

class WaveDriver : public ::testing::Environment {
public:
    void SetUp() override {
        g_folder = new vo_test::TempFolder;
        ASSERT_TRUE(vo_test::UseOpenALWaveDriver(g_folder->file("mix.wav"), g_folder->file("alsoft.conf")));
    }
    void TearDown() override {
        delete g_folder;
        g_folder = nullptr;
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new WaveDriver);

TEST(SoundOutput, APlayedSoundIsHeardAndHalfVolumeHalvesIt) {
    vo::Engine& engine = vo::Engine::instance();
    const std::string tone = g_folder->file("tone.wav");
    ASSERT_TRUE(vo_test::WriteWav(tone, vo_test::SineSamples(0.25, 440.0, 0.5), 44100, 1));
    {
        vo::SmartPtr<vo::SoundBuffer> buffer = engine.create_sound_buffer();
        ASSERT_TRUE(buffer->load(tone.c_str()));
        vo::SmartPtr<vo::Sound> loud = engine.create_sound();
        vo::SmartPtr<vo::Sound> soft = engine.create_sound();
        loud->set_buffer(buffer);
        soft->set_buffer(buffer);
        soft->set_volume(50.0f);
        loud->play();
        ASSERT_TRUE(vo_test::WaitUntil([&] { return loud->is_stopped(); }, 3.0));
        vo_test::WaitUntil([] { return false; }, 0.15);  // a gap of silence
        soft->play();
        ASSERT_TRUE(vo_test::WaitUntil([&] { return soft->is_stopped(); }, 3.0));
        vo_test::WaitUntil([] { return false; }, 0.05);
    }
    // Every audio object is gone: the driver has closed its file.
    const vo_test::WavData mix = vo_test::ReadWav(g_folder->file("mix.wav"));
    const vo_test::WavLevels all = vo_test::Levels(mix);
    ASSERT_GT(all.frames, 0u);
    EXPECT_GT(all.peak, 0.1);

    // Split the recording at the silence between the two sounds and compare
    // their levels.
    std::vector<double> loud_blocks, soft_blocks;
    bool gap_seen = false;
    for (double level : vo_test::BlockLevels(mix, 0.01)) {
        if (level < 0.01) {
            if (!loud_blocks.empty()) gap_seen = true;
            continue;
        }
        (gap_seen ? soft_blocks : loud_blocks).push_back(level);
    }
    ASSERT_GE(loud_blocks.size(), 10u);
    ASSERT_GE(soft_blocks.size(), 10u);
    // Middle blocks only: leave out the edges of each sound.
    auto middle = [](std::vector<double> const& v) {
        double sum = 0.0;
        for (size_t i = 2; i + 2 < v.size(); ++i) sum += v[i];
        return sum / static_cast<double>(v.size() - 4);
    };
    EXPECT_NEAR(middle(loud_blocks) / middle(soft_blocks), 2.0, 0.1);
}

}  // namespace

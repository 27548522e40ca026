// Sounds, sound buffers and music on OpenAL's null driver (ALSOFT_DRIVERS=
// null): silent, but real and in real time.

#include "engine/sfml/engine.h"
#include "engine/sfml/music_file_stream.h"
#include "support/engine/media_files.h"
#include "support/engine/recording_handler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

class Audio : public ::testing::Test {
protected:
    std::string tone(double seconds) {
        const std::string file = folder.file("tone" + std::to_string(++made) + ".wav");
        EXPECT_TRUE(vo_test::WriteWav(file, vo_test::SineSamples(seconds), 44100, 1));
        return file;
    }

    vo::Engine& engine = vo::Engine::instance();
    vo_test::TempFolder folder;
    int made = 0;
};

TEST_F(Audio, SoundPlaysThenStopsByItself) {
    vo::SmartPtr<vo::SoundBuffer> buffer = engine.create_sound_buffer();
    ASSERT_TRUE(buffer->load(tone(0.05).c_str()));
    vo::SmartPtr<vo::Sound> sound = engine.create_sound();
    EXPECT_TRUE(sound->is_stopped());
    sound->set_buffer(buffer);
    sound->play();
    EXPECT_TRUE(sound->is_playing());
    EXPECT_FALSE(sound->is_stopped());
    ASSERT_TRUE(vo_test::WaitUntil([&] { return sound->is_stopped(); }, 2.0));
}

TEST_F(Audio, SoundSettingsAndStates) {
    vo::SmartPtr<vo::SoundBuffer> buffer = engine.create_sound_buffer();
    ASSERT_TRUE(buffer->load(tone(0.5).c_str()));
    vo::SmartPtr<vo::Sound> sound = engine.create_sound();
    sound->set_buffer(buffer);
    sound->set_volume(30.0f);
    EXPECT_NEAR(sound->volume(), 30.0f, 1e-3);
    sound->set_pitch(1.5f);
    EXPECT_FLOAT_EQ(sound->pitch(), 1.5f);
    sound->set_loop(true);
    EXPECT_TRUE(sound->loop());
    sound->play();
    sound->pause();
    EXPECT_TRUE(sound->is_paused());
    sound->stop();
    EXPECT_TRUE(sound->is_stopped());
    // The sound keeps its buffer alive.
    buffer = nullptr;
    sound->play();
    EXPECT_TRUE(sound->is_playing());
    // Detaching (null) leaves a silent sound rather than a crash.
    sound->set_buffer(vo::SmartPtr<vo::SoundBuffer>());
    EXPECT_TRUE(sound->is_stopped());
    sound->play();
    EXPECT_TRUE(sound->is_stopped());
}

TEST_F(Audio, SoundBufferRejectsMissingAndGarbageFiles) {
    const std::string garbage = folder.file("garbage.wav");
    ASSERT_TRUE(vo_test::WriteBytes(garbage, {'R', 'I', 'F', 'F', 0, 0, 0, 0}));
    vo::SmartPtr<vo::SoundBuffer> buffer = engine.create_sound_buffer();
    EXPECT_FALSE(buffer->load(folder.file("missing.wav").c_str()));
    EXPECT_FALSE(buffer->load(garbage.c_str()));
}

Bytes Container(int header_length, Bytes const& payload, unsigned char seventh = 0xE9) {
    Bytes out = {0x71, 0x26, 0xEA, 0xA3, 0x0B, 0x4E, seventh};
    const unsigned raw = static_cast<unsigned>(header_length);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>((raw >> (8 * i)) & 0xFF));
    out.insert(out.end(), header_length > 0 ? static_cast<size_t>(header_length) : 0u, 0x5A);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

TEST_F(Audio, MusicOpensBehindTheContainerHeader) {
    const Bytes wav = vo_test::WavBytes(vo_test::SineSamples(0.2), 44100, 1);
    struct Case {
        const char* what;
        Bytes bytes;
        bool opens;
        long offset;
    };
    Bytes header_only(Container(0, {}));
    header_only.resize(9);  // magic and half a length
    Bytes no_payload = Container(20, {});
    no_payload.resize(15);  // the length points past the end
    const Case cases[] = {
        {"plain WAV", wav, true, 0},
        {"n = 0", Container(0, wav), true, 11},
        {"n = 250", Container(250, wav), true, 261},
        {"n = 251", Container(251, wav), false, 0},
        {"n = -1", Container(-1, wav), false, 0},
        {"wrong seventh byte", Container(0, wav, 0x00), false, 0},
        {"5-byte file", Bytes{0x71, 0x26, 0xEA, 0xA3, 0x0B}, false, 0},
        {"magic without a whole length", header_only, false, 0},
        {"length beyond the end", no_payload, false, 31},
    };
    for (Case const& c : cases) {
        const std::string file = folder.file("music.bin");
        ASSERT_TRUE(vo_test::WriteBytes(file, c.bytes));
        vo::MusicFileStream stream;
        ASSERT_TRUE(stream.open(file)) << c.what;
        EXPECT_EQ(stream.data_offset(), c.offset) << c.what;
        EXPECT_GE(stream.getSize(), 0) << c.what;
        vo::SmartPtr<vo::Music> music = engine.create_music();
        EXPECT_EQ(music->open(file.c_str()), c.opens) << c.what;
    }
    vo::SmartPtr<vo::Music> music = engine.create_music();
    EXPECT_FALSE(music->open(folder.file("missing.ogg").c_str()));
}

TEST_F(Audio, MusicStreamsAndReopensWhilePlaying) {
    const std::string file = folder.file("track.bin");
    ASSERT_TRUE(vo_test::WriteBytes(file, Container(3, vo_test::WavBytes(vo_test::SineSamples(2.0), 44100, 1))));
    vo::SmartPtr<vo::Music> music = engine.create_music();
    EXPECT_TRUE(music->is_stopped());
    ASSERT_TRUE(music->open(file.c_str()));
    music->set_volume(40.0f);
    EXPECT_NEAR(music->volume(), 40.0f, 1e-3);
    music->set_loop(true);
    EXPECT_TRUE(music->loop());
    music->play();
    EXPECT_TRUE(music->is_playing());
    vo_test::WaitUntil([] { return false; }, 0.05);
    music->pause();
    EXPECT_TRUE(music->is_paused());
    music->play();
    // Re-opening a playing track stops it before the stream changes.
    ASSERT_TRUE(music->open(tone(0.05).c_str()));
    EXPECT_TRUE(music->is_stopped());
    music->set_loop(false);
    music->play();
    EXPECT_TRUE(vo_test::WaitUntil([&] { return music->is_stopped(); }, 2.0));
}

}  // namespace

namespace {

TEST(MusicFileStream, AnyBytesGiveAConsistentStream) {
    // Random files, many starting with the magic: the data offset is 0 or
    // 11..261, the size never negative, and seeks and reads stay inside.
    vo_test::TempFolder folder;
    const std::string file = folder.file("random.bin");
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 200; ++round) {
        Bytes bytes(next() % 300);
        for (auto& b : bytes) b = static_cast<unsigned char>(next());
        if (round % 2 == 0) {
            const unsigned char magic[7] = {0x71, 0x26, 0xEA, 0xA3, 0x0B, 0x4E, 0xE9};
            for (size_t i = 0; i < 7 && i < bytes.size(); ++i) bytes[i] = magic[i];
            if (bytes.size() > 10 && round % 4 == 0) bytes[8] = bytes[9] = bytes[10] = 0;
        }
        ASSERT_TRUE(vo_test::WriteBytes(file, bytes));
        vo::MusicFileStream stream;
        ASSERT_TRUE(stream.open(file));
        const long offset = static_cast<long>(stream.data_offset());
        EXPECT_TRUE(offset == 0 || (offset >= 11 && offset <= 261)) << offset;
        const long size = static_cast<long>(stream.getSize());
        EXPECT_EQ(size, std::max(0L, static_cast<long>(bytes.size()) - offset));
        EXPECT_EQ(stream.tell(), 0);
        unsigned char buffer[512];
        EXPECT_EQ(stream.read(buffer, sizeof(buffer)), size);
        if (size > 0) {
            EXPECT_EQ(buffer[0], bytes[static_cast<size_t>(offset)]);
            EXPECT_EQ(stream.seek(size - 1), size - 1);
            EXPECT_EQ(stream.read(buffer, 1), 1);
            EXPECT_EQ(buffer[0], bytes.back());
        }
        EXPECT_EQ(stream.seek(-1), -1);
    }
}

}  // namespace

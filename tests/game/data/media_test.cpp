// Every generated texture and sound of the shipped data folder, loaded
// through the engine's resource managers the way the game loads them, and the
// characters' voices through the game's reader.

#include "engine/audio/sound_handler.h"
#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "engine/sfml/engine.h"
#include "game/app/characters.h"
#include "support/engine/test_window.h"

#include <SFML/Audio/InputSoundFile.hpp>
#include <SFML/Graphics/Image.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kData = QV_GAME_DATA_DIR;

// Files below the folder with the extension, relative to it, sorted.
std::vector<std::string> FilesIn(std::string const& folder, std::string const& extension) {
    std::vector<std::string> files;
    for (auto const& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == extension)
            files.push_back(fs::relative(entry.path(), folder).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ShippedMedia, EveryTextureLoadsThroughTheTextureManagerAtItsSize) {
    vo_test::TestWindow window(64, 64);
    vo::Textures().path = kData + "/textures/";
    std::vector<std::string> const files = FilesIn(kData + "/textures", ".png");
    ASSERT_GE(files.size(), 50u);
    for (std::string const& name : files) {
        SCOPED_TRACE(name);
        sf::Image image;
        ASSERT_TRUE(image.loadFromFile(kData + "/textures/" + name));
        vo::SmartPtr<vo::Texture> texture = vo::GetTexture(name);
        ASSERT_TRUE(texture);
        EXPECT_FLOAT_EQ(texture->frame().width(), static_cast<float>(image.getSize().x));
        EXPECT_FLOAT_EQ(texture->frame().height(), static_cast<float>(image.getSize().y));
        EXPECT_EQ(vo::GetTexture(name).get(), texture.get());  // kept by name
    }
    vo::Textures().clear();
    vo::Textures().path.clear();
}

TEST(ShippedMedia, EverySoundLoadsThroughTheSoundBufferManager) {
    std::vector<std::string> const files = FilesIn(kData + "/sounds", ".wav");
    ASSERT_GE(files.size(), 19u);  // three explosions, the pick-up, fifteen screams
    for (std::string const& name : files) {
        SCOPED_TRACE(name);
        std::string const path = kData + "/sounds/" + name;
        EXPECT_TRUE(vo::GetSoundBuffer(path.c_str()));
        sf::InputSoundFile file;
        ASSERT_TRUE(file.openFromFile(path));
        double const seconds = file.getDuration().asSeconds();
        EXPECT_GT(seconds, 0.2);
        EXPECT_LT(seconds, 3.0);
    }
    vo::SoundBuffers().clear();
}

TEST(ShippedMedia, MusicLoopsRunTenToTwentySeconds) {
    for (const char* name : {"main_menu.wav", "match.wav", "results.wav"}) {
        SCOPED_TRACE(name);
        sf::InputSoundFile file;
        ASSERT_TRUE(file.openFromFile(kData + "/music/" + name));
        EXPECT_GE(file.getDuration().asSeconds(), 10.0f);
        EXPECT_LE(file.getDuration().asSeconds(), 20.0f);
        vo::SmartPtr<vo::Music> music = vo::Engine::instance().create_music();
        EXPECT_TRUE(music->open((kData + "/music/" + name).c_str()));
    }
}

TEST(ShippedMedia, EveryCharacterHasItsPortraitAndThreeScreams) {
    vo_test::TestWindow window(64, 64);
    vo::PathProvider::set_path(1, kData + "/config/");
    vo::PathProvider::set_path(11, kData + "/sounds/");
    vo::Textures().path = kData + "/textures/";
    vo::CharacterHandler handler;
    handler.load((kData + "/config/characters.info").c_str());
    ASSERT_EQ(handler.size(), 5u);
    for (unsigned i = 0; i < handler.size(); ++i) {
        vo::CharacterDesc const& c = handler.get(i);
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.portrait.texture());
        EXPECT_TRUE(vo::GetTexture(c.textureName));
        std::vector<vo::SmartPtr<vo::SoundBuffer>> const screams = vo::LoadScreams(c);
        EXPECT_EQ(screams.size(), 3u);
        for (auto const& s : screams) EXPECT_TRUE(s);
    }
    vo::SoundBuffers().clear();
    vo::Textures().clear();
    vo::Textures().path.clear();
}

}  // namespace

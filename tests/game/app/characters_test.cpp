#include "game/app/characters.h"

#include "character_files.h"
#include "engine/audio/sound_handler.h"
#include "engine/core/error.h"
#include "engine/core/resources.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace vo {
namespace {

template <class F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (Error const& e) {
        return e.message();
    }
    return "no error";
}

class CharacterHandlerTest : public ::testing::Test {
protected:
    vo_test::CharacterFiles files;
};

TEST_F(CharacterHandlerTest, CharacterGroupsGetTheirPositionAndKeysOrDefaults) {
    files.write_texture("anna.png");
    files.write_texture("UNSPECIFIED");
    files.write("characters.info",
                "character\n{\n name Anna\n textureName anna_body.png\n voiceFile voices/anna.info\n"
                " portraitName anna.png\n texX1 0.25\n texY1 0.5\n texX2 0.75\n texY2 x\n visualScale 1.5\n"
                " isMale false\n pitch 1.25\n volume 80\n}\n"
                "weapons { num 3 }\n"
                "character\n{\n}\n");
    CharacterHandler handler;
    handler.load(files.file("characters.info").c_str());
    ASSERT_EQ(2u, handler.size());

    CharacterDesc const& anna = handler.get(0);
    EXPECT_EQ("Anna", anna.name);
    EXPECT_EQ("anna_body.png", anna.textureName);
    EXPECT_EQ("voices/anna.info", anna.voiceFile);
    EXPECT_EQ(GetTexture("anna.png").get(), anna.portrait.texture().get());
    EXPECT_FLOAT_EQ(4.0f, anna.portrait.dest_frame.width());
    EXPECT_FLOAT_EQ(0.25f, anna.texX1);
    EXPECT_FLOAT_EQ(0.5f, anna.texY1);
    EXPECT_FLOAT_EQ(0.75f, anna.texX2);
    EXPECT_FLOAT_EQ(1.0f, anna.texY2);  // not a number: the default
    EXPECT_FLOAT_EQ(1.5f, anna.visualScale);
    EXPECT_FALSE(anna.isMale);
    EXPECT_FLOAT_EQ(1.25f, anna.pitch);
    EXPECT_FLOAT_EQ(80.0f, anna.volume);
    EXPECT_EQ(0, anna.index);

    CharacterDesc const& empty = handler.get(1);
    EXPECT_EQ(1, empty.index);
    EXPECT_EQ("UNSPECIFIED", empty.name);
    EXPECT_EQ("UNSPECIFIED", empty.textureName);
    EXPECT_EQ("UNSPECIFIED", empty.voiceFile);
    EXPECT_EQ(GetTexture("UNSPECIFIED").get(), empty.portrait.texture().get());
    EXPECT_TRUE(empty.isMale);
    EXPECT_FLOAT_EQ(100.0f, empty.volume);
    EXPECT_STREQ("UNSPECIFIED", handler.entry_name(1));
}

TEST_F(CharacterHandlerTest, IndexesOutsideTheListGiveTheFallback) {
    files.load_characters({"Bob", "Cleo"});
    ASSERT_EQ(2u, NumCharacters());
    EXPECT_EQ("Cleo", GetCharacter(1).name);
    for (unsigned index : {2u, static_cast<unsigned>(-1)}) {
        CharacterDesc const& fallback = GetCharacter(index);
        EXPECT_EQ("char_none", fallback.name) << index;
        EXPECT_EQ("char_none.png", fallback.textureName);
        EXPECT_EQ(-1, fallback.index);
        EXPECT_EQ(GetTexture("char_none.png").get(), fallback.portrait.texture().get());
    }
    EXPECT_STREQ(files.file("characters.info").c_str(), CharactersFilePath());
}

TEST_F(CharacterHandlerTest, ListViewSelectsAndRejectsIndexesOutsideTheList) {
    files.load_characters({"Bob", "Cleo"});
    CharacterHandler& handler = GetCharacterHandler();
    ListWidget::IContainerView& view = handler;
    EXPECT_EQ(0u, view.entry_flags(1));
    view.set_entry_selected(1, true);
    EXPECT_EQ(2u, view.entry_flags(1));
    EXPECT_EQ(0u, view.entry_flags(0));
    view.set_entry_selected(1, false);
    EXPECT_EQ(0u, view.entry_flags(1));
    EXPECT_STREQ("Bob", view.entry_name(0));
    EXPECT_EQ(GetTexture("Cleo.png").get(), view.entry_image(1).texture().get());

    EXPECT_THROW(view.entry_name(2), std::out_of_range);
    EXPECT_THROW(view.entry_image(2), std::out_of_range);
    EXPECT_THROW(view.entry_flags(2), std::out_of_range);
    EXPECT_THROW(view.set_entry_selected(2, true), std::out_of_range);
}

TEST_F(CharacterHandlerTest, LoadFailures) {
    CharacterHandler handler;
    files.write("empty.info", "\n");
    EXPECT_EQ("Couldn't load characterDescFile at " + files.file("empty.info"),
              ErrorOf([&] { handler.load(files.file("empty.info").c_str()); }));
    EXPECT_THROW(handler.load(files.file("missing.info").c_str()), std::runtime_error);

    // A portrait that cannot be loaded stops the load; the entries before it
    // stay and the fallback is untouched.
    files.write_texture("a.png");
    files.write("broken.info",
                "character { name A\n portraitName a.png }\ncharacter { name B\n portraitName none.png }\n");
    ::testing::internal::CaptureStdout();
    EXPECT_NE("no error", ErrorOf([&] { handler.load(files.file("broken.info").c_str()); }));
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(1u, handler.size());
    EXPECT_EQ("A", handler.get(0).name);
    EXPECT_EQ("char_none", handler.get(1).name);

    // A second load replaces the entries.
    files.write("one.info", "character { name C\n portraitName a.png }\n");
    handler.load(files.file("one.info").c_str());
    ASSERT_EQ(1u, handler.size());
    EXPECT_EQ("C", handler.get(0).name);
}

TEST_F(CharacterHandlerTest, ScreamsComeFromTheVoiceFileInOrder) {
    ASSERT_TRUE(vo_test::WriteWav(files.file("a.wav"), vo_test::SineSamples(0.01), 44100, 1));
    ASSERT_TRUE(vo_test::WriteWav(files.file("b.wav"), vo_test::SineSamples(0.02), 44100, 1));
    files.write("voice.info", "screams\n{\n file a.wav\n other x\n file b.wav\n}\n");
    files.write("quiet.info", "notScreams 1\n");
    CharacterDesc character;
    character.voiceFile = "voice.info";
    std::vector<SmartPtr<SoundBuffer>> screams = LoadScreams(character);
    ASSERT_EQ(2u, screams.size());
    EXPECT_EQ(GetSoundBuffer(files.file("a.wav").c_str()).get(), screams[0].get());
    EXPECT_EQ(GetSoundBuffer(files.file("b.wav").c_str()).get(), screams[1].get());

    character.voiceFile = "quiet.info";
    EXPECT_TRUE(LoadScreams(character).empty());
    character.voiceFile = "missing.info";
    EXPECT_THROW(LoadScreams(character), std::runtime_error);
}

TEST(TeamDescTest, DefaultRecord) {
    TeamDesc team;
    EXPECT_EQ(0, team.points);
    EXPECT_EQ(-1, team.index);
    EXPECT_TRUE(team.members.empty());
    EXPECT_FALSE(team.cpuControlled);
    EXPECT_EQ("...", team.character.name);
    EXPECT_EQ(-1, team.character.index);
}

}  // namespace
}  // namespace vo

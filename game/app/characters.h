#pragma once

// Characters (the look and voice of a team's creatures) and team records,
// with the process-wide character list read from "characters.info".

#include "engine/core/smart_ptr.h"
#include "engine/sfml/audio.h"
#include "engine/visuals/image.h"
#include "engine/widgets/list_widget.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vo {

struct CharacterDesc {
    std::string name = "...";
    std::string textureName = "UNSPECIFIED";
    // An INFO file in the configuration folder listing the scream sounds.
    std::string voiceFile;
    // The whole texture named by the entry's portraitName.
    Image portrait;
    // The part of the texture covering the body, in texture coordinates.
    float texX1 = 0.0f;
    float texY1 = 0.0f;
    float texX2 = 1.0f;
    float texY2 = 1.0f;
    float visualScale = 1.0f;
    // Position in the character list; -1 for the default record and the
    // fallback. A record with index 0 or more is a real character.
    int index = -1;
    bool isMale = true;
    float pitch = 1.0f;
    float volume = 100.0f;
};

struct TeamDesc {
    CharacterDesc character;
    std::string name;   // the team's name
    std::string owner;  // the owner's name
    std::vector<std::string> members;
    int points = 0;
    int index = -1;
    bool cpuControlled = false;
};

// The characters of "characters.info", served to list widgets as well. Every
// index not below the count answers with the fallback "char_none".
class CharacterHandler : public ListWidget::IContainerView {
public:
    struct Entry {
        CharacterDesc desc;
        std::uint32_t flags = 0;
    };
    // The flag bit of a selected entry.
    static const std::uint32_t selected_flag = 2;

    // Builds the fallback, which loads the texture "char_none.png".
    CharacterHandler();

    // Replaces the entries with the "character" groups of the INFO file, in
    // file order. Throws Error "Couldn't load characterDescFile at " + file
    // for a file without entries; the INFO parser's error for a file that
    // cannot be read; the INFO file limits' Error (info_file.h); the texture manager's Error for a portrait that cannot
    // be loaded (the entries before it stay).
    void load(const char* file);

    // The entry's record, or the fallback when index is not below the count.
    CharacterDesc const& get(unsigned index) const;

    unsigned size() override;
    // These four throw std::out_of_range for an index not below the count.
    const char* entry_name(unsigned index) override;
    Image entry_image(unsigned index) override;
    std::uint32_t entry_flags(unsigned index) override;
    void set_entry_selected(unsigned index, bool selected) override;

private:
    std::vector<Entry> entries_;
    CharacterDesc fallback_;
};

// The process-wide list and the path of its file; both are made on first use.
void SetCharactersFilePath(std::string path);
const char* CharactersFilePath();
// Loads the process-wide handler from CharactersFilePath().
void LoadCharacters();
CharacterHandler& GetCharacterHandler();
// Entry index of the process-wide list; (unsigned)-1 and every index not
// below the count give the fallback.
CharacterDesc const& GetCharacter(unsigned index);
unsigned NumCharacters();

// The character's scream sounds in file order: every "file" under the group
// "screams" of its voice file (in the configuration folder), each a file in
// the sounds folder. No "screams" group, no screams.
std::vector<SmartPtr<SoundBuffer>> LoadScreams(CharacterDesc const& character);

}  // namespace vo

#pragma once

// A configuration, texture, sound and user folder with a character list,
// written by the test into a temporary folder and registered as the game's
// paths.

#include "support/engine/media_files.h"

#include <string>
#include <vector>

namespace vo_test {

class CharacterFiles {
public:
    // Registers the folder as configuration (1), user (8) and sounds (11)
    // folder and as the texture path, and writes "char_none.png".
    CharacterFiles();
    ~CharacterFiles();

    std::string const& path() const { return folder_.path(); }
    std::string file(std::string const& name) const { return folder_.file(name); }

    // Writes text to the file of that name in the folder.
    void write(std::string const& name, std::string const& text) const;
    // A portrait PNG of that name.
    void write_texture(std::string const& name) const;
    // "characters.info" with these names (portraits "<name>.png", written
    // too); odd positions are female. Then loads the process-wide list.
    void load_characters(std::vector<std::string> const& names) const;

private:
    TempFolder folder_;
};

}  // namespace vo_test

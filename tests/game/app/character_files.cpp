#include "character_files.h"

#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "game/app/characters.h"

#include <cstdio>
#include <fstream>

namespace vo_test {

CharacterFiles::CharacterFiles() {
    PrepareDisplay();
    vo::PathProvider::set_path(1, path() + "/");
    vo::PathProvider::set_path(8, path());
    vo::PathProvider::set_path(11, path() + "/");
    vo::Textures().path = path() + "/";
    write_texture("char_none.png");
}

CharacterFiles::~CharacterFiles() {
    vo::Textures().clear();
    vo::SoundBuffers().clear();
}

void CharacterFiles::write(std::string const& name, std::string const& text) const {
    std::ofstream out(file(name).c_str());
    out << text;
}

void CharacterFiles::write_texture(std::string const& name) const {
    // The image writer picks the format by the extension, so a name without
    // one is written as PNG first and then renamed.
    const std::string png = file(name) + ".write.png";
    WritePng(png, 4, 2, [](unsigned x, unsigned) { return Rgba{int(x) * 60, 0, 0, 255}; });
    std::rename(png.c_str(), file(name).c_str());
}

void CharacterFiles::load_characters(std::vector<std::string> const& names) const {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        write_texture(names[i] + ".png");
        text += "character\n{\n    name " + names[i] + "\n    portraitName " + names[i] + ".png\n    isMale " +
                (i % 2 == 0 ? "true" : "false") + "\n}\n";
    }
    if (names.empty()) text = "other 1\n";
    write("characters.info", text);
    vo::SetCharactersFilePath(file("characters.info"));
    vo::LoadCharacters();
}

}  // namespace vo_test

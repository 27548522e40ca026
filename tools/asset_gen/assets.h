#pragma once

// The generator's parts. Each writes its files below the data folder it is
// given and returns their paths relative to it.

#include <string>
#include <vector>

namespace gen {

struct Character {
    std::string id;        // file stem: portraits/<id>.png, chars/<id>.png
    unsigned body;         // main colour, 0xRRGGBB
    unsigned accent;       // second colour
    int feature;           // 0 tuft, 1 lashes and bow, 2 grin, 3 horns, 4 angry brows
};

// The five characters of characters.info, in file order.
std::vector<Character> const& Characters();

std::vector<std::string> WriteTextures(std::string const& data_dir);
std::vector<std::string> WriteSounds(std::string const& data_dir);
std::vector<std::string> WriteMusic(std::string const& data_dir);
// The round-timer font: its atlas in textures/fonts/ and its description in
// fonts/, rendered from the TrueType file.
std::vector<std::string> WriteBitmapFont(std::string const& data_dir, std::string const& ttf);

// Creates the folders of path (relative to data_dir) and returns the full path.
std::string OutputPath(std::string const& data_dir, std::string const& relative);

}  // namespace gen

#pragma once

// The data checker's shared state: the data folder, the parsed
// configuration files, what is known about the media files, and the defect
// and warning lines found so far ("<file>: <key>: <what>"; a warning's what
// ends in ", <default> used").

#include "game/level/data_rules.h"

#include <boost/property_tree/ptree.hpp>

#include <map>
#include <string>
#include <vector>

namespace check {

using boost::property_tree::ptree;

struct ImageSize {
    bool ok = false;
    unsigned width = 0, height = 0;
};

class Checker {
public:
    explicit Checker(std::string data_dir);

    std::string const& dir() const { return dir_; }
    std::string folder(std::string const& name) const { return dir_ + "/" + name + "/"; }

    void add(std::string const& file, std::string const& key, std::string const& what);
    void warn(std::string const& file, std::string const& key, std::string const& what);
    void add(vo::DataFindings const& findings);
    std::vector<std::string> const& defects() const { return found_.defects; }
    std::vector<std::string> const& warnings() const { return found_.warnings; }

    // The tree of a configuration file, or null when it is missing or does
    // not parse (reported once).
    ptree const* config(std::string const& file);

    // Media files, each looked at once: a PNG's header, a sound file opened
    // with SFML's sound-file reader (neither needs a display or a device).
    ImageSize texture(std::string const& name);
    bool sound(std::string const& name);
    bool music(std::string const& name);
    bool font(std::string const& name);
    vo::DataFiles files();

    // An image node (texture, srcFrame, ...) of file at key: the texture
    // exists, the source frame reads, lies inside the texture and, on an
    // atlas texture, is one of the atlas's regions.
    void image(ptree const& node, std::string const& file, std::string const& key);
    // A frame in pixels of texture that must lie inside it and match the
    // atlas when the texture is one.
    void texture_frame(ptree const& frame, std::string const& texture, std::string const& file, std::string const& key);

private:
    std::string dir_;
    vo::DataFindings found_;
    std::map<std::string, ptree> configs_;
    std::map<std::string, bool> broken_configs_;
    std::map<std::string, ImageSize> textures_;
    std::map<std::string, bool> sounds_;
    std::map<std::string, bool> music_;
    std::map<std::string, bool> fonts_;
    // atlas texture -> its regions (left, top, right, bottom)
    std::map<std::string, std::vector<std::vector<float>>> atlases_;
    bool atlases_read_ = false;
};

// The parts of the check, one per group of files.
void CheckMenuConfig(Checker& c);
void CheckWidgetStyles(Checker& c);
void CheckIngameStyles(Checker& c);
void CheckCharacters(Checker& c);
void CheckMusic(Checker& c);
void CheckDebugConfig(Checker& c);
void CheckGameConfig(Checker& c);
void CheckWeaponsAndItems(Checker& c);
void CheckFonts(Checker& c);
void CheckShaders(Checker& c);
// Loads the files through the engine's own readers (textures, style maps,
// characters, the bitmap font). Needs an X display for the textures.
void CheckWithEngineReaders(Checker& c);

// Every style group of tree: kinds, colour names and images.
void CheckStyleGroups(Checker& c, ptree const& groups, std::string const& file, std::string const& prefix);

}  // namespace check

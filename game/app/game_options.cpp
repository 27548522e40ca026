#include "game/app/game_options.h"

#include "engine/core/config.h"
#include "engine/core/error.h"
#include "engine/core/info_file.h"
#include "game/app/user_file.h"

#include <boost/property_tree/ptree.hpp>

#include <iostream>

namespace vo {

namespace {

// The size at key when it is a number within [low, high]; otherwise the
// missing-key value, with a warning when a number was there but unusable.
int ReadWindowSize(ptree const& tree, const char* key, int low, int high, int missing,
                   std::string const& file) {
    const int value = tree.get<int>(key, missing);
    if (value >= low && value <= high) return value;
    std::cout << "WARNING: " << key << " " << value << " in " << file << " is out of range (" << low << " to "
              << high << "), using " << missing << "\n"
              << std::flush;
    return missing;
}

}  // namespace

GameOptions& GameOptions::instance() {
    static GameOptions options;
    return options;
}

void GameOptions::load(std::string file_name) {
    file = file_name;
    load();
}

void GameOptions::load() {
    if (file.empty()) {
        throw Error(
            "No file specified in GameOptions::load(). 'load' or 'save' has to be called with a filename at least "
            "once.");
    }
    ptree tree;
    ReadInfoFile(file, tree);
    if (tree.empty()) throw Error("Couldn't load game-options from " + file);

    windowWidth = ReadWindowSize(tree, "windowWidth", min_window_width, max_window_size, missing_window_width, file);
    windowHeight =
        ReadWindowSize(tree, "windowHeight", min_window_height, max_window_size, missing_window_height, file);
    fullscreen = tree.get<bool>("fullscreen", true);
    music = tree.get<bool>("music", true);
    sfx = tree.get<bool>("sfx", true);
}

void GameOptions::save(std::string file_name) {
    file = file_name;
    save();
}

void GameOptions::save() {
    if (file.empty()) {
        throw Error(
            "No file specified in GameOptions::save(). 'load' or 'save' has to be called with a filename at least "
            "once.");
    }
    ptree tree;
    tree.put("windowWidth", windowWidth);
    tree.put("windowHeight", windowHeight);
    tree.put("fullscreen", fullscreen);
    tree.put("music", music);
    tree.put("sfx", sfx);
    WriteInfoFileAtomically(tree, file);
}

}  // namespace vo

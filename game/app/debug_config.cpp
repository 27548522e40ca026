#include "game/app/debug_config.h"

#include "engine/core/error.h"
#include "engine/core/info_file.h"
#include "engine/core/path_provider.h"
#include "engine/core/platform.h"
#include "engine/sfml/engine.h"

#include <boost/property_tree/ptree.hpp>

#include <exception>
#include <iostream>

namespace vo {

DebugConfig::DebugConfig() {
    const std::string file = PathProvider::get_path(1) + "debug_config.info";
    if (FileExists(file))
        load(file);
    else
        read_flags(ptree());
}

void DebugConfig::load(std::string file) {
    ptree tree;
    ReadInfoFile(file, tree);
    read_flags(tree);
    path = file;
}

void DebugConfig::read_flags(ptree const& tree) {
    clearScreen = tree.get("renderer.clearScreen", true);
    drawParallaxLayers = tree.get("renderer.drawParallaxLayers", true);
    drawWidgets = tree.get("renderer.drawWidgets", true);
    drawScene = tree.get("renderer.drawScene", true);
    drawInGameNames = tree.get("renderer.drawInGameNames", true);
    vSync = tree.get("renderer.vSync", true);
}

void DebugConfig::reload() {
    if (path.empty()) return;
    const std::string file = path;
    try {
        load(file);
    } catch (std::exception const& e) {
        // A half-edited file must not end the running game.
        std::cout << "WARNING: couldn't reload " << file << ": " << e.what() << std::endl;
    } catch (Error const& e) {
        std::cout << "WARNING: couldn't reload " << file << ": " << e.message() << std::endl;
    }
}

DebugConfig& GetDebugConfig() {
    static DebugConfig config;
    return config;
}

void ApplyVSync() { Engine::instance().set_vsync(GetDebugConfig().vSync); }

}  // namespace vo

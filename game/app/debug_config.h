#pragma once

// Renderer switches from "debug_config.info" in the configuration folder:
// read at start-up and again whenever the r key is released.

#include "engine/core/config.h"

#include <string>

namespace vo {

class DebugConfig {
public:
    // Reads "debug_config.info" of the configuration folder when it exists;
    // otherwise every flag is true.
    DebugConfig();

    // Reads the INFO file at `path`; on failure the error propagates and the
    // flags and the remembered path stay as they were.
    void load(std::string path);
    // Takes the six flags from a tree; a missing or non-boolean value is true.
    void read_flags(ptree const& tree);
    // Reads the remembered file again. A file that has become unreadable
    // (or breaks the INFO file limits) is reported as a warning and the
    // flags are kept.
    void reload();

    bool clearScreen = true;
    bool drawParallaxLayers = true;
    bool drawWidgets = true;
    bool drawScene = true;
    bool drawInGameNames = true;
    bool vSync = true;
    // The file the flags were last read from; empty when none was read.
    std::string path;
};

// The process-wide debug configuration, built on first use.
DebugConfig& GetDebugConfig();

// Switches the display's vertical synchronisation as the debug configuration says.
void ApplyVSync();

}  // namespace vo

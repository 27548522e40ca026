#pragma once

#include <string>

namespace vo {

// The user's settings kept between runs in "game_options.info" in the user
// folder: the window size when not in full screen, full screen, music and
// sound effects. One process-wide object (instance()); other objects are
// plain copies, such as the options screen's working copy.
class GameOptions {
public:
    // The values a missing or unreadable key takes on load. They differ
    // from the construction defaults on purpose.
    static constexpr int missing_window_width = 1200;
    static constexpr int missing_window_height = 800;
    // Sizes outside these bounds cannot open a usable window and are
    // treated as unreadable.
    static constexpr int min_window_width = 320;
    static constexpr int min_window_height = 200;
    static constexpr int max_window_size = 16384;

    GameOptions() = default;

    static GameOptions& instance();

    // Sets file, then load().
    void load(std::string file_name);
    // Reads the INFO file named by file. Throws Error when no file name was
    // ever given, the file holds no entry or it breaks the INFO file limits
    // (info_file.h); the INFO parser's error (a std::runtime_error) when the
    // file cannot be opened or parsed. Nothing is changed then.
    void load();
    // Sets file, then save().
    void save(std::string file_name);
    // Writes all five keys to the file named by file; the old file is
    // replaced only once the new one is completely written. Throws Error
    // when no file name was ever given, the INFO writer's error when the
    // file cannot be written.
    void save();

    int windowWidth = 1000;
    int windowHeight = 700;
    bool fullscreen = true;
    bool music = true;
    bool sfx = true;  // stored, not consulted anywhere else
    std::string file;
};

}  // namespace vo

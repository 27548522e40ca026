#pragma once

#include <string>

namespace vo {

// One piece of music as a configuration tree describes it: the file, its
// volume (0 to 100) and whether it repeats.
struct MusicDesc {
    std::string file;
    double volume = 100.0;
    bool repeat = false;
};

// How one piece of music hands over to the next: when the fade starts,
// relative to the end of the playing piece, and how long it lasts (seconds).
struct MusicTransition {
    double fade_offset = 0.0;
    double fade_duration = 0.0;
};

}  // namespace vo

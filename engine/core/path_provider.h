#pragma once

#include <deque>
#include <map>
#include <string>

namespace vo {

// The process-wide registry of folders by small integer path id, plus a
// stack of current paths. A registered folder is a prefix to which callers
// append file names directly.
//
// Path ids of the system: 1 configuration, 3 fonts, 4 textures, 6 meshes,
// 7 shaders, 8 the user's own folder (no trailing separator), 9 presets,
// 10 music, 11 sounds.
class PathProvider {
public:
    // Stores the path of the id, replacing any earlier one.
    static void set_path(int id, std::string const& path);
    // The path of the id. An unknown id yields "" and is registered with
    // the empty path from then on.
    static std::string get_path(int id);
    static bool has_path(int id);

    static void push_current_path(std::string const& path);
    // Removes the newest current path; does nothing when none is pushed.
    static void pop_current_path();
    static bool has_current_path();
    // The newest current path when one is pushed, otherwise get_path(id).
    static std::string get_current_path(int id);

    PathProvider(PathProvider const&) = delete;
    PathProvider& operator=(PathProvider const&) = delete;

private:
    PathProvider() = default;
    static PathProvider& inst();

    std::map<int, std::string> paths_;
    std::deque<std::string> current_paths_;
};

}  // namespace vo

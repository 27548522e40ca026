#include "engine/core/path_provider.h"

namespace vo {

PathProvider& PathProvider::inst() {
    static PathProvider provider;
    return provider;
}

void PathProvider::set_path(int id, std::string const& path) { inst().paths_[id] = path; }

std::string PathProvider::get_path(int id) { return inst().paths_[id]; }

bool PathProvider::has_path(int id) { return inst().paths_.count(id) != 0; }

void PathProvider::push_current_path(std::string const& path) { inst().current_paths_.push_back(path); }

void PathProvider::pop_current_path() {
    if (!inst().current_paths_.empty()) inst().current_paths_.pop_back();
}

bool PathProvider::has_current_path() { return !inst().current_paths_.empty(); }

std::string PathProvider::get_current_path(int id) {
    if (has_current_path()) return inst().current_paths_.back();
    return get_path(id);
}

}  // namespace vo

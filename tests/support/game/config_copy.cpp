#include "support/game/config_copy.h"

#include "engine/core/config.h"
#include "engine/core/path_provider.h"

#include <boost/property_tree/ptree.hpp>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vo_test {

std::unique_ptr<TempFolder> UseConfigCopy(std::map<std::string, std::string> const& files) {
    std::unique_ptr<TempFolder> copy(new TempFolder());
    std::filesystem::copy(vo::PathProvider::get_path(1), copy->path(), std::filesystem::copy_options::recursive);
    for (auto const& file : files) {
        std::ofstream out(copy->file(file.first));
        out << file.second;
        if (!out) throw std::runtime_error("cannot write " + copy->file(file.first));
    }
    vo::PathProvider::set_path(1, copy->path() + "/");
    vo::GetConfigPool().clear();
    return copy;
}

}  // namespace vo_test

#include "engine/core/config.h"

#include "engine/core/error.h"
#include "engine/core/info_file.h"
#include "engine/core/path_provider.h"

#include <boost/property_tree/ptree.hpp>

namespace vo {

template <>
bool LoadResourceFromFile<ptree>(ptree& out, const char* file) {
    ptree tree;
    ReadInfoFile(PathProvider::get_path(1) + file, tree);
    if (tree.empty()) return false;
    out.swap(tree);
    return true;
}

ResourceManager<std::string, ptree>& GetConfigPool() {
    static ResourceManager<std::string, ptree> pool;
    return pool;
}

const ptree& GetConfig(const char* file) {
    if (!file) throw Error("GetConfig: no configuration file named");
    return GetConfigPool().get(std::string(file), file);
}

const ptree& GetConfig(const char* file, const char* path) { return GetConfig(GetConfig(file), path); }

const ptree& GetConfig(const ptree& tree, const char* path) {
    if (!path) throw Error("GetConfig: no configuration path named");
    return tree.get_child(ptree::path_type(path, '.'));
}

const ptree& DefaultWidgetStyleConfig() { return GetConfig("widget_styles.info"); }

}  // namespace vo

#include "support/game/test_data_set.h"

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <filesystem>
#include <stdexcept>

namespace vo_test {

namespace fs = std::filesystem;

TestDataSet::TestDataSet() {
    const fs::path shipped(QV_GAME_DATA_DIR);
    for (fs::directory_entry const& entry : fs::directory_iterator(shipped)) {
        const fs::path target = fs::path(folder_.path()) / entry.path().filename();
        if (entry.path().filename() == "config") {
            fs::copy(entry.path(), target, fs::copy_options::recursive);
        } else {
            fs::create_directory_symlink(entry.path(), target);
        }
    }
}

void TestDataSet::edit(std::string const& file, std::function<void(boost::property_tree::ptree&)> const& change) {
    const std::string path = folder_.path() + "/config/" + file;
    boost::property_tree::ptree tree;
    boost::property_tree::read_info(path, tree);
    change(tree);
    boost::property_tree::write_info(path, tree);
}

void TestDataSet::set(std::string const& file, std::string const& key, std::string const& value) {
    edit(file, [&](boost::property_tree::ptree& tree) { tree.put(key, value); });
}

void TestDataSet::add_texture(std::string const& name, Rgba colour) {
    const fs::path textures = fs::path(folder_.path()) / "textures";
    if (fs::is_symlink(textures)) {
        const fs::path shipped = fs::read_symlink(textures);
        fs::remove(textures);
        fs::create_directory(textures);
        for (fs::directory_entry const& entry : fs::directory_iterator(shipped)) {
            if (entry.is_directory())
                fs::create_directory_symlink(entry.path(), textures / entry.path().filename());
            else
                fs::create_symlink(entry.path(), textures / entry.path().filename());
        }
    }
    if (!WritePng((textures / name).string(), 4, 4, [&](unsigned, unsigned) { return colour; }))
        throw std::runtime_error("cannot write the texture " + name);
}

std::string TestDataSet::config_info() const {
    return std::string("userDataPath Quorvane\ngameDataPath \"") + folder_.path() + "\"\n";
}

}  // namespace vo_test

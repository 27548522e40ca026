#pragma once

// A copy of the shipped data folder whose configuration files a test may
// change: the configuration folder is copied into a temporary folder (so the
// shipped files stay untouched), the other folders (textures, sounds, ...)
// are linked. The application reads it when started with config_info().

#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <boost/property_tree/ptree_fwd.hpp>

#include <functional>
#include <string>

namespace vo_test {

class TestDataSet {
public:
    TestDataSet();

    // Reads the configuration file (e.g. "weapons.info"), lets change
    // alter the tree and writes it back.
    void edit(std::string const& file, std::function<void(boost::property_tree::ptree&)> const& change);
    // Sets one key of a configuration file.
    void set(std::string const& file, std::string const& key, std::string const& value);

    // A plain PNG of one colour, 4 x 4 pixels, named name in the textures
    // folder (which becomes a folder of its own, linking the shipped files).
    void add_texture(std::string const& name, Rgba colour);

    std::string const& path() const { return folder_.path(); }
    // A config.info text pointing the application at this data set.
    std::string config_info() const;

private:
    TempFolder folder_;
};

}  // namespace vo_test

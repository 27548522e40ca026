#pragma once

// The configuration pool: every INFO configuration file is read once, from
// the configuration folder (path id 1), and then shared by its file name.

#include "engine/core/resource_manager.h"

#include <boost/property_tree/ptree_fwd.hpp>

#include <string>

namespace vo {

// A configuration tree: string keys and string data.
using ptree = boost::property_tree::ptree;

// Reads the INFO file into out with ReadInfoFile (info_file.h). True when the
// file has at least one entry; out is left as it was otherwise. A file that
// cannot be opened or parsed raises the INFO parser's own error
// (boost::property_tree::info_parser_error); one beyond the INFO file limits
// throws Error.
template <>
bool LoadResourceFromFile<ptree>(ptree& out, const char* file);

// The pool of configuration trees, keyed by file name.
ResourceManager<std::string, ptree>& GetConfigPool();

// The whole tree of the file, loaded on first use from the configuration
// folder. A missing or unreadable file raises the INFO parser's error; a file
// without entries or beyond the INFO file limits throws Error. None of them
// leaves anything in the pool.
const ptree& GetConfig(const char* file);
// The child of GetConfig(file) at the "." separated path; a missing child
// raises boost::property_tree::ptree_bad_path.
const ptree& GetConfig(const char* file, const char* path);
// The child of tree at the "." separated path, with the same error.
const ptree& GetConfig(const ptree& tree, const char* path);

// GetConfig("widget_styles.info"): the default widget styles.
const ptree& DefaultWidgetStyleConfig();

}  // namespace vo

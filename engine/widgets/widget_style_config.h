#pragma once

// Style maps read from INFO configuration trees. Each child of the tree is a
// style group named by its key; each child of a group is one entry whose key
// is its kind ("float", "vector2", "color", "frame", "image") and whose
// subtree holds the property's "name" and its value.

#include "engine/core/smart_ptr.h"
#include "engine/widgets/widget_style.h"

#include <boost/property_tree/ptree_fwd.hpp>

#include <string>

namespace vo {

// A copy of base (or an empty map when base is null) extended by every style
// group of tree. An unknown kind throws Error "Unknown property type in
// style-map group '<group>': <kind>"; a missing "name" and broken values
// raise the errors of the property tree and of the tree readers.
SmartPtr<WidgetStyleMap> WidgetStyleMapFromConfig(boost::property_tree::ptree const& tree,
                                                  ConstSmartPtr<WidgetStyleMap> base);
// The same on the child of tree at the "." separated path key.
SmartPtr<WidgetStyleMap> WidgetStyleMapFromConfig(const char* key, boost::property_tree::ptree const& tree,
                                                  ConstSmartPtr<WidgetStyleMap> base);

// Reads the INFO file at the path as given. With a non-empty key the
// top-level group of that name is read when it exists, else the whole file.
// An empty file throws Error "No valid config file found at " + file; one
// beyond the INFO file limits (info_file.h) throws their Error.
SmartPtr<WidgetStyleMap> WidgetStyleMapFromInfoFile(const char* file, const char* key,
                                                    ConstSmartPtr<WidgetStyleMap> base);
SmartPtr<WidgetStyleMap> WidgetStyleMapFromInfoFile(std::string const& file, std::string const& key,
                                                    ConstSmartPtr<WidgetStyleMap> base);

}  // namespace vo

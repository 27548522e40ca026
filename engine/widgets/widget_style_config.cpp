#include "engine/widgets/widget_style_config.h"

#include "engine/core/error.h"
#include "engine/core/info_file.h"
#include "engine/core/tree_readers.h"

#include <boost/property_tree/ptree.hpp>


namespace vo {

using boost::property_tree::ptree;

namespace {

std::string EntryName(ptree const& entry) { return entry.get<std::string>("name"); }

// Adds one entry of a style group to the style. The order in which the name
// and the value are read differs between the kinds; it decides which error a
// broken entry raises.
void ReadStyleEntry(WidgetStyle& style, std::string const& group, std::string const& kind, ptree const& entry) {
    if (kind == "float") {
        float const value = ReadFloat(entry, 0.0f);
        style.floats()[EntryName(entry)] = value;
    } else if (kind == "vector2") {
        std::string const name = EntryName(entry);
        style.vectors()[name] = ReadVector2(entry, vector2(0.0f, 0.0f));
    } else if (kind == "color") {
        std::string const name = EntryName(entry);
        style.colors()[name] = ReadColor(entry, Color(1.0f, 1.0f, 1.0f, 1.0f));
    } else if (kind == "frame") {
        std::string const name = EntryName(entry);
        style.frames()[name] = ReadFrame(entry);
    } else if (kind == "image") {
        Image const value = ReadImage(entry);
        style.images()[EntryName(entry)] = value;
    } else {
        throw Error("Unknown property type in style-map group '" + group + "': " + kind);
    }
}

}  // namespace

SmartPtr<WidgetStyleMap> WidgetStyleMapFromConfig(ptree const& tree, ConstSmartPtr<WidgetStyleMap> base) {
    SmartPtr<WidgetStyleMap> result = base ? base->clone() : SmartPtr<WidgetStyleMap>(new WidgetStyleMap());
    for (auto const& group : tree) {
        WidgetStyle& style = result->get(group.first);
        for (auto const& entry : group.second) ReadStyleEntry(style, group.first, entry.first, entry.second);
    }
    return result;
}

SmartPtr<WidgetStyleMap> WidgetStyleMapFromConfig(const char* key, ptree const& tree,
                                                  ConstSmartPtr<WidgetStyleMap> base) {
    return WidgetStyleMapFromConfig(tree.get_child(ptree::path_type(key ? key : "", '.')), base);
}

SmartPtr<WidgetStyleMap> WidgetStyleMapFromInfoFile(const char* file, const char* key,
                                                    ConstSmartPtr<WidgetStyleMap> base) {
    std::string const path = file ? file : "";
    ptree tree;
    ReadInfoFile(path, tree);
    if (tree.empty()) throw Error("No valid config file found at " + path);

    ptree const* node = &tree;
    if (key && *key) {
        auto found = tree.find(key);
        if (found != tree.not_found()) node = &found->second;
    }
    return WidgetStyleMapFromConfig(*node, base);
}

SmartPtr<WidgetStyleMap> WidgetStyleMapFromInfoFile(std::string const& file, std::string const& key,
                                                    ConstSmartPtr<WidgetStyleMap> base) {
    return WidgetStyleMapFromInfoFile(file.c_str(), key.c_str(), base);
}

}  // namespace vo

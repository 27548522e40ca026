#pragma once

#include "engine/core/error.h"

#include <map>
#include <string>
#include <utility>

namespace vo {

// Loads a value of type Value from a file into out; false when it cannot.
// One explicit specialisation per value type the engine manages; the
// general template has no definition.
template <class Value>
bool LoadResourceFromFile(Value& out, const char* file);

// Maps a key to a value loaded from a file, together with the file name it
// came from. Values are loaded on the first get of their key and kept until
// the manager is cleared. A load that fails leaves no entry behind, so every
// later get of that key tries again and reports the failure again.
template <class Key, class Value>
class ResourceManager {
public:
    struct Entry {
        Value value{};
        std::string file;  // as passed to get, without the path
    };

    ResourceManager() = default;
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // The value of key; on a miss, loads it from path + file. With a null file
    // a miss throws Error. A loader that throws passes its exception on.
    Value& get(const Key& key, const char* file) {
        auto found = resources_.find(key);
        if (found != resources_.end()) return found->second.value;

        if (!file) throw Error(not_found_message(key));

        Value value{};
        const std::string full_name = path + file;
        if (!LoadResourceFromFile<Value>(value, full_name.c_str())) {
            throw Error(not_found_message(key) + ". Couldn't load resource from specified file " + full_name);
        }
        // The loaded value is swapped into its entry, never copied: a
        // configuration tree has no move constructor, and copying one
        // recurses as deep as the tree.
        Entry& entry = resources_[key];
        using std::swap;
        swap(entry.value, value);
        entry.file = file;
        return entry.value;
    }

    // Releases every value.
    void clear() { resources_.clear(); }

    // Loads every entry that came from a file again, in key order, into the
    // value it already holds (a texture reloads into its object, so every
    // handle sees the new image). The first load that fails throws Error and
    // the entries after it are not reloaded.
    void reload() {
        for (auto& item : resources_) {
            Entry& entry = item.second;
            if (entry.file.empty()) continue;
            const std::string full_name = path + entry.file;
            if (!LoadResourceFromFile<Value>(entry.value, full_name.c_str())) {
                throw Error(not_found_message(item.first) + ". Couldn't load resource from specified file " +
                            full_name);
            }
        }
    }
    // The name the game uses for reload.
    void reload_all() { reload(); }

    // Folder prefix put before every file name that get and reload load.
    std::string path;

private:
    static std::string not_found_message(const Key& key) { return "Resource not found for key " + key; }

    std::map<Key, Entry> resources_;
};

}  // namespace vo

#include "engine/core/table.h"

#include <sstream>

namespace vo {

std::string EntryToString(Table<std::string> const& table, unsigned row, unsigned column) {
    std::string const* entry = table.find(row, column);
    return entry ? *entry : std::string();
}

std::string EntryToString(Table<std::stringstream> const& table, unsigned row, unsigned column) {
    std::stringstream const* entry = table.find(row, column);
    return entry ? entry->str() : std::string();
}

}  // namespace vo

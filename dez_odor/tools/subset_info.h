#pragma once

#include "common/util/variant.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace mg {

// The description of one subset of a subset handler.
struct SubsetInfo {
    using PropertyMap = std::map<std::string, Variant>;

    // Empty name, material index -1, colour (1, 1, 1, 1), state 0, no
    // properties. A subset handler's default description differs: see
    // ISubsetHandler.
    SubsetInfo();

    std::string name;
    int material_index;
    std::array<float, 4> color;  // r, g, b, a
    uint32_t state;
    PropertyMap property_map;
};

}  // namespace mg

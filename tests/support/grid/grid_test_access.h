#pragma once

#include "dez_odor/grid/grid.h"

#include <cstdint>

namespace mg {

// What tests may read and set inside a grid.
class GridTestAccess {
public:
    static uint32_t current_mark(const Grid& grid) { return grid.m_currentMark; }
    // Lets a test run up to the wrap of the marking counter.
    static void set_current_mark(Grid& grid, uint32_t mark) { grid.m_currentMark = mark; }
};

}  // namespace mg

#pragma once

#include <cstdint>

namespace vo {

// The operations of the level's edit log.
enum LevelEditOp : std::uint32_t {
    LEVEL_EDIT_CARVE = 0,  // explode
    LEVEL_EDIT_LAVA = 1    // add_lava
};

// One entry of the level's edit log, with the byte layout of a snapshot
// record: x, y, radius (float32), op (uint32).
struct LevelEditRecord {
    float x;
    float y;
    float radius;
    std::uint32_t op;
};
static_assert(sizeof(LevelEditRecord) == 16, "a level edit record is 16 bytes");

}  // namespace vo

#pragma once

// The level's disc as the game builds it (game/level/mesh/level_disc.h), on
// a bare grid for the grid library's tests.

#include "game/level/mesh/level_disc.h"

namespace mg_test {

using vector3 = mg::MathVector<3, float>;
using PositionAccessor = vo::MeshPositions;
using vo::BuildLevelDisc;
using vo::LevelDisc;

// A grid (by default with the level's options 0x90003) with aPosition on its
// vertices, holding the level disc of the given size around the origin.
struct LevelDiscGrid {
    explicit LevelDiscGrid(float radius = 100.0f, float spacing = 2.0f,
                           unsigned int options = mg::GRIDOPT_LEVEL_MESH);

    mg::Grid grid;
    PositionAccessor aaPos;
    LevelDisc disc;
};

}  // namespace mg_test

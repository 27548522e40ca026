#pragma once

// The level's mesh and carve as the game has them (game/level/mesh), for
// the grid library's tests of how the level uses the grid tools.

#include "game/level/mesh/level_carve.h"
#include "game/level/mesh/level_mesh.h"
#include "support/grid/level_disc.h"

namespace mg_test {

// The level's mesh holding the disc of the given size: every triangle in
// subset 0, every edge in subset 5, subsets 0, 3 and 5 named.
struct LevelMesh : vo::LevelMesh {
    static constexpr int SUBSET_GEOMETRY = vo::LEVEL_SUBSET_ROCK;
    static constexpr int SUBSET_COLLISION = vo::LEVEL_SUBSET_COLLISION;
    static constexpr int SUBSET_EDGES = vo::LEVEL_SUBSET_EDGES;

    explicit LevelMesh(float radius = 100.0f, float spacing = 2.0f);
};

// The level's carve without its spike removal, so that the selection after
// run() holds the new boundary and the ends of its chains.
class CircleCarve : public vo::LevelCarve {
public:
    CircleCarve(LevelMesh& level, float x, float y, float radius);

    void run();
};

using vo::TwiceSignedArea;

}  // namespace mg_test

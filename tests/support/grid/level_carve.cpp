#include "support/grid/level_carve.h"

namespace mg_test {

LevelMesh::LevelMesh(float radius, float spacing) { build_disc(radius, spacing, 3.0f); }

CircleCarve::CircleCarve(LevelMesh& level, float x, float y, float radius)
    : vo::LevelCarve(level, x, y, radius)
{
}

void CircleCarve::run()
{
    cut();
    finish();
}

}  // namespace mg_test

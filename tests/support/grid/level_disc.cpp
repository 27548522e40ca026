#include "support/grid/level_disc.h"

#include "dez_odor/grid/global_attachments.h"

namespace mg_test {

LevelDiscGrid::LevelDiscGrid(float radius, float spacing, unsigned int options) : grid(options)
{
    grid.attach_to_vertices(mg::aPosition);
    aaPos.bind(grid.vertex_attachment_pipe(), mg::aPosition);
    disc = BuildLevelDisc(grid, aaPos, vector3(0, 0, 0), radius, spacing);
}

}  // namespace mg_test

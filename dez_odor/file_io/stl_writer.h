#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

namespace mg {

class Grid;
class ISubsetHandler;

// Writes the triangles of the grid as an ASCII STL surface ("solid
// stlFromMG4"), one facet per triangle with its unit normal (0 0 0 for a
// degenerate triangle). Quadrilaterals are skipped with one warning; edges
// and volumes silently. sh is not used. False, with a log line, when the
// vertices do not carry aPos (checked before the file is touched) or the file
// cannot be opened; false when a write fails.
bool SaveGridToSTL(Grid& grid, const char* filename, ISubsetHandler* sh,
                   const Attachment<MathVector<3, float>>& aPos);

}  // namespace mg

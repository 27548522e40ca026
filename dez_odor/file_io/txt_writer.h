#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

namespace mg {

class Grid;

// Writes the triangles of the grid as text: a line "<vertices> <triangles>",
// one line "i x y z" per vertex (numbered from 0 in list order) and one line
// "j a b c" per triangle with the numbers of its corners. Quadrilaterals,
// edges and volumes are not written. False (no file) when the vertices do not
// carry aPos; false when the file cannot be opened or a write fails.
bool SaveGridToTXT(Grid& grid, const char* filename, const Attachment<MathVector<3, float>>& aPos);

}  // namespace mg

#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

namespace mg {

class Grid;
class ISubsetHandler;

// Writes the grid as an ART/NET text file: a fixed header with the element
// counts, the vertex coordinates, the edges as vertex indices, the faces as
// edge indices and the volumes ("elements") as face indices, each edge, face
// and element line led by a mark from the subset handler (sh may be null):
//
//   element  | no sh | kind unsupported | no subset | subset 0 | subset k > 0
//   edge     |   0   |        0         |     0     |  10000   |     k
//   face     |   0   |        0         |     0     |  10000   |     k
//   volume   |   1   |        0         |     0     |    1     |   k + 1
//
// Unless the grid generates the edges of its faces and the faces of its
// volumes itself, the file is written from a copy of the grid (and of sh)
// that does. False, with a log line, when the vertices do not carry aPos;
// false when the file cannot be opened or a write fails.
bool SaveGridToART(Grid& grid, const char* filename, ISubsetHandler* sh,
                   const Attachment<MathVector<3, float>>& aPos);

}  // namespace mg

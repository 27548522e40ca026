#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

namespace mg {

class Grid;
class ISubsetHandler;

// Writes the tetrahedra of a grid as the text form (CDL) of an EXODUS II
// mesh, which ncgen turns into a NetCDF file: every vertex is a node
// (numbered from 1 in list order), every tetrahedron an element, and every
// subset of sh that holds tetrahedra one element block (numbered from 1 in
// subset order). Tetrahedra outside every subset are elements of no block;
// other volumes are left out with a warning. sh is required.
// False, without touching the file, when sh is null or belongs to another
// grid, the positions are not attached, or no subset holds a tetrahedron
// (EXODUS has no empty blocks);
// false too when the file cannot be opened or written completely.
bool SaveGridToNCDF(Grid& grid, const char* filename, ISubsetHandler* sh,
                    Attachment<MathVector<3, float>> aPos);

}  // namespace mg

#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

namespace mg {

class Grid;
class ISubsetHandler;

// Saving a grid to a file whose name chooses the format. The last component
// of the path is searched (case-sensitive) for ".mgx" first, then, in this
// order, for ".txt", ".obj", ".lgb", ".ele", ".net", ".art", ".ncdf", ".stl",
// ".tikz" and ".tex"; the first text found chooses the writer, wherever it
// stands in the name ("level.mgx.txt" is MGX, "mesh.objects.lgb" OBJ). A
// name without any of them gives false and no file. Every writer but MGX
// takes three-dimensional positions: one- and two-dimensional positions are
// copied into a temporary attachment (missing coordinates 0) for the call.
// The grid carries the same attachments afterwards, also when a writer
// throws. Writers report their own refusals and failures.

// Writes the grid with the first of aPosition, aPosition2 and aPosition1
// that its vertices carry; false, and no file, when they carry none.
bool SaveGridToFile(Grid& grid, ISubsetHandler& sh, const char* filename);

// The ".mgx" test, then the format dispatch. psh may be null: MGX then
// writes a handler of its own for all four kinds, and the other writers
// take null as their own rules say.
bool SaveGridToFileWithPositions(Grid& grid, ISubsetHandler* psh, const char* filename,
                                 Attachment<MathVector<1, float>>& positions);
bool SaveGridToFileWithPositions(Grid& grid, ISubsetHandler* psh, const char* filename,
                                 Attachment<MathVector<2, float>>& positions);
bool SaveGridToFileWithPositions(Grid& grid, ISubsetHandler* psh, const char* filename,
                                 Attachment<MathVector<3, float>>& positions);

// Writes one grid ("defGrid") with one subset handler ("defSH", not null) as
// an MGX document. False when the vertices do not carry the positions or the
// file cannot be written.
bool SaveGridToMGX(Grid& grid, ISubsetHandler* psh, const char* filename,
                   Attachment<MathVector<1, float>>& positions);
bool SaveGridToMGX(Grid& grid, ISubsetHandler* psh, const char* filename,
                   Attachment<MathVector<2, float>>& positions);
bool SaveGridToMGX(Grid& grid, ISubsetHandler* psh, const char* filename,
                   Attachment<MathVector<3, float>>& positions);

// The format dispatch (everything but MGX). The one- and two-dimensional
// forms make the temporary three-dimensional copy and call the other.
bool SaveGridToFile(Grid& grid, ISubsetHandler* psh, const char* filename,
                    Attachment<MathVector<1, float>>& positions);
bool SaveGridToFile(Grid& grid, ISubsetHandler* psh, const char* filename,
                    Attachment<MathVector<2, float>>& positions);
bool SaveGridToFile(Grid& grid, ISubsetHandler* psh, const char* filename,
                    Attachment<MathVector<3, float>>& positions);

// Copies the positions into target as (x, 0, 0) or (x, y, 0), attaching
// target to the vertices when it is not attached yet. False when the
// vertices do not carry source.
bool CopyPositionsTo3d(Grid& grid, Attachment<MathVector<1, float>>& source,
                       Attachment<MathVector<3, float>>& target);
bool CopyPositionsTo3d(Grid& grid, Attachment<MathVector<2, float>>& source,
                       Attachment<MathVector<3, float>>& target);

}  // namespace mg

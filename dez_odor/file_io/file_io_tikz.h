#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

namespace mg {

class Grid;
class ISubsetHandler;

// Drawing settings of ExportGridToTIKZ: lengths in centimetres, colours as
// red, green, blue in 0..1.
struct TikzExportStyle {
    TikzExportStyle();

    float vertexSize;
    float vertexLineWidth;
    MathVector<3, float> vertexColor;
    float edgeLineWidth;
    MathVector<3, float> edgeColor;
    float faceLineWidth;
    MathVector<3, float> faceColor;
    // Coordinates are rounded to multiples of this step (at least 1e-12).
    float coordinateStep;
};

// Writes a two-dimensional drawing of a grid (x and y of the positions) as
// a standalone LaTeX document with one TikZ picture: the faces as filled
// polygons, then the edges as lines, then the vertices as small circles,
// each group subset by subset with one style per subset and kind. Elements
// of kinds sh does not support and elements in no subset are not drawn (none
// when sh belongs to another grid), nor are volumes. sh is required. False,
// without touching the file, when sh is null or the positions are not
// attached; false too when the file cannot be opened or written completely.
bool ExportGridToTIKZ(Grid& grid, const char* filename, ISubsetHandler* sh,
                      Attachment<MathVector<3, float>> aPos,
                      TikzExportStyle style = TikzExportStyle());

}  // namespace mg

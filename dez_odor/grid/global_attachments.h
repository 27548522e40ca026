#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

#include <utility>

namespace mg {

// The library's global attachments, built at program start (each takes its
// id then). aPosition is the vertex position of the level grid; the file
// writers fall back to aPosition2, then aPosition1.
extern Attachment<MathVector<3, float>> aPosition;   // "position", pass-on
extern Attachment<MathVector<2, float>> aPosition2;  // "position2", pass-on
extern Attachment<MathVector<1, float>> aPosition1;  // "position2" (sic), pass-on
extern Attachment<MathVector<3, float>> aNormal;     // "normal", pass-on
extern Attachment<std::pair<int, unsigned int>> aGlobalID;  // "globalID"

}  // namespace mg

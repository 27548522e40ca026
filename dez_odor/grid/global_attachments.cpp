#include "dez_odor/grid/global_attachments.h"

namespace mg {

Attachment<MathVector<3, float>> aPosition("position", true);
Attachment<MathVector<2, float>> aPosition2("position2", true);
Attachment<MathVector<1, float>> aPosition1("position2", true);
Attachment<MathVector<3, float>> aNormal("normal", true);
Attachment<std::pair<int, unsigned int>> aGlobalID("globalID", false);

}  // namespace mg

#include "game/ai/ai_routine.h"

namespace vo {

AIRoutine::~AIRoutine() = default;

void AIRoutine::debug_draw() {}

}  // namespace vo

#include "engine/visuals/visual.h"

namespace vo {

IVisual::~IVisual() = default;

}  // namespace vo

#include "dez_odor/tools/subset_info.h"

namespace mg {

SubsetInfo::SubsetInfo() : material_index(-1), color{1.0f, 1.0f, 1.0f, 1.0f}, state(0) {}

}  // namespace mg

#include "engine/core/color.h"

#include <type_traits>

namespace vo {

static_assert(sizeof(Color) == 4 * sizeof(float), "Color must be four packed floats");
static_assert(std::is_trivially_copyable<Color>::value, "Color is a plain value");

const unsigned int Color::SIZE = 4;

}  // namespace vo

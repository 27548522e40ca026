#include "engine/core/vertex.h"

#include <cstddef>
#include <type_traits>

namespace vo {

static_assert(sizeof(ColorVertex) == 36, "ColorVertex is 9 packed floats");
static_assert(sizeof(NormalVertex) == 32, "NormalVertex is 8 packed floats");
static_assert(std::is_standard_layout<ColorVertex>::value && std::is_standard_layout<NormalVertex>::value,
              "vertex records are plain values");
static_assert(offsetof(ColorVertex, color) == 12 && offsetof(ColorVertex, tex_coord) == 28,
              "ColorVertex attribute offsets");
static_assert(offsetof(NormalVertex, normal) == 12 && offsetof(NormalVertex, tex_coord) == 24,
              "NormalVertex attribute offsets");

const unsigned int ColorVertex::VRT_DESC = 11;
const unsigned int NormalVertex::VRT_DESC = 13;

}  // namespace vo

#include "game/app/int_to_string.h"

namespace vo {

// std::to_string writes ints the way a default-formatted stream does, and
// never takes a thousands separator from the global locale.
std::string IntToString(int value) { return std::to_string(value); }

}  // namespace vo

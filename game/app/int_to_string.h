#pragma once

#include <string>

namespace vo {

// The decimal text of the value: a minus sign for negatives, no leading
// zeros or spaces.
std::string IntToString(int value);

}  // namespace vo

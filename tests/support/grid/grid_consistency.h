#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mg {
class Grid;
}

namespace mg_test {

// Recomputes every neighbourhood from the elements' vertices and compares it
// with what the grid stores under its options; checks the element lists and
// their sections against the counts, the data indices and attachment sizes
// against the pipes, that every element names only registered elements, that
// no edge exists twice, that vertex hash numbers are unique, and that the
// auto-generate options left no side missing. Returns one line per problem
// (empty when the grid is consistent). Only stored neighbourhoods are read,
// so the check never switches an option on.
std::vector<std::string> GridProblems(mg::Grid& grid);

// GridProblems as a gtest assertion: EXPECT_TRUE(GridIsConsistent(grid)).
::testing::AssertionResult GridIsConsistent(mg::Grid& grid);

}  // namespace mg_test

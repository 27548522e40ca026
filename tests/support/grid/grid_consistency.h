#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mg {
class Grid;
class Selector;
class GridSubsetHandler;
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

// Checks a selector against its grid: for every supported kind the list of
// selected elements holds exactly the grid's elements with a non-zero status,
// once each, sectioned by class with consistent links and counts; the lists
// of other kinds (and of an unbound selector) are empty.
std::vector<std::string> SelectorProblems(mg::Selector& sel);

// Checks a subset handler against its grid: as many lists as descriptions,
// every index of a supported kind in -1 ... num_subsets() - 1, and the lists
// of subset s holding exactly the elements with index s, sectioned by class
// with consistent links and counts; an unbound handler has empty lists.
std::vector<std::string> SubsetHandlerProblems(mg::GridSubsetHandler& sh);

// The grid, and the selector and subset handler when given.
::testing::AssertionResult GridIsConsistent(mg::Grid& grid, mg::Selector* sel,
                                            mg::GridSubsetHandler* sh);

}  // namespace mg_test

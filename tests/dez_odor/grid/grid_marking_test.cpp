// Marking passes.

#include "dez_odor/grid/grid.h"

#include "common/error.h"
#include "support/grid/grid_test_access.h"

#include <gtest/gtest.h>

namespace {

using namespace mg;

TEST(GridMarking, PassesStartAtTwoAndForgetEarlierMarks)
{
    Grid grid(GRIDOPT_LEVEL_MESH);
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    Vertex* c = *grid.create<RegularVertex>();
    Face* f = *grid.create<Triangle>(TriangleDescriptor(a, b, c));
    Edge* e = grid.get_edge(a, b);
    EXPECT_EQ(GridTestAccess::current_mark(grid), 0u);

    grid.begin_marking();
    EXPECT_EQ(GridTestAccess::current_mark(grid), 2u);
    EXPECT_TRUE(grid.is_marking());
    EXPECT_FALSE(grid.is_marked(a));
    grid.mark(a);
    grid.mark(e);
    grid.mark(f);
    EXPECT_TRUE(grid.is_marked(a));
    EXPECT_FALSE(grid.is_marked(b));
    EXPECT_TRUE(grid.is_marked(e));
    EXPECT_TRUE(grid.is_marked(f));
    Vertex* d = *grid.create<RegularVertex>();  // made during the pass: unmarked
    EXPECT_FALSE(grid.is_marked(d));
    grid.end_marking();
    EXPECT_FALSE(grid.is_marking());

    grid.begin_marking();
    EXPECT_FALSE(grid.is_marked(a));
    EXPECT_FALSE(grid.is_marked(e));
    grid.end_marking();
}

TEST(GridMarking, NestedPassThrows)
{
    Grid grid;
    grid.begin_marking();
    try {
        grid.begin_marking();
        FAIL() << "no error";
    } catch (const MGError& err) {
        EXPECT_EQ(err.get_msg(),
                  "ERROR in Grid::begin_marking(): marking is already active. Don't forget to call "
                  "end_marking when you're done with marking.");
        EXPECT_EQ(err.get_file(0), " -- no file -- ");
        EXPECT_EQ(err.get_line(0), 0);
    }
    // still in the first pass
    EXPECT_TRUE(grid.is_marking());
    EXPECT_EQ(GridTestAccess::current_mark(grid), 2u);
    grid.end_marking();
}

TEST(GridMarking, CounterWrapsBeforeTheLastValue)
{
    Grid grid;
    Vertex* a = *grid.create<RegularVertex>();
    Vertex* b = *grid.create<RegularVertex>();
    grid.begin_marking();
    grid.end_marking();

    GridTestAccess::set_current_mark(grid, 0xFFFFFFFDu);
    grid.begin_marking();  // runs with 0xFFFFFFFE
    grid.mark(a);
    grid.end_marking();
    EXPECT_EQ(GridTestAccess::current_mark(grid), 0xFFFFFFFEu);

    grid.begin_marking();  // would be 0xFFFFFFFF: every mark is reset, pass 1
    EXPECT_EQ(GridTestAccess::current_mark(grid), 1u);
    EXPECT_FALSE(grid.is_marked(a));
    grid.mark(b);
    EXPECT_TRUE(grid.is_marked(b));
    grid.end_marking();

    grid.begin_marking();
    EXPECT_EQ(GridTestAccess::current_mark(grid), 2u);
    EXPECT_FALSE(grid.is_marked(b));
    grid.end_marking();
}

}  // namespace

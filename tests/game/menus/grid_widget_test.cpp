#include "game/menus/grid_widget.h"

#include <gtest/gtest.h>

namespace {

using vo::Frame;
using vo::GridWidget;
using vo::Widget;

constexpr int kPlain = vo::WS_VISIBLE | vo::WS_FIXED_SIZE;      // keeps its size, no border
constexpr int kBordered = vo::WS_VISIBLE | vo::WS_BORDER;       // border width 2
constexpr int kCentred = vo::WS_ALIGN_LEFT | vo::WS_ALIGN_RIGHT | vo::WS_ALIGN_TOP | vo::WS_ALIGN_BOTTOM;

// A fixed-size occupant of the given size, created inside the grid.
Widget* Occupant(GridWidget& grid, unsigned row, unsigned column, float width, float height, int flags = 0) {
    auto* w = new Widget(&grid, kPlain | flags);
    w->set_frame(Frame(0, 0, width, height));
    grid.set_widget(w, row, column);
    return w;
}

void ExpectFrame(Frame const& f, float left, float top, float right, float bottom) {
    EXPECT_FLOAT_EQ(f.left(), left);
    EXPECT_FLOAT_EQ(f.top(), top);
    EXPECT_FLOAT_EQ(f.right(), right);
    EXPECT_FLOAT_EQ(f.bottom(), bottom);
}

TEST(GridWidget, ColumnTakesTheWidestOccupantAndNeighboursShareABorderLine) {
    GridWidget grid(nullptr, vo::WS_VISIBLE);  // border 0
    grid.set_horizontal_spacing(10);
    grid.set_vertical_spacing(4);
    Widget* a = Occupant(grid, 0, 0, 40, 20);
    Widget* b = Occupant(grid, 1, 0, 60, 30);
    Widget* c = Occupant(grid, 0, 1, 15, 10);
    grid.adjust_to_content(true);

    ASSERT_EQ(grid.column_widths().size(), 2u);
    EXPECT_FLOAT_EQ(grid.column_widths()[0], 70);
    EXPECT_FLOAT_EQ(grid.column_widths()[1], 25);
    EXPECT_FLOAT_EQ(grid.row_heights()[0], 24);
    EXPECT_FLOAT_EQ(grid.row_heights()[1], 34);
    EXPECT_FLOAT_EQ(grid.column_positions()[1] - grid.column_positions()[0], 69);
    EXPECT_FLOAT_EQ(grid.row_positions()[1], 23);

    // Sizes kept, corners at the cell start plus half the spacings.
    ExpectFrame(a->frame(), 5, 2, 45, 22);
    ExpectFrame(b->frame(), 5, 25, 65, 55);
    ExpectFrame(c->frame(), 74, 2, 89, 12);
    // The grid encloses the last column and row positions.
    ExpectFrame(grid.frame(), 0, 0, 69 + 24, 23 + 33);
}

TEST(GridWidget, EmptyRowsAndColumnsMoveTheLaterOnesBackOneUnitEach) {
    GridWidget grid(nullptr, kBordered);
    Widget* lone = Occupant(grid, 2, 3, 8, 6);
    EXPECT_EQ(grid.num_rows(), 3u);
    EXPECT_EQ(grid.num_columns(), 4u);
    EXPECT_EQ(grid.widget_at(2, 3), lone);
    EXPECT_EQ(grid.widget_at(0, 0), nullptr);
    EXPECT_EQ(grid.widget_at(7, 7), nullptr);

    grid.adjust_to_content(true);
    ExpectFrame(lone->frame(), 2 - 3, 2 - 2, 2 - 3 + 8, 2 - 2 + 6);
    // Inner size: last positions less both borders.
    ExpectFrame(grid.frame(), 0, 0, (2 - 3 + 8 - 1) + 0, (2 - 2 + 6 - 1) + 0);
}

TEST(GridWidget, EmptyGridMeasuresZero) {
    GridWidget grid(nullptr, vo::WS_VISIBLE);
    grid.set_frame(Frame(5, 6, 50, 60));
    grid.adjust_to_content(true);
    ExpectFrame(grid.frame(), 5, 6, 5, 6);
    grid.align_children(true);  // nothing to place, nothing breaks

    GridWidget fixed(nullptr, vo::WS_VISIBLE | vo::WS_FIXED_SIZE);
    fixed.set_frame(Frame(0, 0, 50, 60));
    Occupant(fixed, 0, 0, 10, 10);
    fixed.adjust_to_content(true);
    ExpectFrame(fixed.frame(), 0, 0, 50, 60);
}

TEST(GridWidget, AlignsOccupantsInTheirCellsByTheirFlags) {
    struct Case {
        int flags;
        float left, top;
    };
    // Cell of occupant (1,0): x 5..74 (column 70 wide less half the spacing),
    // y from row 1 start + 2 over 34 - 2. Occupant 20 x 10.
    Case const cases[] = {
        {0, 5, 25},                                                  // keeps the measured corner
        {vo::WS_ALIGN_LEFT | vo::WS_ALIGN_TOP, 5, 25},
        {vo::WS_ALIGN_RIGHT, 5 + 65 - 20, 25},
        {vo::WS_ALIGN_BOTTOM, 5, 25 + 32 - 10},
        {kCentred, 5 + (65 - 20) / 2.0f, 25 + (32 - 10) / 2.0f},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.flags);
        GridWidget grid(nullptr, vo::WS_VISIBLE);
        grid.set_horizontal_spacing(10);
        grid.set_vertical_spacing(4);
        Occupant(grid, 0, 0, 60, 20);
        Occupant(grid, 1, 0, 10, 30);
        Widget* w = Occupant(grid, 1, 0, 20, 10, c.flags);  // replaces the 10 x 30 occupant
        Occupant(grid, 1, 1, 5, 30);
        grid.align_children(true);  // measures first: cells were added
        ExpectFrame(w->frame(), c.left, c.top, c.left + 20, c.top + 10);
    }
}

TEST(GridWidget, AlignmentWorksInPixelsAndIgnoresTheGridsOwnOffset) {
    GridWidget grid(nullptr, vo::WS_VISIBLE);
    Occupant(grid, 0, 0, 40, 20);
    Widget* w = Occupant(grid, 1, 0, 10, 10, kCentred);
    grid.adjust_to_content(true);
    grid.transform(vo::FrameTransform(vo::vector2(2, 2), vo::vector2(300, 100), false));
    grid.align_children(false);
    // Column 0..40, row 1 from 19 over 10: centred at x 15.
    ExpectFrame(w->frame(), 15, 19, 25, 29);
    ExpectFrame(w->transformed_frame(), 30, 38, 50, 58);
}

TEST(GridWidget, VirtualOccupantIsMeasuredButNeverMoved) {
    GridWidget grid(nullptr, vo::WS_VISIBLE);
    auto* overlay = new Widget(&grid, vo::WS_VISIBLE | vo::WS_VIRTUAL | kCentred);
    grid.set_widget(overlay, 0, 1);
    Frame const before = overlay->frame();
    Occupant(grid, 0, 0, 10, 10);
    grid.adjust_to_content(true);
    EXPECT_FLOAT_EQ(grid.column_widths()[1], before.width());
    grid.align_children(true);
    ExpectFrame(overlay->frame(), before.left(), before.top(), before.right(), before.bottom());
}

TEST(GridWidget, ReplacingAnOccupantDestroysTheOldOne) {
    GridWidget grid(nullptr, vo::WS_VISIBLE);
    Occupant(grid, 0, 0, 10, 10);
    Occupant(grid, 0, 1, 10, 10);
    EXPECT_EQ(grid.num_children(), 2u);
    Widget* fresh = new Widget(nullptr, kPlain);  // joins the grid through set_widget
    grid.set_widget(fresh, 0, 0);
    EXPECT_EQ(grid.num_children(), 2u);
    EXPECT_EQ(grid.widget_at(0, 0), fresh);
    EXPECT_EQ(fresh->parent(), &grid);
}

TEST(GridWidget, PuttingTheOccupantIntoItsOwnCellAgainKeepsIt) {
    GridWidget grid(nullptr, vo::WS_VISIBLE);
    Widget* w = Occupant(grid, 1, 1, 10, 10);
    grid.set_widget(w, 1, 1);
    EXPECT_EQ(grid.widget_at(1, 1), w);
    EXPECT_EQ(grid.num_children(), 1u);
    grid.adjust_to_content(true);
    grid.align_children(true);
    EXPECT_FLOAT_EQ(w->frame().width(), 10);
}

TEST(GridWidget, OccupantMovedToAnotherCellLeavesItsOldCell) {
    GridWidget grid(nullptr, vo::WS_VISIBLE);
    Widget* w = Occupant(grid, 0, 0, 10, 10);
    grid.set_widget(w, 2, 1);
    EXPECT_EQ(grid.widget_at(0, 0), nullptr);
    EXPECT_EQ(grid.widget_at(2, 1), w);
    EXPECT_EQ(grid.num_rows(), 3u);  // counts only grow
    Occupant(grid, 2, 1, 5, 5);      // destroys w once; the old cell does not hold it any more
    EXPECT_EQ(grid.num_children(), 1u);
    grid.align_children(true);
}

TEST(GridWidget, OccupantDestroyedElsewhereIsForgotten) {
    GridWidget grid(nullptr, vo::WS_VISIBLE);
    Widget* gone = Occupant(grid, 0, 0, 30, 30);
    Widget* kept = Occupant(grid, 0, 1, 10, 10, vo::WS_ALIGN_LEFT);
    delete gone;
    EXPECT_EQ(grid.widget_at(0, 0), nullptr);
    grid.adjust_to_content(true);
    grid.align_children(true);
    EXPECT_FLOAT_EQ(grid.column_widths()[0], 0);
    EXPECT_FLOAT_EQ(kept->frame().left(), -1);
}

TEST(GridWidget, GridLaysOutAsPartOfItsParentsTree) {
    Widget root(nullptr, vo::WS_VISIBLE);
    auto* grid = new GridWidget(&root, vo::WS_VISIBLE);
    Occupant(*grid, 0, 0, 40, 20);
    Occupant(*grid, 0, 1, 30, 20);
    root.adjust_to_content(true);
    root.align_children(true);
    EXPECT_FLOAT_EQ(grid->frame().width(), 40 - 1 + 30 - 1);
    EXPECT_FLOAT_EQ(grid->widget_at(0, 1)->frame().left(), 39);
}

}  // namespace

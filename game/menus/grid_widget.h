#pragma once

// A layout widget that places its children in a table of cells addressed by
// (row, column). Every row is as tall as its tallest occupant and every column
// as wide as its widest, each plus the spacing; occupants are then aligned in
// their cells by their own alignment bits. The grid draws nothing itself.

#include "engine/widgets/widget.h"

#include <map>
#include <utility>
#include <vector>

namespace vo {

class GridWidget : public Widget {
public:
    GridWidget(Widget* parent, int state);
    ~GridWidget() override;

    void adjust_to_content(bool resize_self) override;
    void align_children(bool recursive) override;

    // Puts child into the cell and makes it a child of the grid. A widget
    // already in that cell is destroyed first; a widget moved here from
    // another cell leaves that cell. No layout happens here.
    virtual void set_widget(Widget* child, unsigned row, unsigned column);

    // The cell's widget, or null for a cell never filled.
    Widget* widget_at(unsigned row, unsigned column) const;

    // One more than the largest row and column index ever filled.
    unsigned num_rows() const { return num_rows_; }
    unsigned num_columns() const { return num_columns_; }

    // Added to every occupant's width (the gap between columns) and height
    // (the gap between rows) when the grid is measured.
    void set_horizontal_spacing(float spacing) { horizontal_spacing_ = spacing; }
    void set_vertical_spacing(float spacing) { vertical_spacing_ = spacing; }
    float horizontal_spacing() const { return horizontal_spacing_; }
    float vertical_spacing() const { return vertical_spacing_; }

    // The measurements of the last adjust_to_content: sizes per row and
    // column, and the start of each row and column (one entry more than
    // there are rows or columns) in the occupants' frame coordinates.
    std::vector<float> const& row_heights() const { return row_heights_; }
    std::vector<float> const& column_widths() const { return column_widths_; }
    std::vector<float> const& row_positions() const { return row_positions_; }
    std::vector<float> const& column_positions() const { return column_positions_; }

private:
    using CellKey = std::pair<unsigned, unsigned>;  // (row, column)

    bool is_child(Widget const* widget) const;
    // Forgets cells whose widget has left the grid (destroyed or moved to
    // another parent), so that no pass touches a widget the grid lost.
    void forget_lost_cells();

    std::map<CellKey, Widget*> cells_;
    unsigned num_rows_ = 0;
    unsigned num_columns_ = 0;
    float horizontal_spacing_ = 0.0f;
    float vertical_spacing_ = 0.0f;
    std::vector<float> row_heights_;
    std::vector<float> column_widths_;
    std::vector<float> row_positions_;
    std::vector<float> column_positions_;
};

}  // namespace vo

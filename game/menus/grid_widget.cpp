#include "game/menus/grid_widget.h"

#include <algorithm>

namespace vo {

GridWidget::GridWidget(Widget* parent, int state) : Widget(parent, state) {}

GridWidget::~GridWidget() = default;

bool GridWidget::is_child(Widget const* widget) const {
    for (unsigned i = 0; i < num_children(); ++i) {
        if (child(i) == widget) return true;
    }
    return false;
}

void GridWidget::forget_lost_cells() {
    for (auto it = cells_.begin(); it != cells_.end();) {
        if (is_child(it->second)) {
            ++it;
        } else {
            it = cells_.erase(it);
        }
    }
}

void GridWidget::set_widget(Widget* child, unsigned row, unsigned column) {
    if (!child) return;
    forget_lost_cells();
    CellKey const key(row, column);
    auto found = cells_.find(key);
    if (found != cells_.end() && found->second != child) {
        // The old occupant's destructor takes it out of the grid's children.
        Widget* old = found->second;
        cells_.erase(found);
        delete old;
    }
    // A widget lives in one cell only.
    for (auto it = cells_.begin(); it != cells_.end();) {
        if (it->second == child && it->first != key) {
            it = cells_.erase(it);
        } else {
            ++it;
        }
    }
    add_child(child);
    cells_[key] = child;
    num_rows_ = std::max(num_rows_, row + 1);
    num_columns_ = std::max(num_columns_, column + 1);
}

Widget* GridWidget::widget_at(unsigned row, unsigned column) const {
    auto found = cells_.find(CellKey(row, column));
    if (found == cells_.end() || !is_child(found->second)) return nullptr;
    return found->second;
}

void GridWidget::adjust_to_content(bool resize_self) {
    forget_lost_cells();
    row_heights_.assign(num_rows_, 0.0f);
    column_widths_.assign(num_columns_, 0.0f);

    for (auto const& cell : cells_) {
        Widget* occupant = cell.second;
        occupant->adjust_to_content(true);
        Frame const f = occupant->frame();
        float& height = row_heights_[cell.first.first];
        float& width = column_widths_[cell.first.second];
        height = std::max(height, f.height() + vertical_spacing_);
        width = std::max(width, f.width() + horizontal_spacing_);
    }

    // Each row and column advances by its size less one unit, so that
    // neighbouring cells share their border line.
    float const b = border_width();
    row_positions_.assign(num_rows_ + 1, b);
    for (unsigned i = 1; i <= num_rows_; ++i) row_positions_[i] = row_positions_[i - 1] + row_heights_[i - 1] - 1.0f;
    column_positions_.assign(num_columns_ + 1, b);
    for (unsigned i = 1; i <= num_columns_; ++i) {
        column_positions_[i] = column_positions_[i - 1] + column_widths_[i - 1] - 1.0f;
    }

    for (auto const& cell : cells_) {
        Widget* occupant = cell.second;
        Frame const f = occupant->frame();
        float const left = column_positions_[cell.first.second] + horizontal_spacing_ / 2.0f;
        float const top = row_positions_[cell.first.first] + vertical_spacing_ / 2.0f;
        occupant->set_frame(Frame(left, top, left + f.width(), top + f.height()));
    }

    if (resize_self && !(state() & WS_FIXED_SIZE)) {
        set_inner_frame_dimensions(column_positions_[num_columns_] - 2.0f * b, row_positions_[num_rows_] - 2.0f * b);
    }
}

void GridWidget::align_children(bool recursive) {
    forget_lost_cells();
    if (row_heights_.size() != num_rows_ || column_widths_.size() != num_columns_) adjust_to_content(true);

    for (auto const& cell : cells_) {
        Widget* occupant = cell.second;
        if (occupant->is_virtual()) continue;
        if (recursive) occupant->align_children(true);

        unsigned const row = cell.first.first;
        unsigned const column = cell.first.second;
        double const left = static_cast<double>(column_positions_[column]) + horizontal_spacing_ / 2.0;
        double const top = static_cast<double>(row_positions_[row]) + vertical_spacing_ / 2.0;
        double const right = left + column_widths_[column] - horizontal_spacing_ / 2.0;
        double const bottom = top + row_heights_[row] - vertical_spacing_ / 2.0;
        // Mapped to pixels with the occupant's own transform, the one that
        // set_transformed_frame below undoes.
        Frame const box = occupant->transform() * Frame(static_cast<float>(left), static_cast<float>(top),
                                                        static_cast<float>(right), static_cast<float>(bottom));

        Frame const current = occupant->transformed_frame();
        float const width = current.width();
        float const height = current.height();
        int const s = occupant->state();

        float x = current.left();
        bool const align_left = (s & WS_ALIGN_LEFT) != 0;
        bool const align_right = (s & WS_ALIGN_RIGHT) != 0;
        if (align_left && align_right) {
            x = box.left() + (box.width() - width) / 2.0f;
        } else if (align_left) {
            x = box.left();
        } else if (align_right) {
            x = box.left() + box.width() - width;
        }

        float y = current.top();
        bool const align_top = (s & WS_ALIGN_TOP) != 0;
        bool const align_bottom = (s & WS_ALIGN_BOTTOM) != 0;
        if (align_top && align_bottom) {
            y = box.top() + (box.height() - height) / 2.0f;
        } else if (align_top) {
            y = box.top();
        } else if (align_bottom) {
            y = box.top() + box.height() - height;
        }

        occupant->set_transformed_frame(Frame(x, y, x + width, y + height));
        occupant->align_children(true);
    }
}

}  // namespace vo

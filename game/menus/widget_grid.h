#pragma once

// A widget holding a table of widgets of one kind (the main menu's character
// buttons), laid out by a grid widget inside it.

#include "engine/widgets/widget.h"
#include "game/menus/grid_widget.h"

namespace vo {

template <class T>
class WidgetGrid : public Widget {
public:
    WidgetGrid(Widget* parent, int state) : Widget(parent, state) {}
    // The grid and its cells go with the children.
    ~WidgetGrid() override = default;

    // Makes the inner grid and fills rows x columns cells, row by row, with
    // new centred widgets. Unless keep_accepts_keys is set, neither the grid
    // nor its cells take keys coming up from the focused widget.
    void create_grid(unsigned rows, unsigned columns, bool keep_accepts_keys) {
        grid_ = new GridWidget(this, WS_DEFAULT_STATE);
        grid_->enable_state(WS_TRANSPARENT);
        grid_->disable_state(WS_ACCEPTS_KEYS);
        for (unsigned r = 0; r < rows; ++r) {
            for (unsigned c = 0; c < columns; ++c) {
                T* cell = new T(grid_, WS_DEFAULT_STATE);
                if (!keep_accepts_keys) cell->disable_state(WS_ACCEPTS_KEYS);
                cell->enable_state(WS_ALIGN_LEFT | WS_ALIGN_TOP | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM);
                grid_->set_widget(cell, r, c);
            }
        }
    }

    // Null until create_grid.
    GridWidget* grid() const { return grid_; }
    // The widget in the cell, or null.
    T* at(unsigned row, unsigned column) const {
        return grid_ ? static_cast<T*>(grid_->widget_at(row, column)) : nullptr;
    }

private:
    GridWidget* grid_ = nullptr;
};

}  // namespace vo

#pragma once

// The body of the instructions and the credits: an opaque full-window
// background with a centred panel of text lines, one per row, and an "Ok"
// button below them. Sizes and colours come from the "credits" group of the
// menu configuration. "Ok" or a release of Escape closes the screen.

#include "engine/core/color.h"
#include "game/menus/menu_screen.h"

namespace vo {

class ButtonWidget;
class GridWidget;

class TextPanelScreen : public MenuScreen {
public:
    // The lines of a panel: big or small text, centred or aligned left.
    struct Line {
        const char* text;
        bool big;
        bool centred;
    };

    void draw() override;
    bool is_opaque() override;
    // Opens the screen again.
    void activate(IScreen* previous) override;
    // Maps the tree with transform and lays it out again.
    void transform(FrameTransform const& transform) override;

    void ok_clicked(Widget* sender);

    Widget* text_panel() const { return text_panel_; }
    GridWidget* text_grid() const { return text_grid_; }
    ButtonWidget* ok_button() const { return ok_button_; }
    float big_text_height() const { return big_text_height_; }
    Color const& big_text_color() const { return big_text_color_; }
    float small_text_height() const { return small_text_height_; }
    Color const& small_text_color() const { return small_text_color_; }

protected:
    // Builds the tree with the lines in order and lays it out for the menu
    // transform. A missing "credits" key throws the menu configuration's
    // error.
    TextPanelScreen(Line const* lines, unsigned count);

    // Appends one text line in the next row.
    void add_line(const char* text, float height, Color colour, int state);

private:
    Widget* text_panel_ = nullptr;
    GridWidget* text_grid_ = nullptr;
    ButtonWidget* ok_button_ = nullptr;
    float big_text_height_ = 0.0f;
    Color big_text_color_;
    float small_text_height_ = 0.0f;
    Color small_text_color_;
};

}  // namespace vo

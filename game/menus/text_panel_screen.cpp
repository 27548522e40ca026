#include "game/menus/text_panel_screen.h"

#include "engine/core/frame.h"
#include "engine/core/frame_transform.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"
#include "game/menus/menu_screen_helpers.h"

#include <boost/signals2/connection.hpp>

namespace vo {

namespace {

constexpr int kPanelState = 0xbc6;  // visible, enabled, centred, background, border

}  // namespace

TextPanelScreen::TextPanelScreen(Line const* lines, unsigned count) {
    const Color screen_background = MenuColor("credits.screenBackground");
    const Color text_background = MenuColor("credits.textBackground");
    const Frame reference = MenuReferenceFrame();

    auto* root = new Widget(nullptr, kMenuBackgroundState);
    set_tree(root);
    root->set_color("background", screen_background);
    root->set_frame(reference);

    text_panel_ = new Widget(root, kPanelState);
    text_panel_->set_color("background", text_background);

    text_grid_ = new GridWidget(text_panel_, WS_DEFAULT_STATE);
    text_grid_->enable_state(kCentred);
    text_grid_->disable_state(kNoBackgroundOrBorder);
    text_grid_->set_horizontal_spacing(MenuFloat("credits", "hspacer"));
    text_grid_->set_vertical_spacing(MenuFloat("credits", "vspacer"));

    small_text_height_ = MenuFloat("credits.smallTextHeight");
    small_text_color_ = MenuColor("credits.smallTextColor");
    big_text_height_ = MenuFloat("credits.bigTextHeight");
    big_text_color_ = MenuColor("credits.bigTextColor");

    for (unsigned i = 0; i < count; ++i) {
        Line const& line = lines[i];
        add_line(line.text, line.big ? big_text_height_ : small_text_height_,
                 line.big ? big_text_color_ : small_text_color_, line.centred ? kCentred : WS_ALIGN_LEFT);
    }

    ok_button_ = CreateMenuButton(text_grid_, "Ok", kMenuButtonState);
    ok_button_->connect_on_click(this, &TextPanelScreen::ok_clicked);
    text_grid_->set_widget(ok_button_, text_grid_->num_rows(), 0);

    // The root keeps its frame and the panel shrinks to the grid; then the
    // panel spans the whole height, with one big text height of margin on
    // either side of the text, centred.
    root->adjust_to_content(true);
    const double k = (static_cast<double>(text_panel_->frame().width()) + 2.0 * big_text_height_) /
                     static_cast<double>(reference.width());
    Frame panel_frame = reference;
    panel_frame.scale(static_cast<float>(k), 1.0f, 0.5f, 0.5f);
    text_panel_->enable_state(WS_FIXED_SIZE);
    text_panel_->set_frame(panel_frame);

    root->transform(MenuTransform());
    root->align_children(true);
}

void TextPanelScreen::add_line(const char* text, float height, Color colour, int state) {
    auto* line = new TextWidget(text_grid_, WS_DEFAULT_STATE);
    line->enable_state(state);
    line->disable_state(kNoBackgroundOrBorder);
    line->set_text_color(colour);
    line->set_text_height(height);
    line->set_text(text);
    text_grid_->set_widget(line, text_grid_->num_rows(), 0);
}

void TextPanelScreen::draw() { DrawMenuOnBlack(tree()); }

bool TextPanelScreen::is_opaque() { return true; }

void TextPanelScreen::activate(IScreen*) { finished = false; }

void TextPanelScreen::transform(FrameTransform const& transform) { transform_and_align(transform); }

void TextPanelScreen::ok_clicked(Widget*) { finished = true; }

}  // namespace vo

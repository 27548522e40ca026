#include "game/menus/text_panel_screen.h"

#include "engine/core/frame.h"
#include "engine/core/frame_transform.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"

#include <boost/signals2/connection.hpp>
#include "game/menus/menu_screen_helpers.h"

namespace vo {

namespace {

constexpr int kRootState = WS_VISIBLE | WS_ENABLED | WS_FIXED_SIZE | WS_BACKGROUND;  // 0x826
constexpr int kPanelState = 0xbc6;  // visible, enabled, centred, background, border
constexpr int kCentred = WS_ALIGN_LEFT | WS_ALIGN_TOP | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM;  // 0x3c0
constexpr int kNoFrame = WS_BACKGROUND | WS_BORDER;                                       // 0x1800
constexpr int kButtonState = 0x1bc6;

}  // namespace

TextPanelScreen::TextPanelScreen(Line const* lines, unsigned count) {
    const Color screen_background = MenuColor("credits.screenBackground");
    const Color text_background = MenuColor("credits.textBackground");
    const Frame reference = MenuReferenceFrame();

    root_ = new Widget(nullptr, kRootState);
    try {
        root_->set_color("background", screen_background);
        root_->set_frame(reference);

        text_panel_ = new Widget(root_, kPanelState);
        text_panel_->set_color("background", text_background);

        text_grid_ = new GridWidget(text_panel_, WS_DEFAULT_STATE);
        text_grid_->enable_state(kCentred);
        text_grid_->disable_state(kNoFrame);
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

        ok_button_ = CreateMenuButton(text_grid_, "Ok", kButtonState);
        ok_button_->connect_on_click(this, &TextPanelScreen::ok_clicked);
        text_grid_->set_widget(ok_button_, text_grid_->num_rows(), 0);

        // The root keeps its frame and the panel shrinks to the grid; then
        // the panel spans the whole height, with one big text height of
        // margin on either side of the text, centred.
        root_->adjust_to_content(true);
        const double k = (static_cast<double>(text_panel_->frame().width()) + 2.0 * big_text_height_) /
                         static_cast<double>(reference.width());
        Frame panel_frame = reference;
        panel_frame.scale(static_cast<float>(k), 1.0f, 0.5f, 0.5f);
        text_panel_->enable_state(WS_FIXED_SIZE);
        text_panel_->set_frame(panel_frame);

        root_->transform(MenuTransform());
        root_->align_children(true);
    } catch (...) {
        delete root_;
        throw;
    }
    set_root_widget(root_);
}

TextPanelScreen::~TextPanelScreen() { delete root_; }

void TextPanelScreen::add_line(const char* text, float height, Color colour, int state) {
    auto* line = new TextWidget(text_grid_, WS_DEFAULT_STATE);
    line->enable_state(state);
    line->disable_state(kNoFrame);
    line->set_text_color(colour);
    line->set_text_height(height);
    line->set_text(text);
    text_grid_->set_widget(line, text_grid_->num_rows(), 0);
}

bool TextPanelScreen::update(double) { return !finished_; }

void TextPanelScreen::draw() { DrawMenuOnBlack(root_); }

bool TextPanelScreen::is_opaque() { return true; }

bool TextPanelScreen::process_key_event(KeyEvent const& event) {
    if (IsEscapeRelease(event)) {
        finished_ = true;
        return true;
    }
    return IScreen::process_key_event(event);
}

void TextPanelScreen::activate(IScreen*) { finished_ = false; }

void TextPanelScreen::transform(FrameTransform const& transform) {
    root_->transform(transform);
    root_->align_children(true);
}

void TextPanelScreen::ok_clicked(Widget*) { finished_ = true; }

}  // namespace vo

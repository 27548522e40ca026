#include "engine/widgets/button_widget.h"

#include "engine/core/resources.h"
#include "engine/visuals/font.h"
#include "engine/widgets/widget_style.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"
#include "support/engine/block_font_suite.h"
#include "support/engine/text_fixtures.h"

#include <boost/signals2/connection.hpp>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vo {
namespace {

// Reads what the layout did.
class ProbeButton : public ButtonWidget {
public:
    using ButtonWidget::ButtonWidget;
    Frame image_frame() const { return image_.dest_frame; }
    vector3 text_position() const { return text_.position(); }
    Frame text_frame() const { return text_.content_frame(); }
    Color text_color() const { return text_.color(); }
    void send(MouseEvents type) { mouse_event(MouseEvent(type, MOUSE_BUTTON_LEFT, 1, 0.0f, 0.0f)); }
};

// Counts signals by kind.
struct Recorder {
    std::vector<std::string> calls;
    void down(Widget*) { calls.push_back("down"); }
    void click(Widget*) { calls.push_back("click"); }
};

bool SameColor(Color const& a, Color const& b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

class ButtonTest : public vo_test::BlockFontSuite {};

TEST_F(ButtonTest, SizeOfATextOnly) {
    ProbeButton button;
    button.set_font(font());
    button.set_text("abc");
    EXPECT_EQ(button.text(), "abc");
    EXPECT_EQ(button.text_height(), 20.0f);
    EXPECT_EQ(button.estimate_width(), 38.0f);
    EXPECT_EQ(button.estimate_height(), 28.0f);

    button.adjust_to_content(true);
    EXPECT_EQ(button.frame().width(), 38.0f);
    EXPECT_EQ(button.frame().height(), 28.0f);
    // The text sits in the middle of the inner frame (2, 2)-(36, 26).
    EXPECT_EQ(button.text_frame().left(), 4.0f);
    EXPECT_EQ(button.text_frame().top(), 4.0f);
}

TEST_F(ButtonTest, ImageBesideOrUnderTheText) {
    ProbeButton button;
    button.set_font(font());
    button.set_text("abcd");  // 40 x 20
    button.set_image(Image(SmartPtr<Texture>(), Frame(0, 0, 32, 32), Frame(0, 0, 1, 1), Color(1, 1, 1, 1)));
    // Content (-2, -2)-(76, 34): 78 x 36.
    EXPECT_EQ(button.estimate_width(), 82.0f);
    EXPECT_EQ(button.estimate_height(), 40.0f);
    // The text starts 2 units right of the image, centred on it vertically.
    EXPECT_EQ(button.text_position().x - button.image_frame().left(), 34.0f);
    EXPECT_EQ(button.text_position().y - button.image_frame().top(), 6.0f);
    EXPECT_EQ(button.image_frame().width(), 32.0f);

    button.set_text_overlays_image(true);
    button.set_text("abcd");
    EXPECT_EQ(button.estimate_width(), 48.0f);  // content 44 x 36
    EXPECT_EQ(button.estimate_height(), 40.0f);
    EXPECT_EQ(button.text_position().x - button.image_frame().left(), -4.0f);
    EXPECT_EQ(button.text_position().y - button.image_frame().top(), 6.0f);
}

TEST_F(ButtonTest, PressedContentSitsLower) {
    // Under a parent whose child transform doubles everything.
    Widget root;
    root.set_frame(Frame(0, 0, 200, 100));
    root.transform(FrameTransform(vector2(2, 2), vector2(0, 0), false));
    ProbeButton* button = new ProbeButton(&root);
    button->set_frame(Frame(10, 10, 90, 50));
    button->set_font(font());
    button->set_text("ab");
    button->set_image(Image(SmartPtr<Texture>(), Frame(0, 0, 16, 16), Frame(0, 0, 1, 1), Color(1, 1, 1, 1)));
    EXPECT_EQ(button->text_height(), 40.0f);
    const vector3 text = button->text_position();
    const Frame image = button->image_frame();

    button->press();
    EXPECT_TRUE(button->is_pressed());
    EXPECT_EQ(button->text_position().y, text.y + 4.0f);
    EXPECT_EQ(button->text_position().x, text.x);
    EXPECT_EQ(button->image_frame().top(), image.top() + 4.0f);
    EXPECT_TRUE(SameColor(button->get_color("background"), Color(0.6f, 0.6f, 0.6f, 1.0f)));

    button->unpress();
    EXPECT_EQ(button->text_position().y, text.y);
    EXPECT_EQ(button->image_frame().top(), image.top());
    EXPECT_TRUE(SameColor(button->get_color("background"), Color(1, 1, 1, 1)));
}

TEST_F(ButtonTest, PushButtonFollowsTheMouse) {
    ProbeButton button;
    Recorder recorder;
    button.connect_on_mouse_down(&recorder, &Recorder::down);
    button.connect_on_click(&recorder, &Recorder::click);
    button.send(MOUSE_PRESSED);
    EXPECT_TRUE(button.is_pressed());
    EXPECT_FALSE(button.is_checked());
    button.send(MOUSE_RELEASED);
    EXPECT_FALSE(button.is_pressed());
    button.send(MOUSE_CLICKED);
    button.send(MOUSE_MOVED);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"down", "click"}));
}

TEST_F(ButtonTest, ExclusiveCheckableButtonsActAsARadioGroup) {
    Widget parent;
    new Widget(&parent);  // not a button: left alone
    ProbeButton* buttons[3];
    Recorder recorder;
    for (ProbeButton*& b : buttons) {
        b = new ProbeButton(&parent);
        b->set_checkable(true);
        b->set_exclusive(true);
        b->set_uncheckable(false);
        b->connect_on_mouse_down(&recorder, &Recorder::down);
    }
    buttons[0]->send(MOUSE_PRESSED);
    buttons[0]->send(MOUSE_RELEASED);
    buttons[1]->send(MOUSE_PRESSED);
    buttons[1]->send(MOUSE_RELEASED);
    EXPECT_FALSE(buttons[0]->is_pressed());
    EXPECT_TRUE(buttons[1]->is_checked());
    EXPECT_FALSE(buttons[2]->is_pressed());
    EXPECT_TRUE(SameColor(buttons[0]->get_color("background"), Color(1, 1, 1, 1)));

    // Pressing the checked button again keeps it checked.
    buttons[1]->send(MOUSE_PRESSED);
    EXPECT_TRUE(buttons[1]->is_checked());
    EXPECT_EQ(recorder.calls.size(), 3u);

    // An uncheckable one is released by a second press.
    buttons[1]->set_uncheckable(true);
    buttons[1]->send(MOUSE_PRESSED);
    EXPECT_FALSE(buttons[1]->is_pressed());

    // press() from code releases the siblings too.
    buttons[2]->press();
    buttons[0]->press();
    EXPECT_FALSE(buttons[2]->is_pressed());

    // No longer checkable: unpressed, "default" again.
    buttons[0]->set_checkable(false);
    EXPECT_FALSE(buttons[0]->is_pressed());
    EXPECT_TRUE(SameColor(buttons[0]->get_color("background"), Color(1, 1, 1, 1)));
}

TEST_F(ButtonTest, DisabledButtonAlwaysShowsDisabled) {
    ProbeButton button(nullptr, WS_VISIBLE | WS_BACKGROUND | WS_BORDER);
    const Color disabled(0.7f, 0.7f, 0.7f, 0.9f);
    EXPECT_TRUE(SameColor(button.get_color("background"), disabled));
    button.press();
    EXPECT_TRUE(SameColor(button.get_color("background"), disabled));
    button.unpress();
    EXPECT_TRUE(SameColor(button.get_color("background"), disabled));
    button.enable_state(WS_ENABLED);
    EXPECT_TRUE(SameColor(button.get_color("background"), Color(1, 1, 1, 1)));
}

TEST_F(ButtonTest, TextColourComesFromStyles) {
    ProbeButton button;
    // The first button gave the default map its "pressed" style.
    SmartPtr<WidgetStyleMap> map = DefaultStyleMap()->clone();
    ASSERT_TRUE(map->get_if_available("pressed"));
    map->get("default").colors()["textColor"] = Color(1, 0, 0, 1);
    map->get("pressed").colors()["textColor"] = Color(0, 0, 1, 1);
    EXPECT_TRUE(SameColor(button.text_color(), Color(0, 0, 0, 1)));
    button.set_style_map(map);
    EXPECT_TRUE(SameColor(button.get_color("textColor"), Color(1, 0, 0, 1)));
    EXPECT_TRUE(SameColor(button.text_color(), Color(1, 0, 0, 1)));
    button.press();
    EXPECT_TRUE(SameColor(button.text_color(), Color(0, 0, 1, 1)));
    button.set_text_color(Color(0, 1, 0, 1));
    EXPECT_TRUE(SameColor(button.text_color(), Color(0, 1, 0, 1)));
}

TEST_F(ButtonTest, MaximumTextWidthWaitsForTheNextLayout) {
    ProbeButton button;
    button.set_font(font());
    button.set_text("aaa bbb");
    button.adjust_to_content(true);
    const vector3 before = button.text_position();
    button.set_max_text_width(35.0f);
    EXPECT_EQ(button.max_text_width(), 35.0f);
    EXPECT_EQ(button.text_position().y, before.y);
    button.set_frame(button.frame());
    EXPECT_LT(button.text_position().y, before.y);  // two lines now, centred higher
}

}  // namespace
}  // namespace vo

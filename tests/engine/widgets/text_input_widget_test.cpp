#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"

#include "engine/core/resources.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/font.h"
#include "engine/widgets/widget_style.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"
#include "support/engine/block_font_suite.h"
#include "support/engine/text_fixtures.h"

#include <boost/signals2/connection.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

namespace vo {
namespace {

template <class Base>
class Probe : public Base {
public:
    using Base::Base;
    Frame text_frame() { return this->local_text_frame(); }
};
using ProbeText = Probe<TextWidget>;
using ProbeInput = Probe<InputWidget>;

bool SameColor(Color const& a, Color const& b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

class TextWidgets : public vo_test::BlockFontSuite {};

struct AlignCase {
    unsigned alignment;
    float x, y;
};

TEST_F(TextWidgets, AlignmentInsideTheInnerFrame) {
    ProbeText widget;
    widget.set_font(font());
    widget.set_text("abc");
    widget.set_frame(Frame(0, 0, 104, 54));  // inner (2, 2)-(102, 52)
    const AlignCase cases[] = {
        {0x3C0, 38, 18},  // centred both ways, plus one pixel
        {0x300, 73, 33},  // lower right corner
        {0x000, 3, 3},    // upper left corner
        {0x040, 3, 3},    // left and top alone change nothing
        {0x080, 3, 3},
        {0x100, 73, 3},
        {0x280, 3, 18},
    };
    for (const AlignCase& c : cases) {
        widget.set_text_align(c.alignment);
        const Frame f = widget.text_frame();
        EXPECT_EQ(f.left(), c.x) << std::hex << c.alignment;
        EXPECT_EQ(f.top(), c.y) << std::hex << c.alignment;
        EXPECT_EQ(f.width(), 30.0f);
        EXPECT_EQ(f.height(), 20.0f);
    }
    EXPECT_STREQ(widget.text(), "abc");
    EXPECT_EQ(widget.font(), font());
}

TEST_F(TextWidgets, FixedSizeWidgetsWrapAtTheirInnerWidth) {
    ProbeText widget(nullptr, WS_DEFAULT_STATE | WS_FIXED_SIZE);
    widget.set_font(font());
    widget.set_frame(Frame(0, 0, 104, 54));
    widget.set_text("aaaaa bbbbb ccccc");
    EXPECT_EQ(widget.max_width(), 100.0f);
    widget.set_max_width(60.0f);
    EXPECT_EQ(widget.max_width(), 60.0f);
    widget.set_max_width(150.0f);
    EXPECT_EQ(widget.max_width(), 100.0f);
    widget.set_max_width(0.0f);
    EXPECT_EQ(widget.max_width(), 100.0f);
    EXPECT_GT(widget.text_frame().height(), 40.0f);  // three lines
}

TEST_F(TextWidgets, SizeFromTheText) {
    ProbeText widget;
    widget.set_font(font());
    widget.set_text("abc");
    EXPECT_EQ(widget.estimate_width(), 36.0f);
    EXPECT_EQ(widget.estimate_height(), 26.0f);
    widget.set_frame(Frame(5, 6, 7, 8));
    widget.adjust_to_content(true);
    EXPECT_EQ(widget.frame().left(), 5.0f);
    EXPECT_EQ(widget.frame().width(), 36.0f);
    EXPECT_EQ(widget.frame().height(), 26.0f);

    // In a tree scaled by 2 the text height doubles in pixels.
    Widget root;
    root.set_frame(Frame(0, 0, 100, 100));
    root.transform(FrameTransform(vector2(2, 2), vector2(0, 0), false));
    ProbeText* child = new ProbeText(&root);
    child->set_font(font());
    child->set_text_height(15.0f);
    EXPECT_EQ(child->text_height(), 30.0f);
    child->set_text("ab");
    // 30 x 30 pixels, plus one pixel each side, are 16 x 16 units.
    EXPECT_EQ(child->estimate_width(), 16.0f + 4.0f);
    EXPECT_EQ(child->estimate_height(), 16.0f + 4.0f);
}

TEST_F(TextWidgets, StylesDoNotRecolourTheText) {
    ProbeText widget;
    SmartPtr<WidgetStyleMap> map = DefaultStyleMap()->clone();
    map->get("default").colors()["textColor"] = Color(1, 0, 0, 1);
    widget.set_style_map(map);
    EXPECT_TRUE(SameColor(widget.get_color("textColor"), Color(1, 0, 0, 1)));
    EXPECT_TRUE(SameColor(widget.color(), Color(0, 0, 0, 1)));
    widget.set_text_color(Color(0, 1, 0, 1));
    EXPECT_TRUE(SameColor(widget.color(), Color(0, 1, 0, 1)));
}

// Typing ------------------------------------------------------------------

struct Values {
    std::vector<std::string> seen;
    void changed(Widget*, const char* value) { seen.push_back(value); }
};

class Typing : public TextWidgets {
protected:
    void SetUp() override {
        root_.set_frame(Frame(0, 0, 300, 100));
        input_ = new ProbeInput(&root_, WS_DEFAULT_STATE);
        input_->set_font(font());
        input_->connect_on_value_changed(&values_, &Values::changed);
        input_->set_focus();
    }

    void key(KeyCode code, bool shifted = false, KeyEvents type = KEY_PRESSED) {
        EXPECT_TRUE(root_.process_key_event(KeyEvent(type, code, shifted)));
    }

    Widget root_;
    ProbeInput* input_ = nullptr;
    Values values_;
};

TEST_F(Typing, KeysTypeTheirCharacters) {
    EXPECT_TRUE(input_->state_is_enabled(WS_ACCEPTS_KEYS));
    key(KEY_A);
    key(KEY_B);
    EXPECT_STREQ(input_->text(), "ab");
    EXPECT_EQ(values_.seen, (std::vector<std::string>{"a", "ab"}));

    key(KEY_A, true);     // A
    key(KEY_1, true);     // nothing, but the signal still comes
    key(KEY_1);           // 1
    key(KEY_SPACE, true);  // nothing
    key(KEY_SPACE);       // a blank
    key(KEY_B, false, KEY_RELEASED);  // releases change nothing
    EXPECT_STREQ(input_->text(), "abA1 ");
    EXPECT_EQ(values_.seen, (std::vector<std::string>{"a", "ab", "abA", "abA", "abA1", "abA1", "abA1 "}));
    // The shown text follows the value.
    EXPECT_EQ(input_->text_frame().width(), 50.0f);

    values_.seen.clear();
    for (int i = 0; i < 6; ++i) key(KEY_BACKSPACE);
    EXPECT_STREQ(input_->text(), "");
    EXPECT_EQ(values_.seen, (std::vector<std::string>{"abA1", "abA", "ab", "a", "", ""}));
}

TEST_F(Typing, LengthLimit) {
    input_->set_max_string_length(3);
    key(KEY_A);
    key(KEY_B);
    key(KEY_C);
    values_.seen.clear();
    key(KEY_D);  // ignored entirely
    key(KEY_ESCAPE);
    EXPECT_STREQ(input_->text(), "abc");
    EXPECT_TRUE(values_.seen.empty());
    key(KEY_BACKSPACE);
    EXPECT_STREQ(input_->text(), "ab");

    input_->set_max_string_length(-1);
    key(KEY_C);
    values_.seen.clear();
    input_->set_max_string_length(2);
    EXPECT_STREQ(input_->text(), "ab");
    EXPECT_EQ(values_.seen, (std::vector<std::string>{"ab"}));
    input_->set_max_string_length(3);
    input_->set_text("hello");
    EXPECT_STREQ(input_->text(), "hel");
    EXPECT_EQ(values_.seen.back(), "hel");
}

TEST_F(Typing, SizeEstimates) {
    EXPECT_EQ(input_->text_height(), 20.0f);
    EXPECT_EQ(input_->estimate_width(), 174.0f);
    EXPECT_EQ(input_->estimate_height(), 34.0f);
    input_->set_max_string_length(10);
    EXPECT_EQ(input_->estimate_width(), 104.0f);
    input_->adjust_to_content(true);
    EXPECT_EQ(input_->frame().width(), 104.0f);
    EXPECT_EQ(input_->frame().height(), 34.0f);

    // A fixed-size input adjusts nothing, not even its children.
    InputWidget fixed(nullptr, WS_DEFAULT_STATE | WS_FIXED_SIZE);
    fixed.set_frame(Frame(0, 0, 50, 50));
    Widget* child = new Widget(&fixed);
    child->set_frame(Frame(0, 0, 30, 30));
    fixed.adjust_to_content(true);
    EXPECT_EQ(fixed.frame().width(), 50.0f);
    EXPECT_EQ(child->frame().width(), 30.0f);
}

// The cursor blinks behind the text while the field has the focus.
class Cursor : public TextWidgets {
protected:
    // Waits until the fractional part of the engine time lies in [low, high).
    static void wait_for_phase(float low, float high) {
        Engine& engine = Engine::instance();
        for (int i = 0; i < 400; ++i) {
            const float t = engine.time();
            const float phase = t - std::floor(t);
            if (phase >= low && phase < high) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        FAIL() << "engine time never reached the phase";
    }

    // Draws the field and reads the pixel in the middle of where its cursor
    // would be.
    vo_test::Rgba cursor_pixel(vo_test::TestWindow& window, ProbeInput& input) {
        Engine& engine = window.engine();
        engine.set_clear_color(Color(0, 0, 0, 1));
        engine.clear();
        window.use_pixel_coordinates();
        engine.set_state(STATE_TEXTURING, true);
        engine.set_state(STATE_BLENDING, true);
        engine.set_blend_mode(BLEND_ALPHA);
        input.draw();
        const Frame f = input.text_frame();
        const float sx = 200.0f / 199.0f;  // the widget's projection spans width - 1
        const float sy = 40.0f / 39.0f;
        return window.pixel(static_cast<int>(10 + (f.right() + 4.0f) * sx),
                            static_cast<int>(10 + (f.bottom() - 1.5f) * sy));
    }
};

TEST_F(Cursor, BlinksOnlyWithFocus) {
    vo_test::TestWindow window(240, 80);
    ProbeInput input(nullptr, WS_DEFAULT_STATE);
    input.set_font(font());
    input.set_frame(Frame(10, 10, 210, 50));
    input.set_text("ab");
    const vo_test::Rgba white{255, 255, 255, 255};
    // Black at three quarters over white.
    const vo_test::Rgba cursor{64, 64, 64, 255};

    wait_for_phase(0.6f, 0.9f);
    EXPECT_TRUE(vo_test::ColorNear(cursor_pixel(window, input), white, 3));

    input.set_focus();
    wait_for_phase(0.6f, 0.9f);
    EXPECT_TRUE(vo_test::ColorNear(cursor_pixel(window, input), cursor, 3)) << cursor_pixel(window, input);
    wait_for_phase(0.1f, 0.4f);
    EXPECT_TRUE(vo_test::ColorNear(cursor_pixel(window, input), white, 3));
}

}  // namespace
}  // namespace vo

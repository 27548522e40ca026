#include "game/menus/notification_widget.h"

#include "engine/core/frame_transform.h"
#include "engine/visuals/text.h"
#include "engine/widgets/text_widget.h"
#include "support/engine/block_font_suite.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using vo::Frame;
using vo::NotificationWidget;
using vo::TextWidget;

// Lines in the block font: glyph blocks as tall as the text.
class NotificationWidgetTest : public vo_test::BlockFontSuite {
protected:
    void SetUp() override { vo::Text::set_default_font(font()); }
    void TearDown() override { vo::Text::set_default_font(vo::SmartPtr<vo::Font>()); }

    // A notification widget over 800 x 600 layout units, drawn at the scale.
    static void Place(NotificationWidget& widget, float scale) {
        widget.set_frame(Frame(0, 0, 800, 600));
        widget.transform(vo::FrameTransform(vo::vector2(scale, scale), vo::vector2(0, 0), false));
    }
};

// Each line's bottom sits on the top of the next newer one; the newest
// bottom lies three quarters of a line above the centre.
void ExpectStacked(NotificationWidget const& widget, float scale) {
    vo::vector2 const centre = widget.transformed_frame().center();
    float bottom = centre.y - 0.75f * 80.0f * scale;
    auto const& lines = widget.lines();
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        Frame const f = it->text->transformed_frame();
        EXPECT_NEAR(f.bottom(), bottom, 1e-3);
        EXPECT_NEAR(f.center_x(), centre.x, 1e-3);
        bottom = f.top();
    }
}

TEST_F(NotificationWidgetTest, LinesAddedDuringSlidesAllEndAtTheirStackedPlaces) {
    for (float scale : {1.0f, 0.5f}) {
        SCOPED_TRACE(scale);
        NotificationWidget widget(nullptr, vo::WS_VISIBLE | vo::WS_FIXED_SIZE);
        Place(widget, scale);
        vo::vector2 const centre = widget.transformed_frame().center();

        widget.add("first");
        // The new line starts with its top centre at the widget's centre.
        Frame const start = widget.lines().back().text->transformed_frame();
        EXPECT_NEAR(start.top(), centre.y, 1e-3);
        EXPECT_NEAR(start.center_x(), centre.x, 1e-3);
        EXPECT_GE(start.height(), 80.0f * scale);  // the text plus its margin

        widget.update(0.03);
        widget.add("second line");
        widget.update(0.03);
        Frame const midway = widget.lines().front().text->transformed_frame();
        widget.add("3");
        // The oldest line carries on from where its slide had got to.
        EXPECT_EQ(widget.lines().front().text->transformed_frame().top(), midway.top());

        widget.update(0.1);
        ASSERT_EQ(widget.lines().size(), 3u);
        EXPECT_EQ(widget.num_children(), 3u);
        ExpectStacked(widget, scale);
        for (auto const& line : widget.lines()) {
            EXPECT_TRUE(line.text->is_visible());
            EXPECT_FALSE(line.text->state() & (vo::WS_BACKGROUND | vo::WS_BORDER));
            EXPECT_EQ(line.text->transform().scale().y, scale);
        }
    }
}

TEST_F(NotificationWidgetTest, ExpiredLinesAreHiddenRetiredAndReused) {
    NotificationWidget widget(nullptr, vo::WS_FIXED_SIZE);  // hidden until the first line
    Place(widget, 1.0f);
    widget.add("Red's turn");
    EXPECT_TRUE(widget.is_visible());
    TextWidget* const first = widget.lines().front().text;

    widget.update(4.0);
    widget.add("Blue's turn");
    // One step longer than the first line has left: hidden and kept in the
    // same call, while the second stays.
    widget.update(1.5);
    ASSERT_EQ(widget.lines().size(), 1u);
    ASSERT_EQ(widget.spare_lines().size(), 1u);
    EXPECT_EQ(widget.spare_lines().back().text, first);
    EXPECT_FALSE(first->is_visible());
    EXPECT_TRUE(widget.lines().front().text->is_visible());

    // The next line takes the spare text widget: no new child. A line colour
    // set meanwhile reaches the reused widget too.
    const vo::Color cream(1.0f, 0.9f, 0.7f, 1.0f);
    widget.set_line_color(cream);
    widget.add("Green wins");
    EXPECT_FLOAT_EQ(first->color().r, cream.r);
    EXPECT_FLOAT_EQ(first->color().g, cream.g);
    EXPECT_FLOAT_EQ(first->color().b, cream.b);
    EXPECT_EQ(widget.num_children(), 2u);
    EXPECT_TRUE(widget.spare_lines().empty());
    EXPECT_EQ(widget.lines().back().text, first);
    EXPECT_TRUE(first->is_visible());
    EXPECT_STREQ(first->text(), "Green wins");
    EXPECT_DOUBLE_EQ(widget.lines().back().time_left, 5.0);
    widget.update(0.1);
    ExpectStacked(widget, 1.0f);
}

TEST_F(NotificationWidgetTest, ClearDuringSlidesDestroysEveryLineSafely) {
    NotificationWidget widget(nullptr, vo::WS_VISIBLE | vo::WS_FIXED_SIZE);
    Place(widget, 1.0f);
    widget.add("a");
    widget.update(5.0);  // retired to the spares
    widget.add("b");
    widget.add("c");
    widget.update(0.05);
    ASSERT_EQ(widget.num_children(), 2u);  // "b" reused the spare

    widget.clear();
    EXPECT_EQ(widget.num_children(), 0u);
    EXPECT_TRUE(widget.lines().empty());
    EXPECT_TRUE(widget.spare_lines().empty());
    widget.update(0.1);  // no slide is left to touch a destroyed line

    widget.add("d");
    EXPECT_EQ(widget.num_children(), 1u);
    widget.update(0.1);
    ExpectStacked(widget, 1.0f);
}

TEST_F(NotificationWidgetTest, DestroyingTheWidgetWithRunningSlidesIsClean) {
    auto* parent = new vo::Widget(nullptr, vo::WS_VISIBLE);
    auto* widget = new NotificationWidget(parent, vo::WS_VISIBLE | vo::WS_FIXED_SIZE);
    Place(*widget, 1.0f);
    widget->add("a");
    widget->add("b");
    widget->update(0.02);
    delete parent;
}

}  // namespace

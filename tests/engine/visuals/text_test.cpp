#include "engine/visuals/text.h"

#include "engine/visuals/font.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vo {
namespace {

using vo_test::Rgba;

const char* const DEJAVU_SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

SmartPtr<Font> SansFont() {
    SmartPtr<Font> font(new Font);
    font->set_file(DEJAVU_SANS, Font::FONT_FREETYPE);
    return font;
}

TEST(TextTest, WithoutAFontNothingIsBuiltOrDrawn) {
    ASSERT_FALSE(Text::s_defaultFont);
    vo_test::TestWindow window(64, 48);
    Text text;
    EXPECT_FALSE(text.font());
    text.set_text("abc");
    EXPECT_STREQ(text.text(), "abc");
    EXPECT_STREQ(text.wrapped_text(), "abc");
    EXPECT_EQ(text.content_frame().right(), 0.0f);

    window.engine().set_clear_color(Color(0, 0, 0, 1));
    window.engine().clear();
    window.use_pixel_coordinates();
    text.draw();
    EXPECT_EQ(window.count_pixels(Rgba{0, 0, 0, 255}), 64 * 48);
}

TEST(TextTest, HeightsShareAFaceByTheirWholePart) {
    vo_test::TestWindow window(32, 32);
    SmartPtr<Font> font = SansFont();
    Text a, b;
    testing::internal::CaptureStdout();
    a.set(font, "abc", 20.2f, Color(1, 1, 1, 1), -1.0f);
    b.set(font, "abc", 20.9f, Color(1, 1, 1, 1), -1.0f);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("reading freetype font from: "), out.rfind("reading freetype font from: "));
    EXPECT_EQ(font->character_height(), 20.0f);
    EXPECT_EQ(a.content_frame().width(), b.content_frame().width());
    EXPECT_EQ(a.text_height(), 20.2f);
}

TEST(TextTest, WrapsOnFirstUseOfAFont) {
    // The font has no face yet: the text must still wrap, with the face of
    // its own height.
    vo_test::TestWindow window(32, 32);
    SmartPtr<Font> font = SansFont();
    Text text;
    testing::internal::CaptureStdout();
    text.set(font, "wrap these words", 20.0f, Color(1, 1, 1, 1), 60.0f);
    testing::internal::GetCapturedStdout();
    const std::string wrapped = text.wrapped_text();
    EXPECT_EQ(std::count(wrapped.begin(), wrapped.end(), '\n'), 2) << wrapped;
    EXPECT_EQ(font->character_height(), 20.0f);
}

// Draws the text at (100, 50) on black; every lit pixel must lie inside its
// content frame, and some must.
void ExpectDrawnInsideContentFrame(Text& text) {
    vo_test::TestWindow window(320, 160);
    Engine& engine = window.engine();
    engine.set_clear_color(Color(0, 0, 0, 1));
    engine.clear();
    window.use_pixel_coordinates();
    engine.set_state(STATE_TEXTURING, true);
    engine.set_blend_mode(BLEND_ALPHA);
    text.set_position(vector3(100.0f, 50.0f, 0.0f));
    text.draw();

    const Frame f = text.content_frame();
    EXPECT_EQ(f.left(), 100.0f);
    EXPECT_EQ(f.top(), 50.0f);
    const std::vector<Rgba> pixels = window.pixels();
    int inside = 0, outside = 0;
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x) {
            const Rgba& p = pixels[y * window.width() + x];
            if (p.r + p.g + p.b < 30) continue;
            const bool in = x + 0.5f >= f.left() && x + 0.5f <= f.right() && y + 0.5f >= f.top() &&
                            y + 0.5f <= f.bottom();
            (in ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 20) << text.text();
    EXPECT_EQ(outside, 0) << text.text();
    if (outside) window.save_png(testing::TempDir() + "text_outside_frame.png");
}

TEST(TextTest, DrawnInsideItsContentFrame) {
    Text sans;
    testing::internal::CaptureStdout();
    sans.set(SansFont(), "Quorvane gjy AV\nsecond line", 20.0f, Color(1, 1, 0, 1), -1.0f);
    testing::internal::GetCapturedStdout();
    ExpectDrawnInsideContentFrame(sans);

    // An emptied text keeps its old geometry but draws nothing.
    vo_test::TestWindow window(64, 48);
    window.engine().set_clear_color(Color(0, 0, 0, 1));
    window.engine().clear();
    window.use_pixel_coordinates();
    sans.set_text("");
    EXPECT_TRUE(sans.empty());
    sans.set_position(vector3(2, 2, 0));
    sans.draw();
    EXPECT_EQ(window.count_pixels(Rgba{0, 0, 0, 255}), 64 * 48);
}

}  // namespace
}  // namespace vo

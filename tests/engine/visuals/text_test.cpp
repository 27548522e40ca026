#include "engine/visuals/text.h"

#include "engine/core/resources.h"
#include "engine/visuals/font.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"
#include "support/engine/text_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vo {
namespace {

using vo_test::Rgba;

SmartPtr<Font> SansFont() {
    SmartPtr<Font> font(new Font);
    font->set_file(vo_test::DEJAVU_SANS, Font::FONT_FREETYPE);
    return font;
}

// A font of 8 x 10 blocks advancing 10 at height 10, not built yet.
SmartPtr<Font> BlockFont(vo_test::TempFolder const& folder) {
    Textures().path = folder.path() + "/";
    const std::string info = vo_test::WriteBlockFont(folder.path(), vo_test::UniqueName("text"), 8, 10, 10);
    SmartPtr<Font> font(new Font);
    font->set_file(info.c_str(), Font::FONT_BITMAP);
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

TEST(TextTest, DefaultFontAndSetters) {
    vo_test::TestWindow window(32, 32);
    vo_test::TempFolder folder;
    SmartPtr<Font> font = BlockFont(folder);
    Text::set_default_font(font);
    Text text;
    Text::set_default_font(SmartPtr<Font>());
    EXPECT_EQ(text.font(), font);
    EXPECT_EQ(text.text_height(), 20.0f);
    EXPECT_EQ(text.max_width(), -1.0f);
    EXPECT_EQ(text.color().r, 0.5f);
    EXPECT_TRUE(text.empty());

    testing::internal::CaptureStdout();
    text.set_text_height(10.0f);
    text.set_text("ab");
    testing::internal::GetCapturedStdout();
    // Half a pixel in from the origin: (-0.5, -0.5) to (17.5, 9.5).
    EXPECT_EQ(text.content_frame().right(), 18.0f);
    EXPECT_EQ(text.content_frame().bottom(), 10.0f);

    text.set_position(vector3(100.0f, 50.0f, 0.0f));
    const Frame placed = text.content_frame();
    EXPECT_EQ(placed.left(), 100.0f);
    EXPECT_EQ(placed.top(), 50.0f);
    EXPECT_EQ(placed.right(), 118.0f);
    EXPECT_EQ(placed.bottom(), 60.0f);

    // No wrapping while the width is not above 0.
    for (float width : {-1.0f, 0.0f}) {
        text.set_max_width(width);
        text.set_text("aaa bbb ccc");
        EXPECT_STREQ(text.wrapped_text(), "aaa bbb ccc");
    }
    text.set_max_width(35.0f);
    // The width of a word that moved to a new line is not counted, so the
    // blank behind bbb still fits.
    EXPECT_STREQ(text.wrapped_text(), "aaa\nbbb \nccc");
    EXPECT_FLOAT_EQ(text.content_frame().height(), 2 * 11.0f + 10.0f);
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
            // The glyphs are laid out half a pixel up and left of the
            // position: pixel centres on that edge count as inside.
            const bool in = x + 1.0f >= f.left() && x + 0.5f <= f.right() && y + 1.0f >= f.top() &&
                            y + 0.5f <= f.bottom();
            (in ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 20) << text.text();
    EXPECT_EQ(outside, 0) << text.text();
    if (outside) window.save_png(testing::TempDir() + "text_outside_frame.png");
}

TEST(TextTest, DrawnInsideItsContentFrame) {
    vo_test::TempFolder folder;
    Text blocks;
    Text sans;
    testing::internal::CaptureStdout();
    blocks.set(BlockFont(folder), "ab c", 10.0f, Color(1, 1, 1, 1), -1.0f);
    sans.set(SansFont(), "Quorvane gjy AV\nsecond line", 20.0f, Color(1, 1, 0, 1), -1.0f);
    testing::internal::GetCapturedStdout();
    ExpectDrawnInsideContentFrame(blocks);
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

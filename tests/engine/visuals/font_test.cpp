#include "engine/visuals/font.h"

#include "engine/core/error.h"
#include "engine/sfml/sfml_texture.h"
#include "support/engine/test_window.h"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <string>

namespace vo {
namespace {

const char* const DEJAVU_SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const DEJAVU_SANS_MONO = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

bool IsZero(const Font::Glyph& g) {
    return g.xmin == 0 && g.xmax == 0 && g.ymin == 0 && g.ymax == 0 && g.xoffset == 0 && g.yoffset == 0 &&
           g.width == 0 && g.height == 0 && g.advance == 0;
}

std::string HeightError(Font& font, float h) {
    try {
        font.set_character_height(h);
    } catch (const Error& e) {
        return e.message();
    }
    return "no error";
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Atlases are textures: the tests draw nothing, but run with the window's
// graphics context like the game does.
class FreeTypeFont : public testing::Test {
protected:
    vo_test::TestWindow window_{32, 32};
};

TEST_F(FreeTypeFont, FaceAtTwentyPixels) {
    Font font;
    font.set_file(DEJAVU_SANS, Font::FONT_FREETYPE);
    testing::internal::CaptureStdout();
    font.set_character_height(20.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              std::string("reading freetype font from: ") + DEJAVU_SANS +
                  " with character height: 20\n  -> allocating 256 x 256 texture\n");

    EXPECT_EQ(font.character_height(), 20.0f);
    EXPECT_EQ(font.line_spacing(), static_cast<float>(20.0 * 1.01));
    ASSERT_TRUE(font.texture());
    EXPECT_EQ(font.texture()->frame().right(), 256.0f);

    for (unsigned code = 0; code < 32; ++code) EXPECT_TRUE(IsZero(font.glyph(code))) << code;
    EXPECT_TRUE(IsZero(font.glyph(200)));
    EXPECT_TRUE(IsZero(font.glyph(static_cast<unsigned>(-5))));
    EXPECT_EQ(&font.glyph(200), &font.glyph(100000));

    float bottom = 0.0f;
    for (unsigned code = 33; code < 127; ++code) {
        const Font::Glyph& g = font.glyph(code);
        EXPECT_GT(g.advance, 0.0f) << code;
        // Every glyph lies inside the atlas, the last row included.
        EXPECT_GE(g.xmin, 0.0f);
        EXPECT_LE(g.xmax, 1.0f);
        EXPECT_GE(g.ymin, 0.0f);
        EXPECT_LE(g.ymax, 1.0f) << code;
        EXPECT_EQ((g.xmax - g.xmin) * 256.0f, g.width);
        bottom = std::max(bottom, g.yoffset + g.height);
    }
    EXPECT_EQ(font.bottom_line(), bottom);
    // Capitals stand on the baseline: their bottoms line up.
    EXPECT_EQ(font.glyph('I').yoffset + font.glyph('I').height, font.glyph('H').yoffset + font.glyph('H').height);

    EXPECT_EQ(font.kerning_offset('A', 'V'), -1.0f);
    EXPECT_EQ(font.kerning_offset('a', 'b'), 0.0f);
}

TEST_F(FreeTypeFont, GlyphPixelsAreInTheAtlas) {
    Font font;
    font.set_file(DEJAVU_SANS, Font::FONT_FREETYPE);
    font.set_character_height(20.0f);
    const auto* texture = dynamic_cast<const SFML_Texture*>(font.texture().get());
    ASSERT_NE(texture, nullptr);
    const sf::Image atlas = texture->texture().copyToImage();

    const Font::Glyph& g = font.glyph('I');
    const unsigned left = static_cast<unsigned>(g.xmin * 256.0f), right = static_cast<unsigned>(g.xmax * 256.0f);
    const unsigned top = static_cast<unsigned>(g.ymin * 256.0f), bottom = static_cast<unsigned>(g.ymax * 256.0f);
    unsigned covered = 0;
    for (unsigned y = top; y < bottom; ++y) {
        for (unsigned x = left; x < right; ++x) {
            const sf::Color c = atlas.getPixel(x, y);
            if (c.a > 128) ++covered;
            EXPECT_EQ(c.r + c.g + c.b, 3 * 255);
        }
    }
    // 'I' is a solid bar: most of its rectangle is covered.
    EXPECT_GT(covered * 2, (right - left) * (bottom - top));
}

TEST_F(FreeTypeFont, OneFacePerHeight) {
    Font font;
    font.set_file(DEJAVU_SANS_MONO, Font::FONT_FREETYPE);
    testing::internal::CaptureStdout();
    font.set_character_height(20.0f);
    const float advance20 = font.glyph('m').advance;
    font.set_character_height(20.0f);
    font.set_character_height(30.0f);
    const float advance30 = font.glyph('m').advance;
    font.set_character_height(20.0f);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Count(out, "reading freetype font from: "), 2);
    EXPECT_EQ(font.character_height(), 20.0f);
    EXPECT_EQ(font.glyph('m').advance, advance20);
    EXPECT_GT(advance30, advance20);

    // The mono font has no kerning.
    for (char l : std::string("AVTWLy")) {
        for (char r : std::string("AVTWoy.")) EXPECT_EQ(font.kerning_offset(l, r), 0.0f);
    }

    // A copy shares the faces: switching it back builds nothing.
    Font copy(font);
    testing::internal::CaptureStdout();
    copy.set_character_height(30.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(copy.glyph('m').advance, advance30);
    EXPECT_EQ(font.glyph('m').advance, advance20);

    // Another file drops the faces built so far.
    font.set_file(DEJAVU_SANS, Font::FONT_FREETYPE);
    EXPECT_EQ(font.character_height(), 0.0f);
    testing::internal::CaptureStdout();
    font.set_character_height(20.0f);
    EXPECT_EQ(Count(testing::internal::GetCapturedStdout(), "reading freetype font from: "), 1);
    EXPECT_EQ(font.kerning_offset('A', 'V'), -1.0f);
}

TEST_F(FreeTypeFont, FailedBuildsKeepTheCurrentFace) {
    Font font;
    font.set_file(DEJAVU_SANS, Font::FONT_FREETYPE);
    font.set_character_height(12.0f);
    const float advance = font.glyph('w').advance;

    font.set_file("/nonexistent/font.ttf", Font::FONT_FREETYPE);
    EXPECT_EQ(HeightError(font, 14.0f), "Could not open font /nonexistent/font.ttf");
    // Asking again tries again: nothing was cached for the failed height.
    EXPECT_EQ(HeightError(font, 14.0f), "Could not open font /nonexistent/font.ttf");

    Font other;
    other.set_file(DEJAVU_SANS, Font::FONT_FREETYPE);
    other.set_character_height(12.0f);
    // An atlas beyond what a texture can hold is refused with a clear error.
    testing::internal::CaptureStdout();
    EXPECT_EQ(HeightError(other, 2000.0f),
              std::string("Couldn't create font texture of size 32768 for ") + DEJAVU_SANS);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(other.character_height(), 12.0f);
    EXPECT_EQ(other.glyph('w').advance, advance);
}

}  // namespace
}  // namespace vo

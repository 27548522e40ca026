#include "engine/visuals/font.h"

#include "engine/core/error.h"
#include "engine/core/resources.h"
#include "engine/sfml/sfml_texture.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"
#include "support/engine/text_fixtures.h"

#include <SFML/Graphics/Image.hpp>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace vo {
namespace {

using vo_test::DEJAVU_SANS;
using vo_test::DEJAVU_SANS_MONO;

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

// Bitmap fonts ------------------------------------------------------------

class BitmapFont : public testing::Test {
protected:
    void SetUp() override { Textures().path = folder_.path() + "/"; }

    vo_test::TestWindow window_{32, 32};

    // A 64 x 32 texture and the description text around it.
    std::string write(const std::string& body) {
        const std::string name = vo_test::UniqueName("bitmap_font");
        vo_test::WritePng(folder_.file(name + ".png"), 64, 32, [](unsigned, unsigned) {
            return vo_test::Rgba{255, 255, 255, 255};
        });
        const std::string path = folder_.file(name + ".info");
        std::ofstream(path) << "texture " << name << ".png\n" << body;
        return path;
    }

    std::string error_of(const std::string& path) {
        Font font;
        font.set_file(path.c_str(), Font::FONT_BITMAP);
        testing::internal::CaptureStdout();
        const std::string message = HeightError(font, 20.0f);
        testing::internal::GetCapturedStdout();
        return message;
    }

    vo_test::TempFolder folder_;
};

TEST_F(BitmapFont, GlyphsScaledFromTheDrawnHeight) {
    const std::string path = write(
        "characterHeight 10\n"
        "defaultXOffset 1\n"
        "glyph { code 65  xmin 8 xmax 16 ymin 0 ymax 10 yoffset 2 advanceX 9 }\n"
        "glyph { code 66  xmin 16 xmax 22 ymin 10 ymax 20 xoffset 3 }\n");
    Font font;
    font.set_file(path.c_str(), Font::FONT_BITMAP);
    testing::internal::CaptureStdout();
    font.set_character_height(20.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "reading bitmap font from: " + path + "\n");

    EXPECT_EQ(font.character_height(), 20.0f);
    // Without "lineSpacing" the default 1.1 x 20 is scaled as well.
    EXPECT_FLOAT_EQ(font.line_spacing(), static_cast<float>(20.0 * 1.1) * 2.0f);

    const Font::Glyph& a = font.glyph('A');
    EXPECT_FLOAT_EQ(a.xmin, 8.0f / 64.0f);
    EXPECT_FLOAT_EQ(a.xmax, 16.0f / 64.0f);
    EXPECT_FLOAT_EQ(a.ymax, 10.0f / 32.0f);
    EXPECT_EQ(a.width, 16.0f);
    EXPECT_EQ(a.height, 20.0f);
    EXPECT_EQ(a.xoffset, 2.0f);  // defaultXOffset, scaled
    EXPECT_EQ(a.yoffset, 4.0f);
    EXPECT_EQ(a.advance, 18.0f);

    const Font::Glyph& b = font.glyph('B');
    EXPECT_EQ(b.xoffset, 6.0f);
    EXPECT_EQ(b.advance, 12.0f);  // without "advanceX": its own width
    EXPECT_EQ(font.bottom_line(), 24.0f);

    // Codes below the last glyph without an entry, and codes beyond it, get
    // the fallback glyph, which is zero without "fallackGlyph".
    EXPECT_TRUE(IsZero(font.glyph('0')));
    EXPECT_TRUE(IsZero(font.glyph('C')));
    EXPECT_EQ(font.kerning_offset('A', 'B'), 0.0f);
}

TEST_F(BitmapFont, DrawnHeightsOfOneOrLessScaleByTheHeight) {
    for (const char* drawn : {"characterHeight 0\n", "characterHeight 1\n", "characterHeight -3\n"}) {
        const std::string path = write(std::string(drawn) + "lineSpacing 2\nglyph { code 65 xmin 0 xmax 1 }\n");
        Font font;
        font.set_file(path.c_str(), Font::FONT_BITMAP);
        testing::internal::CaptureStdout();
        font.set_character_height(16.0f);
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(font.glyph('A').advance, 16.0f) << drawn;
        EXPECT_EQ(font.line_spacing(), 32.0f) << drawn;
    }
}

TEST_F(BitmapFont, FallbackGlyphAndTableLimits) {
    const std::string path = write(
        "characterHeight 20\n"
        "fallackGlyph { xmin 0 xmax 5 ymin 0 ymax 20 }\n"
        "glyph_first { code 66 xmin 0 xmax 10 }\n"
        "glyphs { code 68 xmin 0 xmax 12 }\n"
        "glyph { code -1 xmin 0 xmax 30 }\n"
        "glyph { code 65536 xmin 0 xmax 30 }\n"
        "notaglyph { code 70 xmin 0 xmax 30 }\n");
    Font font;
    font.set_file(path.c_str(), Font::FONT_BITMAP);
    testing::internal::CaptureStdout();
    font.set_character_height(20.0f);
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(font.glyph('B').advance, 10.0f);
    EXPECT_EQ(font.glyph('D').advance, 12.0f);
    // Holes of the table and codes beyond it show the fallback glyph.
    EXPECT_EQ(font.glyph('C').advance, 5.0f);
    EXPECT_EQ(font.glyph('A').advance, 5.0f);
    EXPECT_EQ(font.glyph('F').advance, 5.0f);
    EXPECT_EQ(font.glyph(65535).advance, 5.0f);
    EXPECT_EQ(font.glyph(static_cast<unsigned>(-1)).advance, 5.0f);
    EXPECT_EQ(font.glyph('C').height, 20.0f);
}

TEST_F(BitmapFont, Errors) {
    const std::string missing = folder_.file("missing.info");
    EXPECT_EQ(error_of(missing), "Couldn't load bitmap font from: " + missing);

    const std::string broken = folder_.file("broken.info");
    std::ofstream(broken) << "texture { a b\n";
    EXPECT_EQ(error_of(broken), "Couldn't load bitmap font from: " + broken);

    const std::string empty = folder_.file("empty.info");
    std::ofstream(empty) << "; nothing but a comment\n";
    EXPECT_EQ(error_of(empty), "Couldn't load font desc at " + empty);

    const std::string untextured = folder_.file("untextured.info");
    std::ofstream(untextured) << "characterHeight 10\n";
    EXPECT_EQ(error_of(untextured), "No font-texture specified in font: " + untextured);
}

}  // namespace
}  // namespace vo

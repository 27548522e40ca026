#include "engine/visuals/freetype_glyphs.h"

#include "engine/core/error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace vo {
namespace {

const char* const SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const MONO = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

unsigned MaxAlpha(const std::vector<unsigned char>& rgba) {
    unsigned best = 0;
    for (std::size_t i = 3; i < rgba.size(); i += 4) best = rgba[i] > best ? rgba[i] : best;
    return best;
}

std::string ErrorText(const char* file, float height) {
    try {
        FreeTypeGlyphSource source(file, height);
    } catch (const Error& e) {
        return e.message();
    }
    return "no error";
}

TEST(FreeTypeGlyphs, SansAtTwentyPixels) {
    const FreeTypeGlyphSource sans(SANS, 20.0f);
    EXPECT_EQ(sans.max_width(), 20u);
    EXPECT_EQ(sans.max_rows(), 20u);
    for (unsigned code = 32; code < 128; ++code) {
        EXPECT_EQ(sans.metrics(code).code, code);
        EXPECT_LE(sans.metrics(code).bitmap_top, sans.max_top());
    }

    std::vector<unsigned char> rgba(5, 1);
    const GlyphMetrics space = sans.render(' ', rgba);
    EXPECT_EQ(space.width * space.rows, 0u);
    EXPECT_TRUE(rgba.empty());
    EXPECT_GT(space.advance, 0.0f);

    const GlyphMetrics capital_i = sans.render('I', rgba);
    EXPECT_EQ(capital_i.width, sans.metrics('I').width);
    EXPECT_EQ(capital_i.rows, sans.metrics('I').rows);
    EXPECT_GT(capital_i.rows, 10u);
    ASSERT_EQ(rgba.size(), static_cast<std::size_t>(capital_i.width) * capital_i.rows * 4);
    EXPECT_EQ(MaxAlpha(rgba), 255u);
    // Every pixel is white; only the alpha carries the coverage.
    for (std::size_t p = 0; p < rgba.size(); p += 4) EXPECT_EQ(rgba[p] + rgba[p + 1] + rgba[p + 2], 3 * 255);

    // Advances are whole pixels.
    const float w = sans.metrics('W').advance;
    EXPECT_EQ(w, static_cast<float>(static_cast<int>(w)));
}

TEST(FreeTypeGlyphs, KerningOfSansButNotOfMono) {
    const FreeTypeGlyphSource sans(SANS, 20.0f);
    const auto av = sans.kerning().find(std::make_pair(int('A'), int('V')));
    ASSERT_NE(av, sans.kerning().end());
    EXPECT_EQ(av->second, -1.0f);
    EXPECT_EQ(sans.kerning().count(std::make_pair(int('a'), int('b'))), 0u);

    const FreeTypeGlyphSource mono(MONO, 20.0f);
    EXPECT_TRUE(mono.kerning().empty());
    EXPECT_EQ(mono.max_width(), 13u);
    // Every glyph of the mono font advances alike.
    EXPECT_EQ(mono.metrics('i').advance, mono.metrics('W').advance);
}

TEST(FreeTypeGlyphs, FilesThatAreNoFonts) {
    EXPECT_EQ(ErrorText("/nonexistent/font.ttf", 20.0f), "Could not open font /nonexistent/font.ttf");

    const std::string garbage = ::testing::TempDir() + "not_a_font.ttf";
    {
        std::ofstream out(garbage);
        out << "this is plain text, not a font\n";
    }
    EXPECT_EQ(ErrorText(garbage.c_str(), 20.0f), "Could not open font " + garbage);
    std::remove(garbage.c_str());
}

TEST(FreeTypeGlyphs, HeightsOutsideFreeTypesRangeDoNotCrash) {
    // Below one pixel FreeType draws at its smallest size.
    const FreeTypeGlyphSource tiny(SANS, 0.5f);
    EXPECT_GT(tiny.max_width(), 0u);
    const FreeTypeGlyphSource negative(SANS, -7.0f);
    EXPECT_GT(negative.max_rows(), 0u);
}

struct LayoutCase {
    unsigned cell_w, cell_h;
    unsigned cols, rows, size;
};

TEST(GlyphAtlasLayout, GridAndTextureSize) {
    const LayoutCase cases[] = {
        {20, 20, 10, 10, 256},  // square cells: the last row holds codes 122..127
        {12, 12, 10, 10, 128},
        {23, 24, 11, 9, 256},
        {38, 40, 11, 9, 512},
        {13, 20, 16, 6, 256},  // DejaVuSansMono at 20 px
        // 9 columns: 10 full rows and one of 6 glyphs. Sizing from the full
        // rows only would give 64, too small for the eleventh row.
        {7, 6, 9, 11, 128},
        {26, 13, 5, 20, 512},
    };
    for (const LayoutCase& c : cases) {
        const GlyphAtlasLayout layout = ComputeGlyphAtlasLayout(c.cell_w, c.cell_h);
        EXPECT_EQ(layout.cols, c.cols) << c.cell_w << " x " << c.cell_h;
        EXPECT_EQ(layout.rows, c.rows) << c.cell_w << " x " << c.cell_h;
        EXPECT_EQ(layout.size, c.size) << c.cell_w << " x " << c.cell_h;
        EXPECT_LE(layout.cols * c.cell_w, layout.size);
        EXPECT_LE(layout.rows * c.cell_h, layout.size);
        EXPECT_GE(layout.cols * layout.rows, 96u);
    }
}

// Alpha of pixel (x, y) of an RGBA bitmap width pixels wide.
unsigned AlphaAt(const std::vector<unsigned char>& rgba, unsigned width, unsigned x, unsigned y) {
    return rgba[(y * width + x) * 4 + 3];
}

TEST(CopyGlyphBitmap, MonoRowsAreReadWithTheirPitch) {
    // 13 pixels need 2 bytes a row; rows are 4 bytes apart (padding).
    const unsigned width = 13, rows = 3;
    const unsigned char bits[] = {
        0x80, 0x08, 0xEE, 0xEE,  // pixels 0 and 12
        0xFF, 0xF8, 0xEE, 0xEE,  // all 13
        0x00, 0x00, 0xEE, 0xEE,  // none
    };
    std::vector<unsigned char> rgba(width * rows * 4, 7);
    ASSERT_TRUE(CopyGlyphBitmap(bits, rows, width, 4, GlyphPixelMode::MONO, 2, rgba.data()));
    for (unsigned x = 0; x < width; ++x) {
        EXPECT_EQ(AlphaAt(rgba, width, x, 0), (x == 0 || x == 12) ? 255u : 0u) << x;
        EXPECT_EQ(AlphaAt(rgba, width, x, 1), 255u) << x;
        EXPECT_EQ(AlphaAt(rgba, width, x, 2), 0u) << x;
    }
    EXPECT_EQ(rgba[0], 255);
    EXPECT_EQ(rgba[1], 255);
    EXPECT_EQ(rgba[2], 255);
}

TEST(CopyGlyphBitmap, GrayRowsStoredBottomUp) {
    // Pitch -3 for 2 pixels: the buffer starts with the lowest row.
    const unsigned char gray[] = {
        30, 40, 0,  // bottom row
        10, 20, 0,  // top row
    };
    std::vector<unsigned char> rgba(2 * 2 * 4, 0);
    ASSERT_TRUE(CopyGlyphBitmap(gray, 2, 2, -3, GlyphPixelMode::GRAY, 256, rgba.data()));
    EXPECT_EQ(AlphaAt(rgba, 2, 0, 0), 10u);
    EXPECT_EQ(AlphaAt(rgba, 2, 1, 0), 20u);
    EXPECT_EQ(AlphaAt(rgba, 2, 0, 1), 30u);
    EXPECT_EQ(AlphaAt(rgba, 2, 1, 1), 40u);
}

TEST(CopyGlyphBitmap, FewerGraysAndColourAndUnknownModes) {
    const unsigned char four_grays[] = {0, 1, 2, 3};
    std::vector<unsigned char> rgba(4 * 4, 0);
    ASSERT_TRUE(CopyGlyphBitmap(four_grays, 1, 4, 4, GlyphPixelMode::GRAY, 4, rgba.data()));
    EXPECT_EQ(AlphaAt(rgba, 4, 0, 0), 0u);
    EXPECT_EQ(AlphaAt(rgba, 4, 1, 0), 85u);
    EXPECT_EQ(AlphaAt(rgba, 4, 3, 0), 255u);

    const unsigned char bgra[] = {10, 20, 30, 200, 1, 2, 3, 0};
    std::vector<unsigned char> out(2 * 4, 0);
    ASSERT_TRUE(CopyGlyphBitmap(bgra, 1, 2, 8, GlyphPixelMode::BGRA, 256, out.data()));
    EXPECT_EQ(AlphaAt(out, 2, 0, 0), 200u);
    EXPECT_EQ(AlphaAt(out, 2, 1, 0), 0u);

    std::vector<unsigned char> untouched(4, 9);
    EXPECT_FALSE(CopyGlyphBitmap(four_grays, 1, 1, 1, GlyphPixelMode::OTHER, 256, untouched.data()));
    EXPECT_EQ(untouched, std::vector<unsigned char>(4, 9));
}

}  // namespace
}  // namespace vo

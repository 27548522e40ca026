#pragma once

// Rendering the printable ASCII glyphs of a FreeType-readable font file at one
// pixel height, without any texture: the font turns the result into its atlas.
// FreeType itself stays inside freetype_glyphs.cpp.

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace vo {

// What FreeType gave for one glyph.
struct GlyphMetrics {
    unsigned code = 0;
    int bitmap_left = 0;  // from the pen to the bitmap's left edge, pixels
    int bitmap_top = 0;   // from the baseline up to the bitmap's top row
    unsigned width = 0;   // bitmap columns
    unsigned rows = 0;    // bitmap rows
    float advance = 0;    // horizontal advance in whole pixels
};

// The glyphs of the codes FIRST_CODE to LAST_CODE of a FreeType-readable
// font file (face 0) at the pixel height (int)height. Construction opens the
// file, measures every glyph and reads the kerning of every pair; render
// draws one glyph's pixels. Every FreeType object is released on every path.
class FreeTypeGlyphSource {
public:
    static const unsigned FIRST_CODE = 32;
    static const unsigned LAST_CODE = 127;
    static const unsigned COUNT = LAST_CODE - FIRST_CODE + 1;  // 96

    // Throws Error: "Couldn't initialize freetype library", "Could not open
    // font " + file, "Couldn't load character " + code + " in font " + file
    // (also for a glyph in a pixel format that cannot be shown), "No glyph
    // occupies even 1 pixel!".
    FreeTypeGlyphSource(const char* file, float height);
    ~FreeTypeGlyphSource();
    FreeTypeGlyphSource(const FreeTypeGlyphSource&) = delete;
    FreeTypeGlyphSource& operator=(const FreeTypeGlyphSource&) = delete;

    // code from FIRST_CODE to LAST_CODE.
    const GlyphMetrics& metrics(unsigned code) const;
    unsigned max_width() const;  // widest bitmap
    unsigned max_rows() const;   // tallest bitmap
    int max_top() const;         // largest bitmap_top, at least -(int)height
    // Horizontal kerning in whole pixels (truncated) for (left code, right
    // code), for the pairs whose value is not zero before truncation; empty
    // when the face has no kerning.
    const std::map<std::pair<int, int>, float>& kerning() const;

    // Renders the glyph of code again as white RGBA pixels whose alpha is
    // the coverage: rgba gets width * rows * 4 bytes, rows top-down. Returns
    // the glyph's metrics. Throws the "Couldn't load character" Error.
    GlyphMetrics render(unsigned code, std::vector<unsigned char>& rgba) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Pixel formats of glyph bitmaps.
enum class GlyphPixelMode {
    MONO,  // 1 bit per pixel, most significant bit first
    GRAY,  // 1 byte per pixel, 0 to num_grays - 1
    BGRA,  // 4 bytes per pixel, premultiplied colour; the alpha is kept
    OTHER  // anything else: not supported
};

// Copies a glyph bitmap of rows x width pixels into rgba (rows * width * 4
// bytes) as (255, 255, 255, coverage). The source rows are |pitch| bytes
// apart; a negative pitch means the rows are stored bottom-up, with buffer
// pointing at the lowest row. False for GlyphPixelMode::OTHER (rgba is then
// left as it was).
bool CopyGlyphBitmap(const unsigned char* buffer, unsigned rows, unsigned width, int pitch, GlyphPixelMode mode,
                     unsigned num_grays, unsigned char* rgba);

// How the glyphs are placed in the atlas: a grid of equal cells, cols
// across, filled row by row, on a square power-of-two texture large enough
// for every row the glyphs occupy.
struct GlyphAtlasLayout {
    unsigned cols = 0;
    unsigned rows = 0;  // rows that hold glyphs
    unsigned size = 0;  // texture width and height
};

// cols = (int)sqrt(count / r^2) + 1 with r = cell_width / cell_height; the
// size doubles from 2 until cols cells across and the occupied rows down fit.
// Both cell sizes must be positive.
GlyphAtlasLayout ComputeGlyphAtlasLayout(unsigned cell_width, unsigned cell_height,
                                         unsigned count = FreeTypeGlyphSource::COUNT);

}  // namespace vo

#pragma once

// Rendering the printable ASCII glyphs of a FreeType-readable font file at one
// pixel height, without any texture: the font turns the result into its atlas.
// FreeType itself stays inside freetype_glyphs.cpp.

#include <map>
#include <utility>
#include <vector>

namespace vo {

// One rendered glyph: its bitmap as white RGBA pixels whose alpha is the
// coverage, and the metrics FreeType gave for it.
struct RenderedGlyph {
    unsigned code = 0;
    int bitmap_left = 0;  // from the pen to the bitmap's left edge, pixels
    int bitmap_top = 0;   // from the baseline up to the bitmap's top row
    unsigned width = 0;   // bitmap columns
    unsigned rows = 0;    // bitmap rows
    float advance = 0;    // horizontal advance in whole pixels
    std::vector<unsigned char> rgba;  // width * rows * 4 bytes, rows top-down
};

// The glyphs of the codes FIRST_CODE to LAST_CODE of one face at one height.
struct RenderedGlyphSet {
    static const unsigned FIRST_CODE = 32;
    static const unsigned LAST_CODE = 127;
    static const unsigned COUNT = LAST_CODE - FIRST_CODE + 1;  // 96

    std::vector<RenderedGlyph> glyphs;  // COUNT entries, by code
    unsigned max_width = 0;             // widest bitmap
    unsigned max_rows = 0;              // tallest bitmap
    int max_top = 0;                    // largest bitmap_top, at least -(int)height
    // Horizontal kerning in whole pixels for (left code, right code), only the
    // pairs whose value is not zero before truncation; empty when the face
    // has no kerning.
    std::map<std::pair<int, int>, float> kerning;
};

// Opens the font file (face 0), sets the pixel height (int)height, renders
// the codes 32 to 127 and reads the kerning of every pair among them. Throws
// Error: "Couldn't initialize freetype library", "Could not open font " +
// file, "Couldn't load character " + code + " in font " + file (also for a
// glyph in a pixel format that cannot be shown), "No glyph occupies even 1
// pixel!". Every FreeType object is released on every path.
RenderedGlyphSet RenderFreeTypeGlyphs(const char* file, float height);

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
                                         unsigned count = RenderedGlyphSet::COUNT);

}  // namespace vo

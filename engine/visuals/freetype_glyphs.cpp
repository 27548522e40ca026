#include "engine/visuals/freetype_glyphs.h"

#include "engine/core/error.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace vo {
namespace {

struct LibraryRelease {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceRelease {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using LibraryHandle = std::unique_ptr<std::remove_pointer<FT_Library>::type, LibraryRelease>;
using FaceHandle = std::unique_ptr<std::remove_pointer<FT_Face>::type, FaceRelease>;

std::string CharacterError(unsigned code, const char* file) {
    std::ostringstream os;
    os << "Couldn't load character " << code << " in font " << file;
    return os.str();
}

GlyphPixelMode ModeOf(unsigned char pixel_mode) {
    switch (pixel_mode) {
        case FT_PIXEL_MODE_MONO: return GlyphPixelMode::MONO;
        case FT_PIXEL_MODE_GRAY: return GlyphPixelMode::GRAY;
        case FT_PIXEL_MODE_BGRA: return GlyphPixelMode::BGRA;
        default: return GlyphPixelMode::OTHER;
    }
}

}  // namespace

bool CopyGlyphBitmap(const unsigned char* buffer, unsigned rows, unsigned width, int pitch, GlyphPixelMode mode,
                     unsigned num_grays, unsigned char* rgba) {
    if (mode == GlyphPixelMode::OTHER) return false;
    if (rows == 0 || width == 0) return true;

    const long step = pitch;
    // The top row: with rows stored bottom-up, buffer is the lowest row.
    const unsigned char* row = step < 0 ? buffer - step * static_cast<long>(rows - 1) : buffer;
    const unsigned max_gray = num_grays > 1 ? num_grays - 1 : 255;

    for (unsigned y = 0; y < rows; ++y, row += step) {
        unsigned char* out = rgba + static_cast<std::size_t>(y) * width * 4;
        for (unsigned x = 0; x < width; ++x, out += 4) {
            unsigned coverage = 0;
            switch (mode) {
                case GlyphPixelMode::MONO: coverage = (row[x >> 3] & (0x80u >> (x & 7))) ? 255 : 0; break;
                case GlyphPixelMode::GRAY:
                    coverage = max_gray == 255 ? row[x] : (row[x] >= max_gray ? 255 : row[x] * 255u / max_gray);
                    break;
                case GlyphPixelMode::BGRA: coverage = row[x * 4 + 3]; break;
                case GlyphPixelMode::OTHER: break;
            }
            out[0] = 255;
            out[1] = 255;
            out[2] = 255;
            out[3] = static_cast<unsigned char>(coverage);
        }
    }
    return true;
}

GlyphAtlasLayout ComputeGlyphAtlasLayout(unsigned cell_width, unsigned cell_height, unsigned count) {
    GlyphAtlasLayout layout;
    const float r = static_cast<float>(cell_width) / static_cast<float>(cell_height);
    layout.cols = static_cast<unsigned>(std::sqrt(static_cast<float>(count) / (r * r))) + 1;
    // Every row that holds a glyph, the last one possibly partly filled.
    layout.rows = (count + layout.cols - 1) / layout.cols;

    const double across = static_cast<double>(layout.cols) * cell_width;
    const double down = static_cast<double>(layout.rows) * cell_height;
    double size = 2.0;
    // Stop doubling long before the value leaves unsigned: a texture that
    // large cannot be created anyway, and the font reports that.
    while ((across > size || down > size) && size < 2147483648.0) size *= 2.0;
    layout.size = static_cast<unsigned>(size);
    return layout;
}

RenderedGlyphSet RenderFreeTypeGlyphs(const char* file, float height) {
    FT_Library raw_library = nullptr;
    if (FT_Init_FreeType(&raw_library) != 0) throw Error("Couldn't initialize freetype library");
    LibraryHandle library(raw_library);

    FT_Face raw_face = nullptr;
    if (FT_New_Face(library.get(), file, 0, &raw_face) != 0) throw Error(std::string("Could not open font ") + file);
    FaceHandle face(raw_face);

    // Whole pixels, truncated; heights FreeType cannot take (negative, not a
    // number, beyond its 16-bit sizes) go to it as 0 or its largest size.
    int pixel_height = 0;
    if (height >= 65535.0f) {
        pixel_height = 65535;
    } else if (height >= 1.0f) {
        pixel_height = static_cast<int>(height);
    }
    if (FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(pixel_height)) != 0) {
        throw Error(std::string("Could not open font ") + file);
    }

    RenderedGlyphSet set;
    set.max_top = -pixel_height;
    set.glyphs.resize(RenderedGlyphSet::COUNT);

    for (unsigned code = RenderedGlyphSet::FIRST_CODE; code <= RenderedGlyphSet::LAST_CODE; ++code) {
        if (FT_Load_Char(face.get(), code, FT_LOAD_RENDER) != 0) throw Error(CharacterError(code, file));
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;

        RenderedGlyph& glyph = set.glyphs[code - RenderedGlyphSet::FIRST_CODE];
        glyph.code = code;
        glyph.bitmap_left = slot->bitmap_left;
        glyph.bitmap_top = slot->bitmap_top;
        glyph.width = bitmap.width;
        glyph.rows = bitmap.rows;
        // 26.6 fixed point, truncated towards zero to whole pixels.
        glyph.advance = static_cast<float>(slot->advance.x / 64);
        glyph.rgba.assign(static_cast<std::size_t>(bitmap.width) * bitmap.rows * 4, 0);
        if (!CopyGlyphBitmap(bitmap.buffer, bitmap.rows, bitmap.width, bitmap.pitch, ModeOf(bitmap.pixel_mode),
                             static_cast<unsigned>(bitmap.num_grays), glyph.rgba.data())) {
            throw Error(CharacterError(code, file));
        }

        if (bitmap.width > set.max_width) set.max_width = bitmap.width;
        if (bitmap.rows > set.max_rows) set.max_rows = bitmap.rows;
        if (slot->bitmap_top > set.max_top) set.max_top = slot->bitmap_top;
    }

    if (set.max_width == 0 || set.max_rows == 0) throw Error("No glyph occupies even 1 pixel!");

    if (FT_HAS_KERNING(face.get())) {
        FT_UInt indices[RenderedGlyphSet::COUNT];
        for (unsigned i = 0; i < RenderedGlyphSet::COUNT; ++i) {
            indices[i] = FT_Get_Char_Index(face.get(), RenderedGlyphSet::FIRST_CODE + i);
        }
        for (unsigned l = 0; l < RenderedGlyphSet::COUNT; ++l) {
            for (unsigned r = 0; r < RenderedGlyphSet::COUNT; ++r) {
                FT_Vector delta{0, 0};
                if (FT_Get_Kerning(face.get(), indices[l], indices[r], FT_KERNING_DEFAULT, &delta) != 0) continue;
                if (delta.x == 0) continue;
                const int left = static_cast<int>(RenderedGlyphSet::FIRST_CODE + l);
                const int right = static_cast<int>(RenderedGlyphSet::FIRST_CODE + r);
                set.kerning[std::make_pair(left, right)] = static_cast<float>(delta.x / 64);
            }
        }
    }
    return set;
}

}  // namespace vo

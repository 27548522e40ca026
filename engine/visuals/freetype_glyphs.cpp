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

struct FreeTypeGlyphSource::Impl {
    LibraryHandle library;
    FaceHandle face;
    std::string file;
    GlyphMetrics metrics[COUNT];
    unsigned max_width = 0;
    unsigned max_rows = 0;
    int max_top = 0;
    std::map<std::pair<int, int>, float> kerning;

    // Loads and renders the glyph of code into the face's glyph slot.
    FT_GlyphSlot load(unsigned code) const {
        if (FT_Load_Char(face.get(), code, FT_LOAD_RENDER) != 0) throw Error(CharacterError(code, file.c_str()));
        return face->glyph;
    }

    static GlyphMetrics MetricsOf(unsigned code, FT_GlyphSlot slot) {
        GlyphMetrics m;
        m.code = code;
        m.bitmap_left = slot->bitmap_left;
        m.bitmap_top = slot->bitmap_top;
        m.width = slot->bitmap.width;
        m.rows = slot->bitmap.rows;
        // 26.6 fixed point, truncated towards zero to whole pixels.
        m.advance = static_cast<float>(slot->advance.x / 64);
        return m;
    }
};

FreeTypeGlyphSource::FreeTypeGlyphSource(const char* file, float height) : impl_(new Impl) {
    Impl& d = *impl_;
    d.file = file ? file : "";

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) throw Error("Couldn't initialize freetype library");
    d.library.reset(library);

    FT_Face face = nullptr;
    if (FT_New_Face(d.library.get(), d.file.c_str(), 0, &face) != 0) throw Error("Could not open font " + d.file);
    d.face.reset(face);

    // Whole pixels, truncated; heights FreeType cannot take (negative, not a
    // number, beyond its 16-bit sizes) go to it as 0 or its largest size.
    int pixel_height = 0;
    if (height >= 65535.0f) {
        pixel_height = 65535;
    } else if (height >= 1.0f) {
        pixel_height = static_cast<int>(height);
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_height)) != 0) {
        throw Error("Could not open font " + d.file);
    }

    d.max_top = -pixel_height;
    for (unsigned code = FIRST_CODE; code <= LAST_CODE; ++code) {
        const FT_GlyphSlot slot = d.load(code);
        if (ModeOf(slot->bitmap.pixel_mode) == GlyphPixelMode::OTHER) {
            throw Error(CharacterError(code, d.file.c_str()));
        }
        const GlyphMetrics m = Impl::MetricsOf(code, slot);
        d.metrics[code - FIRST_CODE] = m;
        if (m.width > d.max_width) d.max_width = m.width;
        if (m.rows > d.max_rows) d.max_rows = m.rows;
        if (m.bitmap_top > d.max_top) d.max_top = m.bitmap_top;
    }

    if (d.max_width == 0 || d.max_rows == 0) throw Error("No glyph occupies even 1 pixel!");

    if (FT_HAS_KERNING(face)) {
        FT_UInt indices[COUNT];
        for (unsigned i = 0; i < COUNT; ++i) indices[i] = FT_Get_Char_Index(face, FIRST_CODE + i);
        for (unsigned l = 0; l < COUNT; ++l) {
            for (unsigned r = 0; r < COUNT; ++r) {
                FT_Vector delta{0, 0};
                if (FT_Get_Kerning(face, indices[l], indices[r], FT_KERNING_DEFAULT, &delta) != 0) continue;
                if (delta.x == 0) continue;
                const int left = static_cast<int>(FIRST_CODE + l);
                const int right = static_cast<int>(FIRST_CODE + r);
                d.kerning[std::make_pair(left, right)] = static_cast<float>(delta.x / 64);
            }
        }
    }
}

FreeTypeGlyphSource::~FreeTypeGlyphSource() = default;

const GlyphMetrics& FreeTypeGlyphSource::metrics(unsigned code) const { return impl_->metrics[code - FIRST_CODE]; }
unsigned FreeTypeGlyphSource::max_width() const { return impl_->max_width; }
unsigned FreeTypeGlyphSource::max_rows() const { return impl_->max_rows; }
int FreeTypeGlyphSource::max_top() const { return impl_->max_top; }
const std::map<std::pair<int, int>, float>& FreeTypeGlyphSource::kerning() const { return impl_->kerning; }

GlyphMetrics FreeTypeGlyphSource::render(unsigned code, std::vector<unsigned char>& rgba) const {
    const FT_GlyphSlot slot = impl_->load(code);
    const FT_Bitmap& bitmap = slot->bitmap;
    const GlyphMetrics m = Impl::MetricsOf(code, slot);
    rgba.assign(static_cast<std::size_t>(m.width) * m.rows * 4, 0);
    if (!CopyGlyphBitmap(bitmap.buffer, bitmap.rows, bitmap.width, bitmap.pitch, ModeOf(bitmap.pixel_mode),
                         static_cast<unsigned>(bitmap.num_grays), rgba.data())) {
        throw Error(CharacterError(code, impl_->file.c_str()));
    }
    return m;
}

}  // namespace vo

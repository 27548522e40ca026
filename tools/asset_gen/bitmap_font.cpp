// The round-timer font: the printable ASCII glyphs of a TrueType file
// rendered with FreeType into an atlas, white with a dark outline so the
// numbers read over any part of the level, and the INFO description that
// cuts the atlas into glyphs.

#include "assets.h"
#include "canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace gen {

namespace {

const int kPixelSize = 48;
const int kOutline = 3;
const int kColumns = 16;

struct Glyph {
    int code = 0;
    int width = 0, height = 0;  // of the coverage bitmap
    int left = 0, top = 0;      // bearing: pen to bitmap left, baseline to bitmap top
    int advance = 0;
    std::vector<float> coverage;
};

}  // namespace

std::vector<std::string> WriteBitmapFont(std::string const& dir, std::string const& ttf) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library)) throw std::runtime_error("FreeType cannot start");
    FT_Face face = nullptr;
    if (FT_New_Face(library, ttf.c_str(), 0, &face)) {
        FT_Done_FreeType(library);
        throw std::runtime_error("cannot open font " + ttf);
    }
    FT_Set_Pixel_Sizes(face, 0, kPixelSize);
    int const ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    int const line = static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);

    std::vector<Glyph> glyphs;
    int cell_w = 0, cell_h = 0;
    for (int code = 32; code < 127; ++code) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER)) continue;
        FT_GlyphSlot slot = face->glyph;
        Glyph g;
        g.code = code;
        g.width = static_cast<int>(slot->bitmap.width);
        g.height = static_cast<int>(slot->bitmap.rows);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.advance = static_cast<int>(slot->advance.x >> 6);
        g.coverage.resize(static_cast<std::size_t>(g.width * g.height));
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x)
                g.coverage[static_cast<std::size_t>(y * g.width + x)] = slot->bitmap.buffer[y * slot->bitmap.pitch + x] / 255.0f;
        cell_w = std::max(cell_w, g.width + 2 * kOutline + 2);
        cell_h = std::max(cell_h, g.height + 2 * kOutline + 2);
        glyphs.push_back(std::move(g));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    int const rows = (static_cast<int>(glyphs.size()) + kColumns - 1) / kColumns;
    Canvas atlas(static_cast<unsigned>(kColumns * cell_w), static_cast<unsigned>(rows * cell_h), Rgba{0, 0, 0, 0});
    std::ostringstream info;
    info << "; The round-timer font: DejaVu Sans Bold at " << kPixelSize
         << " pixels with an outline, made by the asset generator.\n"
         << "; Its atlas is textures/fonts/round_timer.png; each glyph names its rectangle there.\n"
         << "texture fonts/round_timer.png\n"
         << "characterHeight " << line << "\nlineSpacing " << line << "\n";

    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        Glyph const& g = glyphs[i];
        int const x0 = static_cast<int>(i % kColumns) * cell_w + 1;
        int const y0 = static_cast<int>(i / kColumns) * cell_h + 1;
        int const w = g.width + 2 * kOutline, h = g.height + 2 * kOutline;
        auto cov = [&](int x, int y) {
            if (x < 0 || y < 0 || x >= g.width || y >= g.height) return 0.0f;
            return g.coverage[static_cast<std::size_t>(y * g.width + x)];
        };
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int const gx = x - kOutline, gy = y - kOutline;
                float outline = 0.0f;
                for (int dy = -kOutline; dy <= kOutline; ++dy)
                    for (int dx = -kOutline; dx <= kOutline; ++dx)
                        if (dx * dx + dy * dy <= kOutline * kOutline) outline = std::max(outline, cov(gx + dx, gy + dy));
                float const c = cov(gx, gy);
                float const shade = 1.0f - 0.18f * (static_cast<float>(y) / h);
                Rgba const fill{shade, shade, shade * 0.88f, 1.0f};
                Rgba out = Mix(Rgba{0.08f, 0.05f, 0.04f, 1.0f}, fill, c);
                out.a = std::max(c, outline);
                atlas.at(static_cast<unsigned>(x0 + x), static_cast<unsigned>(y0 + y)) = out;
            }
        }
        info << "glyph { code " << g.code << " xmin " << x0 << " xmax " << x0 + w << " ymin " << y0 << " ymax "
             << y0 + h << " xoffset " << g.left - kOutline << " yoffset " << ascender - g.top - kOutline
             << " advanceX " << g.advance << " }\n";
    }
    atlas.save(OutputPath(dir, "textures/fonts/round_timer.png"));
    std::string const info_path = OutputPath(dir, "fonts/round_timer.info");
    std::ofstream file(info_path);
    file << info.str();
    if (!file) throw std::runtime_error("cannot write " + info_path);
    return {"textures/fonts/round_timer.png", "fonts/round_timer.info"};
}

}  // namespace gen

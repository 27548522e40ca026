#include "support/engine/text_fixtures.h"

#include "engine/visuals/font.h"
#include "support/engine/media_files.h"

#include <fstream>
#include <sstream>

namespace vo_test {

const char* const DEJAVU_SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const DEJAVU_SANS_MONO = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

namespace {
const unsigned COLUMNS = 16;
}

std::string WriteBlockFont(std::string const& folder, std::string const& name, unsigned glyph_width,
                           unsigned glyph_height, float advance) {
    // Cells one pixel larger than the glyphs, so that neighbours never bleed.
    const unsigned cell_w = glyph_width + 1;
    const unsigned cell_h = glyph_height + 1;
    const unsigned rows = (127 - 32 + COLUMNS - 1) / COLUMNS;
    WritePng(folder + "/" + name + ".png", COLUMNS * cell_w, rows * cell_h, [&](unsigned x, unsigned y) {
        // The blank's cell (the first) stays empty.
        const bool blank = x < cell_w && y < cell_h;
        const bool inside = !blank && x % cell_w < glyph_width && y % cell_h < glyph_height;
        return inside ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 0};
    });

    std::ostringstream info;
    info << "texture " << name << ".png\n";
    info << "characterHeight " << glyph_height << "\n";
    // A tab shows the blank's empty cell.
    for (unsigned code = 9; code < 127; code = code == 9 ? 32 : code + 1) {
        const unsigned i = code == 9 ? 0 : code - 32;
        const unsigned x = (i % COLUMNS) * cell_w;
        const unsigned y = (i / COLUMNS) * cell_h;
        info << "glyph {\n  code " << code << "\n  xmin " << x << "\n  xmax " << x + glyph_width << "\n  ymin " << y
             << "\n  ymax " << y + glyph_height << "\n  advanceX " << advance << "\n}\n";
    }
    const std::string path = folder + "/" + name + ".info";
    std::ofstream(path) << info.str();
    return path;
}

vo::SmartPtr<vo::Font> LoadBlockFont(std::string const& info_path, float height) {
    vo::SmartPtr<vo::Font> font(new vo::Font);
    font->set_file(info_path.c_str(), vo::Font::FONT_BITMAP);
    font->set_character_height(height);
    return font;
}

std::string UniqueName(std::string const& stem) {
    static int counter = 0;
    return stem + "_" + std::to_string(++counter);
}

}  // namespace vo_test

#pragma once

// Fonts for text and widget tests: bitmap fonts written by the test (a PNG
// atlas and its INFO description) and the DejaVu TrueType fonts of the
// system.

#include "engine/core/smart_ptr.h"

#include <string>

namespace vo {
class Font;
}

namespace vo_test {

extern const char* const DEJAVU_SANS;
extern const char* const DEJAVU_SANS_MONO;

// A bitmap font whose printable ASCII glyphs (codes 33 to 126) are solid
// white blocks glyph_width x glyph_height texture pixels large; the blank
// and the tab (code 9) are empty glyphs of that size. Every glyph advances
// the pen by `advance` and has no offsets. "characterHeight" is
// glyph_height, so at that character height one texture pixel is one output
// unit. Writes <folder>/<name>.png and <folder>/<name>.info and returns the
// description's path. The texture is looked up through the texture manager
// by "<name>.png": point Textures().path at the folder (with a trailing
// slash) before the first face is built, and use a name once per process.
std::string WriteBlockFont(std::string const& folder, std::string const& name, unsigned glyph_width,
                           unsigned glyph_height, float advance);

// A bitmap font from WriteBlockFont, set up and built at its character height.
vo::SmartPtr<vo::Font> LoadBlockFont(std::string const& info_path, float height);

// A name not used before in this process, for textures and fonts.
std::string UniqueName(std::string const& stem);

}  // namespace vo_test

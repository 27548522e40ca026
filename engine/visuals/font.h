#pragma once

#include "engine/core/smart_ptr.h"

#include <boost/property_tree/ptree_fwd.hpp>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vo {

class Texture;

// A font file turned into textured glyphs, one face per character height.
// Faces are built the first time a height is asked for and kept, so that
// switching between heights already used costs a look-up.
class Font {
public:
    enum FontType {
        FONT_FREETYPE = 0,  // a FreeType-readable font file
        FONT_BITMAP = 1     // an INFO description of glyphs in a texture
    };

    // Where a character lies in the face's texture and how it is placed.
    struct Glyph {
        float xmin = 0.0f;  // texture rectangle, 0..1; ymin is nearer the top
        float xmax = 0.0f;
        float ymin = 0.0f;
        float ymax = 0.0f;
        float xoffset = 0.0f;  // quad start relative to the pen, output units
        float yoffset = 0.0f;  // measured downwards from the top of the line
        float width = 0.0f;    // quad size, output units
        float height = 0.0f;
        float advance = 0.0f;  // pen movement after the glyph
    };

    // The glyphs of one character height.
    struct FontFace {
        FontFace();
        ~FontFace();

        SmartPtr<Texture> texture;  // the atlas
        float character_height = 0.0f;
        float line_spacing = 0.0f;
        float bottom_line = 0.0f;  // largest yoffset + height of the glyphs
        std::vector<Glyph> glyphs;  // by character code
        std::map<std::pair<int, int>, float> kerning;  // (left, right) -> offset
        float default_x_offset = 1.0f;
        float texture_width = 1.0f;
        float texture_height = 1.0f;
    };

    Font();
    Font(const Font& other);
    Font& operator=(const Font& other);
    ~Font();

    // Selects the file; reads nothing. A different file or type drops every
    // face built so far.
    void set_file(const char* file, FontType type);
    // Makes the face of height h current, building it on first use. Throws
    // Error when the face cannot be built; the current face then stays.
    void set_character_height(float h);

    // The current face's glyph of code, or the fallback glyph for codes
    // outside its table.
    const Glyph& glyph(unsigned code) const;
    // The kerning of exactly (left, right) in the current face, else 0.
    float kerning_offset(int left, int right) const;

    float character_height() const;
    float line_spacing() const;
    float bottom_line() const;
    SmartPtr<Texture> texture() const;

private:
    SmartPtr<FontFace> create_from_freetype(const char* file, float h);
    SmartPtr<FontFace> create_from_info(const char* file, float h);
    int read_glyph_from_info(Glyph& glyph, const boost::property_tree::ptree& node, float scale, FontFace& face);

    FontFace* face_;  // the current face; points into faces_
    float character_height_;
    Glyph fallback_glyph_;
    std::string file_;
    FontType type_;
    std::vector<std::pair<float, SmartPtr<FontFace>>> faces_;
};

}  // namespace vo

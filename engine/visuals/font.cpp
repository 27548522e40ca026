#include "engine/visuals/font.h"

#include "engine/core/error.h"
#include "engine/core/frame.h"
#include "engine/core/info_file.h"
#include "engine/core/resources.h"
#include "engine/sfml/engine.h"
#include "engine/sfml/texture.h"
#include "engine/visuals/freetype_glyphs.h"

#include <boost/property_tree/ptree.hpp>

#include <cmath>
#include <iostream>
#include <sstream>

namespace vo {

Font::FontFace::FontFace() = default;
Font::FontFace::~FontFace() = default;

Font::Font() : face_(nullptr), character_height_(0.0f), file_(), type_(FONT_FREETYPE) {
    faces_.emplace_back(0.0f, SmartPtr<FontFace>(new FontFace));
    face_ = faces_.front().second.get();
}

Font::Font(const Font& other) = default;
Font& Font::operator=(const Font& other) = default;
Font::~Font() = default;

void Font::set_file(const char* file, FontType type) {
    const std::string name = file ? file : "";
    if (name == file_ && type == type_) return;
    if (faces_.size() > 1) {
        faces_.clear();
        faces_.emplace_back(0.0f, SmartPtr<FontFace>(new FontFace));
        face_ = faces_.front().second.get();
        character_height_ = 0.0f;
    }
    file_ = name;
    type_ = type;
}

void Font::set_character_height(float h) {
    if (h == character_height_) return;
    for (auto& entry : faces_) {
        if (entry.first == h) {
            face_ = entry.second.get();
            character_height_ = h;
            return;
        }
    }

    SmartPtr<FontFace> face;
    if (type_ == FONT_FREETYPE) {
        face = create_from_freetype(file_.c_str(), h);
        if (!face) throw Error("Specified freetype font not found: " + file_);
    } else {
        if (type_ == FONT_BITMAP) face = create_from_info(file_.c_str(), h);
        if (!face) throw Error("Specified bitmap font not found: " + file_);
    }

    faces_.insert(faces_.begin(), std::make_pair(h, face));
    face_ = face.get();
    character_height_ = h;
}

const Font::Glyph& Font::glyph(unsigned code) const {
    if (code < face_->glyphs.size()) return face_->glyphs[code];
    return fallback_glyph_;
}

float Font::kerning_offset(int left, int right) const {
    const auto found = face_->kerning.find(std::make_pair(left, right));
    return found == face_->kerning.end() ? 0.0f : found->second;
}

float Font::character_height() const { return face_->character_height; }
float Font::line_spacing() const { return face_->line_spacing; }
float Font::bottom_line() const { return face_->bottom_line; }
SmartPtr<Texture> Font::texture() const { return face_->texture; }

SmartPtr<Font::FontFace> Font::create_from_freetype(const char* file, float h) {
    std::cout << "reading freetype font from: " << file << " with character height: " << h << std::endl;

    const FreeTypeGlyphSource source(file, h);

    SmartPtr<FontFace> face(new FontFace);
    face->character_height = h;
    face->line_spacing = static_cast<float>(static_cast<double>(h) * 1.01);
    face->default_x_offset = 0.0f;

    const unsigned cell_w = source.max_width();
    const unsigned cell_h = source.max_rows();
    const GlyphAtlasLayout layout = ComputeGlyphAtlasLayout(cell_w, cell_h);
    std::cout << "  -> allocating " << layout.size << " x " << layout.size << " texture" << std::endl;

    face->texture = Engine::instance().create_texture();
    face->texture->set_smooth(false);
    face->texture->set_repeated(false);
    if (!face->texture->create(layout.size, layout.size)) {
        std::ostringstream os;
        os << "Couldn't create font texture of size " << layout.size << " for " << file;
        throw Error(os.str());
    }
    const float size = static_cast<float>(layout.size);
    face->texture_width = size;
    face->texture_height = size;
    face->bottom_line = 0.0f;

    const Glyph zero;
    face->glyphs.assign(128, zero);
    std::vector<unsigned char> pixels;
    pixels.reserve(static_cast<std::size_t>(cell_w) * cell_h * 4);
    for (unsigned code = FreeTypeGlyphSource::FIRST_CODE; code <= FreeTypeGlyphSource::LAST_CODE; ++code) {
        const GlyphMetrics m = source.render(code, pixels);
        const unsigned i = code - FreeTypeGlyphSource::FIRST_CODE;
        const unsigned x = (i % layout.cols) * cell_w;
        const unsigned y = (i / layout.cols) * cell_h;
        if (m.width > 0 && m.rows > 0) face->texture->update(x, y, m.width, m.rows, pixels.data());

        Glyph& g = face->glyphs[code];
        g.xmin = static_cast<float>(x) / size;
        g.xmax = static_cast<float>(x + m.width) / size;
        g.ymin = static_cast<float>(y) / size;
        g.ymax = static_cast<float>(y + m.rows) / size;
        g.xoffset = static_cast<float>(m.bitmap_left);
        g.yoffset = static_cast<float>(source.max_top() - m.bitmap_top);
        g.width = static_cast<float>(m.width);
        g.height = static_cast<float>(m.rows);
        g.advance = m.advance;
        if (g.yoffset + g.height > face->bottom_line) face->bottom_line = g.yoffset + g.height;
    }
    face->kerning = source.kerning();

    // The fallback glyph belongs to the font: the last face built decides it.
    fallback_glyph_ = zero;
    return face;
}

SmartPtr<Font::FontFace> Font::create_from_info(const char* file, float h) {
    namespace pt = boost::property_tree;
    std::cout << "reading bitmap font from: " << file << std::endl;

    pt::ptree tree;
    try {
        ReadInfoFile(file, tree);
    } catch (const std::exception&) {
        throw Error(std::string("Couldn't load bitmap font from: ") + file);
    }
    if (tree.empty()) throw Error(std::string("Couldn't load font desc at ") + file);

    const std::string texture_name = tree.get<std::string>("texture", "");
    if (texture_name.empty()) throw Error(std::string("No font-texture specified in font: ") + file);

    SmartPtr<FontFace> face(new FontFace);
    face->texture = GetTexture(texture_name);
    if (face->texture) {
        const Frame f = face->texture->frame();
        const float w = std::fabs(f.right() - f.left());
        const float t = std::fabs(f.bottom() - f.top());
        face->texture_width = w > 1.0f ? w : 1.0f;
        face->texture_height = t > 1.0f ? t : 1.0f;
    }

    float drawn_height = tree.get<float>("characterHeight", 12.0f);
    if (drawn_height <= 1.0f) drawn_height = 1.0f;
    const float scale = h / drawn_height;
    face->character_height = h;
    const float spacing = tree.get<float>("lineSpacing", static_cast<float>(static_cast<double>(h) * 1.1));
    face->line_spacing = spacing * scale;
    face->default_x_offset = tree.get<float>("defaultXOffset", 0.0f);

    Glyph fallback;
    if (const auto node = tree.get_child_optional("fallackGlyph")) {
        read_glyph_from_info(fallback, *node, scale, *face);
    }

    face->glyphs.clear();
    face->bottom_line = 0.0f;
    for (const auto& child : tree) {
        if (child.first.compare(0, 5, "glyph") != 0) continue;
        Glyph g;
        const int code = read_glyph_from_info(g, child.second, scale, *face);
        if (code < 0 || code >= 65536) continue;
        const std::size_t index = static_cast<std::size_t>(code);
        if (face->glyphs.size() < index + 1) face->glyphs.resize(index + 1, fallback);
        face->glyphs[index] = g;
        if (g.yoffset + g.height > face->bottom_line) face->bottom_line = g.yoffset + g.height;
    }

    fallback_glyph_ = fallback;
    return face;
}

int Font::read_glyph_from_info(Glyph& glyph, const boost::property_tree::ptree& node, float scale, FontFace& face) {
    const int code = node.get<int>("code", 0);
    const float xmin = node.get<float>("xmin", 0.0f);
    const float xmax = node.get<float>("xmax", 0.0f);
    const float ymin = node.get<float>("ymin", 0.0f);
    const float ymax = node.get<float>("ymax", 0.0f);

    glyph.xoffset = node.get<float>("xoffset", face.default_x_offset) * scale;
    glyph.yoffset = node.get<float>("yoffset", 0.0f) * scale;
    glyph.width = (xmax - xmin) * scale;
    glyph.height = (ymax - ymin) * scale;
    glyph.advance = node.get<float>("advanceX", xmax - xmin) * scale;

    glyph.xmin = xmin / face.texture_width;
    glyph.xmax = xmax / face.texture_width;
    glyph.ymin = ymin / face.texture_height;
    glyph.ymax = ymax / face.texture_height;
    return code;
}

}  // namespace vo

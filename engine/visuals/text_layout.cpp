#include "engine/visuals/text_layout.h"

#include "engine/core/error.h"
#include "engine/core/vertex.h"
#include "engine/sfml/buffers.h"
#include "engine/visuals/font.h"

#include <climits>
#include <cstring>
#include <new>
#include <vector>

namespace vo {
namespace {

// Character codes are the bytes taken as signed char.
inline int CodeOf(char c) { return static_cast<signed char>(c); }

inline vector3 Along(const vector3& axis, float amount) {
    return vector3(axis.x * amount, axis.y * amount, axis.z * amount);
}

inline vector3 Sum(const vector3& a, const vector3& b) { return vector3(a.x + b.x, a.y + b.y, a.z + b.z); }

const unsigned TEXT_VERTEX_FORMAT = 0xB;  // position, colour, texture coordinates
const unsigned TEXT_VERTEX_SIZE = 36;
static_assert(sizeof(ColorVertex) == TEXT_VERTEX_SIZE, "a text vertex is nine floats");

}  // namespace

std::string WrapText(const char* text, Font const& font, float scale, float max_width) {
    std::string result;
    std::string word;
    if (!text) return result;
    result.reserve(std::strlen(text) + 16);

    float line_width = 0.0f;
    int previous = 0;
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        const int code = CodeOf(c);
        const Font::Glyph& g = font.glyph(static_cast<unsigned>(code));

        bool separator = false;
        bool line_break = false;
        float w;
        if (c == '\t') {
            w = 4.0f * g.advance;
            separator = true;
        } else if (c == '\n') {
            w = 0.0f;
            separator = true;
            line_break = true;
        } else if (c == ' ') {
            w = g.advance;
            separator = true;
        } else {
            w = g.advance;
        }
        if (previous != 0) w += font.kerning_offset(previous, code);
        w *= scale;

        bool flush = separator;
        if (!separator && line_width + w > max_width) {
            if (line_width > 0.0f) {
                result += '\n';
                line_break = true;
                // A character that fits a line of its own moves on with its
                // word; a wider one ends the word where it stands.
                flush = !(w <= max_width);
            } else {
                flush = true;
            }
        }

        if (flush) {
            result += word;
            word.clear();
            if (c == ' ' || c == '\t') {
                if (max_width > line_width + w) {
                    result += c;
                    line_width += w;
                }
                continue;
            }
        }

        word += c;
        if (line_break) {
            line_width = 0.0f;
            previous = 0;
        } else {
            line_width += w;
            previous = code;
        }
    }
    result += word;
    return result;
}

AABox CreateTextGeometry(VertexBuffer& vertices, IndexBuffer& indices, const char* text, Font const& font,
                         vector3 const& origin, vector3 right, vector3 down, Color const& color) {
    AABox box(origin, origin);
    const std::size_t length = text ? std::strlen(text) : 0;
    if (length > UINT_MAX / 6) throw std::bad_alloc();
    const unsigned n = static_cast<unsigned>(length);

    if (vertices.num_vertices() != 4 * n || vertices.format() != TEXT_VERTEX_FORMAT) {
        vertices.create(4 * n, TEXT_VERTEX_SIZE, TEXT_VERTEX_FORMAT);
    }
    void* vertex_data = nullptr;
    if (!vertices.lock(&vertex_data, 0, 4 * n)) throw Error("Couldn't lock the vertex buffer of a text");
    BufferLockGuard<VertexBuffer> vertex_guard(vertices);
    unsigned char* const out = static_cast<unsigned char*>(vertex_data);

    std::vector<unsigned> index_list;
    index_list.reserve(6 * static_cast<std::size_t>(n));

    const vector3 line_step = Along(down, font.line_spacing());
    vector3 line_start = origin;
    vector3 pen = origin;
    int previous = 0;
    unsigned k = 0;
    for (unsigned i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '\n') {
            line_start += line_step;
            pen = line_start;
            previous = 0;
            continue;
        }
        const int code = CodeOf(c);
        const Font::Glyph& g = font.glyph(static_cast<unsigned>(code));
        if (previous != 0) pen.x += font.kerning_offset(previous, code);

        const vector3 p = Sum(Sum(pen, Along(right, g.xoffset)), Along(down, g.yoffset));
        const vector3 below = Sum(p, Along(down, g.height));
        const vector3 across = Along(right, g.width);
        const ColorVertex quad[4] = {
            ColorVertex(p, color, vector2(g.xmin, g.ymin)),
            ColorVertex(below, color, vector2(g.xmin, g.ymax)),
            ColorVertex(Sum(below, across), color, vector2(g.xmax, g.ymax)),
            ColorVertex(Sum(p, across), color, vector2(g.xmax, g.ymin)),
        };
        std::memcpy(out + static_cast<std::size_t>(k) * TEXT_VERTEX_SIZE, quad, sizeof(quad));
        box.add_point(quad[2].position);

        const unsigned triangles[6] = {k, k + 1, k + 2, k + 2, k + 3, k};
        index_list.insert(index_list.end(), triangles, triangles + 6);
        k += 4;

        pen.x += right.x * g.advance;
        pen.z += right.z * g.advance;
        pen.y = line_start.y;
        previous = code;
    }

    const unsigned count = static_cast<unsigned>(index_list.size());
    if (indices.num_indices() != count) indices.create(count);
    unsigned* index_data = nullptr;
    if (!indices.lock(&index_data, 0, count)) throw Error("Couldn't lock the index buffer of a text");
    BufferLockGuard<IndexBuffer> index_guard(indices);
    if (count > 0) std::memcpy(index_data, index_list.data(), count * sizeof(unsigned));
    return box;
}

AABox EstimateTextDimensions(const char* text, Font const& font, vector3 const& origin, vector3 right,
                             vector3 down) {
    AABox box(origin, origin);
    const vector3 line_step = Along(down, font.line_spacing());
    vector3 line_start = origin;
    vector3 pen = origin;
    int previous = 0;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n') {
            line_start += line_step;
            pen = line_start;
            previous = 0;
            continue;
        }
        const int code = CodeOf(*p);
        const Font::Glyph& g = font.glyph(static_cast<unsigned>(code));
        if (previous != 0) pen.x += font.kerning_offset(previous, code);
        box.add_point(Sum(Sum(pen, Along(down, g.height)), Along(right, g.width)));
        pen.x += right.x * g.advance;
        pen.z += right.z * g.advance;
        pen.y = line_start.y;
        previous = code;
    }
    box.add_point(Sum(line_start, Along(down, font.bottom_line())));
    return box;
}

}  // namespace vo

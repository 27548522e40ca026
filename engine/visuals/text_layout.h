#pragma once

// Laying text out with a font at the font's current face. Text is a byte
// string; each byte is one character code taken as a signed char, so bytes
// from 128 up get the font's fallback glyph. '\n' breaks the line. The pen
// advances along the right axis; lines follow each other and glyph offsets
// are measured along the down axis.

#include "engine/core/aabox.h"
#include "engine/core/color.h"
#include "engine/core/vector.h"

#include <string>

namespace vo {

class Font;
class IndexBuffer;
class VertexBuffer;

// The text with line breaks inserted so that lines stay within max_width,
// a character's width being its advance plus kerning, times scale. Words are
// never split: a word wider than max_width stays on a line of its own. A
// blank or tab that does not fit at the end of a line is dropped.
std::string WrapText(const char* text, Font const& font, float scale, float max_width);

// One textured quad per character (two triangles) in the vertex format
// position, colour, texture coordinates; the buffers are re-created when
// their sizes do not match. Returns the box of the origin and the lower
// right corners of the quads.
AABox CreateTextGeometry(VertexBuffer& vertices, IndexBuffer& indices, const char* text, Font const& font,
                         vector3 const& origin, vector3 right, vector3 down, Color const& color);

// The box CreateTextGeometry would return, without glyph offsets, and
// reaching down to the last line's bottom line.
AABox EstimateTextDimensions(const char* text, Font const& font, vector3 const& origin, vector3 right,
                             vector3 down);

}  // namespace vo

#pragma once

#include "engine/core/color.h"
#include "engine/core/vector.h"

namespace vo {

// Vertex records, byte for byte one vertex of a vertex buffer of their format.
// Format bits: 1 position (3 floats), 2 colour (4 floats), 4 normal (3 floats),
// 8 texture coordinates (2 floats); present attributes follow in that order.

// Position, colour, texture coordinates: 9 floats, 36 bytes.
class ColorVertex {
public:
    static const unsigned int VRT_DESC;  // 11 = 1 | 2 | 8

    ColorVertex() {}
    ColorVertex(const vector3& position_, const Color& color_, const vector2& tex_coord_)
        : position(position_), color(color_), tex_coord(tex_coord_) {}

    vector3 position;
    Color color;
    vector2 tex_coord;
};

// Position, normal, texture coordinates: 8 floats, 32 bytes.
class NormalVertex {
public:
    static const unsigned int VRT_DESC;  // 13 = 1 | 4 | 8

    NormalVertex() {}
    NormalVertex(const vector3& position_, const vector3& normal_, const vector2& tex_coord_)
        : position(position_), normal(normal_), tex_coord(tex_coord_) {}

    vector3 position;
    vector3 normal;
    vector2 tex_coord;
};

}  // namespace vo

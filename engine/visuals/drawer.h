#pragma once

#include "engine/core/color.h"
#include "engine/core/frame.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/sfml/buffers.h"
#include "engine/sfml/texture.h"

namespace vo {

// Immediate lines and rectangles (filled or outlined, plain or textured,
// rotated) in one current colour. Every draw reuses the drawer's own small
// vertex buffer (4 coloured, textured vertices) and index buffer (6
// indices): one lock of each and one indexed draw, no allocation. Copies
// share the buffers. Coordinates are in the units of the current matrices;
// z is passed into the vertices unchanged.
class Drawer {
public:
    Drawer();
    Drawer(const Drawer& other) = default;
    Drawer& operator=(const Drawer& other) = default;
    ~Drawer();

    void set_color(Color const& color) { color_ = color; }
    void set_color(float r, float g, float b, float a) { color_ = Color(r, g, b, a); }
    Color const& color() const { return color_; }

    void draw_line(float x1, float y1, float x2, float y2, float z);

    // The general rectangle: binds the texture (null unbinds) and draws the
    // quad of `dest` showing `tex_frame` of it (0..1 texture coordinates),
    // turned by `angle` degrees about its centre.
    void draw_rect(Frame const& dest, Frame const& tex_frame, bool filled, float z, ConstSmartPtr<Texture> texture,
                   float angle);
    // The same with whatever texture is bound now.
    void draw_tex_rect(Frame const& dest, Frame const& tex_frame, bool filled, float z, float angle);
    // Untextured, unturned rectangles.
    void draw_rect(float left, float top, float right, float bottom, bool filled, float z);
    void draw_rect(Frame const& frame, bool filled, float z);
    // Centred on the point, at its z.
    void draw_rect(vector3 const& centre, float width, float height, bool filled);

    // The buffers every draw writes (for tests and for drawing the same
    // geometry again).
    SmartPtr<VertexBuffer> const& vertex_buffer() const { return vertex_buffer_; }
    SmartPtr<IndexBuffer> const& index_buffer() const { return index_buffer_; }

private:
    void draw_quad(Frame const& dest, Frame const& tex_frame, bool filled, float z, float angle);

    Color color_;
    SmartPtr<VertexBuffer> vertex_buffer_;
    SmartPtr<IndexBuffer> index_buffer_;
};

// The one drawer that images, widgets and grips draw through, made on first
// use and kept until the program's static objects go.
Drawer& SharedDrawer();

}  // namespace vo

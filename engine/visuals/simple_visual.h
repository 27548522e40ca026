#pragma once

#include "engine/core/color.h"
#include "engine/core/smart_ptr.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/visual.h"

namespace vo {

// One vertex buffer and one index buffer drawn in one call with one
// primitive type, texture, colour, effect and point size. Copies share the
// buffers.
class SimpleVisual : public IVisual {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    explicit SimpleVisual(PrimitiveType type = PRIMITIVE_POINTS, SmartPtr<Texture> texture = SmartPtr<Texture>());
    ~SimpleVisual() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;
    bool is_animated() const override;
    void draw() const override;

    SmartPtr<VertexBuffer> vertex_buffer() const { return vertex_buffer_; }
    SmartPtr<IndexBuffer> index_buffer() const { return index_buffer_; }
    SmartPtr<Texture> texture() const { return texture_; }
    Color const& color() const { return color_; }
    EffectHandle effect() const { return effect_; }
    PrimitiveType primitive_type() const { return type_; }
    float point_size() const { return point_size_; }
    int num_primitives() const { return num_primitives_; }

    // Setting the texture leaves the effect alone.
    void set_texture(SmartPtr<Texture> texture) { texture_ = texture; }
    void set_color(Color const& color) { color_ = color; }
    void set_effect(EffectHandle effect) { effect_ = effect; }
    void set_primitive_type(PrimitiveType type) { type_ = type; }
    void set_point_size(float size) { point_size_ = size; }
    // How many primitives to draw; negative: every index of the buffer.
    void set_num_primitives(int n) { num_primitives_ = n; }

    // The number of indices drawn for n primitives of the type (negative n:
    // all of `all_indices`), at most the largest int.
    static int index_count(PrimitiveType type, int n, unsigned all_indices);

private:
    SmartPtr<VertexBuffer> vertex_buffer_;
    SmartPtr<IndexBuffer> index_buffer_;
    SmartPtr<Texture> texture_;
    EffectHandle effect_;
    Color color_;
    PrimitiveType type_;
    float point_size_;
    int num_primitives_;
};

}  // namespace vo

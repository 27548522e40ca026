#pragma once

#include "engine/core/color.h"
#include "engine/core/smart_ptr.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/visual.h"

#include <string>
#include <vector>

namespace vo {

// One vertex buffer and one index buffer, drawn as a list of subsets, each
// with its own primitive type, colour, texture or effect. The owner creates
// and fills the buffers. Copies share the buffers.
class StaticVisual : public IVisual {
public:
    // One draw call.
    struct Subset {
        // The first five go unchanged into Engine::draw_indexed.
        int first_vertex = 0;
        int num_vertices = 0;
        int first_index = 0;
        int num_indices = 0;
        int reserved = 0;
        PrimitiveType type = PRIMITIVE_TRIANGLES;
        // Diffuse material colour.
        Color color = Color(1.0f, 1.0f, 1.0f, 1.0f);
        SmartPtr<Texture> texture;
        // When valid, used instead of the texture and colour.
        EffectHandle effect;
    };

    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    // Both buffers come from the engine, still empty.
    StaticVisual();
    ~StaticVisual() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;
    bool is_animated() const override;
    void draw() const override;

    void add_subset(Subset const& subset) { subsets_.push_back(subset); }
    void clear_subsets() { subsets_.clear(); }
    std::vector<Subset> const& subsets() const { return subsets_; }

    void set_filename(std::string const& filename) { filename_ = filename; }
    void set_filename(const char* filename) { filename_ = filename ? filename : ""; }
    std::string const& filename() const { return filename_; }

    SmartPtr<VertexBuffer> vertex_buffer() const { return vertex_buffer_; }
    SmartPtr<IndexBuffer> index_buffer() const { return index_buffer_; }

private:
    std::vector<Subset> subsets_;
    std::string filename_;
    SmartPtr<VertexBuffer> vertex_buffer_;
    SmartPtr<IndexBuffer> index_buffer_;
};

}  // namespace vo

#pragma once

// The back end's vertex and index buffers: plain main memory, drawn from
// client arrays. Copies of a buffer's storage handle share it, so storage the
// engine is drawing from stays alive while it is bound.

#include "engine/sfml/buffers.h"

#include <cstddef>
#include <memory>

namespace vo {

class VertexBufferDefault : public VertexBuffer {
public:
    // Vertex storage stays below 4 GiB, as index storage does.
    static constexpr std::size_t MAX_BYTES = std::size_t(1) << 32;

    VertexBufferDefault() = default;

    void create(unsigned num_vertices, unsigned vertex_size, unsigned format) override;
    bool lock(void** data, unsigned first, unsigned count) override;
    void unlock() override;
    bool is_locked() const override;
    unsigned num_vertices() const override;
    unsigned vertex_size() const override;
    unsigned format() const override;

    // Start of the storage (null while empty).
    unsigned char* data() const { return data_.get(); }

private:
    std::shared_ptr<unsigned char[]> data_;
    unsigned num_vertices_ = 0;
    unsigned vertex_size_ = 0;
    unsigned format_ = 0;
    bool locked_ = false;
};

class IndexBufferDefault : public IndexBuffer {
public:
    // Index buffers hold fewer than this many indices (4 GiB).
    static constexpr unsigned MAX_INDICES = 1u << 30;

    IndexBufferDefault() = default;

    void create(unsigned num_indices) override;
    bool lock(unsigned** data, unsigned first, unsigned count) override;
    void unlock() override;
    bool is_locked() const override;
    unsigned num_indices() const override;

    unsigned* data() const { return data_.get(); }

private:
    std::shared_ptr<unsigned[]> data_;
    unsigned num_indices_ = 0;
    bool locked_ = false;
};

// Bytes one vertex of the format needs (position 12, colour 16, normal 12,
// texture coordinates 8).
unsigned VertexFormatSize(unsigned format);

// True when [first, first + count) lies inside [0, size), without overflow.
inline bool RangeFits(unsigned first, unsigned count, unsigned size) {
    return first <= size && count <= size - first;
}

}  // namespace vo

#include "engine/sfml/default_buffers.h"

#include <new>

namespace vo {

unsigned VertexFormatSize(unsigned format) {
    unsigned size = 0;
    if (format & VERTEX_POSITION) size += 12;
    if (format & VERTEX_COLOR) size += 16;
    if (format & VERTEX_NORMAL) size += 12;
    if (format & VERTEX_TEXCOORD) size += 8;
    return size;
}

void VertexBufferDefault::create(unsigned num_vertices, unsigned vertex_size, unsigned format) {
    const std::size_t n = num_vertices;
    const std::size_t s = vertex_size;
    if (s != 0 && n > (MAX_BYTES - 1) / s) throw std::bad_alloc();
    std::shared_ptr<unsigned char[]> storage;
    if (n * s > 0) storage.reset(new unsigned char[n * s]);
    data_ = std::move(storage);
    num_vertices_ = num_vertices;
    vertex_size_ = vertex_size;
    format_ = format;
}

bool VertexBufferDefault::lock(void** data, unsigned first, unsigned count) {
    if (locked_ || !data || !RangeFits(first, count, num_vertices_)) return false;
    locked_ = true;
    *data = data_.get() + static_cast<std::size_t>(first) * vertex_size_;
    return true;
}

void VertexBufferDefault::unlock() { locked_ = false; }
bool VertexBufferDefault::is_locked() const { return locked_; }
unsigned VertexBufferDefault::num_vertices() const { return num_vertices_; }
unsigned VertexBufferDefault::vertex_size() const { return vertex_size_; }
unsigned VertexBufferDefault::format() const { return format_; }

void IndexBufferDefault::create(unsigned num_indices) {
    if (num_indices >= MAX_INDICES) throw std::bad_alloc();
    std::shared_ptr<unsigned[]> storage;
    if (num_indices > 0) storage.reset(new unsigned[num_indices]);
    data_ = std::move(storage);
    num_indices_ = num_indices;
}

bool IndexBufferDefault::lock(unsigned** data, unsigned first, unsigned count) {
    if (locked_ || !data || !RangeFits(first, count, num_indices_)) return false;
    locked_ = true;
    *data = data_.get() + first;
    return true;
}

void IndexBufferDefault::unlock() { locked_ = false; }
bool IndexBufferDefault::is_locked() const { return locked_; }
unsigned IndexBufferDefault::num_indices() const { return num_indices_; }

}  // namespace vo

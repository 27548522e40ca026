#pragma once

namespace vo {

// Vertex format bits: the attributes present follow one another in this
// order inside one vertex; the vertex size is the stride.
enum VertexFormat : unsigned {
    VERTEX_POSITION = 1,  // 3 floats
    VERTEX_COLOR = 2,     // 4 floats
    VERTEX_NORMAL = 4,    // 3 floats
    VERTEX_TEXCOORD = 8   // 2 floats
};

// Vertices in main memory, filled in place through lock and drawn by the
// engine. Made only by Engine::create_vertex_buffer.
class VertexBuffer {
public:
    VertexBuffer() = default;
    VertexBuffer(const VertexBuffer&) {}
    VertexBuffer& operator=(const VertexBuffer&) { return *this; }
    virtual ~VertexBuffer();

    // New storage of num_vertices x vertex_size bytes (contents undefined);
    // throws std::bad_alloc when the size cannot be held.
    virtual void create(unsigned num_vertices, unsigned vertex_size, unsigned format) = 0;
    // Hands out the storage of vertices [first, first + count). False (and no
    // pointer) when already locked or when the range does not fit.
    virtual bool lock(void** data, unsigned first, unsigned count) = 0;
    virtual void unlock() = 0;
    virtual bool is_locked() const = 0;
    virtual unsigned num_vertices() const = 0;
    virtual unsigned vertex_size() const = 0;
    virtual unsigned format() const = 0;
};

// 32-bit unsigned indices in main memory. Made only by
// Engine::create_index_buffer.
class IndexBuffer {
public:
    IndexBuffer() = default;
    IndexBuffer(const IndexBuffer&) {}
    IndexBuffer& operator=(const IndexBuffer&) { return *this; }
    virtual ~IndexBuffer();

    virtual void create(unsigned num_indices) = 0;
    virtual bool lock(unsigned** data, unsigned first, unsigned count) = 0;
    virtual void unlock() = 0;
    virtual bool is_locked() const = 0;
    virtual unsigned num_indices() const = 0;
};

// Unlocks a locked vertex or index buffer when the scope ends, also when an
// exception ends it.
template <class Buffer>
class BufferLockGuard {
public:
    explicit BufferLockGuard(Buffer& buffer) : buffer_(buffer) {}
    ~BufferLockGuard() { buffer_.unlock(); }
    BufferLockGuard(const BufferLockGuard&) = delete;
    BufferLockGuard& operator=(const BufferLockGuard&) = delete;

private:
    Buffer& buffer_;
};

}  // namespace vo

#pragma once

#include <cstdint>

namespace mg {

class Vertex;

// Anything that names an ordered list of vertices.
class IVertexGroup {
public:
    virtual ~IVertexGroup() = default;
    virtual Vertex* vertex(unsigned int i) const = 0;
    // Pointer to the first of the group's vertex pointers (contiguous, in
    // order); null for a group that holds none.
    virtual Vertex* const* vertices() const = 0;
    virtual unsigned int num_vertices() const = 0;
};

// The two vertices of an edge, in order.
class EdgeVertices : public IVertexGroup {
public:
    Vertex* vertex(unsigned int i) const override { return m_vertices[i]; }
    Vertex* const* vertices() const override { return m_vertices; }
    unsigned int num_vertices() const override { return 2; }

protected:
    EdgeVertices() : m_vertices{nullptr, nullptr} {}
    EdgeVertices(Vertex* v0, Vertex* v1) : m_vertices{v0, v1} {}

    Vertex* m_vertices[2];
};

// The corner list of a face. Concrete faces and FaceDescriptor answer for
// themselves; the base group is empty.
class FaceVertices : public IVertexGroup {
public:
    Vertex* vertex(unsigned int) const override { return nullptr; }
    Vertex* const* vertices() const override { return nullptr; }
    unsigned int num_vertices() const override { return 0; }
};

// The corner list of a volume; empty unless a subclass answers.
class VolumeVertices : public IVertexGroup {
public:
    Vertex* vertex(unsigned int) const override { return nullptr; }
    Vertex* const* vertices() const override { return nullptr; }
    unsigned int num_vertices() const override { return 0; }
};

// Sum of the squares of the group's vertex hash numbers, in 32-bit unsigned
// arithmetic (wrapping). Equal vertex sets give equal keys in any order; the
// grid uses it as a quick filter before comparing vertex sets.
uint32_t vertex_hash_key(const IVertexGroup* group);

}  // namespace mg

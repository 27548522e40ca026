#pragma once

#include "dez_odor/grid/vertex_group.h"

namespace mg {

// Names an edge by its two vertices before (or without) the edge existing.
class EdgeDescriptor : public EdgeVertices {
public:
    EdgeDescriptor() = default;
    EdgeDescriptor(Vertex* v0, Vertex* v1) : EdgeVertices(v0, v1) {}

    void set_vertex(unsigned int i, Vertex* v) { m_vertices[i] = v; }
    void set_vertices(Vertex* v0, Vertex* v1)
    {
        m_vertices[0] = v0;
        m_vertices[1] = v1;
    }
};

// Names a face by up to four corners.
class FaceDescriptor : public FaceVertices {
public:
    static constexpr unsigned int MAX_VERTICES = 4;

    FaceDescriptor() : m_vertices{}, m_numVertices(0) {}
    explicit FaceDescriptor(unsigned int numVertices) : m_vertices{}, m_numVertices(numVertices) {}

    Vertex* vertex(unsigned int i) const override { return m_vertices[i]; }
    Vertex* const* vertices() const override { return m_vertices; }
    unsigned int num_vertices() const override { return m_numVertices; }

    void set_num_vertices(unsigned int n) { m_numVertices = n; }
    void set_vertex(unsigned int i, Vertex* v) { m_vertices[i] = v; }

private:
    Vertex* m_vertices[MAX_VERTICES];
    unsigned int m_numVertices;
};

// Names a volume by up to eight corners.
class VolumeDescriptor : public VolumeVertices {
public:
    static constexpr unsigned int MAX_VERTICES = 8;

    VolumeDescriptor() : m_vertices{}, m_numVertices(0) {}
    explicit VolumeDescriptor(unsigned int numVertices) : m_vertices{}, m_numVertices(numVertices) {}

    Vertex* vertex(unsigned int i) const override { return m_vertices[i]; }
    Vertex* const* vertices() const override { return m_vertices; }
    unsigned int num_vertices() const override { return m_numVertices; }

    void set_num_vertices(unsigned int n) { m_numVertices = n; }
    void set_vertex(unsigned int i, Vertex* v) { m_vertices[i] = v; }

private:
    Vertex* m_vertices[MAX_VERTICES];
    unsigned int m_numVertices;
};

// Three corners, in order, from which the grid builds a Triangle.
class TriangleDescriptor {
public:
    TriangleDescriptor() : m_vertices{nullptr, nullptr, nullptr} {}
    TriangleDescriptor(Vertex* v0, Vertex* v1, Vertex* v2) : m_vertices{v0, v1, v2} {}

    Vertex* vertex(unsigned int i) const { return m_vertices[i]; }
    void set_vertex(unsigned int i, Vertex* v) { m_vertices[i] = v; }

private:
    Vertex* m_vertices[3];
};

}  // namespace mg

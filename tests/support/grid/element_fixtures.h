#pragma once

#include "dez_odor/grid/base_elements.h"
#include "dez_odor/grid_objects/regular_vertex.h"

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

namespace mg_test {

// Free-standing vertices for tests of element operations without a grid.
// Vertex i gets the hash number i unless other numbers are given.
class VertexSet {
public:
    explicit VertexSet(size_t n);
    explicit VertexSet(const std::vector<uint32_t>& hashNumbers);

    mg::RegularVertex* operator[](size_t i) const { return m_vertices[i].get(); }
    size_t size() const { return m_vertices.size(); }
    // Adds one more vertex (hash number = its index) and returns it.
    mg::RegularVertex* add();

private:
    std::vector<std::unique_ptr<mg::RegularVertex>> m_vertices;
};

// Takes ownership of the new elements an element operation hands out.
template <class T>
class OwnedElements {
public:
    OwnedElements() = default;
    ~OwnedElements() { release(); }
    OwnedElements(const OwnedElements&) = delete;
    OwnedElements& operator=(const OwnedElements&) = delete;

    std::vector<T*>& vec() { return m_elems; }
    const std::vector<T*>& vec() const { return m_elems; }
    size_t size() const { return m_elems.size(); }
    T* operator[](size_t i) const { return m_elems[i]; }
    void release()
    {
        for (T* e : m_elems)
            delete e;
        m_elems.clear();
    }

private:
    std::vector<T*> m_elems;
};

// The corners of a vertex group, in order.
std::vector<mg::Vertex*> corners(const mg::IVertexGroup& group);

// Positions in the plane for free-standing vertices.
class PlanarPositions {
public:
    struct Point {
        double x;
        double y;
    };

    void set(const mg::Vertex* v, double x, double y) { m_points[v] = Point{x, y}; }
    const Point& get(const mg::Vertex* v) const { return m_points.at(v); }
    bool has(const mg::Vertex* v) const { return m_points.count(v) != 0; }

    // Shoelace area of the corner polygon; positive when counter-clockwise.
    double signed_area(const mg::IVertexGroup& face) const;

private:
    std::unordered_map<const mg::Vertex*, Point> m_points;
};

}  // namespace mg_test

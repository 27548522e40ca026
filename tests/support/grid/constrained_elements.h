#pragma once

// Element classes for the sections the library fills with no class of its
// own: constrained vertices (vertex section 1), constrained and constraining
// edges (edge sections 1 and 2), constrained and constraining triangles and
// quadrilaterals (face sections 2 to 5), and volumes of any section and
// corner count. They let tests put elements where the file writers expect
// them.

#include "dez_odor/grid/base_elements.h"
#include "dez_odor/grid_objects/constrained_element.h"
#include "dez_odor/grid_objects/quadrilateral.h"
#include "dez_odor/grid_objects/regular_edge.h"
#include "dez_odor/grid_objects/triangle.h"

#include <vector>

namespace mg_test {

class ConstrainedVertex : public mg::Vertex, public mg::IConstrainedVertex {
public:
    static constexpr int CONTAINER_SECTION = 1;

    mg::GridObject* create_empty_instance() const override { return new ConstrainedVertex; }
    int container_section() const override { return CONTAINER_SECTION; }
    int shape_kind() const override { return mg::SK_VERTEX; }

    mg::GridObject* constraining_object() const override { return m_constraining; }
    float local_coordinate(int i) const override { return m_local[i]; }

    void set_constraint(mg::GridObject* obj, float local0 = 0, float local1 = 0)
    {
        m_constraining = obj;
        m_local[0] = local0;
        m_local[1] = local1;
    }

private:
    mg::GridObject* m_constraining = nullptr;
    float m_local[2] = {0, 0};
};

// The constraint of an edge or face; no constraining object until set.
class Constraint : public mg::IConstrainedElement {
public:
    mg::GridObject* constraining_object() const override { return m_constraining; }
    void set_constraint(mg::GridObject* obj) { m_constraining = obj; }

private:
    mg::GridObject* m_constraining = nullptr;
};

class ConstrainedEdge : public mg::RegularEdge, public Constraint {
public:
    static constexpr int CONTAINER_SECTION = 1;
    ConstrainedEdge() = default;
    ConstrainedEdge(mg::Vertex* v0, mg::Vertex* v1) : RegularEdge(v0, v1) {}
    mg::GridObject* create_empty_instance() const override { return new ConstrainedEdge; }
    int container_section() const override { return CONTAINER_SECTION; }
};

class ConstrainingEdge : public mg::RegularEdge {
public:
    static constexpr int CONTAINER_SECTION = 2;
    ConstrainingEdge() = default;
    ConstrainingEdge(mg::Vertex* v0, mg::Vertex* v1) : RegularEdge(v0, v1) {}
    mg::GridObject* create_empty_instance() const override { return new ConstrainingEdge; }
    int container_section() const override { return CONTAINER_SECTION; }
};

class ConstrainedTriangle : public mg::Triangle, public Constraint {
public:
    static constexpr int CONTAINER_SECTION = 2;
    ConstrainedTriangle() = default;
    ConstrainedTriangle(mg::Vertex* a, mg::Vertex* b, mg::Vertex* c) : Triangle(a, b, c) {}
    mg::GridObject* create_empty_instance() const override { return new ConstrainedTriangle; }
    int container_section() const override { return CONTAINER_SECTION; }
};

class ConstrainingTriangle : public mg::Triangle {
public:
    static constexpr int CONTAINER_SECTION = 4;
    ConstrainingTriangle() = default;
    ConstrainingTriangle(mg::Vertex* a, mg::Vertex* b, mg::Vertex* c) : Triangle(a, b, c) {}
    mg::GridObject* create_empty_instance() const override { return new ConstrainingTriangle; }
    int container_section() const override { return CONTAINER_SECTION; }
};

class ConstrainedQuadrilateral : public mg::Quadrilateral, public Constraint {
public:
    static constexpr int CONTAINER_SECTION = 3;
    ConstrainedQuadrilateral() = default;
    ConstrainedQuadrilateral(mg::Vertex* a, mg::Vertex* b, mg::Vertex* c, mg::Vertex* d)
        : Quadrilateral(a, b, c, d)
    {
    }
    mg::GridObject* create_empty_instance() const override { return new ConstrainedQuadrilateral; }
    int container_section() const override { return CONTAINER_SECTION; }
};

class ConstrainingQuadrilateral : public mg::Quadrilateral {
public:
    static constexpr int CONTAINER_SECTION = 5;
    ConstrainingQuadrilateral() = default;
    ConstrainingQuadrilateral(mg::Vertex* a, mg::Vertex* b, mg::Vertex* c, mg::Vertex* d)
        : Quadrilateral(a, b, c, d)
    {
    }
    mg::GridObject* create_empty_instance() const override { return new ConstrainingQuadrilateral; }
    int container_section() const override { return CONTAINER_SECTION; }
};

// A volume with any number of corners in any section of the volume list
// (hexahedra 8 corners in section 1, prisms 6 in 2, pyramids 5 in 3,
// octahedra 6 in 4). It names no edges or faces, so a grid generates none
// for it; it cannot be refined.
class TestPolyhedron : public mg::Volume {
public:
    TestPolyhedron(int section, std::vector<mg::Vertex*> corners)
        : m_section(section), m_corners(std::move(corners))
    {
    }

    mg::Vertex* vertex(unsigned int i) const override { return m_corners[i]; }
    mg::Vertex* const* vertices() const override { return m_corners.data(); }
    unsigned int num_vertices() const override { return static_cast<unsigned int>(m_corners.size()); }

    mg::GridObject* create_empty_instance() const override
    {
        return new TestPolyhedron(m_section, std::vector<mg::Vertex*>(m_corners.size(), nullptr));
    }
    int container_section() const override { return m_section; }
    int shape_kind() const override { return 5 + m_section; }

    unsigned int num_edges() const override { return 0; }
    unsigned int num_faces() const override { return 0; }
    void edge_desc(int, mg::EdgeDescriptor&) const override {}
    void face_desc(int, mg::FaceDescriptor&) const override {}
    mg::Edge* create_edge(int) const override { return nullptr; }
    mg::Face* create_face(int) const override { return nullptr; }
    bool refine(std::vector<mg::Volume*>&, mg::Vertex**, mg::Vertex**, mg::Vertex**, mg::Vertex*,
                const mg::Vertex&, mg::Vertex**) const override
    {
        return false;
    }
    void set_vertex(unsigned int index, mg::Vertex* vrt) override { m_corners[index] = vrt; }

private:
    int m_section;
    std::vector<mg::Vertex*> m_corners;
};

}  // namespace mg_test

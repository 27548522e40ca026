#pragma once

#include <vector>

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/scene/collision_element_id.h"
#include "engine/scene/collision_element_list.h"
#include "engine/scene/scene_node.h"

namespace vo {

// The root of a collision tree: a boxed group that owns the point array which
// the edge and triangle leaves below it index.
class CollisionTreeRootNode : public BoxedGroupNode {
public:
    static SmartPtr<CollisionTreeRootNode> create();
    ~CollisionTreeRootNode() override;

    // Empties the point array; children are untouched.
    virtual void clear_points();
    virtual int num_points() const;
    // Appends count points (a count below 1 does nothing). The source may lie
    // inside this node's own array.
    virtual void add_points(const vector3* points, int count);
    virtual const vector3& get_point(int index) const;
    // Address of point 0, valid until points are next added or cleared.
    virtual const vector3* get_points() const;

protected:
    CollisionTreeRootNode() : BoxedGroupNode(NODE_ID_COLLISION_TREE_ROOT) {}

private:
    std::vector<vector3> points_;
};

// A leaf of edges: two point indices per edge, each edge optionally tagged
// with an id.
class CollisionEdgesNode : public Node {
public:
    static SmartPtr<CollisionEdgesNode> create();
    ~CollisionEdgesNode() override;

    virtual void add_edge(int a, int b, CollisionElementID id);
    virtual void add_edge(int a, int b);
    // count edges: 2 x count indices and, in the first form, count ids.
    virtual void add_edges(const int* indices, const CollisionElementID* ids, int count);
    virtual void add_edges(const int* indices, int count);
    // Removes every edge and id.
    virtual void clear_edges();
    virtual int num_edges() const;
    virtual void get_edge(int index, int& a, int& b) const;
    virtual const int* get_edges() const;
    // An index at or beyond num_edges() is ignored.
    virtual void set_edge_id(int index, CollisionElementID id);
    virtual CollisionElementID get_edge_id(int index) const;

    // Direct reads for the traversers (no virtual call per element).
    const int* edge(int index) const { return elements_.element(static_cast<size_t>(index)); }
    CollisionElementID edge_id(int index) const { return elements_.id(static_cast<size_t>(index)); }
    bool has_ids() const { return elements_.has_ids(); }

protected:
    CollisionEdgesNode() : Node(NODE_ID_COLLISION_EDGES) {}

private:
    CollisionElementList<2> elements_;
};

// A leaf of triangles: three point indices per triangle, each triangle
// optionally tagged with an id.
class CollisionTrianglesNode : public Node {
public:
    static SmartPtr<CollisionTrianglesNode> create();
    ~CollisionTrianglesNode() override;

    virtual void add_triangle(int a, int b, int c, CollisionElementID id);
    virtual void add_triangle(int a, int b, int c);
    virtual void add_triangles(const int* indices, const CollisionElementID* ids, unsigned int count);
    virtual void add_triangles(const int* indices, unsigned int count);
    virtual unsigned int num_triangles() const;
    virtual void get_triangle(unsigned int index, int& a, int& b, int& c) const;
    virtual const int* get_triangles() const;
    // An index at or beyond the end of the ids array lengthens it first.
    virtual void set_triangle_id(unsigned int index, CollisionElementID id);
    virtual CollisionElementID get_triangle_id(unsigned int index) const;

    const int* triangle(unsigned int index) const { return elements_.element(index); }
    CollisionElementID triangle_id(unsigned int index) const { return elements_.id(index); }
    bool has_ids() const { return elements_.has_ids(); }
    // Length of the ids array (0 while no ids are kept).
    unsigned int num_ids() const { return static_cast<unsigned int>(elements_.num_ids()); }

protected:
    CollisionTrianglesNode() : Node(NODE_ID_COLLISION_TRIANGLES) {}

private:
    CollisionElementList<3> elements_;
};

}  // namespace vo

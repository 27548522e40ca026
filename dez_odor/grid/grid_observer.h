#pragma once

namespace mg {

class Grid;
class GridObject;
class Vertex;
class Edge;
class Face;
class Volume;

// Bits of the mask given to Grid::register_observer: which notifications an
// observer wants to hear. Distinct from the element-kind bits of selectors
// and subset handlers (1 vertices, 2 edges, 4 faces, 8 volumes).
enum GridObserverKind : unsigned {
    OBSERVE_GRID = 1u,  // grid_to_be_destroyed
    OBSERVE_VERTICES = 2u,
    OBSERVE_EDGES = 4u,
    OBSERVE_FACES = 8u,
    OBSERVE_VOLUMES = 16u,
    OBSERVE_ALL = 31u,
};

// Watches a grid. The grid tells its observers about created elements in
// registration order, and about elements to be erased and its own
// destruction newest registration first, always synchronously. Every
// notification does nothing by default.
//
// An observer may unregister itself (or others) from inside a notification;
// observers that are no longer registered are not called any more.
class GridObserver {
public:
    virtual ~GridObserver() = default;

    virtual void grid_to_be_destroyed(Grid* /*grid*/) {}
    virtual void elements_to_be_cleared(Grid* /*grid*/) {}

    virtual void vertex_created(Grid* /*grid*/, Vertex* /*vrt*/, GridObject* /*parent*/,
                                bool /*replaces_parent*/)
    {
    }
    virtual void edge_created(Grid* /*grid*/, Edge* /*edge*/, GridObject* /*parent*/,
                              bool /*replaces_parent*/)
    {
    }
    virtual void face_created(Grid* /*grid*/, Face* /*face*/, GridObject* /*parent*/,
                              bool /*replaces_parent*/)
    {
    }
    virtual void volume_created(Grid* /*grid*/, Volume* /*vol*/, GridObject* /*parent*/,
                                bool /*replaces_parent*/)
    {
    }

    virtual void vertex_to_be_erased(Grid* /*grid*/, Vertex* /*vrt*/, Vertex* /*replaced_by*/) {}
    virtual void edge_to_be_erased(Grid* /*grid*/, Edge* /*edge*/, Edge* /*replaced_by*/) {}
    virtual void face_to_be_erased(Grid* /*grid*/, Face* /*face*/, Face* /*replaced_by*/) {}
    virtual void volume_to_be_erased(Grid* /*grid*/, Volume* /*vol*/, Volume* /*replaced_by*/) {}

    virtual void vertices_to_be_merged(Grid* /*grid*/, Vertex* /*target*/, Vertex* /*elem1*/,
                                       Vertex* /*elem2*/)
    {
    }
    virtual void edges_to_be_merged(Grid* /*grid*/, Edge* /*target*/, Edge* /*elem1*/,
                                    Edge* /*elem2*/)
    {
    }
    virtual void faces_to_be_merged(Grid* /*grid*/, Face* /*target*/, Face* /*elem1*/,
                                    Face* /*elem2*/)
    {
    }
    virtual void volumes_to_be_merged(Grid* /*grid*/, Volume* /*target*/, Volume* /*elem1*/,
                                      Volume* /*elem2*/)
    {
    }
};

}  // namespace mg

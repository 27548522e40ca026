#pragma once

// The four abstract element kinds of a grid: Vertex, Edge, Face, Volume.
// Concrete classes live in dez_odor/grid_objects.

#include "dez_odor/grid/element_descriptors.h"
#include "dez_odor/grid/grid_object.h"
#include "dez_odor/grid/vertex_group.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace mg {

class Edge;
class Face;
class Volume;

// Every class below names its element kind (base_object) and the section of
// the kind's element list that holds it (CONTAINER_SECTION, -1 for "all
// sections" on the abstract kinds), so that typed iteration needs no object.

class Vertex : public GridObject {
public:
    using base_object = Vertex;
    static constexpr int CONTAINER_SECTION = -1;

    int base_object_kind() const override { return BOK_VERTEX; }

    // Given by the grid at registration from its running counter; feeds
    // vertex_hash_key.
    uint32_t hash_number() const { return m_hashNumber; }
    void set_hash_number(uint32_t h) { m_hashNumber = h; }

private:
    uint32_t m_hashNumber = 0;
};

class Edge : public GridObject, public EdgeVertices {
public:
    using base_object = Edge;
    static constexpr int CONTAINER_SECTION = -1;

    int base_object_kind() const override { return BOK_EDGE; }

    // Clears newEdgesOut and appends the two new, unregistered edges that
    // split this one at newVertex: (V0, newVertex), (newVertex, V1). V are the
    // substitutes when given, else the edge's own vertices.
    virtual bool refine(std::vector<Edge*>& newEdgesOut, Vertex* newVertex,
                        Vertex** substituteVertices) const = 0;

    void set_vertex(unsigned int i, Vertex* v) { m_vertices[i] = v; }
};

// Faces: corner i to corner i+1 (modulo the corner count) is side i. Every
// operation that builds faces keeps this face's orientation. New elements are
// allocated with new and handed to the caller, who registers or deletes them.
class Face : public GridObject, public FaceVertices {
public:
    using base_object = Face;
    static constexpr int CONTAINER_SECTION = -1;

    int base_object_kind() const override { return BOK_FACE; }

    unsigned int num_edges() const { return num_vertices(); }

    // Side i as a descriptor: (V[i], V[i+1]).
    virtual void edge_desc(int i, EdgeDescriptor& edOut) const;
    EdgeDescriptor edge_desc(int i) const;
    // A new, unregistered RegularEdge for side i.
    virtual Edge* create_edge(int i) const;

    // The side opposite the given one; false when there is none.
    virtual bool opposite_side(const EdgeVertices* side, EdgeDescriptor& edOut) const = 0;
    // The element opposite a corner as (base object kind, local index).
    // Throws MGError when vrt is no corner.
    virtual std::pair<int, int> opposite_object(Vertex* vrt) const = 0;

    // newEdgeVertices holds one entry per side (null: side not split).
    virtual bool refine(std::vector<Face*>& newFacesOut, Vertex** newFaceVertexOut,
                        Vertex** newEdgeVertices, Vertex* newFaceVertex,
                        Vertex** substituteVertices) const = 0;
    virtual bool collapse_edge(std::vector<Face*>& newFacesOut, int edgeIndex, Vertex* newVertex,
                               Vertex** substituteVertices) const = 0;
    virtual bool collapse_edges(std::vector<Face*>& newFacesOut,
                                const std::vector<Vertex*>& newEdgeVertices,
                                Vertex** substituteVertices) const = 0;
    // Appends (does not clear) the faces that split this one at a new vertex
    // on side edgeIndex.
    virtual void split_by_edge_vertex(int edgeIndex, Vertex* newVertex,
                                      std::vector<Face*>& newFacesOut,
                                      Vertex** substituteVertices) const = 0;

    // Corner index becomes vrt (no range test).
    virtual void set_vertex(unsigned int index, Vertex* vrt) = 0;
};

// The abstract volume kind. No concrete volume ships with the library; what
// the grid and its algorithms need of a volume is declared here.
class Volume : public GridObject, public VolumeVertices {
public:
    using base_object = Volume;
    static constexpr int CONTAINER_SECTION = -1;

    int base_object_kind() const override { return BOK_VOLUME; }

    virtual unsigned int num_edges() const = 0;
    virtual unsigned int num_faces() const = 0;
    virtual void edge_desc(int i, EdgeDescriptor& edOut) const = 0;
    virtual void face_desc(int i, FaceDescriptor& fdOut) const = 0;
    // New, unregistered elements for edge i and face i.
    virtual Edge* create_edge(int i) const = 0;
    virtual Face* create_face(int i) const = 0;

    // newEdgeVertices: one entry per edge, newFaceVertices: one per face (or
    // null); vertices the volume must create are clones of prototypeVertex and
    // reported through newVolumeVertexOut.
    virtual bool refine(std::vector<Volume*>& newVolumesOut, Vertex** newVolumeVertexOut,
                        Vertex** newEdgeVertices, Vertex** newFaceVertices,
                        Vertex* newVolumeVertex, const Vertex& prototypeVertex,
                        Vertex** substituteVertices) const = 0;

    virtual void set_vertex(unsigned int index, Vertex* vrt) = 0;
};

}  // namespace mg

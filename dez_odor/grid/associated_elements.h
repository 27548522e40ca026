#pragma once

// Collectors that gather the neighbours of an element whether or not the grid
// stores them, and the containment tests they are built on.

#include <vector>

namespace mg {

class Grid;
class Vertex;
class Edge;
class Face;
class Volume;
class EdgeVertices;
class FaceVertices;

// Each collector appends to out (emptied first when clearContainer is set)
// and does nothing more when the grid holds no element of the kind collected.

// The edges of a face: the stored ones, else every existing side in order.
void CollectEdges(std::vector<Edge*>& out, Grid& grid, Face* face, bool clearContainer = true);
// The faces at an edge: the stored ones, else every face at the edge's first
// vertex that contains the edge.
void CollectFaces(std::vector<Face*>& out, Grid& grid, Edge* edge, bool clearContainer = true);
// The faces of a volume: the stored ones, else every existing face in order.
void CollectFaces(std::vector<Face*>& out, Grid& grid, Volume* vol, bool clearContainer = true);
// The volumes at an edge: the stored ones, else every volume at the edge's
// first vertex that contains the edge.
void CollectVolumes(std::vector<Volume*>& out, Grid& grid, Edge* edge, bool clearContainer = true);
// The volumes at a face: the stored ones (unless ignoreAssociatedVolumes),
// else every volume at the face's first vertex that holds the face.
void CollectVolumes(std::vector<Volume*>& out, Grid& grid, Face* face, bool clearContainer = true,
                    bool ignoreAssociatedVolumes = false);

// True when one side of the face has the edge's two vertices (either order);
// a diagonal of a quadrilateral is not contained.
bool FaceContains(const Face* face, const EdgeVertices* ev);
// True when one edge of the volume has the edge's two vertices.
bool VolumeContains(const Volume* vol, const EdgeVertices* ev);
// True when one face of the volume has the face's vertex set.
bool VolumeContains(const Volume* vol, const FaceVertices* face);

// The same two vertices in either order.
bool CompareVertices(const EdgeVertices* ev1, const EdgeVertices* ev2);
// The same number of vertices, every vertex of the first among the second's.
bool CompareVertices(const FaceVertices* fv1, const FaceVertices* fv2);

}  // namespace mg

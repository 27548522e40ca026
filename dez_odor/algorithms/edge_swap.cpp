#include "dez_odor/algorithms/edge_swap.h"

#include "common/log.h"
#include "dez_odor/algorithms/topology_queries.h"
#include "dez_odor/grid/grid.h"

namespace mg {

namespace {

Edge* refuse(const char* message)
{
    MG_LOG(message);
    return nullptr;
}

// The index of the face's first corner that is not marked, or -1.
int first_unmarked_corner(Grid& grid, Face* f)
{
    for (unsigned int i = 0; i < f->num_vertices(); ++i) {
        if (!grid.is_marked(f->vertex(i)))
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

Edge* SwapEdge(Grid& grid, Edge* e)
{
    Face* faces[2] = {nullptr, nullptr};
    if (GetAssociatedFaces(faces, grid, e, 2) != 2)
        return refuse("Swap Failed: #neighbor-faces != 2.\n");
    if (faces[0]->num_vertices() != 3 || faces[1]->num_vertices() != 3)
        return refuse("Swap Failed: At least one neighbor-face is not a triangle.\n");

    grid.begin_marking();
    grid.mark(e->vertex(0));
    grid.mark(e->vertex(1));
    const int i0 = first_unmarked_corner(grid, faces[0]);
    const int i1 = first_unmarked_corner(grid, faces[1]);
    grid.end_marking();

    if (i0 < 0 || i1 < 0)
        return refuse("Swap Failed: connected vertices were not found correctly.\n");

    Face* f0 = faces[0];
    Face* f1 = faces[1];
    Vertex* c0 = f0->vertex(static_cast<unsigned int>(i0));
    Vertex* c1 = f1->vertex(static_cast<unsigned int>(i1));
    if (grid.get_edge(c0, c1))
        return refuse("Swap Failed: New edge already exists in the grid.\n");

    Vertex* a = f0->vertex(static_cast<unsigned int>((i0 + 1) % 3));
    Vertex* b = f0->vertex(static_cast<unsigned int>((i0 + 2) % 3));

    Edge* newEdge = *grid.create_by_cloning(e, EdgeDescriptor(c0, c1), e);
    grid.create<Triangle>(TriangleDescriptor(c0, a, c1), f0);
    grid.create<Triangle>(TriangleDescriptor(b, c0, c1), f1);
    grid.erase(f0);
    grid.erase(f1);
    grid.erase(e);
    return newEdge;
}

}  // namespace mg

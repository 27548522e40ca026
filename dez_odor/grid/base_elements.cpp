#include "dez_odor/grid/base_elements.h"

#include "dez_odor/grid_objects/regular_edge.h"

namespace mg {

uint32_t vertex_hash_key(const IVertexGroup* group)
{
    uint32_t key = 0;
    const unsigned int n = group->num_vertices();
    for (unsigned int i = 0; i < n; ++i) {
        const uint32_t h = group->vertex(i)->hash_number();
        key += h * h;
    }
    return key;
}

void Face::edge_desc(int i, EdgeDescriptor& edOut) const
{
    const unsigned int n = num_vertices();
    edOut.set_vertices(vertex(i), vertex((i + 1) % n));
}

EdgeDescriptor Face::edge_desc(int i) const
{
    EdgeDescriptor ed;
    edge_desc(i, ed);
    return ed;
}

Edge* Face::create_edge(int i) const
{
    const unsigned int n = num_vertices();
    return new RegularEdge(vertex(i), vertex((i + 1) % n));
}

}  // namespace mg

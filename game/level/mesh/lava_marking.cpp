#include "game/level/mesh/lava_marking.h"

#include "game/level/mesh/boundary_edge_normal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vo {

namespace {

// A face whose corners are all in the core is drawn with lava alone; one
// that was lava alone stays so; any other touched face gets lava on rock.
int LavaSubsetOf(const LevelMesh& mesh, mg::Face* f)
{
    if (mesh.subsets.subset_index(f) == LEVEL_SUBSET_LAVA)
        return LEVEL_SUBSET_LAVA;
    for (unsigned int i = 0; i < f->num_vertices(); ++i) {
        if (mesh.selector.is_selected(f->vertex(i)) != LAVA_CORE)
            return LEVEL_SUBSET_LAVA_ON_ROCK;
    }
    return LEVEL_SUBSET_LAVA;
}

}  // namespace

void MarkLava(LevelMesh& mesh, float x, float y, float radius)
{
    mg::Grid& grid = mesh.grid;
    mg::Selector& sel = mesh.selector;
    sel.clear();

    const MeshVector c(x, y, 0);
    const ShadeZones zones(mesh, radius);

    for (auto it = grid.begin<mg::Vertex>(); it != grid.end<mg::Vertex>(); ++it) {
        mg::Vertex* v = *it;
        const MeshVector d = mesh.position[v] - c;
        const float dSq = Dot(d, d);
        if (dSq < zones.radius_sq) {
            sel.select(v, LAVA_CORE);
            mesh.lava[v] = 1.0f;
            mesh.light[v] = 1.0f;
        } else if (dSq < zones.rim_sq) {
            const float dist = std::sqrt(dSq);
            sel.select(v, LAVA_RIM);
            mesh.lava[v] = std::max(mesh.lava[v], 1.0f - (dist - radius) / mesh.rim_width);
            mesh.light[v] = 1.0f;
        } else if (dSq < zones.light_min_sq) {
            mesh.light[v] = 1.0f;
        } else if (dSq < zones.light_max_sq) {
            mesh.light[v] = std::max(mesh.light[v], zones.fading_light(std::sqrt(dSq)));
        }
    }

    const std::vector<mg::Vertex*> field(sel.begin<mg::Vertex>(), sel.end<mg::Vertex>());
    mg::ElementPointerArray<mg::Face*> faces;
    for (mg::Vertex* v : field) {
        grid.get_associated(faces, v);
        for (mg::Face* f : faces) {
            if (sel.is_selected(f))
                continue;
            mesh.subsets.assign_subset(f, LavaSubsetOf(mesh, f));
            sel.select(f);
        }
    }
}

}  // namespace vo

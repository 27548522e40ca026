#include "level_fixtures.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

namespace level_test {

using namespace vo;

void CreateDisc(LevelGeometryHandle& level, float radius)
{
    level.create(radius, 2.0f, 3.0f, 0.1f, EffectHandle(), EffectHandle(), 1.0f, 3.0f);
}

MeshImage ImageOf(LevelGeometryImpl& level)
{
    LevelMesh& mesh = level.mesh();
    MeshImage image;
    std::map<mg::Vertex*, int> number;
    for (auto it = mesh.grid.begin<mg::Vertex>(); it != mesh.grid.end<mg::Vertex>(); ++it) {
        mg::Vertex* v = *it;
        const int n = static_cast<int>(number.size());
        number[v] = n;
        const MeshVector& p = mesh.position[v];
        image.positions.insert(image.positions.end(), {p[0], p[1], p[2]});
        image.shading.insert(image.shading.end(), {mesh.rim[v], mesh.lava[v], mesh.light[v]});
    }
    for (auto it = mesh.grid.begin<mg::Face>(); it != mesh.grid.end<mg::Face>(); ++it) {
        mg::Face* f = *it;
        for (unsigned int i = 0; i < f->num_vertices(); ++i)
            image.triangles.push_back(number[f->vertex(i)]);
        image.triangles.push_back(mesh.subsets.subset_index(f));
    }
    std::vector<std::vector<int>> edges;
    for (auto it = mesh.grid.begin<mg::Edge>(); it != mesh.grid.end<mg::Edge>(); ++it) {
        mg::Edge* e = *it;
        edges.push_back({number[e->vertex(0)], number[e->vertex(1)], mesh.subsets.subset_index(e)});
    }
    std::sort(edges.begin(), edges.end());
    for (const auto& e : edges)
        image.edges.insert(image.edges.end(), e.begin(), e.end());
    return image;
}

bool SameLog(const std::vector<LevelEditRecord>& a, const std::vector<LevelEditRecord>& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const auto& p, const auto& q) {
               return std::memcmp(&p, &q, sizeof(LevelEditRecord)) == 0;
           });
}

float DistanceTo(LevelMesh& mesh, mg::Vertex* v, float x, float y)
{
    const MeshVector& p = mesh.position[v];
    return std::hypot(p[0] - x, p[1] - y);
}

mg::Vertex* NearestVertex(LevelMesh& mesh, float x, float y)
{
    mg::Vertex* best = nullptr;
    float bestDistance = std::numeric_limits<float>::max();
    for (auto it = mesh.grid.begin<mg::Vertex>(); it != mesh.grid.end<mg::Vertex>(); ++it) {
        const float d = DistanceTo(mesh, *it, x, y);
        if (d < bestDistance) {
            bestDistance = d;
            best = *it;
        }
    }
    return best;
}

}  // namespace level_test

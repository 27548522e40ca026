#include "game/level/mesh/level_mesh.h"

#include "dez_odor/grid/global_attachments.h"
#include "game/level/mesh/level_disc.h"

#include <algorithm>

namespace vo {

LevelMesh::LevelMesh()
    : grid(mg::GRIDOPT_LEVEL_MESH), subsets(&grid, mg::SE_ALL), selector(&grid, mg::SE_ALL)
{
    grid.attach_to_vertices(mg::aPosition);
    position.bind(grid.vertex_attachment_pipe(), mg::aPosition);
    grid.attach_to_edges_with_default<mg::Vertex*>(a_split_vertex_, nullptr);
    split_vertex.bind(grid.edge_attachment_pipe(), a_split_vertex_);
    grid.attach_to_vertices_with_default<int>(a_vertex_index_, 0);
    vertex_index.bind(grid.vertex_attachment_pipe(), a_vertex_index_);
    grid.attach_to_vertices_with_default<float>(a_rim_, 0.0f);
    rim.bind(grid.vertex_attachment_pipe(), a_rim_);
    grid.attach_to_vertices_with_default<float>(a_lava_, 0.0f);
    lava.bind(grid.vertex_attachment_pipe(), a_lava_);
    grid.attach_to_vertices_with_default<float>(a_light_, 0.0f);
    light.bind(grid.vertex_attachment_pipe(), a_light_);

    subsets.set_strict_inheritance(true);
    selector.set_autoselect_new(true);
    selector.set_inherit_selection(false);
}

LevelMesh::~LevelMesh() = default;

void LevelMesh::build_disc(float radius, float spacing_, float rimWidth)
{
    rim_width = rimWidth > 1e-12f ? rimWidth : 1e-12f;
    spacing = std::max(spacing_, 1e-12f);
    snap_distance = static_cast<float>(0.2 * static_cast<double>(spacing));

    const LevelDisc disc = BuildLevelDisc(grid, position, MeshVector(0, 0, 0), radius, spacing);
    for (size_t i = 1; i < disc.rings.size(); ++i) {
        for (mg::Vertex* v : disc.rings[i])
            rim[v] = 1.0f;
    }

    subsets.assign_subset(grid.begin<mg::Triangle>(), grid.end<mg::Triangle>(), LEVEL_SUBSET_ROCK);
    subsets.assign_subset(grid.begin<mg::Edge>(), grid.end<mg::Edge>(), LEVEL_SUBSET_EDGES);
    mg::SubsetInfo& rock = subsets.subset_info(LEVEL_SUBSET_ROCK);
    rock.name = "geometry";
    rock.color = {1.0f, 1.0f, 1.0f, 1.0f};
    mg::SubsetInfo& edges = subsets.subset_info(LEVEL_SUBSET_EDGES);
    edges.name = "edgeGeometry";
    edges.color = {0.4f, 0.4f, 0.8f, 1.0f};
    mg::SubsetInfo& collision = subsets.subset_info(LEVEL_SUBSET_COLLISION);
    collision.name = "collision";
    collision.color = {0.8f, 0.4f, 0.4f, 1.0f};
}

float TwiceSignedArea(mg::Face* f, const MeshPositions& position)
{
    // A fan of triangles from corner 0, each from coordinate differences
    // (exact enough for thin triangles far from the origin).
    const unsigned int n = f->num_vertices();
    const MeshVector& a = position[f->vertex(0)];
    float twice = 0;
    for (unsigned int i = 1; i + 1 < n; ++i) {
        const MeshVector& b = position[f->vertex(i)];
        const MeshVector& c = position[f->vertex(i + 1)];
        twice += (b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]);
    }
    return twice;
}

void EraseEdgeAndLonelyEnds(mg::Grid& grid, mg::Edge* e)
{
    mg::Vertex* ends[2] = {e->vertex(0), e->vertex(1)};
    grid.erase(e);
    mg::ElementPointerArray<mg::Edge*> edges;
    for (mg::Vertex* v : ends) {
        grid.get_associated(edges, v);
        if (edges.empty())
            grid.erase(v);
    }
}

ShadeZones::ShadeZones(const LevelMesh& mesh, float radius)
    : radius_sq(radius * radius), rim(radius + mesh.rim_width), rim_sq(rim * rim)
{
    light_min = mesh.light_radius_min_factor * rim;
    const float lightMax = mesh.light_radius_max_factor * rim;
    light_min_sq = light_min * light_min;
    light_max_sq = lightMax * lightMax;
    light_range = lightMax - light_min;
}

}  // namespace vo

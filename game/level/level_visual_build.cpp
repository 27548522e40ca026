// The level's drawable and collision tree, rebuilt from the mesh.

#include "game/level/level_geometry_impl.h"

#include "dez_odor/algorithms/topology_queries.h"
#include "dez_odor/algorithms/triangulation.h"
#include "engine/core/color.h"
#include "engine/core/error.h"
#include "engine/core/vertex.h"

#include <cstdint>
#include <vector>

namespace vo {

namespace {

static_assert(sizeof(ColorVertex) == 36, "the level writes 36-byte colour vertices");

// True when the edge's only face has its two vertices in the other order. A
// boundary edge's face is the one face at its first vertex that also holds
// its second.
bool RunsAgainstItsFace(mg::Grid& grid, mg::Edge* e)
{
    mg::Vertex* v0 = e->vertex(0);
    mg::Vertex* v1 = e->vertex(1);
    const auto end = grid.associated_faces_end(v0);
    for (auto it = grid.associated_faces_begin(v0); it != end; ++it) {
        mg::Face* f = *it;
        const unsigned int n = f->num_vertices();
        for (unsigned int i = 0; i < n; ++i) {
            if (f->vertex(i) != v0)
                continue;
            if (f->vertex((i + 1) % n) == v1)
                return false;
            if (f->vertex((i + n - 1) % n) == v1)
                return true;
            break;
        }
    }
    return false;
}

}  // namespace

void LevelGeometryImpl::build_visual()
{
    LevelMesh& mesh = *mesh_;
    mg::Grid& grid = mesh.grid;
    StaticVisual& visual = *visual_;
    visual.clear_subsets();

    if (grid.num<mg::Quadrilateral>() > 0)
        mg::Triangulate(grid, grid.begin<mg::Quadrilateral>(), grid.end<mg::Quadrilateral>(),
                        &mesh.position);

    // One vertex per grid vertex: colour (rim, light, rim, lava), texture
    // coordinates from the position.
    const unsigned numVertices = static_cast<unsigned>(grid.num_vertices());
    VertexBuffer& vertices = *visual.vertex_buffer();
    vertices.create(numVertices, sizeof(ColorVertex), ColorVertex::VRT_DESC);
    {
        void* data = nullptr;
        if (!vertices.lock(&data, 0, numVertices))
            throw Error("The level's vertex buffer could not be locked");
        BufferLockGuard<VertexBuffer> unlock(vertices);
        ColorVertex* out = static_cast<ColorVertex*>(data);
        int i = 0;
        for (auto it = grid.begin<mg::Vertex>(); it != grid.end<mg::Vertex>(); ++it, ++i) {
            mg::Vertex* v = *it;
            mesh.vertex_index[v] = i;
            const MeshVector& p = mesh.position[v];
            const float rim = mesh.rim[v];
            out[i] = ColorVertex(vector3(p[0], p[1], p[2]),
                                 Color(rim, mesh.light[v], rim, mesh.lava[v]),
                                 vector2(p[0] * uv_scale_, p[1] * uv_scale_));
        }
    }

    // The indices of every pass, in pass order; a subset drawn by two
    // passes is listed twice.
    const int numSubsets = mesh.subsets.num_subsets();
    auto drawn = [&](const LevelDrawPass& pass) {
        return pass.subset >= 0 && pass.subset < numSubsets;
    };
    unsigned numIndices = 0;
    for (const LevelDrawPass& pass : draw_passes_) {
        if (drawn(pass))
            numIndices += 3 * static_cast<unsigned>(mesh.subsets.num<mg::Triangle>(pass.subset));
    }
    IndexBuffer& indices = *visual.index_buffer();
    indices.create(numIndices);
    unsigned* out = nullptr;
    if (!indices.lock(&out, 0, numIndices))
        throw Error("The level's index buffer could not be locked");
    BufferLockGuard<IndexBuffer> unlock(indices);
    unsigned written = 0;
    for (const LevelDrawPass& pass : draw_passes_) {
        if (!drawn(pass))
            continue;
        const unsigned first = written;
        const auto end = mesh.subsets.end<mg::Triangle>(pass.subset);
        for (auto it = mesh.subsets.begin<mg::Triangle>(pass.subset); it != end; ++it) {
            mg::Face* f = *it;
            for (unsigned int c = 0; c < 3; ++c)
                out[written++] = static_cast<unsigned>(mesh.vertex_index[f->vertex(c)]);
        }
        if (written == first)
            continue;
        StaticVisual::Subset subset;
        subset.first_vertex = 0;
        subset.num_vertices = static_cast<int>(numVertices);
        subset.first_index = static_cast<int>(first);
        subset.num_indices = static_cast<int>(written - first);
        subset.reserved = 0;
        subset.type = PRIMITIVE_TRIANGLES;
        const auto& color = mesh.subsets.subset_info(pass.subset).color;
        subset.color = Color(color[0], color[1], color[2], color[3]);
        subset.effect = pass.effect;
        visual.add_subset(subset);
    }
}

void LevelGeometryImpl::build_collision_tree()
{
    update_collision_tree(false);
}

void LevelGeometryImpl::rebuild_collision_tree()
{
    update_collision_tree(true);
}

void LevelGeometryImpl::update_collision_tree(bool whole)
{
    LevelMesh& mesh = *mesh_;
    mg::Grid& grid = mesh.grid;
    grid.attach_to_edges_with_default<std::uint64_t>(a_collision_stamp_, 0);
    mg::AttachmentAccessor<mg::Edge, std::uint64_t> stamp(grid.edge_attachment_pipe(), a_collision_stamp_);
    const std::uint64_t last_build = whole ? 0 : collision_build_;  // 0 before the first build
    const std::uint64_t build = ++collision_build_;

    const auto begin = mesh.subsets.begin<mg::Edge>(LEVEL_SUBSET_COLLISION);
    const auto end = mesh.subsets.end<mg::Edge>(LEVEL_SUBSET_COLLISION);
    const size_t numEdges = mesh.subsets.num_subsets() > LEVEL_SUBSET_COLLISION
                                ? mesh.subsets.num<mg::Edge>(LEVEL_SUBSET_COLLISION)
                                : 0;
    std::vector<vector3> points;
    std::vector<int> indices;
    std::vector<int> earlier;
    std::vector<vector3> ends;
    points.reserve(2 * numEdges);
    indices.reserve(2 * numEdges);
    earlier.reserve(numEdges);
    ends.reserve(2 * numEdges);
    collision_vertices_.clear();

    grid.begin_marking();
    for (auto it = begin; it != end; ++it) {
        mg::Edge* e = *it;
        // An edge of the last build with both ends where they were is the
        // same edge; the others run in their face's counter-clockwise
        // order, the rock on their left (an edge kept from the last build
        // was turned so then).
        int same = -1;
        if (last_build != 0 && stamp[e] >> 32 == last_build) {
            const size_t place = static_cast<size_t>(stamp[e] & 0xFFFFFFFFu);
            const vector3 a = ToVector3(mesh.position[e->vertex(0)]);
            const vector3 b = ToVector3(mesh.position[e->vertex(1)]);
            const vector3& was_a = collision_edge_ends_[2 * place];
            const vector3& was_b = collision_edge_ends_[2 * place + 1];
            if (a.x == was_a.x && a.y == was_a.y && a.z == was_a.z && b.x == was_b.x && b.y == was_b.y &&
                b.z == was_b.z)
                same = static_cast<int>(place);
        }
        if (same < 0 && RunsAgainstItsFace(grid, e))
            grid.flip_orientation(e);
        for (unsigned int i = 0; i < 2; ++i) {
            mg::Vertex* v = e->vertex(i);
            if (!grid.is_marked(v)) {
                mesh.vertex_index[v] = static_cast<int>(points.size());
                points.push_back(ToVector3(mesh.position[v]));
                collision_vertices_.push_back(v);
                grid.mark(v);
            }
            indices.push_back(mesh.vertex_index[v]);
            ends.push_back(points[static_cast<size_t>(mesh.vertex_index[v])]);
        }
        stamp[e] = build << 32 | static_cast<std::uint64_t>(earlier.size());
        earlier.push_back(same);
    }
    grid.end_marking();
    collision_edge_ends_.swap(ends);

    const unsigned int numPoints = static_cast<unsigned int>(points.size());
    const unsigned int numCollisionEdges = static_cast<unsigned int>(earlier.size());
    if (last_build != 0)
        tree_.update(points.data(), numPoints, indices.data(), numCollisionEdges, earlier.data());
    else
        tree_.build(points.data(), numPoints, indices.data(), numCollisionEdges);
    collision_tree_ = tree_.root();
    // Without collision edges the group stays empty: a null child would
    // break every traversal of it.
    collision_node_->clear();
    if (collision_tree_)
        collision_node_->add_child(collision_tree_);
}

}  // namespace vo

#include "game/level/level_geometry_impl.h"

#include "common/error.h"
#include "dez_odor/algorithms/topology_queries.h"
#include "dez_odor/file_io/file_io.h"
#include "dez_odor/grid/global_attachments.h"
#include "engine/core/error.h"
#include "engine/core/random.h"
#include "game/level/mesh/boundary_edge_normal.h"
#include "game/level/mesh/lava_marking.h"
#include "game/level/mesh/level_carve.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>

namespace vo {

namespace {

// Runs a mesh operation; an error of the grid library leaves it as the
// level's Error "Meshing error: " with the grid error's first message.
template <class Operation>
void RunMeshing(Operation operation)
{
    try {
        operation();
    } catch (const mg::MGError& e) {
        const std::string first = e.num_msg() > 0 ? e.get_msg(0) : std::string();
        throw Error("Meshing error: " + first);
    }
}

bool ValidEdit(float x, float y, float radius)
{
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(radius) && radius > 0;
}

}  // namespace

LevelGeometryImpl::LevelGeometryImpl()
    : mesh_(std::make_unique<LevelMesh>()), tree_(COLLISION_TREE_DEPTH, COLLISION_EDGES_PER_LEAF, 2)
{
    visual_node_ = VisualNode::create();
    visual_ = SmartPtr<StaticVisual>(new StaticVisual());
    visual_node_->set_visual(visual_);
    collision_node_ = GroupNode::create();
}

LevelGeometryImpl::~LevelGeometryImpl() = default;

void LevelGeometryImpl::create(float radius, float spacing, float rimWidth, float uvScale,
                               EffectHandle const& levelEffect, EffectHandle const& lavaEffect,
                               float lightRadiusMinFac, float lightRadiusMaxFac)
{
    create_params_ = CreateParams{radius,     spacing,    rimWidth,          uvScale,
                                  levelEffect, lavaEffect, lightRadiusMinFac, lightRadiusMaxFac};
    created_ = true;

    bounding_sphere_ = Sphere(vector3(0, 0, 0), 0.0f);
    edit_log_.clear();
    collision_vertices_.clear();
    uv_scale_ = uvScale;
    draw_passes_ = {{LEVEL_SUBSET_ROCK, levelEffect},
                    {LEVEL_SUBSET_LAVA_ON_ROCK, levelEffect},
                    {LEVEL_SUBSET_LAVA, lavaEffect},
                    {LEVEL_SUBSET_LAVA_ON_ROCK, lavaEffect}};

    // A fresh mesh each time: the disc is built into an empty grid.
    mesh_ = std::make_unique<LevelMesh>();
    mesh_->light_radius_min_factor = lightRadiusMinFac;
    mesh_->light_radius_max_factor = lightRadiusMaxFac;
    outer_radius_ = 0.0f;
    RunMeshing([&] { mesh_->build_disc(radius, spacing, rimWidth); });
    outer_radius_ = 2.0f * std::fabs(radius);

    build_visual();
    rebuild_collision_tree();
}

void LevelGeometryImpl::explode(float x, float y, float radius, CarveResult* result)
{
    if (!ValidEdit(x, y, radius)) {
        if (result)
            result->clear();
        return;
    }
    RunMeshing([&] { LevelCarve(*mesh_, x, y, radius, result).run(); });
    build_visual();
    build_collision_tree();

    const float reach = std::sqrt(x * x + y * y) + radius;
    bounding_sphere_.radius() = std::max(bounding_sphere_.radius(), reach);
    edit_log_.push_back(LevelEditRecord{x, y, radius, LEVEL_EDIT_CARVE});
}

void LevelGeometryImpl::add_lava(float x, float y, float radius)
{
    if (!ValidEdit(x, y, radius))
        return;
    RunMeshing([&] { MarkLava(*mesh_, x, y, radius); });
    edit_log_.push_back(LevelEditRecord{x, y, radius, LEVEL_EDIT_LAVA});
}

bool LevelGeometryImpl::random_boundary_point(vector3& out, float minRise)
{
    if (collision_vertices_.empty()) {
        std::cout << "no boundary points avaiable!\n" << std::endl;
        return false;
    }
    mg::Grid& grid = mesh_->grid;
    const MeshPositions& pos = mesh_->position;
    const size_t count = collision_vertices_.size();
    mg::ElementPointerArray<mg::Edge*> edges;
    for (int attempt = 0; attempt < 10; ++attempt) {
        int k = Rand();
        if (k == kRandMax)
            k = kRandMax - 1;
        const size_t index = static_cast<size_t>(k / static_cast<double>(kRandMax) * count);
        mg::Vertex* v = collision_vertices_[index];

        grid.get_associated(edges, v);
        mg::Edge* boundary[2] = {nullptr, nullptr};
        int numBoundary = 0;
        for (mg::Edge* e : edges) {
            if (mesh_->subsets.subset_index(e) != LEVEL_SUBSET_COLLISION)
                continue;
            if (numBoundary < 2)
                boundary[numBoundary] = e;
            ++numBoundary;
        }
        if (numBoundary != 2)
            continue;

        MeshVector n0;
        MeshVector n1;
        if (!BoundaryEdgeNormal(n0, grid, boundary[0], pos) ||
            !BoundaryEdgeNormal(n1, grid, boundary[1], pos))
            continue;
        const MeshVector n = Unit(n0 + n1);
        bool level = true;
        for (mg::Edge* e : boundary) {
            const MeshVector rise = pos[mg::GetConnectedVertex(e, v)] - pos[v];
            if (Dot(rise, n) < minRise)
                level = false;
        }
        if (!level)
            continue;
        out = ToVector3(pos[v]);
        return true;
    }
    return false;
}

bool LevelGeometryImpl::write_mgx(const std::string& filename)
{
    return mg::SaveGridToMGX(mesh_->grid, &mesh_->subsets, filename.c_str(), mg::aPosition);
}

}  // namespace vo

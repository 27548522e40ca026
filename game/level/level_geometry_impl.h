#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/core/sphere.h"
#include "engine/core/vector.h"
#include "engine/scene/collision_nodes.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/updatable_edge_tree.h"
#include "engine/scene/visual_node.h"
#include "engine/sfml/effect.h"
#include "engine/visuals/static_visual.h"
#include "game/level/level_edit_record.h"
#include "game/level/mesh/carve_result.h"
#include "game/level/mesh/level_mesh.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vo {

class BinaryBuffer;

// One draw call of the level: the triangles of a subset with an effect.
struct LevelDrawPass {
    int subset;
    EffectHandle effect;
};

// The destructible level: its triangle mesh (LevelMesh) with everything
// derived from it: the drawable (a StaticVisual in a VisualNode), the
// collision tree over its collision boundary below a group node, a bounding
// sphere and the log of the edits made to it. The level lies in the x-y
// plane, triangles counter-clockwise, collision edges with the rock on their
// left. Everything runs on the caller's thread; only CPU buffers are used,
// so no window is needed.
class LevelGeometryImpl {
public:
    // An empty level: no mesh yet, empty nodes.
    LevelGeometryImpl();
    ~LevelGeometryImpl();

    LevelGeometryImpl(const LevelGeometryImpl&) = delete;
    LevelGeometryImpl& operator=(const LevelGeometryImpl&) = delete;

    // Builds the disc level: rings spaced about `spacing` apart out to
    // `radius` around the origin, the outermost ring pushed out to twice the
    // radius; four draw passes (rock, lava on rock with the level effect,
    // then lava and lava on rock with the lava effect); visual and collision
    // tree built (no collision edges yet). Called again, it starts over: a
    // fresh disc, an empty log. Throws Error "Meshing error: ..." when the
    // disc cannot be built (also for non-finite sizes).
    void create(float radius, float spacing, float rimWidth, float uvScale,
                EffectHandle const& levelEffect, EffectHandle const& lavaEffect,
                float lightRadiusMinFac, float lightRadiusMaxFac);

    // Cuts a circular hole, rebuilds the visual and brings the collision tree
    // up to date (build_collision_tree), grows the bounding sphere and logs
    // the carve. With a result record, it is emptied and receives what was
    // removed. A radius that is not above 0, or a non-finite value, changes
    // nothing and is not logged.
    void explode(float x, float y, float radius, CarveResult* result);
    // Marks a lava field and logs it; visual and collision tree are not
    // rebuilt (the next carve brings the lava into the drawing). Ignored like
    // explode for a radius not above 0 or non-finite values.
    void add_lava(float x, float y, float radius);
    // A random collision-boundary vertex whose two boundary neighbours do not
    // lie towards the rock by minRise or more along its outward normal
    // (level ground or a hollow); false after 10 failed draws, or with a
    // message when there is no boundary yet.
    bool random_boundary_point(vector3& out, float minRise);

    // The group node holding the collision tree as its only child (no child
    // while there are no collision edges). Every carve brings the tree
    // below it up to date (and puts it in place again), so a holder of the
    // node always sees the current rock.
    SmartPtr<GroupNode> collision_node() const { return collision_node_; }
    // The present collision tree (null while there are no collision edges),
    // whose point list the projections index.
    SmartPtr<CollisionTreeRootNode> collision_tree() const { return collision_tree_; }
    SmartPtr<VisualNode> visual_node() const { return visual_node_; }
    SmartPtr<StaticVisual> visual() const { return visual_; }
    // Centre (0, 0, 0); radius 0 after create, grown by every carve to reach
    // over the carved circle.
    const Sphere* bounding_sphere() const { return &bounding_sphere_; }
    // The distance of the disc's outer border from the origin (twice the
    // created radius; 0 before create). Bodies far beyond it have left the
    // level for good.
    float outer_radius() const { return outer_radius_; }
    // Every carve and lava marking since create, in order.
    const std::vector<LevelEditRecord>& edit_log() const { return edit_log_; }

    // Writes the number of logged edits (uint32) and the records.
    void serialize(BinaryBuffer& buffer) const;
    // Reads a record count and the records from the buffer's read position,
    // then rebuilds the level from a fresh disc of the same create
    // parameters and replays them (carves and lava markings; other
    // operations are skipped), so that the log alone reproduces the level.
    // Throws Error, leaving the level and the buffer's read position as they
    // were, when the buffer is cut short, announces more records than it
    // holds, holds a record whose numbers are not finite or whose radius is
    // not above 0, or when the level was never created.
    void deserialize(BinaryBuffer& buffer);

    // Writes the mesh with its subsets as an MGX file for inspection; false
    // when it cannot be written.
    bool write_mgx(const std::string& filename);

    // Inspection (tests, debugging).
    LevelMesh& mesh() { return *mesh_; }
    const LevelMesh& mesh() const { return *mesh_; }
    const std::vector<LevelDrawPass>& draw_passes() const { return draw_passes_; }
    // The vertices of the collision edges, in the order of the collision
    // tree's points.
    const std::vector<mg::Vertex*>& collision_vertices() const { return collision_vertices_; }
    float uv_scale() const { return uv_scale_; }

    // Rebuild the drawable from the mesh.
    void build_visual();
    // Bring the collision tree to the mesh's collision edges: only the cells
    // whose edges changed since the last build are built anew (the first
    // build after create builds it whole), and the tree is the one a whole
    // build would give.
    void build_collision_tree();
    // Build the collision tree whole from the mesh.
    void rebuild_collision_tree();

private:
    struct CreateParams {
        float radius = 0;
        float spacing = 0;
        float rim_width = 0;
        float uv_scale = 0;
        EffectHandle level_effect;
        EffectHandle lava_effect;
        float light_radius_min_factor = 0;
        float light_radius_max_factor = 0;
    };

    // The collision tree: a quadtree of at most 6 levels with at most 2
    // edges per leaf, each edge in the one cell that holds its centre.
    static constexpr int COLLISION_TREE_DEPTH = 6;
    static constexpr int COLLISION_EDGES_PER_LEAF = 2;

    // Builds the collision tree from the mesh, whole or keeping the cells
    // whose edges have not changed since the last build.
    void update_collision_tree(bool whole);

    SmartPtr<VisualNode> visual_node_;
    SmartPtr<StaticVisual> visual_;
    SmartPtr<CollisionTreeRootNode> collision_tree_;
    SmartPtr<GroupNode> collision_node_;
    std::vector<LevelDrawPass> draw_passes_;
    std::unique_ptr<LevelMesh> mesh_;
    std::vector<mg::Vertex*> collision_vertices_;
    // The kept collision tree. Every collision edge is stamped with the
    // number of the build that last took it and its place in that build
    // (build << 32 | place); the ends of the edges of the last build, two per
    // edge, tell whether an edge stamped by it has kept its place.
    UpdatableEdgeTree tree_;
    mg::Attachment<std::uint64_t> a_collision_stamp_;
    std::uint32_t collision_build_ = 0;
    std::vector<vector3> collision_edge_ends_;
    float uv_scale_ = 1.0f;
    Sphere bounding_sphere_;
    float outer_radius_ = 0.0f;
    bool created_ = false;
    CreateParams create_params_;
    std::vector<LevelEditRecord> edit_log_;
};

}  // namespace vo

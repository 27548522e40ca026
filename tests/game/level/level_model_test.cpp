// The level's data model: the disc that create builds, its drawable and
// (empty) collision tree, the handle, and the boundary normal.

#include "level_fixtures.h"

#include "engine/core/error.h"
#include "engine/core/vertex.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/mesh/boundary_edge_normal.h"
#include "support/game/level_invariants.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

namespace {

using namespace vo;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

struct DiscCase {
    float radius;
    std::vector<size_t> ring_sizes;  // ring 1, 2, ...
    size_t triangles;
};

// The number of vertices at each distance from the centre, nearest first.
std::vector<size_t> RingSizes(LevelMesh& mesh)
{
    std::map<long, size_t> rings;
    for (auto it = mesh.grid.begin<mg::Vertex>(); it != mesh.grid.end<mg::Vertex>(); ++it)
        ++rings[std::lround(level_test::DistanceTo(mesh, *it, 0, 0) * 100)];
    std::vector<size_t> sizes;
    for (const auto& r : rings)
        sizes.push_back(r.second);
    return sizes;
}

TEST(LevelModel, CreateBuildsTheDiscOfRings)
{
    const DiscCase cases[] = {
        {10.0f, {6, 12, 18, 25, 31}, 6 + 18 + 30 + 43 + 56},
        {0.9f, {6}, 6},  // below half the spacing: still one ring
    };
    for (const DiscCase& c : cases) {
        SCOPED_TRACE(c.radius);
        LevelGeometryHandle level;
        level_test::CreateDisc(level, c.radius);
        LevelMesh& mesh = level.geometry().mesh();

        std::vector<size_t> expected = {1};  // the centre
        expected.insert(expected.end(), c.ring_sizes.begin(), c.ring_sizes.end());
        EXPECT_THAT(RingSizes(mesh), ElementsAreArray(expected));
        EXPECT_EQ(mesh.grid.num<mg::Triangle>(), c.triangles);
        EXPECT_EQ(mesh.grid.num_faces(), c.triangles);
        EXPECT_FLOAT_EQ(level.outer_radius(), 2 * c.radius);

        // The outer ring lies at twice the radius, the others at i x radius / n.
        float farthest = 0;
        for (auto it = mesh.grid.begin<mg::Vertex>(); it != mesh.grid.end<mg::Vertex>(); ++it) {
            const float d = level_test::DistanceTo(mesh, *it, 0, 0);
            farthest = std::max(farthest, d);
            EXPECT_EQ(mesh.rim[*it], d > 0 ? 1.0f : 0.0f);
        }
        EXPECT_NEAR(farthest, 2 * c.radius, 1e-4f);
    }
}

TEST(LevelModel, TheMatchLevelHasItsExactCounts)
{
    LevelGeometryHandle level;
    level_test::CreateDisc(level, 100.0f);
    LevelMesh& mesh = level.geometry().mesh();
    EXPECT_EQ(mesh.grid.num_vertices(), 7987u);
    EXPECT_EQ(mesh.grid.num<mg::Triangle>(), 15658u);
    EXPECT_EQ(RingSizes(mesh).size(), 51u);

    // Subsets: every triangle rock, every edge (the outer border too) an
    // ordinary edge; nothing is collision boundary yet.
    EXPECT_EQ(mesh.subsets.num<mg::Face>(LEVEL_SUBSET_ROCK), 15658u);
    EXPECT_EQ(mesh.subsets.num<mg::Edge>(LEVEL_SUBSET_EDGES), mesh.grid.num_edges());
    EXPECT_EQ(mesh.subsets.num<mg::Edge>(LEVEL_SUBSET_COLLISION), 0u);
    EXPECT_EQ(mesh.subsets.num_subsets(), 6);
    EXPECT_EQ(mesh.subsets.subset_info(LEVEL_SUBSET_ROCK).name, "geometry");
    EXPECT_EQ(mesh.subsets.subset_info(LEVEL_SUBSET_COLLISION).name, "collision");
    EXPECT_EQ(mesh.subsets.subset_info(LEVEL_SUBSET_EDGES).name, "edgeGeometry");
    const std::array<float, 4> collisionColor = {0.8f, 0.4f, 0.4f, 1.0f};
    const std::array<float, 4> edgeColor = {0.4f, 0.4f, 0.8f, 1.0f};
    EXPECT_EQ(mesh.subsets.subset_info(LEVEL_SUBSET_COLLISION).color, collisionColor);
    EXPECT_EQ(mesh.subsets.subset_info(LEVEL_SUBSET_EDGES).color, edgeColor);
    EXPECT_FLOAT_EQ(mesh.snap_distance, 0.4f);

    const vo_test::LevelInvariantReport report = vo_test::CheckLevelInvariants(level.geometry(), {});
    EXPECT_TRUE(report.ok()) << report.text();
}

// Until the first carve there is no collision boundary: the collision node
// has no child at all (a null child would break every traversal).
TEST(LevelModel, CreatedLevelHasItsDrawableAndNoCollisionTree)
{
    LevelGeometryHandle level;
    const EffectHandle levelEffect(3, EFFECT_PIXEL_SHADER, true);
    const EffectHandle lavaEffect(4, EFFECT_PIXEL_SHADER, true);
    level.create(10.0f, 2.0f, 3.0f, 0.25f, levelEffect, lavaEffect, 1.0f, 3.0f);
    LevelGeometryImpl& geometry = level.geometry();

    EXPECT_EQ(level.collision_node()->num_children(), 0);
    EXPECT_FALSE(level.collision_tree());
    EXPECT_TRUE(geometry.collision_vertices().empty());
    EXPECT_EQ(level.bounding_sphere()->radius(), 0.0f);
    EXPECT_TRUE(level.edit_log().empty());
    EXPECT_EQ(level.visual_node()->get_visual().get(), geometry.visual().get());

    ASSERT_EQ(geometry.draw_passes().size(), 4u);
    const int subsets[] = {0, 1, 2, 1};
    const EffectHandle effects[] = {levelEffect, levelEffect, lavaEffect, lavaEffect};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(geometry.draw_passes()[i].subset, subsets[i]);
        EXPECT_EQ(geometry.draw_passes()[i].effect, effects[i]);
    }

    // One draw call: the rock; the lava passes have no triangles.
    const StaticVisual& visual = *geometry.visual();
    ASSERT_EQ(visual.subsets().size(), 1u);
    const StaticVisual::Subset& rock = visual.subsets()[0];
    LevelMesh& mesh = geometry.mesh();
    EXPECT_EQ(rock.first_index, 0);
    EXPECT_EQ(rock.num_indices, static_cast<int>(3 * mesh.grid.num_faces()));
    EXPECT_EQ(rock.num_vertices, static_cast<int>(mesh.grid.num_vertices()));
    EXPECT_EQ(rock.type, PRIMITIVE_TRIANGLES);
    EXPECT_EQ(rock.effect, levelEffect);
    EXPECT_EQ(rock.color.r, 1.0f);

    // Vertex i: the position, colour (rim, light, rim, lava), texture
    // coordinates position x uv scale.
    VertexBuffer& vertices = *visual.vertex_buffer();
    EXPECT_EQ(vertices.format(), 11u);
    EXPECT_EQ(vertices.vertex_size(), 36u);
    ASSERT_EQ(vertices.num_vertices(), mesh.grid.num_vertices());
    void* data = nullptr;
    ASSERT_TRUE(vertices.lock(&data, 0, vertices.num_vertices()));
    const ColorVertex* records = static_cast<const ColorVertex*>(data);
    int i = 0;
    for (auto it = mesh.grid.begin<mg::Vertex>(); it != mesh.grid.end<mg::Vertex>(); ++it, ++i) {
        mg::Vertex* v = *it;
        mesh.light[v] = 0.5f;  // not in the buffer until the next build
        const MeshVector& p = mesh.position[v];
        const ColorVertex& r = records[i];
        EXPECT_EQ(mesh.vertex_index[v], i);
        EXPECT_EQ(r.position.x, p[0]);
        EXPECT_EQ(r.position.y, p[1]);
        EXPECT_EQ(r.color.r, mesh.rim[v]);
        EXPECT_EQ(r.color.g, 0.0f);
        EXPECT_EQ(r.color.b, mesh.rim[v]);
        EXPECT_EQ(r.color.a, 0.0f);
        EXPECT_FLOAT_EQ(r.tex_coord.x, p[0] * 0.25f);
        EXPECT_FLOAT_EQ(r.tex_coord.y, p[1] * 0.25f);
    }
    vertices.unlock();
}

TEST(LevelModel, CreatingAgainStartsOver)
{
    LevelGeometryHandle level;
    level_test::CreateDisc(level, 10.0f);
    const level_test::MeshImage fresh = level_test::ImageOf(level.geometry());
    level.explode(3, 4, 5, nullptr);
    level.add_lava(0, 0, 2);
    ASSERT_EQ(level.edit_log().size(), 2u);

    level_test::CreateDisc(level, 10.0f);
    EXPECT_TRUE(level.edit_log().empty());
    EXPECT_EQ(level.bounding_sphere()->radius(), 0.0f);
    EXPECT_EQ(level.collision_node()->num_children(), 0);
    EXPECT_TRUE(level_test::ImageOf(level.geometry()) == fresh);
}

TEST(LevelModel, MeshingErrorsAreReportedAsErrors)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float radius;
        float spacing;
    } cases[] = {{nan, 2.0f}, {inf, 2.0f}, {100.0f, 0.0f}, {100.0f, nan}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.radius << " " << c.spacing);
        LevelGeometryHandle level;
        try {
            level.create(c.radius, c.spacing, 3.0f, 0.1f, EffectHandle(), EffectHandle(), 1, 3);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_THAT(e.message(), HasSubstr("Meshing error: "));
        }
        EXPECT_EQ(level.outer_radius(), 0.0f);
    }
}

TEST(LevelModel, EveryHolderKeepsTheLevel)
{
    SmartPtr<LevelGeometryHandle> match(new LevelGeometryHandle());
    level_test::CreateDisc(*match, 10.0f);
    SmartPtr<LevelGeometryHandle> behaviour = match;
    SmartPtr<GroupNode> collision = match->collision_node();
    match.reset();
    EXPECT_EQ(behaviour.use_count(), 1);
    behaviour->explode(0, 0, 4, nullptr);  // still there, and still the same node
    EXPECT_EQ(collision->num_children(), 1);
    EXPECT_EQ(collision->get_child(0).get(), behaviour->collision_tree().get());
}

// The outward direction of a boundary edge, from the face's third corner to
// the edge's line, not normalised.
TEST(LevelModel, BoundaryEdgeNormal)
{
    LevelMesh mesh;
    auto vertex = [&](float x, float y) {
        mg::Vertex* v = *mesh.grid.create<mg::RegularVertex>();
        mesh.position[v] = MeshVector(x, y, 0);
        return v;
    };
    mg::Vertex* a = vertex(0, 0);
    mg::Vertex* b = vertex(4, 0);
    mg::Vertex* c = vertex(1, 3);
    mg::Vertex* d = vertex(4, 4);
    mg::Vertex* e = vertex(6, 0);
    mg::Vertex* f = vertex(6, 0);
    mesh.grid.create<mg::Triangle>(mg::TriangleDescriptor(a, b, c));
    mesh.grid.create<mg::Triangle>(mg::TriangleDescriptor(b, d, c));
    mesh.grid.create<mg::Triangle>(mg::TriangleDescriptor(b, e, f));  // e-f has no length

    struct Case {
        mg::Vertex* v0;
        mg::Vertex* v1;
        bool found;
        MeshVector normal;
    };
    const Case cases[] = {
        {a, b, true, MeshVector(0, -3, 0)},      // the corner projects inside the edge
        {b, a, true, MeshVector(0, -3, 0)},      // either direction
        {c, a, true, MeshVector(-3.6f, 1.2f, 0)},  // from b to (0.4, 1.2)
        {e, f, true, MeshVector(2, 0, 0)},         // no length: towards its first vertex
        {b, c, false, MeshVector()},               // two faces: interior
    };
    for (const Case& k : cases) {
        mg::Edge* edge = mesh.grid.get_edge(k.v0, k.v1);
        ASSERT_NE(edge, nullptr);
        MeshVector n(7, 7, 7);
        EXPECT_EQ(BoundaryEdgeNormal(n, mesh.grid, edge, mesh.position), k.found);
        if (k.found) {
            EXPECT_NEAR(n[0], k.normal[0], 1e-5f);
            EXPECT_NEAR(n[1], k.normal[1], 1e-5f);
        }
    }
}

// Nothing of the level needs a window: the drawable's buffers live in main
// memory. (Each test runs in a process of its own.)
TEST(LevelModel, RunsWithoutAnXDisplay)
{
    ::unsetenv("DISPLAY");
    LevelGeometryHandle level;
    level_test::CreateDisc(level, 30.0f);
    level.explode(5, 5, 8, nullptr);
    const vo_test::LevelInvariantReport report =
        vo_test::CheckLevelInvariants(level.geometry(), {{5, 5, 8}});
    EXPECT_TRUE(report.ok()) << report.text();
    EXPECT_GT(report.num_collision_edges, 10u);
}

}  // namespace

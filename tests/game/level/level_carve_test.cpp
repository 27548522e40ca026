// Carving holes into the level.

#include "level_fixtures.h"

#include "game/level/level_geometry_handle.h"
#include "game/level/mesh/boundary_edge_normal.h"
#include "game/level/mesh/level_carve.h"
#include "support/game/level_invariants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace {

using namespace vo;

class LevelCarveTest : public ::testing::Test {
protected:
    void SetUp() override { level_test::CreateDisc(level, 30.0f); }

    LevelMesh& mesh() { return level.geometry().mesh(); }

    void ExpectInvariants(float x, float y, float r)
    {
        const vo_test::LevelInvariantReport report =
            vo_test::CheckLevelInvariants(level.geometry(), {{x, y, r}});
        EXPECT_TRUE(report.ok()) << report.text();
    }

    LevelGeometryHandle level;
};

// A circle inside one triangle, away from its corners and sides.
TEST_F(LevelCarveTest, ACircleTouchingNothingOnlyShades)
{
    const level_test::MeshImage before = level_test::ImageOf(level.geometry());
    mg::Face* f = nullptr;
    for (auto it = mesh().grid.begin<mg::Face>(); it != mesh().grid.end<mg::Face>() && !f; ++it) {
        if (level_test::DistanceTo(mesh(), (*it)->vertex(0), 10, 10) < 2)
            f = *it;
    }
    ASSERT_NE(f, nullptr);
    // the incircle of the triangle, halved
    const MeshVector& a = mesh().position[f->vertex(0)];
    const MeshVector& b = mesh().position[f->vertex(1)];
    const MeshVector& c = mesh().position[f->vertex(2)];
    const float la = Length(c - b), lb = Length(a - c), lc = Length(b - a);
    const float perimeter = la + lb + lc;
    const MeshVector centre = (a * la + b * lb + c * lc) * (1 / perimeter);
    const float radius = 0.5f * TwiceSignedArea(f, mesh().position) / perimeter;

    level.explode(centre[0], centre[1], radius, nullptr);

    const level_test::MeshImage after = level_test::ImageOf(level.geometry());
    EXPECT_TRUE(after.same_shape(before));
    EXPECT_NE(after.shading, before.shading);
    for (unsigned int i = 0; i < 3; ++i) {
        EXPECT_EQ(mesh().light[f->vertex(i)], 1.0f);
        EXPECT_LT(mesh().rim[f->vertex(i)], 1.0f);
    }
    ASSERT_EQ(level.edit_log().size(), 1u);
    EXPECT_EQ(level.edit_log()[0].op, static_cast<std::uint32_t>(LEVEL_EDIT_CARVE));
    EXPECT_FLOAT_EQ(level.bounding_sphere()->radius(), Length(centre) + radius);
    EXPECT_EQ(level.collision_node()->num_children(), 0);  // no boundary made
}

// A vertex a tenth of the spacing inside the circle stays, on the circle.
TEST_F(LevelCarveTest, AVertexJustInsideMovesOntoTheCircle)
{
    mg::Vertex* v = level_test::NearestVertex(mesh(), 12, 5);
    const MeshVector p = mesh().position[v];
    const float r = 4.0f;
    const float x = p[0] - (r - 0.1f * 2.0f);
    level.explode(x, p[1], r, nullptr);

    mg::Vertex* moved = level_test::NearestVertex(mesh(), x + r, p[1]);
    EXPECT_EQ(moved, v);
    EXPECT_NEAR(level_test::DistanceTo(mesh(), v, x, p[1]), r, 1e-4f);
    EXPECT_EQ(mesh().rim[v], 0.0f);
    EXPECT_EQ(mesh().light[v], 1.0f);
    ExpectInvariants(x, p[1], r);
}

// A crossing closer than the snap distance (0.4) to the outer end of its
// edge: the end moves onto the circle, the edge is not split.
TEST_F(LevelCarveTest, ACrossingNearTheOuterEndMovesThatEnd)
{
    mg::Vertex* b = level_test::NearestVertex(mesh(), -12, 6);
    mg::ElementPointerArray<mg::Edge*> edges;
    mesh().grid.get_associated(edges, b);
    mg::Vertex* a = edges[0]->vertex(0) == b ? edges[0]->vertex(1) : edges[0]->vertex(0);
    const MeshVector pb = mesh().position[b];
    const MeshVector u = Unit(mesh().position[a] - pb);
    const float r = 5.0f;
    const MeshVector c = pb + u * (0.2f + r);  // the crossing 0.2 from b
    level.explode(c[0], c[1], r, nullptr);

    const MeshVector onCircle = pb + u * 0.2f;
    mg::Vertex* near = level_test::NearestVertex(mesh(), onCircle[0], onCircle[1]);
    EXPECT_EQ(near, b);
    EXPECT_NEAR(level_test::DistanceTo(mesh(), b, onCircle[0], onCircle[1]), 0.0f, 1e-4f);
    EXPECT_NEAR(level_test::DistanceTo(mesh(), b, c[0], c[1]), r, 1e-4f);
    ExpectInvariants(c[0], c[1], r);
}

// A circle through the middle of an edge whose ends lie outside it.
TEST_F(LevelCarveTest, AnEdgeCrossedTwiceIsNotSplit)
{
    const level_test::MeshImage before = level_test::ImageOf(level.geometry());
    mg::Vertex* a = level_test::NearestVertex(mesh(), 8, -14);
    mg::ElementPointerArray<mg::Edge*> edges;
    mesh().grid.get_associated(edges, a);
    mg::Edge* e = edges[0];
    mg::Vertex* b = e->vertex(0) == a ? e->vertex(1) : e->vertex(0);
    const MeshVector mid = (mesh().position[a] + mesh().position[b]) * 0.5f;
    const float r = 0.4f * Length(mesh().position[b] - mesh().position[a]);

    level.explode(mid[0], mid[1], r, nullptr);
    EXPECT_EQ(mesh().grid.get_edge(a, b), e);
    EXPECT_TRUE(level_test::ImageOf(level.geometry()).same_shape(before));
}

TEST_F(LevelCarveTest, TheSameCircleTwiceRemovesNothingMore)
{
    level.explode(6, -8, 5, nullptr);
    const level_test::MeshImage first = level_test::ImageOf(level.geometry());
    const size_t vertices = mesh().grid.num_vertices();
    const size_t faces = mesh().grid.num_faces();
    for (auto it = mesh().grid.begin<mg::Vertex>(); it != mesh().grid.end<mg::Vertex>(); ++it)
        mesh().light[*it] = 0;

    level.explode(6, -8, 5, nullptr);
    EXPECT_EQ(mesh().grid.num_vertices(), vertices);
    EXPECT_EQ(mesh().grid.num_faces(), faces);
    EXPECT_EQ(level_test::ImageOf(level.geometry()).triangles, first.triangles);
    EXPECT_EQ(level.edit_log().size(), 2u);
    EXPECT_EQ(mesh().light[level_test::NearestVertex(mesh(), 6, -2.5f)], 1.0f);  // shaded again
    ExpectInvariants(6, -8, 5);
}

TEST_F(LevelCarveTest, TheBoundingSphereReachesOverEveryCarve)
{
    level.explode(3, 4, 2, nullptr);
    EXPECT_FLOAT_EQ(level.bounding_sphere()->radius(), 7.0f);
    level.explode(0, 0, 6, nullptr);
    EXPECT_FLOAT_EQ(level.bounding_sphere()->radius(), 7.0f);
    EXPECT_EQ(level.bounding_sphere()->center().x, 0.0f);
}

// A radius not above 0 or a value that is not finite changes nothing and is
// not logged; a result record is emptied.
TEST_F(LevelCarveTest, InvalidCarvesAndLavaFieldsAreIgnored)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float x, y, r;
    } cases[] = {{0, 0, 0}, {0, 0, -3}, {0, 0, nan}, {0, 0, inf}, {nan, 0, 3}, {0, -inf, 3}};
    level.explode(10, 0, 3, nullptr);
    const level_test::MeshImage before = level_test::ImageOf(level.geometry());
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << ", " << c.y << ", " << c.r);
        CarveResult result;
        result.removed_corners.resize(3);
        result.lava_edges.resize(2);
        level.explode(c.x, c.y, c.r, &result);
        level.add_lava(c.x, c.y, c.r);
        EXPECT_TRUE(result.removed_corners.empty());
        EXPECT_TRUE(result.lava_edges.empty());
        EXPECT_EQ(level.edit_log().size(), 1u);
        EXPECT_FLOAT_EQ(level.bounding_sphere()->radius(), 13.0f);
        EXPECT_TRUE(level_test::ImageOf(level.geometry()) == before);
    }
}

// The invariant checker itself takes circles of any place and size: one far
// away or with a NaN finds nothing, one that covers the whole level finds
// its vertices, and none of them takes long.
TEST_F(LevelCarveTest, TheInvariantCheckerTakesCirclesOfAnyPlaceAndSize)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float x, y, r;
        bool covers;
    } cases[] = {{1e20f, 0, 3, false}, {0, -1e30f, 1e6f, false}, {nan, 0, 3, false},
                 {0, 0, 1e6f, true},   {-1e6f, 5, 2e6f, true},   {0, 0, inf, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << ", " << c.y << ", " << c.r);
        const vo_test::LevelInvariantReport report =
            vo_test::CheckLevelInvariants(level.geometry(), {{c.x, c.y, c.r}});
        EXPECT_EQ(report.text().find("vertex inside a carved circle") != std::string::npos, c.covers)
            << report.text();
    }
}

// A radius below half the snap distance removes nothing outside the circle.
TEST_F(LevelCarveTest, ATinyCircleRemovesNothingOutsideIt)
{
    mg::Vertex* v = level_test::NearestVertex(mesh(), 4, 4);
    const MeshVector p = mesh().position[v];
    const size_t vertices = mesh().grid.num_vertices();
    level.explode(p[0] + 0.25f, p[1], 0.1f, nullptr);
    EXPECT_EQ(mesh().grid.num_vertices(), vertices);
    EXPECT_EQ(level_test::NearestVertex(mesh(), p[0], p[1]), v);
    EXPECT_EQ(mesh().position[v], p);
}

TEST_F(LevelCarveTest, AResultRecordChangesNothingButIsFilled)
{
    LevelGeometryHandle twin;
    level_test::CreateDisc(twin, 30.0f);
    for (LevelGeometryHandle* l : {&level, &twin}) {
        l->add_lava(0, 10, 4);
        l->explode(0, 0, 8, nullptr);
    }
    CarveResult result;
    level.explode(3, 8, 5, &result);  // into the hole and the lava
    twin.explode(3, 8, 5, nullptr);
    EXPECT_TRUE(level_test::ImageOf(level.geometry()) == level_test::ImageOf(twin.geometry()));

    ASSERT_FALSE(result.removed_corners.empty());
    EXPECT_EQ(result.removed_corners.size() % 3, 0u);
    EXPECT_EQ(result.removed_corner_lava.size(), result.removed_corners.size());
    for (const vector3& p : result.removed_corners)
        EXPECT_LT(std::hypot(p.x - 3, p.y - 8), 5 + 2 * 2.0f);
    bool someLava = false;
    for (float lava : result.removed_corner_lava)
        someLava = someLava || lava > 0.5f;
    EXPECT_TRUE(someLava);

    // Boundary edges in lava, each with its unit normal out of the rock.
    ASSERT_FALSE(result.lava_edge_normals.empty());
    ASSERT_EQ(result.lava_edges.size(), 2 * result.lava_edge_normals.size());
    for (size_t i = 0; i < result.lava_edge_normals.size(); ++i) {
        const vector3& n = result.lava_edge_normals[i];
        EXPECT_NEAR(std::hypot(n.x, n.y), 1.0f, 1e-5f);
        const vector3& p0 = result.lava_edges[2 * i];
        const vector3& p1 = result.lava_edges[2 * i + 1];
        const float towardsHole = (3 - (p0.x + p1.x) / 2) * n.x + (8 - (p0.y + p1.y) / 2) * n.y;
        EXPECT_GT(towardsHole, 0.0f);
    }

    // The next carve starts from an empty record.
    level.explode(20, -20, 0.01f, &result);
    EXPECT_TRUE(result.removed_corners.empty());
    EXPECT_TRUE(result.removed_corner_lava.empty());
    EXPECT_TRUE(result.lava_edges.empty());
    EXPECT_TRUE(result.lava_edge_normals.empty());
    EXPECT_TRUE(result.removed_boundary_points.empty());
}

// Beyond the disc's last inner ring (radius 98) its triangles run out to
// the border at 200, wider than a blast: two ordinary blasts there, side by
// side. The first takes the rock under it, and the second leaves none of its
// new boundary inside the first crater.
TEST(LevelCarveOuterBand, TwoBlastsSideBySideLeaveNoRockInTheFirstCrater)
{
    LevelGeometryHandle level;
    level_test::CreateDisc(level, 100.0f);
    LevelMesh& mesh = level.geometry().mesh();
    auto covers = [&mesh](float x, float y) {
        for (auto it = mesh.grid.begin<mg::Face>(); it != mesh.grid.end<mg::Face>(); ++it) {
            bool inside = true;
            for (unsigned int i = 0; i < 3 && inside; ++i) {
                const MeshVector& a = mesh.position[(*it)->vertex(i)];
                const MeshVector& b = mesh.position[(*it)->vertex((i + 1) % 3)];
                inside = (b[0] - a[0]) * (y - a[1]) - (x - a[0]) * (b[1] - a[1]) >= 0;
            }
            if (inside)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(covers(144.0f, 129.2f));
    level.explode(144.0f, 129.2f, 5, nullptr);
    EXPECT_FALSE(covers(144.0f, 129.2f));
    level.explode(146.1f, 132.2f, 5, nullptr);
    const vo_test::LevelInvariantReport report =
        vo_test::CheckLevelInvariants(level.geometry(), vo_test::CarveInteriors(level.geometry()));
    EXPECT_TRUE(report.ok()) << report.text();
}

// Where a cut meets the old boundary, the ends of the new boundary chains
// are selected for spike removal; a cut through solid rock has none.
TEST_F(LevelCarveTest, TheEndsOfTheNewBoundaryGoToSpikeRemoval)
{
    struct Step {
        float x, y, r;
        bool meetsOldBoundary;
    };
    const Step steps[] = {{0, 0, 6, false}, {6, 0, 4, true}, {-15, 10, 3, false}};
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << s.x << ", " << s.y << ", " << s.r);
        LevelCarve carve(mesh(), s.x, s.y, s.r);
        carve.prepare();
        carve.refine();
        carve.vertex_pass();
        carve.edge_pass();
        carve.cut_faces();
        carve.assign_new_edges();
        carve.find_boundary();
        carve.remove();
        carve.mark_boundary_ends();

        std::set<mg::Edge*> newBoundary(carve.new_boundary().begin(), carve.new_boundary().end());
        size_t ends = 0;
        for (auto it = mesh().selector.begin<mg::Vertex>(); it != mesh().selector.end<mg::Vertex>();
             ++it) {
            ++ends;
            mg::ElementPointerArray<mg::Edge*> edges;
            mesh().grid.get_associated(edges, *it);
            int onNewBoundary = 0;
            for (mg::Edge* e : edges)
                onNewBoundary += newBoundary.count(e) > 0;
            EXPECT_EQ(onNewBoundary, 1);
        }
        EXPECT_EQ(ends > 0, s.meetsOldBoundary);
        EXPECT_EQ(ends % 2, 0u);
        carve.remove_spikes();
        carve.finish();
        level.geometry().build_visual();
        level.geometry().build_collision_tree();
        ExpectInvariants(s.x, s.y, s.r);
    }
}

}  // namespace

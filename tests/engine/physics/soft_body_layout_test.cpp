#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_circle.h"
#include "support/engine/physics_scenes.h"

namespace {

using vo::SoftBody;
using vo::vector3;

class LayoutBody : public SoftBody {
public:
    using SoftBody::optimize;
};

TEST(HelperSolve, CentreFollowsTheRing) {
    LayoutBody b;
    vo_test::BuildCircleBody(b, vo_test::DefaultCircleDesc());
    b.point_set_coords(12, vector3(0.0f, 0.0f, 0.5f));
    for (int i = 0; i < b.num_particles(); ++i) {
        vector3 p = b.point_get_coords(i);
        p += vector3(5.0f, 2.0f, 0.0f);
        b.point_set_coords(i, p);
    }
    b.optimize(0.1f, 1e-6f, 10);
    EXPECT_NEAR(b.point_get_coords(12).x, 5.0f, 1e-4f);
    EXPECT_NEAR(b.point_get_coords(12).y, 2.0f, 1e-4f);
    EXPECT_EQ(b.point_get_coords(12).z, 0.5f);
    // The particles never move.
    EXPECT_NEAR(b.point_get_coords(0).y, 3.0f, 1e-6f);
    EXPECT_NEAR(b.particle_collection().particle(3)->position.x, 6.0f, 1e-6f);
}

TEST(HelperSolve, HelperTiedToSeveralPointsGoesToTheirMean) {
    LayoutBody b;
    b.set_num_points(3, 0, 1);
    b.point_set_coords(0, vector3(0.0f, 0.0f, 0.0f));
    b.point_set_coords(1, vector3(3.0f, 0.0f, 0.0f));
    b.point_set_coords(2, vector3(0.0f, 6.0f, 0.0f));
    b.point_set_coords(3, vector3(-10.0f, 10.0f, 0.0f));
    for (int i = 0; i < 3; ++i) b.create_null_connection(i, 3);
    b.optimize(0.1f, 1e-6f, 10);
    EXPECT_NEAR(b.point_get_coords(3).x, 1.0f, 1e-4f);
    EXPECT_NEAR(b.point_get_coords(3).y, 2.0f, 1e-4f);
}

TEST(HelperSolve, NothingToPlaceLeavesThePointsAlone) {
    // No helper points.
    LayoutBody plain;
    plain.set_num_points(3, 0, 0);
    plain.point_set_coords(1, vector3(1.0f, 2.0f, 3.0f));
    plain.optimize(0.1f, 1e-6f, 10);
    EXPECT_EQ(plain.point_get_coords(1).y, 2.0f);
    // A helper without null connections stays where it is.
    LayoutBody loose;
    loose.set_num_points(2, 0, 1);
    loose.point_set_coords(0, vector3(1.0f, 1.0f, 0.0f));
    loose.point_set_coords(1, vector3(3.0f, 1.0f, 0.0f));
    loose.point_set_coords(2, vector3(7.0f, 8.0f, 0.0f));
    loose.optimize(0.1f, 1e-6f, 10);
    EXPECT_EQ(loose.point_get_coords(2).x, 7.0f);
    EXPECT_EQ(loose.point_get_coords(2).y, 8.0f);
}

TEST(HelperSolve, NewNullConnectionsRebuildTheProblem) {
    LayoutBody b;
    b.set_num_points(2, 0, 1);
    b.point_set_coords(0, vector3(0.0f, 0.0f, 0.0f));
    b.point_set_coords(1, vector3(4.0f, 0.0f, 0.0f));
    b.point_set_coords(2, vector3(1.0f, 1.0f, 0.0f));
    b.create_null_connection(0, 2);
    b.optimize(0.1f, 1e-6f, 10);
    EXPECT_NEAR(b.point_get_coords(2).x, 0.0f, 1e-4f);
    b.create_null_connection(1, 2);
    b.optimize(0.1f, 1e-6f, 10);
    EXPECT_NEAR(b.point_get_coords(2).x, 2.0f, 1e-4f);
    EXPECT_NEAR(b.point_get_coords(2).y, 0.0f, 1e-4f);
    // Connections naming no point take no part.
    b.create_null_connection(2, 7);
    b.create_null_connection(-1, 2);
    b.optimize(0.1f, 1e-6f, 10);
    EXPECT_NEAR(b.point_get_coords(2).x, 2.0f, 1e-4f);
}

// --- boundary ordering -----------------------------------------------------

struct Snapshot {
    std::vector<vector3> points;
    std::vector<vo::vector2> uvs;
    std::vector<int> triangles;
    std::vector<int> nulls;
    std::vector<int> tuples;
    std::vector<const vo::CParticle*> particles;

    explicit Snapshot(const SoftBody& b) {
        for (int i = 0; i < b.num_points(); ++i) {
            points.push_back(b.point_get_coords(i));
            uvs.push_back(b.point_get_uv_coords(i));
        }
        triangles.assign(b.get_triangle_index_list(), b.get_triangle_index_list() + b.num_triangles() * 3);
        for (int i = 0; i < b.num_null_connections(); ++i) {
            nulls.push_back(b.get_null_connection(i).a);
            nulls.push_back(b.get_null_connection(i).b);
        }
        for (int s = 0; s < b.num_springs(); ++s) {
            tuples.push_back(b.spring_particle_index_tupel(s)->first);
            tuples.push_back(b.spring_particle_index_tupel(s)->second);
        }
        for (int i = 0; i < b.num_particles(); ++i) particles.push_back(b.particle_collection().particle(i));
    }

    bool same_as(const Snapshot& o) const {
        auto bytes_equal = [](const auto& a, const auto& b) {
            return a.size() == b.size() &&
                   (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0);
        };
        return bytes_equal(points, o.points) && bytes_equal(uvs, o.uvs) && triangles == o.triangles &&
               nulls == o.nulls && tuples == o.tuples && particles == o.particles;
    }
};

TEST(BoundarySort, CircleIsAlreadyInOrder) {
    SoftBody b;
    vo_test::BuildCircleBody(b, vo_test::DefaultCircleDesc(), vector3(-3.0f, 7.0f, 0.0f));
    const Snapshot before(b);
    EXPECT_TRUE(b.sort_boundary_points_clockwise());
    EXPECT_TRUE(before.same_as(Snapshot(b)));
}

// A square of four border points in shuffled order, with a centre helper,
// the four fan triangles, null connections, UVs and springs along the edges
// and across.
void BuildShuffledSquare(SoftBody& b) {
    // Old index: 0 = bottom right, 1 = top left, 2 = bottom left, 3 = top right.
    const vector3 corners[4] = {{1, -1, 0}, {-1, 1, 0}, {-1, -1, 0}, {1, 1, 0}};
    b.set_num_points(4, 0, 1);
    for (int i = 0; i < 4; ++i) {
        b.point_set_coords(i, corners[i]);
        b.point_set_uv_coords(i, 0.1f * static_cast<float>(i), 0.2f * static_cast<float>(i));
        b.create_null_connection(i, 4);
    }
    b.point_set_coords(4, vector3(0.0f, 0.0f, 0.0f));
    b.point_set_uv_coords(4, 0.5f, 0.5f);
    // Fan, clockwise: top left, top right, bottom right, bottom left.
    b.create_triangle(3, 1, 4);
    b.create_triangle(0, 3, 4);
    b.create_triangle(2, 0, 4);
    b.create_triangle(1, 2, 4);
    const int ends[6][2] = {{1, 3}, {3, 0}, {0, 2}, {2, 1}, {1, 0}, {3, 2}};
    b.create_springs(6);
    for (int s = 0; s < 6; ++s) b.set_spring(s, ends[s][0], ends[s][1], 2.0f, 100.0f + s, 0.1f);
}

TEST(BoundarySort, ShuffledSquareIsWalkedClockwiseFromTheTop) {
    SoftBody b;
    BuildShuffledSquare(b);
    const Snapshot before(b);
    ASSERT_TRUE(b.sort_boundary_points_clockwise());
    // Old index -> new index.
    const int to[4] = {2, 0, 3, 1};

    const vector3 expected[4] = {{-1, 1, 0}, {1, 1, 0}, {1, -1, 0}, {-1, -1, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b.point_get_coords(i).x, expected[i].x) << i;
        EXPECT_EQ(b.point_get_coords(i).y, expected[i].y) << i;
        EXPECT_EQ(b.particle_collection().particle(i)->position.x, expected[i].x) << i;
    }
    for (int old = 0; old < 4; ++old) {
        EXPECT_EQ(b.point_get_uv_coords(to[old]).x, before.uvs[old].x) << old;
        EXPECT_EQ(b.point_get_uv_coords(to[old]).y, before.uvs[old].y) << old;
        EXPECT_EQ(b.particle_collection().particle(to[old]), before.particles[old]) << old;
    }
    EXPECT_EQ(b.point_get_uv_coords(4).x, 0.5f);  // the helper stays

    const int* tri = b.get_triangle_index_list();
    for (int k = 0; k < 12; ++k) {
        const int old = before.triangles[k];
        EXPECT_EQ(tri[k], old < 4 ? to[old] : old) << k;
    }
    // The fan now reads (1, 0, 4), (2, 1, 4), ...: still clockwise.
    EXPECT_EQ(tri[0], 1);
    EXPECT_EQ(tri[1], 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(b.get_null_connection(i).a, to[i]);
        EXPECT_EQ(b.get_null_connection(i).b, 4);
    }
    for (int s = 0; s < 6; ++s) {
        const auto* t = b.spring_particle_index_tupel(s);
        EXPECT_EQ(t->first, to[before.tuples[2 * s]]) << s;
        EXPECT_EQ(t->second, to[before.tuples[2 * s + 1]]) << s;
        // Each spring still joins the particles its tuple names.
        EXPECT_EQ(b.spring(s)->get_particle1(), b.particle_collection().particle(t->first)) << s;
        EXPECT_EQ(b.spring(s)->get_particle2(), b.particle_collection().particle(t->second)) << s;
    }
    // The sorted body steps soundly and keeps its centre helper in place.
    for (int i = 0; i < 10; ++i) b.update(1.0 / 60.0);
    EXPECT_TRUE(vo_test::AllFinite(b));
    EXPECT_NEAR(b.point_get_coords(4).x, 0.0f, 1e-3f);
    EXPECT_NEAR(b.point_get_coords(4).y, 0.0f, 1e-3f);
}

TEST(BoundarySort, FailuresLeaveTheBodyUnchanged) {
    // One border point.
    SoftBody single;
    single.set_num_points(1, 0, 1);
    single.point_set_coords(0, vector3(0.0f, 1.0f, 0.0f));
    single.create_triangle(0, 0, 1);
    EXPECT_FALSE(single.sort_boundary_points_clockwise());

    // No triangles join the border.
    SoftBody loose;
    BuildShuffledSquare(loose);
    SoftBody no_triangles;
    no_triangles.set_num_points(4, 0, 0);
    for (int i = 0; i < 4; ++i) no_triangles.point_set_coords(i, loose.point_get_coords(i));
    const Snapshot before_loose(no_triangles);
    EXPECT_FALSE(no_triangles.sort_boundary_points_clockwise());
    EXPECT_TRUE(before_loose.same_as(Snapshot(no_triangles)));

    // Triangles that chain only part of the border.
    SoftBody broken;
    broken.set_num_points(4, 0, 1);
    for (int i = 0; i < 5; ++i) broken.point_set_coords(i, loose.point_get_coords(i));
    broken.create_triangle(3, 1, 4);  // top left - top right only
    broken.create_triangle(2, 0, 4);  // bottom right - bottom left only
    const Snapshot before_broken(broken);
    EXPECT_FALSE(broken.sort_boundary_points_clockwise());
    EXPECT_TRUE(before_broken.same_as(Snapshot(broken)));

    // All border points in one place: no step goes anywhere.
    SoftBody collapsed;
    collapsed.set_num_points(3, 0, 0);
    collapsed.create_triangle(0, 1, 2);
    for (int i = 0; i < 3; ++i) collapsed.point_set_coords(i, vector3(2.0f, 2.0f, 0.0f));
    const Snapshot before_collapsed(collapsed);
    EXPECT_FALSE(collapsed.sort_boundary_points_clockwise());
    EXPECT_TRUE(before_collapsed.same_as(Snapshot(collapsed)));

    // Triangle corners outside the point list are passed over.
    SoftBody stray;
    BuildShuffledSquare(stray);
    stray.create_triangle(-1, 1, 99);
    EXPECT_TRUE(stray.sort_boundary_points_clockwise());
    EXPECT_EQ(stray.get_triangle_index_list()[12], -1);
    EXPECT_EQ(stray.get_triangle_index_list()[13], 0);
    EXPECT_EQ(stray.get_triangle_index_list()[14], 99);
}

}  // namespace

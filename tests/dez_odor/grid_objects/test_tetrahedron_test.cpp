#include "dez_odor/grid_objects/grid_objects.h"
#include "support/grid/element_fixtures.h"
#include "support/grid/test_tetrahedron.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

namespace {

using Point3 = std::array<double, 3>;

double signed_volume(const Point3& a, const Point3& b, const Point3& c, const Point3& d)
{
    const Point3 u{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const Point3 v{c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const Point3 w{d[0] - a[0], d[1] - a[1], d[2] - a[2]};
    return (u[0] * (v[1] * w[2] - v[2] * w[1]) - u[1] * (v[0] * w[2] - v[2] * w[0]) +
            u[2] * (v[0] * w[1] - v[1] * w[0])) / 6.0;
}

// The test volume the later grid tests rely on: outward faces and a refine
// that keeps orientation and volume.
TEST(TestTetrahedronTest, FacesPointOutwardAndRefineKeepsOrientation)
{
    mg_test::VertexSet v(5);
    std::map<const mg::Vertex*, Point3> pos = {{v[0], {0, 0, 0}}, {v[1], {2, 0, 0}},
                                               {v[2], {0, 2, 0}}, {v[3], {0, 0, 2}}};
    mg_test::TestTetrahedron tet(v[0], v[1], v[2], v[3]);
    const auto vol = [&](const mg::IVertexGroup& t) {
        return signed_volume(pos[t.vertex(0)], pos[t.vertex(1)], pos[t.vertex(2)], pos[t.vertex(3)]);
    };
    const double parent = vol(tet);
    ASSERT_GT(parent, 0);

    for (int i = 0; i < 4; ++i) {
        // The corner not on face i lies behind it.
        std::unique_ptr<mg::Face> f(tet.create_face(i));
        mg::FaceDescriptor fd;
        tet.face_desc(i, fd);
        ASSERT_EQ(fd.num_vertices(), 3u);
        EXPECT_EQ(mg_test::corners(*f), mg_test::corners(fd));
        const mg::Vertex* opposite = nullptr;
        for (unsigned int c = 0; c < 4; ++c)
            if (tet.vertex(c) != fd.vertex(0) && tet.vertex(c) != fd.vertex(1) && tet.vertex(c) != fd.vertex(2))
                opposite = tet.vertex(c);
        EXPECT_LT(signed_volume(pos[fd.vertex(0)], pos[fd.vertex(1)], pos[fd.vertex(2)], pos[opposite]), 0);
    }

    for (int e = 0; e < 6; ++e) {
        mg::EdgeDescriptor ed;
        tet.edge_desc(e, ed);
        const Point3& p0 = pos[ed.vertex(0)];
        const Point3& p1 = pos[ed.vertex(1)];
        pos[v[4]] = {0.3 * p0[0] + 0.7 * p1[0], 0.3 * p0[1] + 0.7 * p1[1], 0.3 * p0[2] + 0.7 * p1[2]};
        mg::Vertex* edgeVertices[6] = {};
        edgeVertices[e] = v[4];
        mg_test::OwnedElements<mg::Volume> out;
        mg::Vertex* created = v[0];
        ASSERT_TRUE(tet.refine(out.vec(), &created, edgeVertices, nullptr, nullptr, mg::RegularVertex(), nullptr));
        EXPECT_EQ(created, nullptr);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_GT(vol(*out[0]), 0);
        EXPECT_GT(vol(*out[1]), 0);
        EXPECT_NEAR(vol(*out[0]) + vol(*out[1]), parent, 1e-12);
    }

    mg::Vertex* two[6] = {v[4], v[4], nullptr, nullptr, nullptr, nullptr};
    std::vector<mg::Volume*> none;
    EXPECT_FALSE(tet.refine(none, nullptr, two, nullptr, nullptr, mg::RegularVertex(), nullptr));
    EXPECT_TRUE(none.empty());
}

}  // namespace

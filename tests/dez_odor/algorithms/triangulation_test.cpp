// Triangle quality and the triangulation of quadrilaterals.

#include "dez_odor/algorithms/triangulation.h"

#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "support/grid/element_fixtures.h"
#include "support/grid/grid_consistency.h"
#include "support/grid/recording_observer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace mg;
using mg_test::NotificationLog;
using mg_test::RecordingObserver;
using ::testing::ElementsAre;

struct QualityCase {
    const char* name;
    vector3 p0, p1, p2;
    float expected;
    float tolerance;
};

TEST(TriangleQuality, KnownTriangles)
{
    const float h = static_cast<float>(std::sqrt(3.0) / 2);
    const QualityCase cases[] = {
        {"equilateral", {0, 0, 0}, {1, 0, 0}, {0.5f, h, 0}, 1.0f, 1e-6f},
        {"equilateral, large and rotated", {10, 10, 5}, {10, 10, 105}, {10, 10 + 100 * h, 55},
         1.0f, 1e-5f},
        {"right isosceles", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, 2.0f - std::sqrt(2.0f), 1e-6f},
        {"right isosceles, clockwise", {0, 0, 0}, {0, 2, 0}, {2, 0, 0}, 2.0f - std::sqrt(2.0f),
         1e-6f},
        {"collinear", {0, 0, 0}, {1, 0, 0}, {2, 0, 0}, 0.0f, 0.0f},
        {"collinear, middle corner last", {0, 0, 0}, {2, 0, 0}, {1, 0, 0}, 0.0f, 0.0f},
        {"two corners in one place", {0, 0, 0}, {0, 0, 0}, {1, 0, 0}, 0.0f, 0.0f},
        {"all corners in one place", {3, 3, 3}, {3, 3, 3}, {3, 3, 3}, 0.0f, 0.0f},
    };
    for (const QualityCase& c : cases) {
        EXPECT_NEAR(TriangleQuality(c.p0, c.p1, c.p2), c.expected, c.tolerance) << c.name;
        // the same triangle from another corner
        EXPECT_NEAR(TriangleQuality(c.p1, c.p2, c.p0), c.expected, c.tolerance) << c.name;
    }
}

// A grid with the level's options and positions, and an observer.
struct QuadGrid {
    QuadGrid() : grid(GRIDOPT_LEVEL_MESH)
    {
        grid.attach_to_vertices(aPosition);
        aaPos.bind(grid.vertex_attachment_pipe(), aPosition);
    }

    Vertex* vertex(float x, float y)
    {
        Vertex* v = *grid.create<RegularVertex>();
        aaPos[v] = vector3(x, y, 0);
        return v;
    }

    Quadrilateral* quad(Vertex* a, Vertex* b, Vertex* c, Vertex* d)
    {
        auto* q = new Quadrilateral(a, b, c, d);
        grid.register_face(q);
        return q;
    }

    std::vector<std::vector<Vertex*>> triangles()
    {
        std::vector<std::vector<Vertex*>> out;
        for (auto it = grid.begin<Triangle>(); it != grid.end<Triangle>(); ++it)
            out.push_back(mg_test::corners(**it));
        return out;
    }

    Grid grid;
    AttachmentAccessor<Vertex, vector3> aaPos;
};

TEST(Triangulate, WithoutPositionsAlongV0V2WithTheQuadrilateralAsParent)
{
    QuadGrid g;
    // a shape whose better diagonal would be V1-V3: without positions it
    // does not matter
    Vertex* a = g.vertex(0, 0);
    Vertex* b = g.vertex(1, -1);
    Vertex* c = g.vertex(10, 0);
    Vertex* d = g.vertex(1, 1);
    Quadrilateral* q = g.quad(a, b, c, d);

    NotificationLog log;
    log.set_name(q, "q");
    RecordingObserver obs(log);
    obs.observe(g.grid);
    Triangulate(g.grid, q);

    EXPECT_THAT(g.triangles(), ElementsAre(ElementsAre(a, b, c), ElementsAre(c, d, a)));
    EXPECT_THAT(log.lines(), ElementsAre("edge_created e0 parent q", "face_created f0 parent q",
                                         "face_created f1 parent q", "face_to_be_erased q"));
    EXPECT_NE(g.grid.get_edge(a, c), nullptr);
    EXPECT_EQ(g.grid.num<Quadrilateral>(), 0u);
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid));
}

TEST(Triangulate, WithPositionsTheBetterDiagonal)
{
    struct Case {
        const char* name;
        float x[4], y[4];
        bool diagonal13;
    };
    const Case cases[] = {
        {"square: a tie takes V0-V2", {0, 1, 1, 0}, {0, 0, 1, 1}, false},
        {"sliver along V0-V2", {0, 1, 10, 1}, {0, -1, 0, 1}, true},
        {"sliver along V1-V3", {0, 5, 6, 5}, {0, -5, 0, 5}, false},
        {"rhombus, long diagonal V1-V3", {0, 3, 0, -3}, {-1, 0, 1, 0}, false},
        {"rhombus, long diagonal V0-V2", {-3, 0, 3, 0}, {0, -1, 0, 1}, true},
    };
    for (const Case& c : cases) {
        QuadGrid g;
        Vertex* v[4];
        for (int i = 0; i < 4; ++i)
            v[i] = g.vertex(c.x[i], c.y[i]);
        Triangulate(g.grid, g.quad(v[0], v[1], v[2], v[3]), &g.aaPos);
        if (c.diagonal13)
            EXPECT_THAT(g.triangles(),
                        ElementsAre(ElementsAre(v[1], v[2], v[3]), ElementsAre(v[3], v[0], v[1])))
                << c.name;
        else
            EXPECT_THAT(g.triangles(),
                        ElementsAre(ElementsAre(v[0], v[1], v[2]), ElementsAre(v[2], v[3], v[0])))
                << c.name;
    }
}

TEST(Triangulate, ARangeOfQuadrilaterals)
{
    // a strip of quadrilaterals with a triangle at each end
    QuadGrid g;
    Vertex* bottom[5];
    Vertex* top[5];
    for (int i = 0; i < 5; ++i) {
        bottom[i] = g.vertex(static_cast<float>(i), 0);
        top[i] = g.vertex(static_cast<float>(i) + 0.3f * static_cast<float>(i % 2), 1);
    }
    Vertex* left = g.vertex(-1, 0.5f);
    Vertex* right = g.vertex(5, 0.5f);
    g.grid.create<Triangle>(TriangleDescriptor(left, bottom[0], top[0]));
    for (int i = 0; i < 4; ++i)
        g.quad(bottom[i], bottom[i + 1], top[i + 1], top[i]);
    g.grid.create<Triangle>(TriangleDescriptor(bottom[4], right, top[4]));

    NotificationLog log;
    RecordingObserver obs(log);
    obs.observe(g.grid, OBSERVE_FACES);
    Triangulate(g.grid, g.grid.begin<Quadrilateral>(), g.grid.end<Quadrilateral>(), &g.aaPos);

    EXPECT_EQ(g.grid.num<Quadrilateral>(), 0u);
    EXPECT_EQ(g.grid.num<Triangle>(), 10u);
    EXPECT_EQ(log.lines_of("face_to_be_erased").size(), 4u);
    EXPECT_EQ(log.lines_of("face_created").size(), 8u);
    for (auto it = g.grid.begin<Triangle>(); it != g.grid.end<Triangle>(); ++it) {
        const vector3& p0 = g.aaPos[(*it)->vertex(0)];
        const vector3& p1 = g.aaPos[(*it)->vertex(1)];
        const vector3& p2 = g.aaPos[(*it)->vertex(2)];
        EXPECT_GT((p1[0] - p0[0]) * (p2[1] - p0[1]) - (p2[0] - p0[0]) * (p1[1] - p0[1]), 0);
    }
    EXPECT_TRUE(mg_test::GridIsConsistent(g.grid));

    // an empty range changes nothing
    Triangulate(g.grid, g.grid.begin<Quadrilateral>(), g.grid.end<Quadrilateral>(), &g.aaPos);
    EXPECT_EQ(g.grid.num<Triangle>(), 10u);
}

}  // namespace

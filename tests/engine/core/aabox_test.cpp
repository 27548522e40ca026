#include "engine/core/aabox.h"
#include "engine/core/rect.h"
#include "engine/core/sphere.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using vo::AABox;
using vo::Rect;
using vo::Sphere;
using vo::vector2;
using vo::vector3;

// Bitwise float comparison, so that 0 and -0 are told apart.
::testing::AssertionResult SameBits(const vector3& got, const vector3& want) {
    for (unsigned int i = 0; i < 3; ++i) {
        if (!(got[i] == want[i] && std::signbit(got[i]) == std::signbit(want[i])))
            return ::testing::AssertionFailure() << "component " << i << ": got " << got << ", want " << want;
    }
    return ::testing::AssertionSuccess();
}

struct UnionCase {
    const char* what;
    AABox a;
    AABox b;
    AABox want;
};

TEST(AABox, UnionAndGrowth) {
    const float nz = -0.0f;
    const std::vector<UnionCase> cases = {
        {"disjoint", {{0, 0, 0}, {1, 1, 1}}, {{2, -1, 0}, {3, 0, 1}}, {{0, -1, 0}, {3, 1, 1}}},
        {"b inside a", {{0, 0, 0}, {4, 4, 4}}, {{1, 1, 1}, {2, 2, 2}}, {{0, 0, 0}, {4, 4, 4}}},
        {"a inside b", {{1, 1, 1}, {2, 2, 2}}, {{0, 0, 0}, {4, 4, 4}}, {{0, 0, 0}, {4, 4, 4}}},
        // Ties keep the first operand's value: +0 stays +0, -0 stays -0.
        {"tie keeps a (+0)", {{0, 0, 0}, {0, 0, 0}}, {{nz, nz, nz}, {nz, nz, nz}}, {{0, 0, 0}, {0, 0, 0}}},
        {"tie keeps a (-0)", {{nz, nz, nz}, {nz, nz, nz}}, {{0, 0, 0}, {0, 0, 0}}, {{nz, nz, nz}, {nz, nz, nz}}},
        // No emptiness test: a crossed box is merged as it stands.
        {"crossed a", {{5, 0, 0}, {-5, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}},
        {"crossed b", {{0, 0, 0}, {1, 1, 1}}, {{5, 0, 0}, {-5, 1, 1}}, {{0, 0, 0}, {1, 1, 1}}},
    };
    for (const UnionCase& c : cases) {
        SCOPED_TRACE(c.what);
        const AABox made(c.a, c.b);
        EXPECT_TRUE(SameBits(made.min, c.want.min));
        EXPECT_TRUE(SameBits(made.max, c.want.max));

        AABox grown = c.a;
        grown.add_box(c.b);
        EXPECT_TRUE(SameBits(grown.min, c.want.min));
        EXPECT_TRUE(SameBits(grown.max, c.want.max));
    }
}

TEST(AABox, PointGrowthKeepsTheBoxOnTies) {
    const AABox box({0, 0, 0}, {1, 1, 1});
    AABox grown(box, vector3(-0.0f, 2, 0.5f));
    EXPECT_TRUE(SameBits(grown.min, vector3(0, 0, 0)));
    EXPECT_TRUE(SameBits(grown.max, vector3(1, 2, 1)));

    grown.add_point(vector3(-3, -0.0f, 7));
    EXPECT_TRUE(SameBits(grown.min, vector3(-3, 0, 0)));
    EXPECT_TRUE(SameBits(grown.max, vector3(1, 2, 7)));

    grown.set_point(vector3(4, 5, 6));
    EXPECT_TRUE(SameBits(grown.min, vector3(4, 5, 6)));
    EXPECT_TRUE(SameBits(grown.max, vector3(4, 5, 6)));
}

TEST(AABox, FromPoints) {
    const vector3 pts[] = {{1, 2, 3}, {-1, 5, 3}, {0, 0, 9}, {-1, -0.0f, 3}};

    const AABox none(pts, 0);
    EXPECT_TRUE(SameBits(none.min, vector3(0, 0, 0)));
    EXPECT_TRUE(SameBits(none.max, vector3(0, 0, 0)));

    const AABox one(pts, 1);
    EXPECT_TRUE(SameBits(one.min, pts[0]));
    EXPECT_TRUE(SameBits(one.max, pts[0]));

    const AABox all(pts, 4);
    EXPECT_TRUE(SameBits(all.min, vector3(-1, 0, 3)));  // the earlier +0 wins over the later -0
    EXPECT_TRUE(SameBits(all.max, vector3(1, 5, 9)));
}

TEST(AABox, CrossedCornersStayAsGiven) {
    const AABox box({2, 0, 0}, {1, 1, 1});
    EXPECT_EQ(box.min.x, 2);
    EXPECT_EQ(box.extension().x, -1);
    EXPECT_EQ(box.center().x, 1.5f);
}

TEST(AABox, ScaleAndResizeKeepTheCentre) {
    AABox box({0, 0, 0}, {2, 2, 2});
    box.scale(vector3(2, 1, 1));
    EXPECT_TRUE(SameBits(box.min, vector3(-1, 0, 0)));
    EXPECT_TRUE(SameBits(box.max, vector3(3, 2, 2)));

    AABox other({10, 20, 30}, {12, 22, 34});
    other.set_extension(vector3(4, 0, 1));
    EXPECT_TRUE(SameBits(other.min, vector3(9, 21, 31.5f)));
    EXPECT_TRUE(SameBits(other.max, vector3(13, 21, 32.5f)));
    EXPECT_TRUE(SameBits(other.extension(), vector3(4, 0, 1)));
}

TEST(AABox, FromSphere) {
    const AABox box(Sphere(vector3(1, 2, 3), 0.5f));
    EXPECT_TRUE(SameBits(box.min, vector3(0.5f, 1.5f, 2.5f)));
    EXPECT_TRUE(SameBits(box.max, vector3(1.5f, 2.5f, 3.5f)));
}

TEST(Rect, ConstructionWidthAndInclusiveContainment) {
    const Rect r(0, 0, 10, 20);
    EXPECT_EQ(r.width(), 10);
    EXPECT_EQ(r.height(), 20);
    EXPECT_EQ(Rect(10, 0, 0, 1).width(), -10);  // signed

    const Rect fromBox(AABox({1, 2, 3}, {4, 5, 6}));
    EXPECT_EQ(fromBox.min().x, 1);
    EXPECT_EQ(fromBox.min().y, 2);
    EXPECT_EQ(fromBox.max().x, 4);
    EXPECT_EQ(fromBox.max().y, 5);

    struct Probe {
        vector2 p;
        bool inside;
    };
    const Probe probes[] = {
        {{0, 0}, true},   {{10, 20}, true},   {{0, 20}, true},   {{10, 0}, true},    {{5, 0}, true},
        {{5, 10}, true},  {{-0.001f, 5}, false}, {{10.001f, 5}, false}, {{5, -0.001f}, false}, {{5, 20.001f}, false},
    };
    for (const Probe& pr : probes) {
        EXPECT_EQ(r.contains_point(pr.p), pr.inside) << pr.p;
        EXPECT_EQ(r.contains_point(vector3(pr.p.x, pr.p.y, 1e30f)), pr.inside) << pr.p << " (z ignored)";
    }
    EXPECT_FALSE(Rect(10, 0, 0, 20).contains_point(vector2(5, 5)));  // crossed: nothing inside
}

TEST(Sphere, InclusiveTests) {
    const Sphere s(vector3(0, 0, 5), 1);
    EXPECT_TRUE(s.contains_point(vector2(0, 0)));  // z plays no part
    EXPECT_TRUE(s.contains_point(vector2(1, 0)));  // on the circle
    EXPECT_FALSE(s.contains_point(vector2(1, 0.01f)));
    EXPECT_FALSE(s.contains_point(vector3(0, 0, 0)));
    EXPECT_TRUE(s.contains_point(vector3(0, 0, 4)));  // on the surface
    EXPECT_TRUE(s.contains_point(vector3(0, 1, 5)));

    const Sphere a(vector3(0, 0, 0), 1);
    EXPECT_TRUE(a.intersects(Sphere(vector3(2, 0, 0), 1)));  // touching
    EXPECT_FALSE(a.intersects(Sphere(vector3(2.001f, 0, 0), 1)));
    EXPECT_FALSE(a.intersects(Sphere(vector3(0, 0, 2.5f), 1)));  // z counts here

    const Sphere flat(vector2(3, 4), 2);
    EXPECT_EQ(flat.center().z, 0);
    EXPECT_EQ(flat.radius(), 2);
    Sphere changed = flat;
    changed.radius() = 3;
    changed.center().x = -1;
    EXPECT_EQ(changed.radius(), 3);
    EXPECT_EQ(changed.center().x, -1);
}

}  // namespace
